#pragma once
// ConvertDirectory: the file-name conversion run. Turns file names into
// lower case, every name or only those written entirely in capitals, with
// its own order of filters. Directory names are never converted.
#include <cstdint>
#include <string>

namespace tarnwick {

class RunContext;

// Which file names a conversion run turns into lower case.
enum class RenameArgument : std::uint8_t {
    OnlyAllCapitals,  // only names written entirely in capitals
    All,  // every name
};

void ConvertDirectory(RunContext& run, const std::string& directory, RenameArgument renameArgument);

}  // namespace tarnwick
