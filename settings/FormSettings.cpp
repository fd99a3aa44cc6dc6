#include "settings/FormSettings.h"

#include <string>

#include "settings/ProfileStore.h"

namespace tarnwick::settings {

namespace {

// The integer values of `Dialogdaten` in the order they are read and
// written; each is a flag or a number of the form.
struct IntField {
    const char* name;
    std::int32_t FormState::*flag;
    std::uint32_t FormState::*number;
};

constexpr IntField kIntFields[] = {
    {"Alle Dateitypen", &FormState::allFileTypes, nullptr},
    {"Reg Ausdruck", &FormState::regularExpression, nullptr},
    {"Grossschreibung", &FormState::matchCase, nullptr},
    {"Ganze Woerter", &FormState::wholeWords, nullptr},
    {"Diese ignor", nullptr, &FormState::nameStringMode},
    {"Unterordner durchs", &FormState::includeSubfolders, nullptr},
    {"Groesse", &FormState::sizeFilter, nullptr},
    {"Min Groesse", nullptr, &FormState::minSizeKb},
    {"Max Groesse", nullptr, &FormState::maxSizeKb},
    {"Dateiinhalte durchsuchen", &FormState::searchContents, nullptr},
    {"Pfad durchsuchen", &FormState::searchDirNames, nullptr},
    {"Dateinamen durchsuchen", &FormState::searchFileNames, nullptr},
    {"Erstellt", &FormState::dateCreated, nullptr},
    {"Geändert", &FormState::dateModified, nullptr},
    {"Letzt Zugr", &FormState::dateAccessed, nullptr},
    {"Nach Dat durchs", &FormState::dateFilter, nullptr},
    {"Gross alle umbenennen", &FormState::renameOnlyUpperCase, nullptr},
    {"Word", &FormState::useWord, nullptr},
    {"Sonderz ersetzen", &FormState::specialCharacters, nullptr},
    {"WordAuto", nullptr, &FormState::wordAutoMode},
    {"Datum relativ", &FormState::dateRelative, nullptr},
    {"Datum relativ Anzahl", nullptr, &FormState::dateRelativeCount},
    {"Datum relativ Einheit", nullptr, &FormState::dateRelativeUnit},
    {"Dateien ohne Treffer", &FormState::filesWithoutHits, nullptr},
    {"In Archiven suchen", &FormState::searchInside, nullptr},
    {"Rückverweise", &FormState::replacementCaptures, nullptr},
    {"Schreibweise übernehmen", &FormState::preserveCase, nullptr},
};

constexpr char kSearchText[] = "Suchstring";
constexpr char kReplaceText[] = "Ersetzstring";
constexpr char kDirectory[] = "Verz";
constexpr char kAttributes[] = "Dateiatribute";
constexpr char kFileTypes[] = "Dateitypen";
constexpr char kNameStrings[] = "Dateinamenstrings";
constexpr char kExpandedView[] = "Erweiterte Ansicht";
constexpr char kWarningBits[] = "Dlgzeig";
constexpr char kFileTypeMarker = '#';
constexpr char kNameStringMarker = '%';

// Digits 0 to 9 exist on disk; the reader takes 0 to 8.
constexpr int kLoadedEntries = 9;
constexpr int kSavedEntries = 10;

// "Verz" + i for the directories; "Suchstring" alone for entry 0 of the
// text histories, whose entry 0 is the current text.
std::string EntryName(const char* base, int index, bool zeroHasDigit)
{
    std::string name(base);
    if (index > 0 || zeroHasDigit) name += static_cast<char>('0' + index);
    return name;
}

void LoadNumberedHistory(ProfileStore& store, ComboHistory& history, const char* base, bool zeroHasDigit)
{
    for (int i = zeroHasDigit ? 0 : 1; i < kLoadedEntries; ++i) {
        std::string entry = store.GetProfileString(kFormSection, EntryName(base, i, zeroHasDigit));
        if (entry.empty()) break;
        history.entries.push_back(std::move(entry));
    }
}

void LoadJoinedHistory(ProfileStore& store, ComboHistory& history, const char* name, const char* fallback, char marker)
{
    history = ComboHistory{};
    history.entries = SplitHistory(store.GetProfileString(kFormSection, name, fallback), marker);
    history.select(0);
}

void SaveNumberedHistory(ProfileStore::Batch& batch, const ComboHistory& history, const char* base, bool zeroHasDigit)
{
    const std::size_t count = history.entries.size();
    if (count == 0) return;
    int current = -1;
    std::size_t written = 0;
    // The current text goes first; its own entry is then skipped, so it is
    // stored once.
    if (!history.text.empty()) {
        current = history.find(history.text);
        batch.WriteProfileString(kFormSection, EntryName(base, 0, zeroHasDigit), history.text);
        written = 1;
    }
    for (std::size_t j = 0; j < kSavedEntries && j < count; ++j) {
        if (written >= count || written >= kSavedEntries) break;
        if (static_cast<int>(j) == current) continue;
        if (history.entries[j].empty()) break;
        batch.WriteProfileString(kFormSection, EntryName(base, static_cast<int>(written), zeroHasDigit), history.entries[j]);
        ++written;
    }
}

}  // namespace

std::uint32_t PackAttributeBits(const FormState& s)
{
    return (s.attributesOnDirs ? 1u : 0u) | (s.skipHidden ? 2u : 0u) | (s.skipArchive ? 4u : 0u) | (s.skipReadOnly ? 8u : 0u) |
        (s.skipSystem ? 16u : 0u);
}

void UnpackAttributeBits(std::uint32_t bits, FormState& s)
{
    s.attributesOnDirs = (bits & 1u) ? 1 : 0;
    s.skipHidden = (bits & 2u) ? 1 : 0;
    s.skipArchive = (bits & 4u) ? 1 : 0;
    s.skipReadOnly = (bits & 8u) ? 1 : 0;
    s.skipSystem = (bits & 16u) ? 1 : 0;
}

namespace {

// The numbers and flags of `section`, each falling back to its value in `fallback`.
void ReadIntFields(ProfileStore& store, const std::string& section, const FormState& fallback, FormState& state)
{
    for (const IntField& field : kIntFields) {
        if (field.flag)
            state.*field.flag = store.GetProfileInt(section, field.name, fallback.*field.flag);
        else
            state.*field.number = store.GetProfileInt(section, field.name, fallback.*field.number);
    }
    UnpackAttributeBits(store.GetProfileInt(section, kAttributes, PackAttributeBits(fallback)), state);
}

}  // namespace

void LoadFormSettings(ProfileStore& store, FormState& state)
{
    const FormState defaults;
    ReadIntFields(store, kFormSection, defaults, state);

    state.directories = ComboHistory{};
    LoadNumberedHistory(store, state.directories, kDirectory, true);
    state.directories.select(0);

    // Entry 0 of a text history is the current text, when there is one; the
    // text stays the stored one even when a later entry is selected.
    for (auto [history, name] : {std::pair{&state.searchTexts, kSearchText}, std::pair{&state.replaceTexts, kReplaceText}}) {
        *history = ComboHistory{};
        history->text = store.GetProfileString(kFormSection, name);
        if (!history->text.empty()) history->entries.push_back(history->text);
        LoadNumberedHistory(store, *history, name, false);
        if (!history->entries.empty()) history->selected = 0;
    }

    LoadJoinedHistory(store, state.fileTypes, kFileTypes, kDefaultFileTypeHistory, kFileTypeMarker);
    LoadJoinedHistory(store, state.nameStrings, kNameStrings, "", kNameStringMarker);

    state.options = ReadOptionsSettings(store);
    state.warningBits = store.GetProfileInt(kOptionsSection, kWarningBits, defaults.warningBits);
    state.expandedView = store.GetProfileInt(kFormSection, kExpandedView, defaults.expandedView);
}

namespace {

// The current texts of a saved search, one value each.
struct TextField {
    const char* name;
    ComboHistory FormState::*history;
};
constexpr TextField kTextFields[] = {
    {"Suchstring", &FormState::searchTexts},        {"Ersetzstring", &FormState::replaceTexts},
    {"Verzeichnis", &FormState::directories},       {"Dateitypen", &FormState::fileTypes},
    {"Dateinamenstrings", &FormState::nameStrings},
};

}  // namespace

void WriteFormValues(ProfileStore::Batch& batch, const std::string& section, const FormState& state)
{
    for (const TextField& field : kTextFields) batch.WriteProfileString(section, field.name, (state.*field.history).text);
    for (const IntField& field : kIntFields)
        batch.WriteProfileInt(section, field.name, field.flag ? state.*field.flag : state.*field.number);
    batch.WriteProfileInt(section, kAttributes, PackAttributeBits(state));
    // An option of the options dialog that changes what the search finds.
    batch.WriteProfileInt(section, kWordRegexValue, state.options.wordRegex);
}

void ReadFormValues(ProfileStore& store, const std::string& section, FormState& state)
{
    for (const TextField& field : kTextFields) {
        ComboHistory& history = state.*field.history;
        history.text = store.GetProfileString(section, field.name, history.text);
        history.selected = history.find(history.text);
    }
    // A value the saved search lacks keeps the form's own.
    const FormState current = state;
    ReadIntFields(store, section, current, state);
    state.options.wordRegex = store.GetProfileInt(section, kWordRegexValue, current.options.wordRegex);
}

Expected<void> SaveFormSettings(ProfileStore& store, FormState& state, const TextPreparer& normalizeFileTypes)
{
    ProfileStore::Batch batch(store);
    batch.WriteProfileString(kFormSection, kSearchText, state.searchTexts.text);
    batch.WriteProfileString(kFormSection, kReplaceText, state.replaceTexts.text);
    for (const IntField& field : kIntFields)
        batch.WriteProfileInt(kFormSection, field.name, field.flag ? state.*field.flag : state.*field.number);
    batch.WriteProfileInt(kFormSection, kAttributes, PackAttributeBits(state));

    CommitComboText(state.searchTexts);
    CommitComboText(state.directories);
    CommitComboText(state.nameStrings, TerminateNameStrings);
    CommitComboText(state.fileTypes, normalizeFileTypes);
    CommitComboText(state.replaceTexts);

    SaveNumberedHistory(batch, state.directories, kDirectory, true);
    SaveNumberedHistory(batch, state.searchTexts, kSearchText, false);
    SaveNumberedHistory(batch, state.replaceTexts, kReplaceText, false);

    batch.WriteProfileString(kFormSection, kFileTypes, JoinHistory(state.fileTypes.entries, kFileTypeMarker));
    batch.WriteProfileString(kFormSection, kNameStrings, JoinHistory(state.nameStrings.entries, kNameStringMarker));
    batch.WriteProfileInt(kFormSection, kExpandedView, state.expandedView);
    batch.WriteProfileInt(kOptionsSection, kWarningBits, state.warningBits);
    return batch.commit();
}

}  // namespace tarnwick::settings
