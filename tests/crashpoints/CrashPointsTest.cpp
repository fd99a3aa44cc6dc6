// Which crash points a reduced run explores, reading the shim's log, and
// telling two saves of one document apart from a torn one.
#include <gtest/gtest.h>

#include <algorithm>

#include "crashpoints/driver/CrashPoints.h"
#include "crashpoints/driver/DocxPackage.h"
#include "tests/support/TempTree.h"

namespace tarnwick::crashpoints {
namespace {

TEST(CrashPoints, EveryPointWithoutASampleOrWhenThereAreFewCalls)
{
    EXPECT_EQ(ChooseCrashPoints(4, 0, Moment::Before), (std::vector<std::uint64_t>{1, 2, 3, 4}));
    EXPECT_EQ(ChooseCrashPoints(4, 9, Moment::After), (std::vector<std::uint64_t>{1, 2, 3, 4}));
    EXPECT_TRUE(ChooseCrashPoints(0, 5, Moment::Before).empty());
}

TEST(CrashPoints, ASampleHasTheFirstAndLastAndSpreadsTheRestBetweenTheMoments)
{
    const std::vector<std::uint64_t> before = ChooseCrashPoints(61, 7, Moment::Before);
    const std::vector<std::uint64_t> after = ChooseCrashPoints(61, 7, Moment::After);
    EXPECT_EQ(before, (std::vector<std::uint64_t>{1, 11, 21, 31, 41, 51, 61}));
    ASSERT_EQ(after.size(), 8u);
    EXPECT_EQ(after.front(), 1u);
    EXPECT_EQ(after.back(), 61u);
    // Each inner point of After lies strictly between two of Before.
    for (std::size_t i = 1; i + 1 < after.size(); ++i) {
        EXPECT_GT(after[i], before[i - 1]);
        EXPECT_LT(after[i], before[i]);
    }
    for (const std::uint64_t samples : {2u, 3u, 10u, 60u}) {
        const auto points = ChooseCrashPoints(61, samples, Moment::After);
        EXPECT_TRUE(std::is_sorted(points.begin(), points.end()));
        EXPECT_EQ(std::adjacent_find(points.begin(), points.end()), points.end()) << samples;
    }
}

TEST(CrashPoints, LogLinesAreReadInIndexOrderAndShownWithoutTheRoot)
{
    test::TempTree tree;
    tree.write("calls.log",
               "2\trename\t/r/tree/a.tmp, /r/tree/a\t0; killed after it\n"
               "1\topen\t/r/tree/a.tmp, O_WRONLY|O_CREAT\t3\n"
               "3\tbroken line\n");
    const std::vector<LoggedCall> calls = ReadCallLog(tree.path("calls.log"));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].index, 1u);
    EXPECT_EQ(calls[1].result, "0; killed after it");
    EXPECT_EQ(ShortCall(calls[1], "/r"), "rename(tree/a.tmp, tree/a)");
    EXPECT_TRUE(ReadCallLog(tree.path("absent.log")).empty());
}

TEST(DocxPackage, TwoSavesOfOneTextAreTheSameDocumentATornOneIsNone)
{
    test::TempTree tree;
    WriteMinimalDocx(tree.path("a.docx"), "Dear alpha");
    WriteMinimalDocx(tree.path("b.docx"), "Dear alpha");
    WriteMinimalDocx(tree.path("c.docx"), "Dear omega");
    const std::string a = test::ReadFile(tree.path("a.docx"));
    // Built the same way twice, byte for byte, or the scenario trees would differ.
    EXPECT_EQ(a, test::ReadFile(tree.path("b.docx")));
    EXPECT_FALSE(SameDocument(a, test::ReadFile(tree.path("c.docx"))));
    const auto parts = PackageParts(a);
    ASSERT_TRUE(parts);
    EXPECT_NE(parts->at("word/document.xml").find("Dear alpha"), std::string::npos);
    EXPECT_FALSE(PackageParts(a.substr(0, a.size() / 2)));
    EXPECT_FALSE(SameDocument(a.substr(0, a.size() - 1), a));
}

}  // namespace
}  // namespace tarnwick::crashpoints
