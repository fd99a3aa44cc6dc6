#include "engine/match/ByteSource.h"

#include "platform/InputFile.h"

namespace tarnwick {

Expected<std::size_t> FileSource::read(std::uint64_t offset, char* buffer, std::size_t n)
{
    return m_file.readAt(offset, buffer, n);
}

std::uint64_t FileSource::nextData(std::uint64_t offset) const { return m_file.nextData(offset); }

}  // namespace tarnwick
