#pragma once
// The crash reporter's texts, byte-exact (UTF-8).

namespace tarnwick::ui::text::crashreport {

inline constexpr const char* kMessage = "Tarnwick hat ein Problem festgestellt und muss beendet werden\n"
                                        "Bitte entschuldigen Sie die Unannehmlichkeiten.";
inline constexpr const char* kEmailLabel = "Ihre Email Adresse (optional):";
inline constexpr const char* kDescriptionLabel = "Bitte beschreiben Sie die Schritte, die zu dem Fehler führten (optional):";
inline constexpr const char* kContentsLead = "Um die Daten dieses Fehlerberichts anzusehen, ";
inline constexpr const char* kContentsLink = "klicken Sie hier.";
inline constexpr const char* kSend = "&Senden";
inline constexpr const char* kClose = "&Schliessen";
inline constexpr const char* kInvalidEmail = "Bitte geben Sie eine gültige Email Adresse an oder lassen Sie das Feld leer.";

inline constexpr const char* kContentsTitle = "Fehlerbericht";
inline constexpr const char* kColumnName = "Name";
inline constexpr const char* kColumnDescription = "Beschreibung";
inline constexpr const char* kColumnType = "Typ";
inline constexpr const char* kColumnSize = "Grösse";
inline constexpr const char* kSizeFormat = "%1 KB";

inline constexpr const char* kStatusTitle = "Status";
inline constexpr const char* kSending = "Sende Report";

inline constexpr const char* kArchiveFilter = "Zip Dateien (*.zip)";
inline constexpr const char* kArchiveSuffix = "zip";

// Failures of the upload and of saving the archive.
inline constexpr const char* kBadServerAddress = "Die Adresse des Servers für Fehlerberichte ist ungültig: %1";
inline constexpr const char* kConnectTimeout = "Zeitüberschreitung beim Verbinden mit %1.";
inline constexpr const char* kAnswerTimeout = "Der Server %1 antwortet nicht.";
inline constexpr const char* kNoAnswer = "Der Server hat die Verbindung beendet, ohne zu antworten.";
inline constexpr const char* kRejected = "Der Server hat den Fehlerbericht nicht angenommen: %1";
inline constexpr const char* kNoArchive = "Der Fehlerbericht konnte nicht erstellt werden: %1";
inline constexpr const char* kArchiveUnreadable = "Der Fehlerbericht konnte nicht gelesen werden: %1";
inline constexpr const char* kSaveFailed = "Der Fehlerbericht konnte nicht gespeichert werden: %1";

}  // namespace tarnwick::ui::text::crashreport
