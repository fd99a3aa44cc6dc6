#pragma once
// The journal one run keeps of the files it changes, so that an undo can
// put them back: before a file's contents change, its previous contents are
// kept (the backup copy when one was made, else appended to the journal's
// data file; a large file is reflinked where the file system allows) and the
// entry reaches the disk; after the change, the size and hash of what was
// written. Renames are recorded before they happen. The folder is made at the
// first change, so a run that changes nothing leaves no journal.
//
// A contents entry is synced on helper threads while the caller writes and
// syncs the file's new contents; the commit waits for it (gate()) right
// before the file changes, so the two syncs cost about one.
//
// Shared by the threads of one run (a mutex guards it). Every call that must
// precede a change returns an error when the journal could not be written;
// the caller then leaves the file alone. The run holds the journal store's
// lock shared from the start, so an undo cannot run meanwhile.
#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <system_error>

#include "engine/undo/JournalStore.h"
#include "platform/BackgroundSync.h"
#include "platform/FileCommit.h"

namespace tarnwick {

class InputFile;

class RunJournal {
public:
    RunJournal(std::string root, RunKind kind);
    ~RunJournal();
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;

    // The backup copy just made of `file`, which then stands for its previous contents.
    void NoteBackup(const InputFile& file, const std::string& backupPath);
    // Keeps the previous contents of the open `file` and records them; sets
    // `entry` for AfterContents. The entry is on the disk once gate() is
    // ready; its sync starts now, or with `deferSync` only then, together
    // with those of other entries (a batch of commits).
    std::error_code BeforeContents(const InputFile& file, std::uint64_t& entry, bool deferSync = false);
    // What the commit after BeforeContents waits for before the file changes.
    CommitGate& gate() { return m_gate; }
    // The commit of `entry` happened (with `written` the new contents, when
    // they are in memory; else they are read back from the file) or failed.
    void AfterContents(std::uint64_t entry, bool committed, const std::string& realPath, const std::string_view* written);
    // The same with the size and hash of what was written known.
    void AfterContentsHashed(std::uint64_t entry, bool committed, std::uint64_t size, std::uint64_t hash);
    std::error_code BeforeRename(const std::string& from, const std::string& to, std::uint64_t& entry);
    void AfterRename(std::uint64_t entry, bool renamed);

    // Hands the manifest to the disk and closes it.
    void Close();
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
    class Gate final : public CommitGate {
    public:
        explicit Gate(RunJournal& journal) : m_journal(journal) {}
        std::error_code ready() override;

    private:
        RunJournal& m_journal;
    };

    void closeFiles();
    std::error_code open();  // makes the folder, the manifest and the data file
    std::error_code appendLine(const std::string& line, bool durable);
    std::error_code appendData(const InputFile& file, std::uint64_t& offset);
    bool reflinkCopy(const InputFile& file, const std::string& target);
    void addSync(int fd, const std::string& path);  // to start now or at settle()
    std::error_code waitStarted();  // waits for the syncs started; m_mutex held
    std::error_code settle();  // starts the deferred ones too and waits; m_mutex held

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
    // The data file and the manifest, or a batch's backup copies (each its own sync).
    BackgroundSync m_sync{8};
    bool m_syncing = false;  // syncs started, not yet waited for
    bool m_deferring = false;  // the entry being recorded syncs at settle()
    std::set<int> m_deferredFds;
    std::set<std::string> m_deferredPaths;
    Gate m_gate{*this};
    std::uint64_t m_next = 1;
    std::map<std::string, std::string> m_backups;  // real path -> backup copy not yet recorded
    std::atomic<bool>* m_stop = nullptr;
};

}  // namespace tarnwick
