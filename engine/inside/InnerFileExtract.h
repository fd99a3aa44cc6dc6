#pragma once
// What opening a hit found inside a file shows, read into memory from the
// composite path the search reported (InsidePath.h): the bytes of a file in
// an archive or compressed file, nested levels too, or the text of a PDF
// page, a sheet or a slide. Nothing is written to disk. Stateless; safe on
// any thread.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/inside/ArchiveReader.h"
#include "platform/ExpansionLimits.h"

namespace tarnwick::text {
inline constexpr const char* kInsideEntryMissing = "Die Datei ist im Archiv nicht (mehr) vorhanden.";
inline constexpr const char* kInsidePageMissing = "Die Seite, Tabelle oder Folie ist in der Datei nicht (mehr) vorhanden.";
inline constexpr const char* kInsideTooLargeToShow =
    "Die Datei ist zu gross, um sie aus dem Archiv in den Speicher zu entpacken.";
}  // namespace tarnwick::text

namespace tarnwick::inside {

// A composite path cut where the file on disk ends.
struct OuterFileSplit {
    std::string outer;  // the file on disk
    std::string inner;  // what follows it and the separator: the levels inside, as the search named them
};

// The longest prefix of `composite` that ends before a separator and is an
// existing regular file (a name may itself hold the separator), and the
// rest after that separator. Nothing when there is no separator or no such file.
std::optional<OuterFileSplit> SplitAtOuterFile(std::string_view composite);

// The page number when `split` names a page of a PDF ("report.pdf »
// Seite 3"), by the outer file's name alone.
std::optional<int> PdfPageOf(const OuterFileSplit& split);

struct InnerContent {
    std::string bytes;  // the inner file's bytes, or the page's UTF-8 text
    // A PDF page, sheet or slide: positions in it count characters (code
    // points) of the text, not bytes.
    bool isPageText = false;
};

// Reads what `composite` names. Archives are read through ReadArchive with
// its limits; the bytes kept are at most `maxBytes`. Fails (InsideError.h)
// with what reading the way to it failed with, CannotOpen when the outer
// file or an inner component is not there (kInsideEntryMissing,
// kInsidePageMissing), ExpandsTooFar beyond `maxBytes` (kInsideTooLargeToShow).
Expected<InnerContent> ExtractInnerFile(const std::string& composite, std::uint64_t maxBytes = kMaxExpandedTotal,
                                        const ArchiveLimits& limits = {});

}  // namespace tarnwick::inside
