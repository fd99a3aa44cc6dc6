#pragma once
// Runs one content-search expectation through every code path: the file read
// whole and split into tiny chunks, each with LF and with CR LF line ends.
// Offsets, lengths and highlight lengths must agree on every path; contexts
// are compared exactly where the file is read whole, and on split paths must
// be a window of the file no wider than the whole-file context.
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "engine/match/SearchBuffers.h"
#include "tests/support/RunFixture.h"

namespace tarnwick::test {

// Job options of a case, or-ed together.
inline constexpr unsigned Regex = 1u << 0;
inline constexpr unsigned MatchCase = 1u << 1;
inline constexpr unsigned WholeWords = 1u << 2;
inline constexpr unsigned IgnoreNulls = 1u << 3;
inline constexpr unsigned DetectUtf8 = 1u << 4;
inline constexpr unsigned LfOnly = 1u << 5;  // the expectation holds for the bytes as given only
inline constexpr unsigned UnsplitOnly = 1u << 6;  // chunked reading legitimately finds other hits

struct ExpectedHit {
    std::int64_t offset = 0;
    std::int32_t length = 0;
    const char* context = nullptr;  // compared (with highlight) when given
    std::int32_t highlight = 0;
    std::int32_t characters = -1;  // highlight length; the hit length when -1
};

struct SearchCase {
    const char* name;
    std::string bytes;  // file contents, LF line ends
    std::string search;  // as typed
    unsigned options = 0;
    std::vector<ExpectedHit> hits;
};

SearchJob JobFor(unsigned options);

// Searches `bytes` as one file and returns the hits the result list got;
// a split file is read `readPiece` bytes at a time.
std::vector<HitRecord> SearchBytes(const std::string& bytes, const std::string& search, const SearchJob& job,
                                   const CodePage& codePage = RunFixture::utF8(),
                                   std::size_t readPiece = SearchBuffers::kDefaultReadPiece);

// Everything the result list shows of each hit, for comparing two runs.
std::vector<std::tuple<std::int64_t, std::int64_t, std::string, std::int32_t, std::int32_t>>
Shown(const std::vector<HitRecord>& hits);

// Runs `c` through every path; failures name the path.
void RunSearchCase(const SearchCase& c);

}  // namespace tarnwick::test
