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
    run.sink.AddCounts(0, 1);
    if (run.job.makeBackup) MakeBackupCopy(run, buffer.file(), path);
    run.sink.AddNoteItem(path, ItemKind::File, EncodingCode(buffer.GetEncoding()));

    for (ReplaceStep step = buffer.ReplaceNext(); step.outcome != ReplaceOutcome::NoOccurrence; step = buffer.ReplaceNext()) {
        // A failure has been reported; the file keeps its old contents.
        if (step.outcome == ReplaceOutcome::Failed) return;
        run.sink.LogReplacementLine(path, step.offset, buffer.context());
        run.sink.AddHitItem(step.offset, buffer.hitLength(), buffer.context(), buffer.highlightOffset(), ItemKind::None,
                            buffer.hitCharacters());
        run.sink.AddCounts(1, 0);
        // Stopped between two replacements: nothing is written.
        if (run.stopRequested()) return;
    }
    if (run.stopRequested() && buffer.IsSplit()) return;
    buffer.Finish();
}

}  // namespace tarnwick
