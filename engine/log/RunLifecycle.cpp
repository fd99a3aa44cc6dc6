#include "engine/log/RunLifecycle.h"

#include "engine/Messages.h"
#include "engine/log/OperationLog.h"
#include "engine/log/RunLog.h"
#include "engine/worker/Notifier.h"
#include "results/ResultList.h"

namespace tarnwick {

namespace {

void beginRun(ResultList& results, RunLog& runLog, const std::string& header)
{
    runLog.Set(header);
    runLog.Append("\r\n");
    results.ClearResults(true);
    results.SetAutoScroll(true);
    results.AddFileItem(header, ItemKind::Info);
}

}  // namespace

void BeginSearchRun(ResultList& results, RunLog& runLog, std::string_view searchText)
{
    beginRun(results, runLog, SearchHeaderLine(searchText));
}

void BeginReplaceRun(ResultList& results, RunLog& runLog, std::string_view searchText, std::string_view replacementText)
{
    beginRun(results, runLog, ReplaceHeaderLine(searchText, replacementText));
}

void BeginRenameRun(ResultList& results, RunLog& runLog) { beginRun(results, runLog, text::kConvertHeader); }

std::string CompleteRun(UserMessage message, std::int32_t hits, std::int32_t files, ResultList& results, RunLog& runLog,
                        const LogSettings& log, const Clock& clock, std::int32_t admitted)
{
    std::string summary;
    bool write = log.enabled;
    switch (message) {
    case UserMessage::SearchDone:
        summary = SearchSummary(hits, files);
        write = log.enabled && !log.onlyReplace;
        break;
    case UserMessage::ReplaceDone: summary = ReplaceSummary(hits, files); break;
    case UserMessage::RenameDone: summary = RenameSummary(hits, files); break;
    case UserMessage::RunAborted:
        // An aborted run leaves no trace in the log file.
        runLog.Clear();
        return {};
    case UserMessage::SelectedDone: break;
    }
    if (!summary.empty()) {
        runLog.Append(summary);
        const bool filteredOut =
            admitted == 0 && hits == 0 && (message == UserMessage::SearchDone || message == UserMessage::ReplaceDone);
        if (filteredOut) summary = summary + ' ' + text::kNothingPassedFilters;
        results.AddFileItem(summary, ItemKind::Info);
    }
    if (write) WriteRunLog(log.path, runLog.Text(), clock, results);
    runLog.Clear();
    return summary;
}

}  // namespace tarnwick
