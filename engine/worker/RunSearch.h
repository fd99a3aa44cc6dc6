#pragma once
// The search command: the choice between a walk on one thread and a walk
// whose file contents a pool of threads searches, above both.
#include <string>

namespace tarnwick {

class RunContext;

// Runs a whole search command: compiles the expression, then walks the start
// path, searching file contents on the job's number of threads. Returns at
// once when the expression does not compile.
void RunSearch(RunContext& run, const std::string& startPath);

}  // namespace tarnwick
