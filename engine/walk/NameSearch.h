#pragma once
// Tests file and directory names for the search text during a search run.
// A name is a hit or not: each name yields at most one result item.
#include <string>
#include <string_view>

namespace tarnwick {

class RunContext;

// Whether `name` contains the search text (a regular expression anywhere in
// the name; plain text as a substring, folded unless case matters). Whole
// words are not applied to names.
bool NameMatches(RunContext& run, std::string_view name);

// On a match: counts it, writes the log line and adds the name-hit item.
void CheckFileName(RunContext& run, const std::string& path, std::string_view name);
void CheckDirectoryName(RunContext& run, const std::string& path, std::string_view name);

}  // namespace tarnwick
