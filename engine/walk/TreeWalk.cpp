#include "engine/walk/TreeWalk.h"

#include "engine/Messages.h"
#include "engine/job/RunContext.h"
#include "engine/job/RunReports.h"
#include "engine/walk/UnavailableDocumentEngine.h"
#include "results/ResultList.h"

namespace tarnwick {

void JoinPath(std::string& out, const std::string& directory, const std::string& name)
{
    out.assign(directory);
    if (out.empty() || out.back() != '/') out.push_back('/');
    out.append(name);
}

TreeWalk::TreeWalk(RunContext& run) : m_run(run), m_filter(run.job) {}

DocumentEngine& TreeWalk::documents()
{
    static UnavailableDocumentEngine unavailable;
    return m_run.documents ? *m_run.documents : unavailable;
}

void TreeWalk::walk(const std::string& directory)
{
    if (m_run.stopRequested()) return;
    const bool progress = showsProgress();
    if (progress) m_run.showStatus(directory);
    const std::size_t depth = m_path.size();
    if (m_listings.size() <= depth) m_listings.resize(depth + 1);
    if (!m_listings[depth]) m_listings[depth] = std::make_unique<DirectoryListing>();
    DirectoryReader reader(directory, m_run.codePage, *m_listings[depth]);
    // A folder that cannot be listed is reported, so that no part of the tree
    // is skipped without a word; the start folder too (the front ends refuse
    // a missing one, so here it went away after that check).
    if (reader.error()) {
        ReportUnreadableDirectory(m_run, directory, reader.error());
        m_run.sink.endEntry();
    }
    if (!reader.isOpen()) return;
    DirEntry entry;
    std::string path;
    std::vector<std::string> names;
    while (reader.readName(entry)) {
        JoinPath(path, directory, entry.name);
        if (progress) m_run.showStatus(path);
        if (m_run.stopRequested()) return;
        if (progress) m_run.counters.examined.fetch_add(1, std::memory_order_relaxed);
        try {
            if (const Expected<void> done = processEntry(reader, entry, path, names); !done)
                ReportEntryFailure(m_run, path, done.error());
        } catch (...) {
            // What C++ itself throws (memory of a standard container, ...).
            ReportEntryException(m_run, path, unknownErrorText());
        }
        m_run.sink.endEntry();
    }
    reader.close();
    // Renaming the directories of this level cannot disturb its listing now.
    if (!m_run.stopRequested()) levelFinished(directory, names);
}

Expected<void> TreeWalk::processEntry(DirectoryReader& reader, DirEntry& entry, const std::string& path,
                                      std::vector<std::string>& names)
{
    // A regular file the name filters reject is skipped before any stat.
    if (entry.type == EntryType::File && !entry.isSymlink && m_filter.fileRejectedByName(entry)) return succeeded();
    if (needsStat(entry) && !reader.stat(entry)) return succeeded();  // vanished since it was listed
    if (entry.isDirectory()) {
        processDirectory(entry, path, names);
        return succeeded();
    }
    if (!m_filter.admitFile(entry) || skipsFile(entry, path) || !m_filter.passesType(entry.name)) return succeeded();
    m_run.counters.admitted.fetch_add(1, std::memory_order_relaxed);
    m_folderFd = reader.descriptor();
    return processFile(entry, path);
}

void TreeWalk::processDirectory(const DirEntry& entry, const std::string& path, std::vector<std::string>& names)
{
    if (m_filter.directoryExcluded(entry)) return;
    // A link to a directory is listed and name-tested but not entered, and
    // a directory met before on the current path (a bind mount) is not
    // entered again: no endless walks, no escape from the tree.
    if (m_run.job.includeSubfolders && !entry.isSymlink && !onCurrentPath(entry)) {
        m_path.push_back({entry.device, entry.inode});
        walk(path);
        m_path.pop_back();
    }
    // The name is tested after everything below the directory.
    if (m_run.job.searchDirNames && m_filter.passesDates(entry) && m_filter.passesNameStrings(entry.name)) {
        m_run.counters.admitted.fetch_add(1, std::memory_order_relaxed);
        processDirectoryName(entry, path, names);
    }
}

bool TreeWalk::needsStat(const DirEntry& entry) const
{
    return statsEveryEntry() || !entry.typeKnown() || entry.isDirectory() || m_filter.needsFileAttributes();
}

bool TreeWalk::onCurrentPath(const DirEntry& entry) const
{
    const DirectoryId id{entry.device, entry.inode};
    for (const DirectoryId& seen : m_path)
        if (seen == id) return true;
    return false;
}

}  // namespace tarnwick
