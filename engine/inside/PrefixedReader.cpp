#include "engine/inside/PrefixedReader.h"

#include <algorithm>
#include <cstring>

namespace tarnwick::inside {

Expected<std::size_t> PrefixedReader::read(char* buffer, std::size_t capacity)
{
    if (m_given < m_prefix.size()) {
        const std::size_t count = std::min(capacity, m_prefix.size() - m_given);
        std::memcpy(buffer, m_prefix.data() + m_given, count);
        m_given += count;
        return count;
    }
    return m_rest.read(buffer, capacity);
}

Expected<std::string> ReadUpTo(ByteReader& reader, std::size_t length)
{
    std::string bytes(length, '\0');
    std::size_t filled = 0;
    while (filled < length) {
        const Expected<std::size_t> got = reader.read(bytes.data() + filled, length - filled);
        if (!got) return got.error();
        if (got.value() == 0) break;
        filled += got.value();
    }
    bytes.resize(filled);
    return bytes;
}

}  // namespace tarnwick::inside
