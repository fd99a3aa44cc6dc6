#pragma once
// What an export of the result list is given: the request from the export
// dialog and the values of the last run. Plain data, no behaviour.
#include <cstdint>
#include <string>

namespace tarnwick {

enum class ExportType { Xml = 0, Csv = 1, Template = 2 };

// Bits of the element set ("Exportelemente").
namespace ExportElement {
inline constexpr int Hits = 1;  // hits in file contents
inline constexpr int Errors = 2;
inline constexpr int FileNames = 4;  // file-name hits
inline constexpr int DirNames = 8;  // directory-name hits
inline constexpr int All = Hits | Errors | FileNames | DirNames;
}  // namespace ExportElement

// Which kinds of result items go into the export.
struct ExportFilter {
    bool hits = true;
    bool errors = false;
    bool fileNames = false;
    bool dirNames = false;
    // The run listed the files without hits: their items count as files
    // (with the hits, under the same flag).
    bool withoutHits = false;
};

struct ExportRequest {
    std::string targetPath;
    ExportType type = ExportType::Xml;
    std::string templatePath;
    std::string separator;  // CSV column separator, "\t" already turned into a tab
    ExportFilter filter;
};

// The values of the last run the export reports beside the results.
struct RunValues {
    std::string searchPath;
    std::string searchText;  // lower case unless case mattered
    std::string replacementText;  // empty after a search run
    bool wasReplaceRun = false;  // the last command was a replace (code 2)
    bool matchCase = false;
    bool searchContents = false;
    bool searchDirNames = false;
    bool searchFileNames = false;
    bool wholeWords = false;
    bool regularExpression = false;
    bool specialCharacters = false;
    std::int64_t filesSearched = 0;  // the examined counter
    std::int64_t filesFound = 0;  // the file counter
    std::int64_t entriesFound = 0;  // the hit counter
    // Lines about the run as a whole (that documents were searched
    // literally, that a stop left the results incomplete), joined by a
    // blank; empty when there is nothing to say.
    std::string notice;
    // The run listed the files without hits; the file counter counted those.
    bool filesWithoutHits = false;
};

}  // namespace tarnwick
