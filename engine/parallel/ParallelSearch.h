#pragma once
// A search run whose file contents are searched by a pool of threads while
// one thread walks the tree. The walk, its filters, the name checks of
// folders and the documents stay on the walking thread in walk order; each
// file's outcome reaches the run's sink in walk order too (OrderedOutcomes),
// so the results are those of a run on one thread.
#include <string>

namespace tarnwick {

class RunContext;
struct SearchJob;

// How many threads search file contents: the job's count, or with 0 one per
// processor core this process may run on.
unsigned ContentSearchThreads(const SearchJob& job);

// Walks `startPath` with `threads` threads searching contents. The
// expression, if any, must be compiled (run.searchRegex). Returns when done
// or, soon after, when a stop was requested.
void SearchInParallel(RunContext& run, const std::string& startPath, unsigned threads);

}  // namespace tarnwick
