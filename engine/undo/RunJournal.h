#pragma once
// The journal one run keeps of the files it changes, so that an undo can
// put them back and a crash at any point leaves nothing it cannot settle:
// before a file's contents change, its previous contents are kept (the
// backup copy when one was made, else appended to the journal's data file;
// a large file is reflinked where the file system allows) with their digest;
// right before the change reaches the file, the digest of the new contents
// (the intent) is on the disk. Renames are recorded, with the object
// renamed, before they happen. Paths are absolute, resolved when recorded,
// inside folders the journal names (the run's start folder, a link target's
// folder). The folder is made at the first change, so a run that changes
// nothing leaves no journal.
//
// A contents entry is synced on helper threads while the caller writes and
// syncs the file's new contents; the commit waits for it (settle()) right
// before the file changes, so the two syncs cost about one.
//
// Shared by the threads of one run (a mutex guards it). Every call that must
// precede a change returns an error when the journal could not be written;
// the caller then leaves the file alone. The run holds the journal store's
// lock shared, and its own journal's lock, from the start to close().
#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "engine/undo/JournalStore.h"
#include "platform/BackgroundSync.h"
#include "platform/CommitGate.h"
#include "platform/ContentDigest.h"

namespace tarnwick {

class InputFile;

class RunJournal {
public:
    // Begins by settling the journals of runs that ended in a crash
    // (RecoverInterruptedRuns).
    RunJournal(std::string root, RunKind kind);
    ~RunJournal();
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;

    // A folder the run changes things in (its start folder), resolved now.
    void addRoot(const std::string& folder);

    // The backup copy just made of `file` (with the digest of what was
    // copied), which then stands for its previous contents.
    void noteBackup(const InputFile& file, const std::string& backupPath, const Digest& digest);
    // Keeps the previous contents of the open, pinned `file` (`previous`,
    // when they are in memory; else read from the file) and records them;
    // sets `entry`. The entry is on the disk once settle() returned; its
    // sync starts now, or with `deferSync` only then, together with those of
    // other entries (a batch of commits).
    std::error_code beforeContents(const InputFile& file, const std::string_view* previous, std::uint64_t& entry,
                                   bool deferSync = false);
    // Records what `entry`'s file is about to hold; on the disk after settle().
    std::error_code intend(std::uint64_t entry, const CommitIntent& intent);
    // Waits until everything recorded is on the disk.
    std::error_code settle();
    // The commit of `entry` happened or failed.
    void afterContents(std::uint64_t entry, bool committed);
    // Before `from` (the object `identity`) is renamed to `to`: on the disk
    // when this returns.
    std::error_code beforeRename(const std::string& from, const std::string& to, FileIdentity identity, std::uint64_t& entry);
    void afterRename(std::uint64_t entry, bool renamed);

    // Records the end of the run, hands the manifest to the disk, closes it
    // and lets go of the locks.
    void close();
    // The run's id (its folder's name); empty while nothing was recorded.
    std::string id() const;
    std::string folder() const;

    // Where a failure to write the journal stops the run.
    void setStopFlag(std::atomic<bool>* stop) { m_stop = stop; }
    void markFailed()
    {
        if (m_stop) m_stop->store(true);
    }

private:
    void closeFiles(bool ended);
    std::error_code open();  // makes the folder, the manifest and the data file
    std::error_code appendLine(const std::string& line, bool durable);
    std::error_code noteRootFor(const std::string& path);
    std::error_code appendData(const InputFile& file, const std::string_view* previous, std::uint64_t& offset, Digest& digest);
    bool reflinkCopy(const InputFile& file, const std::string& target);
    void addSync(int fd, const std::string& path);  // to start now or at settleHeld()
    std::error_code waitStarted();  // waits for the syncs started; m_mutex held
    std::error_code settleHeld();  // starts the deferred ones too and waits; m_mutex held

    mutable std::mutex m_mutex;
    std::string m_root;
    RunKind m_kind;
    std::string m_folder;
    int m_manifest = -1;
    int m_data = -1;
    int m_folderFd = -1;
    bool m_folderDirty = false;  // the folder has entries not yet synced
    std::uint64_t m_manifestSize = 0;
    std::uint64_t m_dataSize = 0;
    JournalLock m_lock;
    JournalFolderLock m_ownLock;
    std::vector<std::string> m_roots;
    // The data file and the manifest, or a batch's backup copies (each its own sync).
    BackgroundSync m_sync{8};
    bool m_syncing = false;  // syncs started, not yet waited for
    bool m_deferring = false;  // the entry being recorded syncs at settleHeld()
    std::set<int> m_deferredFds;
    std::set<std::string> m_deferredPaths;
    std::uint64_t m_next = 1;
    struct Backup {
        std::string path;
        Digest digest;
    };
    std::map<std::string, Backup> m_backups;  // real path -> backup copy not yet recorded
    std::atomic<bool>* m_stop = nullptr;
};

}  // namespace tarnwick
