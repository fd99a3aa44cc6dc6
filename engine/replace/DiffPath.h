#pragma once
// A path as git writes it in a diff with core.quotePath on: unchanged when
// it holds nothing unusual, else in double quotes with C escapes (\" \\ \a
// \b \t \n \v \f \r) and every other control byte, DEL and every byte from
// 0x80 up as a three-digit octal escape. `git apply` reads either form back
// to the same bytes, and no byte of the name can end the line it stands on.
// Pure: no I/O, no state, safe from any thread.
#include <string>
#include <string_view>

namespace tarnwick {

// `prefix` ("a/", "b/" or "") and `name` quoted as one path, as git quotes
// "a/NAME" in a header.
std::string QuoteDiffPath(std::string_view prefix, std::string_view name);

}  // namespace tarnwick
