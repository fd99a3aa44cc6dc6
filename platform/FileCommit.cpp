#include "platform/FileCommit.h"

#include "platform/FileOps.h"
#include "platform/InputFile.h"
#include "platform/SystemError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tarnwick {
namespace {

constexpr std::size_t kCopyBlock = 1 << 20;

// Gives a new file the permission bits and, where allowed, the owner of the
// file it replaces.
void adoptAttributes(int fd, const InputFile& file)
{
    if (::geteuid() == 0) (void)::fchown(fd, file.owner(), file.group());
    ::fchmod(fd, file.permissions());
}

std::string directoryOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

// Copies `size` bytes from `fromFd` (at 0) to the end of `out`.
std::error_code copyDescriptor(int fromFd, std::uint64_t size, OutputFile& out)
{
    std::vector<char> block(kCopyBlock);
    std::uint64_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fromFd, block.data(), block.size(), static_cast<off_t>(done));
        if (got < 0) {
            if (errno == EINTR) continue;
            return LastErrnoCode();
        }
        if (got == 0) return ErrnoCode(EIO);  // the file got shorter while it was copied
        if (const std::error_code error = out.append(block.data(), static_cast<std::size_t>(got))) return error;
        done += static_cast<std::uint64_t>(got);
    }
    return {};
}

std::error_code gateReady(CommitGate* gate) { return gate ? gate->ready() : std::error_code(); }

thread_local FolderSyncBatch* t_folderBatch = nullptr;

// Rewrites a hard-linked file in place.
std::error_code rewriteInPlace(const InputFile& file, std::string_view contents, std::string_view previous, CommitGate* gate)
{
    FileOps& ops = FileOps::current();
    const int fd = file.descriptor();
    if (const std::error_code error = gateReady(gate)) return error;
    // Reserving the room first turns "disk full" into a failure before any
    // byte has changed.
    if (const std::error_code error = ops.allocate(fd, static_cast<off_t>(contents.size()))) return error;
    std::error_code error = WriteAllAt(fd, contents.data(), contents.size(), 0);
    if (!error && contents.size() < previous.size()) error = ops.truncate(fd, static_cast<off_t>(contents.size()));
    if (!error) error = ops.sync(fd);
    if (error) {
        // Put the old bytes back; they fit, the room was there before.
        WriteAllAt(fd, previous.data(), previous.size(), 0);
        ops.truncate(fd, static_cast<off_t>(previous.size()));
    }
    return error;
}

// Copies `size` bytes from `fromFd` over the file at `toFd` from offset 0,
// through the injectable layer when `injectable`.
std::error_code copyInPlace(int fromFd, int toFd, std::uint64_t size, bool injectable)
{
    std::vector<char> block(kCopyBlock);
    for (std::uint64_t done = 0; done < size;) {
        const ssize_t got = ::pread(fromFd, block.data(), block.size(), static_cast<off_t>(done));
        if (got <= 0) return got < 0 ? LastErrnoCode() : ErrnoCode(EIO);
        const auto length = static_cast<std::size_t>(got);
        std::error_code error;
        if (injectable) {
            error = WriteAllAt(toFd, block.data(), length, static_cast<off_t>(done));
        } else {
            for (std::size_t written = 0; written < length && !error;) {
                const ssize_t n = ::pwrite(toFd, block.data() + written, length - written, static_cast<off_t>(done + written));
                if (n < 0 && errno != EINTR) error = LastErrnoCode();
                if (n > 0) written += static_cast<std::size_t>(n);
            }
        }
        if (error) return error;
        done += length;
    }
    return {};
}

// Every link of a hard-linked file must see the new contents, so they are
// copied over the old ones. The old contents are put aside first (they do
// not fit in memory) and copied back when a write fails halfway.
std::error_code copyOverHardLinkedFile(const InputFile& file, int newFd, std::uint64_t newSize, CommitGate* gate)
{
    FileOps& ops = FileOps::current();
    const int fd = file.descriptor();
    OutputFile aside;
    std::error_code error = aside.createUnique(file.realPath(), ".trwtmp8");
    if (!error) error = copyDescriptor(fd, file.size(), aside);
    if (!error) error = ops.allocate(fd, static_cast<off_t>(newSize));
    if (!error) error = gateReady(gate);
    if (error) {
        if (!aside.path().empty()) ::unlink(aside.path().c_str());
        return error;
    }
    error = copyInPlace(newFd, fd, newSize, true);
    if (!error) error = ops.truncate(fd, static_cast<off_t>(newSize));
    if (!error) error = ops.sync(fd);
    if (error) {
        // The restore writes only where the old contents were; it bypasses
        // the layer whose failure it is repairing.
        const int asideFd = ::open(aside.path().c_str(), O_RDONLY | O_CLOEXEC);
        if (asideFd >= 0 && !copyInPlace(asideFd, fd, file.size(), false)) (void)::ftruncate(fd, static_cast<off_t>(file.size()));
        if (asideFd >= 0) ::close(asideFd);
    }
    aside.close();
    ::unlink(aside.path().c_str());
    return error;
}

}  // namespace

OutputFile::~OutputFile() { close(); }

std::error_code OutputFile::create(const std::string& path, bool mustBeNew)
{
    close();
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (mustBeNew ? O_EXCL : O_TRUNC), 0600);
    if (m_fd < 0) return LastErrnoCode();
    m_path = path;
    m_size = 0;
    m_written = 0;
    return {};
}

std::error_code OutputFile::createUnique(const std::string& prefix, const std::string& suffix)
{
    close();
    std::string name = prefix + ".XXXXXX" + suffix;
    m_fd = ::mkostemps(name.data(), static_cast<int>(suffix.size()), O_CLOEXEC);
    if (m_fd < 0) return LastErrnoCode();
    m_path = name;
    m_size = 0;
    m_written = 0;
    return {};
}

namespace {

constexpr std::size_t kHoleBlock = 64 * 1024;

bool allZero(const char* data, std::size_t size)
{
    static const char zeros[kHoleBlock] = {};
    return std::memcmp(data, zeros, size) == 0;
}

}  // namespace

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
            if (at > runStart) {
                if (const std::error_code error =
                        WriteAllAt(m_fd, data + runStart, at - runStart, static_cast<off_t>(m_size + runStart)))
                    return error;
                m_written = m_size + at;
            }
            runStart = blockEnd;
        }
        at = blockEnd;
    }
    if (size > runStart) {
        if (const std::error_code error =
                WriteAllAt(m_fd, data + runStart, size - runStart, static_cast<off_t>(m_size + runStart)))
            return error;
        m_written = m_size + size;
    }
    m_size += size;
    return {};
}

std::error_code OutputFile::sync()
{
    if (m_fd < 0) return ErrnoCode(EBADF);
    if (m_written < m_size) {
        if (::ftruncate(m_fd, static_cast<off_t>(m_size)) != 0) return LastErrnoCode();
        m_written = m_size;
    }
    return FileOps::current().sync(m_fd);
}

std::error_code OutputFile::close()
{
    if (m_fd < 0) return {};
    // A hole at the end has no bytes to give the file its length.
    std::error_code error;
    if (m_written < m_size && ::ftruncate(m_fd, static_cast<off_t>(m_size)) != 0) error = LastErrnoCode();
    const int rc = ::close(m_fd);
    m_fd = -1;
    if (rc != 0 && !error) error = LastErrnoCode();
    return error;
}

std::error_code CommitContents(const InputFile& file, std::string_view contents, std::string_view previous, CommitGate* gate)
{
    if (file.linkCount() > 1) return rewriteInPlace(file, contents, previous, gate);
    OutputFile temp;
    if (const std::error_code error = temp.createUnique(file.realPath(), ".trwtmp8")) return error;
    std::error_code error = temp.append(contents.data(), contents.size());
    if (!error) adoptAttributes(temp.descriptor(), file);
    if (!error) error = temp.sync();
    const std::error_code closeError = temp.close();
    if (!error) error = closeError;
    if (!error) error = gateReady(gate);
    if (!error) error = FileOps::current().rename(temp.path().c_str(), file.realPath().c_str());
    if (error) {
        ::unlink(temp.path().c_str());
        return error;
    }
    SyncFolderAfterCommit(file.realPath());
    return {};
}

std::error_code StageContents(const InputFile& file, std::string_view contents, StagedCommit& staged)
{
    OutputFile temp;
    if (const std::error_code error = temp.createUnique(file.realPath(), ".trwtmp8")) return error;
    staged.tempPath = temp.path();
    staged.target = file.realPath();
    std::error_code error = temp.append(contents.data(), contents.size());
    if (!error) adoptAttributes(temp.descriptor(), file);
    // Only starts the writing: CompleteStaged waits for it.
    if (!error) (void)::sync_file_range(temp.descriptor(), 0, 0, SYNC_FILE_RANGE_WRITE);
    const std::error_code closeError = temp.close();
    if (!error) error = closeError;
    if (error) AbandonStaged(staged);
    return error;
}

std::error_code CompleteStaged(const StagedCommit& staged, bool synced)
{
    FileOps& ops = FileOps::current();
    std::error_code error;
    if (!synced) {
        const int fd = ::open(staged.tempPath.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) error = LastErrnoCode();
        if (!error) error = ops.sync(fd);
        if (fd >= 0) ::close(fd);
    }
    if (!error) error = ops.rename(staged.tempPath.c_str(), staged.target.c_str());
    if (error) {
        AbandonStaged(staged);
        return error;
    }
    SyncFolderAfterCommit(staged.target);
    return {};
}

void AbandonStaged(const StagedCommit& staged)
{
    if (!staged.tempPath.empty()) ::unlink(staged.tempPath.c_str());
}

std::error_code InstallTemporaryFile(const InputFile& file, const std::string& tempPath, CommitGate* gate)
{
    FileOps& ops = FileOps::current();
    const int tempFd = ::open(tempPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (tempFd < 0) return LastErrnoCode();
    struct stat st {};
    ::fstat(tempFd, &st);
    const auto size = static_cast<std::uint64_t>(st.st_size);

    if (file.linkCount() > 1) {
        const std::error_code error = copyOverHardLinkedFile(file, tempFd, size, gate);
        ::close(tempFd);
        if (!error) ::unlink(tempPath.c_str());
        return error;
    }

    std::error_code error;
    if (directoryOf(tempPath) == directoryOf(file.realPath())) {
        ::fchmod(tempFd, file.permissions());
        if (::geteuid() == 0) (void)::fchown(tempFd, file.owner(), file.group());
        error = ops.sync(tempFd);
        ::close(tempFd);
        if (!error) error = gateReady(gate);
        if (!error) error = ops.rename(tempPath.c_str(), file.realPath().c_str());
        if (!error) SyncFolderAfterCommit(file.realPath());
        return error;
    }
    // The temporary file lies elsewhere, perhaps on another file system: copy
    // it next to the source first, so that the last step is still a rename.
    OutputFile local;
    error = local.createUnique(file.realPath(), ".trwtmp8");
    if (!error) error = copyDescriptor(tempFd, size, local);
    ::close(tempFd);
    if (!error) adoptAttributes(local.descriptor(), file);
    if (!error) error = local.sync();
    const std::error_code closeError = local.close();
    if (!error) error = closeError;
    if (!error) error = gateReady(gate);
    if (!error) error = ops.rename(local.path().c_str(), file.realPath().c_str());
    if (error) {
        if (!local.path().empty()) ::unlink(local.path().c_str());
        return error;
    }
    SyncFolderAfterCommit(file.realPath());
    ::unlink(tempPath.c_str());
    return {};
}

void SyncFolderOf(const std::string& path)
{
    const int fd = ::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

FolderSyncBatch::FolderSyncBatch() : m_outer(t_folderBatch) { t_folderBatch = this; }

FolderSyncBatch::~FolderSyncBatch()
{
    flush();
    t_folderBatch = m_outer;
}

void FolderSyncBatch::add(const std::string& folder)
{
    m_folders.insert(folder);
    // Bounded, and a long run's early renames are not left unsynced for long.
    if (m_folders.size() >= 256) flush();
}

void FolderSyncBatch::flush()
{
    for (const std::string& folder : m_folders) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) continue;
        (void)::fsync(fd);
        ::close(fd);
    }
    m_folders.clear();
}

void SyncFolderAfterCommit(const std::string& path)
{
    if (t_folderBatch)
        t_folderBatch->add(directoryOf(path));
    else
        SyncFolderOf(path);
}

std::error_code CopyToNewFile(const InputFile& file, const std::string& target)
{
    OutputFile out;
    if (const std::error_code error = out.create(target, true)) return error;
    std::error_code error;
    if (!error) error = copyDescriptor(file.descriptor(), file.size(), out);
    if (!error) ::fchmod(out.descriptor(), file.permissions());
    const std::error_code closeError = out.close();
    if (!error) error = closeError;
    if (error) ::unlink(target.c_str());
    return error;
}

}  // namespace tarnwick
