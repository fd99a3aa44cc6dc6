#pragma once
// The values of the last run that an export reports beside the results:
// what the search worker was last handed, and its counters.
#include <cstdint>

#include "engine/worker/SearchWorker.h"
#include "results/ExportRequest.h"

namespace tarnwick::session {

struct WorkerCounts {
    std::int64_t examined = 0;
    std::int64_t files = 0;
    std::int64_t hits = 0;
    bool stopped = false;  // a stop cut the run short
    bool documentsLiteral = false;  // an expression was looked for literally in documents
};

RunValues MakeRunValues(const WorkerInputs& inputs, const WorkerCounts& counts);
// Call it after the completion message of the last run, while no run is going.
RunValues MakeRunValues(const SearchWorker& worker);

}  // namespace tarnwick::session
