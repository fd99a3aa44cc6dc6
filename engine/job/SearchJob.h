#pragma once
// Every option of one search, replace or rename run. Plain value: the form
// (or the command line) fills one before each run and hands a copy to the
// worker, which reads it for the whole run and never changes it.
// The options the matcher reads are those of its base, MatchOptions.
#include <cstdint>
#include <string>

#include "engine/match/MatchOptions.h"

namespace tarnwick {

// How `nameStrings` filters names. The values are those the settings file
// stores.
enum class NameStringMode : std::uint32_t {
    AllMustOccur = 0,  // every listed string must occur in the name
    IgnoreIfAnyOccurs = 1,  // a name that holds any of them is skipped
};

// Which files go through the document component when `useWord` is on. The
// values are those the settings file stores.
enum class WordAutoMode : std::uint32_t {
    AllTypes = 0,  // every file the other filters admit
    ByExtension = 1,  // only files whose extension is in `wordExtensions`
};

struct SearchJob : MatchOptions {
    bool allFileTypes = false;
    std::string replaceText;
    NameStringMode nameStringMode = NameStringMode::AllMustOccur;
    bool includeSubfolders = false;
    std::string fileTypes = "*.txt;";
    std::string nameStrings;
    bool sizeFilter = false;
    std::uint32_t maxSizeKb = 100;
    std::uint32_t minSizeKb = 0;
    bool searchFileNames = false;
    bool searchContents = true;
    std::int64_t dateFrom = 0;  // seconds since the epoch; the bounds are local times of one-second resolution
    std::int64_t dateTo = 0;
    bool dateCreated = true;
    bool dateModified = false;
    bool dateAccessed = false;
    bool dateFilter = false;
    bool searchDirNames = false;
    std::string backupExtension = ".bak";
    bool makeBackup = true;
    bool skipBackupFiles = true;
    bool useWord = true;
    WordAutoMode wordAutoMode = WordAutoMode::ByExtension;
    bool alwaysBackup = true;  // also when replacing in marked results
    std::string wordExtensions = "doc, dot, rtf, docx, odt";
    // With `regularExpression`, documents are searched with the expression
    // too; off, the search text is looked for literally in them.
    bool wordRegex = false;
    // Documents are searched and changed in every story (headers, footers,
    // notes, comments, text boxes), not only in their main text.
    bool wordAllParts = false;
    // A search lists the admitted files whose contents have no hit, and
    // only those; a replace is refused.
    bool filesWithoutHits = false;
    // Archives, compressed files, PDFs, spreadsheets and presentations are
    // searched in what they hold, not in their bytes; nothing inside them is
    // ever replaced.
    bool searchInside = false;
    bool specialCharacters = false;
    // With `regularExpression`, the replacement is a Perl format whose
    // references take each match's groups (see ReplacementFormat.h).
    bool replacementCaptures = false;
    // The replacement of each hit takes the hit's case (PreserveCase.h).
    bool preserveCase = false;
    bool attributesOnDirs = false;
    bool skipHidden = false;
    bool skipReadOnly = false;
    bool skipArchive = false;
    bool skipSystem = false;
    bool tempDirIsCurrent = true;
    std::string tempDir;
    // How many threads search file contents; 0 = one per processor core.
    // Results are the same for every value.
    std::uint32_t searchThreads = 0;
};

// Whether the replacement is a format filled in from each match.
inline bool UsesCaptures(const SearchJob& job) { return job.replacementCaptures && job.regularExpression; }

// The defaults of a job whose date range was set up at `now` (seconds since
// the epoch): from one day before `now` to `now`.
SearchJob DefaultSearchJob(std::int64_t now);

// Brings a backup extension into its stored form: leading blanks removed and
// a '.' put in front when it is missing.
std::string NormalizeBackupExtension(const std::string& extension);

// The file-type list as the form stores it: blanks removed, ',' turned into
// ';', a final ';' added, a '.' before every entry that begins with neither
// '.' nor '*', "; " between entries, all in lower case; empty entries are
// dropped. The one normalisation of the program: the form's box, the job of
// every run built from the form's state, and tarnwick-cli --types. A result
// normalises to itself; an empty result means no file type was given.
std::string NormalizeFileTypes(const std::string& typed);

}  // namespace tarnwick
