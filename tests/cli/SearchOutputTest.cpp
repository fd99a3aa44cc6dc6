// tarnwick-cli end to end: what it prints, where, and with which exit status.
#include "tests/cli/CliProcess.h"
#include "tests/support/TempTree.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <regex>
#include <tuple>

namespace tarnwick::test {
namespace {

const std::string kSummaryOneHit = "Suche abgeschlossen. 1 Einträge in 1 Dateien  wurden gefunden.";
const std::string kSummaryNothing = "Suche abgeschlossen. 0 Einträge in 0 Dateien  wurden gefunden.";

TEST(CliSearchOutput, PrintsContentAndNameHitsByteForByte)
{
    TempTree tree;
    tree.write("hitdir/hit.txt", "a hit here\nno match\r\nHIT again\n");
    const std::string dir = tree.path("hitdir"), file = tree.path("hitdir/hit.txt");

    CliOutcome run = RunCli({"search", "-r", "--file-names", "--dir-names", "hit", tree.root()});
    EXPECT_EQ(run.out,
              "Suche nach : hit\n" + file + "; P: 2; L: 3; T: a hit here\n" + file +
                  "; P: 21; L: 3; T: HIT again\n"
                  "Im Dateinamen gefunden" +
                  file +
                  "\n"
                  "Im Verzeichnisnamen gefunden" +
                  dir +
                  "\n"
                  "Suche abgeschlossen. 2 Einträge in 3 Dateien  wurden gefunden.\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 0);

    // Names alone: no content hits, yet the name hit counts as a found file.
    run = RunCli({"search", "--no-contents", "--file-names", "hit", dir});
    EXPECT_EQ(run.out,
              "Suche nach : hit\nIm Dateinamen gefunden" + file +
                  "\nSuche abgeschlossen. 0 Einträge in 1 Dateien  wurden gefunden.\n");
    EXPECT_EQ(run.status, 0);

    run = RunCli({"search", "absent", dir});
    EXPECT_EQ(run.out, "Suche nach : absent\n" + kSummaryNothing + "\n");
    EXPECT_EQ(run.status, 1);

    // Nothing found because no file passed the filters: the summary says so.
    run = RunCli({"search", "-t", "*.none", "hit", dir});
    EXPECT_EQ(run.out, "Suche nach : hit\n" + kSummaryNothing + " Keine Datei entsprach den Filtern.\n");
    EXPECT_EQ(run.status, 1);
}

TEST(CliSearchOutput, RefusesToStartWithExitStatus2)
{
    TempTree tree;
    tree.write("a.txt", "x");
    struct Case {
        std::vector<std::string> args;
        std::string errStart;
    };
    const Case cases[] = {
        {{"search", "--bogus", "x", tree.root()}, "The following argument was not expected: --bogus"},
        {{"search", "-e", "a[b", tree.root()}, "Ungültiger regulärer Ausdruck: "},
        {{"search", "x", tree.path("missing")}, tree.path("missing") + ": Das Verzeichnis existiert nicht\n"},
        {{"search", "x", tree.path("a.txt")}, tree.path("a.txt") + ": Der Pfad ist kein Verzeichnis\n"},
        {{"search", "--date-from", "2024-02-30 00:00:00", "x", tree.root()}, "invalid date: 2024-02-30"},
        {{"search", "--date-to", "yesterday", "x", tree.root()}, "invalid date: yesterday"},
        {{"search", "", tree.root()}, "Kein Suchstring definiert."},
        {{"search", "x"}, ""},
        {{"frobnicate"}, ""},
    };
    for (const Case& c : cases) {
        const CliOutcome run = RunCli(c.args);
        SCOPED_TRACE(c.args.back());
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(run.err.empty());
        EXPECT_EQ(run.err.compare(0, c.errStart.size(), c.errStart), 0) << run.err;
    }

    for (const std::vector<std::string>& help : {std::vector<std::string>{"--help"}, {"search", "--help"}}) {
        const CliOutcome run = RunCli(help);
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.out.find("search"), std::string::npos);
        EXPECT_EQ(run.err, "");
    }
    EXPECT_NE(RunCli({"search", "--help"}).out.find("--split-length"), std::string::npos);
}

TEST(CliSearchOutput, ReportsLockedFilesAndDocumentsAsErrorItems)
{
    TempTree tree;
    const std::string locked = tree.write("locked/a.txt", "x");
    const int fd = ::open(locked.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    CliOutcome run = RunCli({"search", "x", tree.path("locked")});
    ::close(fd);
    EXPECT_EQ(run.out, "Suche nach : x\nKann Datei nicht öffnen: \n" + kSummaryNothing + "\n");
    EXPECT_EQ(run.err, locked + ": Kann Datei nicht öffnen: " + std::strerror(EWOULDBLOCK) + "\n");
    EXPECT_EQ(run.status, 2);

    // A "document" the component cannot read is reported, not read as bytes.
    const std::string doc = tree.write("docs/a.docx", std::string("x\0marks", 7));
    const std::string reason = "Laufzeitfehler '5002':Das Dateiformat wird nicht unterstützt.";
    run = RunCli({"search", "x", tree.path("docs")});
    EXPECT_EQ(run.out, "Suche nach : x\n" + reason + ": " + doc + "\n" + kSummaryNothing + "\n");
    EXPECT_EQ(run.err, doc + ": " + reason + "\n");
    EXPECT_EQ(run.status, 2);

    run = RunCli({"search", "--no-word", "x", tree.path("docs")});
    EXPECT_EQ(run.out, "Suche nach : x\n" + doc + "; P: 0; L: 1; T: x\n" + kSummaryOneHit + "\n");
    EXPECT_EQ(run.err, "");
}

TEST(CliSearchOutput, LogAppendsOneCrLfBlockPerRun)
{
    TempTree tree;
    const std::string file = tree.write("files/a.txt", "a hit\n");
    const std::string log = tree.path("run.log");
    ASSERT_EQ(RunCli({"search", "--log", log, "hit", tree.path("files")}).status, 0);
    ASSERT_EQ(RunCli({"search", "--log", log, "nope", tree.path("files")}).status, 1);

    const std::string date = R"(\d\d\.[A-Za-z]+\.\d{4}, \d\d:\d\d:\d\d\r\n)";
    const std::string first = "Suche nach : hit\r\n" + file + "; P: 2; L: 3; T: a hit\r\n" + kSummaryOneHit + "\r\n\r\n";
    const std::string second = "Suche nach : nope\r\n" + kSummaryNothing + "\r\n\r\n";
    const std::string text = tree.read("run.log");
    const std::string rest = R"(([\s\S]*))";
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(text, parts, std::regex("(" + date + ")" + rest + "(" + date + ")" + rest))) << text;
    EXPECT_EQ(parts[2].str(), first);
    EXPECT_EQ(parts[4].str(), second);

    // A log that cannot be written costs the run nothing but an error line,
    // and the exit status says that something failed.
    const CliOutcome run = RunCli({"search", "--log", tree.path("no/such/dir.log"), "hit", tree.path("files")});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, std::string("Kann nicht in Log Datei schreiben: ") + std::strerror(ENOENT) + "\n");
    EXPECT_NE(run.out.find(kSummaryOneHit), std::string::npos);
}

// The terminal output, standard error, the log file and an export are the
// same whatever the number of search threads.
TEST(CliSearchOutput, OutputIsTheSameWithAnyNumberOfThreads)
{
    TempTree tree;
    for (int i = 0; i < 60; ++i) {
        const std::string dir = "src/d" + std::to_string(i % 7) + (i % 3 ? "/needle_sub/" : "/");
        tree.write(dir + "f" + std::to_string(i) + ".txt", std::string(i * 37, 'x') + " needle\n" + std::string(i, 'y'));
        if (i % 5 == 0) tree.write(dir + "needle" + std::to_string(i) + ".dat", "hay");
        if (i % 11 == 0) {
            tree.mkdir(dir);
            ASSERT_EQ(::symlink("/nonexistent", tree.path(dir + "gone" + std::to_string(i) + ".txt").c_str()), 0);
        }
    }
    auto run = [&](const char* threads) {
        const std::string log = tree.path(std::string("run") + threads + ".log");
        const std::string xml = tree.path(std::string("out") + threads + ".xml");
        CliOutcome outcome =
            RunCli({"search", "-r", "--file-names", "--dir-names", "--split-length", "100", "--threads", threads, "--log", log,
                    "--out", xml, "--export-elements", "hits,errors,filenames,dirnames", "needle", tree.path("src")});
        const std::string logText = tree.read(std::string("run") + threads + ".log");
        // The log's first line carries the time of the run.
        return std::make_tuple(outcome.out, outcome.err, outcome.status, logText.substr(logText.find("\r\n")),
                               tree.read(std::string("out") + threads + ".xml"));
    };
    const auto one = run("1");
    EXPECT_NE(std::get<1>(one), "");
    EXPECT_NE(std::get<0>(one).find("Im Verzeichnisnamen gefunden"), std::string::npos);
    for (const char* threads : {"2", "8"}) EXPECT_TRUE(run(threads) == one) << threads << " threads";
}

// "tarnwick-cli search ... | head -1": the first line comes while the run is
// still going, and the closed pipe ends the run quietly and at once. The run
// prints far more than a pipe holds, so it is still running when the reader
// goes; the log file's summary shows where it stopped.
TEST(CliSearchOutput, ClosedPipeEndsTheRunQuietly)
{
    TempTree tree;
    std::string many;
    for (int i = 0; i < 5000; ++i) many += "needle in a haystack of a fair length\n";
    for (int i = 0; i < 20; ++i) tree.write("files/f" + std::to_string(i) + ".txt", many);
    const std::string log = tree.path("run.log");
    for (const char* threads : {"1", "2"}) {
        const CliOutcome run =
            RunCliClosingAfter({"search", "--threads", threads, "--log", log, "needle", tree.path("files")}, 2);
        EXPECT_EQ(run.out,
                  "Suche nach : needle\n" + tree.path("files/f0.txt") + "; P: 0; L: 6; T: needle in a haystack of a ...\n");
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.status, 0);
    }
    const std::string text = tree.read("run.log");
    EXPECT_EQ(text.find("Suche abgeschlossen. 100000 "), std::string::npos) << text.substr(text.size() - 200);
    EXPECT_NE(text.find("Suche abgeschlossen. "), std::string::npos);
}

}  // namespace
}  // namespace tarnwick::test
