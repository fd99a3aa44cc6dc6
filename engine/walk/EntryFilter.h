#pragma once
// The filters of a walk, prepared once per run from the job: attributes,
// size, dates, name strings, file types, and the routing of documents to the
// document engine. Immutable after construction.
#include <string>
#include <string_view>
#include <vector>

#include "platform/DirectoryReader.h"

namespace tarnwick {

struct SearchJob;

// The part of a name from its last '.' on (the whole name without a '.').
std::string_view Extension(std::string_view name);
// The same without the dot.
std::string_view BareExtension(std::string_view name);

// True when `bareExtension` (lower case) is an item of the comma-separated
// `wordExtensions` list.
bool IsWordExtension(std::string_view bareExtension, std::string_view wordExtensions);

class EntryFilter {
public:
    explicit EntryFilter(const SearchJob& job);

    // Filters that need only the name, applied before an entry is stat'ed:
    // the hidden attribute, the name strings and the file type.
    bool fileRejectedByName(const DirEntry& entry) const;

    // Whether the filters of a file need more than its name and type: its
    // size, dates or permission bits.
    bool needsFileAttributes() const;

    // AdmitFile on a stat'ed entry: attributes, size, dates, name strings.
    bool admitFile(const DirEntry& entry) const;
    bool passesAttributes(const DirEntry& entry) const;
    bool passesSize(std::uint64_t size) const;
    bool passesDates(const DirEntry& entry) const;
    bool passesNameStrings(std::string_view name) const;
    bool passesType(std::string_view name) const;
    // Whether the list of file types (not every type) names this one.
    bool typeListed(std::string_view name) const;

    // With `attributesOnDirs`, a directory whose attributes are excluded is
    // neither entered nor name-searched.
    bool directoryExcluded(const DirEntry& entry) const;

    // The file goes to the document engine instead of the byte-wise search.
    bool routesToDocuments(std::string_view name) const;

private:
    // A run that searches inside files lets archives through the filters
    // on types and size: those apply to the files inside.
    bool holdsFiles(std::string_view name) const;

    const SearchJob& m_job;
    std::vector<std::string> m_nameTokens;
};

}  // namespace tarnwick
