#include "engine/inside/InsidePath.h"

namespace tarnwick::inside {

std::string InsidePath(std::string_view outer, std::string_view inner)
{
    std::string path;
    path.reserve(outer.size() + kInsideSeparator.size() + inner.size());
    path.append(outer).append(kInsideSeparator).append(inner);
    return path;
}

std::string_view InnerFileName(std::string_view innerPath)
{
    const auto slash = innerPath.find_last_of('/');
    return slash == std::string_view::npos ? innerPath : innerPath.substr(slash + 1);
}

}  // namespace tarnwick::inside
