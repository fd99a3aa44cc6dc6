#include "platform/ContentDigest.h"
#include "platform/SystemError.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace tarnwick::test {

TEST(DigestDescriptor, DigestsTheRangeAndFailsOnAFileShorterThanIt)
{
    TempTree tree;
    const std::string bytes(200'000, 'x');  // more than one block
    const int fd = ::open(tree.write("f", bytes + "tail").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);

    const Expected<Digest> range = DigestDescriptor(fd, 0, bytes.size());
    ASSERT_TRUE(range);
    EXPECT_TRUE(range.value() == ContentDigest::of(bytes));
    const Expected<Digest> whole = DigestWholeDescriptor(fd);
    ASSERT_TRUE(whole);
    EXPECT_TRUE(whole.value() == ContentDigest::of(bytes + "tail"));

    const Expected<Digest> tooLong = DigestDescriptor(fd, 4, bytes.size() + 1);
    ASSERT_FALSE(tooLong);
    EXPECT_EQ(tooLong.error().code, ErrnoCode(EIO));
    ::close(fd);
}

}  // namespace tarnwick::test
