#pragma once
// ReplaceDirectory: the walk of a replace run. The same entries and filters
// as a search; admitted files get their contents and then their names
// replaced, directory names are collected per level and changed once the
// level's listing has ended, so names change from the bottom up.
#include <string>

namespace tarnwick {

class RunContext;

void ReplaceDirectory(RunContext& run, const std::string& directory);

// A whole replace command: compiles the expression, then walks the start path.
void RunReplace(RunContext& run, const std::string& startPath);

}  // namespace tarnwick
