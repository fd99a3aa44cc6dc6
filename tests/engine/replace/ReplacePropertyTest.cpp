// Random small files replaced by the engine, unsplit and in tiny chunks,
// against a reference that is short enough to be obviously right.
#include "engine/replace/ReplaceInFile.h"
#include "tests/support/ReplaceFixture.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <boost/regex.hpp>

#include <random>

namespace tarnwick::test {
namespace {

struct Expected {
    std::string contents;
    std::vector<std::int64_t> positions;  // of each inserted replacement in the changed file
};

bool isWordByte(unsigned char b)
{
    return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b >= 0xC0;
}

std::string asciiLower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Left to right, non-overlapping. A whole-word candidate is judged by the
// byte before it in the changed text and the source byte after it.
Expected referencePlain(const std::string& text, const std::string& search, const std::string& replacement, bool matchCase,
                        bool wholeWords)
{
    const std::string haystack = matchCase ? text : asciiLower(text);
    const std::string needle = matchCase ? search : asciiLower(search);
    Expected e;
    std::size_t consumed = 0;
    for (std::size_t p = haystack.find(needle); p != std::string::npos; p = haystack.find(needle, p + needle.size())) {
        const std::string changed = e.contents + text.substr(consumed, p - consumed);
        if (wholeWords) {
            const unsigned char before = changed.empty() ? 0 : changed.back();
            const unsigned char after = p + needle.size() < text.size() ? text[p + needle.size()] : 0;
            if (isWordByte(before) || isWordByte(after)) continue;
        }
        e.positions.push_back(static_cast<std::int64_t>(changed.size()));
        e.contents = changed + replacement;
        consumed = p + needle.size();
    }
    e.contents += text.substr(consumed);
    return e;
}

// regex_search from the resume position to the first NUL after it; the byte
// before the resume position is the changed text's, or the source's where
// everything before was replaced by nothing (no new line starts there).
// After an empty match the search resumes one byte further.
Expected referenceRegex(const std::string& text, const std::string& pattern, const std::string& replacement, bool matchCase)
{
    const boost::regex re(pattern, boost::regex::perl | (matchCase ? boost::regex::normal : boost::regex::icase));
    Expected e;
    std::size_t consumed = 0;
    for (std::size_t resume = 0; resume < text.size();) {
        const std::size_t nul = text.find('\0', resume);
        const std::size_t end = nul == std::string::npos ? text.size() : nul;
        const std::string changed = e.contents + text.substr(consumed, resume - consumed);
        const std::string before = !changed.empty() ? changed.substr(changed.size() - 1)
            : resume > 0                            ? text.substr(resume - 1, 1)
                                                    : "";
        const std::string window = before + text.substr(resume, end - resume);
        const char* first = window.data() + before.size();
        boost::cmatch m;
        if (!boost::regex_search(first, window.data() + window.size(), m, re,
                                 before.empty() ? boost::match_default : boost::match_prev_avail))
            break;
        const std::size_t p = resume + static_cast<std::size_t>(m[0].first - first);
        const auto length = static_cast<std::size_t>(m.length(0));
        e.contents += text.substr(consumed, p - consumed);
        e.positions.push_back(static_cast<std::int64_t>(e.contents.size()));
        e.contents += replacement;
        consumed = p + length;
        resume = length == 0 ? consumed + 1 : consumed;
    }
    e.contents += text.substr(consumed);
    return e;
}

struct Mode {
    const char* name;
    bool regex, matchCase, wholeWords;
};

// Two kinds of input legitimately differ between the unsplit and the split
// file and are compared unsplit only:
// - a match longer than the chunk overlap ("a+" over a long run of a): the
//   chunk's end cuts it, the next chunk replaces the rest once more;
// - a NUL: the expression search of a chunk stops at the first NUL after
//   the resume position, a later chunk starts beyond it.
// A match that merely runs into a chunk's end ("[ab]x?" over "b|x") must
// come out whole.
struct Expression {
    const char* pattern;
    const char* piece;  // text it matches, sown into the file
    bool unsplitOnly;
};
const Expression kExpressions[] = {{"ab", "ab", false},     {"a+b", "aab", false}, {"[ab]x?", "bx", false},
                                   {"\\bab", "ab ", false}, {"^a", "a", false},    {"b$", "b\n", false},
                                   {"x*", "", false},       {"a+", "aa", true},    {"_?A\\b", "_A", false}};

const char kAlphabet[] = {'a', 'b', ' ', 'A', '\n', '\r', '_', '\xC3', '\xA9', '\0'};

std::string randomBytes(std::mt19937& rng, std::size_t maxLength, bool withNul)
{
    const std::size_t symbols = withNul ? sizeof kAlphabet : sizeof kAlphabet - 1;
    std::string s(std::uniform_int_distribution<std::size_t>(0, maxLength)(rng), ' ');
    for (char& c : s) c = kAlphabet[std::uniform_int_distribution<std::size_t>(0, symbols - 1)(rng)];
    return s;
}

// Random bytes with `piece` sown in often, so that occurrences touch each
// other and chunk borders, and whole runs of them get replaced.
std::string randomText(std::mt19937& rng, const std::string& piece)
{
    const unsigned share = 1 + rng() % 4;  // in fifths
    std::string s;
    for (std::size_t n = rng() % 60; n > 0; --n) s += rng() % 5 < share ? piece : randomBytes(rng, 2, true);
    return s;
}

}  // namespace

TEST(ReplaceProperty, RandomFilesMatchReferenceUnsplitAndInChunks)
{
    const Mode modes[] = {{"plain case", false, true, false},     {"plain folded", false, false, false},
                          {"whole words", false, false, true},    {"whole words case", false, true, true},
                          {"expression case", true, true, false}, {"expression folded", true, false, false}};
    const std::uint32_t splitLengths[] = {0, 8, 13, 64};  // 0: unsplit
    TempTree tree;
    const std::string path = tree.path("f.txt");
    int compared = 0;
    for (std::uint32_t seed = 1; seed <= 50; ++seed) {
        std::mt19937 rng(seed);
        for (const Mode& mode : modes) {
            std::string search;
            const Expression& expression = kExpressions[rng() % std::size(kExpressions)];
            if (mode.regex)
                search = expression.pattern;
            else
                while (search.empty()) search = randomBytes(rng, 3, false);
            const std::string text = randomText(rng, mode.regex ? expression.piece : search);
            const bool unsplitOnly = mode.regex && (expression.unsplitOnly || text.find('\0') != std::string::npos);
            // Often empty: removing text is where the byte before a position changes most.
            const std::string replacement = rng() % 3 ? randomBytes(rng, 3, false) : std::string();
            const Expected expected = mode.regex ? referenceRegex(text, search, replacement, mode.matchCase)
                                                 : referencePlain(text, search, replacement, mode.matchCase, mode.wholeWords);
            for (const std::uint32_t splitLength : splitLengths) {
                if (splitLength && unsplitOnly) continue;
                SCOPED_TRACE(::testing::Message() << "seed " << seed << ", " << mode.name << ", split " << splitLength
                                                  << ", search '" << search << "' -> '" << replacement << "'");
                SearchJob job = TestJob();
                job.makeBackup = 0;
                job.regularExpression = mode.regex;
                job.matchCase = mode.matchCase;
                job.wholeWords = mode.wholeWords;
                job.splitLength = splitLength ? splitLength : 1u << 20;
                job.splitMaxOffset = 32;
                tree.write("f.txt", text);
                ReplaceFixture fixture(job, search, replacement);
                EXPECT_TRUE(ReplaceInFile(fixture.run(), path));
                ASSERT_EQ(ReadFile(path), expected.contents);
                std::vector<std::int64_t> positions;
                for (const HitRecord& hit : fixture.hits()) positions.push_back(hit.position);
                ASSERT_EQ(positions, expected.positions);
                ASSERT_TRUE(fixture.errors().empty());
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 900);
}

}  // namespace tarnwick::test
