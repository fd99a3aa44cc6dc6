#pragma once
// The directory chooser's own texts, byte-exact.

namespace tarnwick::ui::text {

inline constexpr const char* kChooserTitle = "Verzeichnis wählen";
inline constexpr const char* kDirectoryLabel = "Verzeichnis";
inline constexpr const char* kOk = "OK";
inline constexpr const char* kCancel = "Abbrechen";
// The top item: the computer with all its folders.
inline constexpr const char* kComputer = "Computer";
inline constexpr const char* kChooseValidDirectory = "Bitte wählen Sie ein gültiges Verzeichnis";
inline constexpr const char* kInvalidFileName = "Ungültiger Dateiname";
// Each followed by the path, then (unless vanished) a line break and the system's reason.
inline constexpr const char* kDirectoryVanished = "Das Verzeichnis ist nicht mehr vorhanden:\n";
inline constexpr const char* kDirectoryUnreadable = "Das Verzeichnis kann nicht gelesen werden:\n";
inline constexpr const char* kRenameFailed = "Das Verzeichnis kann nicht umbenannt werden:\n";

}  // namespace tarnwick::ui::text
