#include "crash/ReporterArguments.h"

#include <charconv>
#include <string_view>

namespace tarnwick::crash {
namespace {

template <typename Number>
bool ParseNumber(std::string_view text, Number& value)
{
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

}  // namespace

std::optional<ReporterArguments> ParseReporterArguments(int argc, const char* const* argv)
{
    ReporterArguments arguments;
    bool hasPid = false;
    bool hasSignal = false;
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc) return std::nullopt;
        const std::string_view option = argv[i];
        const std::string_view value = argv[i + 1];
        bool ok = true;
        if (option == "--pid")
            ok = hasPid = ParseNumber(value, arguments.pid);
        else if (option == "--signal")
            ok = hasSignal = ParseNumber(value, arguments.signal);
        else if (option == "--code")
            ok = ParseNumber(value, arguments.code);
        else if (option == "--address")
            ok = ParseNumber(value, arguments.address);
        else if (option == "--ready-fd")
            ok = ParseNumber(value, arguments.readyFd);
        else if (option == "--trace")
            arguments.tracePath = value;
        else if (option == "--program")
            arguments.programPath = value;
        else
            ok = false;
        if (!ok) return std::nullopt;
    }
    if (!hasPid || !hasSignal) return std::nullopt;
    return arguments;
}

}  // namespace tarnwick::crash
