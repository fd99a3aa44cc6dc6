// "Als Befehlszeile kopieren": the line built from a form state, read by
// tarnwick-cli's own parser, must give the job the desktop run would get.
#include "formjob/CommandLineText.h"
#include "cli/CommandLine.h"
#include "formjob/RelativeDates.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>

namespace tarnwick::test {
namespace {

using session::CommandLineKind;

constexpr std::int64_t kNow = 1'782'900'000;  // early July 2026: no clock change near it
constexpr std::int64_t kOneDay = 86'400;

settings::FormState BaseForm()
{
    settings::FormState form;
    form.searchTexts.text = "TODO";
    form.directories.text = "/home/me/src";
    form.fileTypes.text = "*.txt;";
    return form;
}

#define EXPECT_FIELD(field) EXPECT_EQ(parsed.field, expected.field) << #field
void ExpectSameJob(const SearchJob& parsed, const SearchJob& expected)
{
    EXPECT_FIELD(allFileTypes);
    EXPECT_FIELD(regularExpression);
    EXPECT_FIELD(replaceText);
    EXPECT_FIELD(nameStringMode);
    EXPECT_FIELD(includeSubfolders);
    EXPECT_FIELD(fileTypes);
    EXPECT_FIELD(nameStrings);
    EXPECT_FIELD(sizeFilter);
    EXPECT_FIELD(maxSizeKb);
    EXPECT_FIELD(minSizeKb);
    EXPECT_FIELD(searchFileNames);
    EXPECT_FIELD(searchContents);
    EXPECT_FIELD(matchCase);
    EXPECT_FIELD(wholeWords);
    EXPECT_FIELD(dateFrom);
    EXPECT_FIELD(dateTo);
    EXPECT_FIELD(dateCreated);
    EXPECT_FIELD(dateModified);
    EXPECT_FIELD(dateAccessed);
    EXPECT_FIELD(dateFilter);
    EXPECT_FIELD(searchDirNames);
    EXPECT_FIELD(backupExtension);
    EXPECT_FIELD(makeBackup);
    EXPECT_FIELD(contextLength);
    EXPECT_FIELD(skipBackupFiles);
    EXPECT_FIELD(useWord);
    EXPECT_FIELD(wordAutoMode);
    EXPECT_FIELD(alwaysBackup);
    EXPECT_FIELD(wordExtensions);
    EXPECT_FIELD(wordRegex);
    EXPECT_FIELD(wordAllParts);
    EXPECT_FIELD(specialCharacters);
    EXPECT_FIELD(attributesOnDirs);
    EXPECT_FIELD(skipHidden);
    EXPECT_FIELD(skipReadOnly);
    EXPECT_FIELD(skipArchive);
    EXPECT_FIELD(skipSystem);
    EXPECT_FIELD(splitLength);
    EXPECT_FIELD(splitMaxOffset);
    EXPECT_FIELD(tempDirIsCurrent);
    EXPECT_FIELD(tempDir);
    EXPECT_FIELD(ignoreNulls);
    EXPECT_FIELD(detectUtf8);
    EXPECT_FIELD(detectLength);
    EXPECT_FIELD(searchThreads);
    EXPECT_FIELD(filesWithoutHits);
    EXPECT_FIELD(replacementCaptures);
    EXPECT_FIELD(preserveCase);
    EXPECT_FIELD(searchInside);
}
#undef EXPECT_FIELD

// What a shell makes of the line: the words printf receives.
std::vector<std::string> WordsThroughShell(const std::string& line)
{
    const std::string command = "printf '%s\\0' " + line.substr(line.find(' ') + 1);
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (std::size_t got; pipe != nullptr && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
    if (pipe != nullptr) ::pclose(pipe);
    std::vector<std::string> words;
    for (std::size_t start = 0, end; (end = out.find('\0', start)) != std::string::npos; start = end + 1)
        words.push_back(out.substr(start, end - start));
    return words;
}

TEST(CommandLineText, TheCliParsesTheLineIntoTheJobOfTheDesktopRun)
{
    struct Case {
        const char* name;
        CommandLineKind kind;
        void (*setUp)(settings::FormState&);
    };
    const Case cases[] = {
        {"plain", CommandLineKind::Search, [](settings::FormState&) {}},
        {"regex with quotes, blanks and umlauts", CommandLineKind::Search,
         [](settings::FormState& f) {
             f.searchTexts.text = "-it's \"Grüße\" $(rm -rf ~) \\w+";
             f.regularExpression = 1;
             f.matchCase = 1;
             f.includeSubfolders = 1;
             f.directories.text = "/tmp/Ordner mit 'Blanks'";
         }},
        {"replace with escapes and backup options", CommandLineKind::Replace,
         [](settings::FormState& f) {
             f.replaceTexts.text = "--neu\\t'x'";
             f.specialCharacters = 1;
             f.wholeWords = 1;
             f.allFileTypes = 1;
             f.options.makeBackup = 0;
             f.options.backupExtension = ".orig";
             f.options.splitLength = 1'000'000;
             f.options.tempDirIsCurrent = 0;
             f.options.tempDir = "/var/tmp";
         }},
        {"name, size and attribute filters", CommandLineKind::Search,
         [](settings::FormState& f) {
             f.fileTypes.text = "*.h; *.cpp;";
             f.nameStrings.text = "-test;alt;";
             f.nameStringMode = 1;
             f.sizeFilter = 1;
             f.minSizeKb = 3;
             f.maxSizeKb = 0xFFFF'FFFF;
             f.skipHidden = f.skipReadOnly = f.skipSystem = f.attributesOnDirs = 1;
             f.searchFileNames = f.searchDirNames = 1;
             f.searchContents = 0;
             f.options.contextLength = 40;
             f.options.searchThreads = 3;
             f.options.detectUtf8 = 1;
             f.options.detectLength = 0;
             f.options.ignoreNulls = 1;
             f.options.skipBackupFiles = 0;
         }},
        {"absolute dates", CommandLineKind::Search,
         [](settings::FormState& f) {
             f.dateFilter = 1;
             f.dateModified = 1;
             f.dateCreated = 0;
         }},
        {"relative dates", CommandLineKind::Search,
         [](settings::FormState& f) {
             f.dateFilter = 1;
             f.dateRelative = 1;
             f.dateRelativeCount = 12;
             f.dateRelativeUnit = 1;
             f.dateAccessed = 1;
         }},
        {"Word mode", CommandLineKind::Search,
         [](settings::FormState& f) {
             f.wordAutoMode = 0;
             f.options.wordExtensions = "docx, odt";
             f.options.wordAllParts = 1;
         }},
        {"Word off", CommandLineKind::Search, [](settings::FormState& f) { f.useWord = 0; }},
        {"files without hits", CommandLineKind::Search, [](settings::FormState& f) { f.filesWithoutHits = 1; }},
        {"inside archives", CommandLineKind::Search, [](settings::FormState& f) { f.searchInside = 1; }},
        {"captures", CommandLineKind::Replace,
         [](settings::FormState& f) {
             f.regularExpression = 1;
             f.specialCharacters = 1;
             f.replacementCaptures = 1;
             f.preserveCase = 1;
         }},
        {"expressions in documents", CommandLineKind::Replace,
         [](settings::FormState& f) {
             f.regularExpression = 1;
             f.options.wordRegex = 1;
         }},
        // An empty value must not take the next word for its own.
        {"empty temporary folder, types as typed", CommandLineKind::Replace,
         [](settings::FormState& f) {
             f.options.tempDirIsCurrent = 0;
             f.options.tempDir.clear();
             f.fileTypes.text = " *.txt ; md";
         }},
    };
    const FixedClock clock(kNow);
    const std::int64_t from = kNow - 40 * kOneDay + 3'723;
    const std::int64_t to = kNow - 2 * kOneDay;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings::FormState form = BaseForm();
        c.setUp(form);
        const bool replace = c.kind == CommandLineKind::Replace;
        SearchJob expected = session::JobForRun(form, from, to, kNow);
        if (!expected.dateFilter) {
            // Without the filter the range is never read; the terminal program
            // keeps its own default one.
            expected.dateFrom = kNow - kOneDay;
            expected.dateTo = kNow;
        }
        if (!replace) expected.replaceText.clear();

        const std::vector<std::string> arguments = session::CommandLineArguments(form, c.kind, from, to);
        ASSERT_EQ(arguments.front(), "tarnwick-cli");
        const std::string line = session::ShellCommandLine(arguments);
        EXPECT_EQ(line.find('\n'), std::string::npos);
        const std::vector<std::string> words(arguments.begin() + 1, arguments.end());
        EXPECT_EQ(WordsThroughShell(line), words) << line;

        const Expected<CliRequest> parsed = ParseCommandLine(words, clock);
        ASSERT_TRUE(parsed) << parsed.error().detail << "\n" << line;
        const CliRequest& request = parsed.value();
        EXPECT_EQ(request.command, replace ? CliCommand::Replace : CliCommand::Search);
        EXPECT_EQ(request.searchText, form.searchTexts.text);
        EXPECT_EQ(request.directory, form.directories.text);
        EXPECT_EQ(request.replacementTyped, replace ? form.replaceTexts.text : "");
        ExpectSameJob(request.job, expected);
    }
}

TEST(CommandLineText, OnlyWhatDiffersFromTheDefaultsIsSpelledOut)
{
    settings::FormState form = BaseForm();
    form.allFileTypes = 1;
    EXPECT_EQ(session::ShellCommandLine(session::CommandLineArguments(form, CommandLineKind::Search, 0, 0)),
              "tarnwick-cli search -- TODO /home/me/src");
}

TEST(ChangedWithin, SetsTheRangeEndingAtTheStartOfTheRunAndRefusesWhatItCannotRead)
{
    const FixedClock clock(kNow);
    const Expected<CliRequest> days = ParseCommandLine({"search", "--changed-within", "7d", "x", "/tmp"}, clock);
    ASSERT_TRUE(days) << days.error().detail;
    EXPECT_TRUE(days.value().job.dateFilter);
    EXPECT_EQ(days.value().job.dateFrom, kNow - 7 * kOneDay);
    EXPECT_EQ(days.value().job.dateTo, std::numeric_limits<std::int64_t>::max());
    const Expected<CliRequest> hours = ParseCommandLine({"search", "--changed-within=12h", "x", "/tmp"}, clock);
    ASSERT_TRUE(hours) << hours.error().detail;
    EXPECT_EQ(hours.value().job.dateFrom, kNow - 12 * 3'600);

    for (const char* bad : {"7", "d", "0d", "7w", "-7d", "7 d", "100000d", "1.5h"}) {
        const Expected<CliRequest> refused =
            ParseCommandLine({"search", std::string("--changed-within=") + bad, "x", "/tmp"}, clock);
        ASSERT_FALSE(refused) << bad;
        EXPECT_EQ(refused.error().kind, FailureKind::InvalidInput) << bad;
        EXPECT_NE(refused.error().detail.find("Ungültige Zeitspanne"), std::string::npos) << refused.error().detail;
    }
    const Expected<CliRequest> both =
        ParseCommandLine({"search", "--changed-within=7d", "--date-from", "2026-01-01 00:00:00", "x", "/tmp"}, clock);
    ASSERT_FALSE(both);
    EXPECT_EQ(both.error().kind, FailureKind::InvalidInput);
}

}  // namespace
}  // namespace tarnwick::test
