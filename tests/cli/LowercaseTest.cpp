// tarnwick-cli lowercase end to end: which names change, what it prints,
// and that no existing file is ever replaced.
#include "tests/cli/CliProcess.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace tarnwick::test {
namespace {

using Paths = std::set<std::string>;

const std::string kHeader = "Wandle Dateinamen in Kleinbuchstaben um\n";

std::string renamed(const std::string& path) { return "Dateiname in Kleinbuchstaben gewandelt: " + path + "\n"; }

std::string summary(int renames)
{
    return "Umbenennen abgeschlossen.  " + std::to_string(renames) + " Einträge wurden umbenannt.\n";
}

TEST(CliLowercase, ConvertsNamesByChoiceAndDepth)
{
    TempTree tree;
    tree.write("ReadMe.txt", "");
    tree.write("NOTES.TXT", "");
    tree.write("lower.txt", "");
    tree.write("Sub/UP.TXT", "");

    // Only names in capitals, this directory only; directory names never change.
    CliOutcome run = RunCli({"lowercase", "--only-upper", tree.root()});
    EXPECT_EQ(run.out, kHeader + renamed(tree.path("NOTES.TXT")) + summary(1));
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(TreeEntries(tree.root()), (Paths{"ReadMe.txt", "notes.txt", "lower.txt", "Sub", "Sub/UP.TXT"}));

    run = RunCli({"lowercase", "--only-upper", "-r", tree.root()});
    EXPECT_EQ(run.out, kHeader + renamed(tree.path("Sub/UP.TXT")) + summary(1));
    EXPECT_EQ(TreeEntries(tree.root()), (Paths{"ReadMe.txt", "notes.txt", "lower.txt", "Sub", "Sub/up.txt"}));

    run = RunCli({"lowercase", "-r", tree.root()});
    EXPECT_EQ(run.out, kHeader + renamed(tree.path("ReadMe.txt")) + summary(1));
    EXPECT_EQ(TreeEntries(tree.root()), (Paths{"readme.txt", "notes.txt", "lower.txt", "Sub", "Sub/up.txt"}));

    run = RunCli({"lowercase", "-r", tree.root()});
    EXPECT_EQ(run.out, kHeader + summary(0));
    EXPECT_EQ(run.status, 1);
}

TEST(CliLowercase, FoldsTwoByteCapitalsAndNeverOverwritesAFile)
{
    TempTree tree;
    const std::string dir = tree.mkdir("d");
    tree.write("d/\xC3\x84RGER.TXT", "umlaut");
    const std::string upper = tree.write("d/A.TXT", "upper");
    tree.write("d/a.txt", "lower");

    const CliOutcome run = RunCli({"lowercase", "--only-upper", dir});
    EXPECT_EQ(run.out, kHeader + renamed(tree.path("d/\xC3\x84RGER.TXT")) + summary(1));
    EXPECT_EQ(run.err, "Fehler beim Umbenennen der Datei: " + upper + ": " + std::strerror(EEXIST) + "\n");
    // One name changed, one refused: the refusal decides the exit status.
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(TreeEntries(dir), (Paths{"\xC3\xA4rger.txt", "A.TXT", "a.txt"}));
    EXPECT_EQ(tree.read("d/A.TXT"), "upper");
    EXPECT_EQ(tree.read("d/a.txt"), "lower");
}

}  // namespace
}  // namespace tarnwick::test
