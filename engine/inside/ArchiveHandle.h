#pragma once
// One libarchive reader, set up for the formats of one InsideFormat and
// opened over an open file, bytes in memory or another inner file's bytes. Owns
// the reader; freed with the object. Not thread-safe (one per walk level).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/inside/ByteReader.h"
#include "engine/inside/InsideFormat.h"
#include "platform/Failure.h"

struct archive;

namespace tarnwick::inside {

class ArchiveHandle {
public:
    // `format` is Archive or Compressed.
    explicit ArchiveHandle(InsideFormat format);
    ~ArchiveHandle();
    ArchiveHandle(const ArchiveHandle&) = delete;
    ArchiveHandle& operator=(const ArchiveHandle&) = delete;

    // Each returns false when libarchive refuses (see errorText()). The file
    // (a descriptor the caller keeps open) may be sought in (zip's
    // central directory, 7z's header at the end); so may bytes in memory,
    // which must outlive the handle; another inner file's bytes are read
    // once from the front.
    bool openDescriptor(int fd);
    bool openMemory(std::string_view bytes);
    bool openStream(ByteReader& bytes);

    struct archive* get() const { return m_archive; }
    // What libarchive said last, or the failure of a stream's reader.
    std::string errorText() const;
    // The failure a stream's ByteReader gave, which libarchive saw only as a
    // failed read.
    const std::optional<Failure>& streamFailure() const { return m_streamFailure; }
    // Bytes consumed from the file, memory or stream so far (compressed bytes).
    std::uint64_t rawBytesConsumed() const;
    // Whether the archive says it holds encrypted entries. Only once it has
    // been opened: libarchive has no format to ask before.
    bool hasEncryptedEntries() const;

private:
    static long readStream(struct archive* archive, void* self, const void** buffer);

    struct archive* m_archive = nullptr;
    ByteReader* m_stream = nullptr;
    std::vector<char> m_streamBuffer;
    std::optional<Failure> m_streamFailure;
};

}  // namespace tarnwick::inside
