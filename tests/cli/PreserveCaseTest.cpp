// tarnwick-cli --preserve-case: each replacement in its hit's case, in
// contents read whole and in chunks, names, UTF-16 files and the diff, with
// and without the groups of --captures.
#include "tests/cli/CliProcess.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

TEST(CliPreserveCase, EveryHitGivesItsCaseToItsReplacement)
{
    TempTree tree;
    const std::string line = "foo Foo FOO fOO foo-bar Foo_Bar\n";
    const std::string changed = "bazqux Bazqux BAZQUX bazqux baz-qux Baz_Qux\n";
    std::string source;
    std::string expected;
    for (int i = 0; i < 6; ++i) source += line, expected += changed;  // long enough for chunks of 64 bytes
    tree.write("d/foo.txt", source);
    tree.write("s/Foo.txt", source);

    const CliOutcome diff = RunCli({"replace", "--diff", "--preserve-case", "-e", "foo([-_]bar)?", "baz-qux", tree.path("d")});
    EXPECT_EQ(diff.status, 0) << diff.err;
    EXPECT_NE(diff.out.find("+baz-qux Baz-qux BAZ-QUX baz-qux baz-qux baz-qux\n"), std::string::npos) << diff.out;

    ASSERT_EQ(RunCli({"replace", "--no-backup", "--preserve-case", "foo", "baz", tree.path("d")}).status, 0);
    const CliOutcome split = RunCli({"replace", "--no-backup", "--preserve-case", "--file-names", "--split-length", "64", "-e",
                                     "foo([-_])bar|foo", "baz$1qux", "--captures", tree.path("s")});
    EXPECT_EQ(split.status, 0) << split.err;
    EXPECT_EQ(tree.read("s/Bazqux.txt"), expected);
    // Plain text: the "foo" of "foo-bar" is a hit of its own.
    std::string plain;
    for (int i = 0; i < 6; ++i) plain += "baz Baz BAZ baz baz-bar Baz_Bar\n";
    EXPECT_EQ(tree.read("d/foo.txt"), plain);
}

TEST(CliPreserveCase, AUtf16FileAndLettersBeyondAscii)
{
    TempTree tree;
    tree.write("d/little.txt", std::string("\xFF\xFE\xC4\0r\0g\0e\0r\0 \0\xC4\0R\0G\0E\0R\0", 24));  // Ärger ÄRGER
    tree.write("d/narrow.txt", "Ärger ärger ÄRGER");
    const CliOutcome run = RunCli({"replace", "--no-backup", "--preserve-case", "ärger", "übel", tree.path("d")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(tree.read("d/little.txt"), std::string("\xFF\xFE\xDC\0b\0e\0l\0 \0\xDC\0B\0E\0L\0", 20));
    EXPECT_EQ(tree.read("d/narrow.txt"), "Übel übel ÜBEL");
}

}  // namespace
}  // namespace tarnwick::test
