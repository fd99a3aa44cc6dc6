// Files above 4 GiB are searched and changed like any other, with their true
// 64-bit positions. The file is sparse, so the test writes almost nothing.
#include "tests/cli/CliProcess.h"
#include "tests/support/TempTree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

namespace tarnwick::test {
namespace {

constexpr std::int64_t kGiB = 1LL << 30;

void writeAt(int fd, std::int64_t offset, const std::string& bytes)
{
    ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), offset), static_cast<ssize_t>(bytes.size()));
}

std::string readAt(const std::string& path, std::int64_t offset, std::size_t size)
{
    std::string bytes(size, '\0');
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const ssize_t got = ::pread(fd, bytes.data(), size, offset);
    ::close(fd);
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

TEST(CliLargeFile, SparseFileAboveFourGigabytesIsSearchedAndReplacedAtItsTruePositions)
{
    TempTree tree;
    const std::string path = tree.path("big/disk.img");
    tree.mkdir("big");
    const std::int64_t size = 4 * kGiB + 3 * (1 << 20);
    const std::int64_t first = 4 * kGiB + (1 << 20) + 10;
    const std::int64_t last = size - 7;
    {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, size), 0);
        writeAt(fd, first, "a needle\n");
        writeAt(fd, last, "needle\n");
        ::close(fd);
    }

    CliOutcome run = RunCli({"search", "-c", "needle", tree.path("big")});
    EXPECT_EQ(HitPositions(run.out),
              (std::vector<std::string>{"P: " + std::to_string(first + 2) + "; L: 6", "P: " + std::to_string(last) + "; L: 6"}))
        << run.out << run.err;
    EXPECT_EQ(run.status, 0);

    run = RunCli({"replace", "-c", "--no-backup", "needle", "NADELN", tree.path("big")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readAt(path, first, 9), "a NADELN\n");
    EXPECT_EQ(readAt(path, last, 7), "NADELN\n");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, size);
    // The holes stayed holes: far less than a gigabyte is allocated.
    EXPECT_LT(st.st_blocks * 512, kGiB);
    EXPECT_EQ(readAt(path, 2 * kGiB, 4), std::string(4, '\0'));
}

}  // namespace
}  // namespace tarnwick::test
