#include "results/ExportFile.h"

#include "platform/FileOps.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarnwick {

ExportFile::~ExportFile() { close(); }

int ExportFile::create(const std::string& path)
{
    close();
    // Non-blocking so that a FIFO without a reader fails instead of hanging.
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
    m_offset = 0;
    return m_fd < 0 ? errno : 0;
}

int ExportFile::write(std::string_view data)
{
    if (m_fd < 0) return EBADF;
    const int rc = WriteAllAt(m_fd, data.data(), data.size(), m_offset);
    if (rc == 0) m_offset += static_cast<off_t>(data.size());
    return rc;
}

int ExportFile::close()
{
    if (m_fd < 0) return 0;
    const int rc = ::close(m_fd);
    m_fd = -1;
    return rc == 0 ? 0 : errno;
}

int ReadWholeFile(const std::string& path, std::string& out)
{
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno;
    // Only a regular file can be read whole; a FIFO or device could block
    // or never end.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int rc = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return rc;
    }
    char buffer[1 << 16];
    int rc = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            rc = errno;
            break;
        }
        if (n == 0) break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return rc;
}

}  // namespace tarnwick
