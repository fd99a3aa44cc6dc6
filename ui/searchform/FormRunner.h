#pragma once
// The runs of the search form: the checks before a search, replace,
// preview or file-name conversion starts, in their fixed order, the
// hand-over to the search worker, "Stopp", and what happens when the worker
// reports the end of a run.
//
// Owns the search worker and the run log text; reads the form's fields
// (owned by the SearchFormController) when a run starts. Used on the user
// interface thread only; the worker's messages reach it through a Notifier
// that hands them over to that thread (QtNotifier in the desktop program).
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/job/SearchJob.h"
#include "engine/log/RunLog.h"
#include "engine/worker/RunStart.h"
#include "engine/worker/SearchWorker.h"
#include "settings/FormState.h"
#include "ui/replacepreview/ReplacePreviewCollector.h"
#include "ui/results/ResultsCommands.h"
#include "ui/results/RunKind.h"
#include "ui/searchform/FormServices.h"
#include "ui/searchform/QtNotifierSink.h"

namespace tarnwick {
class Notifier;
class ResultList;
class StatusDisplay;
class DocumentEngine;
}  // namespace tarnwick

namespace tarnwick::ui {

class FormListener;

// Where the worker reports to, and what runs its commands.
struct FormWorkerParts {
    std::shared_ptr<ResultList> results;
    std::shared_ptr<Notifier> notifier;
    std::shared_ptr<StatusDisplay> status;  // may be null
    std::shared_ptr<DocumentEngine> documents;  // may be null
    std::shared_ptr<CommandRunner> runner;  // null: the engine's own commands
    std::chrono::milliseconds shutdownWait{1000};
};

// The form's fields a run is taken from; they outlive the runner. A start
// changes only the order of the histories, a warning's opt-out and the
// choice of the file-name conversion.
struct FormRunFields {
    settings::FormState& state;
    const std::int64_t& dateFrom;
    const std::int64_t& dateTo;
};

class FormRunner final : public MarkedResultsReplacer, public WorkerMessageSink {
public:
    FormRunner(FormServices services, FormWorkerParts parts, FormRunFields fields);
    ~FormRunner() override;
    FormRunner(const FormRunner&) = delete;
    FormRunner& operator=(const FormRunner&) = delete;

    void setListener(FormListener* listener) { m_listener = listener; }

    // Each returns whether the run was accepted (started, or queued behind a
    // stopped run that has not ended yet).
    bool startSearchRun();
    bool startReplaceRun();
    // "Vorschau der Ersetzungen": the replace run with the same checks and
    // values, writing nothing. The result list keeps the last real run.
    // When the preview ran to its end the preview handler receives what it
    // gathered (a stopped or aborted preview shows nothing).
    bool startReplacePreview();
    // The real replace of the last preview, with the values it was started
    // with; false when there is none or a run is active.
    bool startPreviewedReplace();
    void setPreviewHandler(std::function<void(std::shared_ptr<const ReplacePreviewCollector>)> handler)
    {
        m_previewHandler = std::move(handler);
    }
    bool convertFileNames();
    // MarkedResultsReplacer: replace in the marked results of the last search.
    bool startReplaceInMarkedResults() override;
    // "Stopp": asks the worker to stop and clears the busy flag at once.
    void stop();
    // A completion message of the worker.
    void handleWorkerMessage(UserMessage message) override;
    // A message box the worker asked for on its own thread.
    void handleWorkerError(const std::string& title, const std::string& text) override;
    void handleWorkerStatus(const std::string& text) override;

    bool isBusy() const { return m_busy; }
    RunKind lastRunKind() const { return m_lastRunKind; }
    bool lastRunWasSearch() const { return m_lastRunWasSearch; }
    // The replacement the worker holds (read when a hit is shown after a replace).
    const std::string& workerReplacement() const { return m_workerReplacement; }
    const RunLog& runLog() const { return *m_runLog; }
    ResultList& results() const { return *m_results; }
    SearchWorker& worker() { return *m_worker; }

private:
    // Everything a run hands to the worker, taken from the fields when the
    // user started it.
    struct PreparedRun {
        RunKind kind = RunKind::Search;
        std::string searchTyped;
        std::string replacementTyped;
        std::string workerSearchText;
        std::string replacement;  // after escape sequences were interpreted
        SearchJob job;
        std::string startPath;
        RenameArgument renameArgument = RenameArgument::OnlyAllCapitals;
        bool preview = false;  // a replace that writes nothing
        // Set for a run that cannot start: it shows why instead of running.
        std::optional<Failure> refusal;
    };

    bool checkSearchText(RunKind kind, bool preview = false);
    bool checkWhereToSearch();
    bool checkFilesWithoutHits(RunKind kind);
    bool isAnyKindChosen() const;
    std::optional<std::string> replacementForRun();
    // The checks and questions of a replace, then its values.
    std::optional<PreparedRun> prepareReplace(bool preview);
    PreparedRun prepare(RunKind kind) const;
    // Hands a checked run to the worker, or refuses it when it cannot start
    // (start folder, expression). Returns whether it was accepted.
    bool startChecked(PreparedRun run);
    // Tells the user why the run cannot start, and shows it in the result
    // list as soon as no other run writes there.
    void refuse(PreparedRun run, Failure refusal);
    void showRefusal(const PreparedRun& run);
    // Hands a prepared run to the worker, or keeps it until the stopped run
    // has ended.
    void begin(PreparedRun run);
    // Launches the run (or shows its refusal) now, or after the stopped run.
    void launchWhenFree(PreparedRun run);
    void launch(const PreparedRun& run);
    // Starts the run that waited for the last one to end; false when none
    // did or it was a refusal, which ends at once.
    bool launchQueuedRun();
    void moveCurrentToTop();
    void setBusy(bool busy);
    void setLastRunWasSearch(bool value);
    void notifyChanged();
    void notifyStatus(const std::string& text);

    FormServices m_services;
    settings::FormState& m_state;
    const std::int64_t& m_dateFrom;
    const std::int64_t& m_dateTo;

    std::shared_ptr<ResultList> m_results;
    std::shared_ptr<RunLog> m_runLog;
    std::unique_ptr<SearchWorker> m_worker;
    std::string m_workerSearchText;
    std::string m_workerReplacement;
    // A run the worker has been given whose completion message has not come
    // yet; it still writes into the result list and the run log text.
    bool m_runOutstanding = false;
    // "Stopp" was pressed during the outstanding run: a preview it cut short
    // shows only part of the changes, so it is not offered.
    bool m_stopRequested = false;
    // The run started (or refused) while a stopped one was still ending.
    std::optional<PreparedRun> m_queuedRun;
    // What the outstanding run gathers when it is a preview.
    std::shared_ptr<ReplacePreviewCollector> m_outstandingPreview;
    // The values of the last preview that ran to its end.
    std::optional<PreparedRun> m_previewedRun;
    // What the worker held before the outstanding preview.
    WorkerInputs m_inputsBeforePreview;
    std::function<void(std::shared_ptr<const ReplacePreviewCollector>)> m_previewHandler;

    bool m_busy = false;
    RunKind m_lastRunKind = RunKind::None;
    bool m_lastRunWasSearch = false;
    FormListener* m_listener = nullptr;
};

}  // namespace tarnwick::ui
