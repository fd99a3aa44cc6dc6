#include "engine/inside/ArchiveHandle.h"

#include <archive.h>

#include <cerrno>
#include <new>
#include <stdexcept>

namespace tarnwick::inside {
namespace {

// Large enough that reading a file costs few calls, small enough to stay
// out of the way of the memory a search holds.
constexpr std::size_t kBlockSize = 64 * 1024;

}  // namespace

ArchiveHandle::ArchiveHandle(InsideFormat format) : m_archive(archive_read_new())
{
    if (!m_archive) throw std::bad_alloc();
    archive_read_support_filter_all(m_archive);
    if (format == InsideFormat::Compressed) {
        // One file, compressed: its bytes are the only entry.
        archive_read_support_format_raw(m_archive);
        archive_read_support_format_empty(m_archive);
    } else {
        // Only the formats named for searching inside, so that no other
        // reader's bid takes a file for something it is not.
        archive_read_support_format_zip(m_archive);
        archive_read_support_format_tar(m_archive);
        archive_read_support_format_7zip(m_archive);
    }
}

ArchiveHandle::~ArchiveHandle() { archive_read_free(m_archive); }

bool ArchiveHandle::openDescriptor(int fd) { return archive_read_open_fd(m_archive, fd, kBlockSize) == ARCHIVE_OK; }

bool ArchiveHandle::openMemory(std::string_view bytes)
{
    return archive_read_open_memory(m_archive, bytes.data(), bytes.size()) == ARCHIVE_OK;
}

bool ArchiveHandle::openStream(ByteReader& bytes)
{
    m_stream = &bytes;
    m_streamBuffer.resize(kBlockSize);
    return archive_read_open(m_archive, this, nullptr, &ArchiveHandle::readStream, nullptr) == ARCHIVE_OK;
}

long ArchiveHandle::readStream(struct archive* archive, void* self, const void** buffer)
{
    auto* handle = static_cast<ArchiveHandle*>(self);
    // No exception may cross libarchive's C frames: what C++ itself throws
    // (memory) becomes a failed read like any other.
    try {
        *buffer = handle->m_streamBuffer.data();
        const Expected<std::size_t> got = handle->m_stream->read(handle->m_streamBuffer.data(), handle->m_streamBuffer.size());
        if (got) return static_cast<long>(got.value());
        handle->m_streamFailure = got.error();
        archive_set_error(archive, EIO, "%s", got.error().detail.c_str());
    } catch (const std::exception& error) {
        archive_set_error(archive, EIO, "%s", error.what());
    }
    return -1;
}

std::string ArchiveHandle::errorText() const
{
    if (m_streamFailure) return m_streamFailure->detail;
    const char* text = archive_error_string(m_archive);
    return text ? text : "";
}

std::uint64_t ArchiveHandle::rawBytesConsumed() const
{
    const la_int64_t bytes = archive_filter_bytes(m_archive, -1);
    return bytes > 0 ? static_cast<std::uint64_t>(bytes) : 0;
}

bool ArchiveHandle::hasEncryptedEntries() const { return archive_read_has_encrypted_entries(m_archive) > 0; }

}  // namespace tarnwick::inside
