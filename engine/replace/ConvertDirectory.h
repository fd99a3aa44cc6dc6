#pragma once
// ConvertDirectory: the file-name conversion run. Turns file names into
// lower case, every name or only those written entirely in capitals, with
// its own order of filters. Directory names are never converted.
#include <string>

namespace tarnwick {

class RunContext;

namespace RenameArgument {
inline constexpr int OnlyAllCapitals = 0;
inline constexpr int All = 1;
}  // namespace RenameArgument

void ConvertDirectory(RunContext& run, const std::string& directory, int renameArgument);

}  // namespace tarnwick
