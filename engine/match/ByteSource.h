#pragma once
// Where a ChunkStore reads a file's bytes from: a file on disk (read at any
// offset), or the bytes of a file inside an archive, which come from the
// front only and of which a source keeps as much as a search reads again
// (see StreamSource in engine/walk).
#include <cstddef>
#include <cstdint>

#include "platform/Expected.h"

namespace tarnwick {

class InputFile;

// A stream keeps its first bytes for good, so that its encoding can be
// decided on them before its first chunk is read again from its start.
inline constexpr std::uint64_t kStreamHeadBytes = std::uint64_t(64) << 10;
// The length of a stream that does not say it: longer than any chunk, so
// the search goes on chunk by chunk until the bytes end.
inline constexpr std::uint64_t kUnknownStreamLength = std::uint64_t(1) << 62;

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to `n` bytes at `offset`; gives how many, fewer only at the
    // end. Fails when the bytes cannot be had.
    virtual Expected<std::size_t> read(std::uint64_t offset, char* buffer, std::size_t n) = 0;
    // The first offset at or after `offset` that holds data (not a hole of
    // a sparse file); `offset` itself where that cannot be told.
    virtual std::uint64_t nextData(std::uint64_t offset) const { return offset; }
};

// A file on disk.
class FileSource final : public ByteSource {
public:
    explicit FileSource(const InputFile& file) : m_file(file) {}
    Expected<std::size_t> read(std::uint64_t offset, char* buffer, std::size_t n) override;
    std::uint64_t nextData(std::uint64_t offset) const override;

private:
    const InputFile& m_file;
};

}  // namespace tarnwick
