#pragma once
// The text form of one stored value in the settings file: an integer as
// `dword:0000000a` (eight lower-case hex digits), a string as `"text"`.
// Inside the quotes a backslash, a quote and every control byte are escaped
// (\\ \" \r \n \t \xHH), so a value never spans or breaks a line; other bytes,
// including those of the system code page above 0x7f, stand as they are.
// Strings are byte strings and come back byte for byte.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick::settings {

std::string FormatDwordValue(std::uint32_t value);
std::string FormatStringValue(std::string_view value);

// Empty when `text` is not a well-formed value of that type: a value of the
// other type, a hand edit gone wrong or a truncated line. Surrounding blanks
// are allowed; hex digits may be of either case and fewer than eight.
std::optional<std::uint32_t> ParseDwordValue(std::string_view text);
std::optional<std::string> ParseStringValue(std::string_view text);

}  // namespace tarnwick::settings
