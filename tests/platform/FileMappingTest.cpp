#include "platform/FileMapping.h"
#include "tests/support/TempTree.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

namespace tarnwick {

// Another program cutting the file short while it is viewed must not end
// this one: the missing part reads as zeros and the view says so.
TEST(FileMapping, FileCutShortWhileViewedReadsZerosAndSaysSo)
{
    test::TempTree tree;
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::string bytes(4 * page, 'x');
    const std::string path = tree.write("f.txt", bytes);
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);

    FileMapping whole, tail;
    ASSERT_EQ(whole.map(fd, 0, bytes.size()), std::error_code());
    ASSERT_EQ(tail.map(fd, page + 5, bytes.size() - page - 5), std::error_code());
    EXPECT_EQ(tail.data()[0], 'x');
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(page + 10)), 0);

    std::size_t kept = 0, zeros = 0;
    for (std::size_t i = 0; i < whole.size(); ++i) (whole.data()[i] == 'x' ? kept : zeros) += 1;
    EXPECT_EQ(kept, page + 10);
    EXPECT_EQ(zeros, bytes.size() - page - 10);
    EXPECT_TRUE(whole.lostPages());
    // Each view keeps its own account.
    EXPECT_FALSE(tail.lostPages());
    EXPECT_EQ(tail.data()[tail.size() - 1], '\0');
    EXPECT_TRUE(tail.lostPages());

    // A view that stays whole says nothing was lost, also in a slot reused.
    whole.unmap();
    ASSERT_EQ(whole.map(fd, 0, page), std::error_code());
    EXPECT_EQ(whole.data()[page - 1], 'x');
    EXPECT_FALSE(whole.lostPages());
    ::close(fd);
}

}  // namespace tarnwick
