#include "platform/InputFile.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarnwick {

TEST(InputFile, RefusesWhatCannotBeSearched)
{
    test::TempTree tree;
    const std::string locked = tree.write("locked.txt", "x");
    const int holder = ::open(locked.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    const std::string fifo = tree.path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    const struct {
        std::string path;
        int error;
    } rows[] = {
        {tree.path("missing"), ENOENT},
        {tree.mkdir("dir"), EISDIR},
        {fifo, EINVAL},  // must not wait for a writer
        {locked, EWOULDBLOCK},
    };
    for (const auto& row : rows) {
        InputFile file;
        EXPECT_EQ(file.open(row.path).value(), row.error) << row.path;
        EXPECT_FALSE(file.isOpen());
    }
    ::close(holder);
}

TEST(InputFile, ReadsThroughLinksAndSharesWithOtherReaders)
{
    test::TempTree tree;
    const std::string target = tree.write("data.bin",
                                          std::string("0123\0"
                                                      "56789",
                                                      10));
    const std::string link = tree.path("link");
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);

    InputFile first, second;
    ASSERT_EQ(first.open(target), std::error_code());
    ASSERT_EQ(second.open(link), std::error_code());  // two searches may read one file
    EXPECT_EQ(second.size(), 10u);
    char buffer[16] = {};
    EXPECT_EQ(second.readAt(3, buffer, 4).value(), 4u);
    EXPECT_EQ(std::string(buffer, 4),
              std::string("3\0"
                          "56",
                          4));
    EXPECT_EQ(second.readAt(8, buffer, 16).value(), 2u);  // short only at the end
    EXPECT_EQ(second.readAt(10, buffer, 4).value(), 0u);
}

}  // namespace tarnwick
