#include "ui/searchform/FormRunner.h"

#include "engine/Messages.h"
#include "engine/job/RunReplacement.h"
#include "engine/job/SearchJob.h"
#include "engine/match/SearchPattern.h"
#include "engine/replace/PreviewJob.h"
#include "engine/worker/Notifier.h"
#include "engine/worker/RunLifecycle.h"
#include "formjob/RelativeDates.h"
#include "formjob/UndoJournalSettings.h"
#include "platform/Clock.h"
#include "results/ResultList.h"
#include "settings/ComboHistory.h"
#include "ui/searchform/SearchFormListener.h"
#include "ui/searchform/SearchFormPrompts.h"
#include "ui/searchform/SearchFormTexts.h"

namespace tarnwick::ui {
namespace {

WorkerCommand CommandOf(RunKind kind)
{
    switch (kind) {
    case RunKind::Replace: return WorkerCommand::Replace;
    case RunKind::Rename: return WorkerCommand::Rename;
    case RunKind::Search:
    case RunKind::None: break;
    }
    return WorkerCommand::Search;
}

}  // namespace

FormRunner::FormRunner(FormServices services, FormWorkerParts parts, FormRunFields fields)
    : m_services(services), m_state(fields.state), m_dateFrom(fields.dateFrom), m_dateTo(fields.dateTo),
      m_results(std::move(parts.results)), m_runLog(std::make_shared<RunLog>())
{
    // No sink of its own: the run goes into the result list and the run log text.
    WorkerOutputs outputs{m_results, m_runLog, std::move(parts.notifier), std::move(parts.status), std::move(parts.documents),
                          nullptr};
    m_worker =
        std::make_unique<SearchWorker>(std::move(outputs), m_services.codePage, std::move(parts.runner), parts.shutdownWait);
}

FormRunner::~FormRunner() = default;

bool FormRunner::isAnyKindChosen() const
{
    return m_state.searchContents != 0 || m_state.searchFileNames != 0 || m_state.searchDirNames != 0;
}

// The first check: without a search text no search or replace can start.
bool FormRunner::checkSearchText(RunKind kind, bool preview)
{
    Expected<void> checked = CheckSearchText(CommandOf(kind), m_state.searchTexts.text);
    if (checked) return true;
    PreparedRun run = prepare(kind);
    run.preview = preview;
    refuse(std::move(run), std::move(checked).error());
    return false;
}

// The checks after the search text, in their order: directory, file types,
// something to search.
bool FormRunner::checkWhereToSearch()
{
    FormPrompts& prompts = m_services.prompts;
    if (m_state.directories.text.empty()) {
        prompts.showMessage(text::kNoDirectory);
        return false;
    }
    // Blanks or separators alone name no type either: the run would admit no file.
    if (m_state.allFileTypes == 0 && NormalizeFileTypes(m_state.fileTypes.text).empty()) {
        prompts.showMessage(text::kNoFileTypes);
        return false;
    }
    if (!isAnyKindChosen()) {
        prompts.showMessage(text::kNothingToSearch);
        return false;
    }
    return true;
}

// "Dateien ohne Treffer auflisten" with a run it does not fit: refused with
// a message before anything else is asked or changed.
bool FormRunner::checkFilesWithoutHits(RunKind kind)
{
    if (m_state.filesWithoutHits == 0) return true;
    const Expected<void> checked = CheckFilesWithoutHits(CommandOf(kind), prepare(kind).job);
    if (checked) return true;
    m_services.prompts.showMessage(checked.error().detail);
    return false;
}

std::optional<std::string> FormRunner::replacementForRun()
{
    Expected<std::string> prepared =
        PrepareRunReplacement(m_state.replaceTexts.text, m_state.searchTexts.text, prepare(RunKind::Replace).job);
    if (!prepared) {
        m_services.prompts.showMessage(prepared.error().detail);
        return std::nullopt;
    }
    return std::move(prepared).value();
}

FormRunner::PreparedRun FormRunner::prepare(RunKind kind) const
{
    PreparedRun run;
    run.kind = kind;
    run.searchTyped = m_state.searchTexts.text;
    run.replacementTyped = m_state.replaceTexts.text;
    // A relative range is taken at the moment the run starts.
    run.job = session::JobForRun(m_state, m_dateFrom, m_dateTo, m_services.clock.now());
    // A regular expression keeps its case: it is matched with icase instead.
    run.workerSearchText = PrepareSearchText(run.searchTyped, run.job, m_services.codePage);
    run.startPath = m_state.directories.text;
    return run;
}

bool FormRunner::startChecked(PreparedRun run)
{
    // What the form's fields cannot tell: whether the folder is there and
    // readable, whether the expression compiles.
    if (Expected<void> checked = CheckRunStart(CommandOf(run.kind), run.job, run.searchTyped, run.startPath); !checked) {
        refuse(std::move(run), std::move(checked).error());
        return false;
    }
    begin(std::move(run));
    return true;
}

void FormRunner::refuse(PreparedRun run, Failure refusal)
{
    m_services.prompts.showMessage(refusal.detail);
    // A preview leaves the result list of the last real run alone.
    if (run.preview) return;
    m_previewedRun.reset();
    // The list will hold nothing to replace in.
    setLastRunWasSearch(false);
    run.refusal = std::move(refusal);
    launchWhenFree(std::move(run));
}

void FormRunner::showRefusal(const PreparedRun& run)
{
    switch (run.kind) {
    case RunKind::Replace: BeginReplaceRun(*m_results, *m_runLog, run.searchTyped, run.replacementTyped); break;
    case RunKind::Rename: BeginRenameRun(*m_results, *m_runLog); break;
    case RunKind::Search:
    case RunKind::None: BeginSearchRun(*m_results, *m_runLog, run.searchTyped); break;
    }
    RefuseRun(*run.refusal, run.startPath, *m_results, *m_runLog);
    notifyChanged();
}

bool FormRunner::startSearchRun()
{
    if (m_busy) return false;
    if (!checkSearchText(RunKind::Search) || !checkWhereToSearch() || !checkFilesWithoutHits(RunKind::Search)) return false;
    return startChecked(prepare(RunKind::Search));
}

std::optional<FormRunner::PreparedRun> FormRunner::prepareReplace(bool preview)
{
    // The main window disables the command while busy; a second replace
    // must not start through any other way either.
    if (m_busy) return std::nullopt;
    FormPrompts& prompts = m_services.prompts;
    if (!checkSearchText(RunKind::Replace, preview) || !checkFilesWithoutHits(RunKind::Replace)) return std::nullopt;
    if (m_state.replaceTexts.text.empty() && !prompts.askOkCancel(text::kEmptyReplacementQuestion)) return std::nullopt;
    if (!checkWhereToSearch()) return std::nullopt;
    if (m_state.allFileTypes != 0 && settings::IsWarningShown(m_state.warningBits, settings::WarningBit::ReplaceInAllTypes)) {
        const HinweisAnswer answer = prompts.showHinweis(formtext::kWarnReplaceInAllTypes);
        if (answer.dontShowAgain) settings::OptOutOfWarning(m_state.warningBits, settings::WarningBit::ReplaceInAllTypes);
        if (!answer.ok) return std::nullopt;
    }
    std::optional<std::string> replacement = replacementForRun();
    if (!replacement) return std::nullopt;

    PreparedRun run = prepare(RunKind::Replace);
    run.replacement = std::move(*replacement);
    run.preview = preview;
    return run;
}

bool FormRunner::startReplaceRun()
{
    std::optional<PreparedRun> run = prepareReplace(false);
    if (!run) return false;
    return startChecked(std::move(*run));
}

bool FormRunner::startReplacePreview()
{
    std::optional<PreparedRun> run = prepareReplace(true);
    if (!run) return false;
    return startChecked(std::move(*run));
}

bool FormRunner::startPreviewedReplace()
{
    if (m_busy || !m_previewedRun) return false;
    PreparedRun run = std::move(*m_previewedRun);
    m_previewedRun.reset();
    run.preview = false;
    begin(std::move(run));
    return true;
}

bool FormRunner::convertFileNames()
{
    if (m_busy) return false;
    const std::optional<RenameChoice> choice = m_services.prompts.askRenameChoice();
    if (!choice) return false;
    m_state.renameOnlyUpperCase = *choice == RenameChoice::OnlyUpperCase ? 1 : 0;
    // The conversion needs neither a search text nor a file type; only its
    // folder is checked, so that it cannot end as an empty completion.
    PreparedRun run = prepare(RunKind::Rename);
    run.renameArgument = *choice == RenameChoice::AllNames ? RenameArgument::All : RenameArgument::OnlyAllCapitals;
    return startChecked(std::move(run));
}

void FormRunner::begin(PreparedRun run)
{
    m_previewedRun.reset();
    // A preview leaves the result list, and what its commands may do, alone.
    if (!run.preview) {
        m_lastRunKind = run.kind;
        if (m_listener) m_listener->releaseViewerDocuments();
        setLastRunWasSearch(run.kind == RunKind::Search);
    }
    setBusy(true);
    moveCurrentToTop();
    notifyChanged();
    launchWhenFree(std::move(run));
}

void FormRunner::launchWhenFree(PreparedRun run)
{
    if (m_runOutstanding) {
        // The stopped run still writes into the result list and the run log
        // text until its completion message; this one (or its refusal) comes after it.
        m_queuedRun = std::move(run);
        return;
    }
    launch(run);
}

void FormRunner::launch(const PreparedRun& run)
{
    if (run.refusal) {
        showRefusal(run);
        return;
    }
    ResultList& results = *m_results;
    m_stopRequested = false;
    m_outstandingPreview.reset();
    if (run.preview) {
        // Its items go to the collector; afterwards the worker's inputs are
        // those of the last real run again.
        m_outstandingPreview = std::make_shared<ReplacePreviewCollector>(m_services.codePage);
        m_previewedRun = run;
        m_inputsBeforePreview = m_worker->lastInputs();
        m_worker->SetTexts(run.workerSearchText, run.replacement);
        m_worker->SetJob(JobForPreview(run.job));
        m_worker->StartReplace(run.startPath, {m_outstandingPreview, m_outstandingPreview});
        m_runOutstanding = true;
        return;
    }
    switch (run.kind) {
    case RunKind::Search:
        BeginSearchRun(results, *m_runLog, run.searchTyped);
        m_workerSearchText = run.workerSearchText;
        m_workerReplacement.clear();
        m_worker->SetTexts(m_workerSearchText, m_workerReplacement);
        m_worker->SetJob(run.job);
        m_worker->StartSearch(run.startPath);
        break;
    case RunKind::Replace:
        BeginReplaceRun(results, *m_runLog, run.searchTyped, run.replacementTyped);
        m_workerSearchText = run.workerSearchText;
        m_workerReplacement = run.replacement;
        m_worker->SetTexts(m_workerSearchText, m_workerReplacement);
        m_worker->SetJob(run.job);
        m_worker->setUndoJournal(session::UndoJournalOf(m_state.options));
        m_worker->StartReplace(run.startPath);
        if (m_listener) m_listener->filesAboutToChange();
        break;
    case RunKind::Rename:
        // The worker keeps the search and replacement texts of the run before.
        BeginRenameRun(results, *m_runLog);
        m_worker->SetJob(run.job);
        m_worker->setUndoJournal(session::UndoJournalOf(m_state.options));
        m_worker->StartRename(run.renameArgument, run.startPath);
        break;
    case RunKind::None: return;
    }
    m_runOutstanding = true;
}

bool FormRunner::startReplaceInMarkedResults()
{
    if (!m_lastRunWasSearch || m_busy || m_runOutstanding) return false;
    if (m_state.replaceTexts.text.empty() && !m_services.prompts.askOkCancel(text::kEmptyReplacementQuestion)) return false;
    std::optional<std::string> replacement = replacementForRun();
    if (!replacement) return false;

    setBusy(true);
    // Only the replacement changes: the search text and the job stay those
    // of the search whose results are marked.
    m_workerReplacement = std::move(*replacement);
    m_worker->SetTexts(m_workerSearchText, m_workerReplacement);
    if (m_listener) m_listener->releaseViewerDocuments();
    m_worker->setUndoJournal(session::UndoJournalOf(m_state.options));
    m_worker->StartSelectedReplace();
    m_runOutstanding = true;
    if (m_listener) m_listener->filesAboutToChange();
    return true;
}

void FormRunner::stop()
{
    m_worker->RequestStop();
    m_stopRequested = m_runOutstanding;
    m_queuedRun.reset();
    setBusy(false);
}

void FormRunner::handleWorkerMessage(UserMessage message)
{
    m_runOutstanding = false;
    if (std::shared_ptr<ReplacePreviewCollector> preview = std::move(m_outstandingPreview)) {
        // No summary and no operation log: nothing was replaced.
        m_worker->restoreInputs(m_inputsBeforePreview);
        notifyStatus({});
        const bool complete = message == UserMessage::ReplaceDone && !m_stopRequested;
        if (!complete) m_previewedRun.reset();
        if (launchQueuedRun()) return;
        setBusy(false);
        if (complete && m_previewHandler) m_previewHandler(preview);
        return;
    }
    const settings::OptionsValues& options = m_state.options;
    const LogSettings log{options.useLog != 0, options.logFile, options.logOnlyReplace != 0};
    CompleteRun(message, m_worker->lastTally(), *m_results, *m_runLog, log, m_services.clock);
    // The end of a replace in the marked results leaves the status text alone.
    if (message != UserMessage::SelectedDone) notifyStatus({});
    if ((message == UserMessage::SelectedDone || message == UserMessage::RunAborted) && m_listener)
        m_listener->selectedReplaceEnded();

    if (launchQueuedRun()) return;
    setBusy(false);
}

bool FormRunner::launchQueuedRun()
{
    if (!m_queuedRun) return false;
    const PreparedRun next = std::move(*m_queuedRun);
    m_queuedRun.reset();
    launch(next);
    return m_runOutstanding;
}

void FormRunner::handleWorkerError(const std::string& title, const std::string& text)
{
    if (title.empty())
        m_services.prompts.showMessage(text);
    else
        m_services.prompts.showTitledMessage(title, text);
}

void FormRunner::handleWorkerStatus(const std::string& text) { notifyStatus(text); }

// The texts of a run that starts lead their histories.
void FormRunner::moveCurrentToTop()
{
    settings::MoveCurrentToTop(m_state.directories);
    settings::MoveCurrentToTop(m_state.fileTypes);
    settings::MoveCurrentToTop(m_state.nameStrings);
    settings::MoveCurrentToTop(m_state.searchTexts);
    settings::MoveCurrentToTop(m_state.replaceTexts);
}

void FormRunner::setBusy(bool busy)
{
    if (busy == m_busy) return;
    m_busy = busy;
    if (m_listener) m_listener->busyChanged(busy);
}

void FormRunner::setLastRunWasSearch(bool value)
{
    m_lastRunWasSearch = value;
    if (m_listener) m_listener->lastRunWasSearchChanged(value);
}

void FormRunner::notifyChanged()
{
    if (m_listener) m_listener->formChanged();
}

void FormRunner::notifyStatus(const std::string& text)
{
    if (m_listener) m_listener->statusTextChanged(text);
}

}  // namespace tarnwick::ui
