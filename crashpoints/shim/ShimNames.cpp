// The interposed calls that change names (rename, link, unlink, folders,
// symbolic links) and a file's attributes (mode, owner, extended attributes).
#include "crashpoints/shim/ShimCall.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

extern "C" {

int rename(const char* from, const char* to)
{
    static const auto real = CRASHSHIM_NEXT(rename);
    crashshim::Call call("rename");
    call.path(AT_FDCWD, from).path(AT_FDCWD, to);
    return call.run([&] { return real(from, to); });
}

int renameat(int fromDir, const char* from, int toDir, const char* to)
{
    static const auto real = CRASHSHIM_NEXT(renameat);
    crashshim::Call call("renameat");
    call.path(fromDir, from).path(toDir, to);
    return call.run([&] { return real(fromDir, from, toDir, to); });
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags)
{
    static const auto real = CRASHSHIM_NEXT(renameat2);
    crashshim::Call call("renameat2");
    call.path(fromDir, from).path(toDir, to).number(flags);
    return call.run([&] { return real(fromDir, from, toDir, to, flags); });
}

int link(const char* from, const char* to)
{
    static const auto real = CRASHSHIM_NEXT(link);
    crashshim::Call call("link");
    call.path(AT_FDCWD, from).path(AT_FDCWD, to);
    return call.run([&] { return real(from, to); });
}

// Also how an unnamed (O_TMPFILE) file gets its name: from /proc/self/fd/N
// or with AT_EMPTY_PATH; the new name makes it count.
int linkat(int fromDir, const char* from, int toDir, const char* to, int flags)
{
    static const auto real = CRASHSHIM_NEXT(linkat);
    crashshim::Call call("linkat");
    call.path(fromDir, from).path(toDir, to).number(flags);
    return call.run([&] { return real(fromDir, from, toDir, to, flags); });
}

int unlink(const char* path)
{
    static const auto real = CRASHSHIM_NEXT(unlink);
    crashshim::Call call("unlink");
    call.path(AT_FDCWD, path);
    return call.run([&] { return real(path); });
}

int unlinkat(int dirFd, const char* path, int flags)
{
    static const auto real = CRASHSHIM_NEXT(unlinkat);
    crashshim::Call call(flags & AT_REMOVEDIR ? "unlinkat AT_REMOVEDIR" : "unlinkat");
    call.path(dirFd, path);
    return call.run([&] { return real(dirFd, path, flags); });
}

// std::filesystem::remove and remove_all end here.
int remove(const char* path)
{
    static const auto real = CRASHSHIM_NEXT(remove);
    crashshim::Call call("remove");
    call.path(AT_FDCWD, path);
    return call.run([&] { return real(path); });
}

int mkdir(const char* path, mode_t mode)
{
    static const auto real = CRASHSHIM_NEXT(mkdir);
    crashshim::Call call("mkdir");
    call.path(AT_FDCWD, path);
    return call.run([&] { return real(path, mode); });
}

int mkdirat(int dirFd, const char* path, mode_t mode)
{
    static const auto real = CRASHSHIM_NEXT(mkdirat);
    crashshim::Call call("mkdirat");
    call.path(dirFd, path);
    return call.run([&] { return real(dirFd, path, mode); });
}

char* mkdtemp(char* pattern)
{
    static const auto real = CRASHSHIM_NEXT(mkdtemp);
    crashshim::Call call("mkdtemp");
    call.path(AT_FDCWD, pattern);
    if (!call.counts()) return real(pattern);
    call.begin();
    char* const made = real(pattern);
    call.end(made ? 0 : -1);
    return made;
}

int rmdir(const char* path)
{
    static const auto real = CRASHSHIM_NEXT(rmdir);
    crashshim::Call call("rmdir");
    call.path(AT_FDCWD, path);
    return call.run([&] { return real(path); });
}

int symlink(const char* target, const char* path)
{
    static const auto real = CRASHSHIM_NEXT(symlink);
    crashshim::Call call("symlink");
    call.path(AT_FDCWD, path).text(target);
    return call.run([&] { return real(target, path); });
}

int symlinkat(const char* target, int dirFd, const char* path)
{
    static const auto real = CRASHSHIM_NEXT(symlinkat);
    crashshim::Call call("symlinkat");
    call.path(dirFd, path).text(target);
    return call.run([&] { return real(target, dirFd, path); });
}

int fchmod(int fd, mode_t mode)
{
    static const auto real = CRASHSHIM_NEXT(fchmod);
    crashshim::Call call("fchmod");
    call.fd(fd).number(mode);
    return call.run([&] { return real(fd, mode); });
}

int chmod(const char* path, mode_t mode)
{
    static const auto real = CRASHSHIM_NEXT(chmod);
    crashshim::Call call("chmod");
    call.path(AT_FDCWD, path).number(mode);
    return call.run([&] { return real(path, mode); });
}

int fchmodat(int dirFd, const char* path, mode_t mode, int flags)
{
    static const auto real = CRASHSHIM_NEXT(fchmodat);
    crashshim::Call call("fchmodat");
    call.path(dirFd, path).number(mode);
    return call.run([&] { return real(dirFd, path, mode, flags); });
}

int fchown(int fd, uid_t owner, gid_t group)
{
    static const auto real = CRASHSHIM_NEXT(fchown);
    crashshim::Call call("fchown");
    call.fd(fd).number(owner).number(group);
    return call.run([&] { return real(fd, owner, group); });
}

int chown(const char* path, uid_t owner, gid_t group)
{
    static const auto real = CRASHSHIM_NEXT(chown);
    crashshim::Call call("chown");
    call.path(AT_FDCWD, path).number(owner).number(group);
    return call.run([&] { return real(path, owner, group); });
}

int lchown(const char* path, uid_t owner, gid_t group)
{
    static const auto real = CRASHSHIM_NEXT(lchown);
    crashshim::Call call("lchown");
    call.path(AT_FDCWD, path).number(owner).number(group);
    return call.run([&] { return real(path, owner, group); });
}

int fchownat(int dirFd, const char* path, uid_t owner, gid_t group, int flags)
{
    static const auto real = CRASHSHIM_NEXT(fchownat);
    crashshim::Call call("fchownat");
    call.path(dirFd, path).number(owner).number(group);
    return call.run([&] { return real(dirFd, path, owner, group, flags); });
}

int setxattr(const char* path, const char* name, const void* value, size_t size, int flags)
{
    static const auto real = CRASHSHIM_NEXT(setxattr);
    crashshim::Call call("setxattr");
    call.path(AT_FDCWD, path).text(name);
    return call.run([&] { return real(path, name, value, size, flags); });
}

int lsetxattr(const char* path, const char* name, const void* value, size_t size, int flags)
{
    static const auto real = CRASHSHIM_NEXT(lsetxattr);
    crashshim::Call call("lsetxattr");
    call.path(AT_FDCWD, path).text(name);
    return call.run([&] { return real(path, name, value, size, flags); });
}

int fsetxattr(int fd, const char* name, const void* value, size_t size, int flags)
{
    static const auto real = CRASHSHIM_NEXT(fsetxattr);
    crashshim::Call call("fsetxattr");
    call.fd(fd).text(name);
    return call.run([&] { return real(fd, name, value, size, flags); });
}

int removexattr(const char* path, const char* name)
{
    static const auto real = CRASHSHIM_NEXT(removexattr);
    crashshim::Call call("removexattr");
    call.path(AT_FDCWD, path).text(name);
    return call.run([&] { return real(path, name); });
}

int lremovexattr(const char* path, const char* name)
{
    static const auto real = CRASHSHIM_NEXT(lremovexattr);
    crashshim::Call call("lremovexattr");
    call.path(AT_FDCWD, path).text(name);
    return call.run([&] { return real(path, name); });
}

int fremovexattr(int fd, const char* name)
{
    static const auto real = CRASHSHIM_NEXT(fremovexattr);
    crashshim::Call call("fremovexattr");
    call.fd(fd).text(name);
    return call.run([&] { return real(fd, name); });
}

}  // extern "C"
