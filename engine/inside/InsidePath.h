#pragma once
// The name of something searched inside a file: the file's own path, then
// each level inside it, joined by one separator ("a.zip » b.tar.gz » c.txt",
// "report.pdf » Seite 2"). The name is shown and exported, never opened:
// nothing found inside a file is ever written to disk.
#include <string>
#include <string_view>

namespace tarnwick::inside {

inline constexpr std::string_view kInsideSeparator = " » ";

// `outer` followed by the separator and `inner`.
std::string InsidePath(std::string_view outer, std::string_view inner);

// The last component of a path inside an archive ("b/c.txt" gives "c.txt"),
// which the filters on names look at.
std::string_view InnerFileName(std::string_view innerPath);

}  // namespace tarnwick::inside
