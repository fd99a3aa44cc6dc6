#include "platform/Expected.h"

#include <gtest/gtest.h>

#include <string>

using namespace tarnwick;

namespace {

Expected<std::string> readName(bool ok)
{
    if (!ok) return invalidInput("kaputt", 3);
    return std::string("name");
}

}  // namespace

TEST(Expected, HoldsTheValueOrTheFailureWithItsPlace)
{
    const Expected<std::string> good = readName(true);
    ASSERT_TRUE(good);
    EXPECT_EQ(good.value(), "name");

    const Expected<std::string> bad = readName(false);
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.error().kind, FailureKind::InvalidInput);
    EXPECT_EQ(bad.error().position, 3);
    EXPECT_FALSE(bad.error().code);
}

TEST(Expected, AskingAFailureForItsValueEndsTheProgram) { EXPECT_DEATH((void)readName(false).value(), ""); }
