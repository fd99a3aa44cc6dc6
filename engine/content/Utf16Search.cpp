#include "engine/content/Utf16Search.h"

#include "engine/job/RunContext.h"
#include "engine/match/ChunkStore.h"
#include "engine/match/LiteralFinder.h"
#include "engine/match/Utf16Pattern.h"
#include "engine/match/Utf16Units.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <type_traits>

namespace tarnwick {
namespace {

static_assert(std::is_same_v<UChar, char16_t>, "the expression library reads the units as they are decoded");

// The units right after the mark: the mark is no text to search or show.
constexpr std::uint64_t kTextStart = 2;
// Units decoded either side of a chunk, so that the characters next to a
// hit at its border are seen, pairs included.
constexpr std::uint64_t kMarginBytes = 4;

bool endsLine(char16_t u) { return u == u'\n' || u == u'\r' || u == 0; }
bool isLineEnd(char16_t u) { return u == u'\n' || u == u'\r'; }

std::uint64_t splitBytes(const SearchJob& job) { return std::max<std::uint64_t>(job.splitLength & ~1u, 2); }

std::size_t codePageLength(const std::string& utf8, const CodePage& codePage)
{
    return codePage.isUtf8() ? utf8.size() : codePage.utf8ToAnsiLength(utf8);
}

}  // namespace

Utf16Search::Utf16Search(RunContext& run, ChunkStore& store, Encoding encoding, std::uint64_t fileLength, bool wholeInStore)
    : m_run(run), m_store(store), m_pattern(run.patterns.forUtf16()), m_bigEndian(encoding == Encoding::Utf16BigEndian),
      m_whole(wholeInStore),
      // An expression confined to lines with a literal runs on the lines
      // around the literal's candidates, decoded one by one.
      m_decoded(run.job.regularExpression ? m_pattern.requiredLittle.empty() || !m_pattern.lineBound : !m_pattern.searchesBytes),
      // A file read whole that got shorter meanwhile ends where its bytes in memory end.
      m_fileLength(wholeInStore ? std::min(fileLength, static_cast<std::uint64_t>(store.length())) : fileLength),
      m_textEnd(m_fileLength > kTextStart ? kTextStart + ((m_fileLength - kTextStart) & ~std::uint64_t{1}) : kTextStart)
{
    std::uint64_t end = m_textEnd;
    if (!m_whole && kTextStart + splitBytes(run.job) < m_textEnd) {
        end = kTextStart + splitBytes(run.job);
        m_more = true;
    }
    load(kTextStart, end);
}

void Utf16Search::load(std::uint64_t chunkStart, std::uint64_t chunkEnd)
{
    m_windowStart = chunkStart >= kTextStart + kMarginBytes ? chunkStart - kMarginBytes : kTextStart;
    std::uint64_t windowEnd = std::min(m_textEnd, chunkEnd + kMarginBytes);
    const char* raw = nullptr;
    if (m_whole) {
        raw = m_store.text() + m_windowStart;
    } else {
        if (!m_store.load(m_windowStart, windowEnd - m_windowStart, m_fileLength)) {
            if (m_store.failure()) return endSearch();
            // The file got shorter while it was read: this chunk is the last.
            windowEnd = m_windowStart + (static_cast<std::uint64_t>(m_store.length()) & ~std::uint64_t{1});
            m_textEnd = std::min(m_textEnd, windowEnd);
            chunkEnd = std::min(chunkEnd, windowEnd);
            m_more = false;
        }
        raw = m_store.text();
    }
    m_raw = raw;
    m_count = static_cast<std::int64_t>((windowEnd - m_windowStart) / 2);
    if (m_decoded) {
        SearchBuffers& buffers = m_run.buffers;
        if (!m_store.reserved(buffers.units.reserveDiscarding(static_cast<std::size_t>(m_count) + 1))) return endSearch();
        char16_t* units = buffers.units.data();
        DecodeUtf16(raw, static_cast<std::size_t>(m_count), m_bigEndian, units);
        m_units = units;
        m_haystack = units;
        if (!m_run.job.matchCase && !m_run.job.regularExpression) {
            if (!m_store.reserved(buffers.foldedUnits.reserveDiscarding(static_cast<std::size_t>(m_count) + 1)))
                return endSearch();
            FoldUtf16(units, buffers.foldedUnits.data(), static_cast<std::size_t>(m_count));
            m_haystack = buffers.foldedUnits.data();
        }
    }
    m_lead = static_cast<std::int64_t>((chunkStart - m_windowStart) / 2);
    m_limit = std::clamp<std::int64_t>(static_cast<std::int64_t>((chunkEnd - m_windowStart) / 2), m_lead, m_count);
    // A chunk border never parts the two units of one character.
    if (m_lead > 0 && m_lead < m_count && IsLowSurrogateUnit(unit(m_lead)) && IsHighSurrogateUnit(unit(m_lead - 1))) --m_lead;
    if (m_limit > 0 && m_limit < m_count && IsLowSurrogateUnit(unit(m_limit)) && IsHighSurrogateUnit(unit(m_limit - 1)))
        ++m_limit;
    const std::int64_t searched =
        m_lastHitEnd > m_windowStart ? static_cast<std::int64_t>((m_lastHitEnd - m_windowStart) / 2) : std::int64_t{0};
    m_resume = std::max(m_lead, searched);
    m_nulFrom = m_nul = -1;
}

void Utf16Search::endSearch()
{
    m_count = m_lead = m_limit = m_resume = 0;
    m_more = false;
}

char16_t Utf16Search::unit(std::int64_t index) const
{
    if (m_decoded) return m_units[index];
    const auto* b = reinterpret_cast<const unsigned char*>(m_raw) + 2 * index;
    return static_cast<char16_t>(m_bigEndian ? (b[0] << 8) | b[1] : (b[1] << 8) | b[0]);
}

char32_t Utf16Search::characterBefore(std::int64_t index) const
{
    if (index <= 0) return 0;
    const char16_t u = unit(index - 1);
    if (IsLowSurrogateUnit(u) && index >= 2 && IsHighSurrogateUnit(unit(index - 2)))
        return 0x10000 + ((static_cast<char32_t>(unit(index - 2)) - 0xD800) << 10) + (u - 0xDC00);
    return u;
}

char32_t Utf16Search::characterAt(std::int64_t index) const
{
    if (index >= m_count) return 0;
    const char16_t u = unit(index);
    if (IsHighSurrogateUnit(u) && index + 1 < m_count && IsLowSurrogateUnit(unit(index + 1)))
        return 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (unit(index + 1) - 0xDC00);
    return u;
}

std::optional<std::int64_t> Utf16Search::findUnits(const char* bytes, const LiteralFinder& finder, std::int64_t from,
                                                   std::int64_t to) const
{
    const auto length = static_cast<std::int64_t>(finder.needle().size());
    const std::int64_t end = 2 * to;
    for (std::int64_t b = 2 * from; b + length <= end;) {
        const std::size_t found = finder.find(bytes + b, static_cast<std::size_t>(end - b));
        if (found == LiteralFinder::npos) return std::nullopt;
        const std::int64_t at = b + static_cast<std::int64_t>(found);
        // The bytes of two neighbouring units are no character.
        if (at % 2 == 0) return at / 2;
        b = at + 1;
    }
    return std::nullopt;
}

std::optional<std::int64_t> Utf16Search::findPlain(std::int64_t from)
{
    const auto length = static_cast<std::int64_t>(m_pattern.units.size());
    const char* bytes = m_decoded ? reinterpret_cast<const char*>(m_haystack) : m_raw;
    const LiteralFinder& finder = m_decoded ? m_pattern.finder : m_bigEndian ? m_pattern.bigEndian : m_pattern.littleEndian;
    for (;;) {
        const std::optional<std::int64_t> index = findUnits(bytes, finder, from, m_limit);
        if (!index || !m_run.job.wholeWords) return index;
        if (!IsWordCharacter(characterBefore(*index)) && !IsWordCharacter(characterAt(*index + length))) return index;
        from = *index + length;
    }
}

std::int64_t Utf16Search::nulAtOrAfter(std::int64_t from)
{
    // Many hits in one chunk ask for the same end of their range.
    if (m_nulFrom >= 0 && m_nulFrom <= from && from <= m_nul) return m_nul;
    m_nulFrom = from;
    m_nul = firstNul(from, m_limit);
    return m_nul;
}

std::int64_t Utf16Search::firstNul(std::int64_t from, std::int64_t to) const
{
    // A NUL character is two zero bytes at a unit's place, in either byte order.
    static const LiteralFinder kNulUnit(std::string_view("\0\0", 2));
    const char* bytes = m_decoded ? reinterpret_cast<const char*>(m_units) : m_raw;
    return findUnits(bytes, kNulUnit, from, to).value_or(to);
}

std::optional<std::int64_t> Utf16Search::searchWindow(std::int64_t first, std::int64_t last, std::int64_t rangeEnd,
                                                      std::int64_t& length)
{
    auto flags = boost::match_default;
    if (first > 0) flags |= boost::match_prev_avail;
    // The end of a window short of the range, or of a chunk that the file
    // goes on after, is no end of a line, word or text: the next window or
    // chunk judges such a hit.
    if (last < rangeEnd || (rangeEnd == m_limit && m_more))
        flags |= boost::match_not_eol | boost::match_not_eow | boost::match_not_eob;
    // Undecoded text: the window and the character before it are decoded now.
    const std::int64_t before = m_decoded ? first : std::min<std::int64_t>(first, 2);
    const char16_t* window = m_units;
    if (!m_decoded) {
        m_window.resize(static_cast<std::size_t>(before + last - first));
        DecodeUtf16(m_raw + 2 * (first - before), m_window.size(), m_bigEndian, m_window.data());
        window = m_window.data();
    }
    const UChar* start = window + before;
    if (!word::SearchCodePoints(start, start + (last - first), m_match, *m_pattern.regex, flags, window)) return std::nullopt;
    length = m_match[0].second.base() - m_match[0].first.base();
    return first + (m_match[0].first.base() - start);
}

void Utf16Search::appendFormatted(const word::FormatCodePoints& format, std::u16string& out) const
{
    word::AppendExpressionFormat(m_match, format, *m_pattern.regex, out);
}

void Utf16Search::hitUnits(std::u16string& out) const
{
    out.clear();
    const std::int64_t end = std::min(m_hitIndex + m_hitUnits, m_count);
    for (std::int64_t i = m_hitIndex; i < end; ++i) out.push_back(unit(i));
}

std::optional<std::int64_t> Utf16Search::findRegex(std::int64_t from, std::int64_t& length)
{
    const LiteralFinder& required = m_bigEndian ? m_pattern.requiredBig : m_pattern.requiredLittle;
    // As in other files, an expression never looks beyond a NUL character.
    if (required.empty() || !m_pattern.lineBound) {
        const std::int64_t rangeEnd = nulAtOrAfter(from);
        // Text without the literal holds no match.
        if (!required.empty() && !findUnits(m_raw, required, from, rangeEnd)) return std::nullopt;
        return searchWindow(from, rangeEnd, rangeEnd, length);
    }
    // The expression runs only on the lines that hold the literal. The range
    // ends at the first NUL, looked for only as far as the lines reach.
    const auto literalUnits = static_cast<std::int64_t>(required.needle().size() / 2);
    for (std::int64_t at = from; at < m_limit;) {
        const std::optional<std::int64_t> candidate = findUnits(m_raw, required, at, m_limit);
        if (!candidate || firstNul(at, *candidate + literalUnits) < *candidate + literalUnits) return std::nullopt;
        std::int64_t first = *candidate;
        while (first > at && !isLineEnd(unit(first - 1))) --first;
        std::int64_t last = *candidate + literalUnits;
        while (last < m_limit && !isLineEnd(unit(last))) ++last;
        if (last < m_limit) ++last;
        const std::int64_t nul = firstNul(*candidate + literalUnits, last);
        const std::int64_t rangeEnd = nul < last ? nul : last < m_limit ? last + 1 : m_limit;
        if (const std::optional<std::int64_t> found = searchWindow(first, std::min(last, nul), rangeEnd, length)) return found;
        if (nul < last) return std::nullopt;
        at = last;
    }
    return std::nullopt;
}

std::optional<Utf16Hit> Utf16Search::next()
{
    const bool regex = m_run.job.regularExpression;
    if (regex ? !m_pattern.regex : m_pattern.units.empty()) return std::nullopt;
    const std::uint64_t split = splitBytes(m_run.job);
    for (;;) {
        std::optional<std::uint64_t> restartAt;
        if (m_resume < m_limit) {
            std::int64_t length = static_cast<std::int64_t>(m_pattern.units.size());
            const std::optional<std::int64_t> found = regex ? findRegex(m_resume, length) : findPlain(m_resume);
            const std::int64_t reach = found ? 2 * (m_limit - *found) : 0;
            if (found && regex && m_more && length > 0 && *found + length == m_limit && reach <= m_run.job.splitMaxOffset &&
                static_cast<std::uint64_t>(reach) < split) {
                // A match that runs into the end of the chunk may go on in
                // the file: the next chunk starts with it and sees it whole.
                restartAt = absolute(*found);
            } else if (found) {
                m_hitIndex = *found;
                m_hitUnits = length;
                // After an empty match the search goes on one character further.
                const std::int64_t step = length > 0 ? length : (characterAt(*found) > 0xFFFF ? 2 : 1);
                m_resume = *found + step;
                m_lastHitEnd = absolute(*found + length);
                return Utf16Hit{static_cast<std::int64_t>(absolute(*found)), 2 * length};
            }
        }
        if (!m_more || m_run.stopRequested()) return std::nullopt;

        // Consecutive chunks overlap by enough for a hit across the border,
        // never so much that the last hit is searched again.
        const std::uint64_t chunkStart = absolute(m_lead);
        const std::uint64_t chunkEnd = absolute(m_limit);
        std::uint64_t start = 0;
        if (restartAt) {
            start = *restartAt;
        } else {
            const std::uint64_t overlap = regex
                ? static_cast<std::uint64_t>(std::max<std::int64_t>(m_run.job.splitMaxOffset, 0)) & ~std::uint64_t{1}
                : 2 * (m_pattern.units.size() - 1);
            start = chunkEnd - std::min(overlap, chunkEnd - chunkStart);
        }
        start = std::max({start, m_lastHitEnd, chunkStart + 2});
        std::uint64_t end = start + split;
        if (end >= m_textEnd) {
            end = m_textEnd;
            m_more = false;
        }
        load(start, end);
    }
}

std::int32_t Utf16Search::describe(std::int64_t& characters)
{
    const std::int64_t k = m_run.job.contextLength;
    const std::int64_t p = m_hitIndex;
    const std::int64_t n = m_hitUnits;

    // Characters before the hit: back to the line start, at most k - 1;
    // the hit's first character is counted too.
    std::int64_t count = 0;
    if (p < m_count && !endsLine(unit(p))) {
        count = 1;
        for (std::int64_t i = p - 1; count < k && i >= 0 && !endsLine(unit(i)); --i) ++count;
    }
    std::int64_t taken = k > 0 ? std::max<std::int64_t>(count - 1, 0) : 0;
    const bool cutBefore = k > 0 && taken == k - 1;
    if (taken > 0 && IsLowSurrogateUnit(unit(p - taken))) --taken;

    // From the hit on: to the line end, covering at least the hit and at
    // most k characters after it.
    std::int64_t after = n + k;
    const std::int64_t scanEnd = std::min(m_count - p, n + k + 1);
    for (std::int64_t i = 0; i < scanEnd; ++i) {
        if (endsLine(unit(p + i))) {
            after = i;
            break;
        }
    }
    if (after < n || after > n + k) after = n + k;
    std::int64_t shown = std::min(after, m_count - p);
    if (shown > 0 && p + shown < m_count && IsHighSurrogateUnit(unit(p + shown - 1))) ++shown;
    shown = std::max(shown, std::min(n, m_count - p));

    m_shown.clear();
    for (std::int64_t i = p - taken; i < p + shown; ++i) m_shown.push_back(unit(i));
    const char16_t* units = m_shown.data();
    const CodePage& codePage = m_run.codePage;
    std::string& out = m_run.buffers.context;
    std::string& scratch = m_run.buffers.scratch;
    out.clear();
    AppendUtf8(units, static_cast<std::size_t>(taken), out);
    auto offset = static_cast<std::int64_t>(codePageLength(out, codePage));
    scratch.clear();
    AppendUtf8(units + taken, static_cast<std::size_t>(std::min(n, shown)), scratch);
    characters = static_cast<std::int64_t>(codePageLength(scratch, codePage));
    AppendUtf8(units + taken, static_cast<std::size_t>(shown), out);
    if (cutBefore) {
        out.insert(0, "...");
        offset += 3;
    }
    if (after == n + k) out.append("...");
    std::replace_if(
        out.begin(), out.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    if (!codePage.isUtf8()) {
        codePage.utf8ToAnsi(out, scratch);
        out.swap(scratch);
    }
    return static_cast<std::int32_t>(offset);
}

}  // namespace tarnwick
