#pragma once
// The state a worker shares with its thread. Kept alive by both, so that an
// abandoned thread never touches freed memory.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "engine/job/RunContext.h"
#include "engine/job/SearchJob.h"
#include "engine/match/SearchBuffers.h"
#include "engine/undo/JournalStore.h"
#include "engine/worker/SearchWorker.h"

namespace tarnwick {

// What the front end hands over for one command. The thread takes a copy
// when it wakes, so the front end may prepare the next command at any time.
struct CommandInput {
    WorkerCommand command = WorkerCommand::None;
    SearchJob job;
    std::string searchText;
    std::string replacementText;
    std::string startPath;
    RenameArgument renameArgument = RenameArgument::OnlyAllCapitals;
    // Off until the front end passes its settings: a worker that was not
    // told where journals go writes none.
    UndoJournalOptions undo{false, 0, {}};
    // Set for this one command only: a replace that writes nothing.
    ReplacePreview preview;
};

struct WorkerState {
    WorkerState(WorkerOutputs outputs, const CodePage& codePage) : outputs(std::move(outputs)), codePage(codePage) {}

    // The command event: auto-reset, set by the front end, reset on waking.
    std::mutex mutex;
    std::condition_variable wake;
    bool signalled = false;  // guarded by mutex
    CommandInput pending;  // guarded by mutex

    std::atomic<bool> stopFlag{false};
    std::atomic<bool> quitFlag{false};
    RunCounters counters;
    // The stop flag as the last command returned; written by the thread
    // before it posts the completion message.
    std::atomic<bool> lastCommandStopped{false};

    // The command being run; the worker thread's own.
    CommandInput current;
    SearchBuffers buffers;

    const WorkerOutputs outputs;
    const CodePage& codePage;
    std::shared_ptr<CommandRunner> runner;

    // Set by the thread as its last act.
    std::mutex endMutex;
    std::condition_variable endSignal;
    bool ended = false;  // guarded by endMutex
};

// The engine's own commands.
class EngineCommands final : public CommandRunner {
public:
    Expected<void> run(WorkerCommand command, WorkerState& state) override;
};

}  // namespace tarnwick
