#pragma once
// The SHA-256 of a file's contents and their size, by which an undo tells
// whether a file (or a backup copy standing in for its old contents) still
// holds exactly what the run recorded. A backup copy lies in a tree others
// may write to, so a hash they could forge a collision for would let them
// choose what an undo writes: hence a cryptographic one.
//
// Not thread-safe; one object per stream of bytes.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/Expected.h"

namespace tarnwick {

struct Digest {
    std::uint64_t size = 0;
    std::array<unsigned char, 32> hash{};

    bool operator==(const Digest&) const = default;
    // The hash as 64 lower-case hex digits.
    std::string hex() const;
    // Reads 64 hex digits; false (and `out` untouched) for anything else.
    static bool fromHex(std::string_view text, std::uint64_t size, Digest& out);
};

class ContentDigest {
public:
    ContentDigest();
    ~ContentDigest();
    ContentDigest(ContentDigest&&) noexcept;
    ContentDigest& operator=(ContentDigest&&) noexcept;

    void add(std::string_view bytes);
    void add(const char* data, std::size_t size) { add(std::string_view(data, size)); }
    // `count` zero bytes, as a hole of a sparse file reads.
    void addZeros(std::uint64_t count);
    // The digest of everything added; the object starts afresh afterwards.
    Digest finish();

    static Digest of(std::string_view bytes);

private:
    struct State;
    std::unique_ptr<State> m_state;
    std::uint64_t m_size = 0;
};

// The digest of `size` bytes of the open descriptor `fd` from `offset`
// (pread, the descriptor's position is not used). A file shorter than that
// is EIO.
Expected<Digest> DigestDescriptor(int fd, std::uint64_t offset, std::uint64_t size);

// The digest of everything the open descriptor holds from its start.
Expected<Digest> DigestWholeDescriptor(int fd);

}  // namespace tarnwick
