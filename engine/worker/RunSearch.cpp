#include "engine/worker/RunSearch.h"

#include "engine/content/ContentSearch.h"
#include "engine/job/RunContext.h"
#include "engine/parallel/ParallelSearch.h"
#include "engine/walk/SearchWalk.h"

namespace tarnwick {

void RunSearch(RunContext& run, const std::string& startPath)
{
    if (run.job.regularExpression && !CompileSearchRegex(run)) return;
    const unsigned threads = ContentSearchThreads(run.job);
    if (threads > 1 && run.job.searchContents)
        SearchInParallel(run, startPath, threads);
    else
        SearchDirectory(run, startPath);
}

}  // namespace tarnwick
