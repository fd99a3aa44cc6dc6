#include "tests/engine/match/SearchTester.h"

#include "engine/content/ContentSearch.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace tarnwick::test {
namespace {

struct ReadPath {
    std::uint32_t splitLength;  // 0: the file is read whole
    std::uint32_t splitMaxOffset;
};
// Tiny chunks put a border near every hit; the offsets stay below the chunk
// length, as they do with the real settings.
constexpr ReadPath kPaths[] = {{0, 0}, {8, 7}, {13, 6}, {64, 16}};

std::string withCrLf(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

std::string displayed(std::string s)
{
    std::replace_if(
        s.begin(), s.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return s;
}

// The file bytes [first, last) a context shows; checks that the context is
// exactly those bytes around the hit, framed by "..." where it is cut.
std::pair<std::int64_t, std::int64_t> contextWindow(const std::string& file, const HitRecord& hit)
{
    std::string body = hit.context;
    std::int64_t before = hit.highlightStart;
    if (body.rfind("...", 0) == 0) {
        body.erase(0, 3);
        before -= 3;
    }
    if (body.size() >= 3 && body.compare(body.size() - 3, 3, "...") == 0) body.resize(body.size() - 3);
    const std::int64_t first = hit.position - before;
    const std::int64_t last = first + static_cast<std::int64_t>(body.size());
    EXPECT_GE(before, 0) << "context " << hit.context;
    EXPECT_GE(last, hit.position + hit.length) << "context " << hit.context;
    if (before >= 0 && last <= static_cast<std::int64_t>(file.size()))
        EXPECT_EQ(body, displayed(file.substr(static_cast<std::size_t>(first), body.size())));
    else
        ADD_FAILURE() << "context outside the file: " << hit.context;
    return {first, last};
}

}  // namespace

SearchJob JobFor(unsigned options)
{
    SearchJob job = TestJob();
    job.regularExpression = (options & Regex) ? 1 : 0;
    job.matchCase = (options & MatchCase) ? 1 : 0;
    job.wholeWords = (options & WholeWords) ? 1 : 0;
    job.ignoreNulls = (options & IgnoreNulls) ? 1 : 0;
    job.detectUtf8 = (options & DetectUtf8) ? 1 : 0;
    return job;
}

std::vector<HitRecord> SearchBytes(const std::string& bytes, const std::string& search, const SearchJob& job,
                                   const CodePage& codePage, std::size_t readPiece)
{
    TempTree tree;
    const std::string path = tree.write("file.txt", bytes);
    RunFixture fixture(job, search, codePage);
    fixture.run().buffers.readPiece = readPiece;
    EXPECT_TRUE(SearchFileContents(fixture.run(), path));
    EXPECT_TRUE(fixture.errors().empty());
    return fixture.hits();
}

std::vector<std::tuple<std::int64_t, std::int64_t, std::string, std::int32_t, std::int32_t>>
Shown(const std::vector<HitRecord>& hits)
{
    std::vector<std::tuple<std::int64_t, std::int64_t, std::string, std::int32_t, std::int32_t>> shown;
    for (const HitRecord& h : hits) shown.emplace_back(h.position, h.length, h.context, h.highlightStart, h.highlightLength);
    return shown;
}

void RunSearchCase(const SearchCase& c)
{
    SCOPED_TRACE(c.name);
    // Contexts of UTF-8 files are converted, so they are no longer byte windows.
    const bool convertedContext = c.bytes.rfind("\xEF\xBB\xBF", 0) == 0 || (c.options & DetectUtf8);
    const bool crlfToo = !(c.options & LfOnly) && c.bytes.find('\n') != std::string::npos;
    for (const bool crlf : {false, true}) {
        if (crlf && !crlfToo) continue;
        const std::string bytes = crlf ? withCrLf(c.bytes) : c.bytes;
        std::vector<std::pair<std::int64_t, std::int32_t>> expected;
        for (const ExpectedHit& e : c.hits) {
            const auto shift = crlf ? std::count(c.bytes.begin(), c.bytes.begin() + e.offset, '\n') : 0;
            expected.emplace_back(e.offset + shift, e.length);
        }
        std::vector<std::pair<std::int64_t, std::int64_t>> wholeWindows;
        for (const ReadPath& path : kPaths) {
            if (path.splitLength != 0 && (c.options & UnsplitOnly)) continue;
            SCOPED_TRACE(std::string(crlf ? "CR LF" : "LF") + ", split length " + std::to_string(path.splitLength));
            SearchJob job = JobFor(c.options);
            if (path.splitLength != 0) {
                job.splitLength = path.splitLength;
                job.splitMaxOffset = path.splitMaxOffset;
            }
            const std::vector<HitRecord> hits = SearchBytes(bytes, c.search, job);
            // Reading a chunk in pieces, however small, changes nothing the list
            // shows; nor does reading a file that is not split in pieces.
            for (const std::size_t piece : {1u, 5u})
                EXPECT_EQ(Shown(SearchBytes(bytes, c.search, job, RunFixture::utF8(), piece)), Shown(hits))
                    << "read in pieces of " << piece;
            std::vector<std::pair<std::int64_t, std::int32_t>> found;
            for (const HitRecord& h : hits) found.emplace_back(h.position, h.length);
            EXPECT_EQ(found, expected);
            if (found != expected) continue;

            for (std::size_t i = 0; i < hits.size(); ++i) {
                const ExpectedHit& e = c.hits[i];
                EXPECT_EQ(hits[i].highlightLength, e.characters < 0 ? e.length : e.characters) << "hit " << i;
                if (path.splitLength == 0 && e.context) {
                    EXPECT_EQ(hits[i].context, e.context) << "hit " << i;
                    EXPECT_EQ(hits[i].highlightStart, e.highlight) << "hit " << i;
                }
                if (convertedContext) continue;
                const auto window = contextWindow(bytes, hits[i]);
                if (path.splitLength == 0) {
                    wholeWindows.push_back(window);
                } else if (i < wholeWindows.size()) {
                    // A chunk border may only cut a context short, never widen it.
                    EXPECT_GE(window.first, wholeWindows[i].first) << "hit " << i;
                    EXPECT_LE(window.second, wholeWindows[i].second) << "hit " << i;
                }
            }
        }
    }
}

}  // namespace tarnwick::test
