#pragma once
// The 64-bit FNV-1a hash of a file's contents, with which an undo tells
// whether a file still holds what a run wrote. Not a defence against a
// deliberate collision; together with the size it catches every edit a user
// makes in practice.
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace tarnwick {

class ContentHash {
public:
    void add(std::string_view bytes)
    {
        std::uint64_t hash = m_hash;
        for (const char c : bytes) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 0x100000001b3ULL;
        }
        m_hash = hash;
    }
    std::uint64_t value() const { return m_hash; }

private:
    std::uint64_t m_hash = 0xcbf29ce484222325ULL;
};

// Hashes the open descriptor `fd` from its start; `size` receives the
// number of bytes read.
std::error_code HashDescriptor(int fd, std::uint64_t& hash, std::uint64_t& size);

// The same for the file at `path` (a symbolic link is followed).
std::error_code HashFile(const std::string& path, std::uint64_t& hash, std::uint64_t& size);

}  // namespace tarnwick
