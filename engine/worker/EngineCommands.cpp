#include "engine/job/RunContext.h"
#include "engine/walk/SearchWalk.h"
#include "engine/worker/WorkerState.h"

namespace tarnwick {

void EngineCommands::Run(int command, WorkerState& state)
{
    const CommandInput& input = state.current;
    RunContext run(input.job, input.searchText, input.replacementText, state.codePage, *state.outputs.results,
                   *state.outputs.runLog, state.counters, state.stopFlag, state.buffers);
    run.status = state.outputs.status.get();
    run.documents = state.outputs.documents.get();
    switch (command) {
    case WorkerCommand::Search: RunSearch(run, input.startPath); break;
    default: break;
    }
    // One very large file must not pin its memory until the next run.
    state.buffers.trim(64u << 20);
}

}  // namespace tarnwick
