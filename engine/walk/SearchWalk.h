#pragma once
// SearchDirectory: the walk of a search run. Hands admitted files to the
// content search or the document engine and names to the name search.
#include <string>

#include "engine/walk/TreeWalk.h"

namespace tarnwick {

class RunContext;

// Walks `directory`. A regular expression must already be compiled
// (CompileSearchRegex). Returns when done or when a stop was requested.
void SearchDirectory(RunContext& run, const std::string& directory);

// Runs a whole search command: compiles the expression, then walks the start
// path. Returns at once when the expression does not compile.
void RunSearch(RunContext& run, const std::string& startPath);

}  // namespace tarnwick
