#include "engine/undo/ContentHash.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/SystemError.h"

namespace tarnwick {

std::error_code HashDescriptor(int fd, std::uint64_t& hash, std::uint64_t& size)
{
    std::vector<char> block(256 * 1024);
    ContentHash content;
    size = 0;
    for (;;) {
        const ssize_t got = ::pread(fd, block.data(), block.size(), static_cast<off_t>(size));
        if (got < 0) {
            if (errno == EINTR) continue;
            return LastErrnoCode();
        }
        if (got == 0) break;
        content.add(std::string_view(block.data(), static_cast<std::size_t>(got)));
        size += static_cast<std::uint64_t>(got);
    }
    hash = content.value();
    return {};
}

std::error_code HashFile(const std::string& path, std::uint64_t& hash, std::uint64_t& size)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return LastErrnoCode();
    const std::error_code error = HashDescriptor(fd, hash, size);
    ::close(fd);
    return error;
}

}  // namespace tarnwick
