#include "engine/walk/SearchWalk.h"

#include "engine/Messages.h"
#include "engine/job/RunContext.h"
#include "engine/match/ContentSearch.h"
#include "engine/walk/EntryFilter.h"
#include "engine/walk/NameSearch.h"
#include "engine/walk/UnavailableDocumentEngine.h"
#include "platform/DirectoryReader.h"
#include "platform/Exceptions.h"
#include "platform/SystemError.h"
#include "results/ResultList.h"

#include <cerrno>
#include <new>
#include <utility>
#include <vector>

namespace tarnwick {
namespace {

struct DirectoryId {
    std::uint64_t device;
    std::uint64_t inode;
    bool operator==(const DirectoryId&) const = default;
};

class SearchWalker {
public:
    explicit SearchWalker(RunContext& run) : m_run(run), m_filter(run.job) {}

    void walk(const std::string& directory)
    {
        if (m_run.stopRequested()) return;
        m_run.showStatus(directory);
        DirectoryReader reader(directory);
        if (!reader.isOpen()) return;
        DirEntry entry;
        std::string path;
        while (reader.readName(entry)) {
            JoinPath(path, directory, entry.name);
            m_run.showStatus(path);
            if (m_run.stopRequested()) return;
            m_run.counters.examined.fetch_add(1, std::memory_order_relaxed);
            try {
                processEntry(reader, entry, path);
            } catch (const CFileException& e) {
                reportEntryError(path, text::kFileExceptionPrefix + TruncateText(e.errorText()));
            } catch (const CMemoryException& e) {
                reportEntryError(path, text::kMemoryExceptionPrefix + TruncateText(e.errorText()));
            } catch (const FrameworkException& e) {
                reportEntryError(path, std::string(e.className()) + ": " + TruncateText(e.errorText()));
            } catch (const std::bad_alloc&) {
                reportEntryError(path, text::kMemoryExceptionPrefix + SystemErrorText(ENOMEM));
            } catch (...) {
                reportEntryError(path, text::kUnknownError);
            }
        }
    }

private:
    void processEntry(DirectoryReader& reader, DirEntry& entry, const std::string& path)
    {
        // A regular file the name filters reject is skipped before any stat.
        if (entry.type == EntryType::File && m_filter.fileRejectedByName(entry)) return;
        if (!reader.stat(entry)) return;  // vanished since it was listed
        if (entry.isDirectory())
            processDirectory(entry, path);
        else
            processFile(entry, path);
    }

    void processDirectory(const DirEntry& entry, const std::string& path)
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
        checkDirectoryName(entry, path);
    }

    void checkDirectoryName(const DirEntry& entry, const std::string& path)
    {
        if (!m_run.job.searchDirNames) return;
        if (m_filter.passesDates(entry) && m_filter.passesNameStrings(entry.name))
            CheckDirectoryName(m_run, path, entry.name);
    }

    void processFile(const DirEntry& entry, const std::string& path)
    {
        if (!m_filter.admitFile(entry) || !m_filter.passesType(entry.name)) return;
        // FIFOs, sockets and devices have no contents to read: opening a FIFO
        // would stop the run, whichever engine opened it.
        if (m_run.job.searchContents && !entry.system) {
            if (m_filter.routesToDocuments(entry.name))
                documents().SearchDocument(m_run, path);
            else
                SearchFileContents(m_run, path);
        }
        if (m_run.job.searchFileNames) CheckFileName(m_run, path, entry.name);
    }

    bool onCurrentPath(const DirEntry& entry) const
    {
        const DirectoryId id{entry.device, entry.inode};
        for (const DirectoryId& seen : m_path)
            if (seen == id) return true;
        return false;
    }

    DocumentEngine& documents()
    {
        if (m_run.documents) return *m_run.documents;
        return m_unavailable;
    }

    void reportEntryError(const std::string& path, const std::string& message)
    {
        const ItemHandle item = m_run.results.AddFileItem(path, ItemKind::Error);
        m_run.results.UpdateItem(item, 2, UpdateWhat::TextAndKind, message, ItemKind::Error);
        m_run.results.ScrollToItem(item);
    }

    RunContext& m_run;
    EntryFilter m_filter;
    UnavailableDocumentEngine m_unavailable;
    std::vector<DirectoryId> m_path;
};

}  // namespace

void JoinPath(std::string& out, const std::string& directory, const std::string& name)
{
    out.assign(directory);
    if (out.empty() || out.back() != '/') out.push_back('/');
    out.append(name);
}

void SearchDirectory(RunContext& run, const std::string& directory)
{
    SearchWalker walker(run);
    walker.walk(directory);
}

void RunSearch(RunContext& run, const std::string& startPath)
{
    if (run.job.regularExpression && !CompileSearchRegex(run)) return;
    SearchDirectory(run, startPath);
}

}  // namespace tarnwick
