#include "InputFile.h"

#include "Exceptions.h"
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

bool InputFile::open(const std::string& path, Mode mode)
{
    close();
    m_error = 0;
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
            m_error = EACCES;
            return false;
        }
    }
    const int fd = ::open(path.c_str(), (forReplace ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        m_error = errno;
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        m_error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return false;
    }
    m_realPath.clear();
    m_permissions = st.st_mode & 07777;
    m_owner = st.st_uid;
    m_group = st.st_gid;
    m_linkCount = st.st_nlink;
    if (::flock(fd, (forReplace ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        m_error = errno;
        ::close(fd);
        return false;
    }
    // O_NONBLOCK stays set: it kept a FIFO from blocking the open, and reads
    // of a regular file ignore it.
    m_fd = fd;
    m_size = static_cast<std::uint64_t>(st.st_size);
    return true;
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

std::size_t InputFile::readAt(std::uint64_t offset, char* buffer, std::size_t n) const
{
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::pread(m_fd, buffer + done, n - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) continue;
            throw CFileException(SystemErrorText(errno));
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

}  // namespace tarnwick
