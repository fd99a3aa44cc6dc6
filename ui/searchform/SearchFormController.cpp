#include "ui/searchform/SearchFormController.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "formjob/CommandLineText.h"
#include "formjob/FormJob.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "settings/FormSettings.h"
#include "ui/searchform/FilterSummary.h"
#include "ui/searchform/SearchFormListener.h"
#include "ui/searchform/SearchFormTexts.h"

namespace tarnwick::ui {
namespace {

// The history of one combo box, const or not as the state is.
template <typename State>
auto& HistoryOf(State& state, FormCombo which)
{
    switch (which) {
    case FormCombo::SearchText: return state.searchTexts;
    case FormCombo::ReplaceText: return state.replaceTexts;
    case FormCombo::Directory: return state.directories;
    case FormCombo::FileTypes: return state.fileTypes;
    case FormCombo::NameStrings: break;
    }
    return state.nameStrings;
}

}  // namespace

std::optional<std::uint32_t> SizeFieldValue(const std::string& text, std::uint32_t emptyValue)
{
    const auto isBlank = [](unsigned char c) { return std::isspace(c) != 0; };
    auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    auto last = std::find_if_not(text.rbegin(), std::string::const_reverse_iterator(first), isBlank).base();
    if (first == last) return emptyValue;
    std::uint64_t value = 0;
    for (auto it = first; it != last; ++it) {
        const unsigned char c = static_cast<unsigned char>(*it);
        if (c < '0' || c > '9') return std::nullopt;
        // A number too large for the field is as good as "no limit".
        value = std::min<std::uint64_t>(value * 10 + (c - '0'), std::numeric_limits<std::uint32_t>::max());
    }
    return static_cast<std::uint32_t>(value);
}

std::string SizeFieldText(std::uint32_t value, bool isUpperBound)
{
    if (isUpperBound && value == kNoUpperSizeLimit) return {};
    return std::to_string(value);
}

SearchFormController::SearchFormController(FormServices services, FormWorkerParts parts)
    : m_services(services), m_runs(services, std::move(parts), FormRunFields{m_state, m_dateFrom, m_dateTo})
{
}

SearchFormController::~SearchFormController() = default;

void SearchFormController::setListener(FormListener* listener)
{
    m_listener = listener;
    m_runs.setListener(listener);
}

void SearchFormController::initialize()
{
    if (m_initialized) return;
    if (m_services.store != nullptr) settings::LoadFormSettings(*m_services.store, m_state);
    applyAllRules();
    reloadSavedSearches();

    const std::int64_t now = m_services.clock.now();
    m_dateFrom = now - kOneDay;
    m_dateTo = now;

    m_initialized = true;
    if (m_state.expandedView == 0) {
        // The stored view was collapsed: the form is built expanded and
        // collapses once.
        m_state.expandedView = 1;
        toggleExpanded();
    } else {
        m_state.expandedView = 1;
        if (m_listener) m_listener->expandedChanged(true);
    }
    notifyChanged();
}

// --- fields ---

void SearchFormController::setAllFileTypes(bool on)
{
    m_state.allFileTypes = on ? 1 : 0;
    m_enabling.fileTypes = !on;
    notifyChanged();
}

void SearchFormController::setSizeFilter(bool on)
{
    m_state.sizeFilter = on ? 1 : 0;
    m_enabling.sizeFields = on;
    notifyChanged();
}

void SearchFormController::setDateFilter(bool on)
{
    m_state.dateFilter = on ? 1 : 0;
    applyDateRules();
    notifyChanged();
}

void SearchFormController::setRelativeDates(bool on)
{
    m_state.dateRelative = on ? 1 : 0;
    applyDateRules();
    notifyChanged();
}

void SearchFormController::applyAllRules()
{
    m_enabling.fileTypes = m_state.allFileTypes == 0;
    m_enabling.sizeFields = m_state.sizeFilter != 0;
    m_enabling.wholeWords = m_state.regularExpression == 0;
    m_enabling.replacementCaptures = m_state.regularExpression != 0;
    m_enabling.preserveCase = m_state.filesWithoutHits == 0;
    applyDateRules();
    applyWordRules();
}

void SearchFormController::applyDateRules()
{
    const bool on = m_state.dateFilter != 0;
    const bool relative = m_state.dateRelative != 0;
    m_enabling.dateControls = on;
    m_enabling.absoluteDates = on && !relative;
    m_enabling.relativeDates = on && relative;
}

void SearchFormController::setRegularExpression(bool on)
{
    m_state.regularExpression = on ? 1 : 0;
    m_enabling.wholeWords = !on;
    m_enabling.replacementCaptures = on;
    notifyChanged();
}

void SearchFormController::setFilesWithoutHits(bool on)
{
    m_state.filesWithoutHits = on ? 1 : 0;
    m_enabling.preserveCase = !on;
    notifyChanged();
}

void SearchFormController::setWordAutoMode(WordAutoMode mode)
{
    m_state.wordAutoMode = session::StoredWordAutoMode(mode);
    m_enabling.regularExpression = m_state.useWord == 0 || m_state.options.wordRegex != 0 || mode == WordAutoMode::ByExtension;
    notifyChanged();
}

bool SearchFormController::setUseWord(bool on)
{
    if (!on && m_state.useWord != 0 && settings::IsWarningShown(m_state.warningBits, settings::WarningBit::WordOff)) {
        const HinweisAnswer answer = m_services.prompts.showHinweis(formtext::kWarnWordOff);
        // The opt-out counts whichever button closed the warning.
        if (answer.dontShowAgain) settings::OptOutOfWarning(m_state.warningBits, settings::WarningBit::WordOff);
        if (!answer.ok) {
            m_state.useWord = 1;
            notifyChanged();
            return true;
        }
    }
    m_state.useWord = on ? 1 : 0;
    applyWordRules();
    notifyChanged();
    return on;
}

void SearchFormController::applyWordRules()
{
    const bool useWord = m_state.useWord != 0;
    m_enabling.wordModes = useWord;
    // A document takes the expression as such only with expressions in
    // documents; otherwise the text is looked for literally, whole words
    // included, and searching every file as a document leaves no expression.
    const bool wordRegex = m_state.options.wordRegex != 0;
    m_enabling.regularExpression =
        !useWord || wordRegex || session::WordAutoModeOf(m_state.wordAutoMode) == WordAutoMode::ByExtension;
    if (m_state.regularExpression != 0) m_enabling.wholeWords = useWord && !wordRegex;
}

bool SearchFormController::setSizeField(bool upperBound, const std::string& text)
{
    const std::optional<std::uint32_t> value = SizeFieldValue(text, upperBound ? kNoUpperSizeLimit : 0);
    if (!value) return false;
    (upperBound ? m_state.maxSizeKb : m_state.minSizeKb) = *value;
    return true;
}

// --- combo boxes ---

const settings::ComboHistory& SearchFormController::combo(FormCombo which) const { return HistoryOf(m_state, which); }

void SearchFormController::setComboText(FormCombo which, const std::string& text) { HistoryOf(m_state, which).text = text; }

void SearchFormController::selectComboEntry(FormCombo which, int index)
{
    if (index < 0) return;
    HistoryOf(m_state, which).select(static_cast<std::size_t>(index));
}

void SearchFormController::commitComboText(FormCombo which)
{
    auto& history = HistoryOf(m_state, which);
    switch (which) {
    case FormCombo::FileTypes:
        settings::CommitComboText(history, [](const std::string& text) { return NormalizeFileTypes(text); });
        break;
    case FormCombo::NameStrings: settings::CommitComboText(history, settings::TerminateNameStrings); break;
    default: settings::CommitComboText(history); break;
    }
    notifyChanged();
}

void SearchFormController::removeComboEntry(FormCombo which)
{
    if (which != FormCombo::FileTypes && which != FormCombo::NameStrings) return;
    auto& history = HistoryOf(m_state, which);
    const int found = history.find(history.text);
    if (found < 0) return;
    history.entries.erase(history.entries.begin() + found);
    history.selected = -1;
    if (!history.entries.empty()) history.select(found > 0 ? static_cast<std::size_t>(found - 1) : 0);
    notifyChanged();
}

void SearchFormController::browseDirectory()
{
    settings::ComboHistory& history = m_state.directories;
    const std::optional<std::string> chosen = m_services.prompts.chooseDirectory(history.text);
    if (!chosen) return;
    history.text = *chosen;
    const std::string folded = m_services.codePage.lower(*chosen);
    const bool known = std::any_of(history.entries.begin(), history.entries.end(),
                                   [&](const std::string& entry) { return m_services.codePage.lower(entry) == folded; });
    if (!known) {
        history.entries.insert(history.entries.begin(), *chosen);
        history.selected = 0;
    }
    notifyChanged();
}

// --- view and settings ---

std::string SearchFormController::expandButtonText() const
{
    return std::string(formtext::kExtended) + (isExpanded() ? formtext::kWhileExpanded : formtext::kWhileCollapsed);
}

void SearchFormController::toggleExpanded(bool clearFirst)
{
    if (clearFirst) m_state.expandedView = 0;
    m_state.expandedView = isExpanded() ? 0 : 1;
    if (m_listener) m_listener->expandedChanged(isExpanded());
}

// --- saved searches ---

void SearchFormController::reloadSavedSearches()
{
    if (m_services.store != nullptr) m_savedSearches = settings::LoadSavedSearches(*m_services.store, m_state);
}

void SearchFormController::storeSavedSearches()
{
    if (m_services.store != nullptr) IgnoreFailure(settings::StoreSavedSearches(*m_services.store, m_savedSearches));
    notifyChanged();
}

bool SearchFormController::saveSearch(const std::string& name)
{
    reloadSavedSearches();
    const auto same = std::find_if(m_savedSearches.begin(), m_savedSearches.end(),
                                   [&](const settings::SavedSearch& search) { return search.name == name; });
    if (same != m_savedSearches.end() && !m_services.prompts.askOkCancel(formtext::ReplaceSavedSearchQuestion(name)))
        return false;
    if (const Expected<void> changed = settings::PutSavedSearch(m_savedSearches, name, m_state); !changed) {
        m_services.prompts.showMessage(changed.error().detail);
        return false;
    }
    storeSavedSearches();
    return true;
}

void SearchFormController::loadSavedSearch(std::size_t index)
{
    if (index >= m_savedSearches.size()) return;
    settings::ApplySavedSearch(m_savedSearches[index], m_state);
    applyAllRules();
    notifyChanged();
}

bool SearchFormController::renameSavedSearch(std::size_t index, const std::string& name)
{
    reloadSavedSearches();
    if (const Expected<void> changed = settings::RenameSavedSearch(m_savedSearches, index, name); !changed) {
        m_services.prompts.showMessage(changed.error().detail);
        return false;
    }
    storeSavedSearches();
    return true;
}

void SearchFormController::deleteSavedSearch(std::size_t index)
{
    reloadSavedSearches();
    settings::RemoveSavedSearch(m_savedSearches, index);
    storeSavedSearches();
}

std::string SearchFormController::commandLineText(bool replace) const
{
    const auto kind = replace ? session::CommandLineKind::Replace : session::CommandLineKind::Search;
    return session::ShellCommandLine(session::CommandLineArguments(m_state, kind, m_dateFrom, m_dateTo));
}

std::string SearchFormController::hiddenFiltersLine() const
{
    if (isExpanded()) return {};
    return HiddenFiltersText(m_state, m_dateFrom, m_dateTo);
}

void SearchFormController::applyOptions(const settings::OptionsValues& options)
{
    const bool wordRegexChanged = m_state.options.wordRegex != options.wordRegex;
    m_state.options = options;
    // Expressions in documents decide what the expression and whole-word flags mean there.
    if (wordRegexChanged) applyWordRules();
    notifyChanged();
}

void SearchFormController::changeFields(const std::function<void(settings::FormState&)>& change)
{
    change(m_state);
    applyAllRules();
    notifyChanged();
}

void SearchFormController::saveFormSettings()
{
    m_runs.worker().RequestStop();
    if (m_services.store != nullptr) {
        IgnoreFailure(settings::SaveFormSettings(*m_services.store, m_state,
                                                 [](const std::string& text) { return NormalizeFileTypes(text); }));
    }
    notifyChanged();
}

void SearchFormController::notifyChanged()
{
    if (m_listener) m_listener->formChanged();
}

}  // namespace tarnwick::ui
