#include "engine/content/FileBuffer.h"

#include "engine/Messages.h"
#include "engine/content/Utf16Search.h"
#include "engine/job/RunContext.h"
#include "engine/match/HitContext.h"
#include "platform/CodePage.h"

#include <algorithm>

namespace tarnwick {
namespace {

// A file of up to this many read pieces is read at once: the piece-wise
// reading of a chunk costs more calls than it saves on small files.
constexpr std::uint64_t kWholeReadPieces = 2;

}  // namespace

FileBuffer::FileBuffer(RunContext& run)
    : m_run(run), m_store(m_file, run.job, run.codePage, run.buffers), m_matcher(run.job, run.buffers.match),
      m_context(run.buffers.context)
{
}

FileBuffer::FileBuffer(RunContext& run, ByteSource& source, std::optional<std::uint64_t> length)
    : m_run(run), m_stream(true), m_streamLength(length.value_or(kUnknownStreamLength)),
      m_store(source, run.job, run.codePage, run.buffers), m_matcher(run.job, run.buffers.match), m_context(run.buffers.context)
{
}

FileBuffer::~FileBuffer() = default;

std::error_code FileBuffer::open(const std::string& path) { return m_file.open(path); }

std::error_code FileBuffer::openInFolder(int folderFd, const char* name) { return m_file.openInFolder(folderFd, name); }

Encoding FileBuffer::getEncoding()
{
    if (m_store.encoding() == Encoding::Unknown) m_store.detectEncodingFromFile(detectionLength());
    return m_store.encoding();
}

std::uint64_t FileBuffer::detectionLength() const
{
    // Asked before the search too, when m_fileLength is not known yet.
    return m_stream ? std::min(m_streamLength, kStreamHeadBytes) : m_file.size();
}

void FileBuffer::loadChunk(std::uint64_t start, std::uint64_t size)
{
    if (m_stream) {
        // A stream is read chunk by chunk from the front; one that ends
        // before the chunk does has no more chunks.
        if (!m_store.load(start, size, m_fileLength)) m_moreChunks = false;
        m_store.fold(*m_pattern);
        m_matcher.setChunk(m_store.view());
        return;
    }
    // A chunk in a hole of a sparse file is zeros: nothing to read or find.
    if (m_store.loadHole(start, size, m_fileLength)) return;
    readChunkInPieces(start, size);
}

void FileBuffer::readChunkInPieces(std::uint64_t start, std::uint64_t size)
{
    // Read as the search goes; a file cut short meanwhile is reported when
    // the search reaches the cut, after the hits before it.
    // What a context looks back at stays when the window moves on.
    m_store.setRetain(2 * static_cast<std::int64_t>(m_run.job.contextLength) + 4);
    m_store.loadInPieces(start, size, m_fileLength);
    m_store.fold(*m_pattern);
    m_matcher.setChunk(m_store.view());
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

std::optional<std::int64_t> FileBuffer::findFirst()
{
    m_hitPosition = 0;
    m_hitLength = 0;
    m_previousHit = 0;
    m_moreChunks = false;
    m_done = false;
    m_utf16.reset();
    m_fileLength = m_stream ? m_streamLength : m_file.size();
    const std::uint64_t split = std::max<std::uint32_t>(m_run.job.splitLength, 1);
    const bool splitMode = static_cast<double>(m_fileLength) > 1.1 * static_cast<double>(split);
    // A file larger than a few pieces is one chunk read piece by piece as
    // the search goes, so that each piece is searched while it is still in
    // the processor's cache; read at once, its bytes would go to memory and
    // come back. UTF-16 files are decoded from a whole chunk in memory.
    bool inPieces = false;
    if (splitMode) {
        m_moreChunks = true;
        m_store.detectEncodingFromFile(detectionLength());
    } else if (!m_stream && m_fileLength > kWholeReadPieces * std::max<std::size_t>(m_run.buffers.readPiece, 1) &&
               !IsUtf16(m_store.detectEncodingFromFile(m_fileLength))) {
        inPieces = true;
    } else {
        // A file read whole needs no extra reads to learn its encoding.
        m_store.load(0, m_fileLength, m_fileLength);
        m_store.detectEncodingInMemory();
    }
    if (IsUtf16(m_store.encoding())) {
        m_utf16 = std::make_unique<Utf16Search>(m_run, m_store, m_store.encoding(), m_fileLength, !splitMode);
        return findNextUtf16();
    }
    m_pattern = &m_run.patterns.forEncoding(m_store.encoding());
    m_matcher.setPattern(m_pattern);
    if (m_run.job.regularExpression && !m_pattern->regex) {
        m_done = true;
        return std::nullopt;
    }
    if (splitMode) {
        loadChunk(0, split);
    } else if (inPieces) {
        readChunkInPieces(0, m_fileLength);
    } else {
        m_store.fold(*m_pattern);
        m_matcher.setChunk(m_store.view());
    }
    startChunkSearch();
    return findNext();
}

std::optional<std::int64_t> FileBuffer::findNextUtf16()
{
    const std::optional<Utf16Hit> hit = m_utf16->next();
    if (!hit || m_store.failure()) return std::nullopt;
    m_hitLength = hit->length;
    m_highlightOffset = m_utf16->describe(m_hitCharacters);
    return hit->offset;
}

bool FileBuffer::endedByFailure()
{
    if (!m_store.failure()) return false;
    m_done = true;
    return true;
}

std::optional<std::int64_t> FileBuffer::findNext()
{
    if (m_utf16) return findNextUtf16();
    if (m_done || !m_pattern) return std::nullopt;
    m_previousHit = m_hitPosition;
    for (;;) {
        std::int64_t overlap = -1;
        const bool found = searchChunk();
        // A hit whose search met a failure may be a hit in bytes never read.
        if (endedByFailure()) return std::nullopt;
        if (found) {
            if (!leavesHitToNextChunk()) {
                buildContext();
                if (endedByFailure()) return std::nullopt;
                return static_cast<std::int64_t>(m_store.start()) + m_hitPosition;
            }
            // The next chunk starts at this hit and sees all of it.
            overlap = m_store.length() - m_hitPosition;
        }
        if (!m_moreChunks || m_run.stopRequested()) {
            m_done = true;
            return std::nullopt;
        }

        // Consecutive chunks overlap by enough bytes that a hit crossing the
        // border is found in the next one, never by so much that the previous
        // hit's bytes are searched again.
        const std::int64_t split = std::max<std::uint32_t>(m_run.job.splitLength, 1);
        if (overlap < 0 && m_run.job.regularExpression) {
            // After an empty hit the search resumed one byte further; so does the overlap.
            const std::int64_t room = split - std::max<std::int64_t>(m_hitLength, 1) - m_previousHit;
            overlap = room < 0 ? m_run.job.splitMaxOffset : std::min<std::int64_t>(m_run.job.splitMaxOffset, room);
        } else if (overlap < 0) {
            const auto length = static_cast<std::int64_t>(m_pattern->searchBytes.size());
            const std::int64_t room = split - m_previousHit - length;
            overlap = room < 0 ? length - 1 : std::min<std::int64_t>(length - 1, room);
        }
        // Every step moves forward, whatever the options say.
        overlap = std::clamp<std::int64_t>(overlap, 0, split - 1);
        const std::uint64_t start = m_store.start() + static_cast<std::uint64_t>(split - overlap);
        std::uint64_t size = static_cast<std::uint64_t>(split);
        if (start + size >= m_fileLength) {
            m_moreChunks = false;
            size = m_fileLength > start ? m_fileLength - start : 0;
        }
        loadChunk(start, size);
        startChunkSearch();
        // A chunk without a hit yet is searched like the start of the file.
        m_previousHit = m_hitPosition;
    }
}

bool FileBuffer::leavesHitToNextChunk() const
{
    // An expression hit that runs into the end of a chunk may go on in the
    // file; when the overlap can reach back to its start, the next chunk
    // finds it whole instead of cut.
    if (!m_moreChunks || !m_run.job.regularExpression || m_hitLength == 0) return false;
    const std::int64_t fromStart = m_store.length() - m_hitPosition;
    const std::int64_t split = std::max<std::uint32_t>(m_run.job.splitLength, 1);
    return m_hitPosition + m_hitLength == m_store.length() && fromStart <= m_run.job.splitMaxOffset && fromStart < split;
}

bool FileBuffer::searchChunk()
{
    if (m_store.isHole()) {
        m_hitPosition = -1;
        return false;
    }
    std::optional<Occurrence> found;
    if (m_run.job.regularExpression) {
        const std::int64_t resume = m_regexFresh ? 0 : m_hitPosition + std::max<std::int64_t>(m_hitLength, 1);
        found = m_matcher.findRegex(resume);
    } else {
        found =
            m_matcher.findPlain(m_hitPosition + static_cast<std::int64_t>(m_pattern->searchBytes.size()), m_run.job.wholeWords);
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
    else if (m_store.encoding() == Encoding::Utf8)
        m_hitCharacters = static_cast<std::int64_t>(m_run.codePage.utf8ToAnsiLength(
            std::string_view(m_store.text() + m_hitPosition, static_cast<std::size_t>(m_hitLength))));
    else
        m_hitCharacters = static_cast<std::int64_t>(m_hitLength);
    return true;
}

void FileBuffer::buildContext()
{
    const std::int64_t k = m_run.job.contextLength;
    const std::int64_t p = m_hitPosition;
    ContextOptions options;
    options.contextLength = k;
    options.utf8 = m_store.encoding() == Encoding::Utf8;
    options.startsAtBomFile = m_store.hasBom() && m_store.start() == 0;
    options.codePage = &m_run.codePage;
    // Only the bytes the context can reach are handed over.
    const std::int64_t beforeLength = std::min<std::int64_t>(p, 2 * k + 1);
    const std::int64_t fromLength = std::min<std::int64_t>(m_store.length() - p, m_hitLength + k + 1);
    const char* text = m_matcher.makeReadable(p - beforeLength - 1, p + fromLength).text;
    if (m_store.failure()) return;  // the context's bytes are not all there
    m_highlightOffset = BuildHitContext(std::string_view(text + p - beforeLength, static_cast<std::size_t>(beforeLength)),
                                        std::string_view(text + p, static_cast<std::size_t>(fromLength)), m_hitLength, options,
                                        m_context, m_run.buffers.scratch);
}

}  // namespace tarnwick
