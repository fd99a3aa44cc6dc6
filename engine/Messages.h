#pragma once
// The program's own texts that the engine writes into results and logs.
// They are shown to users and written to log files exactly as they stand.
namespace tarnwick::text {

inline constexpr const char* kSearchFor = "Suche nach ";
// Appended to the summary of a run in which no file passed the filters.
inline constexpr const char* kNothingPassedFilters = "Keine Datei entsprach den Filtern.";
// The line after the summary of a run that a stop cut short.
inline constexpr const char* kRunStopped = "Der Lauf wurde gestoppt; die Ergebnisse sind unvollständig.";
// The line after the summary of a run that searched documents literally
// under "Regulärer Ausdruck" (expressions in documents switched off).
inline constexpr const char* kDocumentsSearchedLiterally = "In Dokumenten wurde der Suchtext wörtlich gesucht.";
// The last line of a run that could not start, after the reason.
inline constexpr const char* kRunNotStarted = "Der Lauf konnte nicht gestartet werden.";
// Why a start folder cannot be walked (after its path and ": ").
inline constexpr const char* kStartFolderMissing = "Das Verzeichnis existiert nicht";
inline constexpr const char* kStartFolderNotADirectory = "Der Pfad ist kein Verzeichnis";
inline constexpr const char* kSearchDone = "Suche abgeschlossen. %d Einträge in %d Dateien  wurden gefunden.";
// The summary of a search that lists the files without hits.
inline constexpr const char* kSearchDoneWithoutHits = "Suche abgeschlossen. %d Dateien ohne Treffer wurden aufgelistet.";
// The remark of such a file's item, and the export's notice of such a run.
inline constexpr const char* kWithoutHitsRemark = "Ohne Treffer";
inline constexpr const char* kListedWithoutHits = "Aufgelistet sind die Dateien ohne Treffer.";
// Why a run with "Dateien ohne Treffer auflisten" cannot start.
inline constexpr const char* kWithoutHitsNoReplace =
    "Bei \"Dateien ohne Treffer auflisten\" wird nur gesucht, nicht ersetzt. Bitte die Option ausschalten, um zu ersetzen.";
inline constexpr const char* kWithoutHitsNeedsContents =
    "\"Dateien ohne Treffer auflisten\" gilt für die Suche in Dateiinhalten, nicht für die Suche nach Datei- oder "
    "Verzeichnisnamen.";
inline constexpr const char* kReplaceDone = "Ersetzen abgeschlossen.  %d Einträge in %d Dateien wurden ersetzt.";
inline constexpr const char* kRenameDone = "Umbenennen abgeschlossen.  %d Einträge wurden umbenannt.";
inline constexpr const char* kFoundInFileName = "Im Dateinamen gefunden";
inline constexpr const char* kFoundInDirName = "Im Verzeichnisnamen gefunden";
inline constexpr const char* kCannotOpenFile = "Kann Datei nicht öffnen: ";
// A folder whose listing cannot be read is reported like a file that cannot be opened.
inline constexpr const char* kCannotReadDirectory = "Kann Verzeichnis nicht lesen";
// A file another program cut short while it was being searched.
inline constexpr const char* kFileShrankWhileRead = "Die Datei wurde während der Suche gekürzt.";
inline constexpr const char* kCannotWriteLog = "Kann nicht in Log Datei schreiben";
inline constexpr const char* kInvalidRegex = "Ungültiger regulärer Ausdruck: ";
inline constexpr const char* kWordCannotStart = "MS Word kann nicht initialisiert werden";
inline constexpr const char* kEscapeNul =
    "Das Null-Zeichen (\\0) darf in der Ersetzen-Zeichenfolge nicht vorkommen. Diese Option wird nicht unterstützt.";
inline constexpr const char* kEscapeUnknown =
    "Unbekanntes Steuerzeichen in der Ersetzen-Zeichenfolge. Operation wird nicht durchgeführt.";
inline constexpr const char* kEscapeBadHex =
    "Ungültige Hex-Zahl in Ersetzen-Zeichenfolge. Die Zahl muss zweistellig sein und darf nur die Ziffern 0-9, "
    "a-e, A-E enthalten.";
// A document searched literally has no groups to fill the replacement in from.
inline constexpr const char* kCapturesInLiteralDocument =
    "Der Suchtext wurde in diesem Dokument wörtlich gefunden, ohne Gruppen für die Rückverweise im Ersetzungstext; "
    "das Dokument wurde nicht geändert. Dafür bitte \"Reguläre Ausdrücke auch in Dokumenten\" einschalten.";
inline constexpr const char* kRunFailed =
    "Ein Fehler ist bei der Suche nach Dateien aufgetreten. Der Vorgang kann nicht fortgesetzt werden. %s, %s";
inline constexpr const char* kFileExceptionPrefix = "FileExeption: ";
inline constexpr const char* kMemoryExceptionPrefix = "MemoryExeption: ";
// The names a read or memory failure goes by in the other messages.
inline constexpr const char* kFileExceptionName = "CFileException";
inline constexpr const char* kMemoryExceptionName = "CMemoryException";
inline constexpr const char* kUnknownError = "Unbekannter Fehler";
inline constexpr const char* kNoSearchText = "Kein Suchstring definiert.";
inline constexpr const char* kNoDirectory = "Bitte wählen Sie ein Verzeichnis, das durchsucht werden soll.";
inline constexpr const char* kNoFileTypes =
    "Bitte wählen Sie eine oder mehrere Dateinamenerweiterungen für die Dateien, die durchsucht werden sollen.";
inline constexpr const char* kNothingToSearch =
    "Bitte wählen Sie entweder im Dateinamen suchen oder im Dateiinhalt suchen oder beides. Sonst tut sich nichts.";

inline constexpr const char* kReplaceHeader = "Ersetze";
inline constexpr const char* kReplaceBy = "durch";
inline constexpr const char* kConvertHeader = "Wandle Dateinamen in Kleinbuchstaben um";
inline constexpr const char* kFoundInFileNameReplaced = "Im Dateinamen gefunden und ersetzt";
inline constexpr const char* kFoundInDirNameReplaced = "Im Verzeichnisnamen gefunden und ersetzt";
inline constexpr const char* kConvertedToLower = "Dateiname in Kleinbuchstaben gewandelt";
inline constexpr const char* kRenameFailed = "Fehler beim Umbenennen der Datei:";
inline constexpr const char* kBackupFailed = "Fehler beim Erstellen der Sicherungskopie der Datei";
inline constexpr const char* kTempCreateFailed = "Fehler beim Erstellen der temorären Datei zum ersetzen: ";
inline constexpr const char* kTempWriteFailed = "Fehler beim Schreiben in die temporäre Datei zum Ersetzen. ";
inline constexpr const char* kReplaceOriginalFailed =
    "Fehler beim Ersetzen der Originaldatei mit der temporären, die die Ersetzten Elemente enthält. Die "
    "Originaldatei kann verloren sein. Stellen Sie diese mit dem Backub wieder her.";
inline constexpr const char* kStartReplaceFailed = "Fehler beim Starten des Ersetzen-Vorgangs in dieser Datei.";
inline constexpr const char* kSaveOriginalFailed = "Fehler beim Speichern der bearbeiteten Originaldatei";
// Follows the lines of a file whose new contents were not written (a failure
// or a stop): its replacements are not counted.
inline constexpr const char* kFileNotChanged = "Die Datei wurde nicht geändert";
// A file reached a second time in one run (a link to it, another hard link):
// it was changed once already, under the name that follows.
// A replace run leaves archives, compressed files, PDF and packages as they are.
inline constexpr const char* kInsideNotReplaced = "In Archiven und PDF wird nicht ersetzt.";
inline constexpr const char* kAlreadyChangedAs = "Nicht noch einmal geändert: in diesem Lauf schon geändert als";
// A run whose undo journal cannot be written stops before the file changes.
inline constexpr const char* kUndoJournalFailed =
    "Das Rückgängig-Journal konnte nicht geschrieben werden; der Lauf wurde angehalten, die Datei blieb unverändert:";
// An undo asked for while a run (in this or another program) changes files.
inline constexpr const char* kUndoWhileRunActive =
    "Rückgängig nicht möglich: ein Ersetzungslauf ändert gerade Dateien. Bitte nach seinem Ende erneut versuchen.";
inline constexpr const char* kUnknownErrorWithColon = "Unbekannter Fehler: ";
inline constexpr const char* kPathCannotOpen = "Kann Pfad nicht öffnen";
inline constexpr const char* kChangedSinceSearch =
    "Die Datei wurde nach dem Suchvorgang verändert, so dass die gefundenen Einträge nicht mehr am selben Ort "
    "sind. Führen Sie den Suchvorgang erneut aus.";
inline constexpr const char* kSaveFileFailed = "Fehler beim Speichern der Datei";
inline constexpr const char* kEmptyReplacementQuestion =
    "Es ist keine Zeichenfolge zum ersetzen gewählt. Wenn  Sie weiterfahren wird die Such-Zeichenfolge in allen "
    "Dateien gelöscht.\nSeien Sie vorsichtig, wenn Sie dies auch auf Dateinamen anwenden!";

inline constexpr const char* kWordProcessingFailed = "Fehler beim Bearbeiten mit Word";
inline constexpr const char* kWordOpenFailed = "Fehler beim Öffnen des Dokuments %s mit Word";
inline constexpr const char* kRuntimeError = "Laufzeitfehler '%d':%s";
inline constexpr const char* kWordPrefix = "Mit Word: ";
// The parts of a document besides its main text, as a hit's position names them.
inline constexpr const char* kPartHeader = "Kopfzeile";
inline constexpr const char* kPartFooter = "Fußzeile";
inline constexpr const char* kPartFootnote = "Fußnote";
inline constexpr const char* kPartEndnote = "Endnote";
inline constexpr const char* kPartComment = "Kommentar";
inline constexpr const char* kPartTextBox = "Textfeld";
// All the parts of a kind, for a part of a document that held them and
// cannot be read ("Kopfzeilen und Fußzeilen").
inline constexpr const char* kPartHeaders = "Kopfzeilen";
inline constexpr const char* kPartFooters = "Fußzeilen";
inline constexpr const char* kPartFootnotes = "Fußnoten";
inline constexpr const char* kPartEndnotes = "Endnoten";
inline constexpr const char* kPartComments = "Kommentare";
inline constexpr const char* kPartTextBoxes = "Textfelder";
inline constexpr const char* kPartsJoined = " und ";
inline constexpr const char* kComErrorTitle = "COM Error";
inline constexpr const char* kServerErrorTitle = "Server Error";

}  // namespace tarnwick::text
