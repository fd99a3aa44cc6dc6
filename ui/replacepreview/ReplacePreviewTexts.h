#pragma once
// The texts of the replace preview dialog (UTF-8). Paths, lines and the
// run's error texts are the engine's bytes; the dialog converts those.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ui/replacepreview/ReplacePreviewCollector.h"

namespace tarnwick::ui::previewtext {

inline constexpr const char* kTitle = "Vorschau der Ersetzungen";
inline constexpr const char* kReplaceButton = "Ersetzen";
inline constexpr const char* kCancelButton = "Abbrechen";
inline constexpr const char* kRenameArrow = " → ";

// The line above the list: what the run would do.
std::string Summary(std::int64_t replacements, std::size_t entries, std::size_t errors, std::size_t backups);
// What the list shows after an entry's path: its count, or that it is only renamed.
std::string CountText(const PreviewEntry& entry);
// A line under an entry's changes, or empty: why some or all are not shown.
std::string NoteText(const PreviewEntry& entry);
// Before the backup copy's path in an entry's details.
inline constexpr const char* kBackupLabel = "Sicherungskopie: ";
// "Fehler: " before an error entry's text.
inline constexpr const char* kErrorPrefix = "Fehler: ";
// The prefix of a changed line in the details: its number in the old or new text.
std::string LineLabel(bool added, std::size_t number);

}  // namespace tarnwick::ui::previewtext
