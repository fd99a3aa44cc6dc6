#include <gtest/gtest.h>

#include "settings/ProfileStore.h"
#include "settings/UpdateSettings.h"
#include "tests/support/TempTree.h"

namespace tarnwick::settings {
namespace {

TEST(UpdateServerSetting, DefaultUntilSetAndAgainWhenEmptiedOrOfTheWrongType)
{
    test::TempTree tree;
    ProfileStore store(tree.path("Tarnwick.conf"));
    EXPECT_EQ(ReadUpdateServer(store), "https://update.korvane.de");

    store.WriteProfileString("Einstellungen", "UpdateServer", "http://127.0.0.1:8080");
    EXPECT_EQ(ReadUpdateServer(store), "http://127.0.0.1:8080");
    ProfileStore reopened(tree.path("Tarnwick.conf"));
    EXPECT_EQ(ReadUpdateServer(reopened), "http://127.0.0.1:8080");

    store.WriteProfileString("Einstellungen", "UpdateServer", "  ");
    EXPECT_EQ(ReadUpdateServer(store), "https://update.korvane.de");
    store.WriteProfileInt("Einstellungen", "UpdateServer", 5);
    EXPECT_EQ(ReadUpdateServer(store), "https://update.korvane.de");
}

}  // namespace
}  // namespace tarnwick::settings
