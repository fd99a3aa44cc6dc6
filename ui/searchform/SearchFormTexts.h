#pragma once
// The search form's own texts, byte-exact: its controls, its warnings with
// opt-out and the file-name conversion dialog. The messages the engine
// shares with the command line (empty search text and the like) are in
// engine/Messages.h.

#include <string>

namespace tarnwick::ui::formtext {

// The program's title, also the title of the warnings with opt-out.
inline constexpr const char* kProgramTitle = "Tarnwick 2.0";

// Warnings with "Diese Meldung künftig nicht mehr anzeigen".
inline constexpr const char* kDontShowAgain = "Diese Meldung künftig nicht mehr anzeigen";
inline constexpr const char* kOk = "OK";
inline constexpr const char* kCancel = "Abbrechen";
inline constexpr const char* kWarnReplaceInAllTypes =
    "ACHTUNG\nErsetzen in allen Dateitypen kann zur Beschädigung bestimmeter Dateien führen (wenn z.B der "
    "Suchbegriff zufälligerweise in einem Bild gefunden und ersetzt wird). Führen Sie diese Operation nur durch "
    "wenn Sie sich ganz sicher sind, was sie ersetzen.\nAlternativ können Sie erst suchen und dann aus den "
    "Suchergebnissen bestimmte auswählen und gezielt ersetzen oder schränken Sie die Dateitypen ein.\nWollen Sie "
    "trotzdem weiterfahren?";
inline constexpr const char* kWarnWordOff =
    "ACHTUNG!\nWenn Sie die Suche mit Word deaktivieren werden Worddateien und kompatible (gemäss Liste) direkt "
    "durchsucht ohne deren Formatierung und Code zu interpretieren. Es können dadurch unvorhergesehene Ergebnisse "
    "auftreten. Die Suche ist unproblematisch, beim Ersetzen können die Dateien aber beschädigt werden.\nSind Sie "
    "sicher, dass Sie das Durchsuchen mit Word deaktivieren wollen?";

// The expand button: "Erweitert" and the direction the next click goes.
inline constexpr const char* kExtended = "Erweitert";
inline constexpr const char* kWhileExpanded = "  <<";
inline constexpr const char* kWhileCollapsed = "  >>";

// "Dateiname wandeln".
inline constexpr const char* kRenameTitle = "Dateiname wandeln";
inline constexpr const char* kRenameGroup = "Grossbuchstaben in Dateinamen in Kleinbuchstaben wandeln";
inline constexpr const char* kRenameAll = "alle";
inline constexpr const char* kRenameOnlyUpper = "nur Namen mit ausschliesslich Grossbuchstaben";
inline constexpr const char* kRenameNote = "(Einstellungen vom Hauptfenster werden übernommen)";
inline constexpr const char* kRenameButton = "Umbenennen";

// Controls of the form, top to bottom.
inline constexpr const char* kSearchFor = "Suchen nach";
inline constexpr const char* kRegularExpression = "Regulärer Ausdruck";
inline constexpr const char* kReplaceWith = "Ersetzen durch";
inline constexpr const char* kSpecialCharacters = "Sonderzeichen interpretieren";
inline constexpr const char* kReplacementCaptures = "Rückverweise im Ersetzungstext";
inline constexpr const char* kPreserveCase = "Schreibweise der Treffer übernehmen";
inline constexpr const char* kSearchIn = "Suchen in";
inline constexpr const char* kBrowse = "Durchsuchen...";
inline constexpr const char* kSubfolders = "Unterordner durchsuchen";
inline constexpr const char* kOptions = "Optionen";
inline constexpr const char* kMatchCase = "Gross-/Kleinschreibung beachten";
inline constexpr const char* kSearchContents = "Dateiinhalt durchsuchen/ersetzen";
inline constexpr const char* kFilesWithoutHits = "Dateien ohne Treffer auflisten";
inline constexpr const char* kSearchInside = "In Archiven, komprimierten Dateien und PDF suchen";
inline constexpr const char* kSearchDirNames = "Verzeichnisname durchsuchen/umbenennen";
inline constexpr const char* kSearchFileNames = "Dateinamen durchsuchen / umbenennen";
inline constexpr const char* kWholeWords = "Nur ganze Wörter";
inline constexpr const char* kFileFrame = "Datei";
inline constexpr const char* kFileTypes = "Dateitypen";
inline constexpr const char* kAllTypes = "Alle";
inline constexpr const char* kRemove = "Entfernen";
inline constexpr const char* kUseWord = "MS Word zum Suchen verwenden für";
inline constexpr const char* kWordAllTypes = "alle Typen";
inline constexpr const char* kWordAuto = "auto";
inline constexpr const char* kSize = "Grösse";
inline constexpr const char* kOnlyFilesBetween = "Nur Dateien zwischen";
inline constexpr const char* kKbAnd = "kB und";
inline constexpr const char* kKbSearch = "kB durchsuchen";
inline constexpr const char* kEmptyFieldUnlimited = "(leeres Feld: unbegrenzt)";
inline constexpr const char* kDate = "Datum";
inline constexpr const char* kOnlyFiles = "Nur Dateien";
inline constexpr const char* kModified = "geändert";
inline constexpr const char* kCreated = "erstellt";
inline constexpr const char* kAccessed = "letzter Zugriff";
inline constexpr const char* kBetween = "zwischen";
inline constexpr const char* kAt = "um";
inline constexpr const char* kAnd = "und";
inline constexpr const char* kSearchSuffix = "durchsuchen";
inline constexpr const char* kInTheLast = "in den letzten";
inline constexpr const char* kDays = "Tagen";
inline constexpr const char* kHours = "Stunden";
inline constexpr const char* kNameStrings = "Dateinamenstrings (Zeichenfolgen im Dateinamen)";
inline constexpr const char* kAllMustOccur = "Alle diese müssen im Namen vorhanden sein";
inline constexpr const char* kIgnoreIfAny = "Dateien mit einem dieser Strings ignorieren";
inline constexpr const char* kAttributes = "Dateiattribute";
inline constexpr const char* kIgnoreAttributes = "Dateien mit folgenden Attributen ignorieren";
inline constexpr const char* kHidden = "Versteckt";
inline constexpr const char* kReadOnly = "Schreibgeschützt";
inline constexpr const char* kArchive = "Archiv";
inline constexpr const char* kSystem = "System";
inline constexpr const char* kAlsoDirectories = "Auch auf Verzeichnisse anwenden";
// Saved searches.
inline std::string ReplaceSavedSearchQuestion(const std::string& name)
{
    return "Es gibt schon eine gespeicherte Suche mit dem Namen \"" + name + "\". Wollen Sie sie ersetzen?";
}
inline constexpr const char* kSaveSearchTitle = "Suche speichern";
inline constexpr const char* kSaveSearchLabel = "Name der Suche:";
inline constexpr const char* kSavedSearchesTitle = "Gespeicherte Suchen";
inline constexpr const char* kLoadSaved = "&Laden";
inline constexpr const char* kRenameSaved = "&Umbenennen...";
inline constexpr const char* kDeleteSaved = "L&öschen";
inline constexpr const char* kClose = "Schliessen";
inline constexpr const char* kRenameSavedLabel = "Neuer Name:";

// The line of active filters under the main fields while the form is collapsed.
inline constexpr const char* kHiddenFiltersTip = "Klicken, um alle Suchoptionen anzuzeigen";

}  // namespace tarnwick::ui::formtext
