#include "engine/log/OperationLog.h"
#include "engine/log/RunLog.h"
#include "engine/worker/Notifier.h"
#include "engine/worker/RunLifecycle.h"
#include "platform/SystemError.h"
#include "results/ResultList.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <ctime>

namespace tarnwick::test {
namespace {

constexpr std::int64_t kNow = 1'765'289'587;  // a fixed moment; the expected text is formatted locally

std::string expectedDateLine(std::int64_t seconds)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&t, &local);
    char buffer[128];
    return std::string(buffer, std::strftime(buffer, sizeof buffer, "%d.%B.%Y, %H:%M:%S\r\n", &local));
}

TEST(RunLog, LineBytes)
{
    RunLog log;
    log.appendHitLine("/t/x.txt", 10, 3, "ab cd");
    log.appendNameHitLine("Im Dateinamen gefunden", "/t/needle.txt");
    log.appendCannotOpenLine();
    log.appendMessageLine("MS Word kann nicht initialisiert werden", "/t/a.doc");
    EXPECT_EQ(log.text(),
              "/t/x.txt; P: 10; L: 3; T: ab cd\r\n"
              "Im Dateinamen gefunden/t/needle.txt\r\n"
              "Kann Datei nicht öffnen: \r\n"
              "MS Word kann nicht initialisiert werden: /t/a.doc\r\n");
}

// A long run's text lies in pieces; it reads back whole, also across the
// piece borders, and a new run starts it afresh.
TEST(RunLog, ALongTextReadsBackWholeAndSetStartsAfresh)
{
    RunLog log;
    std::string expected;
    for (int i = 0; i < 40'000; ++i) {
        const std::string context = std::string(static_cast<std::size_t>(i % 97), 'c') + std::to_string(i);
        log.appendHitLine("/t/x.txt", i, 3, context);
        logline::Hit(expected, "/t/x.txt", i, 3, context);
    }
    const std::string big(3'000'000, 'b');  // one append longer than a piece
    log.append(big);
    expected += big;
    ASSERT_GT(expected.size(), 5'000'000u);
    EXPECT_TRUE(log.text() == expected);
    log.set("Suche nach : x\r\n");
    EXPECT_EQ(log.text(), "Suche nach : x\r\n");
    log.clear();
    EXPECT_EQ(log.text(), "");
}

TEST(OperationLog, BlocksAreAppendedAndTheFileIsNeverShortened)
{
    TempTree tree;
    const std::string path = tree.write("run.log", "older contents\r\n");
    FixedClock clock(kNow);
    ResultList results;
    WriteRunLog(path, "first\r\nsummary", clock, results);
    clock.set(kNow + 3'600 * 24 * 40 + 61);
    WriteRunLog(path, "second", clock, results);
    EXPECT_EQ(ReadFile(path),
              "older contents\r\n" + expectedDateLine(kNow) + "first\r\nsummary\r\n\r\n" +
                  expectedDateLine(kNow + 3'600 * 24 * 40 + 61) + "second\r\n\r\n");
    EXPECT_EQ(results.ItemCount(), 0u);

    // A new file is created.
    WriteRunLog(tree.path("new.log"), "", clock, results);
    EXPECT_EQ(tree.read("new.log"), expectedDateLine(kNow + 3'600 * 24 * 40 + 61) + "\r\n\r\n");
}

TEST(OperationLog, LogThatCannotBeOpenedBecomesOneErrorItem)
{
    TempTree tree;
    ResultList results;
    WriteRunLog(tree.path("missing/run.log"), "text", FixedClock(kNow), results);
    ASSERT_EQ(results.ItemCount(), 1u);
    const ItemHandle item = results.FirstTopLevelItem();
    EXPECT_EQ(results.Kind(item), ItemKind::Error);
    EXPECT_EQ(results.ColumnText(item, ResultColumn::FileOrContext),
              "Kann nicht in Log Datei schreiben: " + SystemErrorText(ENOENT));
}

TEST(RunLifecycle, BeginSearchRunSetsTheHeader)
{
    ResultList results;
    results.AddFileItem("old", ItemKind::Error);
    results.SetAutoScroll(false);
    RunLog log;
    log.append("stale");
    BeginSearchRun(results, log, "Needle");
    EXPECT_EQ(log.text(), "Suche nach : Needle\r\n");
    ASSERT_EQ(results.ItemCount(), 1u);
    EXPECT_EQ(results.Kind(results.FirstTopLevelItem()), ItemKind::Info);
    EXPECT_EQ(results.ColumnText(results.FirstTopLevelItem(), ResultColumn::FileOrContext), "Suche nach : Needle");
    EXPECT_TRUE(results.AutoScroll());
}

TEST(RunLifecycle, CompleteRunWritesOnlyWhatTheSettingsAskFor)
{
    const std::string summary = "Suche abgeschlossen. 3 Einträge in 2 Dateien  wurden gefunden.";
    const struct {
        UserMessage message;
        bool enabled;
        bool onlyReplace;
        bool written;
        std::string summary;
    } cases[] = {
        {UserMessage::SearchDone, true, true, false, summary},
        {UserMessage::SearchDone, false, false, false, summary},
        {UserMessage::SearchDone, true, false, true, summary},
        {UserMessage::RunAborted, true, false, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.message) << c.enabled << c.onlyReplace);
        TempTree tree;
        ResultList results;
        RunLog log;
        BeginSearchRun(results, log, "needle");
        log.append("/t/a.txt; P: 0; L: 6; T: needle\r\n");
        const LogSettings settings{c.enabled, tree.path("run.log"), c.onlyReplace};
        EXPECT_EQ(CompleteRun(c.message, RunTally{3, 2}, results, log, settings, FixedClock(kNow)), c.summary);
        EXPECT_EQ(log.text(), "");
        EXPECT_EQ(tree.read("run.log"),
                  c.written ? expectedDateLine(kNow) + "Suche nach : needle\r\n/t/a.txt; P: 0; L: 6; T: needle\r\n" + summary +
                          "\r\n\r\n"
                            : "");
        // The summary also becomes the last info item.
        const ItemHandle last = results.TopLevelItem(results.TopLevelCount() - 1);
        EXPECT_EQ(results.ColumnText(last, ResultColumn::FileOrContext), c.summary.empty() ? "Suche nach : needle" : c.summary);
    }
}

}  // namespace
}  // namespace tarnwick::test

namespace tarnwick::test {
namespace {

TEST(RunLifecycle, ANoteThatNoFilePassedTheFiltersGoesIntoTheListButNotIntoTheLogFile)
{
    TempTree tree;
    ResultList results;
    RunLog log;
    BeginReplaceRun(results, log, "alt", "neu");
    const LogSettings settings{true, tree.path("run.log"), false};
    const std::string summary = "Ersetzen abgeschlossen.  0 Einträge in 0 Dateien wurden ersetzt.";
    EXPECT_EQ(CompleteRun(UserMessage::ReplaceDone, RunTally{0, 0, 0}, results, log, settings, FixedClock(kNow)),
              summary + " Keine Datei entsprach den Filtern.");
    EXPECT_EQ(tree.read("run.log"), expectedDateLine(kNow) + "Ersetze alt durch neu\r\n" + summary + "\r\n\r\n");
    // Files that passed without a hit, or a count nobody kept: the summary alone.
    for (const std::int32_t admitted : {1, -1}) {
        BeginSearchRun(results, log, "x");
        EXPECT_EQ(CompleteRun(UserMessage::SearchDone, RunTally{0, 0, admitted}, results, log, LogSettings{}, FixedClock(kNow)),
                  "Suche abgeschlossen. 0 Einträge in 0 Dateien  wurden gefunden.");
    }
}

}  // namespace
}  // namespace tarnwick::test

namespace tarnwick::test {
namespace {

const std::string kStopped = "Der Lauf wurde gestoppt; die Ergebnisse sind unvollständig.";

std::string lastItemText(const ResultList& results)
{
    return results.ColumnText(results.TopLevelItem(results.TopLevelCount() - 1), ResultColumn::FileOrContext);
}

TEST(RunLifecycle, AStoppedRunKeepsItsSummaryAndSaysItsResultsAreIncomplete)
{
    TempTree tree;
    ResultList results;
    RunLog log;
    const LogSettings settings{true, tree.path("run.log"), false};
    RunTally stopped{0, 0, 0};
    stopped.stopped = true;
    BeginSearchRun(results, log, "needle");
    const std::string summary = "Suche abgeschlossen. 0 Einträge in 0 Dateien  wurden gefunden.";
    // Nothing admitted before the stop says nothing about the filters.
    EXPECT_EQ(CompleteRun(UserMessage::SearchDone, stopped, results, log, settings, FixedClock(kNow)),
              summary + "\r\n" + kStopped);
    ASSERT_EQ(results.TopLevelCount(), 3u);
    EXPECT_EQ(results.ColumnText(results.TopLevelItem(1), ResultColumn::FileOrContext), summary);
    EXPECT_EQ(lastItemText(results), kStopped);
    std::string expected = expectedDateLine(kNow) + "Suche nach : needle\r\n" + summary + "\r\n" + kStopped + "\r\n\r\n";
    EXPECT_EQ(tree.read("run.log"), expected);

    // A replace in the marked results has no summary: the line follows its last entry.
    log.append("Kann Pfad nicht öffnen: /t/b.txt\r\n");
    EXPECT_EQ(CompleteRun(UserMessage::SelectedDone, stopped, results, log, settings, FixedClock(kNow)), kStopped);
    EXPECT_EQ(lastItemText(results), kStopped);
    expected += expectedDateLine(kNow) + "Kann Pfad nicht öffnen: /t/b.txt\r\n" + kStopped + "\r\n\r\n";
    EXPECT_EQ(tree.read("run.log"), expected);

    // The conversion too; a run that was not stopped has no such line.
    BeginRenameRun(results, log);
    EXPECT_EQ(CompleteRun(UserMessage::RenameDone, stopped, results, log, LogSettings{}, FixedClock(kNow)),
              "Umbenennen abgeschlossen.  0 Einträge wurden umbenannt.\r\n" + kStopped);
    BeginRenameRun(results, log);
    EXPECT_EQ(CompleteRun(UserMessage::RenameDone, RunTally{2, 0}, results, log, LogSettings{}, FixedClock(kNow)),
              "Umbenennen abgeschlossen.  2 Einträge wurden umbenannt.");
}

}  // namespace
}  // namespace tarnwick::test
