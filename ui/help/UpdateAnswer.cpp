#include "ui/help/UpdateAnswer.h"

#include <cctype>
#include <optional>

#include "ui/help/HelpMenuTexts.h"

namespace tarnwick::ui {
namespace {

// The text between the first `open` tag and the first `close` tag after it.
std::optional<std::string_view> tagged(std::string_view answer, std::string_view open, std::string_view close)
{
    const std::size_t start = answer.find(open);
    if (start == std::string_view::npos) return std::nullopt;
    const std::size_t from = start + open.size();
    const std::size_t end = answer.find(close, from);
    if (end == std::string_view::npos) return std::nullopt;
    return answer.substr(from, end - from);
}

std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view kSpace = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

// "https://" and a host after it; the scheme in any case.
bool isHttpsAddress(std::string_view address)
{
    constexpr std::string_view kScheme = "https://";
    if (address.size() <= kScheme.size()) return false;
    for (std::size_t i = 0; i < kScheme.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(address[i])) != kScheme[i]) return false;
    return address[kScheme.size()] != '/';
}

}  // namespace

UpdateAnswer ParseUpdateAnswer(std::string_view answer)
{
    UpdateAnswer parsed;
    const std::optional<std::string_view> message = tagged(answer, "<text>", "</text>");
    const std::optional<std::string_view> akt = tagged(answer, "<akt>", "</akt>");
    if (!message || !akt) return parsed;
    parsed.readable = true;
    parsed.message = std::string(*message);
    if (akt->empty() || akt->front() != '0') return parsed;
    // Line breaks around the location would reach the updater as part of
    // the address; an empty one leaves it nothing to fetch.
    const std::optional<std::string_view> location = tagged(answer, "<ort>", "</ort>");
    if (!location || !isHttpsAddress(trimmed(*location))) return parsed;
    parsed.updateAvailable = true;
    parsed.location = std::string(trimmed(*location));
    return parsed;
}

std::string UpdateRequestUrl(std::string server)
{
    server = std::string(trimmed(server));
    while (!server.empty() && server.back() == '/') server.pop_back();
    if (server.find("://") == std::string::npos) server.insert(0, "https://");
    return server + text::help::kUpdateRequest;
}

}  // namespace tarnwick::ui
