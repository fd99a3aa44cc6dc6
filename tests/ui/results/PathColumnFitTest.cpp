#include "ui/results/PathColumnFit.h"

#include <gtest/gtest.h>

namespace tarnwick::ui {
namespace {

TEST(PathColumnFitTest, ThePathsTakeWhatTheOtherColumnsLeaveUntilTheUserSizesThem)
{
    PathColumnFit fit;
    EXPECT_EQ(fit.pathWidth(1180, 480), 700);
    EXPECT_EQ(fit.pathWidth(600, 480), PathColumnFit::kLeastWidth);  // a narrow window scrolls sideways
    fit.columnSizedByUser(2);
    EXPECT_EQ(fit.pathWidth(1180, 330), 850);
    fit.columnSizedByUser(0);
    EXPECT_EQ(fit.pathWidth(1180, 330), std::nullopt);
}

}  // namespace
}  // namespace tarnwick::ui
