// The interposed calls that create files or change or sync their contents.
// glibc's own functions call its internal entry points, which cannot be
// interposed, so a function such as mkostemps counts as one call.
#include "crashpoints/shim/ShimCall.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <stdarg.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/uio.h>
#include <unistd.h>

extern "C" {
int __open_2(const char* path, int flags);
int __open64_2(const char* path, int flags);
int __openat_2(int dirFd, const char* path, int flags);
int __openat64_2(int dirFd, const char* path, int flags);
}

namespace {

bool opensForWriting(int flags)
{
    return (flags & O_ACCMODE) != O_RDONLY || (flags & (O_CREAT | O_TRUNC)) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
}

bool takesMode(int flags) { return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE; }

template <typename Real>
int countedOpen(const char* name, Real real, int dirFd, const char* path, int flags, mode_t mode)
{
    if (!opensForWriting(flags)) return real(dirFd, path, flags, mode);
    crashshim::Call call(name);
    call.path(dirFd, path).openFlags(flags);
    return call.run([&] { return real(dirFd, path, flags, mode); });
}

mode_t modeArgument(int flags, va_list arguments) { return takesMode(flags) ? static_cast<mode_t>(va_arg(arguments, int)) : 0; }

template <typename Real>
ssize_t countedWrite(const char* name, int fd, std::size_t size, Real real)
{
    crashshim::Call call(name);
    call.fd(fd).number(static_cast<long long>(size));
    return call.run(real);
}

// mkstemp and its relatives fill in the name only when they succeed.
template <typename Real>
int countedTemporary(const char* name, char* pattern, Real real)
{
    crashshim::Call call(name);
    call.path(AT_FDCWD, pattern);
    if (!call.counts()) return real();
    call.begin();
    const int fd = real();
    if (fd >= 0) call.text(pattern);
    call.end(fd);
    return fd;
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...)
{
    static const auto real = CRASHSHIM_NEXT(openat);
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    return countedOpen("open", real, AT_FDCWD, path, flags, mode);
}

int open64(const char* path, int flags, ...)
{
    static const auto real = CRASHSHIM_NEXT(openat64);
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    return countedOpen("open64", real, AT_FDCWD, path, flags, mode);
}

int openat(int dirFd, const char* path, int flags, ...)
{
    static const auto real = CRASHSHIM_NEXT(openat);
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    return countedOpen("openat", real, dirFd, path, flags, mode);
}

int openat64(int dirFd, const char* path, int flags, ...)
{
    static const auto real = CRASHSHIM_NEXT(openat64);
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    return countedOpen("openat64", real, dirFd, path, flags, mode);
}

// The fortified forms, called without a mode.
int __open_2(const char* path, int flags) { return countedOpen("open", CRASHSHIM_NEXT(openat), AT_FDCWD, path, flags, 0); }
int __open64_2(const char* path, int flags) { return countedOpen("open64", CRASHSHIM_NEXT(openat64), AT_FDCWD, path, flags, 0); }
int __openat_2(int dirFd, const char* path, int flags)
{
    return countedOpen("openat", CRASHSHIM_NEXT(openat), dirFd, path, flags, 0);
}
int __openat64_2(int dirFd, const char* path, int flags)
{
    return countedOpen("openat64", CRASHSHIM_NEXT(openat64), dirFd, path, flags, 0);
}

int creat(const char* path, mode_t mode)
{
    return countedOpen("creat", CRASHSHIM_NEXT(openat), AT_FDCWD, path, O_WRONLY | O_CREAT | O_TRUNC, mode);
}

int creat64(const char* path, mode_t mode)
{
    return countedOpen("creat64", CRASHSHIM_NEXT(openat64), AT_FDCWD, path, O_WRONLY | O_CREAT | O_TRUNC, mode);
}

ssize_t write(int fd, const void* data, size_t size)
{
    static const auto real = CRASHSHIM_NEXT(write);
    return countedWrite("write", fd, size, [&] { return real(fd, data, size); });
}

ssize_t pwrite(int fd, const void* data, size_t size, off_t offset)
{
    static const auto real = CRASHSHIM_NEXT(pwrite);
    return countedWrite("pwrite", fd, size, [&] { return real(fd, data, size, offset); });
}

ssize_t pwrite64(int fd, const void* data, size_t size, off64_t offset)
{
    static const auto real = CRASHSHIM_NEXT(pwrite64);
    return countedWrite("pwrite64", fd, size, [&] { return real(fd, data, size, offset); });
}

ssize_t writev(int fd, const struct iovec* vector, int count)
{
    static const auto real = CRASHSHIM_NEXT(writev);
    return countedWrite("writev", fd, static_cast<std::size_t>(count), [&] { return real(fd, vector, count); });
}

ssize_t pwritev(int fd, const struct iovec* vector, int count, off_t offset)
{
    static const auto real = CRASHSHIM_NEXT(pwritev);
    return countedWrite("pwritev", fd, static_cast<std::size_t>(count), [&] { return real(fd, vector, count, offset); });
}

ssize_t pwritev64(int fd, const struct iovec* vector, int count, off64_t offset)
{
    static const auto real = CRASHSHIM_NEXT(pwritev64);
    return countedWrite("pwritev64", fd, static_cast<std::size_t>(count), [&] { return real(fd, vector, count, offset); });
}

ssize_t pwritev2(int fd, const struct iovec* vector, int count, off_t offset, int flags)
{
    static const auto real = CRASHSHIM_NEXT(pwritev2);
    return countedWrite("pwritev2", fd, static_cast<std::size_t>(count), [&] { return real(fd, vector, count, offset, flags); });
}

int ftruncate(int fd, off_t length)
{
    static const auto real = CRASHSHIM_NEXT(ftruncate);
    crashshim::Call call("ftruncate");
    call.fd(fd).number(length);
    return call.run([&] { return real(fd, length); });
}

int ftruncate64(int fd, off64_t length)
{
    static const auto real = CRASHSHIM_NEXT(ftruncate64);
    crashshim::Call call("ftruncate64");
    call.fd(fd).number(length);
    return call.run([&] { return real(fd, length); });
}

int truncate(const char* path, off_t length)
{
    static const auto real = CRASHSHIM_NEXT(truncate);
    crashshim::Call call("truncate");
    call.path(AT_FDCWD, path).number(length);
    return call.run([&] { return real(path, length); });
}

int fallocate(int fd, int mode, off_t offset, off_t length)
{
    static const auto real = CRASHSHIM_NEXT(fallocate);
    crashshim::Call call("fallocate");
    call.fd(fd).number(offset).number(length);
    return call.run([&] { return real(fd, mode, offset, length); });
}

int fallocate64(int fd, int mode, off64_t offset, off64_t length)
{
    static const auto real = CRASHSHIM_NEXT(fallocate64);
    crashshim::Call call("fallocate64");
    call.fd(fd).number(offset).number(length);
    return call.run([&] { return real(fd, mode, offset, length); });
}

int posix_fallocate(int fd, off_t offset, off_t length)
{
    static const auto real = CRASHSHIM_NEXT(posix_fallocate);
    crashshim::Call call("posix_fallocate");
    call.fd(fd).number(offset).number(length);
    if (!call.counts()) return real(fd, offset, length);
    call.begin();
    const int error = real(fd, offset, length);
    call.endWithErrorNumber(error);
    return error;
}

int posix_fallocate64(int fd, off64_t offset, off64_t length)
{
    static const auto real = CRASHSHIM_NEXT(posix_fallocate64);
    crashshim::Call call("posix_fallocate64");
    call.fd(fd).number(offset).number(length);
    if (!call.counts()) return real(fd, offset, length);
    call.begin();
    const int error = real(fd, offset, length);
    call.endWithErrorNumber(error);
    return error;
}

int fsync(int fd)
{
    static const auto real = CRASHSHIM_NEXT(fsync);
    crashshim::Call call("fsync");
    call.fd(fd);
    return call.run([&] { return real(fd); });
}

int fdatasync(int fd)
{
    static const auto real = CRASHSHIM_NEXT(fdatasync);
    crashshim::Call call("fdatasync");
    call.fd(fd);
    return call.run([&] { return real(fd); });
}

int sync_file_range(int fd, off64_t offset, off64_t length, unsigned int flags)
{
    static const auto real = CRASHSHIM_NEXT(sync_file_range);
    crashshim::Call call("sync_file_range");
    call.fd(fd).number(offset).number(length);
    return call.run([&] { return real(fd, offset, length, flags); });
}

int syncfs(int fd)
{
    static const auto real = CRASHSHIM_NEXT(syncfs);
    crashshim::Call call("syncfs");
    call.fd(fd);
    return call.run([&] { return real(fd); });
}

void sync()
{
    static const auto real = CRASHSHIM_NEXT(sync);
    crashshim::Call call("sync");
    call.everyFile();
    (void)call.run([&] {
        real();
        return 0;
    });
}

ssize_t copy_file_range(int fromFd, off64_t* fromOffset, int toFd, off64_t* toOffset, size_t size, unsigned int flags)
{
    static const auto real = CRASHSHIM_NEXT(copy_file_range);
    crashshim::Call call("copy_file_range");
    call.fd(toFd).text("from").fd(fromFd).number(static_cast<long long>(size));
    return call.run([&] { return real(fromFd, fromOffset, toFd, toOffset, size, flags); });
}

int ioctl(int fd, unsigned long request, ...)
{
    static const auto real = CRASHSHIM_NEXT(ioctl);
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if (request != FICLONE && request != FICLONERANGE) return real(fd, request, argument);
    crashshim::Call call(request == FICLONE ? "ioctl FICLONE" : "ioctl FICLONERANGE");
    call.fd(fd);
    if (request == FICLONE) call.text("from").fd(static_cast<int>(reinterpret_cast<long>(argument)));
    return call.run([&] { return real(fd, request, argument); });
}

int mkstemp(char* pattern)
{
    static const auto real = CRASHSHIM_NEXT(mkstemp);
    return countedTemporary("mkstemp", pattern, [&] { return real(pattern); });
}

int mkstemp64(char* pattern)
{
    static const auto real = CRASHSHIM_NEXT(mkstemp64);
    return countedTemporary("mkstemp64", pattern, [&] { return real(pattern); });
}

int mkostemp(char* pattern, int flags)
{
    static const auto real = CRASHSHIM_NEXT(mkostemp);
    return countedTemporary("mkostemp", pattern, [&] { return real(pattern, flags); });
}

int mkostemp64(char* pattern, int flags)
{
    static const auto real = CRASHSHIM_NEXT(mkostemp64);
    return countedTemporary("mkostemp64", pattern, [&] { return real(pattern, flags); });
}

int mkstemps(char* pattern, int suffixLength)
{
    static const auto real = CRASHSHIM_NEXT(mkstemps);
    return countedTemporary("mkstemps", pattern, [&] { return real(pattern, suffixLength); });
}

int mkstemps64(char* pattern, int suffixLength)
{
    static const auto real = CRASHSHIM_NEXT(mkstemps64);
    return countedTemporary("mkstemps64", pattern, [&] { return real(pattern, suffixLength); });
}

int mkostemps(char* pattern, int suffixLength, int flags)
{
    static const auto real = CRASHSHIM_NEXT(mkostemps);
    return countedTemporary("mkostemps", pattern, [&] { return real(pattern, suffixLength, flags); });
}

int mkostemps64(char* pattern, int suffixLength, int flags)
{
    static const auto real = CRASHSHIM_NEXT(mkostemps64);
    return countedTemporary("mkostemps64", pattern, [&] { return real(pattern, suffixLength, flags); });
}

}  // extern "C"
