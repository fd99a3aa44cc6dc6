#include "cli/CliSession.h"

#include "cli/CommandLine.h"
#include "engine/Messages.h"
#include "engine/documents/WordDocumentEngine.h"
#include "engine/log/RunLifecycle.h"
#include "engine/log/RunLog.h"
#include "engine/match/SearchPattern.h"
#include "engine/worker/Notifier.h"
#include "engine/worker/SearchWorker.h"
#include "platform/SystemError.h"
#include "results/ResultList.h"
#include "results/ResultsExport.h"
#include "session/RunValues.h"

#include <sys/stat.h>

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <ostream>

namespace tarnwick {
namespace {

// Receives the worker's messages and lets the main thread wait for the end.
class WaitingNotifier final : public Notifier {
public:
    explicit WaitingNotifier(std::ostream& err) : m_err(err) {}

    void Post(int message) override
    {
        std::lock_guard lock(m_mutex);
        m_message = message;
        m_arrived.notify_all();
    }

    void ShowMessage(const std::string& text) override
    {
        std::lock_guard lock(m_mutex);
        m_err << text << '\n';
    }

    int wait()
    {
        std::unique_lock lock(m_mutex);
        m_arrived.wait(lock, [&] { return m_message != 0; });
        return m_message;
    }

private:
    std::ostream& m_err;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    int m_message = 0;  // guarded by m_mutex
};

// The run log text with CR LF line ends turned into LF.
void printRunLog(const std::string& text, std::ostream& out)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            out.write(text.data() + start, static_cast<std::streamsize>(text.size() - start));
            out.put('\n');
            break;
        }
        out.write(text.data() + start, static_cast<std::streamsize>(end - start));
        out.put('\n');
        start = end + 2;
    }
}

void printErrors(const ResultList& results, std::ostream& err)
{
    for (ItemHandle item = results.FirstTopLevelItem(); item != kNoItem; item = results.NextSibling(item)) {
        if (results.Kind(item) != ItemKind::Error) continue;
        const std::string message = results.ColumnText(item, 2);
        err << results.ColumnText(item, 0);
        if (!message.empty()) err << ": " << message;
        err << '\n';
    }
}

// Saves the results as --export asks; false (with a message) when it could not.
bool exportResults(const CliRequest& request, const SearchWorker& worker, const ResultList& results,
                   std::ostream& err)
{
    const RunValues run = session::MakeRunValues(worker);
    const ExportOutcome outcome = ExportResults(*request.exportRequest, run, results);
    if (outcome.success) return true;
    // The writer brings no message when an XML file cannot be created; the
    // user must still learn that nothing was saved.
    err << (outcome.message.empty() ? "export failed: " + request.exportRequest->targetPath : outcome.message) << '\n';
    return false;
}

}  // namespace

int RunCliRequest(const CliRequest& request, const CodePage& codePage, const Clock& clock, std::ostream& out,
                  std::ostream& err)
{
    struct stat st {};
    if (::stat(request.directory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        const int error = ::stat(request.directory.c_str(), &st) != 0 ? errno : ENOTDIR;
        err << request.directory << ": " << SystemErrorText(error) << '\n';
        return 2;
    }
    if (request.job.regularExpression && request.command != "lowercase") {
        const CompiledRegex compiled = CompileRegex(request.searchText, request.job.matchCase != 0);
        if (!compiled.regex) {
            err << text::kInvalidRegex << compiled.error << '\n';
            return 2;
        }
    }

    auto results = std::make_shared<ResultList>();
    auto runLog = std::make_shared<RunLog>();
    auto notifier = std::make_shared<WaitingNotifier>(err);
    // Documents go through the built-in component, which reads and writes them directly.
    auto documents = std::make_shared<WordDocumentEngine>(word::CreateFileApplication);
    SearchWorker worker(WorkerOutputs{results, runLog, notifier, nullptr, documents}, codePage);

    const std::string searchText = PrepareSearchText(request.searchText, request.job, codePage);
    if (request.command == "replace") {
        BeginReplaceRun(*results, *runLog, request.searchText, request.replacementTyped);
        worker.SetTexts(searchText, request.replacement);
        worker.SetJob(request.job);
        worker.StartReplace(request.directory);
    } else if (request.command == "lowercase") {
        BeginRenameRun(*results, *runLog);
        worker.SetJob(request.job);
        worker.StartRename(request.renameArgument, request.directory);
    } else {
        BeginSearchRun(*results, *runLog, request.searchText);
        worker.SetTexts(searchText, "");
        worker.SetJob(request.job);
        worker.StartSearch(request.directory);
    }
    const int message = notifier->wait();

    const std::int32_t hits = worker.GetHitCount();
    const std::int32_t files = worker.GetFileCount();
    if (message != UserMessage::RunAborted) printRunLog(runLog->Text(), out);
    const std::string summary = CompleteRun(message, hits, files, *results, *runLog, request.log, clock);
    if (!summary.empty()) out << summary << '\n';
    out.flush();
    printErrors(*results, err);
    if (message == UserMessage::RunAborted) return 2;
    if (request.exportRequest && !exportResults(request, worker, *results, err)) return 2;
    return (hits > 0 || files > 0) ? 0 : 1;
}

}  // namespace tarnwick
