#include "engine/replace/ReplaceInFile.h"

#include "engine/Messages.h"
#include "engine/job/RunContext.h"
#include "engine/job/RunReports.h"
#include "engine/log/RunLog.h"
#include "engine/replace/BackupCopy.h"
#include "engine/replace/ReplaceBuffer.h"
#include "platform/SystemError.h"
#include "results/ResultList.h"

namespace tarnwick {
namespace {

// Lines were printed for replacements that never reached the file: the run
// log says so after them, and the summary does not count them.
void reportNotChanged(RunContext& run, const std::string& path) { run.sink.LogMessageLine(text::kFileNotChanged, path); }

}  // namespace

void ReplaceInFile(RunContext& run, const std::string& path)
{
    if (run.stopRequested()) return;
    ReplaceBuffer buffer(run);
    if (const std::error_code error = buffer.Open(path)) {
        ReportCannotOpen(run, path, error);
        return;
    }
    // A file without occurrences is only read: no backup, no item.
    if (buffer.PrepareReplace().outcome != ReplaceOutcome::Occurrence) return;
    if (run.job.makeBackup) MakeBackupCopy(run, buffer.file(), path);
    run.sink.AddNoteItem(path, ItemKind::File, EncodingCode(buffer.GetEncoding()));

    // Counted only once the new contents are in place.
    std::int32_t replaced = 0;
    for (ReplaceStep step = buffer.ReplaceNext(); step.outcome != ReplaceOutcome::NoOccurrence; step = buffer.ReplaceNext()) {
        // A failure has been reported; the file keeps its old contents.
        if (step.outcome == ReplaceOutcome::Failed) return reportNotChanged(run, path);
        run.sink.LogReplacementLine(path, step.offset, buffer.context());
        run.sink.AddHitItem(step.offset, buffer.hitLength(), buffer.context(), buffer.highlightOffset(), ItemKind::None,
                            buffer.hitCharacters());
        ++replaced;
        // Stopped between two replacements: nothing is written.
        if (run.stopRequested()) return reportNotChanged(run, path);
    }
    // A stop during the last chunk leaves the split file unfinished.
    if (run.stopRequested() && buffer.IsSplit()) return reportNotChanged(run, path);
    if (!buffer.Finish()) return reportNotChanged(run, path);
    if (!buffer.Queued()) run.sink.AddCounts(replaced, 1);
}

}  // namespace tarnwick
