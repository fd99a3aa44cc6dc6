#include "engine/match/ChunkStore.h"

#include "engine/Messages.h"
#include "engine/match/MatchOptions.h"
#include "engine/match/PatternCache.h"
#include "engine/match/SearchBuffers.h"
#include "platform/CodePage.h"
#include "platform/InputFile.h"
#include "platform/SystemError.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace tarnwick {
namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// Decides the UTF-8 question on one block of the scan: UTF-8 when the first
// lead byte (0xC0..0xF7) is followed inside the block by the continuation
// bytes it needs, the code page when it is not, nothing when the block has
// no lead byte.
std::optional<Encoding> scanBlockForUtf8(const unsigned char* data, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned char b = data[i];
        if (b < 0xC0 || b >= 0xF8) continue;
        const std::size_t need = b <= 0xDF ? 1 : b <= 0xEF ? 2 : 3;
        if (i + need >= length) return Encoding::Ansi;
        for (std::size_t k = 1; k <= need; ++k)
            if ((data[i + k] & 0xC0) != 0x80) return Encoding::Ansi;
        return Encoding::Utf8;
    }
    return std::nullopt;
}

// Bytes the UTF-8 scan looks at after the first three: detectLength, or the
// rest of the file when that is 0 or longer.
std::uint64_t scanAmount(const MatchOptions& options, std::uint64_t fileLength)
{
    const std::uint64_t available = fileLength - 3;
    return (options.detectLength == 0 || options.detectLength > available) ? available : options.detectLength;
}

}  // namespace

ChunkStore::ChunkStore(const InputFile& file, const MatchOptions& options, const CodePage& codePage, SearchBuffers& buffers)
    : m_fileSource(std::in_place, file), m_file(*m_fileSource), m_options(options), m_codePage(codePage), m_buffers(buffers)
{
}

ChunkStore::ChunkStore(ByteSource& source, const MatchOptions& options, const CodePage& codePage, SearchBuffers& buffers)
    : m_file(source), m_options(options), m_codePage(codePage), m_buffers(buffers)
{
}

void ChunkStore::fail(Failure failure)
{
    if (!m_failure) m_failure = std::move(failure);
}

std::size_t ChunkStore::readBytes(std::uint64_t offset, char* buffer, std::size_t n)
{
    if (m_failure) return 0;
    Expected<std::size_t> got = m_file.read(offset, buffer, n);
    if (got) return got.value();
    fail(std::move(got).error());
    return 0;
}

bool ChunkStore::reserved(Expected<void> reservation)
{
    if (reservation) return true;
    fail(std::move(reservation).error());
    return false;
}

void ChunkStore::empty()
{
    m_text = m_empty + 1;
    m_length = m_windowStart = m_filled = 0;
    m_text[0] = 0;
}

void ChunkStore::cutShort()
{
    m_length = m_filled;
    m_text[m_filled] = 0;
}

Encoding ChunkStore::encodingFromHead(const unsigned char* head, std::size_t got)
{
    m_hasBom = false;
    if (got >= 2 && head[0] == 0xFF && head[1] == 0xFE) return m_encoding = Encoding::Utf16LittleEndian;
    if (got >= 2 && head[0] == 0xFE && head[1] == 0xFF) return m_encoding = Encoding::Utf16BigEndian;
    if (got >= 3 && std::memcmp(head, kUtf8Bom, 3) == 0) {
        m_hasBom = true;
        return m_encoding = Encoding::Utf8;
    }
    return m_encoding = Encoding::Ansi;
}

Encoding ChunkStore::detectEncodingFromFile(std::uint64_t fileLength)
{
    unsigned char head[3] = {};
    const std::size_t got = readBytes(0, reinterpret_cast<char*>(head), 3);
    if (encodingFromHead(head, got) != Encoding::Ansi || !m_options.detectUtf8 || fileLength <= 3) return m_encoding;

    const std::uint64_t amount = scanAmount(m_options, fileLength);
    const std::uint64_t block = std::max<std::uint64_t>(m_options.splitLength, 1);
    ByteBuffer& buffer = m_buffers.chunk;
    if (!reserved(buffer.reserveDiscarding(static_cast<std::size_t>(std::min(block, amount)) + 2))) return m_encoding;
    for (std::uint64_t done = 0; done < amount;) {
        const auto want = static_cast<std::size_t>(std::min(block, amount - done));
        const std::size_t read = readBytes(3 + done, buffer.data(), want);
        if (read == 0) break;
        const std::optional<Encoding> verdict = scanBlockForUtf8(reinterpret_cast<const unsigned char*>(buffer.data()), read);
        if (verdict) return m_encoding = *verdict;
        done += read;
    }
    return m_encoding;
}

Encoding ChunkStore::detectEncodingInMemory()
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text());
    const auto length = static_cast<std::uint64_t>(m_length);
    if (encodingFromHead(bytes, static_cast<std::size_t>(std::min<std::uint64_t>(length, 3))) != Encoding::Ansi ||
        !m_options.detectUtf8 || length <= 3)
        return m_encoding;
    // Scanned in the same blocks as from the file, so that a sequence cut by
    // a block end is judged the same way.
    const std::uint64_t amount = scanAmount(m_options, length);
    const std::uint64_t block = std::max<std::uint64_t>(m_options.splitLength, 1);
    for (std::uint64_t done = 0; done < amount; done += block) {
        const auto size = static_cast<std::size_t>(std::min(block, amount - done));
        const std::optional<Encoding> verdict = scanBlockForUtf8(bytes + 3 + done, size);
        if (verdict) return m_encoding = *verdict;
    }
    return m_encoding;
}

bool ChunkStore::loadHole(std::uint64_t start, std::uint64_t size, std::uint64_t fileLength)
{
    if (start >= fileLength || m_file.nextData(start) < std::min(start + size, fileLength)) return false;
    m_hole = true;
    m_text = nullptr;
    m_start = start;
    m_length = static_cast<std::int64_t>(std::min(size, fileLength - start));
    m_windowStart = 0;
    m_filled = m_length;
    // The byte after the chunk may be data: whole words and line ends at
    // the start of the next chunk are judged by it.
    m_nextByte = 0;
    char next = 0;
    if (start + size < fileLength && readBytes(start + size, &next, 1) == 1) m_nextByte = static_cast<unsigned char>(next);
    m_folded = false;
    return true;
}

bool ChunkStore::load(std::uint64_t start, std::uint64_t size, std::uint64_t fileLength)
{
    m_hole = false;
    m_start = start;
    m_nextByte = 0;
    m_folded = false;
    ByteBuffer& buffer = m_buffers.chunk;
    if (!reserved(buffer.reserveDiscarding(static_cast<std::size_t>(size) + 2))) {
        empty();
        return false;
    }
    char* data = buffer.data();
    // One byte before the chunk and one after it are read as well, so that
    // whole words and line starts are judged by the real neighbours.
    const std::uint64_t from = start > 0 ? start - 1 : 0;
    const std::size_t lead = start > 0 ? 1 : 0;
    const std::size_t want = static_cast<std::size_t>(size) + lead;
    const std::size_t got = readBytes(from, data + 1 - lead, want);
    if (lead == 0) data[0] = 0;
    m_length = static_cast<std::int64_t>(got >= lead ? got - lead : 0);
    if (got == want && start + size < fileLength) {
        char next = 0;
        if (readBytes(start + size, &next, 1) == 1) m_nextByte = static_cast<unsigned char>(next);
    }
    data[1 + m_length] = 0;
    m_text = data + 1;
    m_windowStart = 0;
    m_filled = m_length;
    return got == want;
}

void ChunkStore::loadInPieces(std::uint64_t start, std::uint64_t size, std::uint64_t fileLength)
{
    m_hole = false;
    m_byteBefore = 0;
    // The neighbours of the chunk are read at once: whole words and line
    // starts at either end are judged by them.
    if (start > 0) readBytes(start - 1, &m_byteBefore, 1);
    m_nextByte = 0;
    if (start + size < fileLength) {
        char next = 0;
        if (readBytes(start + size, &next, 1) == 1) m_nextByte = static_cast<unsigned char>(next);
    }
    m_start = start;
    m_length = start < fileLength ? static_cast<std::int64_t>(std::min(size, fileLength - start)) : 0;
    const auto piece = std::max<std::size_t>(m_buffers.readPiece, 1);
    m_windowCapacity =
        static_cast<std::size_t>(std::min<std::uint64_t>(size, 2 * piece + static_cast<std::uint64_t>(m_retain))) + 4;
    m_folded = false;
    if (!reserved(m_buffers.chunk.reserveDiscarding(m_windowCapacity))) return empty();
    restartWindowAt(0);
}

// The window starts afresh at `first`: the bytes before it were let go
// and are wanted again, or nothing is read yet.
void ChunkStore::restartWindowAt(std::int64_t first)
{
    m_windowStart = first;
    m_filled = first;
    char before = m_byteBefore;
    if (first > 0) readBytes(m_start + static_cast<std::uint64_t>(first) - 1, &before, 1);
    m_buffers.chunk.data()[0] = before;
    if (m_folded) m_buffers.lower.data()[0] = before;
    setWindowPointers();
    m_text[m_filled] = 0;
}

// Moves the bytes from `first` on (and the one before) to the front of the
// memory, where they are still in the cache.
void ChunkStore::moveWindowTo(std::int64_t first)
{
    const auto kept = static_cast<std::size_t>(m_filled - first + 1);
    const auto shift = static_cast<std::size_t>(first - m_windowStart);
    std::memmove(m_buffers.chunk.data(), m_buffers.chunk.data() + shift, kept);
    if (m_folded) std::memmove(m_buffers.lower.data(), m_buffers.lower.data() + shift, kept);
    m_windowStart = first;
    setWindowPointers();
}

void ChunkStore::setWindowPointers() { m_text = m_buffers.chunk.data() + 1 - m_windowStart; }

bool ChunkStore::readRange(std::int64_t from, std::int64_t to)
{
    const auto want = static_cast<std::size_t>(to - from);
    if (readBytes(m_start + static_cast<std::uint64_t>(from), m_text + from, want) == want) return true;
    // Never zeros taken for text: the part that is not there is a failure.
    fail(systemFailure(ErrnoCode(EIO), text::kFileShrankWhileRead));
    return false;
}

void ChunkStore::readable(std::int64_t keepFrom, std::int64_t upTo)
{
    keepFrom = std::clamp<std::int64_t>(keepFrom, -1, m_length);
    upTo = std::min(upTo, m_length);
    const bool lost = keepFrom + 1 < m_windowStart;
    if (!lost && upTo <= m_filled) return;
    if (lost) restartWindowAt(std::max<std::int64_t>(keepFrom + 1 - m_retain, 0));
    // Whole pieces: the piece just read is what the search looks at next.
    const auto piece = static_cast<std::int64_t>(std::max<std::size_t>(m_buffers.readPiece, 1));
    std::int64_t target = std::min(m_length, std::max(upTo, m_filled + piece));
    // What the search no longer looks at makes room, but for `retain` bytes.
    const std::int64_t first = std::clamp<std::int64_t>(keepFrom + 1 - m_retain, m_windowStart, m_filled);
    if (first > m_windowStart && static_cast<std::size_t>(target - m_windowStart) + 3 > m_windowCapacity) moveWindowTo(first);
    // A window that must hold more than its usual size (a long line, an
    // expression that looks through the chunk) grows.
    const auto needed = static_cast<std::size_t>(target - m_windowStart) + 3;
    if (needed > m_windowCapacity) {
        const auto keep = static_cast<std::size_t>(m_filled - m_windowStart + 1);
        const bool grown = reserved(m_buffers.chunk.reserveKeeping(needed, keep)) &&
            (!m_folded || reserved(m_buffers.lower.reserveKeeping(needed, keep)));
        setWindowPointers();
        if (!grown) return cutShort();
        m_windowCapacity = needed;
    }
    if (!readRange(m_filled, target)) return cutShort();
    // A two-byte character is folded whole: its lead byte never ends what is readable.
    const auto last = static_cast<unsigned char>(m_text[target - 1]);
    if (m_folded && m_foldUtf8 && target < m_length && last >= 0xC2 && last <= 0xDF) {
        if (!readRange(target, target + 1)) return cutShort();
        ++target;
    }
    if (m_folded) foldRange(m_filled, target);
    m_filled = target;
    m_text[m_filled] = 0;
}

void ChunkStore::fill(std::int64_t keepFrom, std::int64_t upTo, ChunkText& chunk)
{
    readable(keepFrom, upTo);
    chunk.text = m_text;
    chunk.folded = m_folded ? m_buffers.lower.data() + 1 - m_windowStart : nullptr;
    chunk.length = m_length;  // shorter after a failure
    chunk.windowStart = m_windowStart;
    chunk.filled = m_filled;
}

void ChunkStore::fold(const FilePattern& pattern)
{
    m_folded = false;
    // A finder without ASCII case searches the chunk itself.
    if (m_options.matchCase || pattern.finder.empty() || pattern.finder.isAsciiInsensitive()) return;
    ByteBuffer& lower = m_buffers.lower;
    if (!reserved(lower.reserveDiscarding(
            std::max(m_buffers.chunk.capacity(), static_cast<std::size_t>(m_filled - m_windowStart) + 2)))) {
        // Unfolded, the chunk would hide hits: it ends before its first byte in memory.
        m_filled = m_windowStart;
        return cutShort();
    }
    lower.data()[0] = m_windowStart > 0 || m_start > 0 ? m_text[m_windowStart - 1] : 0;
    m_foldUtf8 = pattern.utf8;
    foldRange(m_windowStart, m_filled);
    m_folded = true;
}

void ChunkStore::foldRange(std::int64_t from, std::int64_t to)
{
    const char* source = m_text + from;
    char* target = m_buffers.lower.data() + 1 - m_windowStart + from;
    const auto n = static_cast<std::size_t>(to - from);
    if (m_foldUtf8)
        CodePage::foldUtf8Text(source, target, n);
    else
        m_codePage.foldCase(source, target, n);
    target[n] = 0;
}

ChunkText ChunkStore::view()
{
    ChunkText chunk;
    chunk.text = text();
    chunk.folded = m_folded ? m_buffers.lower.data() + 1 - m_windowStart : nullptr;
    chunk.length = m_length;
    chunk.windowStart = m_windowStart;
    chunk.filled = m_filled;
    chunk.source = this;
    chunk.atFileStart = m_start == 0;
    chunk.nextByte = m_nextByte;
    return chunk;
}

}  // namespace tarnwick
