#include "engine/content/FileBuffer.h"
#include "engine/Messages.h"
#include "engine/content/ContentSearch.h"
#include "engine/job/RunReports.h"
#include "platform/SystemError.h"
#include "tests/engine/match/SearchTester.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <random>

namespace tarnwick::test {
namespace {

void RunAll(const std::vector<SearchCase>& cases)
{
    for (const SearchCase& c : cases) RunSearchCase(c);
}

}  // namespace

TEST(FileBufferSearch, PlainTextWithAndWithoutCase)
{
    RunAll({
        {"ASCII, case ignored",
         "one two One\nthree ONE\n",
         "one",
         0,
         {{0, 3, "one two One", 0}, {8, 3, "one two One", 8}, {18, 3, "three ONE", 6}}},
        {"ASCII, case matters", "one two One\nthree ONE\n", "One", MatchCase, {{8, 3, "one two One", 8}}},
        // The typed text is lowered too; each letter takes two bytes.
        {"umlauts", "ÄÖÜ-äöü-Äöü\n", "ÄöÜ", 0, {{0, 6, "ÄÖÜ-äöü-Äöü", 0}, {7, 6, "ÄÖÜ-äöü-Äöü", 7}, {14, 6, "ÄÖÜ-äöü-Äöü", 14}}},
        {"Cyrillic", "Жук жук ЖУК\n", "жУк", 0, {{0, 6}, {7, 6}, {14, 6}}},
        {"Cyrillic, case matters", "Жук жук ЖУК\n", "Жук", MatchCase, {{0, 6}}},
        // "aa" ends exactly at the first border of 8-byte chunks and must not
        // be found again from the next chunk.
        {"hit ending at a chunk end", "xxxxxxaaaxxxxxxxxxxx\n", "aa", 0, {{6, 2, "xxxxxxaaaxxxxxxxxxxx", 6}}},
        {"hits crossing chunk borders", "1234567abc12abc4567890\n", "ABC", 0, {{7, 3}, {12, 3}}},
    });
}

TEST(FileBufferSearch, WholeWordsJudgedByRealNeighbours)
{
    // Accepted after the file start, '(', '_' and the second byte of é (0xA9);
    // rejected next to letters, digits and bytes 0xC0..0xFF.
    RunAll({
        {"word bytes",
         "abc (abc) _abc_ xabc 9abc abcx abc9 \xC4"
         "abc abc\xE0 caf\xC3\xA9"
         "abc ABC\n",
         "abc",
         WholeWords,
         {{0, 3}, {5, 3}, {11, 3}, {51, 3}, {55, 3}}},
        {"case matters", "abc ABC Abc\n", "ABC", WholeWords | MatchCase, {{4, 3}}},
    });
}

TEST(FileBufferSearch, NulBytes)
{
    RunAll({
        // A NUL ends the context as a line end does.
        {"hits after NUL", std::string("x\0abc def\0yy abc\n", 17), "abc", 0, {{2, 3, "abc def", 0}, {13, 3, "yy abc", 3}}},
        // The search of a chunk ends at the first NUL after its start, so
        // chunks after the NUL would find more.
        {"ignore after NUL", std::string("abc abc\0abc\n", 12), "abc", IgnoreNulls | UnsplitOnly, {{0, 3}, {4, 3}}},
        {"expression stops at NUL", std::string("abc abc\0abc\n", 12), "abc", Regex | UnsplitOnly, {{0, 3}, {4, 3}}},
    });
}

TEST(FileBufferSearch, RegularExpressions)
{
    RunAll({
        // Kept as typed and compiled with icase: lowering would make \S into \s.
        {"icase, escapes kept", "xab! abc ab\n", "AB\\S", Regex, {{1, 3}, {5, 3}}},
        {"case matters", "xab! ABc\n", "AB\\S", Regex | MatchCase, {{5, 3}}},
        {"line start at offset 0 and after LF", "ab\nab ab\n", "^ab", Regex, {{0, 2}, {3, 2}}},
        {"word start by the real previous byte", "foobar bar\n", "\\bbar", Regex, {{7, 3}}},
        {"word end by the real next byte", "xxxxxfoobar foo\n", "foo\\b", Regex, {{12, 3}}},
        {"line end by the real next byte", "xxxxxfoo bar\nfoo\n", "foo$", Regex, {{13, 3}}},
        // A hit may begin with the CR at the resume position.
        {"hits beginning with CR", "a\r\n\r\nb\n", "\\r\\n", Regex | LfOnly, {{1, 2}, {3, 2}}},
        {"empty hits move on",
         "axxb cxd e\n",
         "x*",
         Regex | LfOnly,
         {{0, 0}, {1, 2}, {3, 0}, {4, 0}, {5, 0}, {6, 1}, {7, 0}, {8, 0}, {9, 0}, {10, 0, "", 0}}},
        {"hit across a line end", "ab\ncd\n", "b\\nc", Regex | LfOnly, {{1, 3, "ab cd ...", 1}}},
    });
}

TEST(FileBufferSearch, Contexts)
{
    const std::string longLine = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcd"
                                 "needle"
                                 "0123456789012345678901234\n";
    RunAll({
        {"context rules",
         longLine + "needle short\n" + "a\tneedle\tb\n" + "needle0123456789012345678\n",
         "needle",
         0,
         {{30, 6, "...LMNOPQRSTUVWXYZabcdneedle01234567890123456789...", 22},
          {62, 6, "needle short", 0},
          {77, 6, "a needle b", 2},
          {86, 6, "needle0123456789012345678", 0}}},
        {"byte-order mark left out", "\xEF\xBB\xBFneedle x\n", "needle", 0, {{3, 6, "needle x", 0}}},
    });
}

TEST(FileBufferSearch, SplitModeStartsAboveOnePointOneTimesSplitLength)
{
    // Observed through the context: a chunk border cuts off the bytes before.
    SearchJob job = JobFor(0);
    job.splitLength = 10;
    auto whole = SearchBytes("012345678X\n", "x", job);
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole[0].highlightStart, 9);
    auto split = SearchBytes("0123456789X\n", "x", job);
    ASSERT_EQ(split.size(), 1u);
    EXPECT_EQ(split[0].position, 10);
    EXPECT_EQ(split[0].highlightStart, 0);
}

TEST(FileBufferSearch, ExpressionHitLongerThanMaxOffsetAcrossBorderIsLost)
{
    // Chunks of 8 overlapping by 3: [0,8) [5,13) [10,18) ... "BCDEF" (4..8)
    // crosses the first border and is longer than the overlap; "QR" (12..13)
    // crosses the second one and is found.
    SearchJob job = JobFor(Regex | MatchCase);
    job.splitLength = 8;
    job.splitMaxOffset = 3;
    const std::string text = "xxxxBCDEFxxxQRxxxxxxxxxxxx\n";
    std::vector<std::int64_t> offsets;
    for (const HitRecord& h : SearchBytes(text, "BCDEF|QR", job)) offsets.push_back(h.position);
    EXPECT_EQ(offsets, (std::vector<std::int64_t>{12}));
}

TEST(FileBufferSearch, ExpressionHitReachingChunkEndIsNotCut)
{
    // With chunks of 8, "a+" must not report "aaa" at the end of the first
    // chunk and "aa" in the next one instead of one hit "aaaaa".
    RunSearchCase({"greedy repetition", "xxxxxaaaaa yy\n", "a+", Regex, {{5, 5}}});
}

TEST(FileBufferSearch, AbsurdSplitLengthsStillEnd)
{
    // Each chunk must advance, whatever the overlap rules ask for.
    for (unsigned options : {0u, Regex}) {
        SearchJob job = JobFor(options);
        job.splitLength = 1;
        job.splitMaxOffset = 5000;
        std::vector<std::int64_t> offsets;
        for (const HitRecord& h : SearchBytes("abcabc\n", "b", job)) offsets.push_back(h.position);
        EXPECT_EQ(offsets, (std::vector<std::int64_t>{1, 4})) << options;
        // A text longer than a chunk cannot be found; it must not hang either.
        job.splitLength = 2;
        EXPECT_TRUE(SearchBytes("abcabc\n", "abc", job).empty()) << options;
    }
}

TEST(FileBufferSearch, StopBetweenChunksEndsTheFile)
{
    TempTree tree;
    const std::string path = tree.write("f.txt", "hit.....................hit\n");
    SearchJob job = JobFor(0);
    job.splitLength = 8;
    RunFixture fixture(job, "hit");
    FileBuffer buffer(fixture.run());
    ASSERT_EQ(buffer.open(path), std::error_code());
    EXPECT_EQ(buffer.findFirst(), 0);
    fixture.stopFlag() = true;
    EXPECT_EQ(buffer.findNext(), std::nullopt);
}

// Another program cuts the file short while it is searched: the hits before
// the cut are reported, then the file's error, never zeros taken for text.
TEST(FileBufferSearch, AFileCutShortWhileReadInPiecesEndsWithItsError)
{
    TempTree tree;
    std::string text;
    while (text.size() < 200'000) text += "hit" + std::string(997, '.');
    const std::string path = tree.write("f.txt", text);
    SearchJob job = JobFor(0);
    job.splitLength = 64 * 1024;
    RunFixture fixture(job, "hit");
    fixture.run().buffers.readPiece = 4096;
    FileBuffer buffer(fixture.run());
    ASSERT_EQ(buffer.open(path), std::error_code());
    std::vector<std::int64_t> hits{*buffer.findFirst()};
    ASSERT_EQ(::truncate(path.c_str(), 100'000), 0);
    while (const std::optional<std::int64_t> hit = buffer.findNext()) hits.push_back(*hit);
    ASSERT_NE(buffer.failure(), nullptr) << "the cut went unnoticed";
    EXPECT_EQ(buffer.failure()->detail, text::kFileShrankWhileRead);
    ASSERT_GE(hits.size(), 90u);
    for (std::size_t i = 0; i < hits.size(); ++i) EXPECT_EQ(hits[i], static_cast<std::int64_t>(i) * 1000);
}

// Bytes that cannot be read from `failFrom` on, as a disk that fails there.
class FailingSource final : public ByteSource {
public:
    FailingSource(std::string bytes, std::uint64_t failFrom) : m_bytes(std::move(bytes)), m_failFrom(failFrom) {}
    Expected<std::size_t> read(std::uint64_t offset, char* buffer, std::size_t n) override
    {
        if (offset + n > m_failFrom) return systemFailure(ErrnoCode(EIO));
        const std::size_t count = offset < m_bytes.size() ? std::min<std::size_t>(n, m_bytes.size() - offset) : 0;
        std::memcpy(buffer, m_bytes.data() + offset, count);
        return count;
    }

private:
    std::string m_bytes;
    std::uint64_t m_failFrom;
};

// A read that fails in the middle of a chunk: the hits before it are found,
// none after it, and the failure is the file's one error item.
TEST(FileBufferSearch, AFailedReadEndsTheFileWithItsFailure)
{
    std::string text;
    while (text.size() < 200'000) text += "hit" + std::string(996, '.') + '\n';
    const std::uint64_t failFrom = 100'500;
    for (const unsigned options : {0u, Regex}) {
        SearchJob job = JobFor(options);
        job.splitLength = 64 * 1024;
        // Read piece by piece, as a file on disk larger than a few pieces is.
        {
            RunFixture fixture(job, "hit");
            fixture.run().buffers.readPiece = 4096;
            FailingSource source(text, failFrom);
            ChunkStore store(source, job, fixture.run().codePage, fixture.run().buffers);
            ChunkMatcher matcher(job, fixture.run().buffers.match);
            matcher.setPattern(&fixture.run().patterns.forEncoding(Encoding::Ansi));
            store.setRetain(64);
            store.loadInPieces(0, text.size(), text.size());
            store.fold(fixture.run().patterns.forEncoding(Encoding::Ansi));
            matcher.setChunk(store.view());
            std::vector<std::int64_t> hits;
            for (std::int64_t from = 0;;) {
                const auto found = options ? matcher.findRegex(from) : matcher.findPlain(from, false);
                if (!found) break;
                hits.push_back(found->position);
                from = found->position + found->length;
            }
            ASSERT_NE(store.failure(), nullptr) << options;
            EXPECT_EQ(store.failure()->code, ErrnoCode(EIO));
            ASSERT_FALSE(hits.empty());
            EXPECT_LT(hits.back(), static_cast<std::int64_t>(failFrom)) << options;
            for (std::size_t i = 0; i < hits.size(); ++i) EXPECT_EQ(hits[i], static_cast<std::int64_t>(i) * 1000);
        }
        // Read in split chunks, as a file inside an archive is: the entry's error item.
        {
            RunFixture fixture(job, "hit");
            FailingSource source(text, failFrom);
            FileBuffer buffer(fixture.run(), source, text.size());
            const Expected<std::int64_t> searched = SearchBufferContents(fixture.run(), buffer, "inner.txt");
            ASSERT_FALSE(searched) << options;
            const auto hits = fixture.hits();
            ASSERT_FALSE(hits.empty());
            EXPECT_LT(hits.back().position, static_cast<std::int64_t>(failFrom));
            // The entry becomes the error item, as any entry whose processing failed.
            ReportEntryFailure(fixture.run(), "inner.txt", searched.error());
            fixture.run().sink.endEntry();
            EXPECT_EQ(fixture.errors(),
                      (std::vector<std::pair<std::string, std::string>>{
                          {"inner.txt", text::kFileExceptionPrefix + SystemErrorText(EIO)}}));
        }
    }
}

TEST(FileBufferSearch, EncodingDetection)
{
    struct Row {
        const char* name;
        std::string bytes;
        bool detect;
        std::uint32_t detectLength;
        Encoding encoding;
    };
    const Row rows[] = {
        {"UTF-16 LE mark",
         std::string("\xFF\xFE"
                     "a\0b\0",
                     6),
         true, 0, Encoding::Utf16LittleEndian},
        {"UTF-16 BE mark", std::string("\xFE\xFF\0a", 4), true, 0, Encoding::Utf16BigEndian},
        {"UTF-8 mark, detection off",
         "\xEF\xBB\xBF"
         "abc",
         false, 0, Encoding::Utf8},
        {"ASCII", "plain text", true, 0, Encoding::Ansi},
        {"two-byte sequence", "abc \xC3\xA4 x", true, 0, Encoding::Utf8},
        {"two-byte sequence, detection off", "abc \xC3\xA4 x", false, 0, Encoding::Ansi},
        {"first lead byte decides", "abc \xE4 \xC3\xA4", true, 0, Encoding::Ansi},
        {"bytes F8..FF are passed over", "abc\xFF\xC3\xA4", true, 0, Encoding::Utf8},
        {"sequence beyond the scan", "abcdefgh\xC3\xA4", true, 4, Encoding::Ansi},
        {"sequence cut by the scan", "abcdefgh\xC3\xA4", true, 6, Encoding::Ansi},
        {"sequence inside the scan", "abcdefgh\xC3\xA4", true, 7, Encoding::Utf8},
        {"short file", "ab", true, 0, Encoding::Ansi},
    };
    // Two roads to one answer: reading the file (before a search, and in
    // split mode) and looking at the whole file already in memory.
    TempTree tree;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = tree.write("f.txt", row.bytes);
        SearchJob job = JobFor(row.detect ? DetectUtf8 : 0);
        job.detectLength = row.detectLength;
        RunFixture fixture(job, "zzz");
        {
            FileBuffer buffer(fixture.run());
            ASSERT_EQ(buffer.open(path), std::error_code());
            EXPECT_EQ(buffer.getEncoding(), row.encoding) << "before the search";
        }
        FileBuffer buffer(fixture.run());
        ASSERT_EQ(buffer.open(path), std::error_code());
        EXPECT_EQ(buffer.findFirst(), std::nullopt);
        EXPECT_EQ(buffer.getEncoding(), row.encoding) << "after the search";
        // The code a file item keeps reads back as the same encoding.
        EXPECT_EQ(EncodingOfCode(EncodingCode(row.encoding)), row.encoding);
    }
    // A code that names no encoding (damaged item data) is no known encoding.
    for (const std::int64_t code : {std::int64_t{-1}, std::int64_t{5}, (std::int64_t{1} << 32) + 4})
        EXPECT_EQ(EncodingOfCode(code), Encoding::Unknown) << code;
}

// A large chunk is read a piece at a time into a window that moves on
// through it: what is found must not depend on the size of the pieces, also
// where a line is longer than the window keeps and must be read again.
TEST(FileBufferSearch, ChunksReadInPiecesFindWhatWholeChunksFind)
{
    std::mt19937 random(7);
    const std::string pieces[] = {"abc", "ABC", "ab", " ", "\n", "\xC3\xA4", "\xC3\x84", "x"};
    for (const bool lines : {true, false}) {
        std::string text;
        while (text.size() < (3u << 20) + 12345) {
            const std::string& piece = pieces[random() % std::size(pieces)];
            if (lines || piece != "\n") text += piece;
        }
        struct Case {
            const char* search;
            unsigned options;
        } cases[] = {{"abc", 0},
                     {"abc", WholeWords},
                     {"\xC3\xA4"
                      "a",
                      0},
                     {"a[bc]{1,3}a", Regex},
                     {"b\\s+a", Regex},
                     {"ABC", MatchCase}};
        for (const Case& c : cases) {
            SearchJob job = JobFor(c.options);
            job.splitLength = 1u << 20;
            job.splitMaxOffset = 16;
            const auto whole = Shown(SearchBytes(text, c.search, job, RunFixture::utF8(), 64u << 20));
            ASSERT_GT(whole.size(), 100u) << c.search;
            for (const std::size_t piece : {4093u, 65536u})
                EXPECT_EQ(Shown(SearchBytes(text, c.search, job, RunFixture::utF8(), piece)), whole)
                    << c.search << ", pieces of " << piece << (lines ? "" : ", one line");
        }
    }
}

TEST(FileBufferSearch, SplitModeFindsWhatTheWholeFileHas)
{
    // Random text of few letters gives many hits and near misses at every
    // border. Plain hits are checked against a direct scan; expression hits,
    // all shorter than the overlap, against the whole-file search.
    std::mt19937 random(20240611);
    const std::string letters = "abcAB \n";
    std::string text;
    for (int i = 0; i < 3000; ++i) text.push_back(letters[random() % letters.size()]);
    auto offsets = [&](const std::string& search, unsigned options, std::uint32_t split) {
        SearchJob job = JobFor(options);
        if (split) {
            job.splitLength = split;
            job.splitMaxOffset = 6;
        }
        std::vector<std::pair<std::int64_t, std::int32_t>> found;
        for (const HitRecord& h : SearchBytes(text, search, job)) found.emplace_back(h.position, h.length);
        return found;
    };

    for (bool words : {false, true}) {
        std::vector<std::pair<std::int64_t, std::int32_t>> expected;
        auto isWord = [&](std::size_t i) { return i < text.size() && text[i] != ' ' && text[i] != '\n'; };
        for (std::size_t p = 0; p + 3 <= text.size(); ++p) {
            std::string candidate = text.substr(p, 3);
            for (char& c : candidate) c = static_cast<char>(std::tolower(c));
            if (candidate != "abc") continue;
            if (!words || ((p == 0 || !isWord(p - 1)) && !isWord(p + 3))) expected.emplace_back(p, 3);
            p += 2;  // the next candidate starts after this one
        }
        ASSERT_GT(expected.size(), words ? 3u : 20u);
        for (std::uint32_t split : {0u, 8u, 13u, 64u})
            EXPECT_EQ(offsets("abc", words ? WholeWords : 0, split), expected) << "split " << split << " " << words;
    }

    const auto whole = offsets("a[bc]{1,3}a", Regex, 0);
    ASSERT_GT(whole.size(), 20u);
    for (std::uint32_t split : {8u, 13u, 64u}) EXPECT_EQ(offsets("a[bc]{1,3}a", Regex, split), whole) << "split " << split;
}

}  // namespace tarnwick::test
