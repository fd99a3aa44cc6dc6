#include "platform/FolderSync.h"

#include "platform/InputFile.h"

#include <fcntl.h>
#include <unistd.h>

namespace tarnwick {
namespace {

thread_local FolderSyncBatch* t_folderBatch = nullptr;

}  // namespace

void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

void SyncFolderOf(const std::string& path)
{
    std::string folder, name;
    SplitFolderAndName(path, folder, name);
    SyncFolder(folder);
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
    for (const std::string& folder : m_folders) SyncFolder(folder);
    m_folders.clear();
}

void SyncFolderAfterCommit(const std::string& folder)
{
    if (t_folderBatch)
        t_folderBatch->add(folder);
    else
        SyncFolder(folder);
}

}  // namespace tarnwick
