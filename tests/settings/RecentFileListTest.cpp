#include <gtest/gtest.h>

#include "settings/ProfileStore.h"
#include "settings/RecentFileList.h"
#include "tests/support/TempTree.h"

namespace tarnwick::settings {
namespace {

using Entries = std::vector<std::string>;

TEST(RecentFileListTest, NewestFirstWithoutRepeatsAndAtMostFour)
{
    RecentFileList list;
    for (const char* path : {"/a", "/b", "/c", "/d", "/e"}) list.add(path);
    EXPECT_EQ(list.entries(), (Entries{"/e", "/d", "/c", "/b"}));
    list.add("/c");
    EXPECT_EQ(list.entries(), (Entries{"/c", "/e", "/d", "/b"}));
    list.add("");
    list.remove(1);
    list.remove(7);
    EXPECT_EQ(list.entries(), (Entries{"/c", "/d", "/b"}));
}

TEST(RecentFileListTest, StoredAsFile1ToFile4AndShortenedEntriesDoNotComeBack)
{
    test::TempTree tree;
    ProfileStore store(tree.path("Tarnwick.conf"));
    RecentFileList list;
    for (const char* path : {"/a", "/b", "/c", "/d"}) list.add(path);
    ASSERT_TRUE(list.write(store));
    EXPECT_EQ(store.GetProfileString(kRecentFileSection, "File1"), "/d");
    EXPECT_EQ(store.GetProfileString(kRecentFileSection, "File4"), "/a");

    list.remove(0);
    list.remove(0);
    ASSERT_TRUE(list.write(store));
    RecentFileList reread;
    reread.read(store);
    EXPECT_EQ(reread.entries(), (Entries{"/b", "/a"}));

    // Gaps and repeats written by hand are skipped.
    store.WriteProfileString(kRecentFileSection, "File1", "");
    store.WriteProfileString(kRecentFileSection, "File3", "/a");
    store.WriteProfileString(kRecentFileSection, "File4", "/x y/\"z\"");
    reread.read(store);
    EXPECT_EQ(reread.entries(), (Entries{"/a", "/x y/\"z\""}));
}

}  // namespace
}  // namespace tarnwick::settings
