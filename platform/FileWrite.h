#pragma once
// Writing a whole file outside a run (the viewer's save, the settings
// store) through the same commit a replace uses: an existing file keeps its
// owner, group, mode bits, extended attributes, ACLs and hard links, a
// symbolic link stays a link and its target gets the new contents, and a
// crash or a failure leaves the old contents whole; a new file appears whole
// or not at all.
#include <sys/types.h>

#include <string>
#include <string_view>
#include <system_error>

namespace tarnwick {

// Writes `contents` as the file at `path`. A file that does not exist yet
// is made with the mode `newMode` (less the umask).
std::error_code WriteFileContents(const std::string& path, std::string_view contents, mode_t newMode = 0666);

}  // namespace tarnwick
