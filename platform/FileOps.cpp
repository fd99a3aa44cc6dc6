#include "platform/FileOps.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace tarnwick {
namespace {

FileOps g_realOps;
FileOps* g_ops = &g_realOps;

}  // namespace

ssize_t FileOps::pwrite(int fd, const void* data, std::size_t size, off_t offset)
{
    const ssize_t written = ::pwrite(fd, data, size, offset);
    return written < 0 ? -errno : written;
}

int FileOps::allocate(int fd, off_t length)
{
    if (length <= 0) return 0;
    const int rc = ::posix_fallocate(fd, 0, length);
    // File systems without preallocation still take the write itself.
    return (rc == EOPNOTSUPP || rc == EINVAL) ? 0 : rc;
}

int FileOps::truncate(int fd, off_t length) { return ::ftruncate(fd, length) == 0 ? 0 : errno; }

int FileOps::rename(const char* from, const char* to) { return ::rename(from, to) == 0 ? 0 : errno; }

FileOps& FileOps::current() { return *g_ops; }

void FileOps::install(FileOps* ops) { g_ops = ops ? ops : &g_realOps; }

int WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (written == 0) return EIO;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

int WriteAllAt(int fd, const char* data, std::size_t size, off_t offset)
{
    FileOps& ops = FileOps::current();
    while (size > 0) {
        const ssize_t written = ops.pwrite(fd, data, size, offset);
        if (written < 0) {
            if (written == -EINTR) continue;
            return static_cast<int>(-written);
        }
        if (written == 0) return EIO;
        data += written;
        size -= static_cast<std::size_t>(written);
        offset += written;
    }
    return 0;
}

}  // namespace tarnwick
