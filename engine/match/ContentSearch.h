#pragma once
// SearchFileContents: searches one admitted file of a search run and reports
// every hit as result items, run log lines and counter changes.
#include <string>

namespace tarnwick {

class RunContext;

// Returns at once when a stop was requested. A file that cannot be opened
// gives one error item; a read failure throws (reported by the walk).
void SearchFileContents(RunContext& run, const std::string& path);

// Compiles the run's search text into run.searchRegex. On a syntax error adds
// the error item "Ungültiger regulärer Ausdruck: ..." and returns false.
bool CompileSearchRegex(RunContext& run);

}  // namespace tarnwick
