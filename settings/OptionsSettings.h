#pragma once
// Section `Optionen`: the values the options dialog edits, as the search form
// holds them (lengths in bytes) and as the dialog shows them (split length
// in MB, maximal offset and encoding length in kB; the thread count is the
// same in both), the conversions between the two, and the section's read
// and write.
#include <cstdint>
#include <string>

#include "platform/Expected.h"

namespace tarnwick::settings {

class ProfileStore;

inline constexpr char kOptionsSection[] = "Optionen";
// The value of regular expressions in documents; saved searches keep it too.
inline constexpr char kWordRegexValue[] = "Reg Ausdruck Dokumente";
// The value of the option "every part of a document", also kept in saved searches.
inline constexpr char kWordAllPartsValue[] = "Alle Dokumentteile";

// The most search threads a run is given; beyond it, more threads only add
// switching, never speed.
inline constexpr std::uint32_t kMostSearchThreads = 256;

// The editor a hit opens in: the desktop's program for the file.
inline constexpr char kDefaultExternalEditor[] = "xdg-open %f";

// The room the undo journals may take before the oldest are pruned: 1 GB.
inline constexpr std::uint32_t kDefaultUndoLimitMb = 1024;

struct OptionsValues {
    std::int32_t makeBackup = 1;  // Sikop
    std::uint32_t alwaysBackup = 1;  // Immer Sikop
    std::string backupExtension = ".bak";  // Endung Sikop
    std::int32_t skipBackupFiles = 1;  // Sikop nicht durchsuchen
    std::int32_t useLog = 0;  // Log verwenden
    std::string logFile;  // Log Datei
    std::int32_t logOnlyReplace = 1;  // Nur ersetzen log
    std::uint32_t contextLength = 20;  // Kontextl
    std::string wordExtensions = "doc, dot, rtf, docx, odt";  // Dateinamenerweiterungen Word
    std::uint32_t splitLength = 52'428'800;  // Splitlaenge, bytes
    std::uint32_t splitMaxOffset = 1'024;  // Split max Offset, bytes
    std::int32_t tempDirIsCurrent = 1;  // Temp Verz aktuelles
    std::string tempDir;  // Tem Verzeichnis
    std::int32_t ignoreNulls = 0;  // Nullzeichen ignorieren
    std::int32_t detectUtf8 = 0;  // Erweitertes Enkoding
    std::uint32_t detectLength = 51'200;  // Enkodinglaenge, bytes; 0 = whole file
    std::uint32_t searchThreads = 0;  // Suchthreads; 0 = one per processor core
    std::string externalEditor = kDefaultExternalEditor;  // Externer Editor: %f path, %l line, %c column
    std::int32_t undoJournal = 1;  // Rueckgaengig Journal: runs that change files keep a journal for an undo
    std::uint32_t undoLimitMb = kDefaultUndoLimitMb;  // Rueckgaengig Groesse MB: journals beyond it are pruned; 0 = no limit
    std::int32_t wordRegex = 0;  // Reg Ausdruck Dokumente: a regular expression is searched in documents too
    std::int32_t wordAllParts = 0;  // Alle Dokumentteile: headers, footers, notes, comments and text boxes too

    bool operator==(const OptionsValues&) const = default;
};

// The same values in the dialog's units.
struct OptionsDialogValues {
    std::int32_t makeBackup = 1;
    std::uint32_t alwaysBackup = 1;
    std::string backupExtension = ".bak";
    std::int32_t skipBackupFiles = 1;
    std::int32_t useLog = 0;
    std::string logFile;
    std::int32_t logOnlyReplace = 1;
    std::uint32_t contextLength = 20;
    std::string wordExtensions = "doc, dot, rtf, docx, odt";
    std::uint32_t splitLengthMb = 50;
    std::uint32_t splitMaxOffsetKb = 1;
    std::int32_t tempDirIsCurrent = 1;
    std::string tempDir;
    std::int32_t ignoreNulls = 0;
    std::int32_t detectUtf8 = 0;
    std::uint32_t detectLengthKb = 50;
    std::uint32_t searchThreads = 0;
    std::string externalEditor = kDefaultExternalEditor;
    std::int32_t undoJournal = 1;
    std::uint32_t undoLimitMb = kDefaultUndoLimitMb;
    std::int32_t wordRegex = 0;
    std::int32_t wordAllParts = 0;

    bool operator==(const OptionsDialogValues&) const = default;
};

// Whole-number division for display; multiplication for storing. A figure
// whose byte count does not fit 32 bits stores the largest count instead of
// wrapping round to a small one.
std::uint32_t BytesToMegabytes(std::uint32_t bytes);
std::uint32_t BytesToKilobytes(std::uint32_t bytes);
std::uint32_t MegabytesToBytes(std::uint32_t megabytes);
std::uint32_t KilobytesToBytes(std::uint32_t kilobytes);

OptionsDialogValues ToDialogUnits(const OptionsValues& values);
OptionsValues FromDialogUnits(const OptionsDialogValues& values);

// Reads the section (a missing value gives its default), without `Dlgzeig`.
// A thread count above kMostSearchThreads reads as that count.
OptionsValues ReadOptionsSettings(ProfileStore& store);
// Writes the section as the options dialog does on OK, in its order, in one
// rewrite of the file. `Dlgzeig` is not the dialog's to write.
Expected<void> WriteOptionsSettings(ProfileStore& store, const OptionsValues& values);

}  // namespace tarnwick::settings
