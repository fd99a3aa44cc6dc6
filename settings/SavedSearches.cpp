#include "settings/SavedSearches.h"

#include <algorithm>

#include "settings/FormSettings.h"
#include "settings/ProfileStore.h"

namespace tarnwick::settings {
namespace {

constexpr char kNameValue[] = "Name";
constexpr char kSearchSection[] = "Gespeicherte Suche ";
// Far more than a menu of searches can use; bounds the reading of a damaged file.
constexpr std::size_t kMaxSearches = 999;

std::string SearchSection(std::size_t number) { return kSearchSection + std::to_string(number); }

std::string Trimmed(std::string name)
{
    const auto blank = [](unsigned char c) { return c == ' ' || c == '\t'; };
    name.erase(name.begin(), std::find_if_not(name.begin(), name.end(), blank));
    name.erase(std::find_if_not(name.rbegin(), name.rend(), blank).base(), name.end());
    return name;
}

Expected<void> CheckName(const std::vector<SavedSearch>& searches, const std::string& name, std::optional<std::size_t> self)
{
    if (name.empty()) return invalidInput("Bitte geben Sie einen Namen für die Suche ein.");
    if (name.find_first_of("\r\n") != std::string::npos) return invalidInput("Der Name darf keinen Zeilenumbruch enthalten.");
    for (std::size_t i = 0; i < searches.size(); ++i) {
        if (searches[i].name == name && (!self || *self != i))
            return invalidInput("Es gibt schon eine gespeicherte Suche mit dem Namen \"" + name + "\".");
    }
    return succeeded();
}

std::vector<std::string> StoredNames(ProfileStore& store)
{
    std::vector<std::string> names;
    for (std::size_t i = 1; i <= kMaxSearches; ++i) {
        std::string name = store.GetProfileString(kSavedSearchesSection, kNameValue + std::to_string(i));
        if (name.empty()) break;
        names.push_back(std::move(name));
    }
    return names;
}

// A search's form values and its option "every part of a document" (missing
// in searches saved before it existed: off).
void readSearch(ProfileStore& store, const std::string& section, FormState& form)
{
    ReadFormValues(store, section, form);
    form.options.wordAllParts = store.GetProfileInt(section, kWordAllPartsValue, 0);
}

}  // namespace

std::vector<SavedSearch> LoadSavedSearches(ProfileStore& store, const FormState& base)
{
    std::vector<SavedSearch> searches;
    const std::vector<std::string> names = StoredNames(store);
    for (std::size_t i = 0; i < names.size(); ++i) {
        SavedSearch search{names[i], base};
        readSearch(store, SearchSection(i + 1), search.form);
        searches.push_back(std::move(search));
    }
    return searches;
}

Expected<void> StoreSavedSearches(ProfileStore& store, const std::vector<SavedSearch>& searches)
{
    const std::size_t before = StoredNames(store).size();
    ProfileStore::Batch batch(store);
    batch.WriteProfileString(kSavedSearchesSection, std::nullopt, {});
    for (std::size_t i = 1; i <= before; ++i) batch.WriteProfileString(SearchSection(i), std::nullopt, {});
    for (std::size_t i = 0; i < searches.size() && i < kMaxSearches; ++i) {
        batch.WriteProfileString(kSavedSearchesSection, kNameValue + std::to_string(i + 1), searches[i].name);
        WriteFormValues(batch, SearchSection(i + 1), searches[i].form);
        batch.WriteProfileInt(SearchSection(i + 1), kWordAllPartsValue, searches[i].form.options.wordAllParts);
    }
    return batch.commit();
}

std::optional<SavedSearch> FindSavedSearch(ProfileStore& store, const std::string& name, const FormState& base)
{
    const std::vector<std::string> names = StoredNames(store);
    const auto found = std::find(names.begin(), names.end(), name);
    if (found == names.end()) return std::nullopt;
    SavedSearch search{name, base};
    readSearch(store, SearchSection(static_cast<std::size_t>(found - names.begin()) + 1), search.form);
    return search;
}

Expected<void> PutSavedSearch(std::vector<SavedSearch>& searches, std::string name, const FormState& form)
{
    name = Trimmed(std::move(name));
    for (SavedSearch& search : searches) {
        if (search.name == name) {
            search.form = form;
            return succeeded();
        }
    }
    if (Expected<void> checked = CheckName(searches, name, std::nullopt); !checked) return checked;
    searches.push_back({std::move(name), form});
    return succeeded();
}

Expected<void> RenameSavedSearch(std::vector<SavedSearch>& searches, std::size_t index, std::string name)
{
    if (index >= searches.size()) return succeeded();
    name = Trimmed(std::move(name));
    if (Expected<void> checked = CheckName(searches, name, index); !checked) return checked;
    searches[index].name = std::move(name);
    return succeeded();
}

void RemoveSavedSearch(std::vector<SavedSearch>& searches, std::size_t index)
{
    if (index < searches.size()) searches.erase(searches.begin() + static_cast<std::ptrdiff_t>(index));
}

void ApplySavedSearch(const SavedSearch& search, FormState& form)
{
    FormState taken = search.form;
    // What a saved search does not hold stays the form's.
    for (auto history : {&FormState::searchTexts, &FormState::replaceTexts, &FormState::directories, &FormState::fileTypes,
                         &FormState::nameStrings}) {
        const std::string text = (taken.*history).text;
        taken.*history = form.*history;
        (taken.*history).text = text;
        (taken.*history).selected = (taken.*history).find(text);
    }
    // The one option that searches find different text with goes with the search.
    const std::int32_t wordAllParts = taken.options.wordAllParts;
    taken.options = form.options;
    taken.options.wordRegex = search.form.options.wordRegex;
    taken.options.wordAllParts = wordAllParts;
    taken.warningBits = form.warningBits;
    taken.expandedView = form.expandedView;
    form = std::move(taken);
}

}  // namespace tarnwick::settings
