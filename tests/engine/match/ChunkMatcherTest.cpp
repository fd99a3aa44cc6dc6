// ChunkMatcher's shortcuts against the plain way: ASCII text without case
// found in the chunk itself against the search in the folded copy, and an
// expression run on candidate lines against one search of the whole range.
#include "engine/match/ChunkMatcher.h"
#include "engine/job/SearchJob.h"
#include "engine/match/PatternCache.h"
#include "tests/engine/match/SearchTester.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <tuple>

namespace tarnwick::test {
namespace {

// A chunk as ChunkStore lays it out: the byte before, the text, a NUL.
struct ChunkMemory {
    std::string bytes;
    ChunkText view(const std::string* folded, bool atFileStart, unsigned char nextByte)
    {
        ChunkText chunk;
        chunk.text = bytes.data() + 1;
        chunk.folded = folded ? folded->data() + 1 : nullptr;
        chunk.length = static_cast<std::int64_t>(bytes.size()) - 2;
        chunk.atFileStart = atFileStart;
        chunk.nextByte = nextByte;
        return chunk;
    }
};

ChunkMemory chunkOf(char before, const std::string& text) { return {before + text + '\0'}; }

std::string randomText(std::mt19937& random, std::string_view alphabet, std::size_t length)
{
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text.push_back(alphabet[random() % alphabet.size()]);
    return text;
}

using Found = std::tuple<std::int64_t, std::int64_t, std::int64_t>;  // position, length, plain scan start

// Every hit as FileBuffer walks a chunk; the first search may see an
// overridden byte before it, as ReplaceBuffer's does.
std::vector<Found> plainHits(ChunkMatcher& matcher, std::int64_t length, bool wholeWords, Preceding before)
{
    std::vector<Found> hits;
    for (std::int64_t start = 0;;) {
        const auto found = matcher.findPlain(start, wholeWords, start == 0 ? before : Preceding{});
        if (!found) break;
        hits.emplace_back(found->position, found->length, matcher.plainScanStart());
        start = found->position + length;
    }
    return hits;
}

using Match = std::pair<std::int64_t, std::int64_t>;

// The matches one search of the whole range from each resume position finds
// (up to the first NUL, the byte before the range judged as real text):
// what ChunkMatcher must give however it gets there.
std::vector<Match> wholeRangeMatches(const boost::regex& regex, ChunkMemory& memory, bool atFileStart, unsigned char nextByte,
                                     Preceding before)
{
    std::vector<Match> matches;
    char* text = memory.bytes.data() + 1;
    const auto length = static_cast<std::int64_t>(memory.bytes.size()) - 2;
    boost::cmatch match;
    for (std::int64_t resume = 0; resume < length;) {
        std::int64_t end = resume;
        while (end < length && text[end] != 0) ++end;
        bool hasPrevious = resume > 0 || !atFileStart;
        const char saved = text[resume - 1];
        if (resume == 0 && before.override) {
            hasPrevious = !before.none;
            text[-1] = static_cast<char>(before.byte);
        }
        auto flags = boost::match_default;
        if (hasPrevious) flags |= boost::match_prev_avail;
        if (end == length && nextByte != 0) flags |= boost::match_not_eol | boost::match_not_eow | boost::match_not_eob;
        const char* range = text;
        const bool found = boost::regex_search(range + resume, range + end, match, regex, flags);
        text[resume - 1] = saved;
        if (!found) break;
        matches.emplace_back(match[0].first - text, match.length(0));
        resume = matches.back().first + std::max<std::int64_t>(matches.back().second, 1);
    }
    return matches;
}

std::vector<Match> matcherMatches(ChunkMatcher& matcher, Preceding before)
{
    std::vector<Match> matches;
    for (std::int64_t resume = 0;;) {
        const auto found = matcher.findRegex(resume, resume == 0 ? before : Preceding{});
        if (!found) break;
        matches.emplace_back(found->position, found->length);
        resume = found->position + std::max<std::int64_t>(found->length, 1);
    }
    return matches;
}

}  // namespace

TEST(ChunkMatcher, AsciiWithoutCaseFindsWhatTheFoldedCopyFinds)
{
    std::mt19937 random(2024);
    // Both cases, word and non-word bytes, NULs, a two-byte capital (Ä) and
    // its small form, bytes that are no character at all, and bytes equal
    // to a needle byte but for bit 0x20.
    const std::string alphabet("aAbBzZ09_ .-(\0\0\xC3\x84\xC3\xA4\xE4\xC4\x80\xFF@`\x7F[{\r", 30);
    const std::string needleBytes = "abz09_ .-(`{";
    const CodePage latin1("ISO-8859-1");
    for (int round = 0; round < 4000; ++round) {
        const CodePage& page = round % 3 == 0 ? latin1 : RunFixture::utF8();
        const Encoding encoding = round % 5 == 0 ? Encoding::Utf8 : Encoding::Ansi;
        SearchJob job = JobFor(0);
        job.ignoreNulls = round % 2;
        const bool wholeWords = random() % 2;
        const std::size_t length = random() % (round % 8 == 0 ? 300 : 40);
        const std::string text = randomText(random, alphabet, length);
        std::string needle = randomText(random, needleBytes, 1 + random() % 8);
        if (length >= 8 && round % 2) {
            // Taken from the text, so that hits are common; some bytes turned
            // into the byte that differs by 0x20 only, so that near misses are.
            needle = page.lower(text.substr(random() % (length - 7), 1 + random() % 8));
            for (char& c : needle) {
                if (static_cast<unsigned char>(c) >= 0x80 || c == 0) c = 'a';
                if (random() % 4 == 0 && std::strchr("\r@[\x7F", c)) c = static_cast<char>(c ^ 0x20);
            }
            if (!LiteralFinder::isFoldedAscii(needle)) needle = "a";
        }
        SCOPED_TRACE("round " + std::to_string(round) + ", needle '" + needle + "', text '" + text + "'");

        PatternCache cache(job, page, needle);
        const FilePattern& pattern = cache.forEncoding(encoding);
        ASSERT_TRUE(pattern.finder.isAsciiInsensitive());
        FilePattern folding;
        folding.searchBytes = pattern.searchBytes;
        folding.finder = LiteralFinder(pattern.searchBytes);
        folding.utf8 = pattern.utf8;

        const char before = alphabet[random() % alphabet.size()];
        const bool atFileStart = random() % 2;
        const auto nextByte = static_cast<unsigned char>(random() % 3 ? alphabet[random() % alphabet.size()] : 0);
        ChunkMemory raw = chunkOf(before, text);
        std::string folded = raw.bytes;
        if (pattern.utf8)
            CodePage::foldUtf8Text(folded.data(), folded.data(), folded.size());
        else
            page.foldCase(folded.data(), folded.data(), folded.size());
        Preceding override;
        override.override = random() % 3 == 0;
        override.none = random() % 2;
        override.byte = static_cast<unsigned char>(alphabet[random() % alphabet.size()]);

        boost::cmatch match;
        ChunkMatcher fast(job, match);
        fast.setPattern(&pattern);
        fast.setChunk(raw.view(nullptr, atFileStart, nextByte));
        ChunkMatcher reference(job, match);
        reference.setPattern(&folding);
        reference.setChunk(raw.view(&folded, atFileStart, nextByte));
        const auto n = static_cast<std::int64_t>(needle.size());
        ASSERT_EQ(plainHits(fast, n, wholeWords, override), plainHits(reference, n, wholeWords, override));
    }

    // Text with a character outside ASCII still goes through the folded copy.
    // (The cache keeps a reference to its job.)
    const SearchJob caseless = JobFor(0), withCase = JobFor(MatchCase);
    PatternCache cache(caseless, RunFixture::utF8(), "\xC3\xA4x");
    EXPECT_FALSE(cache.forEncoding(Encoding::Ansi).finder.isAsciiInsensitive());
    PatternCache exact(withCase, RunFixture::utF8(), "ax");
    EXPECT_FALSE(exact.forEncoding(Encoding::Ansi).finder.isAsciiInsensitive());
}

TEST(ChunkMatcher, ExpressionOnCandidateLinesFindsWhatTheWholeRangeFinds)
{
    const struct {
        const char* pattern;
        bool lineBound;
    } patterns[] = {
        {"[a-z_0-9]+_x[(]", true}, {"^ab", true},        {"ab$", true},         {"\\bab\\b", true},
        {"ab\\z", true},           {"\\w*ab\\w*", true}, {"(?:f|ab)+cd", true}, {"ab(?=c)", true},
        {"ab(?!c|$)", true},       {"\\<ab", true},      {"ab\\>", true},       {"[[:alpha:]]*ab\\B", true},
        {"ab\\S*$", true},         {"^\\w+ ab$", true},  {"c{2,}ab", true},     {"[A-F]ab\\d*c?", true},
        {"ab.c", false},           {"ab\\s*c", false},   {"x?ab[^x]", false},   {"ab\\Z", false},
        {"\\Aab", false},          {"ab$\\s+", false},   {"(?<=b)ab", false},   {"ab\\r?\\n", false},
    };
    // Every kind of line end, the separator \f that ^ and $ know too, NULs
    // that end a search range, word and non-word bytes.
    const std::string alphabet("abcABC_f x(\r\n\r\n\f\0"
                               "0",
                               18);
    // Candidates on nearly every line, few of them matches: windows then
    // take in several lines.
    const std::string pieces[] = {"ab-", "x ab", "ab", "AB_x(", "ccab1", "_x(", " ab0 ab", "\n", "\r\n", "\r", "\f"};
    std::mt19937 random(99);
    const SearchJob caseless = JobFor(Regex);
    const SearchJob exact = JobFor(Regex | MatchCase);
    for (const auto& p : patterns) {
        for (const SearchJob* job : {&caseless, &exact}) {
            PatternCache cache(*job, RunFixture::utF8(), p.pattern);
            const FilePattern& pattern = cache.forEncoding(Encoding::Ansi);
            ASSERT_TRUE(pattern.regex) << p.pattern;
            ASSERT_FALSE(pattern.finder.empty()) << p.pattern;
            EXPECT_EQ(pattern.lineBound, p.lineBound) << p.pattern;
            EXPECT_EQ(pattern.finder.isAsciiInsensitive(), job == &caseless);
            for (int round = 0; round < 1500; ++round) {
                std::string text = randomText(random, alphabet, random() % 60);
                if (round % 10 == 0) {
                    text.clear();
                    for (int line = random() % 400; line > 0; --line) {
                        text += pieces[random() % (random() % 30 ? 3 : 7)];
                        text += pieces[7 + random() % 4];
                    }
                }
                const char before = alphabet[random() % alphabet.size()];
                const bool atFileStart = random() % 2;
                const auto nextByte = static_cast<unsigned char>(random() % 2 ? 'a' : 0);
                Preceding override;
                override.override = random() % 3 == 0;
                override.none = random() % 2;
                override.byte = static_cast<unsigned char>(alphabet[random() % alphabet.size()]);
                ChunkMemory memory = chunkOf(before, text);
                boost::cmatch match;
                ChunkMatcher matcher(*job, match);
                matcher.setPattern(&pattern);
                matcher.setChunk(memory.view(nullptr, atFileStart, nextByte));
                const std::vector<Match> found = matcherMatches(matcher, override);
                ASSERT_EQ(memory.bytes, chunkOf(before, text).bytes) << "the chunk was changed";
                ASSERT_EQ(found, wholeRangeMatches(*pattern.regex, memory, atFileStart, nextByte, override))
                    << p.pattern << (job == &caseless ? " without case" : "") << " in '" << text << "'";
            }
        }
    }
}

TEST(ChunkMatcher, LineTooHardForItsOwnLimitIsSearchedInTheWholeRange)
{
    // Backtracking on the first line exceeds the library's work limit for
    // a line, not the one for the whole text; a limit hit must not cost the
    // match the whole-range search finds.
    const std::string line = std::string(17, 'a') + "c b_x";
    const std::string text = line + "\n" + std::string(3000, '-') + " b_x";
    const SearchJob job = JobFor(Regex | MatchCase);
    PatternCache cache(job, RunFixture::utF8(), "(?:a|a)*b_x");
    const FilePattern& pattern = cache.forEncoding(Encoding::Ansi);
    ASSERT_TRUE(pattern.lineBound);
    boost::cmatch match;
    EXPECT_THROW(boost::regex_search(text.data(), text.data() + line.size() + 1, match, *pattern.regex), std::runtime_error);

    ChunkMemory memory = chunkOf('\0', text);
    ChunkMatcher matcher(job, match);
    matcher.setPattern(&pattern);
    matcher.setChunk(memory.view(nullptr, true, 0));
    EXPECT_EQ(matcherMatches(matcher, {}), (std::vector<Match>{{19, 3}, {3024, 3}}));
}

}  // namespace tarnwick::test
