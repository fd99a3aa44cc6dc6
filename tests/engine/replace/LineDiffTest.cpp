// The unified hunks of the replace preview: git's numbering and merging,
// and a huge file where every line changed still gets a right diff at once.
#include "engine/replace/LineDiff.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(LineDiff, HunksMergeWithinTwiceTheContextAndCountAsGitDoes)
{
    std::string before, after;
    for (int i = 1; i <= 20; ++i) {
        before += "l" + std::to_string(i) + "\n";
        after += (i == 2 || i == 8 || i == 19 ? "X" : "l" + std::to_string(i)) + "\n";
    }
    after += "tail";
    std::string out;
    AppendUnifiedHunks(before, after, 3, out);
    // Lines 2 and 8 are six apart: one hunk; line 19 and the added last line another.
    EXPECT_EQ(out,
              "@@ -1,11 +1,11 @@\n l1\n-l2\n+X\n l3\n l4\n l5\n l6\n l7\n-l8\n+X\n l9\n l10\n l11\n"
              "@@ -16,5 +16,6 @@\n l16\n l17\n l18\n-l19\n+X\n l20\n+tail\n\\ No newline at end of file\n");

    out.clear();
    AppendUnifiedHunks("", "new\n", 3, out);
    EXPECT_EQ(out, "@@ -0,0 +1 @@\n+new\n");
}

TEST(LineDiff, EveryLineOfAHugeFileChangedGivesOneBlock)
{
    constexpr int kLines = 300'000;
    std::string before, after;
    for (int i = 0; i < kLines; ++i) {
        before += "a" + std::to_string(i) + "\n";
        after += "b" + std::to_string(i) + "\n";
    }
    const std::vector<DiffBlock> blocks = DiffLines(SplitLines(before), SplitLines(after));
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].beforeEnd, static_cast<std::size_t>(kLines));
    EXPECT_EQ(blocks[0].afterEnd, static_cast<std::size_t>(kLines));
}

}  // namespace
}  // namespace tarnwick
