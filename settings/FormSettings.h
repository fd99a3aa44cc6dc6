#pragma once
// Loading and saving the search form's settings (section `Dialogdaten`, and
// `Optionen` as far as the form holds it).
#include <string>

#include "settings/ComboHistory.h"
#include "settings/FormState.h"
#include "settings/ProfileStore.h"

namespace tarnwick::settings {

inline constexpr char kFormSection[] = "Dialogdaten";
inline constexpr char kDefaultFileTypeHistory[] = "#*.txt;#*.h;*.cpp;";

// Fills `state` from the store when the form is first shown. Numbered
// histories load at most nine entries (digits 0 to 8) and end at the first
// missing or empty one.
void LoadFormSettings(ProfileStore& store, FormState& state);

// Saves when the main window closes, after the form has stopped its worker
// and taken its controls into `state`: commits each combo box's typed text
// into its history (file types prepared by `normalizeFileTypes`, the form's
// file-type normalisation), then writes everything in one rewrite. Numbered
// histories write at most ten entries (digits 0 to 9); values of a longer
// earlier history are left in place. Fails when the file could not be written.
Expected<void> SaveFormSettings(ProfileStore& store, FormState& state, const TextPreparer& normalizeFileTypes);

// The form's single values (as in `Dialogdaten`) and its five current texts,
// without histories and view, and of the options only the one that changes
// what is found (regular expressions in documents): what a saved search
// keeps in a section of its own. Reading starts from the values `state` holds.
void WriteFormValues(ProfileStore::Batch& batch, const std::string& section, const FormState& state);
void ReadFormValues(ProfileStore& store, const std::string& section, FormState& state);

// The `Dateiatribute` bit set of the five attribute flags, and back; bits
// above the five are ignored.
std::uint32_t PackAttributeBits(const FormState& state);
void UnpackAttributeBits(std::uint32_t bits, FormState& state);

}  // namespace tarnwick::settings
