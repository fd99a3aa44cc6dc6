#pragma once
// The one background thread that runs every search of the program. The
// front end hands it a job, the run strings and a start path, then wakes it
// with a command; the worker runs the command to its end, writing into the
// result list and the run log text, and posts a completion message.
//
// All public members are called on the front end's thread. The state the
// thread uses is shared with it, so a thread that does not end within the
// shutdown time can be abandoned safely. Never pthread_cancel.
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "engine/job/RunTally.h"
#include "engine/job/SearchJob.h"
#include "engine/replace/ConvertDirectory.h"
#include "engine/undo/JournalStore.h"
#include "platform/Expected.h"

namespace tarnwick {

class ChangePreview;
class CodePage;
class DocumentEngine;
class Notifier;
class ResultList;
class RunLog;
class RunSink;
class StatusDisplay;
struct WorkerState;

// What the worker is asked to do.
enum class WorkerCommand {
    None = -1,  // nothing asked yet
    Search = 0,
    Replace = 2,
    Rename = 4,
    SelectedReplace = 5,
    Quit = 6,
};

// The exit code recorded for a thread that had to be abandoned.
inline constexpr int kAbandonedExitCode = 1111;

// What a command does. The worker is the thread and the protocol around it;
// tests put their own commands in its place.
class CommandRunner {
public:
    virtual ~CommandRunner() = default;
    // Runs one command on the worker thread. Succeeds also when it was
    // stopped; a failure (a read or memory failure that ends the whole
    // command) or an exception ends the command with an abort message.
    virtual Expected<void> run(WorkerCommand command, WorkerState& state) = 0;
};

struct WorkerOutputs {
    std::shared_ptr<ResultList> results;
    std::shared_ptr<RunLog> runLog;
    std::shared_ptr<Notifier> notifier;
    std::shared_ptr<StatusDisplay> status;  // may be null
    std::shared_ptr<DocumentEngine> documents;  // null: documents cannot be opened
    // Where a run's results go instead of the result list and the run log
    // text, when set (the terminal program prints them as they come).
    std::shared_ptr<RunSink> sink;
};

// A replace that writes nothing: its changes go to `changes`. With a `sink`,
// its items and run log lines go there instead of the worker's outputs, so
// that a preview leaves the result list of the last real run alone.
struct ReplacePreview {
    std::shared_ptr<ChangePreview> changes;
    std::shared_ptr<RunSink> sink;
};

// What the front end last handed the worker: the last command started, the
// job, the run strings and the start path. A rename keeps the
// texts of the run before it; a replace in marked results keeps the job and
// the start path of the search.
struct WorkerInputs {
    WorkerCommand command = WorkerCommand::None;
    SearchJob job;
    std::string searchText;
    std::string replacementText;
    std::string startPath;
};

class SearchWorker {
public:
    // Starts the thread. `runner` null means the engine's own commands.
    SearchWorker(WorkerOutputs outputs, const CodePage& codePage, std::shared_ptr<CommandRunner> runner = nullptr,
                 std::chrono::milliseconds shutdownWait = std::chrono::milliseconds(1000));
    ~SearchWorker();
    SearchWorker(const SearchWorker&) = delete;
    SearchWorker& operator=(const SearchWorker&) = delete;

    bool hasThread() const;

    // The documented run entry points keep their names (README.md, "Names").
    // NOLINTBEGIN(readability-identifier-naming)
    void SetJob(const SearchJob& job);
    void SetTexts(const std::string& searchText, const std::string& replacementText);
    void StartSearch(const std::string& startPath);
    // With `preview.changes` set, only previews: the same worker may run the
    // real replace next.
    void StartReplace(const std::string& startPath, ReplacePreview preview = {});
    // Keeps the examined counter; the search and replacement texts stay those
    // of the preceding run.
    void StartRename(RenameArgument renameArgument, const std::string& startPath);
    // Replaces in the marked results of the preceding search; the counters
    // are not reset.
    void StartSelectedReplace();
    void RequestStop();

    std::int32_t GetHitCount() const;
    std::int32_t GetFileCount() const;
    std::int32_t GetExaminedCount() const;
    // NOLINTEND(readability-identifier-naming)

    // Whether and where runs that change files keep a journal for an undo.
    void setUndoJournal(const UndoJournalOptions& options);
    // Files and directory names of the last search or replace that passed
    // every filter.
    std::int32_t getAdmittedCount() const;
    // The counters of the last command and whether a stop cut it short
    // (`admitted` is then unknown). Read after its completion message.
    RunTally lastTally() const;
    // What the export reports of the last run.
    WorkerInputs lastInputs() const;
    // Takes back inputs lastInputs() gave, without running anything: a
    // preview leaves the last real run the one a replace in marked results
    // and the export refer to.
    void restoreInputs(const WorkerInputs& inputs);

    // Ends the thread: quit command, then at most the shutdown wait. Returns
    // the thread's exit code: 0, or kAbandonedExitCode when it had to be left
    // running. A second call returns the first result.
    int shutdown();

private:
    void start(WorkerCommand command, ReplacePreview preview = {});
    void startAt(WorkerCommand command, const std::string& startPath, RenameArgument renameArgument, bool resetExamined,
                 ReplacePreview preview = {});

    std::shared_ptr<WorkerState> m_state;
    std::chrono::milliseconds m_shutdownWait;
    std::thread m_thread;
    bool m_hasThread = false;
    int m_exitCode = -1;
};

}  // namespace tarnwick
