#pragma once
// SearchDirectory: the directory walk of a search run. Visits every entry of
// a directory (and, with subfolders, of those below it), applies the job's
// filters, hands admitted files to the content search or the document engine
// and names to the name search. A failure inside one entry becomes an error
// item and the walk goes on.
#include <string>

namespace tarnwick {

class RunContext;

// Walks `directory`. A regular expression must already be compiled
// (CompileSearchRegex). Returns when done or when a stop was requested.
void SearchDirectory(RunContext& run, const std::string& directory);

// Runs a whole search command: compiles the expression, then walks the start
// path. Returns at once when the expression does not compile.
void RunSearch(RunContext& run, const std::string& startPath);

// Joins a directory path and an entry name with one '/'.
void JoinPath(std::string& out, const std::string& directory, const std::string& name);

}  // namespace tarnwick
