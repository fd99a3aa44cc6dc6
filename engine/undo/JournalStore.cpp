#include "engine/undo/JournalStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/FileOps.h"
#include "platform/SystemError.h"

namespace tarnwick {

std::string JournalRoot()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && *state == '/') return std::string(state) + "/tarnwick/undo";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.local/state/tarnwick/undo";
}

std::string JournalRootOf(const UndoJournalOptions& options) { return options.root.empty() ? JournalRoot() : options.root; }

std::error_code JournalLock::acquire(const std::string& root, Mode mode)
{
    release();
    std::error_code error;
    std::filesystem::create_directories(root, error);
    if (error) return error;
    m_fd = ::open((root + "/lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0) return LastErrnoCode();
    const int operation = mode == Mode::Run ? LOCK_SH : LOCK_EX | LOCK_NB;
    while (::flock(m_fd, operation) != 0) {
        if (errno == EINTR) continue;
        error = LastErrnoCode();
        release();
        return error;
    }
    return {};
}

void JournalLock::release()
{
    if (m_fd < 0) return;
    ::close(m_fd);  // drops the lock
    m_fd = -1;
}

std::error_code JournalFolderLock::tryAcquire(const std::string& folder)
{
    release();
    const int fd = ::open((folder + "/" + kManifestName).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return LastErrnoCode();
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        const std::error_code error = LastErrnoCode();
        ::close(fd);
        return error;
    }
    m_fd = fd;
    m_owned = true;
    return {};
}

std::error_code JournalFolderLock::acquireOpen(int fd)
{
    release();
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        if (errno != EINTR) return LastErrnoCode();
    m_fd = fd;
    m_owned = false;
    return {};
}

void JournalFolderLock::release()
{
    if (m_fd < 0) return;
    if (m_owned)
        ::close(m_fd);
    else
        (void)::flock(m_fd, LOCK_UN);
    m_fd = -1;
}

std::error_code AppendToManifest(const std::string& folder, const std::string& line)
{
    const int fd = ::open((folder + "/" + kManifestName).c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return LastErrnoCode();
    std::error_code error = WriteAll(fd, line.data(), line.size());
    if (!error) error = FileOps::current().sync(fd);
    ::close(fd);
    return error;
}

std::vector<JournalInfo> ListJournals(const std::string& root)
{
    std::vector<JournalInfo> journals;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(root, error)) {
        if (!entry.is_directory(error) || entry.is_symlink(error)) continue;
        JournalInfo info;
        if (!ReadJournal(entry.path().string(), info)) journals.push_back(std::move(info));
    }
    // Names are start times, so the newest sorts last.
    std::sort(journals.begin(), journals.end(), [](const JournalInfo& a, const JournalInfo& b) { return a.id > b.id; });
    return journals;
}

bool HasJournals(const std::string& root)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(root, error)) {
        struct stat st {};
        if (::stat((entry.path().string() + "/" + kManifestName).c_str(), &st) == 0) return true;
    }
    return false;
}

void PruneJournals(const std::string& root, std::uint64_t limitBytes, const std::string& keep)
{
    if (limitBytes == 0) return;
    std::vector<JournalInfo> journals = ListJournals(root);
    std::uint64_t total = 0;
    for (const JournalInfo& journal : journals) total += journal.bytes;
    while (total > limitBytes && !journals.empty()) {
        const JournalInfo& oldest = journals.back();
        JournalFolderLock lock;
        // A run that still writes its journal holds its lock.
        if (oldest.id != keep && !lock.tryAcquire(oldest.folder)) {
            std::error_code error;
            std::filesystem::remove_all(oldest.folder, error);
            total -= oldest.bytes;
        }
        journals.pop_back();
    }
}

}  // namespace tarnwick
