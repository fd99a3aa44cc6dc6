#include "engine/content/ContentSearch.h"
#include "engine/job/RunContext.h"
#include "engine/job/StoreSink.h"
#include "engine/replace/ConvertDirectory.h"
#include "engine/replace/ReplaceSelected.h"
#include "engine/replace/ReplaceWalk.h"
#include "engine/undo/RunJournal.h"
#include "engine/walk/SearchWalk.h"
#include "engine/worker/RunSearch.h"
#include "engine/worker/WorkerState.h"

namespace tarnwick {
namespace {

std::optional<RunKind> journalKind(WorkerCommand command)
{
    switch (command) {
    case WorkerCommand::Replace: return RunKind::Replace;
    case WorkerCommand::Rename: return RunKind::Lowercase;
    case WorkerCommand::SelectedReplace: return RunKind::SelectedReplace;
    default: return std::nullopt;
    }
}

}  // namespace

Expected<void> EngineCommands::run(WorkerCommand command, WorkerState& state)
{
    const CommandInput& input = state.current;
    RunSink* target = input.preview.sink ? input.preview.sink.get() : state.outputs.sink.get();
    std::optional<StoreSink> store;
    // The user interface reads the list while it fills: hits go in batches.
    if (!target) target = &store.emplace(*state.outputs.results, *state.outputs.runLog, true);
    CountingSink sink(*target, state.counters);
    RunContext run(input.job, input.searchText, input.replacementText, state.codePage, sink, state.counters, state.stopFlag,
                   state.buffers);
    run.list = state.outputs.results.get();
    run.status = state.outputs.status.get();
    run.documents = state.outputs.documents.get();
    run.preview = input.preview.changes.get();
    std::optional<RunJournal> journal;
    const std::optional<RunKind> kind = journalKind(command);
    // A preview changes nothing: no journal.
    if (kind && input.undo.enabled && !run.preview) {
        journal.emplace(JournalRootOf(input.undo), *kind);
        journal->setStopFlag(&state.stopFlag);
        if (!input.startPath.empty()) journal->addRoot(input.startPath);
        run.journal = &*journal;
    }
    switch (command) {
    case WorkerCommand::Search: RunSearch(run, input.startPath); break;
    case WorkerCommand::Replace: RunReplace(run, input.startPath); break;
    case WorkerCommand::Rename: ConvertDirectory(run, input.startPath, input.renameArgument); break;
    case WorkerCommand::SelectedReplace:
        // The expression of the preceding search; it compiled then.
        if (run.list && (!run.job.regularExpression || CompileSearchRegex(run))) {
            // A file that cannot be read ends the command where it stands.
            if (Expected<void> replaced = ReplaceSelected(run); !replaced) return replaced;
        }
        break;
    case WorkerCommand::None:
    case WorkerCommand::Quit: break;
    }
    // Every hit is in the list, and everything printed, before the completion message is posted.
    sink.endOfRun();
    if (journal) {
        journal->close();
        PruneJournals(JournalRootOf(input.undo), input.undo.limitBytes, journal->id());
    }
    // One very large file must not pin its memory until the next run.
    state.buffers.trim(64u << 20);
    return succeeded();
}

}  // namespace tarnwick
