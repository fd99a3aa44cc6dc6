#pragma once
// Everything of the search form that outlives the program: the options of
// section `Dialogdaten`, the options dialog's values, the warning opt-out
// bits and the five combo-box histories with their current texts. The form
// binds its controls to these fields; the defaults are those of an empty
// store (LoadFormSettings also fills the file-type history's default).
#include <cstdint>

#include "settings/ComboHistory.h"
#include "settings/OptionsSettings.h"

namespace tarnwick::settings {

// Bits of `Dlgzeig`: a set bit means the warning is still shown.
namespace WarningBit {
inline constexpr std::uint32_t ReplaceInAllTypes = 1;  // replace run with "Alle" file types
inline constexpr std::uint32_t BackupOff = 2;  // backup copies switched off
inline constexpr std::uint32_t WordOff = 4;  // Word search switched off
inline constexpr std::uint32_t AllShown = 0x00ff'ffff;
}  // namespace WarningBit

struct FormState {
    // Dialogdaten, single values (the search and replacement texts are the
    // histories' texts below).
    std::int32_t allFileTypes = 0;  // Alle Dateitypen
    std::int32_t regularExpression = 0;  // Reg Ausdruck
    std::int32_t matchCase = 0;  // Grossschreibung
    std::int32_t wholeWords = 0;  // Ganze Woerter
    std::uint32_t nameStringMode = 0;  // Diese ignor
    std::int32_t includeSubfolders = 0;  // Unterordner durchs
    std::int32_t sizeFilter = 0;  // Groesse
    std::uint32_t minSizeKb = 0;  // Min Groesse
    std::uint32_t maxSizeKb = 100;  // Max Groesse
    std::int32_t searchContents = 1;  // Dateiinhalte durchsuchen
    std::int32_t searchDirNames = 0;  // Pfad durchsuchen
    std::int32_t searchFileNames = 0;  // Dateinamen durchsuchen
    std::int32_t dateCreated = 1;  // Erstellt
    std::int32_t dateModified = 0;  // Geändert
    std::int32_t dateAccessed = 0;  // Letzt Zugr
    std::int32_t dateFilter = 0;  // Nach Dat durchs
    std::int32_t renameOnlyUpperCase = 0;  // Gross alle umbenennen
    std::int32_t useWord = 1;  // Word
    std::int32_t specialCharacters = 0;  // Sonderz ersetzen
    std::uint32_t wordAutoMode = 1;  // WordAuto
    // Dateiatribute, one bit each.
    std::int32_t attributesOnDirs = 0;  // 1
    std::int32_t skipHidden = 0;  // 2
    std::int32_t skipArchive = 0;  // 4
    std::int32_t skipReadOnly = 0;  // 8
    std::int32_t skipSystem = 0;  // 16
    std::int32_t expandedView = 0;  // Erweiterte Ansicht
    // "in den letzten N Tagen/Stunden" instead of the two dates; names that
    // older settings files do not have, so they read as the absolute range.
    std::int32_t dateRelative = 0;  // Datum relativ
    std::uint32_t dateRelativeCount = 7;  // Datum relativ Anzahl
    std::uint32_t dateRelativeUnit = 0;  // Datum relativ Einheit: 0 days, 1 hours
    // "Dateien ohne Treffer auflisten"; missing in older files, so off.
    std::int32_t filesWithoutHits = 0;  // Dateien ohne Treffer
    // "Rückverweise im Ersetzungstext"; missing in older files, so off.
    std::int32_t replacementCaptures = 0;  // Rückverweise
    // "Schreibweise der Treffer übernehmen"; missing in older files, so off.
    std::int32_t preserveCase = 0;  // Schreibweise übernehmen
    // "In Archiven, komprimierten Dateien und PDF suchen"; missing in older
    // files, so off.
    std::int32_t searchInside = 0;  // In Archiven suchen

    ComboHistory searchTexts;  // Suchstring, Suchstring1..
    ComboHistory replaceTexts;  // Ersetzstring, Ersetzstring1..
    ComboHistory directories;  // Verz0..
    ComboHistory fileTypes;  // Dateitypen, '#'-joined
    ComboHistory nameStrings;  // Dateinamenstrings, '%'-joined

    OptionsValues options;  // Optionen
    std::uint32_t warningBits = WarningBit::AllShown;  // Optionen/Dlgzeig, all 32 bits kept

    bool operator==(const FormState&) const = default;
};

inline bool IsWarningShown(std::uint32_t warningBits, std::uint32_t bit) { return (warningBits & bit) != 0; }
// Ticking "Diese Meldung künftig nicht mehr anzeigen" clears the bit at once.
inline void OptOutOfWarning(std::uint32_t& warningBits, std::uint32_t bit) { warningBits &= ~bit; }

}  // namespace tarnwick::settings
