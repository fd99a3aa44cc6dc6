// A replace never loses the old contents on a failure it can see, and keeps
// what the file is: its permission bits, a symbolic link, its hard links.
#include "engine/Messages.h"
#include "engine/replace/CommitBatch.h"
#include "engine/replace/ReplaceBuffer.h"
#include "engine/replace/ReplaceInFile.h"
#include "engine/replace/ReplaceWalk.h"
#include "platform/FileOps.h"
#include "platform/SystemError.h"
#include "tests/support/ReplaceFixture.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <utility>

namespace tarnwick::test {
namespace {

// Fails the calls a test names, once, then behaves like the real ones again
// (so that a restore after a failed write can succeed).
class FailingOps final : public FileOps {
public:
    Expected<std::size_t> pwrite(int fd, const void* data, std::size_t size, off_t offset) override
    {
        if (onWrite) onWrite(offset, size);
        if (bytesBeforeFailure < 0) return FileOps::pwrite(fd, data, size, offset);
        if (bytesBeforeFailure == 0) {
            bytesBeforeFailure = -1;
            return systemFailure(ErrnoCode(ENOSPC));
        }
        Expected<std::size_t> written = FileOps::pwrite(fd, data, std::min<std::size_t>(size, bytesBeforeFailure), offset);
        if (written) bytesBeforeFailure -= static_cast<std::int64_t>(written.value());
        return written;
    }
    std::error_code allocate(int fd, off_t length) override
    {
        const int error = std::exchange(allocateError, 0);
        return error ? ErrnoCode(error) : FileOps::allocate(fd, length);
    }
    std::error_code renameAt(int fromFolder, const char* from, int toFolder, const char* to) override
    {
        const int error = std::exchange(renameError, 0);
        return error ? ErrnoCode(error) : FileOps::renameAt(fromFolder, from, toFolder, to);
    }
    std::error_code sync(int fd) override
    {
        const int error = syncError.exchange(0);
        return error ? ErrnoCode(error) : FileOps::sync(fd);
    }

    std::int64_t bytesBeforeFailure = -1;  // -1: writes do not fail
    int allocateError = 0;
    int renameError = 0;
    std::atomic<int> syncError{0};  // a batch of commits syncs on several threads
    std::function<void(off_t offset, std::size_t size)> onWrite;
};

class InstalledOps {
public:
    explicit InstalledOps(FileOps& ops) { FileOps::install(&ops); }
    ~InstalledOps() { FileOps::install(nullptr); }
    InstalledOps(const InstalledOps&) = delete;
    InstalledOps& operator=(const InstalledOps&) = delete;
};

const std::string kOld = "needle one needle two needle three needle";
const std::string kNew = "pin one pin two pin three pin";

SearchJob safetyJob(std::uint32_t splitLength)
{
    SearchJob job = TestJob();
    job.makeBackup = 0;
    if (splitLength) job.splitLength = splitLength;
    return job;
}

// Names of temporary files left anywhere in the tree.
std::vector<std::string> leftovers(const TempTree& tree)
{
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tree.root())) {
        const std::string name = entry.path().filename();
        if (name.find(".trwtmp8") != std::string::npos || name.starts_with("tarwerstmpdat")) found.push_back(name);
    }
    return found;
}

unsigned modeOf(const std::string& path)
{
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode;
}

}  // namespace

TEST(ReplaceSafety, KeepsPermissionsSymbolicLinksAndHardLinks)
{
    for (const std::uint32_t split : {0u, 8u}) {
        for (const bool tempElsewhere : {false, true}) {
            if (tempElsewhere && !split) continue;
            SCOPED_TRACE(::testing::Message() << "split " << split << (tempElsewhere ? ", temporary file elsewhere" : ""));
            TempTree tree;
            const std::string plain = tree.write("plain.txt", kOld);
            ASSERT_EQ(::chmod(plain.c_str(), 0640), 0);
            const std::string target = tree.write("target.txt", kOld);
            const std::string link = tree.path("link.txt");
            ASSERT_EQ(::symlink("target.txt", link.c_str()), 0);
            const std::string first = tree.write("first.txt", kOld);
            const std::string second = tree.path("second.txt");
            ASSERT_EQ(::link(first.c_str(), second.c_str()), 0);
            SearchJob job = safetyJob(split);
            if (tempElsewhere) {
                job.tempDirIsCurrent = 0;
                job.tempDir = tree.mkdir("temp");
            }
            ReplaceFixture fixture(job, "needle", "pin");
            for (const std::string& path : {plain, link, first}) EXPECT_TRUE(ReplaceInFile(fixture.run(), path));

            EXPECT_TRUE(fixture.errors().empty());
            EXPECT_EQ(ReadFile(plain), kNew);
            EXPECT_EQ(modeOf(plain) & 07777, 0640u);
            EXPECT_TRUE(S_ISLNK(modeOf(link)));
            EXPECT_EQ(ReadFile(target), kNew);
            EXPECT_EQ(ReadFile(first), kNew);
            EXPECT_EQ(ReadFile(second), kNew);
            EXPECT_TRUE(leftovers(tree).empty());
        }
    }
}

TEST(ReplaceSafety, FailedWriteOrRenameLeavesOldContents)
{
    const std::string save = text::kSaveOriginalFailed, install = text::kReplaceOriginalFailed;
    const struct {
        const char* name;
        std::uint32_t split;
        bool hardLinked;
        int renameError, allocateError;
        std::int64_t bytesBeforeFailure;
        std::string message;  // followed by " <path>: <reason>"; empty: the temporary file's text
        int error;
        int syncError;
    } rows[] = {
        {"rename refused", 0, false, EIO, 0, -1, save, EIO, 0},
        {"rename across devices, split", 8, false, EXDEV, 0, -1, install, EXDEV, 0},
        {"disk full", 0, false, 0, 0, 10, save, ENOSPC, 0},
        {"disk full, split", 8, false, 0, 0, 10, "", ENOSPC, 0},
        {"hard link, no room", 0, true, 0, ENOSPC, -1, save, ENOSPC, 0},
        {"hard link, write fails midway", 0, true, 0, 0, 10, save, ENOSPC, 0},
        {"hard link, no room, split", 8, true, 0, ENOSPC, -1, install, ENOSPC, 0},
        {"contents cannot reach the disk", 0, false, 0, 0, -1, save, EIO, EIO},
        {"contents cannot reach the disk, split", 8, false, 0, 0, -1, install, EIO, EIO},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempTree tree;
        const std::string path = tree.write("f.txt", kOld);
        if (row.hardLinked) {
            ASSERT_EQ(::link(path.c_str(), tree.path("g.txt").c_str()), 0);
        }
        FailingOps ops;
        ops.renameError = row.renameError;
        ops.allocateError = row.allocateError;
        ops.bytesBeforeFailure = row.bytesBeforeFailure;
        ops.syncError = row.syncError;
        ReplaceFixture fixture(safetyJob(row.split), "needle", "pin");
        {
            InstalledOps installed(ops);
            EXPECT_TRUE(ReplaceInFile(fixture.run(), path));
        }
        EXPECT_EQ(ReadFile(path), kOld);
        if (row.hardLinked) {
            EXPECT_EQ(tree.read("g.txt"), kOld);
        }
        const auto errors = fixture.errors();
        ASSERT_EQ(errors.size(), 1u);
        const std::string expected = row.message.empty()
            ? text::kTempWriteFailed + std::string("CFileException: ") + SystemErrorText(row.error)
            : row.message + " " + path + ": " + SystemErrorText(row.error);
        // A failed commit adds an item of its own; a failure in split mode marks the file's item.
        EXPECT_EQ(errors[0].second.empty() ? errors[0].first : errors[0].second, expected);
        EXPECT_TRUE(leftovers(tree).empty());
        // Its lines stay, followed by the word that the file was not changed; the summary counts nothing.
        EXPECT_FALSE(fixture.hits().empty());
        EXPECT_TRUE(fixture.runLog().text().ends_with(std::string(text::kFileNotChanged) + ": " + path + "\r\n"));
        EXPECT_EQ(fixture.counters().hits.load(), 0);
        EXPECT_EQ(fixture.counters().files.load(), 0);
    }
}

// A run commits whole files in batches: one whose rename fails there keeps
// its contents, is reported and not counted; the others of the batch are
// committed; no temporary file stays.
TEST(ReplaceSafety, AFailureInABatchOfCommitsCostsOnlyThatFile)
{
    TempTree tree;
    const std::string a = tree.write("a.txt", kOld);
    const std::string b = tree.write("b.txt", kOld);
    FailingOps ops;
    ops.renameError = EIO;
    ReplaceFixture fixture(safetyJob(0), "needle", "pin");
    {
        InstalledOps installed(ops);
        RunReplace(fixture.run(), tree.root());
    }
    const bool aFailed = ReadFile(a) == kOld;
    const std::string& failed = aFailed ? a : b;
    EXPECT_EQ(ReadFile(aFailed ? b : a), kNew);
    EXPECT_EQ(ReadFile(failed), kOld);
    const auto errors = fixture.errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].first, std::string(text::kSaveOriginalFailed) + " " + failed + ": " + SystemErrorText(EIO));
    EXPECT_NE(fixture.runLog().text().find(std::string(text::kFileNotChanged) + ": " + failed), std::string::npos);
    EXPECT_EQ(fixture.counters().hits.load(), 4);
    EXPECT_EQ(fixture.counters().files.load(), 1);
    EXPECT_TRUE(leftovers(tree).empty());
}

// A file waiting in a batch for its rename stays locked: another program
// that honours the lock cannot append a line the rename would then drop.
TEST(ReplaceSafety, AFileWaitingForItsRenameStaysLocked)
{
    TempTree tree;
    const std::string path = tree.write("a.txt", kOld);
    ReplaceFixture fixture(safetyJob(0), "needle", "pin");
    CommitBatch batch(fixture.run());
    fixture.run().commits = &batch;
    EXPECT_TRUE(ReplaceInFile(fixture.run(), path));
    const int other = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(other, 0);
    EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0);  // still held by the run
    EXPECT_EQ(ReadFile(path), kOld);
    batch.flush();
    fixture.run().commits = nullptr;
    ::close(other);
    EXPECT_EQ(ReadFile(path), kNew);
}

// A write to the temporary file that fails ends the steps as a failure,
// never as "no more occurrences" (which would let the file be finished),
// and the failure is told on the file's item.
TEST(ReplaceSafety, FailedTemporaryWriteIsAFailedStep)
{
    TempTree tree;
    const std::string path = tree.write("f.txt", kOld);
    FailingOps ops;
    ops.bytesBeforeFailure = 10;
    ReplaceFixture fixture(safetyJob(8), "needle", "pin");
    fixture.sink().beginEntry({path, EntryKind::File, 0});
    ReplaceStep step;
    {
        ReplaceBuffer buffer(fixture.run());
        ASSERT_EQ(buffer.open(path), std::error_code());
        InstalledOps installed(ops);
        ASSERT_EQ(buffer.prepareReplace().outcome, ReplaceOutcome::Occurrence);
        do {
            step = buffer.replaceNext();
        } while (step.outcome == ReplaceOutcome::Occurrence);
        EXPECT_FALSE(buffer.finish());
    }
    EXPECT_EQ(step.outcome, ReplaceOutcome::Failed);
    EXPECT_EQ(ReadFile(path), kOld);
    const auto errors = fixture.errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].second, text::kTempWriteFailed + std::string("CFileException: ") + SystemErrorText(ENOSPC));
    EXPECT_TRUE(leftovers(tree).empty());
}

TEST(ReplaceSafety, HardLinkedSplitFileSurvivesAWriteFailingMidway)
{
    // The temporary file is complete; copying it over the hard-linked file
    // fails after a few bytes. The old bytes are no longer in memory.
    TempTree tree;
    const std::string path = tree.write("f.txt", kOld);
    ASSERT_EQ(::link(path.c_str(), tree.path("g.txt").c_str()), 0);
    FailingOps ops;
    ops.bytesBeforeFailure = static_cast<std::int64_t>(kNew.size()) + 10;
    ReplaceFixture fixture(safetyJob(8), "needle", "pin");
    {
        InstalledOps installed(ops);
        EXPECT_TRUE(ReplaceInFile(fixture.run(), path));
    }
    EXPECT_EQ(ReadFile(path), kOld);
    EXPECT_EQ(fixture.errors().size(), 1u);
}

TEST(ReplaceSafety, StopLeavesEachFileWholeOrDone)
{
    TempTree tree;
    std::string big;
    for (int i = 0; i < 20; ++i) big += "needle " + std::to_string(i) + "\n";
    const std::string bigPath = tree.write("big.txt", big);
    // The first write behind the start of a file is the split file's second
    // chunk going to its temporary file: the stop request arrives there, in
    // the middle of the file's replacements. Backups and small files are
    // written at offset 0 in one piece.
    FailingOps ops;
    SearchJob job = safetyJob(16);
    job.makeBackup = 1;
    {
        ReplaceFixture fixture(job, "needle", "pin");
        ops.onWrite = [&](off_t offset, std::size_t) { fixture.stopFlag() = offset > 0; };
        InstalledOps installed(ops);
        EXPECT_TRUE(ReplaceInFile(fixture.run(), bigPath));
        // Lines were printed for replacements that never reached the file:
        // the log says so, and none of them is counted.
        EXPECT_GT(fixture.hits().size(), 2u);
        EXPECT_EQ(fixture.counters().hits.load(), 0);
        EXPECT_EQ(fixture.counters().files.load(), 0);
        EXPECT_TRUE(fixture.runLog().text().ends_with(std::string(text::kFileNotChanged) + ": " + bigPath + "\r\n"));
        EXPECT_EQ(ReadFile(bigPath), big);
        EXPECT_EQ(tree.read("big.txt.bak"), big);
        std::filesystem::remove(tree.path("big.txt.bak"));
    }
    // In a walk, the files before the stop are finished, those after it untouched.
    const std::string small[] = {tree.write("a.txt", kOld), tree.write("b.txt", kOld)};
    job.makeBackup = 0;
    ReplaceFixture fixture(job, "needle", "pin");
    ops.onWrite = [&](off_t offset, std::size_t) { fixture.stopFlag() = offset > 0; };
    {
        InstalledOps installed(ops);
        RunReplace(fixture.run(), tree.root());
    }
    EXPECT_EQ(ReadFile(bigPath), big);
    for (const std::string& path : small) {
        const std::string contents = ReadFile(path);
        EXPECT_TRUE(contents == kOld || contents == kNew) << path << ": " << contents;
    }
    EXPECT_TRUE(leftovers(tree).empty());
}

// A stop that comes while the last chunk goes to the temporary file: the
// file keeps its old contents and the temporary file, complete by then, is
// removed too.
TEST(ReplaceSafety, StopAtTheLastFlushLeavesNoTemporaryFile)
{
    for (const bool tempElsewhere : {false, true}) {
        SCOPED_TRACE(tempElsewhere ? "temporary folder" : "beside the file");
        TempTree tree;
        std::string big;
        for (int i = 0; i < 20; ++i) big += "needle " + std::to_string(i) + "\n";
        const std::string path = tree.write("big.txt", big);
        SearchJob job = safetyJob(16);
        if (tempElsewhere) {
            job.tempDirIsCurrent = 0;
            job.tempDir = tree.mkdir("temp");
        }
        std::string changed = big;
        for (auto at = changed.find("needle"); at != std::string::npos; at = changed.find("needle", at))
            changed.replace(at, 6, "pin");
        ReplaceFixture fixture(job, "needle", "pin");
        FailingOps ops;
        // The last chunk's write is the one that ends at the new contents' end.
        ops.onWrite = [&](off_t offset, std::size_t size) {
            if (offset + static_cast<off_t>(size) == static_cast<off_t>(changed.size())) fixture.stopFlag() = true;
        };
        {
            InstalledOps installed(ops);
            EXPECT_TRUE(ReplaceInFile(fixture.run(), path));
        }
        ASSERT_TRUE(fixture.stopFlag());
        EXPECT_EQ(ReadFile(path), big);
        EXPECT_TRUE(leftovers(tree).empty());
        EXPECT_EQ(fixture.counters().hits.load(), 0);
    }
}

// The desktop program and a terminal run (or two terminal runs) with the
// same temporary folder each get a file of their own.
TEST(ReplaceSafety, TwoRunsShareATemporaryFolder)
{
    TempTree tree;
    SearchJob job = safetyJob(8);
    job.tempDirIsCurrent = 0;
    job.tempDir = tree.mkdir("temp");
    const std::string first = tree.write("a/f.txt", kOld), second = tree.write("b/f.txt", kOld);
    ReplaceFixture one(job, "needle", "pin"), two(job, "needle", "pin");
    ReplaceBuffer a(one.run()), b(two.run());
    ASSERT_EQ(a.open(first), std::error_code());
    ASSERT_EQ(b.open(second), std::error_code());
    ASSERT_EQ(a.prepareReplace().outcome, ReplaceOutcome::Occurrence);
    ASSERT_EQ(b.prepareReplace().outcome, ReplaceOutcome::Occurrence);
    // Both temporary files exist at once; the steps of the two interleave.
    for (bool moreA = true, moreB = true; moreA || moreB;) {
        if (moreA) moreA = a.replaceNext().outcome == ReplaceOutcome::Occurrence;
        if (moreB) moreB = b.replaceNext().outcome == ReplaceOutcome::Occurrence;
    }
    EXPECT_TRUE(a.finish());
    EXPECT_TRUE(b.finish());
    EXPECT_EQ(ReadFile(first), kNew);
    EXPECT_EQ(ReadFile(second), kNew);
    EXPECT_TRUE(leftovers(tree).empty());
}

}  // namespace tarnwick::test
