#include "platform/OutputFile.h"

#include "platform/FileOps.h"
#include "platform/SystemError.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <utility>

namespace tarnwick {
namespace {

constexpr std::size_t kHoleBlock = 64 * 1024;
constexpr char kNameLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool allZero(const char* data, std::size_t size)
{
    static const char zeros[kHoleBlock] = {};
    return std::memcmp(data, zeros, size) == 0;
}

std::string linkPathOf(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

}  // namespace

std::string TemporaryName(const std::string& base, const std::string& suffix)
{
    unsigned char random[6] = {};
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
        // Without random bytes the name is still tried exclusively.
        const auto mix = static_cast<unsigned long>(::getpid()) ^ static_cast<unsigned long>(::time(nullptr));
        for (std::size_t i = 0; i < sizeof random; ++i) random[i] = static_cast<unsigned char>(mix >> (i * 5));
    }
    std::string name = base + ".";
    for (const unsigned char byte : random) name += kNameLetters[byte % (sizeof kNameLetters - 1)];
    return name + suffix;
}

bool IsTemporaryName(const std::string& name, const std::string& suffix)
{
    if (name.size() < suffix.size() + 8 || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) return false;
    const std::size_t dot = name.size() - suffix.size() - 7;
    if (name[dot] != '.') return false;
    for (std::size_t i = dot + 1; i < dot + 7; ++i)
        if (!std::strchr(kNameLetters, name[i]) || name[i] == 0) return false;
    return true;
}

OutputFile::~OutputFile()
{
    if (m_temporary)
        discard();
    else
        (void)close();
}

OutputFile::OutputFile(OutputFile&& other) noexcept { moveFrom(other); }

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept
{
    if (this != &other) {
        discard();
        moveFrom(other);
    }
    return *this;
}

void OutputFile::moveFrom(OutputFile& other) noexcept
{
    m_fd = std::exchange(other.m_fd, -1);
    m_folderFd = std::exchange(other.m_folderFd, -1);
    m_folderPath = std::move(other.m_folderPath);
    m_name = std::move(other.m_name);
    m_temporary = std::exchange(other.m_temporary, false);
    m_size = std::exchange(other.m_size, 0);
    m_written = std::exchange(other.m_written, 0);
    std::swap(m_digest, other.m_digest);
}

void OutputFile::reset()
{
    m_fd = -1;
    m_folderFd = -1;
    m_folderPath.clear();
    m_name.clear();
    m_temporary = false;
    m_size = 0;
    m_written = 0;
    (void)m_digest.finish();
}

std::error_code OutputFile::createNew(const std::string& path)
{
    discard();
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_fd < 0) return LastErrnoCode();
    m_name = path;
    return {};
}

std::error_code OutputFile::createTemporary(int folderFd, const std::string& folderPath, const std::string& base,
                                            const std::string& suffix)
{
    discard();
    const int folder = ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
    if (folder < 0) return LastErrnoCode();
    m_folderFd = folder;
    m_folderPath = folderPath;
    m_temporary = true;
    m_fd = ::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (m_fd >= 0) return {};
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) {
        const std::error_code error = LastErrnoCode();
        discard();
        return error;
    }
    // A file system without unnamed files: a named one, locked so that a
    // clean-up leaves it alone while it is written.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = TemporaryName(base, suffix);
        m_fd = ::openat(folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (m_fd >= 0) {
            m_name = name;
            (void)::flock(m_fd, LOCK_EX | LOCK_NB);
            return {};
        }
        if (errno != EEXIST) break;
    }
    const std::error_code error = LastErrnoCode();
    discard();
    return error;
}

std::error_code OutputFile::createTemporaryAt(const std::string& folder, const std::string& base, const std::string& suffix)
{
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) return LastErrnoCode();
    char* resolved = ::realpath(folder.c_str(), nullptr);
    const std::string real = resolved ? resolved : folder;
    std::free(resolved);
    const std::error_code error = createTemporary(folderFd, real, base, suffix);
    ::close(folderFd);
    return error;
}

std::error_code OutputFile::writeRun(const char* data, std::size_t size, std::uint64_t offset)
{
    if (const std::error_code error = WriteAllAt(m_fd, data, size, static_cast<off_t>(offset))) return error;
    m_written = offset + size;
    return {};
}

std::error_code OutputFile::append(const char* data, std::size_t size)
{
    if (m_fd < 0) return ErrnoCode(EBADF);
    // Runs of bytes to write, split at blocks (aligned in the file) that
    // hold nothing but zeros.
    std::size_t runStart = 0;
    std::size_t at = 0;
    while (at < size) {
        const std::uint64_t offset = m_size + at;
        const std::size_t blockEnd = std::min<std::size_t>(size, at + (kHoleBlock - offset % kHoleBlock));
        if (blockEnd - at == kHoleBlock && allZero(data + at, kHoleBlock)) {
            if (at > runStart)
                if (const std::error_code error = writeRun(data + runStart, at - runStart, m_size + runStart)) return error;
            runStart = blockEnd;
        }
        at = blockEnd;
    }
    if (size > runStart)
        if (const std::error_code error = writeRun(data + runStart, size - runStart, m_size + runStart)) return error;
    m_digest.add(data, size);
    m_size += size;
    return {};
}

void OutputFile::appendHole(std::uint64_t size)
{
    m_digest.addZeros(size);
    m_size += size;
}

std::error_code OutputFile::finishWriting()
{
    if (m_fd < 0) return ErrnoCode(EBADF);
    if (m_written < m_size) {
        if (const std::error_code error = FileOps::current().truncate(m_fd, static_cast<off_t>(m_size))) return error;
        m_written = m_size;
    }
    return {};
}

std::error_code OutputFile::sync()
{
    if (const std::error_code error = finishWriting()) return error;
    return FileOps::current().sync(m_fd);
}

std::error_code OutputFile::close()
{
    if (m_fd < 0) return {};
    std::error_code error = finishWriting();
    if (::close(m_fd) != 0 && !error) error = LastErrnoCode();
    if (m_folderFd >= 0) ::close(m_folderFd);
    m_fd = -1;
    m_folderFd = -1;
    m_temporary = false;
    return error;
}

void OutputFile::discard()
{
    if (m_temporary && !m_name.empty() && m_folderFd >= 0) (void)::unlinkat(m_folderFd, m_name.c_str(), 0);
    if (m_fd >= 0) ::close(m_fd);
    if (m_folderFd >= 0) ::close(m_folderFd);
    reset();
}

std::error_code OutputFile::giveName(const std::string& name)
{
    if (m_fd < 0 || m_folderFd < 0) return ErrnoCode(EBADF);
    if (!m_name.empty()) return {};
    // linkat with AT_EMPTY_PATH needs a capability; the descriptor's entry
    // under /proc does not.
    if (::linkat(AT_FDCWD, linkPathOf(m_fd).c_str(), m_folderFd, name.c_str(), AT_SYMLINK_FOLLOW) != 0) return LastErrnoCode();
    m_name = name;
    (void)::flock(m_fd, LOCK_EX | LOCK_NB);
    return {};
}

void OutputFile::markInstalled() { m_temporary = false; }

}  // namespace tarnwick
