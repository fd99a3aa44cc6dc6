#include "engine/match/ChunkMatcher.h"

#include "engine/job/SearchJob.h"
#include "engine/match/LineEnds.h"
#include "engine/match/PatternCache.h"
#include "engine/match/SearchPattern.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tarnwick {
namespace {

// Puts a byte in front of a search window and restores the chunk's own byte
// when the search ends, by return or by exception.
class ByteOverride {
public:
    ByteOverride() = default;
    ByteOverride(const ByteOverride&) = delete;
    ByteOverride& operator=(const ByteOverride&) = delete;
    ~ByteOverride()
    {
        if (m_slot) *m_slot = m_saved;
    }
    void set(char* slot, char byte)
    {
        m_slot = slot;
        m_saved = *slot;
        *slot = byte;
    }

private:
    char* m_slot = nullptr;
    char m_saved = 0;
};

// Window widths, in bytes after a candidate: a candidate this close behind a
// window counts as dense; each widening adds this much; the widest window.
constexpr std::int64_t kDenseGap = 32;
constexpr std::int64_t kReachStep = 256;
constexpr std::int64_t kMaxReach = 64 * 1024;

}  // namespace

void ChunkMatcher::setChunk(const ChunkText& chunk)
{
    m_chunk = chunk;
    m_scanFrom = m_scanTo = m_scanNul = -1;
    m_lineEndFrom = -1;
    m_windowReach = 0;
}

std::int64_t ChunkMatcher::nulAtOrAfter(std::int64_t from) { return nulBefore(from, m_chunk.length); }

std::int64_t ChunkMatcher::nulBefore(std::int64_t from, std::int64_t to)
{
    if (from >= to) return to;
    // Later questions mostly start where earlier ones did or further on:
    // what was scanned once is not scanned again.
    const bool continues = m_scanFrom >= 0 && m_scanFrom <= from && from <= m_scanTo && (m_scanNul < 0 || m_scanNul >= from);
    if (!continues) {
        m_scanFrom = m_scanTo = from;
        m_scanNul = -1;
    }
    if (m_scanNul >= 0) return std::min(m_scanNul, to);
    if (to > m_scanTo) {
        const void* nul = std::memchr(m_chunk.text + m_scanTo, 0, static_cast<std::size_t>(to - m_scanTo));
        if (nul) {
            m_scanNul = static_cast<const char*>(nul) - m_chunk.text;
            m_scanTo = m_scanNul + 1;
            return m_scanNul;
        }
        m_scanTo = to;
    }
    return to;
}

const char* ChunkMatcher::literalHaystack() const
{
    // A finder without ASCII case reads the chunk itself, folded copy or not.
    const bool folded = m_chunk.folded && !m_pattern->finder.isAsciiInsensitive();
    return folded ? m_chunk.folded : m_chunk.text;
}

std::optional<std::int64_t> ChunkMatcher::findLiteral(std::int64_t start)
{
    if (start < 0) start = 0;
    if (start >= m_chunk.length) return std::nullopt;
    const std::string& needle = m_pattern->searchBytes;
    // A hit never spans a NUL byte; a search text that holds one cannot match.
    if (needle.find('\0') != std::string::npos) return std::nullopt;
    // Without NUL bytes in the search text a hit cannot contain one, so only
    // the option that ends the search at the first NUL needs looking for it.
    const std::int64_t end = m_job.ignoreNulls ? nulAtOrAfter(start) : m_chunk.length;
    const std::size_t found = m_pattern->finder.find(literalHaystack() + start, static_cast<std::size_t>(end - start));
    if (found == LiteralFinder::npos) return std::nullopt;
    return start + static_cast<std::int64_t>(found);
}

std::optional<Occurrence> ChunkMatcher::findPlain(std::int64_t start, bool wholeWords, Preceding before)
{
    const auto length = static_cast<std::int64_t>(m_pattern->searchBytes.size());
    const auto* text = reinterpret_cast<const unsigned char*>(m_chunk.text);
    const std::int64_t origin = start;
    for (;;) {
        m_plainScanStart = start;
        const std::optional<std::int64_t> found = findLiteral(start);
        if (!found) return std::nullopt;
        const std::int64_t position = *found;
        if (wholeWords) {
            unsigned char previous;
            if (position == origin && before.override)
                previous = before.none ? 0 : before.byte;
            else
                previous = (position > 0 || !m_chunk.atFileStart) ? text[position - 1] : 0;
            const std::int64_t afterIndex = position + length;
            const unsigned char next = afterIndex < m_chunk.length ? text[afterIndex] : m_chunk.nextByte;
            if (IsWordByte(previous) || IsWordByte(next)) {
                start = position + length;
                continue;
            }
        }
        return Occurrence{position, length};
    }
}

std::optional<std::int64_t> ChunkMatcher::findRequired(std::int64_t from, std::int64_t end) const
{
    const std::size_t found = m_pattern->finder.find(literalHaystack() + from, static_cast<std::size_t>(end - from));
    if (found == LiteralFinder::npos) return std::nullopt;
    return from + static_cast<std::int64_t>(found);
}

std::int64_t ChunkMatcher::lineEndAtOrAfter(std::int64_t from)
{
    // Many hits on one long line ask for the same line end.
    if (m_lineEndFrom >= 0 && m_lineEndFrom <= from && from <= m_lineEnd) return m_lineEnd;
    m_lineEndFrom = from;
    m_lineEnd = FindLineEnd(m_chunk.text, from, m_chunk.length);
    return m_lineEnd;
}

std::optional<Occurrence> ChunkMatcher::findRegex(std::int64_t resume, Preceding before)
{
    if (resume < 0) resume = 0;
    if (resume >= m_chunk.length) return std::nullopt;
    if (m_pattern->finder.empty() || !m_pattern->lineBound) {
        const std::int64_t end = nulAtOrAfter(resume);
        if (!m_pattern->finder.empty() && !findRequired(resume, end)) return std::nullopt;
        return searchWindow(resume, resume, end, end, before);
    }
    // Every match holds the literal and lies inside one line, so the first
    // match is on the first line with a candidate that has a match at all.
    // A window may take in whole lines after the candidate's line, too.
    // The range ends at the first NUL after the resume position; it is
    // looked for only as far as the windows reach, not through the chunk.
    const std::int64_t chunkEnd = m_chunk.length;
    const auto literalLength = static_cast<std::int64_t>(m_pattern->finder.needle().size());
    for (std::int64_t from = resume; from < chunkEnd;) {
        const std::optional<std::int64_t> required = findRequired(from, chunkEnd);
        if (!required) return std::nullopt;
        const std::int64_t candidate = *required;
        // A candidate behind a NUL is outside the range, and so is every later one.
        if (nulBefore(resume, candidate + literalLength) < candidate + literalLength) return std::nullopt;
        if (from > resume) {
            // One search per line costs more than it saves when nearly every
            // line has a candidate: a candidate close behind a window without
            // a match widens the next window; a distant one narrows it.
            m_windowReach =
                candidate - from < kDenseGap ? std::min(2 * m_windowReach + kReachStep, kMaxReach) : m_windowReach / 2;
        }
        const std::int64_t first = FindLineStart(m_chunk.text, from, candidate);
        const std::int64_t reachEnd = candidate + m_windowReach;
        const std::int64_t lineEnd = reachEnd < chunkEnd ? lineEndAtOrAfter(reachEnd) : chunkEnd;
        std::int64_t last = lineEnd < chunkEnd ? lineEnd + 1 : chunkEnd;
        // Where the range ends, as far as this window needs to know: at a
        // NUL inside it, at the chunk's end, or somewhere after the window.
        const std::int64_t nul = nulBefore(candidate, last);
        const bool rangeEndsHere = nul < last || last == chunkEnd;
        last = nul;
        const std::int64_t end = rangeEndsHere ? last : last + 1;
        std::optional<Occurrence> found;
        try {
            found = searchWindow(resume, first, last, end, before);
        } catch (const std::runtime_error&) {
            // The library's work limit grows with the length searched: a
            // window can exceed it where the whole range would not.
            const std::int64_t rangeEnd = nulAtOrAfter(resume);
            if (first == resume && last == rangeEnd) throw;
            return searchWindow(resume, resume, rangeEnd, rangeEnd, before);
        }
        if (found || rangeEndsHere) return found;
        from = last;
    }
    return std::nullopt;
}

std::optional<Occurrence> ChunkMatcher::searchWindow(std::int64_t resume, std::int64_t first, std::int64_t last, std::int64_t end,
                                                     Preceding before)
{
    // The byte before the window is always in memory (the chunk keeps the
    // byte before it), so line starts and word boundaries are judged by the
    // real text; only the file's first byte has nothing before.
    bool hasPrevious = first > 0 || !m_chunk.atFileStart;
    ByteOverride slot;
    if (first == resume && before.override) {
        hasPrevious = !before.none;
        if (hasPrevious) slot.set(m_chunk.text + first - 1, static_cast<char>(before.byte));
    }
    auto flags = boost::match_default;
    if (hasPrevious) flags |= boost::match_prev_avail;
    // A chunk that ends before the file does is not the end of a line, word
    // or text: the next chunk, which overlaps this one, judges such a hit.
    // Neither is the end of a window short of the range.
    if (last < end || (end == m_chunk.length && m_chunk.nextByte != 0))
        flags |= boost::match_not_eol | boost::match_not_eow | boost::match_not_eob;
    const char* text = m_chunk.text;
    if (!boost::regex_search(text + first, text + last, m_match, *m_pattern->regex, flags)) return std::nullopt;
    return Occurrence{m_match[0].first - m_chunk.text, m_match[0].second - m_match[0].first};
}

}  // namespace tarnwick
