#pragma once
// "Gespeicherte Suchen": whole search forms kept under a name. The list of
// names is the section `Gespeicherte Suchen` (`Name1`, `Name2`, ...); search
// i keeps the form's single values and current texts in the section
// `Gespeicherte Suche i`. Settings files without them read as an empty list.
#include <optional>
#include <string>
#include <vector>

#include "platform/Expected.h"
#include "settings/FormState.h"

namespace tarnwick::settings {

class ProfileStore;

inline constexpr char kSavedSearchesSection[] = "Gespeicherte Suchen";

struct SavedSearch {
    std::string name;
    FormState form;  // the single values and the current texts count
};

// The stored searches in stored order; each form is read over `base`, so
// what a search does not hold (histories, options) comes from there.
std::vector<SavedSearch> LoadSavedSearches(ProfileStore& store, const FormState& base = {});
// Replaces the stored list by `searches`; fails when the file could not be written.
Expected<void> StoreSavedSearches(ProfileStore& store, const std::vector<SavedSearch>& searches);

// The search of that name (exact, case matters); nothing when there is none.
std::optional<SavedSearch> FindSavedSearch(ProfileStore& store, const std::string& name, const FormState& base = {});

// Changes of the list; a name they refuse gives an InvalidInput failure with
// the German message, success when they did the change. Names lose leading
// and trailing blanks first.
// Adds the form under `name`, or replaces the search of that name.
Expected<void> PutSavedSearch(std::vector<SavedSearch>& searches, std::string name, const FormState& form);
Expected<void> RenameSavedSearch(std::vector<SavedSearch>& searches, std::size_t index, std::string name);
void RemoveSavedSearch(std::vector<SavedSearch>& searches, std::size_t index);

// Takes a saved search into the form: its single values, current texts and
// whether expressions are searched in documents; histories, the other
// options, warning bits and the view stay the form's.
void ApplySavedSearch(const SavedSearch& search, FormState& form);

}  // namespace tarnwick::settings
