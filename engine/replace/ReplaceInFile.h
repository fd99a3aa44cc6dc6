#pragma once
// ReplaceInFile: replaces every occurrence of the search text in one file of
// a replace run, with a backup copy before the first change, and reports
// every replacement as a hit item, a run log line and a count.
#include <string>

namespace tarnwick {

class RunContext;

void ReplaceInFile(RunContext& run, const std::string& path);

}  // namespace tarnwick
