#include "platform/FileAttributes.h"

#include "platform/SystemError.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

// The names of the extended attributes of `fd`; empty where the file system
// keeps none.
std::error_code listAttributes(int fd, std::vector<std::string>& names)
{
    names.clear();
    std::vector<char> buffer;
    for (;;) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0) return errno == ENOTSUP ? std::error_code() : LastErrnoCode();
        if (size == 0) return {};
        buffer.resize(static_cast<std::size_t>(size));
        const ssize_t got = ::flistxattr(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == ERANGE) continue;  // grew meanwhile
        if (got < 0) return LastErrnoCode();
        for (std::size_t at = 0; at < static_cast<std::size_t>(got);) {
            const std::size_t length = std::strlen(buffer.data() + at);
            if (length > 0) names.emplace_back(buffer.data() + at, length);
            at += length + 1;
        }
        return {};
    }
}

std::error_code readAttribute(int fd, const std::string& name, std::vector<char>& value)
{
    for (;;) {
        const ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
        if (size < 0) return LastErrnoCode();
        value.resize(static_cast<std::size_t>(size));
        const ssize_t got = ::fgetxattr(fd, name.c_str(), value.data(), value.size());
        if (got < 0 && errno == ERANGE) continue;
        if (got < 0) return LastErrnoCode();
        value.resize(static_cast<std::size_t>(got));
        return {};
    }
}

bool contains(const std::vector<std::string>& names, const std::string& name)
{
    for (const std::string& n : names)
        if (n == name) return true;
    return false;
}

std::error_code copyExtendedAttributes(int fromFd, int toFd)
{
    std::vector<std::string> from, to;
    if (const std::error_code error = listAttributes(fromFd, from)) return error;
    if (const std::error_code error = listAttributes(toFd, to)) return error;
    for (const std::string& name : to) {
        if (!contains(from, name) && ::fremovexattr(toFd, name.c_str()) != 0 && errno != ENODATA) return LastErrnoCode();
    }
    std::vector<char> value;
    for (const std::string& name : from) {
        if (const std::error_code error = readAttribute(fromFd, name, value)) {
            if (error.value() == ENODATA) continue;  // removed meanwhile
            return error;
        }
        if (::fsetxattr(toFd, name.c_str(), value.data(), value.size(), 0) != 0) return LastErrnoCode();
    }
    return {};
}

}  // namespace

std::error_code CopyFileAttributes(int fromFd, int toFd)
{
    struct stat from {
    }, to{};
    if (::fstat(fromFd, &from) != 0 || ::fstat(toFd, &to) != 0) return LastErrnoCode();
    if (from.st_uid != to.st_uid || from.st_gid != to.st_gid) {
        const uid_t owner = from.st_uid == to.st_uid ? static_cast<uid_t>(-1) : from.st_uid;
        if (::fchown(toFd, owner, from.st_gid) != 0) return LastErrnoCode();
    }
    if (const std::error_code error = copyExtendedAttributes(fromFd, toFd)) return error;
    // Last: an ACL written above may have moved the group bits, and the
    // owner change cleared the set-ID bits.
    if (::fchmod(toFd, from.st_mode & 07777) != 0) return LastErrnoCode();
    if (::fstat(toFd, &to) != 0) return LastErrnoCode();
    if (to.st_uid != from.st_uid || to.st_gid != from.st_gid || (to.st_mode & 07777) != (from.st_mode & 07777))
        return ErrnoCode(EPERM);
    return {};
}

void CopyAttributesOrCloseCopy(int fromFd, int toFd)
{
    if (!CopyFileAttributes(fromFd, toFd)) return;
    struct stat from {};
    if (::fstat(fromFd, &from) != 0) from.st_mode = 0600;
    // No ACL of the file's may stay half copied, and no group or others
    // may read what the file kept from them.
    std::vector<std::string> names;
    if (!listAttributes(toFd, names))
        for (const std::string& name : names)
            if (name.rfind("system.posix_acl", 0) == 0) (void)::fremovexattr(toFd, name.c_str());
    (void)::fchmod(toFd, from.st_mode & 0700);
}

}  // namespace tarnwick
