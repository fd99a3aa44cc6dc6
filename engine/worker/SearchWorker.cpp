#include "engine/worker/SearchWorker.h"

#include "engine/Messages.h"
#include "engine/job/RunReports.h"
#include "engine/worker/Notifier.h"
#include "engine/worker/WorkerState.h"
#include "platform/SystemError.h"
#include "platform/ThreadStart.h"

#include <cerrno>
#include <cstdio>
#include <optional>

namespace tarnwick {
namespace {

// The message that ends a command which ran; nothing for the others.
std::optional<UserMessage> completionMessage(WorkerCommand command)
{
    switch (command) {
    case WorkerCommand::Search: return UserMessage::SearchDone;
    case WorkerCommand::Replace: return UserMessage::ReplaceDone;
    case WorkerCommand::Rename: return UserMessage::RenameDone;
    case WorkerCommand::SelectedReplace: return UserMessage::SelectedDone;
    case WorkerCommand::None:
    case WorkerCommand::Quit: break;
    }
    return std::nullopt;
}

std::string runFailedText(const std::string& className, const std::string& reason)
{
    const std::string format = text::kRunFailed;
    std::string out;
    const auto first = format.find("%s");
    const auto second = format.find("%s", first + 2);
    out = format.substr(0, first) + className + format.substr(first + 2, second - first - 2) + reason + format.substr(second + 2);
    return out;
}

void reportAbort(WorkerState& state, const std::string& className, const std::string& reason)
{
    state.outputs.notifier->showMessage(runFailedText(className, reason));
    state.outputs.notifier->post(UserMessage::RunAborted);
}

void commandLoop(const std::shared_ptr<WorkerState>& shared)
{
    WorkerState& state = *shared;
    while (!state.quitFlag.load()) {
        {
            std::unique_lock lock(state.mutex);
            state.wake.wait(lock, [&] { return state.signalled; });
            state.signalled = false;
            state.current = state.pending;
        }
        const WorkerCommand command = state.current.command;
        if (command == WorkerCommand::Quit) break;
        const std::optional<UserMessage> done = completionMessage(command);
        if (!done) continue;
        try {
            if (const Expected<void> ran = state.runner->run(command, state); !ran) {
                reportAbort(state, FailureClassName(ran.error()), TruncateText(FailureReason(ran.error())));
                continue;
            }
            // Whether the command returned early; a stop asked for after
            // this moment found nothing left to cut short.
            state.lastCommandStopped.store(state.stopFlag.load());
            state.outputs.notifier->post(*done);
        } catch (...) {
            // Of an exception C++ threw only the last system error says
            // anything about the cause.
            reportAbort(state, "", SystemErrorText(errno));
        }
    }
    if (state.outputs.documents) {
        const auto [title, message] = state.outputs.documents->quit();
        if (!message.empty()) state.outputs.notifier->showTitledMessage(title, message);
    }
}

}  // namespace

SearchWorker::SearchWorker(WorkerOutputs outputs, const CodePage& codePage, std::shared_ptr<CommandRunner> runner,
                           std::chrono::milliseconds shutdownWait)
    : m_state(std::make_shared<WorkerState>(std::move(outputs), codePage)), m_shutdownWait(shutdownWait)
{
    m_state->runner = runner ? std::move(runner) : std::make_shared<EngineCommands>();
    try {
        std::thread thread([state = m_state] {
            RunThreadStartHook();
            commandLoop(state);
            std::lock_guard lock(state->endMutex);
            state->ended = true;
            state->endSignal.notify_all();
        });
        m_thread = std::move(thread);
        m_hasThread = true;
    } catch (const std::system_error&) {
        // Left without a thread: commands are accepted and never run.
        m_hasThread = false;
    }
}

SearchWorker::~SearchWorker() { shutdown(); }

bool SearchWorker::hasThread() const { return m_hasThread; }

void SearchWorker::SetJob(const SearchJob& job)
{
    std::lock_guard lock(m_state->mutex);
    m_state->pending.job = job;
}

void SearchWorker::SetTexts(const std::string& searchText, const std::string& replacementText)
{
    std::lock_guard lock(m_state->mutex);
    m_state->pending.searchText = searchText;
    m_state->pending.replacementText = replacementText;
}

void SearchWorker::setUndoJournal(const UndoJournalOptions& options)
{
    std::lock_guard lock(m_state->mutex);
    m_state->pending.undo = options;
}

void SearchWorker::start(WorkerCommand command, ReplacePreview preview)
{
    m_state->stopFlag.store(false);
    // Every command's remarks are its own, also those of a replace in marked results.
    m_state->counters.documentsLiteral.store(false);
    std::lock_guard lock(m_state->mutex);
    m_state->pending.command = command;
    m_state->pending.preview = std::move(preview);
    m_state->signalled = true;
    m_state->wake.notify_one();
}

void SearchWorker::startAt(WorkerCommand command, const std::string& startPath, RenameArgument renameArgument, bool resetExamined,
                           ReplacePreview preview)
{
    {
        std::lock_guard lock(m_state->mutex);
        m_state->pending.startPath = startPath;
        m_state->pending.renameArgument = renameArgument;
    }
    m_state->counters.files.store(0);
    m_state->counters.hits.store(0);
    m_state->counters.admitted.store(0);
    m_state->counters.errors.store(0);
    m_state->counters.foundNotReplaced.store(0);
    if (resetExamined) m_state->counters.examined.store(0);
    start(command, std::move(preview));
}

void SearchWorker::StartSearch(const std::string& startPath)
{
    startAt(WorkerCommand::Search, startPath, RenameArgument::OnlyAllCapitals, true);
}

void SearchWorker::StartReplace(const std::string& startPath, ReplacePreview preview)
{
    startAt(WorkerCommand::Replace, startPath, RenameArgument::OnlyAllCapitals, true, std::move(preview));
}

void SearchWorker::StartRename(RenameArgument renameArgument, const std::string& startPath)
{
    startAt(WorkerCommand::Rename, startPath, renameArgument, false);
}

void SearchWorker::StartSelectedReplace() { start(WorkerCommand::SelectedReplace); }

void SearchWorker::RequestStop() { m_state->stopFlag.store(true); }

std::int32_t SearchWorker::GetHitCount() const { return m_state->counters.hits.load(); }
std::int32_t SearchWorker::GetFileCount() const { return m_state->counters.files.load(); }
std::int32_t SearchWorker::GetExaminedCount() const { return m_state->counters.examined.load(); }
std::int32_t SearchWorker::getAdmittedCount() const { return m_state->counters.admitted.load(); }

RunTally SearchWorker::lastTally() const
{
    const RunCounters& counters = m_state->counters;
    RunTally tally;
    tally.hits = counters.hits.load();
    tally.files = counters.files.load();
    tally.errors = counters.errors.load();
    tally.foundNotReplaced = counters.foundNotReplaced.load();
    tally.stopped = m_state->lastCommandStopped.load();
    tally.documentsLiteral = counters.documentsLiteral.load();
    {
        std::lock_guard lock(m_state->mutex);
        const CommandInput& input = m_state->pending;
        tally.filesWithoutHits = input.command == WorkerCommand::Search && input.job.filesWithoutHits;
    }
    // What a stop kept the filters from seeing is not known.
    tally.admitted = tally.stopped ? -1 : counters.admitted.load();
    return tally;
}

WorkerInputs SearchWorker::lastInputs() const
{
    std::lock_guard lock(m_state->mutex);
    const CommandInput& input = m_state->pending;
    return {input.command, input.job, input.searchText, input.replacementText, input.startPath};
}

void SearchWorker::restoreInputs(const WorkerInputs& inputs)
{
    std::lock_guard lock(m_state->mutex);
    CommandInput& input = m_state->pending;
    input.command = inputs.command;
    input.job = inputs.job;
    input.searchText = inputs.searchText;
    input.replacementText = inputs.replacementText;
    input.startPath = inputs.startPath;
    input.preview = {};
}

int SearchWorker::shutdown()
{
    if (m_exitCode >= 0) return m_exitCode;
    if (!m_hasThread) return m_exitCode = 0;
    m_state->quitFlag.store(true);
    // A running command is asked to end as well, so that closing the program
    // does not wait for a long search.
    m_state->stopFlag.store(true);
    {
        std::lock_guard lock(m_state->mutex);
        m_state->pending.command = WorkerCommand::Quit;
        m_state->signalled = true;
        m_state->wake.notify_one();
    }
    bool ended;
    {
        std::unique_lock lock(m_state->endMutex);
        ended = m_state->endSignal.wait_for(lock, m_shutdownWait, [&] { return m_state->ended; });
    }
    if (ended) {
        m_thread.join();
        m_exitCode = 0;
    } else {
        m_thread.detach();
        m_exitCode = kAbandonedExitCode;
    }
    return m_exitCode;
}

}  // namespace tarnwick
