#pragma once
// Names changed by a replace run: the search text replaced in file names
// (after the file's contents) and in directory names (after everything
// below them, once the listing of their parent has ended).
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace tarnwick {

class RunContext;

// The name with every occurrence of the search text replaced by the
// replacement text; a replacement is never searched again, and the bytes
// outside the occurrences keep their case.
std::string ReplaceInName(RunContext& run, std::string_view name);

// Whether `name` can be a folder entry's name: not empty, "." or "..", no '/'.
bool IsUsableEntryName(std::string_view name);

// Renames `directory`/`name` to `directory`/`newName` without ever replacing
// an existing entry. Returns 0 or an errno value; a new name that is empty,
// "." or "..", or holds a '/', is refused with EINVAL.
std::error_code RenameEntry(const std::string& directory, const std::string& name, const std::string& newName);

// The file-name replacement of one file of a replace run.
void RenameFileName(RunContext& run, const std::string& directory, const std::string& name);

// The directory names of one level, collected while it was listed.
void RenameCollectedDirectories(RunContext& run, const std::string& directory, const std::vector<std::string>& names);

}  // namespace tarnwick
