#pragma once
// The export dialog's and the export command's own texts, byte-exact (UTF-8).

namespace tarnwick::ui::text::exporting {

inline constexpr const char* kTitle = "Ergebnisse exportieren";

inline constexpr const char* kFormatFrame = "Ergebnisse speichern als...";
inline constexpr const char* kXmlFile = "xml Datei";
inline constexpr const char* kCsvFile = "csv Datei";
inline constexpr const char* kSeparatorLabel = "Trennzeichen:";
inline constexpr const char* kByTemplate = "nach Vorlage";
inline constexpr const char* kTemplateLabel = "Vorlagendatei";
inline constexpr const char* kBrowse = "Durchsuchen...";

inline constexpr const char* kElementsFrame = "Exportiere";
inline constexpr const char* kHits = "Suchergebnisse innerhalb Datei";
inline constexpr const char* kErrors = "Fehler";
inline constexpr const char* kFileNames = "Suchergebnisse in Dateinamen";
inline constexpr const char* kDirNames = "Suchergebnisse in Verzeichnisnamen";

inline constexpr const char* kOk = "OK";
inline constexpr const char* kCancel = "Abbrechen";

// Titles of the file dialogs, as a German desktop names them.
inline constexpr const char* kOpenTitle = "Öffnen";
inline constexpr const char* kSaveTitle = "Speichern unter";

// The template that lies beside the program.
inline constexpr const char* kTemplateFileName = "vorlage_export.txt";

}  // namespace tarnwick::ui::text::exporting
