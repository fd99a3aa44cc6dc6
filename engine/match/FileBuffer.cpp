#include "engine/match/FileBuffer.h"

#include "engine/job/RunContext.h"
#include "engine/match/HitContext.h"
#include "engine/match/SearchPattern.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <cstring>

namespace tarnwick {
namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// Decides the UTF-8 question on one block of the scan: 4 when the first lead
// byte (0xC0..0xF7) is followed inside the block by the continuation bytes
// it needs, 1 when it is not, 0 when the block has no lead byte.
int scanBlockForUtf8(const unsigned char* data, std::size_t length)
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
    return 0;
}

}  // namespace

FileBuffer::FileBuffer(RunContext& run)
    : m_run(run), m_matcher(run.job, run.buffers.match), m_context(run.buffers.context)
{
}

bool FileBuffer::Open(const std::string& path) { return m_file.open(path); }

const char* FileBuffer::chunk() const { return m_run.buffers.chunk.data() + 1; }

int FileBuffer::GetEncoding()
{
    if (m_encoding == Encoding::Unknown) DetectEncoding();
    return m_encoding;
}

int FileBuffer::encodingFromHead(const unsigned char* head, std::size_t got)
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

// Bytes the UTF-8 scan looks at after the first three: detectLength, or the
// rest of the file when that is 0 or longer.
static std::uint64_t scanAmount(const SearchJob& job, std::uint64_t fileLength)
{
    const std::uint64_t available = fileLength - 3;
    return (job.detectLength == 0 || job.detectLength > available) ? available : job.detectLength;
}

int FileBuffer::DetectEncoding()
{
    const SearchJob& job = m_run.job;
    unsigned char head[3] = {};
    const std::size_t got = m_file.readAt(0, reinterpret_cast<char*>(head), 3);
    if (encodingFromHead(head, got) != Encoding::Ansi || !job.detectUtf8 || m_fileLength <= 3) return m_encoding;

    const std::uint64_t amount = scanAmount(job, m_fileLength);
    const std::uint64_t block = std::max<std::uint64_t>(job.splitLength, 1);
    ByteBuffer& buffer = m_run.buffers.chunk;
    buffer.reserveDiscarding(static_cast<std::size_t>(std::min(block, amount)) + 2);
    std::uint64_t done = 0;
    while (done < amount) {
        const std::size_t want = static_cast<std::size_t>(std::min(block, amount - done));
        const std::size_t read = m_file.readAt(3 + done, buffer.data(), want);
        if (read == 0) break;
        const int verdict = scanBlockForUtf8(reinterpret_cast<const unsigned char*>(buffer.data()), read);
        if (verdict != 0) return m_encoding = verdict;
        done += read;
    }
    return m_encoding;
}

int FileBuffer::detectEncodingInMemory(const char* data, std::uint64_t length)
{
    const SearchJob& job = m_run.job;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    if (encodingFromHead(bytes, static_cast<std::size_t>(std::min<std::uint64_t>(length, 3))) != Encoding::Ansi ||
        !job.detectUtf8 || length <= 3)
        return m_encoding;
    // Scanned in the same blocks as from the file, so that a sequence cut by
    // a block end is judged the same way.
    const std::uint64_t amount = scanAmount(job, length);
    const std::uint64_t block = std::max<std::uint64_t>(job.splitLength, 1);
    for (std::uint64_t done = 0; done < amount; done += block) {
        const auto size = static_cast<std::size_t>(std::min(block, amount - done));
        const int verdict = scanBlockForUtf8(bytes + 3 + done, size);
        if (verdict != 0) return m_encoding = verdict;
    }
    return m_encoding;
}

void FileBuffer::loadChunk(std::uint64_t start, std::uint64_t size)
{
    ByteBuffer& buffer = m_run.buffers.chunk;
    buffer.reserveDiscarding(static_cast<std::size_t>(size) + 2);
    char* data = buffer.data();
    // One byte before the chunk and one after it are read as well, so that
    // whole words and line starts are judged by the real neighbours.
    const std::uint64_t from = start > 0 ? start - 1 : 0;
    const std::size_t lead = start > 0 ? 1 : 0;
    char* target = data + 1 - lead;
    const std::size_t want = static_cast<std::size_t>(size) + lead;
    const std::size_t got = m_file.readAt(from, target, want);
    if (lead == 0) data[0] = 0;
    m_chunkStart = start;
    m_chunkLength = static_cast<std::int64_t>(got >= lead ? got - lead : 0);
    m_nextByte = 0;
    if (got == want && start + size < m_fileLength) {
        char next = 0;
        if (m_file.readAt(start + size, &next, 1) == 1) m_nextByte = static_cast<unsigned char>(next);
    }
    // The file got shorter while it was read: this is the last chunk.
    if (got < want) m_moreChunks = false;
    data[1 + m_chunkLength] = 0;
    m_folded = false;
}

void FileBuffer::foldChunk()
{
    // Plain text is compared in the folded copy; an expression uses it only
    // to look for the literal every match contains.
    const bool needed = !m_run.job.matchCase && !m_pattern->finder.empty();
    if (!needed) return;
    ByteBuffer& lower = m_run.buffers.lower;
    lower.reserveDiscarding(static_cast<std::size_t>(m_chunkLength) + 2);
    const char* source = m_run.buffers.chunk.data();
    char* target = lower.data();
    target[0] = source[0];
    if (m_pattern->utf8)
        CodePage::foldUtf8Text(source + 1, target + 1, static_cast<std::size_t>(m_chunkLength));
    else
        m_run.codePage.foldCase(source + 1, target + 1, static_cast<std::size_t>(m_chunkLength));
    target[1 + m_chunkLength] = 0;
    m_folded = true;
}

void FileBuffer::publishChunk()
{
    ChunkText view;
    view.text = m_run.buffers.chunk.data() + 1;
    view.folded = m_folded ? m_run.buffers.lower.data() + 1 : nullptr;
    view.length = m_chunkLength;
    view.atFileStart = m_chunkStart == 0;
    view.nextByte = m_nextByte;
    m_matcher.setChunk(view);
}

void FileBuffer::startChunkSearch()
{
    if (m_run.job.regularExpression) {
        m_hitPosition = 0;
        m_hitLength = 0;
        m_regexFresh = true;
    } else {
        m_hitPosition = -static_cast<std::int64_t>(m_pattern->searchBytes.size());
    }
}

std::int64_t FileBuffer::FindFirst()
{
    m_hitPosition = 0;
    m_hitLength = 0;
    m_previousHit = 0;
    m_chunkStart = 0;
    m_moreChunks = false;
    m_done = false;
    m_fileLength = m_file.size();
    const std::uint64_t split = std::max<std::uint32_t>(m_run.job.splitLength, 1);
    if (static_cast<double>(m_fileLength) > 1.1 * static_cast<double>(split)) {
        m_moreChunks = true;
        DetectEncoding();
        loadChunk(0, split);
    } else {
        // A file read whole needs no extra reads to learn its encoding.
        loadChunk(0, m_fileLength);
        detectEncodingInMemory(chunk(), static_cast<std::uint64_t>(m_chunkLength));
    }
    m_pattern = &m_run.patterns.forEncoding(m_encoding);
    if (m_run.job.regularExpression && !m_pattern->regex) {
        m_done = true;
        return -1;
    }
    m_matcher.setPattern(m_pattern);
    foldChunk();
    publishChunk();
    startChunkSearch();
    return FindNext();
}

std::int64_t FileBuffer::FindNext()
{
    if (m_done || !m_pattern) return -1;
    m_previousHit = m_hitPosition;
    for (;;) {
        const bool found = searchChunk();
        if (found) {
            BuildContext();
            return static_cast<std::int64_t>(m_chunkStart) + m_hitPosition;
        }
        if (!m_moreChunks || m_run.stopRequested()) {
            m_done = true;
            return -1;
        }

        // Consecutive chunks overlap by enough bytes that a hit crossing the
        // border is found in the next one, never by so much that the previous
        // hit's bytes are searched again.
        const std::int64_t split = std::max<std::uint32_t>(m_run.job.splitLength, 1);
        std::int64_t overlap;
        if (m_run.job.regularExpression) {
            const std::int64_t room = split - m_hitLength - m_previousHit;
            overlap = room < 0 ? m_run.job.splitMaxOffset : std::min<std::int64_t>(m_run.job.splitMaxOffset, room);
        } else {
            const auto length = static_cast<std::int64_t>(m_pattern->searchBytes.size());
            const std::int64_t room = split - m_previousHit - length;
            overlap = room < 0 ? length - 1 : std::min<std::int64_t>(length - 1, room);
        }
        // Every step moves forward, whatever the options say.
        overlap = std::clamp<std::int64_t>(overlap, 0, split - 1);
        const std::uint64_t start = m_chunkStart + static_cast<std::uint64_t>(split - overlap);
        std::uint64_t size = static_cast<std::uint64_t>(split);
        if (start + size >= m_fileLength) {
            m_moreChunks = false;
            size = m_fileLength > start ? m_fileLength - start : 0;
        }
        loadChunk(start, size);
        foldChunk();
        publishChunk();
        m_previousHit = 0;
        startChunkSearch();
    }
}

bool FileBuffer::searchChunk()
{
    std::optional<Occurrence> found;
    if (m_run.job.regularExpression) {
        const std::int64_t resume = m_regexFresh ? 0 : m_hitPosition + std::max<std::int64_t>(m_hitLength, 1);
        found = m_matcher.findRegex(resume);
    } else {
        found = m_matcher.findPlain(m_hitPosition + static_cast<std::int64_t>(m_pattern->searchBytes.size()),
                                    m_run.job.wholeWords != 0);
    }
    if (!found) {
        m_hitPosition = -1;
        return false;
    }
    m_regexFresh = false;
    m_hitPosition = found->position;
    m_hitLength = found->length;
    if (!m_run.job.regularExpression)
        m_hitCharacters = m_pattern->hitCharacters;
    else if (m_encoding == Encoding::Utf8)
        m_hitCharacters = static_cast<std::int32_t>(m_run.codePage.utf8ToAnsiLength(
            std::string_view(chunk() + m_hitPosition, static_cast<std::size_t>(m_hitLength))));
    else
        m_hitCharacters = static_cast<std::int32_t>(m_hitLength);
    return true;
}

void FileBuffer::BuildContext()
{
    const std::int64_t k = m_run.job.contextLength;
    const std::int64_t p = m_hitPosition;
    const char* text = chunk();
    ContextOptions options;
    options.contextLength = k;
    options.utf8 = m_encoding == Encoding::Utf8;
    options.startsAtBomFile = m_hasBom && m_chunkStart == 0;
    options.codePage = &m_run.codePage;
    // Only the bytes the context can reach are handed over.
    const std::int64_t beforeLength = std::min<std::int64_t>(p, 2 * k + 1);
    const std::int64_t fromLength = std::min<std::int64_t>(m_chunkLength - p, m_hitLength + k + 1);
    m_highlightOffset = BuildHitContext(std::string_view(text + p - beforeLength, static_cast<std::size_t>(beforeLength)),
                                        std::string_view(text + p, static_cast<std::size_t>(fromLength)), m_hitLength,
                                        options, m_context, m_run.buffers.scratch);
}

}  // namespace tarnwick
