#pragma once
// Every option of one search, replace or rename run. Plain value: the form
// (or the command line) fills one before each run and hands a copy to the
// worker, which reads it for the whole run and never changes it.
#include <cstdint>
#include <string>

namespace tarnwick {

// How `nameStrings` filters names.
namespace NameStringMode {
inline constexpr std::uint32_t AllMustOccur = 0;
inline constexpr std::uint32_t IgnoreIfAnyOccurs = 1;
}  // namespace NameStringMode

namespace WordAutoMode {
inline constexpr std::uint32_t AllTypes = 0;
inline constexpr std::uint32_t ByExtension = 1;
}  // namespace WordAutoMode

struct SearchJob {
    // Flags are 0 = off, anything else = on; the form stores 0 or 1.
    std::int32_t allFileTypes = 0;
    std::int32_t regularExpression = 0;
    std::string replaceText;
    std::uint32_t nameStringMode = NameStringMode::AllMustOccur;
    std::int32_t includeSubfolders = 0;
    std::string fileTypes = "*.txt;";
    std::string nameStrings;
    std::int32_t sizeFilter = 0;
    std::uint32_t maxSizeKb = 100;
    std::uint32_t minSizeKb = 0;
    std::int32_t searchFileNames = 0;
    std::int32_t searchContents = 1;
    std::int32_t matchCase = 0;
    std::int32_t wholeWords = 0;
    std::int64_t dateFrom = 0;  // seconds since the epoch; the bounds are local times of one-second resolution
    std::int64_t dateTo = 0;
    std::int32_t dateCreated = 1;
    std::int32_t dateModified = 0;
    std::int32_t dateAccessed = 0;
    std::int32_t dateFilter = 0;
    std::int32_t searchDirNames = 0;
    std::string backupExtension = ".bak";
    std::int32_t makeBackup = 1;
    std::uint32_t contextLength = 20;
    std::int32_t skipBackupFiles = 1;
    std::int32_t useWord = 1;
    std::uint32_t wordAutoMode = WordAutoMode::ByExtension;
    std::uint32_t alwaysBackup = 1;
    std::string wordExtensions = "doc, dot, rtf, docx";
    std::int32_t specialCharacters = 0;
    std::int32_t attributesOnDirs = 0;
    std::int32_t skipHidden = 0;
    std::int32_t skipReadOnly = 0;
    std::int32_t skipArchive = 0;
    std::int32_t skipSystem = 0;
    std::uint32_t splitLength = 52'428'800;
    std::uint32_t splitMaxOffset = 1'024;
    std::int32_t tempDirIsCurrent = 1;
    std::string tempDir;
    std::int32_t ignoreNulls = 0;
    std::int32_t detectUtf8 = 0;
    std::uint32_t detectLength = 51'200;
    // How many threads search file contents; 0 = one per processor core.
    // Results are the same for every value.
    std::uint32_t searchThreads = 0;
};

// The defaults of a job whose date range was set up at `now` (seconds since
// the epoch): from one day before `now` to `now`.
SearchJob DefaultSearchJob(std::int64_t now);

// Brings a backup extension into its stored form: leading blanks removed and
// a '.' put in front when it is missing.
std::string NormalizeBackupExtension(const std::string& extension);

// The file-type list as the form stores it: blanks removed, ',' turned into
// ';', a final ';' added, a '.' before every entry that begins with neither
// '.' nor '*', "; " between entries, all in lower case.
std::string NormalizeFileTypes(const std::string& typed);

}  // namespace tarnwick
