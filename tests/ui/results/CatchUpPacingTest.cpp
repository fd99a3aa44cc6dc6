#include "ui/results/CatchUpPacing.h"

#include <gtest/gtest.h>

namespace tarnwick::ui {
namespace {

TEST(CatchUpPacingTest, QuietSoonBusyInStepsLongListsInBiggerOnes)
{
    const CatchUpPacing pacing;
    EXPECT_EQ(pacing.nextIntervalMs(false, 0), CatchUpPacing::kQuietIntervalMs);
    EXPECT_EQ(pacing.nextIntervalMs(false, 400), CatchUpPacing::kQuietIntervalMs);  // nothing came: the next items show soon
    EXPECT_EQ(pacing.nextIntervalMs(true, 2), CatchUpPacing::kBusyIntervalMs);
    EXPECT_EQ(pacing.nextIntervalMs(true, 100), 100 * CatchUpPacing::kPauseToCostRatio);
    EXPECT_EQ(pacing.nextIntervalMs(true, 5'000), CatchUpPacing::kLongestIntervalMs);
}

}  // namespace
}  // namespace tarnwick::ui
