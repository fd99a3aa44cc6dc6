#pragma once
#include <string>

namespace tarnwick {

// The system's message for an errno value, in the user's locale.
std::string SystemErrorText(int errnum);

// At most `limit` bytes of `text`: several messages are cut to 255 characters.
std::string TruncateText(const std::string& text, std::size_t limit = 255);

}  // namespace tarnwick
