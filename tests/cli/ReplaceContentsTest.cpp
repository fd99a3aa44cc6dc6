// tarnwick-cli replace end to end: the bytes a run writes into files.
#include "tests/cli/CliProcess.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

using Strings = std::vector<std::string>;

TEST(CliReplaceContents, ReplacementTextAndMatchingOptionsShapeTheNewContents)
{
    struct Case {
        Strings options;
        std::string search, replacement, before, after;
    };
    const Case cases[] = {
        {{}, "hit", "a\\tb", "x hit y", "x a\\tb y"},
        {{"--escapes"}, "hit", "a\\tb", "x hit y", "x a\tb y"},
        {{"--escapes"}, "hit", "\\x41\\r\\n\\\\", "hit", "A\r\n\\"},
        {{}, "hit", "", "a hit, HIT.", "a , ."},
        {{"-c"}, "hit", "", "a hit, HIT.", "a , HIT."},
        // Each rejected "a" inside banana lets the search go on right after it.
        {{"-w"}, "a", "", "banana a", "banana "},
        // An inserted replacement is never searched again.
        {{}, "ab", "abab", "ab ab", "abab abab"},
        {{"-e"}, "h.t", "X", "hit hat\nhot", "X X\nX"},
    };
    int n = 0;
    for (const Case& c : cases) {
        TempTree tree;
        tree.write("f.txt", c.before);
        Strings args{"replace", "--no-backup"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), {c.search, c.replacement, tree.root()});
        const CliOutcome run = RunCli(args);
        SCOPED_TRACE("case " + std::to_string(n++));
        EXPECT_EQ(run.status, 0) << run.err;
        // The first line shows the replacement as typed, escapes and all.
        EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "Ersetze " + c.search + " durch " + c.replacement);
        EXPECT_EQ(tree.read("f.txt"), c.after);
    }
}

// Replaces in `dir` and returns the offsets it reported.
Strings replaceAndListOffsets(const Strings& options, const std::string& replacement, const std::string& dir)
{
    Strings args{"replace", "--no-backup"};
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), {"needle", replacement, dir});
    const CliOutcome run = RunCli(args);
    EXPECT_EQ(run.status, 0) << run.err;
    return HitPositions(run.out);
}

// About 4 KB with `word` wherever "needle" or "NEEDLE" stands: occurrences
// at every distance from a 64-byte chunk border, some across it.
constexpr int kNeedles = 330;
std::string needles(const std::string& word)
{
    std::string text;
    for (int i = 0; i < kNeedles; ++i)
        text += std::string(i % 11, 'x') + (word.empty() ? (i % 3 ? "needle" : "NEEDLE") : word) + (i % 5 ? " " : "\r\n");
    return text;
}

TEST(CliReplaceContents, SplitFilesGetTheSameContentsAsWholeOnes)
{
    const std::string contents = needles("");
    for (const std::string replacement : {"pin", "a-needle-longer-than-it"}) {
        SCOPED_TRACE(replacement);
        TempTree tree;
        tree.write("whole/big.txt", contents);
        tree.write("split/big.txt", contents);
        const Strings whole = replaceAndListOffsets({}, replacement, tree.path("whole"));
        const Strings split = replaceAndListOffsets({"--split-length", "64"}, replacement, tree.path("split"));
        EXPECT_EQ(whole.size(), static_cast<std::size_t>(kNeedles));
        EXPECT_EQ(split, whole);
        EXPECT_EQ(tree.read("whole/big.txt"), needles(replacement));
        EXPECT_EQ(tree.read("split/big.txt"), needles(replacement));
        // The temporary file has taken the source's place.
        EXPECT_EQ(TreeEntries(tree.path("split")), std::set<std::string>{"big.txt"});
    }
}

}  // namespace
}  // namespace tarnwick::test
