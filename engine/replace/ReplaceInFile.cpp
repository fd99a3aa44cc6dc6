#include "engine/replace/ReplaceInFile.h"

#include "engine/Messages.h"
#include "engine/job/RunContext.h"
#include "engine/job/RunReports.h"
#include "engine/log/RunLog.h"
#include "engine/replace/BackupCopy.h"
#include "engine/replace/ChangedFiles.h"
#include "engine/replace/ReplaceBuffer.h"
#include "platform/SystemError.h"

#include "results/ResultList.h"
#include <sys/stat.h>

namespace tarnwick {
namespace {

// Lines were printed for replacements that never reached the file: the run
// log says so after them, and the summary does not count them.
Expected<void> reportNotChanged(RunContext& run, const std::string& path)
{
    run.sink.note({NoteKind::NotChanged, path, {}});
    return succeeded();
}

// The file was changed in this run already, under the name `first`.
void remarkChangedAs(RunContext& run, const std::string& path, const std::string& first)
{
    run.sink.note({NoteKind::AlreadyChangedAs, path, first});
}

}  // namespace

Expected<void> ReplaceInFile(RunContext& run, const std::string& path, InputFile::Links links)
{
    if (run.stopRequested()) return succeeded();
    ReplaceBuffer buffer(run);
    if (const std::error_code error = buffer.open(path, links)) {
        // Locked by this very run: a link to a file whose commit waits in the batch.
        struct stat st {};
        if (error == std::errc::resource_unavailable_try_again && run.changed && ::stat(path.c_str(), &st) == 0)
            if (const std::string* first = run.changed->changedAs(FileIdentity::of(st))) {
                remarkChangedAs(run, path, *first);
                return succeeded();
            }
        ReportCannotOpen(run, path, error);
        return succeeded();
    }
    // A file without occurrences is only read: no backup, no item.
    if (buffer.prepareReplace().outcome != ReplaceOutcome::Occurrence) return succeeded();
    if (const std::string* first = run.changed ? run.changed->changedAs(buffer.file().identity()) : nullptr) {
        remarkChangedAs(run, path, *first);
        return succeeded();
    }
    const FileIdentity opened = buffer.file().identity();
    if (run.job.makeBackup) MakeBackupCopy(run, buffer.file(), path);
    run.sink.beginEntry({path, EntryKind::File, EncodingCode(buffer.getEncoding())});

    // Counted only once the new contents are in place.
    std::int32_t replaced = 0;
    for (ReplaceStep step = buffer.replaceNext(); step.outcome != ReplaceOutcome::NoOccurrence; step = buffer.replaceNext()) {
        // The file keeps its old contents.
        if (step.outcome == ReplaceOutcome::Unreadable) return *buffer.failure();
        if (step.outcome == ReplaceOutcome::Failed) return reportNotChanged(run, path);
        HitEvent hit;
        hit.kind = HitKind::Replaced;
        hit.path = path;
        hit.position = step.offset;
        hit.length = buffer.hitLength();
        hit.context = buffer.context();
        hit.highlightStart = buffer.highlightOffset();
        hit.highlightLength = buffer.hitCharacters();
        run.sink.hit(hit);
        ++replaced;
        // Stopped between two replacements: nothing is written.
        if (run.stopRequested()) return reportNotChanged(run, path);
    }
    // A stop during the last chunk leaves the split file unfinished.
    if (run.stopRequested() && buffer.isSplit()) return reportNotChanged(run, path);
    if (!buffer.finish()) {
        if (const Failure* failure = buffer.failure()) return *failure;
        return reportNotChanged(run, path);
    }
    // A link to it met later must not change it a second time.
    if (run.changed && !run.preview) run.changed->note(opened, path);
    if (!buffer.queued()) run.sink.committed({CommitKind::Contents, path, replaced});
    return succeeded();
}

}  // namespace tarnwick
