#pragma once
// The decisions of the main search form, without any widget: its fields
// and histories, which controls are enabled, how typed texts join the
// histories, saved searches and the form's view. Its runs (the checks
// before a run, the hand-over to the search worker and the worker's
// messages) are the FormRunner's, which it owns and hands the fields to.
//
// Used on the user interface thread only.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "settings/FormState.h"
#include "settings/SavedSearches.h"
#include "ui/searchform/FormRunner.h"
#include "ui/searchform/FormServices.h"
#include "ui/searchform/SearchFormPrompts.h"

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

// The value of a size field: digits only; an empty field gives
// `emptyValue`, a number beyond 32 bits the largest one. Nothing for a text
// that is not an unsigned decimal number.
std::optional<std::uint32_t> SizeFieldValue(const std::string& text, std::uint32_t emptyValue);
// The text a size field shows: empty for `emptyValue` when that means "no limit".
std::string SizeFieldText(std::uint32_t value, bool isUpperBound);
inline constexpr std::uint32_t kNoUpperSizeLimit = 0xFFFF'FFFFu;

class SearchFormController final {
public:
    static constexpr std::int64_t kOneDay = 86'400;

    SearchFormController(FormServices services, FormWorkerParts parts);
    ~SearchFormController();
    SearchFormController(const SearchFormController&) = delete;
    SearchFormController& operator=(const SearchFormController&) = delete;

    void setListener(FormListener* listener);

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
    // Starting runs from the form, "Stopp", the worker's messages.
    FormRunner& runs() { return m_runs; }
    const FormRunner& runs() const { return m_runs; }

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
    void applyWordRules();
    void applyDateRules();
    void applyAllRules();
    void reloadSavedSearches();
    void storeSavedSearches();
    void notifyChanged();

    FormServices m_services;
    settings::FormState m_state;
    FormEnabling m_enabling;
    std::vector<settings::SavedSearch> m_savedSearches;
    std::int64_t m_dateFrom = 0;
    std::int64_t m_dateTo = 0;

    // Reads the fields above, so it comes after them.
    FormRunner m_runs;

    bool m_initialized = false;
    bool m_closingForUpdate = false;
    FormListener* m_listener = nullptr;
};

}  // namespace tarnwick::ui
