#include "settings/ProfileFileAccess.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/FileWrite.h"
#include "platform/SystemError.h"

namespace tarnwick::settings {

namespace {

namespace fs = std::filesystem;

ProfileFiles g_realFiles;
ProfileFiles* g_files = &g_realFiles;

// How long a writer waits for another program that holds the lock.
constexpr auto kLockPatience = std::chrono::seconds(5);
constexpr auto kLockRetryDelay = std::chrono::milliseconds(10);

}  // namespace

FileContents ReadProfileFile(const std::string& path)
{
    FileContents contents;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        contents.exists = errno != ENOENT && errno != ENOTDIR;
        if (contents.exists) contents.readError = LastErrnoCode();
        return contents;
    }
    contents.exists = true;
    if (::fstat(fd, &contents.status) != 0) {
        contents.readError = LastErrnoCode();
        ::close(fd);
        return contents;
    }
    if (!S_ISREG(contents.status.st_mode)) {
        // Never read a FIFO or a device as settings, and never replace one.
        contents.readError = ErrnoCode(S_ISDIR(contents.status.st_mode) ? EISDIR : EINVAL);
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
                contents.readError = LastErrnoCode();
                break;
            }
            contents.bytes.append(buffer, static_cast<std::size_t>(got));
        }
    } catch (const std::bad_alloc&) {
        contents.readError = ErrnoCode(ENOMEM);
    }
    if (contents.readError) contents.bytes.clear();
    ::close(fd);
    return contents;
}

ProfileLock::ProfileLock(const std::string& profilePath)
{
    std::error_code error;
    const fs::path directory = fs::path(profilePath).parent_path();
    if (!directory.empty()) fs::create_directories(directory, error);
    m_fd = ::open((profilePath + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        m_error = LastErrnoCode();
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + kLockPatience;
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
            // Out of patience, the code is EWOULDBLOCK: another writer holds the lock.
            m_error = LastErrnoCode();
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

Expected<void> ReplaceProfileFile(const std::string& path, const std::string& contents)
{
    // The one commit every writer uses: a link (a dotfile manager's, say)
    // keeps pointing at the file, which keeps its mode, owner and attributes;
    // a new settings file is the user's alone.
    if (const std::error_code error = WriteFileContents(path, contents, 0600)) return systemFailure(error);
    return succeeded();
}

bool ProfileFiles::status(const std::string& path, struct stat& out) { return ::stat(path.c_str(), &out) == 0; }

FileContents ProfileFiles::read(const std::string& path) { return ReadProfileFile(path); }

Expected<void> ProfileFiles::replace(const std::string& path, const std::string& contents)
{
    return ReplaceProfileFile(path, contents);
}

ProfileFiles& ProfileFiles::current() { return *g_files; }

void ProfileFiles::install(ProfileFiles* files) { g_files = files ? files : &g_realFiles; }

}  // namespace tarnwick::settings
