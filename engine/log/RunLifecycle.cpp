#include "engine/log/RunLifecycle.h"

#include "engine/log/OperationLog.h"
#include "engine/log/RunLog.h"
#include "engine/worker/Notifier.h"
#include "results/ResultList.h"

namespace tarnwick {

void BeginSearchRun(ResultList& results, RunLog& runLog, std::string_view searchText)
{
    const std::string header = SearchHeaderLine(searchText);
    runLog.Set(header);
    runLog.Append("\r\n");
    results.ClearResults(true);
    results.SetAutoScroll(true);
    results.AddFileItem(header, ItemKind::Info);
}

std::string CompleteRun(int message, std::int32_t hits, std::int32_t files, ResultList& results, RunLog& runLog,
                        const LogSettings& log, const Clock& clock)
{
    std::string summary;
    bool write = log.enabled;
    switch (message) {
    case UserMessage::SearchDone:
        summary = SearchSummary(hits, files);
        write = log.enabled && !log.onlyReplace;
        break;
    case UserMessage::RunAborted:
        // An aborted run leaves no trace in the log file.
        runLog.Clear();
        return {};
    default: break;
    }
    if (!summary.empty()) {
        runLog.Append(summary);
        results.AddFileItem(summary, ItemKind::Info);
    }
    if (write) WriteRunLog(log.path, runLog.Text(), clock, results);
    runLog.Clear();
    return summary;
}

}  // namespace tarnwick
