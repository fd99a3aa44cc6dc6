#pragma once
// The decisions of the main search form, without any widget: its fields
// and histories, which controls are enabled, how typed texts join the
// histories, the checks before a run, the hand-over to the search worker,
// and what happens when the worker reports the end of a run.
//
// Owns the search worker and the run log text. Used on the user interface
// thread only; the worker's messages reach it through a Notifier that hands
// them over to that thread (QtNotifier in the desktop program).
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/job/SearchJob.h"
#include "engine/log/RunLog.h"
#include "engine/worker/RunStart.h"
#include "engine/worker/SearchWorker.h"
#include "settings/FormState.h"
#include "settings/SavedSearches.h"
#include "ui/replacepreview/ReplacePreviewCollector.h"
#include "ui/results/ResultsCommands.h"
#include "ui/results/RunKind.h"
#include "ui/searchform/QtNotifierSink.h"
#include "ui/searchform/SearchFormPrompts.h"

namespace tarnwick {
class Clock;
class CodePage;
class Notifier;
class ResultList;
class StatusDisplay;
class DocumentEngine;
namespace settings {
class ProfileStore;
}
}  // namespace tarnwick

namespace tarnwick::ui {

class FormListener;

// The five combo boxes with a history.
enum class FormCombo { SearchText, ReplaceText, Directory, FileTypes, NameStrings };

// Which controls are enabled. The states of disabled controls still count
// for a run.
struct FormEnabling {
    bool fileTypes = true;  // the file-type box and its "Entfernen"
    bool sizeFields = false;  // the two size fields
    bool dateControls = false;  // the three date kinds and the choice of absolute or relative range
    bool absoluteDates = false;  // the four date and time controls
    bool relativeDates = false;  // the number and unit of "in den letzten"
    bool wholeWords = true;  // "Nur ganze Wörter"
    bool regularExpression = true;  // "Regulärer Ausdruck"
    bool replacementCaptures = false;  // "Rückverweise im Ersetzungstext": with an expression only
    bool preserveCase = true;  // "Schreibweise der Treffer übernehmen": while a replace can run
    bool wordModes = true;  // "alle Typen", "auto"

    bool operator==(const FormEnabling&) const = default;
};

// What the controller needs from the program around it.
struct FormServices {
    FormPrompts& prompts;
    const Clock& clock;
    const CodePage& codePage;
    settings::ProfileStore* store = nullptr;  // null: nothing is loaded or saved
};

// Where the worker reports to, and what runs its commands.
struct FormWorkerParts {
    std::shared_ptr<ResultList> results;
    std::shared_ptr<Notifier> notifier;
    std::shared_ptr<StatusDisplay> status;  // may be null
    std::shared_ptr<DocumentEngine> documents;  // may be null
    std::shared_ptr<CommandRunner> runner;  // null: the engine's own commands
    std::chrono::milliseconds shutdownWait{1000};
};

// The value of a size field: digits only; an empty field gives
// `emptyValue`, a number beyond 32 bits the largest one. Nothing for a text
// that is not an unsigned decimal number.
std::optional<std::uint32_t> SizeFieldValue(const std::string& text, std::uint32_t emptyValue);
// The text a size field shows: empty for `emptyValue` when that means "no limit".
std::string SizeFieldText(std::uint32_t value, bool isUpperBound);
inline constexpr std::uint32_t kNoUpperSizeLimit = 0xFFFF'FFFFu;

class SearchFormController final : public MarkedResultsReplacer, public WorkerMessageSink {
public:
    static constexpr std::int64_t kOneDay = 86'400;

    SearchFormController(FormServices services, FormWorkerParts parts);
    ~SearchFormController() override;
    SearchFormController(const SearchFormController&) = delete;
    SearchFormController& operator=(const SearchFormController&) = delete;

    void setListener(FormListener* listener) { m_listener = listener; }

    // First show: loads the settings, applies the enabling rules, sets the
    // date range to the day before now and, when the stored view was
    // collapsed, collapses the form. Later calls do nothing.
    void initialize();
    bool isInitialized() const { return m_initialized; }

    // --- fields, bound to the controls ---
    const settings::FormState& state() const { return m_state; }
    // Plain flags and numbers without rules of their own are written here
    // directly by the controls.
    settings::FormState& fields() { return m_state; }
    const FormEnabling& enabling() const { return m_enabling; }

    void setAllFileTypes(bool on);
    void setSizeFilter(bool on);
    void setDateFilter(bool on);
    void setRegularExpression(bool on);
    // "Dateien ohne Treffer auflisten": no replace runs while it is on.
    void setFilesWithoutHits(bool on);
    void setWordAutoMode(WordAutoMode mode);
    // Switching Word off shows its warning while its opt-out bit is set;
    // "Abbrechen" keeps Word on. Returns the resulting state.
    bool setUseWord(bool on);
    // A size field's text; false (nothing taken) when it is not a number.
    bool setSizeField(bool upperBound, const std::string& text);

    // "in den letzten N Tagen/Stunden" instead of the two dates.
    void setRelativeDates(bool on);

    std::int64_t dateFrom() const { return m_dateFrom; }
    std::int64_t dateTo() const { return m_dateTo; }
    void setDateFrom(std::int64_t seconds) { m_dateFrom = seconds; }
    void setDateTo(std::int64_t seconds) { m_dateTo = seconds; }

    // --- combo boxes ---
    const settings::ComboHistory& combo(FormCombo which) const;
    // The user typed: the edit text changes, the history does not.
    void setComboText(FormCombo which, const std::string& text);
    // The user picked an entry of the drop-down list.
    void selectComboEntry(FormCombo which, int index);
    // The box lost the keyboard focus: the text is prepared (file types
    // normalised, file-name strings terminated) and joins the history.
    void commitComboText(FormCombo which);
    // "Entfernen" beside the file types or the file-name strings.
    void removeComboEntry(FormCombo which);
    // "Durchsuchen...".
    void browseDirectory();

    // --- runs ---
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

    // "Als Befehlszeile kopieren": the search or replace the form holds as
    // one shell-quoted tarnwick-cli line.
    std::string commandLineText(bool replace) const;
    // The line under the main fields while the form is collapsed; empty
    // when it is expanded or no hidden filter is in force.
    std::string hiddenFiltersLine() const;

    // --- saved searches ---
    // The searches saved in the settings file, read again before each change
    // so that another running program's changes are kept.
    const std::vector<settings::SavedSearch>& savedSearches() const { return m_savedSearches; }
    // Saves the form under `name`; an existing search of that name is
    // replaced after the user agreed. False when refused (the user has been told).
    bool saveSearch(const std::string& name);
    // Takes the saved search into the form.
    void loadSavedSearch(std::size_t index);
    bool renameSavedSearch(std::size_t index, const std::string& name);
    void deleteSavedSearch(std::size_t index);

    // --- view ---
    bool isExpanded() const { return m_state.expandedView != 0; }
    // "Erweitert  <<" while expanded, "Erweitert  >>" while collapsed.
    std::string expandButtonText() const;
    // With `clearFirst` the flag is cleared before toggling, so the form ends
    // expanded (the menu command when the form row was hidden).
    void toggleExpanded(bool clearFirst = false);

    // The options dialog was confirmed: its values become the form's.
    void applyOptions(const settings::OptionsValues& options);
    // Fields changed from outside the form ("Übernehmen" of "Ausdruck
    // testen"): the enabling rules apply again and the controls show them.
    void changeFields(const std::function<void(settings::FormState&)>& change);
    // The main window closes: stops the worker, commits the combo boxes and
    // writes the settings.
    void saveFormSettings();
    // The updater has started and the main window closes so that it can
    // replace the program.
    void markClosingForUpdate() { m_closingForUpdate = true; }
    bool isClosingForUpdate() const { return m_closingForUpdate; }

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
    void launch(const PreparedRun& run);
    // Starts the run that waited for the last one to end; false when none
    // did or it was a refusal, which ends at once.
    bool launchQueuedRun();
    void moveCurrentToTop();
    void applyWordRules();
    void applyDateRules();
    void applyAllRules();
    void reloadSavedSearches();
    void storeSavedSearches();
    void setBusy(bool busy);
    void setLastRunWasSearch(bool value);
    void notifyChanged();
    void notifyStatus(const std::string& text);

    FormServices m_services;
    settings::FormState m_state;
    FormEnabling m_enabling;
    std::vector<settings::SavedSearch> m_savedSearches;
    std::int64_t m_dateFrom = 0;
    std::int64_t m_dateTo = 0;

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
    bool m_initialized = false;
    bool m_closingForUpdate = false;
    FormListener* m_listener = nullptr;
};

}  // namespace tarnwick::ui
