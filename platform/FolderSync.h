#pragma once
// Handing a folder's entries to the disk after a rename into it, so the
// rename survives a power loss. Best effort: some file systems cannot sync a
// folder, and the rename has happened either way.
#include <set>
#include <string>

namespace tarnwick {

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

// Syncs `folder` after a rename into it: now, or at the end of the thread's
// FolderSyncBatch.
void SyncFolderAfterCommit(const std::string& folder);

// Syncs the folder that holds `path` now.
void SyncFolderOf(const std::string& path);

// Syncs the folder `folder` now.
void SyncFolder(const std::string& folder);

}  // namespace tarnwick
