#include "engine/walk/SearchWalk.h"

#include "engine/Messages.h"
#include "engine/content/ContentSearch.h"
#include "engine/job/RunContext.h"
#include "engine/walk/InsideSearch.h"
#include "engine/walk/NameSearch.h"

namespace tarnwick {
namespace {

class SearchWalker final : public TreeWalk {
public:
    SearchWalker(RunContext& run, FileDispatch* dispatch) : TreeWalk(run), m_dispatch(dispatch) {}

private:
    Expected<void> processFile(const DirEntry& entry, const std::string& path) override
    {
        // FIFOs, sockets and devices have no contents to read: opening a FIFO
        // would stop the run, whichever engine opened it.
        const bool contents = m_run.job.searchContents && !entry.system;
        if (contents && m_dispatch && !m_filter.routesToDocuments(entry.name) && m_dispatch->dispatch(entry, path))
            return succeeded();
        if (contents) {
            // Searching inside goes first: a spreadsheet is no document,
            // whatever the list of document types holds.
            if (!m_filter.routesToDocuments(entry.name)) {
                const Expected<void> searched =
                    SearchFileOrInside(m_run, m_filter, path, {currentFolderFd(), path.size() - entry.name.size()});
                if (!searched) return searched;
            } else {
                const Expected<InsideOutcome> inside = SearchInside(m_run, m_filter, path);
                if (!inside) return inside.error();
                if (!inside.value().searchedInside) documents().searchDocument(m_run, path);
            }
        }
        if (m_run.job.searchFileNames) CheckFileName(m_run, path, entry.name);
        return succeeded();
    }

    void processDirectoryName(const DirEntry& entry, const std::string& path, std::vector<std::string>&) override
    {
        CheckDirectoryName(m_run, path, entry.name);
    }

    bool showsProgress() const override { return true; }
    bool statsEveryEntry() const override { return false; }
    std::string unknownErrorText() const override { return text::kUnknownError; }

    FileDispatch* m_dispatch;
};

}  // namespace

void SearchDirectory(RunContext& run, const std::string& directory, FileDispatch* dispatch)
{
    SearchWalker walker(run, dispatch);
    walker.walk(directory);
}

}  // namespace tarnwick
