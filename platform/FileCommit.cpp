#include "platform/FileCommit.h"

#include "platform/FileAttributes.h"
#include "platform/FileOps.h"
#include "platform/InputFile.h"
#include "platform/SystemError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace tarnwick {
namespace {

constexpr std::size_t kCopyBlock = 1 << 20;

thread_local CommitGate* t_currentGate = nullptr;

std::error_code gateReady(CommitGate* gate, const CommitIntent& intent)
{
    if (!gate) gate = t_currentGate;
    return gate ? gate->ready(intent) : std::error_code();
}

std::error_code ensurePinned(InputFile& file) { return file.isPinned() ? file.checkName() : file.pin(); }

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

// A write in place may clear the set-ID bits (the kernel drops them when a
// file is written): they are given back where the owner may.
void keepModeAfterWrite(const InputFile& file)
{
    struct stat st {};
    if (::fstat(file.descriptor(), &st) == 0 && (st.st_mode & 07777) != file.permissions())
        (void)::fchmod(file.descriptor(), file.permissions());
}

// The temporary file, named, takes the file's place.
std::error_code renameIntoPlace(InputFile& file, OutputFile& temp, const std::string& name)
{
    if (const std::error_code error = temp.giveName(name)) return error;
    // Right before the rename: the name must still be the file that was read.
    if (const std::error_code error = file.checkName()) return error;
    struct stat st {};
    if (::fstat(temp.descriptor(), &st) != 0) return LastErrnoCode();
    if (const std::error_code error = FileOps::current().renameAt(temp.folderDescriptor(), temp.name().c_str(),
                                                                  file.folderDescriptor(), file.leafName().c_str()))
        return error;
    temp.markInstalled();
    file.noteReplacedBy(FileIdentity::of(st));
    SyncFolderAfterCommit(file.folderPath());
    return {};
}

std::string temporaryNameFor(const InputFile& file, const OutputFile& temp)
{
    return temp.hasName() ? temp.name() : TemporaryName(file.leafName());
}

// Rewrites a file in place from memory.
std::error_code rewriteInPlace(InputFile& file, std::string_view contents, std::string_view previous, CommitGate* gate)
{
    FileOps& ops = FileOps::current();
    const int fd = file.descriptor();
    CommitIntent intent;
    intent.contents = ContentDigest::of(contents);
    intent.inPlace = true;
    if (const std::error_code error = gateReady(gate, intent)) return error;
    if (const std::error_code error = file.checkName()) return error;
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
    keepModeAfterWrite(file);
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

// A file that keeps its object (hard links, attributes a new file could not
// carry) gets the new contents copied over the old ones. The old contents
// are put aside first (they need not fit in memory) and copied back when a
// write fails halfway.
std::error_code copyOverInPlace(InputFile& file, OutputFile& temp, const Digest& digest, CommitGate* gate)
{
    FileOps& ops = FileOps::current();
    const int fd = file.descriptor();
    const std::uint64_t newSize = temp.size();
    OutputFile aside;
    std::error_code error = aside.createTemporary(file.folderDescriptor(), file.folderPath(), file.leafName());
    if (!error) error = copyDescriptor(fd, file.size(), aside);
    if (!error) error = ops.allocate(fd, static_cast<off_t>(newSize));
    CommitIntent intent;
    intent.contents = digest;
    intent.inPlace = true;
    if (!error) error = gateReady(gate, intent);
    if (!error) error = file.checkName();
    if (error) return error;
    error = copyInPlace(temp.descriptor(), fd, newSize, true);
    if (!error) error = ops.truncate(fd, static_cast<off_t>(newSize));
    if (!error) error = ops.sync(fd);
    if (error) {
        // The restore writes only where the old contents were; it bypasses
        // the layer whose failure it is repairing.
        if (!copyInPlace(aside.descriptor(), fd, file.size(), false)) (void)::ftruncate(fd, static_cast<off_t>(file.size()));
    }
    keepModeAfterWrite(file);
    return error;
}

bool sameFolder(int a, int b)
{
    struct stat sa {
    }, sb{};
    return ::fstat(a, &sa) == 0 && ::fstat(b, &sb) == 0 && FileIdentity::of(sa) == FileIdentity::of(sb);
}

}  // namespace

ScopedCommitGate::ScopedCommitGate(CommitGate* gate) : m_outer(t_currentGate) { t_currentGate = gate; }
ScopedCommitGate::~ScopedCommitGate() { t_currentGate = m_outer; }
CommitGate* CurrentCommitGate() { return t_currentGate; }

std::error_code CommitContents(InputFile& file, std::string_view contents, std::string_view previous, CommitGate* gate)
{
    if (const std::error_code error = ensurePinned(file)) return error;
    if (file.linkCount() > 1) return rewriteInPlace(file, contents, previous, gate);
    OutputFile temp;
    if (const std::error_code error = temp.createTemporary(file.folderDescriptor(), file.folderPath(), file.leafName()))
        return error;
    std::error_code error = temp.append(contents.data(), contents.size());
    if (!error && CopyFileAttributes(file.descriptor(), temp.descriptor())) {
        temp.discard();
        return rewriteInPlace(file, contents, previous, gate);
    }
    if (!error) error = temp.sync();
    CommitIntent intent;
    intent.contents = temp.takeDigest();
    intent.temporaryName = temporaryNameFor(file, temp);
    if (!error) error = gateReady(gate, intent);
    if (!error) error = renameIntoPlace(file, temp, intent.temporaryName);
    return error;
}

Expected<StageResult> StageContents(InputFile& file, std::string_view contents, StagedCommit& staged)
{
    if (const std::error_code error = ensurePinned(file)) return systemFailure(error);
    if (file.linkCount() > 1) return StageResult::InPlace;
    OutputFile& temp = staged.temp;
    std::error_code error = temp.createTemporary(file.folderDescriptor(), file.folderPath(), file.leafName());
    if (!error) error = temp.append(contents.data(), contents.size());
    if (error) {
        temp.discard();
        return systemFailure(error);
    }
    if (CopyFileAttributes(file.descriptor(), temp.descriptor())) {
        temp.discard();
        return StageResult::InPlace;
    }
    // Only starts the writing: CompleteStaged, or the caller, waits for it.
    (void)::sync_file_range(temp.descriptor(), 0, 0, SYNC_FILE_RANGE_WRITE);
    staged.intent.contents = temp.takeDigest();
    staged.intent.temporaryName = temporaryNameFor(file, temp);
    staged.intent.inPlace = false;
    return StageResult::Staged;
}

std::error_code CompleteStaged(InputFile& file, StagedCommit& staged, bool synced)
{
    std::error_code error;
    if (!synced) error = staged.temp.sync();
    if (!error) error = renameIntoPlace(file, staged.temp, staged.intent.temporaryName);
    if (error) staged.temp.discard();
    return error;
}

std::error_code InstallTemporaryFile(InputFile& file, OutputFile& temp, CommitGate* gate)
{
    struct Discard {
        OutputFile& temp;
        ~Discard() { temp.discard(); }
    } discard{temp};
    if (const std::error_code error = ensurePinned(file)) return error;
    if (const std::error_code error = temp.finishWriting()) return error;
    const Digest digest = temp.takeDigest();
    if (file.linkCount() > 1) return copyOverInPlace(file, temp, digest, gate);
    OutputFile local;
    OutputFile* replacement = &temp;
    if (!sameFolder(temp.folderDescriptor(), file.folderDescriptor())) {
        // The temporary file lies elsewhere, perhaps on another file system:
        // copy it next to the file first, so that the last step is a rename.
        if (const std::error_code error = local.createTemporary(file.folderDescriptor(), file.folderPath(), file.leafName()))
            return error;
        if (const std::error_code error = copyDescriptor(temp.descriptor(), temp.size(), local)) return error;
        (void)local.takeDigest();
        replacement = &local;
    }
    if (CopyFileAttributes(file.descriptor(), replacement->descriptor())) return copyOverInPlace(file, temp, digest, gate);
    if (const std::error_code error = replacement->sync()) return error;
    CommitIntent intent;
    intent.contents = digest;
    intent.temporaryName = temporaryNameFor(file, *replacement);
    if (const std::error_code error = gateReady(gate, intent)) return error;
    return renameIntoPlace(file, *replacement, intent.temporaryName);
}

std::error_code CopyToNewFile(const InputFile& file, const std::string& target, Digest* digest)
{
    // Written unnamed, then given its name: a copy appears whole or not at
    // all, and a name someone else took meanwhile is not replaced.
    std::string folder, name;
    SplitFolderAndName(target, folder, name);
    OutputFile out;
    if (const std::error_code error = out.createTemporaryAt(folder, name)) return error;
    std::error_code error = copyDescriptor(file.descriptor(), file.size(), out);
    if (!error) CopyAttributesOrCloseCopy(file.descriptor(), out.descriptor());
    if (!error) error = out.finishWriting();
    if (!error && out.hasName() &&
        ::renameat2(out.folderDescriptor(), out.name().c_str(), out.folderDescriptor(), name.c_str(), RENAME_NOREPLACE) != 0)
        error = LastErrnoCode();
    else if (!error && !out.hasName())
        error = out.giveName(name);
    if (error) return error;
    out.markInstalled();
    if (digest) *digest = out.takeDigest();
    return {};
}

}  // namespace tarnwick
