#pragma once
// Searching inside a file, for a run that asks for it (SearchJob::
// searchInside): archives and compressed files entry by entry, each inner
// file through the walk's filters on names and size and the content search
// as a file on disk, streamed from the archive; PDF page by page;
// spreadsheets sheet by sheet and presentations slide by slide. Results go
// under composite paths ("a.zip » b/c.txt", "report.pdf » Seite 2"); what
// cannot be read becomes an error item and the rest goes on. Nothing is
// ever written to disk, and nothing inside is replaced.
#include <cstdint>
#include <string>

#include "engine/content/ContentSearch.h"
#include "platform/Expected.h"

namespace tarnwick {

class EntryFilter;
class RunContext;

struct InsideOutcome {
    bool searchedInside = false;  // false: an ordinary file, left to the caller
    std::int64_t hits = 0;
};

// Looks at the name and first bytes of the file at `path` and, when they
// say a format read inside, searches it. A read or memory failure in an
// inner file, page, sheet or slide ends the search of the whole file and is
// returned, for the walk to report under `path`.
Expected<InsideOutcome> SearchInside(RunContext& run, const EntryFilter& filter, const std::string& path);

// SearchInside, or the ordinary search of a file's bytes when it was not
// searched inside; fails as they do.
Expected<void> SearchFileOrInside(RunContext& run, const EntryFilter& filter, const std::string& path, FileLocation location);

}  // namespace tarnwick
