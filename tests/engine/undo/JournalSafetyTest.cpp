// What an undo and the clean-up after a crash may do, and nothing more: act
// only on what a sound journal names, put back only previous contents whose
// digest matches, settle a change a crash interrupted, never touch a live
// run's journal, never run without the store's lock.
#include "engine/replace/ReplaceWalk.h"
#include "engine/undo/JournalRecovery.h"
#include "engine/undo/RunJournal.h"
#include "engine/undo/UndoRun.h"
#include "platform/ContentDigest.h"
#include "platform/InputFile.h"
#include "tests/support/ReplaceFixture.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

namespace tarnwick::test {
namespace {

std::string hexOf(std::string_view bytes) { return ContentDigest::of(bytes).hex(); }

// A journal written by hand: `lines` follow the head and a root line.
std::string writeJournal(const TempTree& tree, const std::string& root, const std::string& lines, const std::string& data)
{
    const std::string folder = "state/20260101-000000-000000-1";
    tree.write(folder + "/data", data);
    tree.write(folder + "/manifest", "tarnwick-undo\t3\nkind\treplace\ncreated\t1\nroot\t" + root + "\n" + lines);
    return tree.path(folder);
}

std::string fileLine(int n, const std::string& path, std::string_view previous, std::size_t offset)
{
    return "file\t" + std::to_string(n) + "\t" + path + "\tdata\t" + std::to_string(previous.size()) + "\t" +
        std::to_string(offset) + "\t" + hexOf(previous) + "\n";
}

std::string intendLine(int n, std::string_view contents, const std::string& temporary = "-", const char* mode = "rename")
{
    return "intend\t" + std::to_string(n) + "\t" + std::to_string(contents.size()) + "\t" + hexOf(contents) + "\t" + temporary +
        "\t" + mode + "\n";
}

bool anyLine(const std::vector<std::string>& lines, const std::string& part)
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) { return line.find(part) != std::string::npos; });
}

SearchJob journalJob()
{
    SearchJob job = TestJob();
    job.makeBackup = 0;
    job.includeSubfolders = 1;
    return job;
}

}  // namespace

// The run was killed after a file's rename, before "wrote" reached the
// disk: the intent says what the file holds now, so it is restored; a file
// whose rename never came holds its previous contents and is simply settled.
TEST(JournalSafety, AChangeACrashInterruptedIsUndoneFromItsIntent)
{
    TempTree tree;
    const std::string d = tree.mkdir("d");
    const std::string changed = tree.write("d/changed.txt", "omega\n");
    const std::string untouched = tree.write("d/untouched.txt", "alpha two\n");
    writeJournal(tree, d,
                 fileLine(1, changed, "alpha\n", 0) + intendLine(1, "omega\n") + fileLine(2, untouched, "alpha two\n", 6) +
                     intendLine(2, "omega two\n"),
                 "alpha\nalpha two\n");
    const UndoReport report = UndoRun(tree.path("state"), "");
    EXPECT_EQ(report.exitStatus(), 0) << report.summary();
    EXPECT_EQ(tree.read("d/changed.txt"), "alpha\n");
    EXPECT_EQ(tree.read("d/untouched.txt"), "alpha two\n");
    EXPECT_EQ(report.alreadyPrevious, 1u);
    EXPECT_FALSE(std::filesystem::exists(tree.path("state/20260101-000000-000000-1")));  // every entry settled
}

// A journal is read as data, not trusted: a relative path, a path outside
// the run's folders, a ".." component, a damaged digest and previous
// contents said to lie outside are each refused with a reason naming the
// entry, and nothing is written.
TEST(JournalSafety, EntriesAJournalDoesNotDescribeSoundlyAreRefused)
{
    TempTree tree;
    const std::string d = tree.mkdir("d");
    const std::string outside = tree.write("outside.txt", "omega\n");
    const std::string inside = tree.write("d/a.txt", "omega\n");
    const std::string lines = fileLine(1, "d/a.txt", "alpha\n", 0) + intendLine(1, "omega\n") +
        fileLine(2, outside, "alpha\n", 0) + intendLine(2, "omega\n") + fileLine(3, d + "/../outside.txt", "alpha\n", 0) +
        intendLine(3, "omega\n") + "file\t4\t" + inside + "\tdata\t6\t0\tnot-a-digest\n" + intendLine(4, "omega\n") +
        "file\t5\t" + inside + "\t/etc/passwd\t6\t0\t" + hexOf("alpha\n") + "\n" + intendLine(5, "omega\n");
    writeJournal(tree, d, lines, "alpha\n");
    const UndoReport report = UndoRun(tree.path("state"), "");
    EXPECT_EQ(report.exitStatus(), 2);
    EXPECT_TRUE(report.restored.empty());
    ASSERT_EQ(report.leftAlone.size(), 5u);
    EXPECT_TRUE(anyLine(report.leftAlone, "d/a.txt: Das Journal nennt hier keinen absoluten"));
    EXPECT_TRUE(anyLine(report.leftAlone, outside + ": Der Pfad liegt außerhalb"));
    EXPECT_TRUE(anyLine(report.leftAlone, inside + ": Der Eintrag des Journals ist beschädigt"));
    EXPECT_TRUE(anyLine(report.leftAlone, inside + ": Das Journal nennt für die frühere Fassung"));
    EXPECT_EQ(ReadFile(outside), "omega\n");
    EXPECT_EQ(ReadFile(inside), "omega\n");
    EXPECT_TRUE(std::filesystem::exists(tree.path("state/20260101-000000-000000-1")));
}

// A backup copy someone changed after the run (same size) no longer hashes
// to what the file held: the undo refuses to write it into the file.
TEST(JournalSafety, ABackupThatChangedSinceIsNotRestored)
{
    TempTree tree;
    tree.write("d/a.txt", "alpha\n");
    SearchJob job = journalJob();
    job.makeBackup = 1;
    ReplaceFixture fixture(job, "alpha", "omega");
    {
        RunJournal journal(tree.path("state"), RunKind::Replace);
        journal.addRoot(tree.path("d"));
        fixture.run().journal = &journal;
        RunReplace(fixture.run(), tree.path("d"));
    }
    ASSERT_EQ(tree.read("d/a.txt"), "omega\n");
    tree.write("d/a.txt.bak", "forge\n");
    const UndoReport report = UndoRun(tree.path("state"), "");
    EXPECT_EQ(report.exitStatus(), 2);
    EXPECT_TRUE(anyLine(report.leftAlone,
                        tree.path("d/a.txt") + ": die frühere Fassung " + tree.path("d/a.txt.bak") + " wurde verändert"));
    EXPECT_EQ(tree.read("d/a.txt"), "omega\n");
}

// A run that ends while another still writes its journal prunes around it.
TEST(JournalSafety, PruningLeavesALiveRunsJournalAlone)
{
    TempTree tree;
    tree.write("d/a.txt", "alpha\n");
    const std::string root = tree.path("state");
    ReplaceFixture fixture(journalJob(), "alpha", "omega");
    RunJournal live(root, RunKind::Replace);
    fixture.run().journal = &live;
    RunReplace(fixture.run(), tree.path("d"));
    ASSERT_FALSE(live.folder().empty());
    tree.write("state/20990101-000000-000000-1/manifest", "tarnwick-undo\t3\nkind\treplace\ncreated\t1\nclosed\n");

    PruneJournals(root, 1, "20990101-000000-000000-1");
    EXPECT_TRUE(std::filesystem::exists(live.folder()));
    live.close();
    PruneJournals(root, 1, "20990101-000000-000000-1");
    EXPECT_FALSE(std::filesystem::exists(live.folder()));
}

// After a crash the next run (or undo) first settles the journal: a file
// torn by an interrupted rewrite in place gets its previous contents back,
// a temporary file left beside a file is removed, and the journal is closed.
TEST(JournalSafety, TheCleanUpRepairsATornRewriteAndRemovesALeftTemporaryFile)
{
    TempTree tree;
    const std::string d = tree.mkdir("d");
    const std::string torn = tree.write("d/linked.txt", "omegaa\n");
    const std::string renamed = tree.write("d/b.txt", "alpha two\n");
    const std::string left = tree.write("d/b.txt.Ab12Cd.trwtmp8", "omega two\n");
    const std::string folder =
        writeJournal(tree, d,
                     fileLine(1, torn, "alpha\n", 0) + intendLine(1, "omega\n", "-", "inplace") +
                         fileLine(2, renamed, "alpha two\n", 6) + intendLine(2, "omega two\n", "b.txt.Ab12Cd.trwtmp8"),
                     "alpha\nalpha two\n");
    RecoverInterruptedRuns(tree.path("state"));
    EXPECT_EQ(ReadFile(torn), "alpha\n");
    EXPECT_EQ(ReadFile(renamed), "alpha two\n");
    EXPECT_FALSE(std::filesystem::exists(left));
    const std::string manifest = ReadFile(folder + "/manifest");
    EXPECT_TRUE(manifest.ends_with("recovered\t1\nclosed\n")) << manifest;
}

// Ctrl+C between two entries: nothing half done, the journal kept, and the
// next undo finishes the rest.
TEST(JournalSafety, AStoppedUndoGoesOnWhereItStopped)
{
    TempTree tree;
    tree.write("d/a.txt", "alpha\n");
    tree.write("d/b.txt", "alpha\n");
    ReplaceFixture fixture(journalJob(), "alpha", "omega");
    {
        RunJournal journal(tree.path("state"), RunKind::Replace);
        journal.addRoot(tree.path("d"));
        fixture.run().journal = &journal;
        RunReplace(fixture.run(), tree.path("d"));
    }
    const std::atomic<bool> stop{true};
    const UndoReport stopped = UndoRun(tree.path("state"), "", &stop);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(stopped.exitStatus(), 130);
    EXPECT_EQ(tree.read("d/a.txt"), "omega\n");
    const UndoReport rest = UndoRun(tree.path("state"), "");
    EXPECT_EQ(rest.exitStatus(), 0);
    EXPECT_EQ(rest.restored.size(), 2u);
    EXPECT_EQ(tree.read("d/b.txt"), "alpha\n");
}

// The store's lock cannot be taken (its file is a folder now): the undo does
// nothing rather than restore files a run might be changing.
TEST(JournalSafety, AnUndoNeverRunsWithoutTheStoresLock)
{
    TempTree tree;
    tree.write("d/a.txt", "alpha\n");
    ReplaceFixture fixture(journalJob(), "alpha", "omega");
    {
        RunJournal journal(tree.path("state"), RunKind::Replace);
        fixture.run().journal = &journal;
        RunReplace(fixture.run(), tree.path("d"));
    }
    std::filesystem::remove(tree.path("state/lock"));
    tree.mkdir("state/lock");
    const UndoReport report = UndoRun(tree.path("state"), "");
    EXPECT_EQ(report.exitStatus(), 2);
    EXPECT_NE(report.summary().find("kann nicht gesperrt werden"), std::string::npos) << report.summary();
    EXPECT_EQ(tree.read("d/a.txt"), "omega\n");
}

}  // namespace tarnwick::test
