// tarnwick-cli replace end to end: what it prints, what it changes on disk,
// what it leaves behind, and with which exit status.
#include "tests/cli/CliProcess.h"
#include "tests/support/TempTree.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <regex>

namespace tarnwick::test {
namespace {

using Paths = std::set<std::string>;

std::string summary(int hits, int files)
{
    return "Ersetzen abgeschlossen.  " + std::to_string(hits) + " Einträge in " + std::to_string(files) +
        " Dateien wurden ersetzt.";
}

TEST(CliReplaceOutput, PrintsReplacementsAndRenamesByteForByte)
{
    TempTree tree;
    const std::string before = "a hit here\nno match\r\nHIT again\n";
    const std::string file = tree.write("hitdir/hit.txt", before), dir = tree.path("hitdir");

    const CliOutcome run = RunCli({"replace", "-r", "--file-names", "--dir-names", "hit", "XY", tree.root()});
    // Offsets are those of the changed file (the second hit moved from 21 to
    // 20); contexts show the text before the change; names change after the
    // contents, the directory after everything below it.
    EXPECT_EQ(run.out,
              "Ersetze hit durch XY\n" + file + "; P: 2; T: a hit here\n" + file +
                  "; P: 20; T: HIT again\n"
                  "Im Dateinamen gefunden und ersetzt" +
                  file +
                  "\n"
                  "Im Verzeichnisnamen gefunden und ersetzt" +
                  dir + "\n" + summary(2, 3) + "\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(TreeEntries(tree.root()), (Paths{"XYdir", "XYdir/XY.txt", "XYdir/hit.txt.bak"}));
    EXPECT_EQ(tree.read("XYdir/XY.txt"), "a XY here\nno match\r\nXY again\n");
    EXPECT_EQ(tree.read("XYdir/hit.txt.bak"), before);
}

TEST(CliReplaceOutput, BackupCopiesFollowTheOptions)
{
    TempTree tree;
    tree.write("none/a.txt", "hit\n");
    ASSERT_EQ(RunCli({"replace", "--no-backup", "hit", "x", tree.path("none")}).status, 0);
    EXPECT_EQ(TreeEntries(tree.path("none")), Paths{"a.txt"});
    EXPECT_EQ(tree.read("none/a.txt"), "x\n");

    tree.write("ext/a.txt", "hit\n");
    ASSERT_EQ(RunCli({"replace", "--backup-ext", "old", "hit", "x", tree.path("ext")}).status, 0);
    EXPECT_EQ(TreeEntries(tree.path("ext")), (Paths{"a.txt", "a.txt.old"}));
    EXPECT_EQ(tree.read("ext/a.txt.old"), "hit\n");

    // A second run finds the first backup taken and does not touch it, even
    // when backups are searched: its source still exists.
    tree.write("twice/a.txt", "one two\n");
    ASSERT_EQ(RunCli({"replace", "one", "1", tree.path("twice")}).status, 0);
    const CliOutcome second = RunCli({"replace", "--search-backups", "two", "2", tree.path("twice")});
    EXPECT_EQ(second.out, "Ersetze two durch 2\n" + tree.path("twice/a.txt") + "; P: 2; T: 1 two\n" + summary(1, 1) + "\n");
    EXPECT_EQ(TreeEntries(tree.path("twice")), (Paths{"a.txt", "a.txt.bak", "a.txt (1).bak"}));
    EXPECT_EQ(tree.read("twice/a.txt"), "1 2\n");
    EXPECT_EQ(tree.read("twice/a.txt.bak"), "one two\n");
    EXPECT_EQ(tree.read("twice/a.txt (1).bak"), "1 two\n");
}

TEST(CliReplaceOutput, ChangesNothingWhenThereIsNothingToDoOrTheRunCannotStart)
{
    TempTree tree;
    const std::string dir = tree.mkdir("files");
    tree.write("files/a.txt", "a hit\n");

    CliOutcome run = RunCli({"replace", "absent", "x", dir});
    EXPECT_EQ(run.out, "Ersetze absent durch x\n" + summary(0, 0) + "\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 1);

    struct Case {
        std::vector<std::string> args;
        std::string errStart;
    };
    const Case cases[] = {
        {{"replace", "-e", "a[b", "x", dir}, "Ungültiger regulärer Ausdruck: "},
        {{"replace", "--escapes", "hit", "\\q", dir},
         "Unbekanntes Steuerzeichen in der Ersetzen-Zeichenfolge. Operation wird nicht durchgeführt.\n"},
        {{"replace", "--escapes", "hit", "a\\x4", dir},
         "Ungültige Hex-Zahl in Ersetzen-Zeichenfolge. Die Zahl muss zweistellig sein und darf nur die Ziffern "
         "0-9, a-e, A-E enthalten.\n"},
        {{"replace", "--escapes", "hit", "\\x4g", dir}, "Ungültige Hex-Zahl in Ersetzen-Zeichenfolge."},
        {{"replace", "hit", "x", tree.path("missing")}, tree.path("missing") + ": Das Verzeichnis existiert nicht\n"},
        {{"replace", "", "x", dir}, "Kein Suchstring definiert."},
        {{"replace", "hit", dir}, ""},
        {{"lowercase", tree.path("missing")}, tree.path("missing") + ": Das Verzeichnis existiert nicht\n"},
    };
    for (const Case& c : cases) {
        run = RunCli(c.args);
        SCOPED_TRACE(c.args[c.args.size() - 2]);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(run.err.empty());
        EXPECT_EQ(run.err.compare(0, c.errStart.size(), c.errStart), 0) << run.err;
    }
    EXPECT_EQ(TreeEntries(dir), Paths{"a.txt"});
    EXPECT_EQ(tree.read("files/a.txt"), "a hit\n");
}

TEST(CliReplaceOutput, LeavesAReadOnlyFileAloneAndSaysWhy)
{
    TempTree tree;
    const std::string file = tree.write("ro/r.txt", "a hit\n");
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);

    // Read-only protects the file from root as well.
    const CliOutcome run = RunCli({"replace", "hit", "x", tree.path("ro")});
    EXPECT_EQ(run.out, "Ersetze hit durch x\nKann Datei nicht öffnen: \n" + summary(0, 0) + "\n");
    EXPECT_EQ(run.err, file + ": Kann Datei nicht öffnen: " + std::strerror(EACCES) + "\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(TreeEntries(tree.path("ro")), Paths{"r.txt"});
    EXPECT_EQ(tree.read("ro/r.txt"), "a hit\n");
}

TEST(CliReplaceOutput, LogGetsOneCrLfBlockPerReplaceRun)
{
    TempTree tree;
    const std::string file = tree.write("files/a.txt", "a hit\n");
    const std::string log = tree.path("run.log");
    ASSERT_EQ(RunCli({"replace", "--log", log, "hit", "x", tree.path("files")}).status, 0);
    ASSERT_EQ(RunCli({"replace", "--log", log, "hit", "x", tree.path("files")}).status, 1);

    const std::string date = R"(\d\d\.[A-Za-z]+\.\d{4}, \d\d:\d\d:\d\d\r\n)";
    const std::string rest = R"(([\s\S]*))";
    const std::string text = ReadFile(log);
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(text, parts, std::regex("(" + date + ")" + rest + "(" + date + ")" + rest))) << text;
    EXPECT_EQ(parts[2].str(), "Ersetze hit durch x\r\n" + file + "; P: 2; T: a hit\r\n" + summary(1, 1) + "\r\n\r\n");
    EXPECT_EQ(parts[4].str(), "Ersetze hit durch x\r\n" + summary(0, 0) + "\r\n\r\n");
}

// Regression: a directory larger than one read of its listing delivered
// renamed files again under their new names, which were then renamed again
// (hit -> hithit -> hithithit) and counted twice.
TEST(CliReplaceOutput, RenamesEveryFileOfALargeDirectoryOnce)
{
    TempTree tree;
    const int count = 1500;
    for (int i = 0; i < count; ++i) tree.write("many/hit" + std::to_string(i) + ".txt", "");

    const CliOutcome run = RunCli({"replace", "--no-contents", "--file-names", "hit", "hithit", tree.path("many")});
    EXPECT_EQ(BodyLines(run.out).size(), static_cast<std::size_t>(count));
    EXPECT_EQ(run.out.substr(run.out.rfind('\n', run.out.size() - 2) + 1),
              "Ersetzen abgeschlossen.  0 Einträge in 1500 Dateien wurden ersetzt.\n");
    Paths expected;
    for (int i = 0; i < count; ++i) expected.insert("hithit" + std::to_string(i) + ".txt");
    EXPECT_EQ(TreeEntries(tree.path("many")), expected);
}

}  // namespace
}  // namespace tarnwick::test
