#include "platform/LibrarySearchPath.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace tarnwick {

void RestoreLibrarySearchPath()
{
    const char* note = std::getenv("TARNWICK_ADDED_LIBRARY_PATH");
    if (note == nullptr) return;
    const std::string added = note;
    ::unsetenv("TARNWICK_ADDED_LIBRARY_PATH");
    const char* current = std::getenv("LD_LIBRARY_PATH");
    if (current == nullptr || added.empty()) return;
    const std::string_view path = current;
    if (path == added) {
        ::unsetenv("LD_LIBRARY_PATH");
    } else if (path.starts_with(added) && path[added.size()] == ':') {
        ::setenv("LD_LIBRARY_PATH", std::string(path.substr(added.size() + 1)).c_str(), 1);
    }
}

}  // namespace tarnwick
