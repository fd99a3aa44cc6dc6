#include "engine/match/ByteSource.h"

#include "engine/match/ReadOrThrow.h"

namespace tarnwick {

std::size_t FileSource::read(std::uint64_t offset, char* buffer, std::size_t n) { return ReadOrThrow(m_file, offset, buffer, n); }

std::uint64_t FileSource::nextData(std::uint64_t offset) const { return m_file.nextData(offset); }

}  // namespace tarnwick
