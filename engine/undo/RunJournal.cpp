#include "engine/undo/RunJournal.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <vector>

#include "engine/undo/JournalRecovery.h"
#include "platform/FileCommit.h"
#include "platform/FileOps.h"
#include "platform/InputFile.h"
#include "platform/SystemError.h"

namespace tarnwick {
namespace {

// A name that sorts by start time, to the microsecond (UTC):
// 20261209-233112-123456-<pid>[-n].
std::string runName(int attempt)
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    std::tm utc{};
    ::gmtime_r(&now.tv_sec, &utc);
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &utc);
    std::snprintf(text + length, sizeof text - length, "-%06ld", now.tv_nsec / 1000);
    std::string name = std::string(text) + "-" + std::to_string(::getpid());
    if (attempt > 0) name += "-" + std::to_string(attempt);
    return name;
}

// `path` with its folder resolved: absolute and free of links but for its
// last component.
std::string resolvedPath(const std::string& path)
{
    std::string folder, name;
    SplitFolderAndName(path, folder, name);
    char* resolved = ::realpath(folder.c_str(), nullptr);
    if (!resolved) return path;
    std::string real = resolved;
    std::free(resolved);
    return real == "/" ? "/" + name : real + "/" + name;
}

std::string folderOf(const std::string& path)
{
    std::string folder, name;
    SplitFolderAndName(path, folder, name);
    return folder;
}

}  // namespace

// Large files are worth a reflink of their own; small ones cost less appended.
constexpr std::uint64_t kReflinkFrom = 1 << 20;

RunJournal::RunJournal(std::string root, RunKind kind) : m_root(std::move(root)), m_kind(kind)
{
    // Waits for an undo in progress. Without a lock (no room for the root)
    // the run goes on; its first change reports why the journal failed.
    if (!m_lock.acquire(m_root, JournalLock::Mode::Run)) RecoverInterruptedRuns(m_root);
}

RunJournal::~RunJournal() { close(); }

std::string RunJournal::id() const
{
    std::lock_guard lock(m_mutex);
    return m_folder.empty() ? std::string() : std::filesystem::path(m_folder).filename().string();
}

std::string RunJournal::folder() const
{
    std::lock_guard lock(m_mutex);
    return m_folder;
}

void RunJournal::addRoot(const std::string& folder)
{
    char* resolved = ::realpath(folder.c_str(), nullptr);
    if (!resolved) return;
    const std::string real = resolved;
    std::free(resolved);
    std::lock_guard lock(m_mutex);
    if (std::find(m_roots.begin(), m_roots.end(), real) != m_roots.end()) return;
    m_roots.push_back(real);
    if (m_manifest >= 0) {
        std::string line = "root\t";
        AppendField(line, real);
        (void)appendLine(line + "\n", false);
    }
}

std::error_code RunJournal::noteRootFor(const std::string& path)
{
    if (std::any_of(m_roots.begin(), m_roots.end(), [&](const std::string& root) { return IsInside(path, root); })) return {};
    // A link the walk followed out of the start folder: its target's folder
    // is one the run changes things in too.
    const std::string folder = folderOf(path);
    m_roots.push_back(folder);
    std::string line = "root\t";
    AppendField(line, folder);
    return appendLine(line + "\n", false);
}

std::error_code RunJournal::open()
{
    if (m_manifest >= 0) return {};
    std::error_code error;
    std::filesystem::create_directories(m_root, error);
    if (error) return error;
    for (int attempt = 0;; ++attempt) {
        const std::string folder = m_root + "/" + runName(attempt);
        if (::mkdir(folder.c_str(), 0700) == 0) {
            m_folder = folder;
            SyncFolderOf(folder);  // its entry in the root
            break;
        }
        if (errno != EEXIST || attempt > 100) return LastErrnoCode();
    }
    m_manifest = ::open((m_folder + "/" + kManifestName).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (m_manifest < 0) error = LastErrnoCode();
    // Held until close(): nothing prunes or recovers a journal still written.
    if (!error) error = m_ownLock.acquireOpen(m_manifest);
    if (!error) {
        m_data = ::open((m_folder + "/" + kDataName).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (m_data < 0) error = LastErrnoCode();
    }
    if (!error) m_folderFd = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    m_folderDirty = true;
    if (!error) {
        std::string head = "tarnwick-undo\t" + std::to_string(kJournalVersion) + "\nkind\t";
        head += RunKindName(m_kind);
        head += "\ncreated\t" + std::to_string(static_cast<long long>(std::time(nullptr))) + "\n";
        for (const std::string& root : m_roots) {
            head += "root\t";
            AppendField(head, root);
            head += "\n";
        }
        error = appendLine(head, false);
    }
    if (error) {
        closeFiles(false);
        std::filesystem::remove_all(m_folder, error);
        m_folder.clear();
        return error ? error : std::make_error_code(std::errc::io_error);
    }
    return {};
}

std::error_code RunJournal::appendLine(const std::string& line, bool durable)
{
    if (const std::error_code error = WriteAllAt(m_manifest, line.data(), line.size(), static_cast<off_t>(m_manifestSize)))
        return error;
    m_manifestSize += line.size();
    if (!durable) return {};
    if (const std::error_code error = FileOps::current().sync(m_manifest)) return error;
    // New entries of the folder (the manifest, a copy) must survive a power
    // loss too; an append alone adds none.
    if (m_folderDirty && m_folderFd >= 0 && ::fsync(m_folderFd) != 0) return LastErrnoCode();
    m_folderDirty = false;
    return {};
}

bool RunJournal::reflinkCopy(const InputFile& file, const std::string& target)
{
    // A reflink shares the blocks until either file changes: instant, and
    // costs no room.
    OutputFile out;
    if (out.createNew(target)) return false;
    const bool cloned = ::ioctl(out.descriptor(), FICLONE, file.descriptor()) == 0;
    const bool closed = !out.close();
    if (cloned && closed) return true;
    ::unlink(target.c_str());
    return false;
}

std::error_code RunJournal::appendData(const InputFile& file, const std::string_view* previous, std::uint64_t& offset,
                                       Digest& digest)
{
    offset = m_dataSize;
    ContentDigest contents;
    if (previous) {
        if (const std::error_code error = WriteAllAt(m_data, previous->data(), previous->size(), static_cast<off_t>(m_dataSize)))
            return error;
        contents.add(*previous);
        m_dataSize += previous->size();
        digest = contents.finish();
        return {};
    }
    std::vector<char> block(static_cast<std::size_t>(std::min<std::uint64_t>(file.size(), 1u << 20)));
    std::uint64_t done = 0;
    while (done < file.size()) {
        const Expected<std::size_t> read = file.readAt(done, block.data(), block.size());
        if (!read) return read.error().code;
        const std::size_t got = read.value();
        if (got == 0) return ErrnoCode(EIO);  // the file got shorter meanwhile
        if (const std::error_code error = WriteAllAt(m_data, block.data(), got, static_cast<off_t>(m_dataSize + done)))
            return error;
        contents.add(block.data(), got);
        done += got;
    }
    m_dataSize += done;
    digest = contents.finish();
    return {};
}

void RunJournal::addSync(int fd, const std::string& path)
{
    if (m_deferring) {
        if (fd >= 0)
            m_deferredFds.insert(fd);
        else
            m_deferredPaths.insert(path);
        return;
    }
    if (fd >= 0)
        m_sync.addDescriptor(fd);
    else
        m_sync.addPath(path);
    m_syncing = true;
}

std::error_code RunJournal::waitStarted()
{
    if (!m_syncing) return {};
    m_syncing = false;
    return m_sync.wait();
}

std::error_code RunJournal::settleHeld()
{
    m_deferring = false;
    for (const int fd : m_deferredFds) addSync(fd, {});
    for (const std::string& path : m_deferredPaths) addSync(-1, path);
    m_deferredFds.clear();
    m_deferredPaths.clear();
    if (m_manifest >= 0) addSync(m_manifest, {});
    return waitStarted();
}

std::error_code RunJournal::settle()
{
    std::lock_guard lock(m_mutex);
    const std::error_code error = settleHeld();
    if (error) markFailed();
    return error;
}

void RunJournal::noteBackup(const InputFile& file, const std::string& backupPath, const Digest& digest)
{
    std::lock_guard lock(m_mutex);
    m_backups[file.realPath()] = {resolvedPath(backupPath), digest};
}

std::error_code RunJournal::beforeContents(const InputFile& file, const std::string_view* previous, std::uint64_t& entry,
                                           bool deferSync)
{
    std::lock_guard lock(m_mutex);
    // A commit that never reached its gate (it failed before) left syncs running.
    if (const std::error_code error = waitStarted()) return error;
    if (const std::error_code error = open()) return error;
    const std::string& path = file.realPath();
    if (const std::error_code error = noteRootFor(path)) return error;
    m_deferring = deferSync;
    entry = m_next++;
    std::string where;
    std::uint64_t offset = 0;
    Digest digest;
    const auto backup = m_backups.find(path);
    if (backup != m_backups.end()) {
        where = backup->second.path;
        digest = backup->second.digest;
        m_backups.erase(backup);
        // The backup was copied without a sync; it now stands for the old contents.
        addSync(-1, where);
        addSync(-1, folderOf(where));
        if (const std::error_code error = noteRootFor(where)) {
            m_deferring = false;
            return error;
        }
    } else if (!previous && file.size() >= kReflinkFrom && reflinkCopy(file, m_folder + "/" + std::to_string(entry))) {
        where = std::to_string(entry);
        const Expected<Digest> copied = DigestDescriptor(file.descriptor(), 0, file.size());
        if (!copied) {
            m_deferring = false;
            return copied.error().code;
        }
        digest = copied.value();
        addSync(-1, m_folder + "/" + where);
        addSync(-1, m_folder);  // its new entry
    } else {
        if (const std::error_code error = appendData(file, previous, offset, digest)) {
            m_deferring = false;
            return error;
        }
        where = kDataName;
        addSync(m_data, {});
    }
    std::string line = "file\t" + std::to_string(entry) + "\t";
    AppendField(line, path);
    line += '\t';
    AppendField(line, where);
    line += "\t" + std::to_string(digest.size) + "\t" + std::to_string(offset) + "\t" + digest.hex() + "\n";
    std::error_code error = appendLine(line, false);
    if (!error && m_folderDirty && m_folderFd >= 0) {
        // Once per run: the entries of the manifest and the data file.
        error = FileOps::current().sync(m_folderFd);
        m_folderDirty = false;
    }
    addSync(m_manifest, {});
    m_deferring = false;
    if (error) (void)settleHeld();
    return error;
}

std::error_code RunJournal::intend(std::uint64_t entry, const CommitIntent& intent)
{
    std::lock_guard lock(m_mutex);
    if (m_manifest < 0) return ErrnoCode(EBADF);
    std::string line =
        "intend\t" + std::to_string(entry) + "\t" + std::to_string(intent.contents.size) + "\t" + intent.contents.hex() + "\t";
    AppendField(line, intent.temporaryName.empty() ? std::string("-") : intent.temporaryName);
    line += intent.inPlace ? "\tinplace\n" : "\trename\n";
    return appendLine(line, false);
}

void RunJournal::afterContents(std::uint64_t entry, bool committed)
{
    const std::string line = (committed ? "wrote\t" : "failed\t") + std::to_string(entry) + "\n";
    std::lock_guard lock(m_mutex);
    // Not synced: the intent before the change already tells an undo what to do.
    if (m_manifest >= 0) (void)appendLine(line, false);
}

std::error_code RunJournal::beforeRename(const std::string& from, const std::string& to, FileIdentity identity,
                                         std::uint64_t& entry)
{
    std::lock_guard lock(m_mutex);
    if (const std::error_code error = settleHeld()) return error;
    if (const std::error_code error = open()) return error;
    const std::string absoluteFrom = resolvedPath(from), absoluteTo = resolvedPath(to);
    if (const std::error_code error = noteRootFor(absoluteFrom)) return error;
    entry = m_next++;
    std::string line = "rename\t" + std::to_string(entry) + "\t";
    AppendField(line, absoluteFrom);
    line += '\t';
    AppendField(line, absoluteTo);
    line += "\t" + std::to_string(identity.device) + "\t" + std::to_string(identity.inode) + "\n";
    return appendLine(line, true);
}

void RunJournal::afterRename(std::uint64_t entry, bool renamed)
{
    if (renamed) return;
    std::lock_guard lock(m_mutex);
    if (m_manifest >= 0) (void)appendLine("failed\t" + std::to_string(entry) + "\n", false);
}

void RunJournal::close()
{
    std::lock_guard lock(m_mutex);
    closeFiles(true);
    m_lock.release();
}

void RunJournal::closeFiles(bool ended)
{
    (void)settleHeld();
    if (ended && m_manifest >= 0) (void)appendLine("closed\n", false);
    if (m_data >= 0) {
        (void)::fsync(m_data);
        ::close(m_data);
        m_data = -1;
    }
    m_ownLock.release();
    if (m_manifest >= 0) {
        (void)::fsync(m_manifest);
        ::close(m_manifest);
        m_manifest = -1;
    }
    if (m_folderFd >= 0) {
        ::close(m_folderFd);
        m_folderFd = -1;
    }
}

}  // namespace tarnwick
