// tarnwick-cli --captures: the groups of each match in contents, names and
// the diff; refused references; the paths that leave a file unchanged.
#include "engine/Messages.h"
#include "tests/cli/CliProcess.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

TEST(CliCaptures, FillsInGroupsInContentsNamesAndTheDiff)
{
    TempTree tree;
    tree.write("d/static_cast.txt", "a = static_cast<int>(b);\nc = dynamic_cast<T*>(d);\n");
    const std::string dir = tree.path("d");
    const char* pattern = "(\\w+)_cast";
    const char* format = "\\U$1\\E_cast";

    const CliOutcome diff = RunCli({"replace", "--diff", "--no-backup", "-e", "--captures", pattern, format, dir});
    EXPECT_EQ(diff.status, 0) << diff.err;
    EXPECT_NE(diff.out.find("+c = DYNAMIC_cast<T*>(d);\n"), std::string::npos) << diff.out;
    EXPECT_EQ(tree.read("d/static_cast.txt"), "a = static_cast<int>(b);\nc = dynamic_cast<T*>(d);\n");

    std::string source;
    for (int i = 0; i < 4; ++i) source += "a = static_cast<int>(b);\nc = dynamic_cast<T*>(d);\n";
    tree.write("d/static_cast.txt", source);
    const CliOutcome run =
        RunCli({"replace", "--no-backup", "-e", "--captures", "--file-names", "--split-length", "64", pattern, format, dir});
    EXPECT_EQ(run.status, 0) << run.err;
    std::string expected;  // long enough for chunks of 64 bytes
    for (int i = 0; i < 4; ++i) expected += "a = STATIC_cast<int>(b);\nc = DYNAMIC_cast<T*>(d);\n";
    EXPECT_EQ(tree.read("d/STATIC_cast.txt"), expected);

    // Escapes first, then the format: \t is a tab, \\ one backslash, \x24 a dollar.
    tree.write("e/x.txt", "key=value\n");
    ASSERT_EQ(RunCli({"replace", "--no-backup", "-e", "--escapes", "--captures", "(?<k>\\w+)=(\\w+)", "$2\\t${k}\\\\\\x24\\u$2",
                      tree.path("e")})
                  .status,
              0);
    EXPECT_EQ(tree.read("e/x.txt"), "value\tkey\\$Value\n");

    // Off, the same replacement is literal.
    tree.write("f/x.txt", "static_cast");
    ASSERT_EQ(RunCli({"replace", "--no-backup", "-e", pattern, format, tree.path("f")}).status, 0);
    EXPECT_EQ(tree.read("f/x.txt"), "\\U$1\\E_cast");
}

TEST(CliCaptures, ABadReferenceIsRefusedBeforeAnythingIsTouched)
{
    TempTree tree;
    tree.write("d/a.txt", "abc");
    const CliOutcome run = RunCli({"replace", "-e", "--captures", "(a)(b)(c)", "$3$7", tree.path("d")});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Der Ersetzungstext verweist auf die Gruppe $7, der Ausdruck hat aber nur 3 Gruppen.\n");
    EXPECT_EQ(tree.read("d/a.txt"), "abc");
}

TEST(CliCaptures, AUtf16FileTakesTheGroupsInItsOwnByteOrder)
{
    TempTree tree;
    const std::string little("\xFF\xFE"
                             "a\0b\0c\0",
                             8);
    const std::string big("\xFE\xFF"
                          "\0a\0b\0c",
                          8);
    tree.write("d/little.txt", little);
    tree.write("d/big.txt", big);
    tree.write("d/narrow.txt", "abc");
    const CliOutcome run = RunCli({"replace", "--no-backup", "-e", "--captures", "(b)", "[\\U$1]", tree.path("d")});
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(tree.read("d/little.txt"),
              std::string("\xFF\xFE"
                          "a\0[\0B\0]\0c\0",
                          12));
    EXPECT_EQ(tree.read("d/big.txt"),
              std::string("\xFE\xFF"
                          "\0a\0[\0B\0]\0c",
                          12));
    EXPECT_EQ(tree.read("d/narrow.txt"), "a[B]c");
}

}  // namespace
}  // namespace tarnwick::test
