#include "platform/ContentDigest.h"

#include "platform/SystemError.h"

#include <openssl/evp.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

namespace tarnwick {

struct ContentDigest::State {
    EVP_MD_CTX* context = nullptr;
    State()
    {
        context = EVP_MD_CTX_new();
        if (!context || EVP_DigestInit_ex(context, EVP_sha256(), nullptr) != 1) throw std::bad_alloc();
    }
    ~State() { EVP_MD_CTX_free(context); }
};

namespace {

constexpr std::size_t kBlock = 256 * 1024;

}  // namespace

std::string Digest::hex() const
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(64);
    for (const unsigned char byte : hash) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

bool Digest::fromHex(std::string_view text, std::uint64_t size, Digest& out)
{
    if (text.size() != 64) return false;
    Digest digest;
    digest.size = size;
    auto value = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    for (std::size_t i = 0; i < 32; ++i) {
        const int high = value(text[2 * i]), low = value(text[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        digest.hash[i] = static_cast<unsigned char>(high << 4 | low);
    }
    out = digest;
    return true;
}

ContentDigest::ContentDigest() : m_state(std::make_unique<State>()) {}
ContentDigest::~ContentDigest() = default;
ContentDigest::ContentDigest(ContentDigest&&) noexcept = default;
ContentDigest& ContentDigest::operator=(ContentDigest&&) noexcept = default;

void ContentDigest::add(std::string_view bytes)
{
    if (bytes.empty()) return;
    EVP_DigestUpdate(m_state->context, bytes.data(), bytes.size());
    m_size += bytes.size();
}

void ContentDigest::addZeros(std::uint64_t count)
{
    static const char zeros[kBlock] = {};
    while (count > 0) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(count, kBlock));
        add(zeros, n);
        count -= n;
    }
}

Digest ContentDigest::finish()
{
    Digest digest;
    digest.size = m_size;
    unsigned int length = 0;
    EVP_DigestFinal_ex(m_state->context, digest.hash.data(), &length);
    EVP_DigestInit_ex(m_state->context, EVP_sha256(), nullptr);
    m_size = 0;
    return digest;
}

Digest ContentDigest::of(std::string_view bytes)
{
    ContentDigest digest;
    digest.add(bytes);
    return digest.finish();
}

namespace {

// Digests from `offset` up to `size` bytes, or to the end when `toEnd`.
Expected<Digest> digestRange(int fd, std::uint64_t offset, std::uint64_t size, bool toEnd)
{
    std::vector<char> block(kBlock);
    ContentDigest digest;
    std::uint64_t done = 0;
    while (toEnd || done < size) {
        const auto want = toEnd ? block.size() : static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), size - done));
        const ssize_t got = ::pread(fd, block.data(), want, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) continue;
            return systemFailure(LastErrnoCode());
        }
        if (got == 0) {
            if (toEnd) break;
            return systemFailure(ErrnoCode(EIO));
        }
        digest.add(block.data(), static_cast<std::size_t>(got));
        done += static_cast<std::uint64_t>(got);
    }
    return digest.finish();
}

}  // namespace

Expected<Digest> DigestDescriptor(int fd, std::uint64_t offset, std::uint64_t size)
{
    return digestRange(fd, offset, size, false);
}

Expected<Digest> DigestWholeDescriptor(int fd) { return digestRange(fd, 0, 0, true); }

}  // namespace tarnwick
