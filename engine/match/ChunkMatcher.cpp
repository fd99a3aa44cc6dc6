#include "engine/match/ChunkMatcher.h"

#include "engine/job/SearchJob.h"
#include "engine/match/PatternCache.h"
#include "engine/match/SearchPattern.h"

#include <cstring>

namespace tarnwick {

void ChunkMatcher::setChunk(const ChunkText& chunk)
{
    m_chunk = chunk;
    m_nulCacheFrom = -1;
}

std::int64_t ChunkMatcher::nulAtOrAfter(std::int64_t from)
{
    if (m_nulCacheFrom >= 0 && m_nulCacheFrom <= from && m_nulCache >= from) return m_nulCache;
    const void* nul = from < m_chunk.length
                          ? std::memchr(m_chunk.text + from, 0, static_cast<std::size_t>(m_chunk.length - from))
                          : nullptr;
    m_nulCacheFrom = from;
    m_nulCache = nul ? static_cast<const char*>(nul) - m_chunk.text : m_chunk.length;
    return m_nulCache;
}

std::int64_t ChunkMatcher::findLiteral(std::int64_t start)
{
    if (start < 0) start = 0;
    if (start >= m_chunk.length) return -1;
    const std::string& needle = m_pattern->searchBytes;
    // A hit never spans a NUL byte; a search text that holds one cannot match.
    if (needle.find('\0') != std::string::npos) return -1;
    // Without NUL bytes in the search text a hit cannot contain one, so only
    // the option that ends the search at the first NUL needs looking for it.
    const std::int64_t end = m_job.ignoreNulls ? nulAtOrAfter(start) : m_chunk.length;
    const char* haystack = m_chunk.folded ? m_chunk.folded : m_chunk.text;
    const std::size_t found = m_pattern->finder.find(haystack + start, static_cast<std::size_t>(end - start));
    return found == LiteralFinder::npos ? -1 : start + static_cast<std::int64_t>(found);
}

std::optional<Occurrence> ChunkMatcher::findPlain(std::int64_t start, bool wholeWords, Preceding before)
{
    const auto length = static_cast<std::int64_t>(m_pattern->searchBytes.size());
    const auto* text = reinterpret_cast<const unsigned char*>(m_chunk.text);
    const std::int64_t origin = start;
    for (;;) {
        m_plainScanStart = start;
        const std::int64_t position = findLiteral(start);
        if (position < 0) return std::nullopt;
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

std::optional<Occurrence> ChunkMatcher::findRegex(std::int64_t resume, Preceding before)
{
    if (resume < 0) resume = 0;
    if (resume >= m_chunk.length) return std::nullopt;
    const std::int64_t end = nulAtOrAfter(resume);
    if (!m_pattern->finder.empty()) {
        const char* haystack = m_chunk.folded ? m_chunk.folded : m_chunk.text;
        if (m_pattern->finder.find(haystack + resume, static_cast<std::size_t>(end - resume)) == LiteralFinder::npos)
            return std::nullopt;
    }
    // The byte before the resume position is always in memory (the chunk
    // keeps the byte before it), so line starts and word boundaries are
    // judged by the real text; only the file's first byte has nothing before.
    bool hasPrevious = resume > 0 || !m_chunk.atFileStart;
    char* slot = m_chunk.text + resume - 1;
    const char saved = hasPrevious ? *slot : 0;
    if (before.override) {
        hasPrevious = !before.none;
        if (hasPrevious) *slot = static_cast<char>(before.byte);
    }
    auto flags = boost::match_default;
    if (hasPrevious) flags |= boost::match_prev_avail;
    // A chunk that ends before the file does is not the end of a line, word
    // or text: the next chunk, which overlaps this one, judges such a hit.
    if (end == m_chunk.length && m_chunk.nextByte != 0)
        flags |= boost::match_not_eol | boost::match_not_eow | boost::match_not_eob;
    const char* text = m_chunk.text;
    const bool found = boost::regex_search(text + resume, text + end, m_match, *m_pattern->regex, flags);
    if (before.override && hasPrevious) *slot = saved;
    if (!found) return std::nullopt;
    return Occurrence{m_match[0].first - m_chunk.text, m_match[0].second - m_match[0].first};
}

}  // namespace tarnwick
