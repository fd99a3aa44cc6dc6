#pragma once
// Putting new contents in place of a file's so that a detected failure loses
// nothing: the new bytes go to a temporary file in the file's own folder,
// which then takes the file's place with one rename. A file with several
// hard links is rewritten in place instead (a rename would cut the other
// links off), after room for the new size has been reserved. Permission
// bits (and, for root, the owner) are kept; a symbolic link stays a link and
// its target gets the new contents. New contents reach the disk before the
// rename, and the folder entry after it, so a power loss leaves the old or
// the new contents, never an empty file. Temporary files are always created
// new under a unique name. Failures are returned as error codes.
#include <set>
#include <string>
#include <string_view>
#include <system_error>

namespace tarnwick {

class InputFile;

// A file being written from the start, e.g. the temporary file of a replace.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates (or truncates) `path` for writing, readable only by the owner
    // until it is installed. With `mustBeNew`, an existing file is an error.
    std::error_code create(const std::string& path, bool mustBeNew = false);
    // Creates a new file with a unique name beginning with `prefix` and
    // ending with `suffix`.
    std::error_code createUnique(const std::string& prefix, const std::string& suffix);
    // Writes `data` at the end. Whole blocks of zeros are not written but
    // left as holes, so that a sparse file stays sparse (close() gives the
    // file its full length).
    std::error_code append(const char* data, std::size_t size);
    // Extends the file by `size` zeros without writing them.
    void appendHole(std::uint64_t size) { m_size += size; }
    // Gives the file its full length and hands its contents to the disk.
    std::error_code sync();
    std::error_code close();
    bool isOpen() const { return m_fd >= 0; }
    const std::string& path() const { return m_path; }
    std::uint64_t size() const { return m_size; }
    int descriptor() const { return m_fd; }

private:
    int m_fd = -1;
    std::string m_path;
    std::uint64_t m_size = 0;
    std::uint64_t m_written = 0;  // the end of what was written, holes not counted
};

// What must be on the disk before a file changes (its undo journal entry):
// a commit waits for it right before the rename, so that the new contents
// are synced meanwhile. An error leaves the file as it is.
class CommitGate {
public:
    virtual ~CommitGate() = default;
    virtual std::error_code ready() = 0;
};

// Replaces the contents of the open `file` by `contents`. `previous` holds
// the current contents, used to restore a hard-linked file rewritten in place
// when a write fails halfway.
std::error_code CommitContents(const InputFile& file, std::string_view contents, std::string_view previous,
                               CommitGate* gate = nullptr);

// A commit in two halves, so that the new contents of many files reach the
// disk together instead of one sync after the other: StageContents writes
// them to a temporary file beside `file` (not a hard-linked one, which
// CommitContents rewrites in place) and starts handing them to the disk;
// CompleteStaged waits until they are there and renames the file into place.
struct StagedCommit {
    std::string tempPath;
    std::string target;
};
std::error_code StageContents(const InputFile& file, std::string_view contents, StagedCommit& staged);
// Removes the temporary file when it fails. `synced`: its contents are on
// the disk already (synced with others).
std::error_code CompleteStaged(const StagedCommit& staged, bool synced = false);
void AbandonStaged(const StagedCommit& staged);

// Lets the closed temporary file at `tempPath` take the place of `file`'s
// contents. The source is never removed first; a temporary file on another
// file system is copied next to the source, then renamed.
std::error_code InstallTemporaryFile(const InputFile& file, const std::string& tempPath, CommitGate* gate = nullptr);

// While one exists on a thread, the folders that commits on that thread
// renamed into are synced once each when it ends (or fills up), instead of
// after every rename: a run changing many files in one folder pays for one
// sync. Until then a power loss can only lose a rename, which leaves the
// file's old contents, whole.
class FolderSyncBatch {
public:
    FolderSyncBatch();
    ~FolderSyncBatch();
    FolderSyncBatch(const FolderSyncBatch&) = delete;
    FolderSyncBatch& operator=(const FolderSyncBatch&) = delete;

    void add(const std::string& folder);
    void flush();

private:
    std::set<std::string> m_folders;
    FolderSyncBatch* m_outer;
};

// Syncs the folder of `path` after a rename into it: now, or at the end of
// the thread's FolderSyncBatch.
void SyncFolderAfterCommit(const std::string& path);

// Hands the folder entries of the folder holding `path` to the disk, so a
// rename into it survives a power loss. Best effort: some file systems
// cannot sync a folder, and the rename has happened either way.
void SyncFolderOf(const std::string& path);

// Copies the open `file` to the new path `target` (which must not exist),
// keeping the permission bits.
std::error_code CopyToNewFile(const InputFile& file, const std::string& target);

}  // namespace tarnwick
