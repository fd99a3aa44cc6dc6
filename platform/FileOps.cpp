#include "platform/FileOps.h"

#include "platform/SystemError.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace tarnwick {
namespace {

FileOps g_realOps;
FileOps* g_ops = &g_realOps;

}  // namespace

Expected<std::size_t> FileOps::pwrite(int fd, const void* data, std::size_t size, off_t offset)
{
    const ssize_t n = ::pwrite(fd, data, size, offset);
    if (n < 0) return systemFailure(LastErrnoCode());
    return static_cast<std::size_t>(n);
}

std::error_code FileOps::allocate(int fd, off_t length)
{
    if (length <= 0) return {};
    const int rc = ::posix_fallocate(fd, 0, length);
    // File systems without preallocation still take the write itself.
    return (rc == EOPNOTSUPP || rc == EINVAL) ? std::error_code() : ErrnoCode(rc);
}

std::error_code FileOps::truncate(int fd, off_t length)
{
    return ::ftruncate(fd, length) == 0 ? std::error_code() : LastErrnoCode();
}

std::error_code FileOps::rename(const char* from, const char* to)
{
    return ::rename(from, to) == 0 ? std::error_code() : LastErrnoCode();
}

std::error_code FileOps::renameAt(int fromFolder, const char* from, int toFolder, const char* to)
{
    return ::renameat(fromFolder, from, toFolder, to) == 0 ? std::error_code() : LastErrnoCode();
}

std::error_code FileOps::sync(int fd)
{
    while (::fsync(fd) != 0)
        if (errno != EINTR) return LastErrnoCode();
    return {};
}

FileOps& FileOps::current() { return *g_ops; }

void FileOps::install(FileOps* ops) { g_ops = ops ? ops : &g_realOps; }

std::error_code WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return LastErrnoCode();
        }
        if (written == 0) return ErrnoCode(EIO);
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return {};
}

std::error_code WriteAllAt(int fd, const char* data, std::size_t size, off_t offset)
{
    FileOps& ops = FileOps::current();
    while (size > 0) {
        const Expected<std::size_t> wrote = ops.pwrite(fd, data, size, offset);
        if (!wrote) {
            if (wrote.error().code.value() == EINTR) continue;
            return wrote.error().code;
        }
        const std::size_t written = wrote.value();
        if (written == 0) return ErrnoCode(EIO);
        data += written;
        size -= written;
        offset += static_cast<off_t>(written);
    }
    return {};
}

}  // namespace tarnwick
