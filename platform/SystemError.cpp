#include "SystemError.h"

#include <cstring>

namespace tarnwick {

std::string SystemErrorText(int errnum)
{
    char buffer[256];
    // The GNU variant returns a pointer that may or may not be `buffer`.
    const char* text = strerror_r(errnum, buffer, sizeof buffer);
    return text ? std::string(text) : std::string("Error ") + std::to_string(errnum);
}

std::string TruncateText(const std::string& text, std::size_t limit)
{
    return text.size() <= limit ? text : text.substr(0, limit);
}

}  // namespace tarnwick
