#include "cli/CliSession.h"

#include "cli/CliPrinter.h"
#include "cli/CommandLine.h"
#include "cli/StopSignals.h"
#include "engine/documents/WordDocumentEngine.h"
#include "engine/log/RunLog.h"
#include "engine/match/SearchPattern.h"
#include "engine/replace/DiffPreview.h"
#include "engine/replace/PreviewJob.h"
#include "engine/worker/Notifier.h"
#include "engine/worker/RunLifecycle.h"
#include "engine/worker/RunStart.h"
#include "engine/worker/SearchWorker.h"
#include "formjob/RunValues.h"
#include "platform/FileOps.h"
#include "results/ResultList.h"
#include "results/ResultsExport.h"
#include "word/libreoffice/DocumentApplication.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <optional>

namespace tarnwick {
namespace {

void printLine(int fd, const std::string& text)
{
    const std::string line = text + "\n";
    WriteAll(fd, line.data(), line.size());
}

// Receives the worker's messages and lets the main thread wait for the end.
class WaitingNotifier final : public Notifier {
public:
    explicit WaitingNotifier(int errFd) : m_errFd(errFd) {}

    void post(UserMessage message) override
    {
        std::lock_guard lock(m_mutex);
        m_message = message;
        m_arrived.notify_all();
    }

    void showMessage(const std::string& text) override
    {
        std::lock_guard lock(m_mutex);
        printLine(m_errFd, text);
    }

    // Waits for the run's completion message, calling `tick` every `period`
    // meanwhile (outside the lock).
    UserMessage wait(const std::function<void()>& tick, std::chrono::milliseconds period)
    {
        std::unique_lock lock(m_mutex);
        while (!m_arrived.wait_for(lock, period, [&] { return m_message.has_value(); })) {
            lock.unlock();
            tick();
            lock.lock();
        }
        return *m_message;
    }

private:
    int m_errFd;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::optional<UserMessage> m_message;  // guarded by m_mutex
};

// Saves the results as --export asks; false (with a message) when it could not.
bool exportResults(const CliRequest& request, const SearchWorker& worker, const ResultList& results, int errFd)
{
    const RunValues run = session::MakeRunValues(worker);
    const Expected<void> exported = ExportResults(*request.exportRequest, run, results);
    if (exported) return true;
    // The writer brings no message when an XML file cannot be created; the
    // user must still learn that nothing was saved.
    const std::string& message = exported.error().detail;
    printLine(errFd, message.empty() ? "export failed: " + request.exportRequest->targetPath : message);
    return false;
}

}  // namespace

int RunCliRequest(const CliRequest& request, const CodePage& codePage, const Clock& clock, int outFd, int errFd,
                  StopSignals* signals)
{
    const WorkerCommand command = request.command == CliCommand::Replace ? WorkerCommand::Replace
        : request.command == CliCommand::Lowercase                       ? WorkerCommand::Rename
                                                                         : WorkerCommand::Search;
    // The desktop program's checks, with its words: nothing has run, so
    // there is nothing on standard output.
    if (const Expected<void> checked = CheckRunStart(command, request.job, request.searchText, request.directory); !checked) {
        printLine(errFd, checked.error().detail);
        return 2;
    }

    // The list receives the run's header and summary; every item only when
    // an export needs them. The run log text is kept only for the log file.
    // A preview prints the diff instead of the run log; its split files are
    // written to the temporary folder, never into the tree.
    SearchJob job = request.job;
    LogSettings log = request.log;
    std::shared_ptr<DiffPreview> preview;
    struct ClosedAtEnd {
        int fd = -1;
        ~ClosedAtEnd()
        {
            if (fd >= 0) ::close(fd);
        }
    } nowhere;
    if (request.diff) {
        preview = std::make_shared<DiffPreview>(request.directory, codePage);
        nowhere.fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        // Nothing changed, so there is nothing for the operation log either.
        log.enabled = false;
        job = JobForPreview(job);
    }
    auto results = std::make_shared<ResultList>();
    auto runLog = std::make_shared<RunLog>();
    auto printer =
        std::make_shared<CliPrinter>(preview ? nowhere.fd : outFd, errFd, request.exportRequest ? results.get() : nullptr,
                                     log.enabled ? runLog.get() : nullptr);
    auto notifier = std::make_shared<WaitingNotifier>(errFd);
    // Documents go through the built-in component, which reads and writes them directly,
    // and the formats it does not know through a LibreOffice server.
    auto documents = std::make_shared<WordDocumentEngine>(word::CreateDocumentApplication);
    SearchWorker worker(WorkerOutputs{results, runLog, notifier, nullptr, documents, printer}, codePage);
    printer->setOnClosed([&worker] { worker.RequestStop(); });

    const std::string searchText = PrepareSearchText(request.searchText, request.job, codePage);
    if (request.command == CliCommand::Replace) {
        BeginReplaceRun(*results, *runLog, request.searchText, request.replacementTyped);
        worker.SetTexts(searchText, request.replacement);
    } else if (request.command == CliCommand::Lowercase) {
        BeginRenameRun(*results, *runLog);
    } else {
        BeginSearchRun(*results, *runLog, request.searchText);
        worker.SetTexts(searchText, "");
    }
    printer->printLog(runLog->text());
    printer->flush();
    worker.SetJob(job);
    // A preview changes nothing, so there is nothing to undo.
    if (request.undo && !preview) worker.setUndoJournal(*request.undo);
    if (request.command == CliCommand::Replace)
        worker.StartReplace(request.directory, {preview, nullptr});
    else if (request.command == CliCommand::Lowercase)
        worker.StartRename(request.renameArgument, request.directory);
    else
        worker.StartSearch(request.directory);
    // Set after the start, which clears the stop flag; a signal that came
    // earlier stops the run at once.
    if (signals) signals->setStop([&worker] { worker.RequestStop(); });
    // Output shorter than a block does not wait for the next one for long.
    const UserMessage message = notifier->wait([&printer] { printer->flushStale(); }, CliPrinter::kOutputDelay);
    if (signals) signals->setStop(nullptr);
    // Whatever the run left unprinted (a walk that marks no outcomes).
    printer->endOfRun();

    // A signal and a reader that went away both stop the worker, which says
    // whether that cut the run short.
    const RunTally tally = worker.lastTally();
    const bool stopped = tally.stopped;
    const std::size_t itemsBefore = results->TopLevelCount();
    const std::string ending = CompleteRun(message, tally, *results, *runLog, log, clock);
    if (!ending.empty()) printer->printLog(ending + "\r\n");
    printer->flush();
    // A log file that could not be written is an error item of its own.
    bool failed = printer->errorCount() > 0 || message == UserMessage::RunAborted;
    for (std::size_t row = itemsBefore; row < results->TopLevelCount(); ++row) {
        const ItemHandle item = results->TopLevelItem(row);
        if (results->Kind(item) != ItemKind::Error) continue;
        printLine(errFd, results->ColumnText(item, ResultColumn::FileOrContext));
        failed = true;
    }
    const bool found = tally.hits > 0 || tally.files > 0 || tally.foundNotReplaced > 0;
    // A stopped preview would show only part of the changes.
    if (preview && !stopped) {
        const std::string diff = preview->text();
        if (WriteAll(outFd, diff.data(), diff.size())) return 2;
    }
    if (printer->outputClosed()) return found ? 0 : 1;
    // A run stopped by a signal saves what it found, as a stopped run of
    // the desktop program shows it.
    if (message != UserMessage::RunAborted && request.exportRequest && !exportResults(request, worker, *results, errFd))
        failed = true;
    if (signals && signals->received()) return ExitStatusForSignal(signals->received());
    return failed ? 2 : found ? 0 : 1;
}

}  // namespace tarnwick
