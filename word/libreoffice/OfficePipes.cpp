#include "word/libreoffice/OfficePipes.h"

#include <sys/random.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/SystemError.h"

namespace tarnwick::word {
namespace {

constexpr char kHex[] = "0123456789abcdef";

// RFC 1321, only to find the name LibreOffice gives its second pipe.
std::array<std::uint8_t, 16> md5(std::string_view data)
{
    static constexpr std::uint32_t kSine[64] = {
        0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501, 0x698098d8, 0x8b44f7af,
        0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821, 0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa,
        0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8, 0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8,
        0x676f02d9, 0x8d2a4c8a, 0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
        0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665, 0xf4292244, 0x432aff97,
        0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1, 0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1,
        0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
    static constexpr int kShift[16] = {7, 12, 17, 22, 5, 9, 14, 20, 4, 11, 16, 23, 6, 10, 15, 21};
    std::string message(data);
    message += '\x80';
    while (message.size() % 64 != 56) message += '\0';
    const std::uint64_t bits = std::uint64_t(data.size()) * 8;
    for (int i = 0; i < 8; ++i) message += static_cast<char>(bits >> (8 * i));

    std::uint32_t state[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    for (std::size_t block = 0; block < message.size(); block += 64) {
        std::uint32_t word[16];
        for (int i = 0; i < 16; ++i) {
            word[i] = 0;
            for (int j = 0; j < 4; ++j)
                word[i] |= std::uint32_t(static_cast<std::uint8_t>(message[block + 4 * i + j])) << (8 * j);
        }
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        for (int i = 0; i < 64; ++i) {
            std::uint32_t f;
            int g;
            if (i < 16) {
                f = (b & c) | (~b & d), g = i;
            } else if (i < 32) {
                f = (d & b) | (~d & c), g = (5 * i + 1) % 16;
            } else if (i < 48) {
                f = b ^ c ^ d, g = (3 * i + 5) % 16;
            } else {
                f = c ^ (b | ~d), g = (7 * i) % 16;
            }
            const std::uint32_t sum = a + f + kSine[i] + word[g];
            const int shift = kShift[(i / 16) * 4 + i % 4];
            a = d;
            d = c;
            c = b;
            b += (sum << shift) | (sum >> (32 - shift));
        }
        state[0] += a, state[1] += b, state[2] += c, state[3] += d;
    }
    std::array<std::uint8_t, 16> digest{};
    for (int i = 0; i < 16; ++i) digest[i] = static_cast<std::uint8_t>(state[i / 4] >> (8 * (i % 4)));
    return digest;
}

}  // namespace

std::error_code NewPipeName(std::string_view prefix, std::string& name)
{
    unsigned char random[16];
    for (std::size_t done = 0; done < sizeof random;) {
        const ssize_t got = ::getrandom(random + done, sizeof random - done, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return LastErrnoCode();
        done += static_cast<std::size_t>(got);
    }
    name.assign(prefix);
    for (const unsigned char byte : random) {
        name += kHex[byte >> 4];
        name += kHex[byte & 15];
    }
    return {};
}

std::string PipeSocketPath(const std::string& name)
{
    // As LibreOffice's own pipe code chooses its folder.
    const char* folder = ::access("/tmp", W_OK) == 0 ? "/tmp" : "/var/tmp";
    return std::string(folder) + "/OSL_PIPE_" + std::to_string(::getuid()) + "_" + name;
}

std::string SingleInstancePipeName(std::string_view userInstallationUrl)
{
    // The URL's UTF-16 code units in the machine's byte order, as LibreOffice hashes them.
    std::string units;
    for (const char c : userInstallationUrl) {
        const char16_t unit = static_cast<unsigned char>(c);
        char bytes[2];
        std::memcpy(bytes, &unit, 2);
        units.append(bytes, 2);
    }
    std::string name = "SingleOfficeIPC_";
    for (const std::uint8_t byte : md5(units)) {
        if (byte >= 16) name += kHex[byte >> 4];
        name += kHex[byte & 15];
    }
    return name;
}

}  // namespace tarnwick::word
