#include "InputFile.h"

#include "SystemError.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <utility>

namespace tarnwick {
namespace {

// The real path of an open folder, as the kernel knows it.
std::string folderPathOf(int folderFd, const std::string& fallback)
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", folderFd);
    char target[4096];
    const ssize_t length = ::readlink(link, target, sizeof target);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof target && target[0] == '/') return std::string(target, length);
    char* resolved = ::realpath(fallback.c_str(), nullptr);
    std::string path = resolved ? resolved : fallback;
    std::free(resolved);
    return path;
}

}  // namespace

void SplitFolderAndName(const std::string& path, std::string& folder, std::string& name)
{
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
    const auto slash = trimmed.rfind('/');
    if (slash == std::string::npos) {
        folder = ".";
        name = trimmed;
        return;
    }
    folder = slash == 0 ? std::string("/") : trimmed.substr(0, slash);
    name = trimmed.substr(slash + 1);
}

InputFile::~InputFile() { close(); }

InputFile::InputFile(InputFile&& other) noexcept { moveFrom(other); }

InputFile& InputFile::operator=(InputFile&& other) noexcept
{
    if (this != &other) {
        close();
        moveFrom(other);
    }
    return *this;
}

void InputFile::moveFrom(InputFile& other) noexcept
{
    m_fd = std::exchange(other.m_fd, -1);
    m_folderFd = std::exchange(other.m_folderFd, -1);
    m_size = other.m_size;
    m_path = std::move(other.m_path);
    m_realPath = std::move(other.m_realPath);
    m_folderPath = std::move(other.m_folderPath);
    m_leaf = std::move(other.m_leaf);
    m_permissions = other.m_permissions;
    m_linkCount = other.m_linkCount;
    m_links = other.m_links;
    m_identity = other.m_identity;
    m_replacedBy = other.m_replacedBy;
}

void InputFile::close()
{
    if (m_fd >= 0) ::close(m_fd);
    if (m_folderFd >= 0) ::close(m_folderFd);
    m_fd = -1;
    m_folderFd = -1;
    m_folderPath.clear();
    m_leaf.clear();
    m_replacedBy = {};
}

std::error_code InputFile::open(const std::string& path, Mode mode, Links links)
{
    close();
    const bool forReplace = mode == Mode::Replace;
    // Only a replace needs the path later; a search keeps no copy (no
    // allocation per searched file).
    if (forReplace)
        m_path = path;
    else
        m_path.clear();
    m_links = links;
    const bool follow = links == Links::Follow;
    if (forReplace) {
        struct stat target {};
        const int rc = follow ? ::stat(path.c_str(), &target) : ::lstat(path.c_str(), &target);
        if (rc == 0 && S_ISREG(target.st_mode) && !(target.st_mode & S_IWUSR)) return ErrnoCode(EACCES);
    }
    const int fd =
        ::open(path.c_str(), (forReplace ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (follow ? 0 : O_NOFOLLOW));
    if (fd < 0) return !follow && errno == ELOOP ? NameChangedError() : LastErrnoCode();
    return adopt(fd, forReplace);
}

std::error_code InputFile::openInFolder(int folderFd, const char* name)
{
    close();
    m_path.clear();
    m_links = Links::Follow;
    const int fd = ::openat(folderFd, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return LastErrnoCode();
    return adopt(fd, false);
}

std::error_code InputFile::adopt(int fd, bool forReplace)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ErrnoCode(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    }
    m_realPath.clear();
    m_permissions = st.st_mode & 07777;
    m_linkCount = st.st_nlink;
    m_identity = FileIdentity::of(st);
    if (::flock(fd, (forReplace ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        const std::error_code error = LastErrnoCode();
        ::close(fd);
        return error;
    }
    // O_NONBLOCK stays set: it kept a FIFO from blocking the open, and reads
    // of a regular file ignore it.
    m_fd = fd;
    m_size = static_cast<std::uint64_t>(st.st_size);
    return {};
}

std::error_code InputFile::pin()
{
    if (m_fd < 0) return ErrnoCode(EBADF);
    if (m_folderFd >= 0) return checkName();
    std::string location = m_path;
    if (location.empty()) return ErrnoCode(EINVAL);
    struct stat st {};
    if (m_links == Links::Follow && ::lstat(location.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        // The walk met a link: the target is what gets written.
        char* resolved = ::realpath(location.c_str(), nullptr);
        if (!resolved) return NameChangedError();
        location = resolved;
        std::free(resolved);
    }
    std::string folder, leaf;
    SplitFolderAndName(location, folder, leaf);
    if (leaf.empty() || leaf == "." || leaf == "..") return ErrnoCode(EINVAL);
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) return LastErrnoCode();
    m_folderFd = folderFd;
    m_leaf = leaf;
    if (const std::error_code error = checkName()) {
        ::close(m_folderFd);
        m_folderFd = -1;
        m_leaf.clear();
        return error;
    }
    m_folderPath = folderPathOf(folderFd, folder);
    m_realPath.clear();
    return {};
}

std::error_code InputFile::checkName() const
{
    if (m_folderFd < 0) return ErrnoCode(EBADF);
    struct stat st {};
    if (::fstatat(m_folderFd, m_leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return NameChangedError();
    if (!S_ISREG(st.st_mode) || FileIdentity::of(st) != currentIdentity()) return NameChangedError();
    return {};
}

const std::string& InputFile::realPath() const
{
    if (!m_realPath.empty()) return m_realPath;
    if (m_folderFd >= 0) {
        m_realPath = m_folderPath == "/" ? "/" + m_leaf : m_folderPath + "/" + m_leaf;
    } else if (!m_path.empty()) {
        char* resolved = ::realpath(m_path.c_str(), nullptr);
        m_realPath = resolved ? resolved : m_path;
        std::free(resolved);
    }
    return m_realPath;
}

std::uint64_t InputFile::nextData(std::uint64_t offset) const
{
    // The descriptor's position is not used for reading (pread), so moving
    // it is harmless.
    const off_t data = ::lseek(m_fd, static_cast<off_t>(offset), SEEK_DATA);
    if (data >= 0) return static_cast<std::uint64_t>(data);
    return errno == ENXIO ? std::max(offset, m_size) : offset;
}

Expected<std::size_t> InputFile::readAt(std::uint64_t offset, char* buffer, std::size_t n) const
{
    std::size_t got = 0;
    while (got < n) {
        const ssize_t read = ::pread(m_fd, buffer + got, n - got, static_cast<off_t>(offset + got));
        if (read < 0) {
            if (errno == EINTR) continue;
            return systemFailure(LastErrnoCode());
        }
        if (read == 0) break;
        got += static_cast<std::size_t>(read);
    }
    return got;
}

}  // namespace tarnwick
