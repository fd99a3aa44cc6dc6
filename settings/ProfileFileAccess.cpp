#include "settings/ProfileFileAccess.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/FileOps.h"

namespace tarnwick::settings {

namespace {

namespace fs = std::filesystem;

// How long a writer waits for another program that holds the lock.
constexpr auto kLockPatience = std::chrono::seconds(5);
constexpr auto kLockRetryDelay = std::chrono::milliseconds(10);

// A symbolic link (a dotfile manager's, say) is followed so that the new
// contents replace its target rather than the link itself.
std::string ResolveTarget(const std::string& path)
{
    std::error_code error;
    if (!fs::is_symlink(path, error)) return path;
    const fs::path resolved = fs::weakly_canonical(path, error);
    return error || resolved.empty() ? path : resolved.string();
}

bool SyncDirectory(const std::string& directory)
{
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

}  // namespace

FileContents ReadProfileFile(const std::string& path)
{
    FileContents contents;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        contents.exists = errno != ENOENT && errno != ENOTDIR;
        contents.readFailed = contents.exists;
        return contents;
    }
    contents.exists = true;
    if (::fstat(fd, &contents.status) != 0 || !S_ISREG(contents.status.st_mode)) {
        // Never read a FIFO or a device as settings, and never replace one.
        contents.readFailed = true;
        ::close(fd);
        return contents;
    }
    try {
        contents.bytes.reserve(static_cast<std::size_t>(contents.status.st_size));
        char buffer[16384];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got == 0) break;
            if (got < 0) {
                if (errno == EINTR) continue;
                contents.readFailed = true;
                break;
            }
            contents.bytes.append(buffer, static_cast<std::size_t>(got));
        }
    } catch (const std::bad_alloc&) {
        contents.readFailed = true;
    }
    if (contents.readFailed) contents.bytes.clear();
    ::close(fd);
    return contents;
}

ProfileLock::ProfileLock(const std::string& profilePath)
{
    std::error_code error;
    const fs::path directory = fs::path(profilePath).parent_path();
    if (!directory.empty()) fs::create_directories(directory, error);
    m_fd = ::open((profilePath + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) return;
    const auto deadline = std::chrono::steady_clock::now() + kLockPatience;
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
            ::close(m_fd);
            m_fd = -1;
            return;
        }
        std::this_thread::sleep_for(kLockRetryDelay);
    }
}

ProfileLock::~ProfileLock()
{
    // Closing the descriptor releases the lock. The lock file stays: removing
    // it would let two writers lock two different files.
    if (m_fd >= 0) ::close(m_fd);
}

bool ReplaceProfileFile(const std::string& path, const std::string& contents)
{
    const std::string target = ResolveTarget(path);
    mode_t mode = 0600;
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) mode = old.st_mode & 07777;

    std::string tempPath = target + ".XXXXXX";
    const int fd = ::mkostemp(tempPath.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool written = ::fchmod(fd, mode) == 0 && !WriteAllAt(fd, contents.data(), contents.size(), 0) && ::fsync(fd) == 0;
    written = (::close(fd) == 0) && written;
    if (!written || FileOps::current().rename(tempPath.c_str(), target.c_str())) {
        ::unlink(tempPath.c_str());
        return false;
    }
    // The rename is durable only once the directory entry is; a failure here
    // leaves the new file in place all the same.
    SyncDirectory(fs::path(target).parent_path().empty() ? "." : fs::path(target).parent_path().string());
    return true;
}

}  // namespace tarnwick::settings
