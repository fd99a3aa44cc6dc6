// The directory chooser's decisions on a real temporary tree and on an
// in-memory one: top-level folders, lazy listing, preset matching, renaming.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/SystemError.h"
#include "tests/support/TempTree.h"
#include "ui/dirchooser/DirectoryChooserListing.h"
#include "ui/dirchooser/DirectoryChooserMemoryAccess.h"
#include "ui/dirchooser/DirectoryChooserPreset.h"
#include "ui/dirchooser/DirectoryChooserRename.h"

namespace tarnwick::ui {
namespace {

namespace fs = std::filesystem;

// The real file system, with the temporary tree as the only top-level folder.
class TempTreeAccess : public SystemDirectoryChooserAccess {
public:
    explicit TempTreeAccess(std::vector<std::string> roots) : m_roots(std::move(roots)) {}
    std::vector<std::string> rootPaths() override { return m_roots; }

private:
    std::vector<std::string> m_roots;
};

std::vector<std::string> namesOf(const ChooserListing& listing)
{
    std::vector<std::string> names;
    for (const ChooserChild& child : listing.children) names.push_back(child.name);
    return names;
}

TEST(DirectoryChooserRoots, RootThenHomeThenVolumesInMediaMntAndRunMedia)
{
    const std::vector<std::string> mounts{"/",          "/proc",       "/run/media/anna/DISK", "/mnt",
                                          "/media/cd/", "/mediafiles", "/home/anna",           "/mnt/backup"};
    EXPECT_EQ(ChooserRootPaths("/home/anna/", mounts),
              (std::vector<std::string>{"/", "/home/anna", "/media/cd", "/mnt", "/mnt/backup", "/run/media/anna/DISK"}));
    // root's home is no second "/"; without a home the volumes still come.
    EXPECT_EQ(ChooserRootPaths("/", {"/mnt/x"}), (std::vector<std::string>{"/", "/mnt/x"}));
    EXPECT_EQ(ChooserRootPaths("", {}), (std::vector<std::string>{"/"}));
}

TEST(DirectoryChooserListing, ListsOnlyFoldersHiddenIncludedInCaseInsensitiveOrder)
{
    test::TempTree tree;
    tree.mkdir("top/gamma");
    tree.mkdir("top/Beta/inner");
    tree.mkdir("top/alpha");
    tree.mkdir("top/.abc");
    tree.write("top/file.txt", "x");
    TempTreeAccess access({tree.root()});

    const ChooserListing listing = ListChooserChildren(access, tree.path("top"));
    ASSERT_EQ(listing.status, ChooserListingStatus::Listed);
    EXPECT_EQ(namesOf(listing), (std::vector<std::string>{".abc", "alpha", "Beta", "gamma"}));
    EXPECT_EQ(listing.children[2].path, tree.path("top/Beta"));
    EXPECT_TRUE(listing.children[2].expandable);  // has "inner"
    EXPECT_FALSE(listing.children[1].expandable);  // empty: no expand button
}

TEST(DirectoryChooserListing, ThirtyFoldersInFullAscendingOrder)
{
    test::TempTree tree;
    std::vector<std::string> expected;
    for (int i = 29; i >= 0; --i) {
        const std::string name = (i % 2 ? "Dir" : "dir") + std::to_string(10 + i);
        tree.mkdir(name);
        expected.insert(expected.begin(), name);
    }
    TempTreeAccess access({tree.root()});
    EXPECT_EQ(namesOf(ListChooserChildren(access, tree.root())), expected);
}

TEST(DirectoryChooserListing, LinksToFoldersAreListedButNeverOpened)
{
    test::TempTree tree;
    tree.mkdir("a/sub");
    tree.write("a/file", "x");
    fs::create_directory_symlink(tree.root(), tree.path("a/up"));  // would nest without end
    fs::create_symlink(tree.path("a/file"), tree.path("a/to-file"));
    fs::create_symlink(tree.path("a/nowhere"), tree.path("a/broken"));
    TempTreeAccess access({tree.root()});

    const ChooserListing listing = ListChooserChildren(access, tree.path("a"));
    ASSERT_EQ(namesOf(listing), (std::vector<std::string>{"sub", "up"}));
    EXPECT_TRUE(listing.children[1].isLink);
    EXPECT_FALSE(listing.children[1].expandable);
}

TEST(DirectoryChooserListing, VanishedAndUnreadableFoldersSayWhy)
{
    test::TempTree tree;
    tree.write("file", "x");
    TempTreeAccess access({tree.root()});

    const ChooserListing gone = ListChooserChildren(access, tree.path("gone"));
    EXPECT_EQ(gone.status, ChooserListingStatus::Vanished);
    EXPECT_EQ(ListingProblemText(tree.path("gone"), gone), "Das Verzeichnis ist nicht mehr vorhanden:\n" + tree.path("gone"));
    EXPECT_EQ(ListChooserChildren(access, tree.path("file")).status, ChooserListingStatus::Vanished);

    MemoryDirectoryChooserAccess memory({"/r"});
    memory.addDirectory("/r/locked");
    memory.addDirectory("/r/open");
    memory.failListing("/r/locked", EACCES);
    const ChooserListing locked = ListChooserChildren(memory, "/r/locked");
    EXPECT_EQ(locked.status, ChooserListingStatus::Unreadable);
    EXPECT_EQ(ListingProblemText("/r/locked", locked),
              "Das Verzeichnis kann nicht gelesen werden:\n/r/locked\n" + SystemErrorText(EACCES));
    // Offered for opening, so the user learns why it stays empty.
    const ChooserListing parent = ListChooserChildren(memory, "/r");
    EXPECT_TRUE(parent.children[0].expandable);
    EXPECT_FALSE(parent.children[1].expandable);
}

TEST(DirectoryChooserListing, UnreadableFolderOnDisk)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every folder";
    test::TempTree tree;
    tree.mkdir("locked/sub");
    fs::permissions(tree.path("locked"), fs::perms::none);
    TempTreeAccess access({tree.root()});
    EXPECT_EQ(ListChooserChildren(access, tree.path("locked")).status, ChooserListingStatus::Unreadable);
}

class DirectoryChooserPresetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree.mkdir("home/anna/Docs/Letters");
        tree.mkdir("home/anna/Data");
        tree.mkdir("home/anna/data");
        tree.write("home/anna/notes.txt", "x");
        roots = {tree.root(), tree.path("home/anna")};
    }
    PresetMatch match(const std::string& preset) { return MatchPresetPath(access, roots, preset); }

    test::TempTree tree;
    TempTreeAccess access{{}};
    std::vector<std::string> roots;
};

TEST_F(DirectoryChooserPresetTest, FoundBelowTheDeepestRootInAnyCase)
{
    PresetMatch m = match(tree.path("home/anna/Docs/Letters"));
    ASSERT_EQ(m.target, PresetTarget::Directory);
    EXPECT_EQ(m.root, 1u);
    EXPECT_EQ(m.names, (std::vector<std::string>{"Docs", "Letters"}));

    m = match(tree.path("HOME/Anna//docs/LETTERS/"));
    ASSERT_EQ(m.target, PresetTarget::Directory);
    EXPECT_EQ(m.root, 1u);
    EXPECT_EQ(m.names, (std::vector<std::string>{"Docs", "Letters"}));

    EXPECT_EQ(match(tree.path("home")).names, (std::vector<std::string>{"home"}));
    EXPECT_EQ(match(tree.path("home")).root, 0u);
}

TEST_F(DirectoryChooserPresetTest, ExactSpellingWinsOverAnotherCase)
{
    EXPECT_EQ(match(tree.path("home/anna/data")).names, (std::vector<std::string>{"data"}));
    EXPECT_EQ(match(tree.path("home/anna/Data")).names, (std::vector<std::string>{"Data"}));
    EXPECT_EQ(match(tree.path("home/anna/DATA")).names, (std::vector<std::string>{"Data"}));
}

TEST_F(DirectoryChooserPresetTest, EmptyMeansComputerAndMissingOrFileMeansNothing)
{
    EXPECT_EQ(match("").target, PresetTarget::Computer);
    EXPECT_EQ(match(tree.path("home/anna/missing")).target, PresetTarget::NotFound);
    EXPECT_EQ(match(tree.path("home/anna/notes.txt")).target, PresetTarget::NotFound);
    EXPECT_EQ(match("/somewhere/else/entirely").target, PresetTarget::NotFound);
}

TEST_F(DirectoryChooserPresetTest, PathThroughLinkOrDotDotIsFoundResolved)
{
    fs::create_directory_symlink(tree.path("home/anna"), tree.path("shortcut"));
    PresetMatch m = match(tree.path("shortcut/Docs/Letters"));
    ASSERT_EQ(m.target, PresetTarget::Directory);
    EXPECT_EQ(m.root, 1u);
    EXPECT_EQ(m.names, (std::vector<std::string>{"Docs", "Letters"}));
    EXPECT_EQ(match(tree.path("home/anna/Data/../Docs")).names, (std::vector<std::string>{"Docs"}));
}

class DirectoryChooserRenameTest : public ::testing::Test {
protected:
    test::TempTree tree;
    TempTreeAccess access{{}};
};

TEST_F(DirectoryChooserRenameTest, InvalidNamesAreRefusedWithTheMessage)
{
    tree.mkdir("old");
    for (const std::string name : {"a/b", "a\\b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", ".", ".."}) {
        const ChooserRenameOutcome outcome = RenameChooserDirectory(access, tree.root(), "old", name);
        EXPECT_EQ(outcome.result, ChooserRenameResult::InvalidName) << name;
        EXPECT_EQ(outcome.message, "Ungültiger Dateiname") << name;
    }
    EXPECT_TRUE(fs::is_directory(tree.path("old")));
}

TEST_F(DirectoryChooserRenameTest, EmptyOrSameNameChangesNothingSilently)
{
    tree.mkdir("old");
    for (const std::string name : {"", "old"}) {
        const ChooserRenameOutcome outcome = RenameChooserDirectory(access, tree.root(), "old", name);
        EXPECT_EQ(outcome.result, ChooserRenameResult::Unchanged);
        EXPECT_TRUE(outcome.message.empty());
    }
}

TEST_F(DirectoryChooserRenameTest, RenamesOnDiskKeepingWhatIsInside)
{
    tree.write("old/keep.txt", "kept");
    const ChooserRenameOutcome outcome = RenameChooserDirectory(access, tree.root(), "old", "Neu mit Ä");
    ASSERT_EQ(outcome.result, ChooserRenameResult::Renamed);
    EXPECT_EQ(outcome.newPath, tree.path("Neu mit Ä"));
    EXPECT_EQ(tree.read("Neu mit Ä/keep.txt"), "kept");
    EXPECT_FALSE(fs::exists(tree.path("old")));
}

// rename(2) would silently replace an existing empty folder of the new name.
TEST_F(DirectoryChooserRenameTest, NeverReplacesAnExistingFolder)
{
    tree.write("old/a.txt", "a");
    tree.mkdir("taken");
    const ChooserRenameOutcome outcome = RenameChooserDirectory(access, tree.root(), "old", "taken");
    EXPECT_EQ(outcome.result, ChooserRenameResult::Failed);
    EXPECT_EQ(outcome.message,
              "Das Verzeichnis kann nicht umbenannt werden:\n" + tree.path("old") + "\n" + SystemErrorText(EEXIST));
    EXPECT_TRUE(fs::is_directory(tree.path("taken")));
    EXPECT_EQ(tree.read("old/a.txt"), "a");
}

TEST_F(DirectoryChooserRenameTest, VanishedFolderReportsTheSystemReason)
{
    const ChooserRenameOutcome outcome = RenameChooserDirectory(access, tree.root(), "gone", "new");
    EXPECT_EQ(outcome.result, ChooserRenameResult::Failed);
    EXPECT_NE(outcome.message.find(SystemErrorText(ENOENT)), std::string::npos);
}

}  // namespace
}  // namespace tarnwick::ui
