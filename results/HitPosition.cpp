#include "results/HitPosition.h"

#include <charconv>

namespace tarnwick {
namespace {

constexpr std::string_view kSeparator = ": ";

std::optional<std::int64_t> number(std::string_view text)
{
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

std::string FormatHitPosition(std::string_view part, std::int64_t position)
{
    std::string text;
    if (!part.empty()) {
        text.append(part);
        text.append(kSeparator);
    }
    text.append(std::to_string(position));
    return text;
}

std::optional<HitPosition> ParseHitPosition(std::string_view text)
{
    const std::size_t separator = text.rfind(kSeparator);
    if (separator == std::string_view::npos) {
        const std::optional<std::int64_t> position = number(text);
        if (!position) return std::nullopt;
        return HitPosition{{}, *position};
    }
    const std::optional<std::int64_t> position = number(text.substr(separator + kSeparator.size()));
    if (!position || separator == 0) return std::nullopt;
    return HitPosition{std::string(text.substr(0, separator)), *position};
}

}  // namespace tarnwick
