// tarnwick-cli tells the truth about a run: what failed is neither counted
// nor hidden by the exit status, and a run stopped by a signal ends with its
// summary, whole files and no temporary file.
#include "engine/Messages.h"
#include "tests/cli/CliProcess.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sstream>

namespace tarnwick::test {
namespace {

using Paths = std::set<std::string>;

std::string replaceSummary(int hits, int files)
{
    return "Ersetzen abgeschlossen.  " + std::to_string(hits) + " Einträge in " + std::to_string(files) +
        " Dateien wurden ersetzt.";
}

std::string lastLine(const std::string& out)
{
    const std::string body = out.substr(0, out.size() - 1);
    return body.substr(body.rfind('\n') + 1);
}

}  // namespace

// A file whose new contents cannot be written (here: beyond the file size
// limit, EFBIG) keeps its lines, is followed by the word that it was not
// changed, adds nothing to the summary and makes the exit status 2.
TEST(CliExitStatus, AFailedCommitIsNeitherCountedNorHidden)
{
    TempTree tree;
    tree.write("d/a.txt", "a hit\n");
    const std::string bigBefore = "hit " + std::string(3000, 'x') + "\nhit\n";
    const std::string big = tree.write("d/b.txt", bigBefore);
    CliOptions options;
    options.fileSizeLimit = 1024;
    // The undo journal's copy of the file would meet the limit first.
    tree.write("config/Korvane/Tarnwick.conf", "[Optionen]\nRueckgaengig Journal=dword:00000000\n");
    options.configHome = tree.path("config");
    const CliOutcome run = RunCliWith({"replace", "--no-backup", "hit", "x", tree.path("d")}, options);

    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "Fehler beim Speichern der bearbeiteten Originaldatei " + big + ": " + std::strerror(EFBIG) + "\n");
    EXPECT_NE(run.out.find(big + "; P: 0; T: "), std::string::npos) << run.out;
    const std::string tail = "Die Datei wurde nicht geändert: " + big + "\n" + replaceSummary(1, 1) + "\n";
    EXPECT_TRUE(run.out.ends_with(tail)) << run.out;
    EXPECT_EQ(tree.read("d/a.txt"), "a x\n");
    EXPECT_EQ(tree.read("d/b.txt"), bigBefore);
    EXPECT_EQ(TreeEntries(tree.path("d")), (Paths{"a.txt", "b.txt"}));
}

// Ctrl+C or SIGTERM while the run prints: the run ends with a summary that
// counts what was printed, every file is whole (old or new) and no
// temporary file is left; the exit status is 128 + the signal. A second
// Ctrl+C right after the first does not cut the clean-up short.
TEST(CliExitStatus, ASignalStopsTheRunWithItsSummary)
{
    TempTree tree;
    std::string contents;
    for (int line = 0; line < 200; ++line) contents += "hit\n";
    std::string replaced;
    for (int line = 0; line < 200; ++line) replaced += "x\n";
    constexpr int kFiles = 300;

    const struct {
        const char* command;
        int signal;
        bool twice;
    } rows[] = {{"search", SIGINT, false}, {"search", SIGTERM, false}, {"replace", SIGINT, false}, {"replace", SIGINT, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.command) + " " + std::to_string(row.signal) + (row.twice ? " twice" : ""));
        for (int i = 0; i < kFiles; ++i) tree.write("big/f" + std::to_string(1000 + i) + ".txt", contents);
        std::vector<std::string> arguments{row.command, "--no-backup", "hit"};
        if (std::string(row.command) == "replace") arguments.push_back("x");
        arguments.push_back(tree.path("big"));
        CliOptions options;
        options.lines = 2;  // the first hit: the run is under way
        options.signal = row.signal;
        options.signalTwice = row.twice;
        const CliOutcome run = RunCliWith(arguments, options);

        EXPECT_EQ(run.status, 128 + row.signal) << run.err;
        // Where the stop lands depends on the machine's load (a search may
        // have found everything and only be printing): the summary must
        // agree with what was done either way, and a run the stop cut short
        // says so after it.
        const std::vector<std::string> body = BodyLines(run.out);
        const bool stopLine = lastLine(run.out) == text::kRunStopped;
        const std::string summary = lastLine(stopLine ? run.out.substr(0, run.out.rfind(text::kRunStopped)) : run.out);
        if (std::string(row.command) == "search") {
            EXPECT_TRUE(summary.starts_with("Suche abgeschlossen. " + std::to_string(body.size()) + " Einträge")) << summary;
            if (body.size() < 200u * kFiles) {
                EXPECT_TRUE(stopLine);
            }
            continue;
        }
        // The file being changed when the stop came may have printed lines
        // that its summary does not count; every other one was written.
        std::size_t changed = 0;
        for (int i = 0; i < kFiles; ++i) {
            const std::string now = tree.read("big/f" + std::to_string(1000 + i) + ".txt");
            EXPECT_TRUE(now == contents || now == replaced) << i;
            changed += now == replaced ? 1 : 0;
        }
        EXPECT_EQ(summary, replaceSummary(static_cast<int>(changed * 200), static_cast<int>(changed)));
        if (changed < kFiles) {
            EXPECT_TRUE(stopLine);
        }
        EXPECT_EQ(TreeEntries(tree.path("big")).size(), static_cast<std::size_t>(kFiles));
    }
}

// The stop line goes wherever the run's summary goes: the output, the
// operation log's block, and the run's information in an export.
TEST(CliExitStatus, AStoppedRunSaysItsResultsAreIncompleteWhereverItsSummaryGoes)
{
    TempTree tree;
    std::string contents;
    for (int line = 0; line < 200; ++line) contents += "hit\n";
    // Far more output than the pipe holds: the run is under way when the signal comes.
    for (int i = 0; i < 400; ++i) tree.write("big/f" + std::to_string(1000 + i) + ".txt", contents);
    const std::string stopped = text::kRunStopped;
    CliOptions options;
    options.lines = 2;
    options.signal = SIGINT;
    const std::string log = tree.path("run.log");
    const std::string xml = tree.path("export.xml");
    const CliOutcome run = RunCliWith({"search", "--log", log, "--out", xml, "hit", tree.path("big")}, options);
    EXPECT_EQ(run.status, 128 + SIGINT) << run.err;
    EXPECT_EQ(lastLine(run.out), stopped);
    const std::string block = ReadFile(log);
    EXPECT_NE(block.find(" wurden gefunden.\r\n" + stopped + "\r\n\r\n"), std::string::npos) << block.substr(0, 200);
    const std::string exported = ReadFile(xml);
    EXPECT_NE(exported.find("<HINWEIS>" + stopped + "</HINWEIS>"), std::string::npos) << exported.substr(0, 400);
}

}  // namespace tarnwick::test
