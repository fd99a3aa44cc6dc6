// A run keeps a journal before it changes a file, and an undo puts back
// exactly what the run changed, leaving alone what the user changed since.
#include "engine/undo/RunJournal.h"
#include "engine/Messages.h"
#include "engine/replace/ReplaceWalk.h"
#include "engine/undo/ContentHash.h"
#include "engine/undo/UndoRun.h"
#include "platform/FileOps.h"
#include "platform/SystemError.h"
#include "tests/support/ReplaceFixture.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>

namespace tarnwick::test {
namespace {

// Disk full, but only for files in the journal's folder: their writes fail,
// or (`atSync`) only their syncs, which now run beside the commit's own.
class FullJournalDisk final : public FileOps {
public:
    FullJournalDisk(std::string root, bool atSync) : m_root(std::move(root)), m_atSync(atSync) {}
    Expected<std::size_t> pwrite(int fd, const void* data, std::size_t size, off_t offset) override
    {
        if (!m_atSync && inJournal(fd)) return systemFailure(ErrnoCode(ENOSPC));
        return FileOps::pwrite(fd, data, size, offset);
    }
    // The journal's data file and manifest, not its folder (synced once, earlier).
    std::error_code sync(int fd) override
    {
        struct stat st {};
        const bool file = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
        return m_atSync && file && inJournal(fd) ? ErrnoCode(ENOSPC) : FileOps::sync(fd);
    }

private:
    bool inJournal(int fd) const
    {
        char target[PATH_MAX] = {};
        const std::string link = "/proc/self/fd/" + std::to_string(fd);
        return ::readlink(link.c_str(), target, sizeof target - 1) > 0 && std::string(target).starts_with(m_root);
    }

    std::string m_root;
    bool m_atSync;
};

std::string hashHex(std::string_view bytes)
{
    ContentHash hash;
    hash.add(bytes);
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash.value()));
    return text;
}

SearchJob undoJob(std::uint32_t splitLength)
{
    SearchJob job = TestJob();
    job.makeBackup = 0;
    job.includeSubfolders = 1;
    if (splitLength) job.splitLength = splitLength;
    return job;
}

}  // namespace

// The journal cannot be written: the file it was for keeps its contents,
// the run says why and stops, so no later file changes unjournalled.
TEST(RunJournal, AJournalThatCannotBeWrittenStopsTheRunBeforeTheFileChanges)
{
    for (const auto& [split, atSync] : {std::pair{0u, false}, {8u, false}, {0u, true}, {8u, true}}) {
        SCOPED_TRACE(::testing::Message() << "split " << split << (atSync ? " at sync" : ""));
        TempTree tree;
        const std::string a = tree.write("d/a.txt", "needle one needle two");
        tree.write("d/b.txt", "needle three");
        const std::string root = tree.path("state");
        ReplaceFixture fixture(undoJob(split), "needle", "pin");
        RunJournal journal(root, RunKind::Replace);
        journal.setStopFlag(&fixture.stopFlag());
        fixture.run().journal = &journal;
        FullJournalDisk disk(root, atSync);
        FileOps::install(&disk);
        RunReplace(fixture.run(), tree.path("d"));
        FileOps::install(nullptr);

        EXPECT_EQ(tree.read("d/a.txt"), "needle one needle two");
        EXPECT_EQ(tree.read("d/b.txt"), "needle three");
        // A failed sync also fails the commit, which may say so first.
        const auto& errors = fixture.errors();
        EXPECT_TRUE(std::any_of(errors.begin(), errors.end(), [&](const auto& error) {
            return error.first == a && error.second.find(text::kUndoJournalFailed) != std::string::npos;
        }));
        EXPECT_TRUE(fixture.stopFlag().load());
        EXPECT_EQ(fixture.counters().hits.load(), 0);
        // No temporary file is left beside them.
        const auto entries = std::distance(std::filesystem::directory_iterator(tree.path("d")), {});
        EXPECT_EQ(entries, 2);
    }
}

// An undo while a run keeps its journal (another program, say) does nothing
// and says why, rather than restoring files the run is changing.
TEST(RunJournal, UndoRefusesWhileARunIsJournaling)
{
    TempTree tree;
    tree.write("d/a.txt", "needle");
    const std::string root = tree.path("state");
    ReplaceFixture fixture(undoJob(0), "needle", "pin");
    RunJournal journal(root, RunKind::Replace);
    fixture.run().journal = &journal;
    RunReplace(fixture.run(), tree.path("d"));

    const UndoReport busy = UndoRun(root, "");
    EXPECT_TRUE(busy.busy);
    EXPECT_EQ(busy.exitStatus(), 2);
    EXPECT_EQ(busy.summary(), text::kUndoWhileRunActive);
    EXPECT_EQ(tree.read("d/a.txt"), "pin");

    journal.close();
    EXPECT_EQ(UndoRun(root, "").restored.size(), 1u);
    EXPECT_EQ(tree.read("d/a.txt"), "needle");
}

// Journals written before the data file (one copy per file) still undo.
TEST(RunJournal, UndoReadsTheFormerJournalFormat)
{
    TempTree tree;
    const std::string file = tree.write("d/a.txt", "pin");
    tree.write("state/20260101-000000-000000-1/1", "needle");
    tree.write("state/20260101-000000-000000-1/manifest",
               "tarnwick-undo\t1\nkind\treplace\ncreated\t1\nfile\t1\t" + file + "\t1\t6\nwrote\t1\t3\t" + hashHex("pin") + "\n");
    const UndoReport report = UndoRun(tree.path("state"), "");
    EXPECT_EQ(report.restored, std::vector<std::string>{file});
    EXPECT_EQ(tree.read("d/a.txt"), "needle");
}

// After the run the user edited one file and gave another's old name to a
// new file: both are left alone and reported, the rest is restored. Once
// the user clears the way, a second undo restores only what is left.
TEST(RunJournal, UndoLeavesAloneWhatTheUserChangedAndRetriesOnlyThat)
{
    for (const std::uint32_t split : {0u, 8u}) {
        SCOPED_TRACE(::testing::Message() << "split " << split);
        TempTree tree;
        tree.write("d/edited.txt", "needle 1");
        tree.write("d/kept.txt", "needle 2");
        tree.write("d/sub/needle.txt", "needle 3");
        const std::string root = tree.path("state");
        SearchJob job = undoJob(split);
        job.searchFileNames = 1;
        job.searchDirNames = 1;
        ReplaceFixture fixture(job, "needle", "pin");
        {
            RunJournal journal(root, RunKind::Replace);
            fixture.run().journal = &journal;
            RunReplace(fixture.run(), tree.path("d"));
        }
        ASSERT_TRUE(fixture.errors().empty());
        ASSERT_EQ(tree.read("d/sub/pin.txt"), "pin 3");
        tree.write("d/edited.txt", "pin 1 and more");
        tree.write("d/sub/needle.txt", "someone else's");

        const UndoReport first = UndoRun(root, "");
        EXPECT_EQ(first.exitStatus(), 2);
        EXPECT_EQ(first.restored, std::vector<std::string>{tree.path("d/kept.txt")});
        EXPECT_EQ(first.leftAlone.size(), 3u);  // the name, the contents under it, the edited file
        EXPECT_EQ(tree.read("d/edited.txt"), "pin 1 and more");
        EXPECT_EQ(tree.read("d/kept.txt"), "needle 2");
        EXPECT_EQ(tree.read("d/sub/needle.txt"), "someone else's");

        std::filesystem::remove(tree.path("d/sub/needle.txt"));
        const UndoReport second = UndoRun(root, "");
        EXPECT_EQ(second.id, first.id);
        EXPECT_EQ(second.restored.size(), 2u);
        EXPECT_EQ(second.leftAlone.size(), 1u);
        EXPECT_EQ(tree.read("d/sub/needle.txt"), "needle 3");
        EXPECT_FALSE(std::filesystem::exists(tree.path("d/sub/pin.txt")));
    }
}

// Beyond the limit the oldest journals go first; the run just made stays
// even when it alone is larger.
TEST(RunJournal, PruningRemovesOldestFirstAndKeepsTheNewest)
{
    TempTree tree;
    const auto journal = [&](const std::string& id, std::size_t bytes) {
        tree.write("undo/" + id + "/manifest", "tarnwick-undo\t1\nkind\treplace\ncreated\t1\n");
        tree.write("undo/" + id + "/1", std::string(bytes, 'x'));
    };
    journal("20260101-000000-000000-1", 400);
    journal("20260102-000000-000000-1", 400);
    journal("20260103-000000-000000-1", 400);
    PruneJournals(tree.path("undo"), 1000, "20260103-000000-000000-1");
    EXPECT_FALSE(std::filesystem::exists(tree.path("undo/20260101-000000-000000-1")));
    EXPECT_TRUE(std::filesystem::exists(tree.path("undo/20260102-000000-000000-1")));

    journal("20260104-000000-000000-1", 5000);
    PruneJournals(tree.path("undo"), 1000, "20260104-000000-000000-1");
    std::vector<std::string> left;
    for (const JournalInfo& info : ListJournals(tree.path("undo"))) left.push_back(info.id);
    EXPECT_EQ(left, std::vector<std::string>{"20260104-000000-000000-1"});
}

}  // namespace tarnwick::test
