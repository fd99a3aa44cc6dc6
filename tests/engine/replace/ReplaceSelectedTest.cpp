#include "engine/replace/ReplaceSelected.h"
#include "engine/Messages.h"
#include "engine/walk/SearchWalk.h"
#include "engine/worker/RunSearch.h"
#include "platform/FileOps.h"
#include "platform/SystemError.h"
#include "tests/support/ReplaceFixture.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>

namespace tarnwick::test {
namespace {

SearchJob selectedJob(std::uint32_t splitLength = 0)
{
    SearchJob job = TestJob();
    job.makeBackup = 0;
    if (splitLength) job.splitLength = splitLength;
    return job;
}

// A search over `root`, as the user saw it before marking results.
struct Searched {
    Searched(const SearchJob& job, const std::string& root, const std::string& search = "abc") : fixture(job, search, "")
    {
        RunSearch(fixture.run(), root);
        for (ItemHandle top = results().FirstTopLevelItem(); top != kNoItem; top = results().NextSibling(top))
            for (ItemHandle hit = results().FirstChild(top); hit != kNoItem; hit = results().NextSibling(hit))
                hits.push_back(hit);
    }
    ResultList& results() { return fixture.results(); }
    void replace(const std::string& replacement, const std::vector<ItemHandle>& marked)
    {
        for (ItemHandle item : marked) results().SetChecked(item, true);
        fixture.setReplacement(replacement);
        // The front end empties the run log text at the end of every run.
        fixture.runLog().clear();
        EXPECT_TRUE(ReplaceSelected(fixture.run()));
    }

    ReplaceFixture fixture;
    std::vector<ItemHandle> hits;
};

void overwrite(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

int backupsIn(const std::string& directory)
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) count += entry.path().extension() == ".bak" ? 1 : 0;
    return count;
}

}  // namespace

TEST(ReplaceSelected, LaterHitsMoveByTheChangeInLength)
{
    for (const std::uint32_t split : {0u, 8u}) {
        SCOPED_TRACE(split);
        TempTree tree;
        const std::string path = tree.write("f.txt", "0123456789abc3456789abc\n");
        Searched searched(selectedJob(split), tree.root());
        ASSERT_EQ(searched.hits.size(), 2u);
        ResultList& results = searched.results();
        EXPECT_EQ(results.ColumnText(searched.hits[1], ResultColumn::Position), "20");
        searched.replace("x", searched.hits);
        EXPECT_EQ(results.ColumnText(searched.hits[1], ResultColumn::Position), "18");
        EXPECT_EQ(ReadFile(path), "0123456789x3456789x\n");
        EXPECT_EQ(results.Kind(searched.hits[0]), ItemKind::Replaced);
        EXPECT_EQ(results.Kind(searched.hits[1]), ItemKind::Replaced);
        EXPECT_EQ(searched.fixture.runLog().text(), "");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tree.root()), {}), 1);
    }
}

TEST(ReplaceSelected, FilesChangedSinceTheSearchFailOnTheirHits)
{
    const std::string before = "abc------abc-----abc\n";
    const struct {
        const char* name;
        std::uint32_t split;
        std::function<void(const std::string& path)> change;
        std::string message;  // for every hit that fails
        std::string after;
        std::vector<ItemKind> kinds;
    } rows[] = {
        {"text moved",
         0,
         [](const std::string& p) { overwrite(p, "abc------abd-----abc\n"); },
         text::kChangedSinceSearch,
         "x------abd-----x\n",
         {ItemKind::Replaced, ItemKind::Error, ItemKind::Replaced}},
        {"text moved, split",
         8,
         [](const std::string& p) { overwrite(p, "abc------abd-----abc\n"); },
         text::kChangedSinceSearch,
         "x------abd-----x\n",
         {ItemKind::Replaced, ItemKind::Error, ItemKind::Replaced}},
        {"deleted",
         0,
         [](const std::string& p) { std::filesystem::remove(p); },
         text::kPathCannotOpen,
         "",
         {ItemKind::Error, ItemKind::Error, ItemKind::Error}},
        {"read-only",
         0,
         [](const std::string& p) { ::chmod(p.c_str(), 0444); },
         "Kann Datei nicht öffnen: " + SystemErrorText(EACCES),
         before,
         {ItemKind::Error, ItemKind::Error, ItemKind::Error}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempTree tree;
        const std::string path = tree.write("f.txt", before);
        Searched searched(selectedJob(row.split), tree.root());
        ASSERT_EQ(searched.hits.size(), 3u);
        row.change(path);
        searched.replace("x", searched.hits);
        EXPECT_EQ(ReadFile(path), row.after);
        std::string log;
        for (std::size_t i = 0; i < row.kinds.size(); ++i) {
            EXPECT_EQ(searched.results().Kind(searched.hits[i]), row.kinds[i]) << i;
            if (row.kinds[i] != ItemKind::Error) continue;
            EXPECT_EQ(searched.results().ColumnText(searched.hits[i], ResultColumn::Remark), row.message);
            log += row.message + ": " + path + "\r\n";
        }
        EXPECT_EQ(searched.fixture.runLog().text(), log);
    }
}

TEST(ReplaceSelected, AtMostOneBackupPerSearch)
{
    for (const std::uint32_t alwaysBackup : {0u, 1u}) {
        SCOPED_TRACE(alwaysBackup);
        TempTree tree;
        tree.write("f.txt", "abc abc\n");
        SearchJob job = selectedJob();
        job.makeBackup = 1;
        job.alwaysBackup = alwaysBackup;
        Searched searched(job, tree.root());
        ASSERT_EQ(searched.hits.size(), 2u);
        searched.replace("x", searched.hits);
        searched.replace("x", {searched.hits[1]});
        EXPECT_EQ(tree.read("f.txt"), "x x\n");
        EXPECT_EQ(backupsIn(tree.root()), static_cast<int>(alwaysBackup));
    }
}

TEST(ReplaceSelected, ContentsBeforeTheNameOfTheSameFile)
{
    TempTree tree;
    const std::string old = tree.write("abc.txt", "abc\n");
    SearchJob job = selectedJob();
    job.searchFileNames = 1;
    Searched searched(job, tree.root());
    const ItemHandle nameHit = searched.results().NextSibling(searched.results().FirstTopLevelItem());
    ASSERT_EQ(searched.results().Kind(nameHit), ItemKind::FileNameHit);
    ASSERT_EQ(searched.hits.size(), 1u);
    searched.replace("x", {searched.hits[0], nameHit});
    EXPECT_EQ(tree.read("x.txt"), "x\n");
    EXPECT_FALSE(std::filesystem::exists(old));
    EXPECT_EQ(searched.results().Kind(nameHit), ItemKind::Replaced);
    EXPECT_FALSE(searched.results().HasCheckBox(nameHit));
}

TEST(ReplaceSelected, StopBeforeTheRunChangesNothing)
{
    TempTree tree;
    const std::string path = tree.write("f.txt", "abc abc\n");
    Searched searched(selectedJob(), tree.root());
    searched.fixture.stopFlag() = true;
    searched.replace("x", searched.hits);
    EXPECT_EQ(ReadFile(path), "abc abc\n");
    EXPECT_EQ(searched.results().Kind(searched.hits[0]), ItemKind::None);
}

// A file whose new contents cannot be put in place is not changed, and its
// results say so: its hits are not "replaced" but carry the failure, with
// the positions the file still has, and the run log says the file was not
// changed.
TEST(ReplaceSelected, AFileThatCannotBeWrittenKeepsItsHitsUnreplaced)
{
    class RefusingRename final : public FileOps {
    public:
        std::error_code renameAt(int, const char*, int, const char*) override { return ErrnoCode(EIO); }
    };
    for (const std::uint32_t split : {0u, 8u}) {
        SCOPED_TRACE(split);
        TempTree tree;
        const std::string before = "0123456789abc3456789abc\n";
        const std::string path = tree.write("f.txt", before);
        Searched searched(selectedJob(split), tree.root());
        ASSERT_EQ(searched.hits.size(), 2u);
        RefusingRename refusing;
        FileOps::install(&refusing);
        searched.replace("x", searched.hits);
        FileOps::install(nullptr);

        const std::string failure = split ? std::string(text::kReplaceOriginalFailed) + " " + path + ": " + SystemErrorText(EIO)
                                          : std::string(text::kSaveFileFailed);
        ResultList& results = searched.results();
        EXPECT_EQ(ReadFile(path), before);
        for (const ItemHandle hit : searched.hits) {
            EXPECT_EQ(results.Kind(hit), ItemKind::Error);
            EXPECT_EQ(results.ColumnText(hit, ResultColumn::Remark), failure);
        }
        EXPECT_EQ(results.ColumnText(searched.hits[1], ResultColumn::Position), "20");
        EXPECT_EQ(searched.fixture.runLog().text(),
                  failure + ": " + path + "\r\n" + text::kFileNotChanged + ": " + path + "\r\n");
    }
}

}  // namespace tarnwick::test

namespace tarnwick::test {

// With captures each marked hit is matched again exactly where it was, which
// gives its groups; a hit whose text changed since the search no longer
// matches and fails, and later hits still move by the lengths inserted.
TEST(ReplaceSelected, CapturesFillInTheGroupsOfEachHitMatchedAgain)
{
    for (const std::uint32_t split : {0u, 8u}) {
        SCOPED_TRACE(split);
        TempTree tree;
        const std::string path = tree.write("f.txt", "ab=1 cd=22 ef=3\n");
        SearchJob job = selectedJob(split);
        job.regularExpression = true;
        job.replacementCaptures = true;
        Searched searched(job, tree.root(), "([a-z]+)=(\\d+)");
        ASSERT_EQ(searched.hits.size(), 3u);
        overwrite(path, "ab=1 cd=2x ef=3\n");  // the second hit no longer matches
        searched.replace("\\U$1\\E:$2$2", searched.hits);
        EXPECT_EQ(ReadFile(path), "AB:11 cd=2x EF:33\n");
        ResultList& results = searched.results();
        EXPECT_EQ(results.Kind(searched.hits[0]), ItemKind::Replaced);
        EXPECT_EQ(results.Kind(searched.hits[1]), ItemKind::Error);
        EXPECT_EQ(results.ColumnText(searched.hits[1], ResultColumn::Remark), text::kChangedSinceSearch);
        EXPECT_EQ(results.Kind(searched.hits[2]), ItemKind::Replaced);
        EXPECT_EQ(results.ColumnText(searched.hits[2], ResultColumn::Position), "12");
    }
}

}  // namespace tarnwick::test

namespace tarnwick::test {

// A UTF-16 file's marked hits are matched again as characters: their groups
// fill in the format, case changes reach letters beyond ASCII, and the
// result keeps the file's byte order.
TEST(ReplaceSelected, CapturesInAUtf16FileAreFilledInAsCharacters)
{
    auto littleEndian = [](std::u16string_view text) {
        std::string bytes("\xFF\xFE", 2);
        for (const char16_t u : text) bytes += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
        return bytes;
    };
    for (const std::uint32_t split : {0u, 16u}) {
        SCOPED_TRACE(split);
        TempTree tree;
        const std::string path = tree.write("f.txt", littleEndian(u"ab=1 \u00E4x=22\n"));
        SearchJob job = selectedJob(split);
        job.regularExpression = true;
        job.replacementCaptures = true;
        Searched searched(job, tree.root(), "(\\w+)=(\\d+)");
        ASSERT_EQ(searched.hits.size(), 2u);
        searched.replace("\\U$1\\E:$2$2", searched.hits);
        EXPECT_EQ(ReadFile(path), littleEndian(u"AB:11 \u00C4X:2222\n"));
        EXPECT_EQ(searched.results().Kind(searched.hits[1]), ItemKind::Replaced);
    }
}

}  // namespace tarnwick::test

namespace tarnwick::test {

// Marked hits take their own case, in a byte file (whole and streamed) and
// in a UTF-16 file, whose compared copy of a hit is folded.
TEST(ReplaceSelected, EachMarkedHitGivesItsCaseToItsReplacement)
{
    for (const std::uint32_t split : {0u, 8u}) {
        SCOPED_TRACE(split);
        TempTree tree;
        const std::string bytes = tree.write("f.txt", "foo Foo FOO fOO\n");
        const std::string units = tree.write("g.txt",
                                             std::string("\xFF\xFE"
                                                         "F\0o\0o\0 \0f\0o\0o\0",
                                                         16));
        SearchJob job = selectedJob(split);
        job.preserveCase = true;
        Searched searched(job, tree.root(), "foo");
        ASSERT_EQ(searched.hits.size(), 6u);
        searched.replace("bar", searched.hits);
        EXPECT_EQ(ReadFile(bytes), "bar Bar BAR bar\n");
        EXPECT_EQ(ReadFile(units),
                  std::string("\xFF\xFE"
                              "B\0a\0r\0 \0b\0a\0r\0",
                              16));
    }
}

TEST(ReplaceSelected, HitsInsideArchivesStayWithOneRemarkPerArchive)
{
    TempTree tree;
    tree.write("log", "abc abc\n");
    ASSERT_EQ(std::system(("gzip -n " + tree.path("log")).c_str()), 0);
    const std::string packed = ReadFile(tree.path("log.gz"));
    SearchJob job = selectedJob();
    job.searchInside = true;
    Searched searched(job, tree.root());
    ASSERT_EQ(searched.hits.size(), 2u);
    const ItemKind found = searched.results().Kind(searched.hits[0]);
    searched.replace("x", searched.hits);
    EXPECT_EQ(ReadFile(tree.path("log.gz")), packed);
    for (const ItemHandle hit : searched.hits) {
        EXPECT_EQ(searched.results().Kind(hit), found);
        EXPECT_EQ(searched.results().ColumnText(hit, ResultColumn::Remark), text::kInsideNotReplaced);
    }
    EXPECT_EQ(searched.fixture.runLog().text(), std::string(text::kInsideNotReplaced) + ": " + tree.path("log.gz") + "\r\n");
}

}  // namespace tarnwick::test
