#include "crash/ExclusiveFile.h"

#include <fcntl.h>
#include <sys/random.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <vector>

namespace tarnwick::crash {
namespace {

constexpr int kAttempts = 16;
constexpr std::size_t kDigits = 16;

std::uint64_t randomBits(int attempt)
{
    std::uint64_t bits = 0;
    // Never waits: in a signal handler early at boot, a weaker name is
    // better than none; the exclusive create keeps it safe either way.
    if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) == static_cast<ssize_t>(sizeof bits)) return bits;
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    bits = static_cast<std::uint64_t>(now.tv_nsec) ^ (static_cast<std::uint64_t>(now.tv_sec) << 30) ^
        (static_cast<std::uint64_t>(::getpid()) << 40) ^ (static_cast<std::uint64_t>(attempt) * 0x9e3779b97f4a7c15ull);
    return bits;
}

}  // namespace

int CreateExclusiveFile(char* path, std::size_t capacity, std::size_t prefixLength, const char* extension)
{
    std::size_t extensionLength = 0;
    while (extension[extensionLength] != '\0') ++extensionLength;
    if (prefixLength + kDigits + extensionLength + 1 > capacity) {
        errno = ENAMETOOLONG;
        return -1;
    }
    char* const digits = path + prefixLength;
    for (std::size_t i = 0; i <= extensionLength; ++i) digits[kDigits + i] = extension[i];
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::uint64_t bits = randomBits(attempt);
        for (std::size_t i = 0; i < kDigits; ++i, bits >>= 4) digits[i] = "0123456789abcdef"[bits & 15];
        const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

int CreateExclusiveFile(const std::string& prefix, std::string_view extension, std::string& path)
{
    std::vector<char> buffer(prefix.size() + kDigits + extension.size() + 1);
    prefix.copy(buffer.data(), prefix.size());
    const std::string terminated(extension);
    const int fd = CreateExclusiveFile(buffer.data(), buffer.size(), prefix.size(), terminated.c_str());
    path = fd >= 0 ? std::string(buffer.data()) : std::string();
    return fd;
}

}  // namespace tarnwick::crash
