#include "engine/match/ChunkStore.h"

#include "engine/job/SearchJob.h"
#include "engine/match/PatternCache.h"
#include "engine/match/ReadOrThrow.h"
#include "engine/match/SearchBuffers.h"
#include "platform/CodePage.h"
#include "platform/InputFile.h"

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
std::uint64_t scanAmount(const SearchJob& job, std::uint64_t fileLength)
{
    const std::uint64_t available = fileLength - 3;
    return (job.detectLength == 0 || job.detectLength > available) ? available : job.detectLength;
}

}  // namespace

ChunkStore::ChunkStore(const InputFile& file, const SearchJob& job, const CodePage& codePage, SearchBuffers& buffers)
    : m_file(file), m_job(job), m_codePage(codePage), m_buffers(buffers)
{
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
    const std::size_t got = ReadOrThrow(m_file, 0, reinterpret_cast<char*>(head), 3);
    if (encodingFromHead(head, got) != Encoding::Ansi || !m_job.detectUtf8 || fileLength <= 3) return m_encoding;

    const std::uint64_t amount = scanAmount(m_job, fileLength);
    const std::uint64_t block = std::max<std::uint64_t>(m_job.splitLength, 1);
    ByteBuffer& buffer = m_buffers.chunk;
    buffer.reserveDiscarding(static_cast<std::size_t>(std::min(block, amount)) + 2);
    for (std::uint64_t done = 0; done < amount;) {
        const auto want = static_cast<std::size_t>(std::min(block, amount - done));
        const std::size_t read = ReadOrThrow(m_file, 3 + done, buffer.data(), want);
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
        !m_job.detectUtf8 || length <= 3)
        return m_encoding;
    // Scanned in the same blocks as from the file, so that a sequence cut by
    // a block end is judged the same way.
    const std::uint64_t amount = scanAmount(m_job, length);
    const std::uint64_t block = std::max<std::uint64_t>(m_job.splitLength, 1);
    for (std::uint64_t done = 0; done < amount; done += block) {
        const auto size = static_cast<std::size_t>(std::min(block, amount - done));
        const std::optional<Encoding> verdict = scanBlockForUtf8(bytes + 3 + done, size);
        if (verdict) return m_encoding = *verdict;
    }
    return m_encoding;
}

bool ChunkStore::mapChunk(std::uint64_t start, std::uint64_t size, std::uint64_t fileLength)
{
    // The view takes in the byte before the chunk and the byte after it.
    const std::uint64_t from = start > 0 ? start - 1 : 0;
    const std::uint64_t end = std::min(start + size + 1, fileLength);
    if (end <= start || m_mapping.map(m_file.descriptor(), from, static_cast<std::size_t>(end - from))) return false;
    // The mapping is read-only; nothing writes to a searched chunk.
    m_text = const_cast<char*>(m_mapping.data()) + (start - from);
    m_start = start;
    m_length = static_cast<std::int64_t>(std::min(size, fileLength - start));
    m_nextByte = start + size < end ? static_cast<unsigned char>(m_text[size]) : 0;
    m_folded = false;
    return true;
}

bool ChunkStore::loadHole(std::uint64_t start, std::uint64_t size, std::uint64_t fileLength)
{
    if (start >= fileLength || m_file.nextData(start) < std::min(start + size, fileLength)) return false;
    m_mapping.unmap();
    m_hole = true;
    m_text = nullptr;
    m_start = start;
    m_length = static_cast<std::int64_t>(std::min(size, fileLength - start));
    // The byte after the chunk may be data: whole words and line ends at
    // the start of the next chunk are judged by it.
    m_nextByte = 0;
    char next = 0;
    if (start + size < fileLength && ReadOrThrow(m_file, start + size, &next, 1) == 1)
        m_nextByte = static_cast<unsigned char>(next);
    m_folded = false;
    return true;
}

bool ChunkStore::load(std::uint64_t start, std::uint64_t size, std::uint64_t fileLength)
{
    m_mapping.unmap();
    m_hole = false;
    // Large chunks of a search are viewed where the system keeps them: no
    // copy, and no buffer that grows to the size of the largest file.
    if (m_mayMap && size >= kMapThreshold && start < fileLength && mapChunk(start, size, fileLength))
        return start + size <= fileLength;
    ByteBuffer& buffer = m_buffers.chunk;
    buffer.reserveDiscarding(static_cast<std::size_t>(size) + 2);
    char* data = buffer.data();
    // One byte before the chunk and one after it are read as well, so that
    // whole words and line starts are judged by the real neighbours.
    const std::uint64_t from = start > 0 ? start - 1 : 0;
    const std::size_t lead = start > 0 ? 1 : 0;
    const std::size_t want = static_cast<std::size_t>(size) + lead;
    const std::size_t got = ReadOrThrow(m_file, from, data + 1 - lead, want);
    if (lead == 0) data[0] = 0;
    m_start = start;
    m_length = static_cast<std::int64_t>(got >= lead ? got - lead : 0);
    m_nextByte = 0;
    if (got == want && start + size < fileLength) {
        char next = 0;
        if (ReadOrThrow(m_file, start + size, &next, 1) == 1) m_nextByte = static_cast<unsigned char>(next);
    }
    data[1 + m_length] = 0;
    m_text = data + 1;
    m_folded = false;
    return got == want;
}

void ChunkStore::fold(const FilePattern& pattern)
{
    m_folded = false;
    // A finder without ASCII case searches the chunk itself.
    if (m_job.matchCase || pattern.finder.empty() || pattern.finder.isAsciiInsensitive()) return;
    ByteBuffer& lower = m_buffers.lower;
    lower.reserveDiscarding(static_cast<std::size_t>(m_length) + 2);
    const char* source = m_text - 1;
    char* target = lower.data();
    target[0] = m_start > 0 ? source[0] : 0;
    if (pattern.utf8)
        CodePage::foldUtf8Text(source + 1, target + 1, static_cast<std::size_t>(m_length));
    else
        m_codePage.foldCase(source + 1, target + 1, static_cast<std::size_t>(m_length));
    target[1 + m_length] = 0;
    m_folded = true;
}

ChunkText ChunkStore::view()
{
    ChunkText chunk;
    chunk.text = text();
    chunk.folded = m_folded ? m_buffers.lower.data() + 1 : nullptr;
    chunk.length = m_length;
    chunk.atFileStart = m_start == 0;
    chunk.nextByte = m_nextByte;
    return chunk;
}

}  // namespace tarnwick
