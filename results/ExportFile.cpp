#include "results/ExportFile.h"

#include "platform/FileOps.h"
#include "platform/SystemError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarnwick {

ExportFile::~ExportFile() { close(); }

std::error_code ExportFile::create(const std::string& path)
{
    close();
    // Non-blocking so that a FIFO without a reader fails instead of hanging.
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
    m_offset = 0;
    return m_fd < 0 ? LastErrnoCode() : std::error_code();
}

std::error_code ExportFile::write(std::string_view data)
{
    if (m_fd < 0) return ErrnoCode(EBADF);
    const std::error_code error = WriteAllAt(m_fd, data.data(), data.size(), m_offset);
    if (!error) m_offset += static_cast<off_t>(data.size());
    return error;
}

std::error_code ExportFile::close()
{
    if (m_fd < 0) return {};
    const int rc = ::close(m_fd);
    m_fd = -1;
    return rc == 0 ? std::error_code() : LastErrnoCode();
}

std::error_code ReadWholeFile(const std::string& path, std::string& out)
{
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return LastErrnoCode();
    // Only a regular file can be read whole; a FIFO or device could block
    // or never end.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const std::error_code rc = ErrnoCode(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        ::close(fd);
        return rc;
    }
    char buffer[1 << 16];
    std::error_code rc;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            rc = LastErrnoCode();
            break;
        }
        if (n == 0) break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return rc;
}

}  // namespace tarnwick
