#pragma once
// What a run came to, as a front end reads it from the worker once the
// completion message has arrived: the counters and whether a stop cut the
// run short. Plain value.
#include <cstdint>

namespace tarnwick {

struct RunTally {
    std::int32_t hits = 0;
    std::int32_t files = 0;
    // Files and directory names the filters let through; negative: not known.
    std::int32_t admitted = -1;
    // Error items the run added, or items it turned into errors.
    std::int32_t errors = 0;
    // Hits a replace run found where it does not replace (inside archives,
    // PDF and packages): in no count of replacements.
    std::int32_t foundNotReplaced = 0;
    // The stop flag was set when the command returned: entries it had not
    // reached by then are missing from the results.
    bool stopped = false;
    // A regular expression was looked for literally in at least one document.
    bool documentsLiteral = false;
    // A search that listed the files without hits: `files` counts those.
    bool filesWithoutHits = false;
};

}  // namespace tarnwick
