// tarnwick-cli undo end to end: what it restores, what it lists and its
// exit statuses; and a run whose journal cannot be kept fails.
#include "tests/cli/CliProcess.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

using Paths = std::set<std::string>;

}  // namespace

// A lower-case conversion with a replace run after it: undo takes the newest
// first, each once; then there is nothing left to do. A run that is not
// there is an error.
TEST(CliUndo, RestoresNewestRunFirstWithExitStatuses)
{
    TempTree tree;
    tree.write("d/ReadMe.TXT", "alpha\n");
    tree.write("d/Sub/UP.TXT", "alpha beta\n");
    CliOptions options;
    options.stateHome = tree.path("state");
    const Paths before = TreeEntries(tree.path("d"));

    EXPECT_EQ(RunCliWith({"undo"}, options).status, 1);
    ASSERT_EQ(RunCliWith({"lowercase", "-r", tree.path("d")}, options).status, 0);
    ASSERT_EQ(RunCliWith({"replace", "-r", "--no-backup", "alpha", "omega", tree.path("d")}, options).status, 0);
    EXPECT_EQ(tree.read("d/Sub/up.txt"), "omega beta\n");

    const CliOutcome list = RunCliWith({"undo", "--list"}, options);
    EXPECT_EQ(list.status, 0);
    const std::size_t replaceRow = list.out.find("Ersetzen  2 Dateien, 0 Umbenennungen\n");
    const std::size_t lowercaseRow = list.out.find("Umwandlung in Kleinbuchstaben  0 Dateien, 2 Umbenennungen\n");
    ASSERT_NE(replaceRow, std::string::npos) << list.out;
    EXPECT_LT(replaceRow, lowercaseRow) << list.out;
    const std::size_t rowStart = list.out.rfind('\n', lowercaseRow) + 1;
    const std::string lowercaseRun = list.out.substr(rowStart, list.out.find(' ', rowStart) - rowStart);

    EXPECT_EQ(RunCliWith({"undo", "no-such-run"}, options).status, 2);
    CliOutcome undo = RunCliWith({"undo"}, options);
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(tree.read("d/Sub/up.txt"), "alpha beta\n");
    undo = RunCliWith({"undo", lowercaseRun}, options);
    EXPECT_EQ(undo.status, 0) << undo.out << undo.err;
    // In the reverse order of the run.
    EXPECT_TRUE(undo.out.starts_with("Wiederhergestellt: " + tree.path("d/Sub/up.txt") + " -> " + tree.path("d/Sub/UP.TXT") +
                                     "\nWiederhergestellt: " + tree.path("d/readme.txt") + " -> " + tree.path("d/ReadMe.TXT") +
                                     "\n"))
        << undo.out;
    EXPECT_EQ(TreeEntries(tree.path("d")), before);
    EXPECT_EQ(RunCliWith({"undo"}, options).status, 1);
    EXPECT_EQ(RunCliWith({"undo", "--list"}, options).status, 1);
}

// No journal can be kept (the state folder is a file): the file stays as
// it was, stderr says why and the exit status is 2.
TEST(CliUndo, AJournalThatCannotBeKeptFailsTheRun)
{
    TempTree tree;
    tree.write("d/a.txt", "alpha\n");
    CliOptions options;
    options.stateHome = tree.write("state", "not a folder");
    const CliOutcome run = RunCliWith({"replace", "--no-backup", "alpha", "omega", tree.path("d")}, options);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("Das Rückgängig-Journal konnte nicht geschrieben werden"), std::string::npos) << run.err;
    EXPECT_EQ(tree.read("d/a.txt"), "alpha\n");
}

}  // namespace tarnwick::test
