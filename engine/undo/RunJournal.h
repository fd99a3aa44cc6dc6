#pragma once
// The journal one run keeps of the files it changes, so that an undo can
// put them back: before a file's contents change, its previous contents are
// kept (the backup copy when one was made, else a copy in the journal's
// folder, reflinked where the file system allows) and the entry reaches the
// disk; after the change, the size and hash of what was written. Renames are
// recorded before they happen. The folder is made at the first change, so a
// run that changes nothing leaves no journal.
//
// Shared by the threads of one run (a mutex guards it). Every call that must
// precede a change returns an error when the journal could not be written;
// the caller then leaves the file alone.
#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>

#include "engine/undo/JournalStore.h"

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
    // `entry` for AfterContents.
    std::error_code BeforeContents(const InputFile& file, std::uint64_t& entry);
    // The commit of `entry` happened (with `written` the new contents, when
    // they are in memory; else they are read back from the file) or failed.
    void AfterContents(std::uint64_t entry, bool committed, const std::string& realPath, const std::string_view* written);
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
    void closeFiles();
    std::error_code open();  // makes the folder and the manifest
    std::error_code appendLine(const std::string& line, bool durable);
    std::error_code keepCopy(const InputFile& file, const std::string& target);

    mutable std::mutex m_mutex;
    std::string m_root;
    RunKind m_kind;
    std::string m_folder;
    int m_manifest = -1;
    int m_folderFd = -1;
    bool m_folderDirty = false;  // the folder has entries not yet synced
    std::uint64_t m_manifestSize = 0;
    std::uint64_t m_next = 1;
    std::map<std::string, std::string> m_backups;  // real path -> backup copy not yet recorded
    std::atomic<bool>* m_stop = nullptr;
};

}  // namespace tarnwick
