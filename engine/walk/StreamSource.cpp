#include "engine/walk/StreamSource.h"

#include "engine/inside/ByteReader.h"
#include "platform/SystemError.h"

#include <algorithm>
#include <cstring>

namespace tarnwick {
namespace {

// What a search would read again from before the kept bytes: a fault of
// the caller, never of the archive.
constexpr const char* kReadBehindKept = "inner file read again before its kept bytes";

}  // namespace

StreamSource::StreamSource(inside::ByteReader& reader, std::size_t keepBehind) : m_reader(reader), m_keepBehind(keepBehind) {}

Expected<std::size_t> StreamSource::pull(char* buffer, std::size_t n)
{
    if (m_ended || n == 0) return 0;
    const Expected<std::size_t> read = m_reader.read(buffer, n);
    if (!read) {
        m_readerFailed = true;
        return read.error();
    }
    const std::size_t got = read.value();
    if (got == 0) {
        m_ended = true;
        return 0;
    }
    if (m_position < kStreamHeadBytes) m_head.append(buffer, std::min<std::uint64_t>(got, kStreamHeadBytes - m_position));
    if (got >= m_keepBehind) {
        m_tail.assign(buffer + got - m_keepBehind, m_keepBehind);
    } else {
        m_tail.append(buffer, got);
        if (m_tail.size() > m_keepBehind) m_tail.erase(0, m_tail.size() - m_keepBehind);
    }
    m_position += got;
    return got;
}

Expected<void> StreamSource::skipTo(std::uint64_t offset)
{
    char scratch[16384];
    while (m_position < offset && !m_ended) {
        const Expected<std::size_t> got =
            pull(scratch, static_cast<std::size_t>(std::min<std::uint64_t>(sizeof scratch, offset - m_position)));
        if (!got) return got.error();
    }
    return succeeded();
}

Expected<std::size_t> StreamSource::read(std::uint64_t offset, char* buffer, std::size_t n)
{
    std::size_t done = 0;
    while (done < n) {
        const std::uint64_t at = offset + done;
        const std::uint64_t tailStart = m_position - m_tail.size();
        if (at < m_head.size() && at < tailStart) {
            const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(n - done, m_head.size() - at));
            std::memcpy(buffer + done, m_head.data() + at, count);
            done += count;
        } else if (at >= tailStart && at < m_position) {
            const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(n - done, m_position - at));
            std::memcpy(buffer + done, m_tail.data() + (at - tailStart), count);
            done += count;
        } else if (at >= m_position) {
            if (const Expected<void> skipped = skipTo(at); !skipped) return skipped.error();
            if (m_position != at) break;
            const Expected<std::size_t> got = pull(buffer + done, n - done);
            if (!got) return got.error();
            if (got.value() == 0) break;
            done += got.value();
        } else {
            return systemFailure(ErrnoCode(EIO), kReadBehindKept);
        }
    }
    return done;
}

}  // namespace tarnwick
