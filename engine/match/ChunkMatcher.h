#pragma once
// Finds occurrences of a prepared pattern in one chunk of a file: plain text
// (without case in the chunk itself for ASCII text, else in the folded copy;
// whole words judged by the real neighbouring bytes) or a regular expression
// (up to the first NUL after the resume position, line starts and word
// boundaries judged by the byte before it; an expression confined to lines
// runs only on the lines that hold its required literal). Shared by the
// search and the replace side. Does not own the chunk and writes into it only
// for a `Preceding` override, restoring the byte before it returns. Not
// thread-safe; holds caches of the next NUL and line end per chunk.
#include <cstdint>
#include <optional>

#include <boost/regex.hpp>

namespace tarnwick {

struct FilePattern;
struct MatchOptions;

struct ChunkText;

// What reads a chunk that is read piece by piece, in a window that moves on
// through it.
class ChunkFill {
public:
    // Makes bytes [keepFrom, upTo) of the chunk readable (upTo cut at its
    // end; keepFrom -1 is the byte before it) and updates `chunk`: its text
    // and folded pointers may move, and bytes before keepFrom may be gone.
    // A failed read ends the chunk early: its length becomes what is there.
    virtual void fill(std::int64_t keepFrom, std::int64_t upTo, ChunkText& chunk) = 0;

protected:
    ~ChunkFill() = default;
};

struct ChunkText {
    // text[i] is the chunk's byte i for i in [windowStart - 1, filled):
    // text[-1] the byte before the chunk while the window starts at 0, and
    // text[length] a NUL once it is read to its end.
    char* text = nullptr;
    const char* folded = nullptr;  // the folded copy, laid out the same way; null when not made
    std::int64_t length = 0;
    // The window that is readable now; the rest comes from `source`. A
    // chunk without a source is readable whole.
    std::int64_t windowStart = 0;
    std::int64_t filled = 0;
    ChunkFill* source = nullptr;
    bool atFileStart = true;  // the chunk begins at the file's first byte
    unsigned char nextByte = 0;  // the byte after the chunk in the file, 0 at the end
};

struct Occurrence {
    std::int64_t position = 0;
    std::int64_t length = 0;
};

// What stands before a search position when it is not the chunk's own byte
// (the end of text a replace has already changed).
struct Preceding {
    bool override = false;
    bool none = false;  // nothing precedes: the start of the text
    unsigned char byte = 0;
};

// What a search that resumes right behind a replacement sees in front of
// it: the last byte of the changed text (`lastByte`, -1 when none is known).
// When everything before was replaced by nothing (`nothingWritten`), a
// whole word may begin there but a line did not: an expression keeps the
// source's own byte in front, so `^a` replaced by nothing takes one "a"
// from "aaa", as sed and Perl do, not all three.
Preceding PrecedingBehindReplacement(int lastByte, bool nothingWritten, bool regularExpression);

class ChunkMatcher {
public:
    ChunkMatcher(const MatchOptions& options, boost::cmatch& match) : m_options(options), m_match(match) {}

    void setPattern(const FilePattern* pattern) { m_pattern = pattern; }
    void setChunk(const ChunkText& chunk);
    const ChunkText& chunk() const { return m_chunk; }

    // First plain occurrence at or after `start`. With `wholeWords`, a
    // rejected candidate is skipped as a whole. `before` replaces the byte in
    // front of a candidate at exactly `start`.
    std::optional<Occurrence> findPlain(std::int64_t start, bool wholeWords, Preceding before = {});
    // Where the last findPlain looked for its last candidate: behind every
    // candidate it rejected as part of a longer word.
    std::int64_t plainScanStart() const { return m_plainScanStart; }
    // First match of the expression at or after `resume`: the one a search
    // of the whole range up to the first NUL finds. `before` replaces the
    // byte in front of `resume`.
    std::optional<Occurrence> findRegex(std::int64_t resume, Preceding before = {});

    // Makes bytes [keepFrom, upTo) of the chunk readable (see ChunkFill);
    // after a failed read, only those before the chunk's new length.
    const ChunkText& makeReadable(std::int64_t keepFrom, std::int64_t upTo)
    {
        if ((upTo > m_chunk.filled && m_chunk.filled < m_chunk.length) || keepFrom + 1 < m_chunk.windowStart)
            m_chunk.source->fill(keepFrom, upTo, m_chunk);
        return m_chunk;
    }

    // The first NUL at or after `from`, or the chunk length.
    std::int64_t nulAtOrAfter(std::int64_t from);
    // The first NUL in [from, to), or `to`.
    std::int64_t nulBefore(std::int64_t from, std::int64_t to);

private:
    // Makes the chunk readable from m_keepFrom up to `upTo` (or its end);
    // returns how far it is. Pointers into the chunk taken before are stale.
    std::int64_t readableTo(std::int64_t upTo)
    {
        if ((m_chunk.filled < upTo && m_chunk.filled < m_chunk.length) || m_keepFrom + 1 < m_chunk.windowStart)
            m_chunk.source->fill(m_keepFrom, upTo, m_chunk);
        return m_chunk.filled;
    }
    const char* literalHaystack() const;
    // The first occurrence of the search bytes at or after `start`, or nothing.
    std::optional<std::int64_t> findLiteral(std::int64_t start);
    // The first occurrence of the finder's needle in [from, end), reading
    // the chunk on as far as needed; with `stopAtNul`, the range ends at
    // the first NUL.
    std::optional<std::int64_t> scanFor(std::int64_t from, std::int64_t end, bool stopAtNul);
    // The first CR or LF at or after `from`, or the chunk length.
    std::int64_t lineEndAtOrAfter(std::int64_t from);
    // The expression's first match in [first, last), where `end` is the end
    // of the range searched from `resume` and `before` applies at `resume`.
    std::optional<Occurrence> searchWindow(std::int64_t resume, std::int64_t first, std::int64_t last, std::int64_t end,
                                           Preceding before);

    const MatchOptions& m_options;
    boost::cmatch& m_match;
    const FilePattern* m_pattern = nullptr;
    ChunkText m_chunk;
    // [m_scanFrom, m_scanTo) was scanned for NUL; m_scanNul is the NUL that
    // ended the scan, or -1.
    std::int64_t m_scanFrom = -1;
    std::int64_t m_scanTo = -1;
    std::int64_t m_scanNul = -1;
    std::int64_t m_plainScanStart = 0;
    std::int64_t m_lineEndFrom = -1;  // no CR or LF in [m_lineEndFrom, m_lineEnd)
    std::int64_t m_lineEnd = -1;
    std::int64_t m_windowReach = 0;  // bytes after a candidate an expression's window takes in
    std::int64_t m_keepFrom = -1;  // the first byte the search under way still looks at
};

}  // namespace tarnwick
