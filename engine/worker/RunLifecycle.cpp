#include "engine/worker/RunLifecycle.h"

#include "engine/Messages.h"
#include "engine/log/OperationLog.h"
#include "engine/log/RunLog.h"
#include "engine/worker/Notifier.h"
#include "platform/Failure.h"
#include "results/ResultList.h"

namespace tarnwick {

namespace {

void beginRun(ResultList& results, RunLog& runLog, const std::string& header)
{
    runLog.set(header);
    runLog.append("\r\n");
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

std::string CompleteRun(UserMessage message, const RunTally& tally, ResultList& results, RunLog& runLog, const LogSettings& log,
                        const Clock& clock)
{
    std::string summary;
    bool write = log.enabled;
    switch (message) {
    case UserMessage::SearchDone:
        summary = tally.filesWithoutHits ? WithoutHitsSummary(tally.files) : SearchSummary(tally.hits, tally.files);
        write = log.enabled && !log.onlyReplace;
        break;
    case UserMessage::ReplaceDone: summary = ReplaceSummary(tally.hits, tally.files); break;
    case UserMessage::RenameDone: summary = RenameSummary(tally.hits, tally.files); break;
    case UserMessage::RunAborted:
        // An aborted run leaves no trace in the log file.
        runLog.clear();
        return {};
    case UserMessage::SelectedDone: break;
    }
    std::string shown;
    if (!summary.empty()) {
        runLog.append(summary);
        // Only when the filters are why nothing was found: an error item says
        // why itself, and a stop leaves unknown what the filters would have let through.
        const bool filteredOut = (message == UserMessage::SearchDone || message == UserMessage::ReplaceDone) && !tally.stopped &&
            tally.admitted == 0 && tally.hits == 0 && tally.errors == 0;
        shown = filteredOut ? summary + ' ' + text::kNothingPassedFilters : summary;
        results.AddFileItem(shown, ItemKind::Info);
    }
    // A remark closes the run as a line of its own, in the list and in the run log text.
    bool lineOpen = !summary.empty();
    const auto remark = [&](const char* line) {
        // The summary line has no CR LF of its own; entry lines have theirs.
        if (lineOpen) runLog.append("\r\n");
        lineOpen = true;
        runLog.append(line);
        results.AddFileItem(line, ItemKind::Info);
        shown += shown.empty() ? line : std::string("\r\n") + line;
    };
    if (tally.documentsLiteral) remark(text::kDocumentsSearchedLiterally);
    if (tally.stopped) remark(text::kRunStopped);
    if (write) WriteRunLog(log.path, runLog.text(), clock, results);
    runLog.clear();
    return shown;
}

void RefuseRun(const Failure& refusal, std::string_view startPath, ResultList& results, RunLog& runLog)
{
    // A refusal with a code is about the start folder and begins with it.
    const std::string folderPrefix = std::string(startPath) + ": ";
    if (refusal.code && !startPath.empty() && refusal.detail.starts_with(folderPrefix)) {
        const ItemHandle item = results.AddFileItem(startPath, ItemKind::Error);
        const std::string_view reason = std::string_view(refusal.detail).substr(folderPrefix.size());
        results.UpdateItem(item, ResultColumn::Remark, UpdateWhat::Text, reason, ItemKind::Error);
    } else {
        results.AddFileItem(refusal.detail, ItemKind::Error);
    }
    results.AddFileItem(text::kRunNotStarted, ItemKind::Info);
    runLog.clear();
}

}  // namespace tarnwick
