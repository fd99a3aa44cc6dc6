#include "engine/match/ContentSearch.h"
#include "tests/support/RunFixture.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

namespace tarnwick::test {

TEST(ContentSearchSmoke, FindsEveryHitOfOneFile)
{
    TempTree tree;
    const std::string path = tree.write("a.txt", "one two one\nthree one");
    RunFixture fixture(TestJob(), "one");
    SearchFileContents(fixture.run(), path);
    const auto hits = fixture.hits();
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[0].position, 0);
    EXPECT_EQ(hits[1].position, 8);
    EXPECT_EQ(hits[2].position, 18);
    EXPECT_EQ(fixture.counters().hits.load(), 3);
    EXPECT_EQ(fixture.counters().files.load(), 1);
}

}  // namespace tarnwick::test
