#include "InputFile.h"

#include "SystemError.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace tarnwick {

InputFile::~InputFile() { close(); }

void InputFile::close()
{
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

std::error_code InputFile::open(const std::string& path, Mode mode)
{
    close();
    const bool forReplace = mode == Mode::Replace;
    // Only a replace needs the path later; a search keeps no copy (no
    // allocation per searched file).
    if (forReplace)
        m_path = path;
    else
        m_path.clear();
    if (forReplace) {
        struct stat target {};
        if (::stat(path.c_str(), &target) == 0 && S_ISREG(target.st_mode) && !(target.st_mode & S_IWUSR)) {
            return ErrnoCode(EACCES);
        }
    }
    const int fd = ::open(path.c_str(), (forReplace ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return LastErrnoCode();
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ErrnoCode(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    }
    m_realPath.clear();
    m_permissions = st.st_mode & 07777;
    m_owner = st.st_uid;
    m_group = st.st_gid;
    m_linkCount = st.st_nlink;
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

const std::string& InputFile::realPath() const
{
    if (m_realPath.empty() && !m_path.empty()) {
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

std::error_code InputFile::readAt(std::uint64_t offset, char* buffer, std::size_t n, std::size_t& got) const
{
    got = 0;
    while (got < n) {
        const ssize_t read = ::pread(m_fd, buffer + got, n - got, static_cast<off_t>(offset + got));
        if (read < 0) {
            if (errno == EINTR) continue;
            return LastErrnoCode();
        }
        if (read == 0) break;
        got += static_cast<std::size_t>(read);
    }
    return {};
}

}  // namespace tarnwick
