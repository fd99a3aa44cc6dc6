#include "engine/undo/RunJournal.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <vector>

#include "engine/undo/ContentHash.h"
#include "platform/FileCommit.h"
#include "platform/FileOps.h"
#include "platform/InputFile.h"
#include "platform/SystemError.h"

namespace tarnwick {
namespace {

std::string hex(std::uint64_t value)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

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

}  // namespace

// Large files are worth a reflink of their own; small ones cost less appended.
constexpr std::uint64_t kReflinkFrom = 1 << 20;

RunJournal::RunJournal(std::string root, RunKind kind) : m_root(std::move(root)), m_kind(kind)
{
    // Waits for an undo in progress. Without a lock (no room for the root)
    // the run goes on; its first change reports why the journal failed.
    (void)m_lock.acquire(m_root, JournalLock::Mode::Run);
}

RunJournal::~RunJournal() { Close(); }

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
    m_manifest = ::open((m_folder + "/" + kManifestName).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (m_manifest < 0) error = LastErrnoCode();
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
        error = appendLine(head, false);
    }
    if (error) {
        closeFiles();
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
        m_folder.clear();
        return error;
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
    if (out.create(target, true)) return false;
    const bool cloned = ::ioctl(out.descriptor(), FICLONE, file.descriptor()) == 0;
    const bool closed = !out.close();
    if (cloned && closed) return true;
    ::unlink(target.c_str());
    return false;
}

std::error_code RunJournal::appendData(const InputFile& file, std::uint64_t& offset)
{
    offset = m_dataSize;
    std::vector<char> block(static_cast<std::size_t>(std::min<std::uint64_t>(file.size(), 1u << 20)));
    std::uint64_t done = 0;
    while (done < file.size()) {
        std::size_t got = 0;
        if (const std::error_code error = file.readAt(done, block.data(), block.size(), got)) return error;
        if (got == 0) return ErrnoCode(EIO);  // the file got shorter meanwhile
        if (const std::error_code error = WriteAllAt(m_data, block.data(), got, static_cast<off_t>(m_dataSize + done)))
            return error;
        done += got;
    }
    m_dataSize += done;
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

std::error_code RunJournal::settle()
{
    m_deferring = false;
    for (const int fd : m_deferredFds) addSync(fd, {});
    for (const std::string& path : m_deferredPaths) addSync(-1, path);
    m_deferredFds.clear();
    m_deferredPaths.clear();
    return waitStarted();
}

std::error_code RunJournal::Gate::ready()
{
    std::lock_guard lock(m_journal.m_mutex);
    const std::error_code error = m_journal.settle();
    if (error) m_journal.markFailed();
    return error;
}

void RunJournal::NoteBackup(const InputFile& file, const std::string& backupPath)
{
    std::lock_guard lock(m_mutex);
    m_backups[file.realPath()] = backupPath;
}

std::error_code RunJournal::BeforeContents(const InputFile& file, std::uint64_t& entry, bool deferSync)
{
    std::lock_guard lock(m_mutex);
    // A commit that never reached its gate (it failed before) left syncs running.
    if (const std::error_code error = waitStarted()) return error;
    if (const std::error_code error = open()) return error;
    m_deferring = deferSync;
    entry = m_next++;
    const std::string& path = file.realPath();
    std::string previous;
    std::string offsetField;
    const auto backup = m_backups.find(path);
    if (backup != m_backups.end()) {
        previous = backup->second;
        m_backups.erase(backup);
        // The backup was copied without a sync; it now stands for the old contents.
        addSync(-1, previous);
        addSync(-1, std::filesystem::path(previous).parent_path().string());
    } else if (file.size() >= kReflinkFrom && reflinkCopy(file, m_folder + "/" + std::to_string(entry))) {
        previous = std::to_string(entry);
        addSync(-1, m_folder + "/" + previous);
        addSync(-1, m_folder);  // its new entry
    } else {
        std::uint64_t offset = 0;
        if (const std::error_code error = appendData(file, offset)) {
            m_deferring = false;
            return error;
        }
        previous = kDataName;
        offsetField = "\t" + std::to_string(offset);
        addSync(m_data, {});
    }
    std::string line = "file\t" + std::to_string(entry) + "\t";
    AppendField(line, path);
    line += '\t';
    AppendField(line, previous);
    line += "\t" + std::to_string(file.size()) + offsetField + "\n";
    std::error_code error = appendLine(line, false);
    if (!error && m_folderDirty && m_folderFd >= 0) {
        // Once per run: the entries of the manifest and the data file.
        error = FileOps::current().sync(m_folderFd);
        m_folderDirty = false;
    }
    addSync(m_manifest, {});
    m_deferring = false;
    if (error) (void)settle();
    return error;
}

void RunJournal::AfterContents(std::uint64_t entry, bool committed, const std::string& realPath, const std::string_view* written)
{
    std::uint64_t hash = 0;
    std::uint64_t size = 0;
    if (committed && written) {
        ContentHash content;
        content.add(*written);
        hash = content.value();
        size = written->size();
    } else if (committed && HashFile(realPath, hash, size)) {
        // Unreadable right after the commit: an undo will find it changed and leave it.
        hash = 0;
    }
    AfterContentsHashed(entry, committed, size, hash);
}

void RunJournal::AfterContentsHashed(std::uint64_t entry, bool committed, std::uint64_t size, std::uint64_t hash)
{
    std::string line;
    if (committed) {
        line = "wrote\t" + std::to_string(entry) + "\t" + std::to_string(size) + "\t" + hex(hash) + "\n";
    } else {
        line = "failed\t" + std::to_string(entry) + "\n";
    }
    std::lock_guard lock(m_mutex);
    // Not synced: Close() does that once; a lost line makes an undo pass the file over.
    if (m_manifest >= 0) (void)appendLine(line, false);
}

std::error_code RunJournal::BeforeRename(const std::string& from, const std::string& to, std::uint64_t& entry)
{
    std::lock_guard lock(m_mutex);
    if (const std::error_code error = settle()) return error;
    if (const std::error_code error = open()) return error;
    entry = m_next++;
    std::string line = "rename\t" + std::to_string(entry) + "\t";
    AppendField(line, from);
    line += '\t';
    AppendField(line, to);
    line += '\n';
    return appendLine(line, true);
}

void RunJournal::AfterRename(std::uint64_t entry, bool renamed)
{
    if (renamed) return;
    std::lock_guard lock(m_mutex);
    if (m_manifest >= 0) (void)appendLine("failed\t" + std::to_string(entry) + "\n", false);
}

void RunJournal::Close()
{
    std::lock_guard lock(m_mutex);
    closeFiles();
    m_lock.release();
}

void RunJournal::closeFiles()
{
    (void)settle();
    if (m_data >= 0) {
        (void)::fsync(m_data);
        ::close(m_data);
        m_data = -1;
    }
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
