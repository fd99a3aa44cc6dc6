#include <gtest/gtest.h>

#include "settings/CrashReportSettings.h"
#include "settings/ProfileStore.h"
#include "tests/support/TempTree.h"

namespace tarnwick::settings {
namespace {

TEST(CrashReportSettings, ServerAddressWithItsDefault)
{
    test::TempTree tree;
    ProfileStore store(tree.path("Tarnwick.conf"));
    EXPECT_EQ(ReadCrashReportServer(store), "https://crash.korvane.de");
    ASSERT_TRUE(WriteCrashReportServer(store, "http://127.0.0.1:8080/reports"));
    EXPECT_EQ(ReadCrashReportServer(store), "http://127.0.0.1:8080/reports");
    EXPECT_EQ(store.GetProfileString("Einstellungen", "CrashReportServer"), "http://127.0.0.1:8080/reports");
    // An emptied value means the default again, never "no server".
    ASSERT_TRUE(WriteCrashReportServer(store, ""));
    EXPECT_EQ(ReadCrashReportServer(store), "https://crash.korvane.de");
}

}  // namespace
}  // namespace tarnwick::settings
