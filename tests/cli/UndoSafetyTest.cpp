// tarnwick-cli undo acts on exactly what the run changed: the paths it
// recorded whatever folder the undo is started in, documents like any file,
// and a file the run reached twice.
#include "tests/cli/CliProcess.h"
#include "tests/support/TempTree.h"
#include "tests/word/WordFixtures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick::test {

using Paths = std::set<std::string>;

// A run started with a relative folder, undone from another working folder
// that holds a tree of the same shape: only the run's own files are
// restored, and the look-alikes stay as they are.
TEST(CliUndoSafety, AnUndoActsOnThePathsTheRunRecordedWhereverItIsStarted)
{
    TempTree tree;
    tree.write("work/tree/a.txt", "alpha\n");
    tree.write("work/tree/alpha.txt", "x\n");
    tree.write("other/tree/a.txt", "other\n");
    tree.write("other/tree/a.txt.bak", "12345\n");
    tree.write("other/tree/omega.txt", "mine\n");
    CliOptions options;
    options.stateHome = tree.path("state");
    options.workingFolder = tree.path("work");
    ASSERT_EQ(RunCliWith({"replace", "--file-names", "alpha", "omega", "tree"}, options).status, 0);
    ASSERT_EQ(tree.read("work/tree/a.txt"), "omega\n");

    options.workingFolder = tree.path("other");
    const CliOutcome undo = RunCliWith({"undo"}, options);
    EXPECT_EQ(undo.status, 0) << undo.out << undo.err;
    EXPECT_EQ(tree.read("work/tree/a.txt"), "alpha\n");
    EXPECT_EQ(tree.read("work/tree/alpha.txt"), "x\n");
    EXPECT_EQ(tree.read("other/tree/a.txt"), "other\n");
    EXPECT_EQ(tree.read("other/tree/omega.txt"), "mine\n");
    EXPECT_EQ(tree.read("other/tree/a.txt.bak"), "12345\n");
}

// A .docx changed beside a text file is restored with it, byte for byte.
TEST(CliUndoSafety, ADocumentIsUndoneLikeAnyFile)
{
    TempTree tree;
    tree.write("d/a.txt", "Apfel\n");
    const std::string document = word::test::WriteDocx(tree, "d/brief.docx", "<w:p><w:r><w:t>Ein Apfel</w:t></w:r></w:p>");
    const std::string before = ReadFile(document);
    CliOptions options;
    options.stateHome = tree.path("state");
    ASSERT_EQ(RunCliWith({"replace", "--no-backup", "Apfel", "Birne", tree.path("d")}, options).status, 0);
    ASSERT_NE(ReadFile(document), before);

    const CliOutcome undo = RunCliWith({"undo"}, options);
    EXPECT_EQ(undo.status, 0) << undo.out << undo.err;
    EXPECT_NE(undo.out.find("Wiederhergestellt: " + document), std::string::npos) << undo.out;
    EXPECT_EQ(ReadFile(document), before);
    EXPECT_EQ(tree.read("d/a.txt"), "Apfel\n");
}

// A file met under a second name in the same run (a link to it, a second
// hard link) is changed once; the second name gets a remark, and the undo
// restores everything in one go.
TEST(CliUndoSafety, AFileReachedTwiceInOneRunIsChangedOnce)
{
    TempTree tree;
    const std::string target = tree.write("d/a.txt", "alpha\n");
    ASSERT_EQ(::symlink(target.c_str(), tree.path("d/z-link.txt").c_str()), 0);
    const std::string first = tree.write("d/h1.txt", "alpha\n");
    ASSERT_EQ(::link(first.c_str(), tree.path("d/h2.txt").c_str()), 0);
    CliOptions options;
    options.stateHome = tree.path("state");
    const CliOutcome run = RunCliWith({"replace", "--no-backup", "alpha", "omega", tree.path("d")}, options);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("in 2 Dateien"), std::string::npos) << run.out;
    EXPECT_EQ(tree.read("d/a.txt"), "omega\n");
    EXPECT_EQ(tree.read("d/h2.txt"), "omega\n");

    const CliOutcome undo = RunCliWith({"undo"}, options);
    EXPECT_EQ(undo.status, 0) << undo.out << undo.err;
    EXPECT_EQ(tree.read("d/a.txt"), "alpha\n");
    EXPECT_EQ(tree.read("d/h2.txt"), "alpha\n");
    EXPECT_EQ(RunCliWith({"undo"}, options).status, 1);
}

// Names with line feeds, tabs, quotes, backslashes and bytes that are no
// UTF-8 go through a search, a replace that renames them and an undo: every
// file is found, changed, renamed and put back under its old name.
TEST(CliUndoSafety, HostileNamesSurviveSearchReplaceAndUndo)
{
    TempTree tree;
    const std::vector<std::string> names = {"line\nfeed alpha.txt",  "tab\tbed alpha.txt", "quote\"d alpha.txt",
                                            "back\\slash alpha.txt", "\xff\xfe alpha.txt", "sub\ndir/inner alpha.txt"};
    for (const std::string& name : names) tree.write("d/" + name, "alpha\n");
    const Paths before = TreeEntries(tree.path("d"));
    CliOptions options;
    options.stateHome = tree.path("state");
    const CliOutcome search = RunCliWith({"search", "-r", "alpha", tree.path("d")}, options);
    EXPECT_EQ(search.status, 0) << search.err;
    EXPECT_NE(search.out.find("6 Einträge in 6 Dateien"), std::string::npos) << search.out;

    const CliOutcome replace = RunCliWith({"replace", "-r", "--file-names", "alpha", "omega", tree.path("d")}, options);
    EXPECT_EQ(replace.status, 0) << replace.err;
    EXPECT_EQ(tree.read("d/quote\"d omega.txt"), "omega\n");
    EXPECT_EQ(tree.read("d/sub\ndir/inner omega.txt"), "omega\n");

    const CliOutcome undo = RunCliWith({"undo"}, options);
    EXPECT_EQ(undo.status, 0) << undo.out << undo.err;
    Paths after = TreeEntries(tree.path("d"));
    // The backup copies the run made stay.
    std::erase_if(after, [](const std::string& path) { return path.ends_with(".bak"); });
    EXPECT_EQ(after, before);
    for (const std::string& name : names) EXPECT_EQ(tree.read("d/" + name), "alpha\n") << name;
}

}  // namespace tarnwick::test
