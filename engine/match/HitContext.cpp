#include "engine/match/HitContext.h"

#include "platform/CodePage.h"

#include <algorithm>

namespace tarnwick {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool endsLine(char c) { return c == '\n' || c == '\r' || c == '\0'; }

}  // namespace

std::int32_t BuildHitContext(std::string_view before, std::string_view from, std::int64_t hitLength,
                             const ContextOptions& options, std::string& out, std::string& scratch)
{
    const std::int64_t k = options.contextLength;
    const std::int64_t n = hitLength;

    // Bytes before the hit: back to the line start, at most k - 1 (2k - 1 in
    // UTF-8 text, where characters take several bytes). The hit's first byte
    // is counted too, so a hit that begins with a line end takes nothing.
    const std::int64_t limit = options.utf8 ? 2 * k : k;
    std::int64_t count = 0;
    if (!from.empty() && !endsLine(from.front())) {
        count = 1;
        for (auto i = static_cast<std::int64_t>(before.size()) - 1; count < limit && i >= 0 && !endsLine(before[i]); --i) ++count;
    }
    const std::int64_t taken = k > 0 ? std::max<std::int64_t>(count - 1, 0) : 0;

    // From the hit on: to the line end, but covering at least the hit and at
    // most k bytes after it. A NUL ends the line as it does before the hit.
    std::int64_t after = n + k;
    const std::int64_t scanEnd = std::min(static_cast<std::int64_t>(from.size()), n + k + 1);
    for (std::int64_t i = 0; i < scanEnd; ++i) {
        if (endsLine(from[i])) {
            after = i;
            break;
        }
    }
    if (after < n || after > n + k) after = n + k;

    const std::string_view head = before.substr(before.size() - static_cast<std::size_t>(taken));
    out.assign(head);
    out.append(from.substr(0, static_cast<std::size_t>(std::min<std::int64_t>(after, from.size()))));

    std::int64_t offset =
        (options.utf8 && options.codePage) ? static_cast<std::int64_t>(options.codePage->utf8ToAnsiLength(head)) : taken;
    if (k > 0 && offset == k - 1) {
        out.insert(0, "...");
        offset += 3;
    } else if (options.startsAtBomFile && head.size() == before.size() && out.size() >= 3 &&
               std::string_view(out).substr(0, 3) == kUtf8Bom) {
        // The mark is one character of the context, not text of the line.
        out.erase(0, 3);
        const auto markLength = options.codePage ? static_cast<std::int64_t>(options.codePage->utf8ToAnsiLength(kUtf8Bom)) : 1;
        offset = std::max<std::int64_t>(0, offset - markLength);
    }
    if (after == n + k) out.append("...");
    std::replace_if(
        out.begin(), out.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    if (options.utf8 && options.codePage) {
        options.codePage->utf8ToAnsi(out, scratch);
        out.swap(scratch);
    }
    return static_cast<std::int32_t>(offset);
}

}  // namespace tarnwick
