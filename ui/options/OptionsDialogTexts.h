#pragma once
// The options dialog's own texts, byte-exact (UTF-8), in a namespace of
// their own so that they never meet another window's texts of the same name.

namespace tarnwick::ui::text::options {

inline constexpr const char* kTitle = "Optionen";

inline constexpr const char* kMakeBackup = "Sicherungskopie erstellen";
inline constexpr const char* kBackupExtensionLabel = "Dateiendung";
inline constexpr const char* kSkipBackupFiles = "Dateien mit dieser Endung nie durchsuchen";
inline constexpr const char* kBackupNotFromResults = "nicht bei Ersetzen aus Suchergebnissen";
inline constexpr const char* kBackupAlways = "immer";

inline constexpr const char* kUseLog = "Ausgabe in Log Datei speichern";
inline constexpr const char* kLogFileLabel = "Dateiname";
inline constexpr const char* kBrowse = "Durchsuchen...";
inline constexpr const char* kLogOnlyReplace = "Nur Ersetzen Operationen protokollieren";
inline constexpr const char* kLogFileFilter = "Log Dateien (*.log)";

inline constexpr const char* kViewFrame = "Ansicht";
inline constexpr const char* kContextLengthLabel = "Zeichen vor/Nach Suchbegriff in Ergebnisse anzeigen";

inline constexpr const char* kWordFrame = "Folgende Dateitypen mit MS Word durchsuchen (auto Modus)";
inline constexpr const char* kWordExtensionsLabel = "Nur Dateinamenerweiterung (ohne Punkt), mehrere mit , trennen";
inline constexpr const char* kWordRegex = "Reguläre Ausdrücke auch in Dokumenten";
inline constexpr const char* kWordAllParts = "Auch Kopf- und Fußzeilen, Fußnoten, Kommentare und Textfelder";

inline constexpr const char* kEncodingFrame = "Dateikodierung";
inline constexpr const char* kDetectUtf8 = "Ermittle Textkodierung anhand ersten";
inline constexpr const char* kDetectLengthLabel = "kB vom Dateiinhalt (0 für ganze Datei)";

inline constexpr const char* kAdvancedFrame = "Erweiterte Einstellungen";
inline constexpr const char* kAdvancedWarning =
    "ACHTUNG! Ändern Sie diese Einstellungen nur, wenn Sie genau wissen, was Sie tun. Änderungen können ein "
    "unerwartetes Verhalten des Programms hervorrufen.";
inline constexpr const char* kSplitLengthLabel = "Split Länge";
inline constexpr const char* kSplitLengthUnit = "MB (50MB)";
inline constexpr const char* kSplitMaxOffsetLabel = "Max. Offset";
inline constexpr const char* kSplitMaxOffsetUnit = "kB (1kB)";
inline constexpr const char* kSearchThreadsLabel = "Such-Threads";
inline constexpr const char* kExternalEditorFrame = "Externer Editor";
inline constexpr const char* kExternalEditorHelp =
    "Befehl, mit dem \"In externem Editor öffnen\" einen Treffer öffnet: %f steht für die Datei, %l für die "
    "Zeile und %c für die Spalte des Treffers. Beispiele: kate --line %l --column %c %f (Kate), "
    "code --goto %f:%l:%c (VS Code), gvim +%l %f (gVim). Leer: xdg-open %f.";
inline constexpr const char* kSearchThreadsUnit = "(0 = automatisch)";
inline constexpr const char* kTempDirFrame = "Verzeichnis für temporäre Datei im Splitmodus Ersetzen";
inline constexpr const char* kTempDirCurrent = "in aktuellem Verzeichnis";
inline constexpr const char* kTempDirThis = "in diesem Verzeichnis";
inline constexpr const char* kIgnoreNulls = "Verarbeitung von Nullzeichen (\\0) ignorieren";

// The undo journal of runs that change files.
inline constexpr const char* kUndoJournal = "Ersetzungsläufe zum Rückgängigmachen aufzeichnen";
inline constexpr const char* kUndoLimitLabel = "Höchstgröße der Aufzeichnungen";
inline constexpr const char* kUndoLimitUnit = "MB (0 = unbegrenzt; älteste zuerst gelöscht)";

inline constexpr const char* kOk = "OK";
inline constexpr const char* kCancel = "Abbrechen";

// Messages of OK, in the order of the checks.
inline constexpr const char* kNoLogFile = "Bitte wählen Sie einen Dateinamen für die Log Datei aus.";  // 103
inline constexpr const char* kNoBackupExtension = "Bitte wählen Sie eine Endung für die Sicherungskopien aus.";  // 104
inline constexpr const char* kBadBackupExtension =
    "Die Dateinamenerweiterung enthält ungültige Zeichen. Bitte geben Sie sie ohne Wildcarts an. Ungültig sind: "
    "\\/:*?\"<>|";  // 115
inline constexpr const char* kBadWordExtensions =
    "Die Liste von Dateinamenerweiterungen für Word Dateien enthält ungültige Zeichen. Nicht erlaubt sind "
    "\\/:*?<>|";  // 18487
inline constexpr const char* kBadTempDir =
    "Bitte geben Sie ein gültiges Verzeichnis für die temporäre Datei für die Ersetzen Vorgänge an.";  // 18716
// A numeric field that does not hold a whole number in its range: %s the
// field's name as the dialog shows it, %lu twice the range.
inline constexpr const char* kNumberOutOfRange = "Bitte geben Sie bei \"%s\" eine ganze Zahl zwischen %lu und %lu ein.";

// The warning shown when backups are switched off (18714), with its opt-out.
inline constexpr const char* kBackupOffWarning =
    "ACHTUNG!\nDas Deaktivieren der automatischen Sicherungskopie bei Ersetzen Operationen geschieht auf eigene "
    "Gefahr. Stellen Sie in jeden Fall sicher, dass Sie aktuelle Sicherungskopien der Dateien besitzen in den "
    "Verzeichnissen in denen Sie ersetzen wollen.\nWollen Sie diese Funktion wirklich deaktivieren?";
inline constexpr const char* kWarningOptOut = "Diese Meldung künftig nicht mehr anzeigen";
inline constexpr const char* kWarningTitle = "Tarnwick 2.0";  // 18513

}  // namespace tarnwick::ui::text::options
