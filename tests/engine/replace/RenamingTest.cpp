#include "engine/replace/Renaming.h"
#include "engine/replace/ConvertDirectory.h"
#include "engine/replace/ReplaceWalk.h"
#include "platform/SystemError.h"
#include "tests/support/ReplaceFixture.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace tarnwick::test {
namespace {

SearchJob nameJob()
{
    SearchJob job = TestJob();
    job.makeBackup = 0;
    job.searchContents = 0;
    job.searchFileNames = 1;
    return job;
}

bool exists(const std::string& path) { return std::filesystem::exists(std::filesystem::symlink_status(path)); }

}  // namespace

TEST(RenameFileName, ReplacesInTheNameAndKeepsTheRest)
{
    const struct {
        const char* name;
        const char* search;
        const char* replacement;
        bool regex;
        const char* expected;
    } rows[] = {
        {"MyABCFile.TXT", "abc", "x", false, "MyxFile.TXT"},
        {"banana.txt", "a", "aa", false, "baanaanaa.txt"},
        {"a1b22.txt", "\\d+", "N", true, "aNbN.txt"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempTree tree;
        const std::string old = tree.write(row.name, "contents");
        SearchJob job = nameJob();
        job.regularExpression = row.regex;
        ReplaceFixture fixture(job, row.search, row.replacement);
        RunReplace(fixture.run(), tree.root());
        EXPECT_EQ(tree.read(row.expected), "contents");
        EXPECT_FALSE(exists(old));
        EXPECT_EQ(fixture.topLevel(ItemKind::FileNameHit), std::vector<std::string>{old});
        EXPECT_EQ(fixture.runLog().text(), "Im Dateinamen gefunden und ersetzt" + old + "\r\n");
        EXPECT_EQ(fixture.counters().files.load(), 1);
        EXPECT_TRUE(fixture.errors().empty());
    }
}

TEST(RenameCollectedDirectories, DirectoriesChangeFromTheBottomUp)
{
    TempTree tree;
    tree.write("X/aY/aZ/f.txt", "");
    SearchJob job = nameJob();
    job.includeSubfolders = 1;
    job.searchFileNames = 0;
    job.searchDirNames = 1;
    ReplaceFixture fixture(job, "a", "b");
    RunReplace(fixture.run(), tree.path("X"));
    // aZ is renamed while its parent still has its old name.
    EXPECT_EQ(fixture.topLevel(ItemKind::DirNameHit), (std::vector<std::string>{tree.path("X/aY/aZ"), tree.path("X/aY")}));
    EXPECT_EQ(fixture.runLog().text(),
              "Im Verzeichnisnamen gefunden und ersetzt" + tree.path("X/aY/aZ") + "\r\n" +
                  "Im Verzeichnisnamen gefunden und ersetzt" + tree.path("X/aY") + "\r\n");
    EXPECT_TRUE(exists(tree.path("X/bY/bZ/f.txt")));
    EXPECT_TRUE(fixture.errors().empty());
}

TEST(RenameEntry, NeverReplacesAnEntryNorMovesItElsewhere)
{
    TempTree tree;
    tree.write("d/ab.txt", "mine");
    tree.write("d/xb.txt", "theirs");
    for (const char* refused : {"", ".", "..", "../b.txt", "sub/b.txt"})
        EXPECT_EQ(RenameEntry(tree.path("d"), "ab.txt", refused).value(), EINVAL) << refused;
    EXPECT_EQ(RenameEntry(tree.path("d"), "ab.txt", "xb.txt").value(), EEXIST);

    // Through a replace run: the name hit is listed, the rename fails.
    for (const char* replacement : {"x", "../"}) {
        SCOPED_TRACE(replacement);
        ReplaceFixture fixture(nameJob(), "a", replacement);
        RunReplace(fixture.run(), tree.path("d"));
        const std::string path = tree.path("d/ab.txt");
        EXPECT_EQ(fixture.topLevel(ItemKind::FileNameHit), std::vector<std::string>{path});
        const auto errors = fixture.errors();
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].first,
                  "Fehler beim Umbenennen der Datei: " + path + ": " + SystemErrorText(replacement[0] == 'x' ? EEXIST : EINVAL));
        EXPECT_EQ(tree.read("d/ab.txt"), "mine");
        EXPECT_EQ(tree.read("d/xb.txt"), "theirs");
        EXPECT_FALSE(exists(tree.path("b.txt")));
    }
}

TEST(ReplaceDirectory, ContentsFirstThenTheName)
{
    TempTree tree;
    const std::string old = tree.write("abc.txt", "abc abc\n");
    SearchJob job = nameJob();
    job.searchContents = 1;
    ReplaceFixture fixture(job, "abc", "x");
    RunReplace(fixture.run(), tree.root());
    EXPECT_EQ(tree.read("x.txt"), "x x\n");
    EXPECT_FALSE(exists(old));
    // The hits are listed under the path the file had while it was changed.
    const ResultList& results = fixture.results();
    const ItemHandle file = results.FirstTopLevelItem();
    EXPECT_EQ(results.Kind(file), ItemKind::File);
    EXPECT_EQ(results.ColumnText(file, ResultColumn::FileOrContext), old);
    EXPECT_EQ(results.ChildCount(file), 2u);
    EXPECT_EQ(results.Kind(results.NextSibling(file)), ItemKind::FileNameHit);
    EXPECT_EQ(results.ColumnText(results.NextSibling(file), ResultColumn::FileOrContext), old);
    EXPECT_EQ(fixture.counters().files.load(), 2);
}

TEST(ConvertDirectory, LowersNamesAllOrOnlyCapitals)
{
    const struct {
        const char* name;
        RenameArgument argument;
        std::vector<const char*> expected;  // the names afterwards
        std::vector<const char*> converted;
    } rows[] = {
        {"all", RenameArgument::All, {"readme.md", "readme.txt", "small.txt"}, {"README.TXT", "ReadMe.md"}},
        {"only capitals", RenameArgument::OnlyAllCapitals, {"ReadMe.md", "readme.txt", "small.txt"}, {"README.TXT"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempTree tree;
        for (const char* name : {"README.TXT", "ReadMe.md", "small.txt"}) tree.write(name, name);
        SearchJob job = TestJob();
        job.nameStrings = "zzz";  // not applied with every file type on
        ReplaceFixture fixture(job, "", "");
        ConvertDirectory(fixture.run(), tree.root(), row.argument);
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(tree.root())) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, std::vector<std::string>(row.expected.begin(), row.expected.end()));
        auto items = fixture.topLevel(ItemKind::FileNameHit);
        std::sort(items.begin(), items.end());
        std::vector<std::string> expectedItems;
        for (const char* name : row.converted) expectedItems.push_back(tree.path(name));
        EXPECT_EQ(items, expectedItems);
        EXPECT_EQ(fixture.counters().hits.load(), static_cast<int>(row.converted.size()));
        EXPECT_NE(fixture.runLog().text().find("Dateiname in Kleinbuchstaben gewandelt: " + tree.path("README.TXT") + "\r\n"),
                  std::string::npos);
    }
}

TEST(ConvertDirectory, ExistingLowerCaseNameIsNotOverwritten)
{
    TempTree tree;
    tree.write("README.TXT", "capitals");
    tree.write("readme.txt", "small");
    ReplaceFixture fixture(TestJob(), "", "");
    ConvertDirectory(fixture.run(), tree.root(), RenameArgument::All);
    EXPECT_EQ(tree.read("README.TXT"), "capitals");
    EXPECT_EQ(tree.read("readme.txt"), "small");
    const auto errors = fixture.errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].first, "Fehler beim Umbenennen der Datei: " + tree.path("README.TXT") + ": " + SystemErrorText(EEXIST));
    EXPECT_EQ(fixture.counters().hits.load(), 0);
}

}  // namespace tarnwick::test
