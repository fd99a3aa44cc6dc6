#pragma once
// Finds the hits of a run's search text in a file that starts with a UTF-16
// byte-order mark, as characters, so case, whole words and expressions work
// as they do on text: an ASCII text is found in the file's own bytes, other
// text in units decoded (and folded) chunk by chunk, an expression on the
// decoded lines around its literal. Hits are reported as byte offsets and
// lengths in the file, contexts as code-page text. Shared by the search and the replace
// side. One object per file, worker thread only. A read or memory failure
// is kept by the store (ChunkStore::failure()) and ends the search: next()
// then gives nothing.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/match/Encoding.h"
#include "platform/Expected.h"
#include "word/story/ExpressionFormat.h"

namespace tarnwick {

class ChunkStore;
class LiteralFinder;
class RunContext;
struct Utf16Pattern;

struct Utf16Hit {
    std::int64_t offset = 0;  // in the file, in bytes
    std::int64_t length = 0;  // in bytes
};

class Utf16Search {
public:
    // `store` reads the file; when `wholeInStore` it already holds the whole
    // file from its first byte.
    Utf16Search(RunContext& run, ChunkStore& store, Encoding encoding, std::uint64_t fileLength, bool wholeInStore);

    // The next hit, or nothing at the end of the file or after a stop
    // request between two chunks.
    std::optional<Utf16Hit> next();

    // For the last hit, while no further one has been looked for: writes its
    // context to the run's context buffer and returns its highlight offset;
    // `characters` receives the hit's length in characters of the code page.
    std::int32_t describe(std::int64_t& characters);

    // For the last hit of an expression, while no further one has been
    // looked for: appends `format` filled in from its groups, as units.
    void appendFormatted(const word::FormatCodePoints& format, std::u16string& out) const;
    // For the last hit, while no further one has been looked for: its units.
    void hitUnits(std::u16string& out) const;

private:
    void load(std::uint64_t chunkStart, std::uint64_t chunkEnd);
    // After a failure: nothing more is searched.
    void endSearch();
    std::optional<Utf16Hit> searchChunk();
    std::optional<std::int64_t> findUnits(const char* bytes, const LiteralFinder& finder, std::int64_t from,
                                          std::int64_t to) const;
    std::optional<std::int64_t> findPlain(std::int64_t from);
    std::optional<std::int64_t> findRegex(std::int64_t from, std::int64_t& length);
    std::optional<std::int64_t> searchWindow(std::int64_t first, std::int64_t last, std::int64_t rangeEnd, std::int64_t& length);
    std::int64_t nulAtOrAfter(std::int64_t from);
    std::int64_t firstNul(std::int64_t from, std::int64_t to) const;
    char16_t unit(std::int64_t index) const;
    char32_t characterBefore(std::int64_t index) const;
    char32_t characterAt(std::int64_t index) const;
    std::uint64_t absolute(std::int64_t index) const { return m_windowStart + 2 * static_cast<std::uint64_t>(index); }

    RunContext& m_run;
    ChunkStore& m_store;
    const Utf16Pattern& m_pattern;
    bool m_bigEndian;
    bool m_whole;
    bool m_decoded;  // the window is decoded into units (else searched in the file's bytes)
    bool m_more = false;  // chunks follow the current one
    std::uint64_t m_fileLength;
    std::uint64_t m_textEnd;  // end of the last whole unit
    std::uint64_t m_windowStart = 2;  // file offset of the first decoded unit
    std::uint64_t m_lastHitEnd = 2;  // no later search starts before this file offset
    const char* m_raw = nullptr;  // the file's bytes of the window
    const char16_t* m_units = nullptr;  // the window's units when decoded
    const char16_t* m_haystack = nullptr;  // the folded units for a plain search without case
    std::int64_t m_count = 0;  // decoded units: the chunk and up to two units either side
    std::int64_t m_lead = 0;  // the chunk is [m_lead, m_limit) of the decoded units
    std::int64_t m_limit = 0;
    std::int64_t m_resume = 0;
    std::int64_t m_nulFrom = -1;  // no U+0000 in [m_nulFrom, m_nul)
    std::int64_t m_nul = -1;
    std::int64_t m_hitIndex = 0;  // the last hit, in decoded units
    std::int64_t m_hitUnits = 0;
    std::u16string m_shown;  // units of a context
    std::u16string m_window;  // units of a line an expression runs on, when not decoded
    word::CodePointMatch<const UChar*> m_match;  // the last match of an expression, in the window it was found in
};

}  // namespace tarnwick
