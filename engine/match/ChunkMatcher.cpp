#include "engine/match/ChunkMatcher.h"

#include "engine/match/LineEnds.h"
#include "engine/match/MatchOptions.h"
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
    // A chunk without a source is in memory whole.
    if (!m_chunk.source) {
        m_chunk.windowStart = 0;
        m_chunk.filled = m_chunk.length;
    }
    m_keepFrom = -1;
    m_scanFrom = m_scanTo = m_scanNul = -1;
    m_lineEndFrom = -1;
    m_windowReach = 0;
}

std::int64_t ChunkMatcher::nulAtOrAfter(std::int64_t from) { return nulBefore(from, m_chunk.length); }

std::int64_t ChunkMatcher::nulBefore(std::int64_t from, std::int64_t to)
{
    if (from >= to) return to;
    readableTo(to);
    // A chunk a failed read cut short ends before `to`.
    to = std::min(to, m_chunk.length);
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
    // A hit never spans a NUL byte; a search text that holds one cannot match.
    if (m_pattern->searchBytes.find('\0') != std::string::npos) return std::nullopt;
    // Without NUL bytes in the search text a hit cannot contain one, so only
    // the option that ends the search at the first NUL needs looking for it.
    return scanFor(start, m_chunk.length, m_options.ignoreNulls);
}

std::optional<std::int64_t> ChunkMatcher::scanFor(std::int64_t from, std::int64_t end, bool stopAtNul)
{
    const auto needle = std::max<std::int64_t>(static_cast<std::int64_t>(m_pattern->finder.needle().size()), 1);
    for (;;) {
        // What is readable now is searched before more is read, while it is
        // still in the cache; a needle that begins in its last bytes is
        // found in the next round. What lies before is let go.
        m_keepFrom = std::max(m_keepFrom, from - 1);
        const std::int64_t filled = readableTo(from + needle);
        end = std::min(end, m_chunk.length);  // cut short by a failed read
        const std::int64_t readable = std::min(filled, end);
        std::int64_t stop = readable;
        bool last = readable == end;
        if (stopAtNul) {
            const std::int64_t nul = nulBefore(from, readable);
            if (nul < readable) {
                stop = nul;
                last = true;
            }
        }
        if (stop > from) {
            const std::size_t found = m_pattern->finder.find(literalHaystack() + from, static_cast<std::size_t>(stop - from));
            if (found != LiteralFinder::npos) return from + static_cast<std::int64_t>(found);
        }
        if (last) return std::nullopt;
        from = std::max(from, stop - needle + 1);
    }
}

std::optional<Occurrence> ChunkMatcher::findPlain(std::int64_t start, bool wholeWords, Preceding before)
{
    const auto length = static_cast<std::int64_t>(m_pattern->searchBytes.size());
    const std::int64_t origin = start;
    for (;;) {
        m_keepFrom = start - 1;
        m_plainScanStart = start;
        const std::optional<std::int64_t> found = findLiteral(start);
        if (!found) return std::nullopt;
        const std::int64_t position = *found;
        if (wholeWords) {
            const std::int64_t afterIndex = position + length;
            if (afterIndex < m_chunk.length) {
                readableTo(afterIndex + 1);
                if (afterIndex >= m_chunk.length) return std::nullopt;  // cut short by a failed read
            }
            const auto* text = reinterpret_cast<const unsigned char*>(m_chunk.text);
            unsigned char previous;
            if (position == origin && before.override)
                previous = before.none ? 0 : before.byte;
            else
                previous = (position > 0 || !m_chunk.atFileStart) ? text[position - 1] : 0;
            const unsigned char next = afterIndex < m_chunk.length ? text[afterIndex] : m_chunk.nextByte;
            if (IsWordByte(previous) || IsWordByte(next)) {
                start = position + length;
                continue;
            }
        }
        return Occurrence{position, length};
    }
}

std::int64_t ChunkMatcher::lineEndAtOrAfter(std::int64_t from)
{
    // Many hits on one long line ask for the same line end.
    if (m_lineEndFrom >= 0 && m_lineEndFrom <= from && from <= m_lineEnd) return m_lineEnd;
    m_lineEndFrom = from;
    for (std::int64_t at = from;;) {
        const std::int64_t readable = readableTo(at + 1);
        m_lineEnd = FindLineEnd(m_chunk.text, at, readable);
        if (m_lineEnd < readable || readable >= m_chunk.length) return m_lineEnd;
        at = readable;
    }
}

std::optional<Occurrence> ChunkMatcher::findRegex(std::int64_t resume, Preceding before)
{
    if (resume < 0) resume = 0;
    if (resume >= m_chunk.length) return std::nullopt;
    m_keepFrom = resume - 1;
    const std::int64_t chunkEnd = m_chunk.length;
    // A failed read cuts the chunk short: nothing more is found in it.
    const auto cutShort = [&] { return m_chunk.length != chunkEnd; };
    if (m_pattern->finder.empty() || !m_pattern->lineBound) {
        const std::int64_t end = nulAtOrAfter(resume);
        if (!m_pattern->finder.empty() && !scanFor(resume, end, false)) return std::nullopt;
        if (cutShort()) return std::nullopt;
        m_keepFrom = resume - 1;
        return searchWindow(resume, resume, end, end, before);
    }
    // Every match holds the literal and lies inside one line, so the first
    // match is on the first line with a candidate that has a match at all.
    // A window may take in whole lines after the candidate's line, too.
    // The range ends at the first NUL after the resume position; it is
    // looked for only as far as the windows reach, not through the chunk.
    const auto literalLength = static_cast<std::int64_t>(m_pattern->finder.needle().size());
    for (std::int64_t from = resume; from < chunkEnd;) {
        // A chunk read in pieces lets go of what lies before the window under way.
        m_keepFrom = from - 1;
        // A candidate behind a NUL is outside the range, and so is every
        // later one; earlier windows had none before `from`.
        const std::optional<std::int64_t> required = scanFor(from, chunkEnd, true);
        if (!required) return std::nullopt;
        const std::int64_t candidate = *required;
        if (from > resume) {
            // One search per line costs more than it saves when nearly every
            // line has a candidate: a candidate close behind a window without
            // a match widens the next window; a distant one narrows it.
            m_windowReach =
                candidate - from < kDenseGap ? std::min(2 * m_windowReach + kReachStep, kMaxReach) : m_windowReach / 2;
        }
        std::int64_t first = FindLineStart(m_chunk.text, std::max(from, m_chunk.windowStart), candidate);
        if (first == m_chunk.windowStart && first > from && m_chunk.text[first - 1] != '\n' && m_chunk.text[first - 1] != '\r') {
            // The line began before what is still in memory: read it again.
            m_keepFrom = from - 1;
            readableTo(candidate + literalLength);
            if (cutShort()) return std::nullopt;
            first = FindLineStart(m_chunk.text, from, candidate);
        }
        m_keepFrom = first - 1;
        const std::int64_t reachEnd = candidate + m_windowReach;
        const std::int64_t lineEnd = reachEnd < chunkEnd ? lineEndAtOrAfter(reachEnd) : chunkEnd;
        std::int64_t last = lineEnd < chunkEnd ? lineEnd + 1 : chunkEnd;
        // Where the range ends, as far as this window needs to know: at a
        // NUL inside it, at the chunk's end, or somewhere after the window.
        const std::int64_t nul = nulBefore(candidate, last);
        if (cutShort()) return std::nullopt;
        const bool rangeEndsHere = nul < last || last == chunkEnd;
        last = nul;
        const std::int64_t end = rangeEndsHere ? last : last + 1;
        std::optional<Occurrence> found;
        try {
            found = searchWindow(resume, first, last, end, before);
        } catch (const std::runtime_error&) {
            // The library's work limit grows with the length searched: a
            // window can exceed it where the whole range would not.
            m_keepFrom = resume - 1;
            const std::int64_t rangeEnd = nulAtOrAfter(resume);
            if (first == resume && last == rangeEnd) throw;
            if (cutShort()) return std::nullopt;
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

Preceding PrecedingBehindReplacement(int lastByte, bool nothingWritten, bool regularExpression)
{
    Preceding before;
    if (lastByte >= 0) {
        before.override = true;
        before.byte = static_cast<unsigned char>(lastByte);
    } else if (nothingWritten && !regularExpression) {
        before.override = true;
        before.none = true;
    }
    return before;
}

}  // namespace tarnwick
