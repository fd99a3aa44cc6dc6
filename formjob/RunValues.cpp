#include "formjob/RunValues.h"

#include "engine/Messages.h"

namespace tarnwick::session {

RunValues MakeRunValues(const WorkerInputs& inputs, const WorkerCounts& counts)
{
    const SearchJob& job = inputs.job;
    RunValues run;
    run.searchPath = inputs.startPath;
    run.searchText = inputs.searchText;
    run.replacementText = inputs.replacementText;
    // Only a replace run: a replace in the marked results has a code of its own.
    run.wasReplaceRun = inputs.command == WorkerCommand::Replace;
    run.matchCase = job.matchCase;
    run.searchContents = job.searchContents;
    run.searchDirNames = job.searchDirNames;
    run.searchFileNames = job.searchFileNames;
    run.wholeWords = job.wholeWords;
    run.regularExpression = job.regularExpression;
    run.specialCharacters = job.specialCharacters;
    run.filesSearched = counts.examined;
    run.filesFound = counts.files;
    run.entriesFound = counts.hits;
    // The file counter counted the files without hits; the notice says so.
    run.filesWithoutHits = inputs.command == WorkerCommand::Search && job.filesWithoutHits;
    if (run.filesWithoutHits) run.notice = text::kListedWithoutHits;
    // The remarks in the order the run's last lines give them.
    if (counts.documentsLiteral) run.notice += (run.notice.empty() ? "" : " ") + std::string(text::kDocumentsSearchedLiterally);
    if (counts.stopped) run.notice += (run.notice.empty() ? "" : " ") + std::string(text::kRunStopped);
    return run;
}

RunValues MakeRunValues(const SearchWorker& worker)
{
    const RunTally tally = worker.lastTally();
    return MakeRunValues(worker.lastInputs(),
                         WorkerCounts{worker.GetExaminedCount(), worker.GetFileCount(), worker.GetHitCount(), tally.stopped,
                                      tally.documentsLiteral});
}

}  // namespace tarnwick::session
