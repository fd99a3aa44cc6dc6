#include "engine/replace/ReplaceInFile.h"
#include "engine/Messages.h"
#include "engine/replace/ReplaceBuffer.h"
#include "engine/replace/ReplaceWalk.h"
#include "platform/SystemError.h"
#include "tests/support/ReplaceFixture.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

namespace tarnwick::test {
namespace {

constexpr unsigned Regex = 1u << 0;
constexpr unsigned MatchCase = 1u << 1;
constexpr unsigned WholeWords = 1u << 2;

SearchJob replaceJob(unsigned options = 0, std::uint32_t splitLength = 0)
{
    SearchJob job = TestJob();
    job.makeBackup = 0;
    job.regularExpression = (options & Regex) != 0;
    job.matchCase = (options & MatchCase) != 0;
    job.wholeWords = (options & WholeWords) != 0;
    if (splitLength) job.splitLength = splitLength;
    job.splitMaxOffset = 32;
    return job;
}

ino_t inodeOf(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

std::vector<std::string> namesIn(const std::string& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(ReplaceInFile, SameContentsUnsplitAndAcrossChunkBorders)
{
    const struct {
        const char* name;
        std::string bytes, search, replacement;
        unsigned options;
        std::string expected;
    } rows[] = {
        {"a replacement holding the search text is not searched again", "ab ab", "ab", "abab", 0, "abab abab"},
        {"rejected candidates inside a word", "banana a", "a", "", WholeWords, "banana "},
        {"occurrence across a border", "------abc-------", "abc", "X", 0, "------X-------"},
        {"only match in a later chunk", std::string(20, 'b') + "a1", "a\\d", "X", Regex, std::string(20, 'b') + "X"},
        // Regression: with everything before a chunk removed, the next chunk
        // saw the removed byte before it instead of the start of the text.
        {"all text before a border removed (word)", " a a a a a a a a a a", " a", "", WholeWords, ""},
        // Removing a line's start makes no new line start: one "a" goes, as with sed and Perl.
        {"all text before a border removed (line start)", std::string(16, 'a'), "^a", "", Regex, std::string(15, 'a')},
        {"line starts after a removed line start", "aaa\nab", "^a", "", Regex, "aa\nb"},
        // Regression: the overlap of the next chunk reached back into a
        // candidate rejected as part of a longer word.
        {"rejected candidate is not searched again", "ba a a", "a a", "X", WholeWords | MatchCase, "ba a a"},
    };
    TempTree tree;
    const std::string path = tree.path("f.txt");
    for (const auto& row : rows) {
        for (const std::uint32_t split : {0u, 4u, 5u, 6u, 8u}) {
            SCOPED_TRACE(::testing::Message() << row.name << ", split " << split);
            tree.write("f.txt", row.bytes);
            ReplaceFixture fixture(replaceJob(row.options, split), row.search, row.replacement);
            EXPECT_TRUE(ReplaceInFile(fixture.run(), path));
            EXPECT_EQ(ReadFile(path), row.expected);
            EXPECT_TRUE(fixture.errors().empty());
        }
    }
}

TEST(ReplaceInFile, ListsEachReplacementAtItsPlaceInTheChangedFile)
{
    TempTree tree;
    const std::string path = tree.write("f.txt", "ab ab");
    ReplaceFixture fixture(replaceJob(), "ab", "abab");
    EXPECT_TRUE(ReplaceInFile(fixture.run(), path));
    EXPECT_EQ(fixture.topLevel(ItemKind::File), std::vector<std::string>{path});
    const auto hits = fixture.hits();
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].position, 0);
    EXPECT_EQ(hits[1].position, 5);
    // The context shows the text as it stood when the occurrence was replaced.
    // The line runs to the end of the file, which is no line end.
    EXPECT_EQ(hits[1].context, "abab ab...");
    EXPECT_EQ(hits[1].highlightStart, 5);
    EXPECT_EQ(hits[1].length, 2);
    EXPECT_EQ(fixture.runLog().text(), path + "; P: 0; T: ab ab...\r\n" + path + "; P: 5; T: abab ab...\r\n");
    EXPECT_EQ(fixture.counters().hits.load(), 2);
    EXPECT_EQ(fixture.counters().files.load(), 1);
}

TEST(ReplaceInFile, SplitsOnlyFilesLongerThanOnePointOneChunks)
{
    TempTree tree;
    for (const std::size_t length : {11u, 12u}) {
        SCOPED_TRACE(length);
        const std::string path = tree.write("f.txt", std::string(length, 'a'));
        ReplaceFixture fixture(replaceJob(0, 10), "a", "bb");
        ReplaceBuffer buffer(fixture.run());
        ASSERT_EQ(buffer.open(path), std::error_code());
        ASSERT_EQ(buffer.prepareReplace(), (ReplaceStep{ReplaceOutcome::Occurrence, 0}));
        EXPECT_EQ(buffer.isSplit(), length == 12);
        while (buffer.replaceNext().outcome == ReplaceOutcome::Occurrence) {}
        EXPECT_TRUE(buffer.finish());
        EXPECT_EQ(ReadFile(path), std::string(2 * length, 'b'));
    }
}

// Each step of the buffer says what it came to: where an occurrence is (the
// probe: where the file has it; a replacement: where the inserted text
// stands in the changed file), that there is none (more), or that it failed
// and has said so. Split or not, expression or not, the steps are the same.
TEST(ReplaceInFile, BufferStepsSayWhereWhetherOrThatItFailed)
{
    TempTree tree;
    const struct {
        const char* name;
        unsigned options;
        std::uint32_t split;
        const char* search;
        const char* replacement;
        std::vector<std::int64_t> offsets;  // empty: nothing to replace
        const char* after;
    } rows[] = {
        {"plain", 0, 0, "ab", "xyz", {2, 7}, "--xyz--xyz-"},    {"plain, split", 0, 4, "ab", "xyz", {2, 7}, "--xyz--xyz-"},
        {"expression", Regex, 0, "a.", "Q", {2, 5}, "--Q--Q-"}, {"expression, split", Regex, 4, "a.", "Q", {2, 5}, "--Q--Q-"},
        {"nothing there", 0, 0, "zz", "Q", {}, "--ab--ab-"},    {"nothing there, split", Regex, 4, "z.", "Q", {}, "--ab--ab-"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = tree.write("f.txt", "--ab--ab-");
        ReplaceFixture fixture(replaceJob(row.options, row.split), row.search, row.replacement);
        ReplaceBuffer buffer(fixture.run());
        ASSERT_EQ(buffer.open(path), std::error_code());
        const ReplaceStep probe = buffer.prepareReplace();
        if (row.offsets.empty()) {
            EXPECT_EQ(probe, ReplaceStep{ReplaceOutcome::NoOccurrence});
        } else {
            EXPECT_EQ(probe, (ReplaceStep{ReplaceOutcome::Occurrence, 2}));
            std::vector<std::int64_t> offsets;
            ReplaceStep step;
            while ((step = buffer.replaceNext()).outcome == ReplaceOutcome::Occurrence) offsets.push_back(step.offset);
            EXPECT_EQ(step.outcome, ReplaceOutcome::NoOccurrence);
            EXPECT_EQ(offsets, row.offsets);
            EXPECT_TRUE(buffer.finish());
        }
        EXPECT_EQ(ReadFile(path), row.after);
        EXPECT_TRUE(fixture.errors().empty());
    }

    // Without its temporary file a split replace fails before it changes anything.
    const std::string path = tree.write("f.txt", "--ab--ab-");
    SearchJob job = replaceJob(0, 4);
    job.tempDirIsCurrent = false;
    job.tempDir = tree.path("missing");
    ReplaceFixture fixture(job, "ab", "xyz");
    ReplaceBuffer buffer(fixture.run());
    ASSERT_EQ(buffer.open(path), std::error_code());
    EXPECT_EQ(buffer.prepareReplace(), ReplaceStep{ReplaceOutcome::Failed});
    EXPECT_EQ(ReadFile(path), "--ab--ab-");
    const auto errors = fixture.errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].first, path);
    EXPECT_EQ(errors[0].second, text::kTempCreateFailed + SystemErrorText(ENOENT));
}

TEST(ReplaceInFile, BackupTakesTheFirstFreeName)
{
    TempTree tree;
    const std::string path = tree.write("a.txt", "needle");
    tree.write("a.txt.bak", "older");
    SearchJob job = replaceJob();
    job.makeBackup = 1;
    ReplaceFixture fixture(job, "needle", "needle!");
    EXPECT_TRUE(ReplaceInFile(fixture.run(), path));
    EXPECT_TRUE(ReplaceInFile(fixture.run(), path));
    EXPECT_EQ(tree.read("a.txt"), "needle!!");
    EXPECT_EQ(tree.read("a.txt.bak"), "older");
    EXPECT_EQ(tree.read("a.txt (1).bak"), "needle");
    EXPECT_EQ(tree.read("a.txt (2).bak"), "needle!");
    EXPECT_TRUE(fixture.errors().empty());
}

TEST(ReplaceDirectory, LeavesBackupsOfExistingFilesAndFilesWithoutOccurrencesAlone)
{
    TempTree tree;
    const std::string source = tree.write("a.txt", "nothing here");
    tree.write("a.txt.bak", "needle");
    tree.write("b.txt", "x");
    tree.write("b.txt.BAK", "needle");
    const ino_t inode = inodeOf(source);
    SearchJob job = replaceJob();
    job.makeBackup = 1;
    job.skipBackupFiles = 0;  // the skip below is for backups of existing files only
    {
        ReplaceFixture fixture(job, "needle", "pin");
        RunReplace(fixture.run(), tree.root());
        EXPECT_EQ(fixture.results().ItemCount(), 0u);
        EXPECT_EQ(fixture.counters().files.load(), 0);
        EXPECT_EQ(namesIn(tree.root()), (std::vector<std::string>{"a.txt", "a.txt.bak", "b.txt", "b.txt.BAK"}));
        EXPECT_EQ(inodeOf(source), inode);  // not even rewritten
        EXPECT_EQ(tree.read("a.txt.bak"), "needle");
    }
    // A backup whose file is gone is a file like any other.
    std::filesystem::remove(source);
    ReplaceFixture fixture(job, "needle", "pin");
    RunReplace(fixture.run(), tree.root());
    EXPECT_EQ(tree.read("a.txt.bak"), "pin");
    EXPECT_EQ(tree.read("a.txt.bak.bak"), "needle");
    EXPECT_EQ(tree.read("b.txt.BAK"), "needle");
}

TEST(ReplaceInFile, OccurrencesOnlyInsideLongerWords)
{
    // The probe finds the text, the whole-word test rejects every candidate:
    // the file is counted, backed up and listed, but keeps its bytes.
    TempTree tree;
    const std::string path = tree.write("f.txt", "needles needled");
    const ino_t inode = inodeOf(path);
    SearchJob job = replaceJob(WholeWords);
    job.makeBackup = 1;
    ReplaceFixture fixture(job, "needle", "pin");
    EXPECT_TRUE(ReplaceInFile(fixture.run(), path));
    EXPECT_EQ(fixture.topLevel(ItemKind::File), std::vector<std::string>{path});
    EXPECT_TRUE(fixture.hits().empty());
    EXPECT_EQ(fixture.counters().files.load(), 1);
    EXPECT_EQ(fixture.counters().hits.load(), 0);
    EXPECT_EQ(tree.read("f.txt.bak"), "needles needled");
    EXPECT_EQ(tree.read("f.txt"), "needles needled");
    EXPECT_EQ(inodeOf(path), inode);
}

TEST(ReplaceInFile, ReadOnlyFileIsReportedAndLeftAlone)
{
    TempTree tree;
    const std::string path = tree.write("f.txt", "needle");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    SearchJob job = replaceJob();
    job.makeBackup = 1;
    ReplaceFixture fixture(job, "needle", "pin");
    EXPECT_TRUE(ReplaceInFile(fixture.run(), path));
    const auto errors = fixture.errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].first, path);
    EXPECT_EQ(errors[0].second, "Kann Datei nicht öffnen: " + SystemErrorText(EACCES));
    EXPECT_EQ(fixture.results().ItemCount(), 1u);
    EXPECT_EQ(fixture.runLog().text(), "Kann Datei nicht öffnen: \r\n");
    EXPECT_EQ(namesIn(tree.root()), std::vector<std::string>{"f.txt"});
    EXPECT_EQ(tree.read("f.txt"), "needle");
}

TEST(ReplaceInFile, Utf8FileUnderSingleByteCodePage)
{
    // Search and replacement are ISO-8859-1 bytes; the file gets their UTF-8
    // forms, and the capital is found as well since case does not matter.
    static const CodePage latin1("ISO-8859-1");
    TempTree tree;
    const std::string path = tree.write("f.txt", "\xEF\xBB\xBFK\xC3\xA4se \xC3\x84");
    ReplaceFixture fixture(replaceJob(), "\xE4", "\xF6", latin1);
    EXPECT_TRUE(ReplaceInFile(fixture.run(), path));
    EXPECT_EQ(ReadFile(path), "\xEF\xBB\xBFK\xC3\xB6se \xC3\xB6");
    EXPECT_EQ(fixture.results().Data(fixture.results().FirstTopLevelItem()).first, 4);
    const auto hits = fixture.hits();
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].position, 4);
    EXPECT_EQ(hits[0].length, 2);
    EXPECT_EQ(hits[0].highlightLength, 1);
    EXPECT_EQ(hits[1].position, 9);
    EXPECT_EQ(hits[1].context, "K\xF6se \xC4...");
}

}  // namespace tarnwick::test
