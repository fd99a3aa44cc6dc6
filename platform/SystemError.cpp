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

namespace {

class CommitCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "tarnwick-commit"; }
    std::string message(int) const override
    {
        return "Der Name verweist inzwischen auf eine andere Datei oder eine Verknüpfung; es wurde nichts geschrieben.";
    }
};

}  // namespace

std::error_code NameChangedError()
{
    static const CommitCategory category;
    return {1, category};
}

std::string SystemErrorText(std::error_code error)
{
    if (error.category() == std::system_category() || error.category() == std::generic_category())
        return SystemErrorText(error.value());
    return error.message();
}

std::string TruncateText(const std::string& text, std::size_t limit)
{
    return text.size() <= limit ? text : text.substr(0, limit);
}

}  // namespace tarnwick
