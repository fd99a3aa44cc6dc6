#include "engine/walk/SearchWalk.h"

#include "engine/Messages.h"
#include "engine/job/RunContext.h"
#include "engine/match/ContentSearch.h"
#include "engine/walk/NameSearch.h"

namespace tarnwick {
namespace {

class SearchWalker final : public TreeWalk {
public:
    using TreeWalk::TreeWalk;

private:
    void processFile(const DirEntry& entry, const std::string& path) override
    {
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

    void processDirectoryName(const DirEntry& entry, const std::string& path, std::vector<std::string>&) override
    {
        CheckDirectoryName(m_run, path, entry.name);
    }

    bool showsProgress() const override { return true; }
    bool statsEveryEntry() const override { return false; }
    std::string unknownErrorText() const override { return text::kUnknownError; }
};

}  // namespace

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
