#include "ui/expressiontester/HitSample.h"

#include <algorithm>
#include <fstream>
#include <optional>

#include "platform/CodePage.h"
#include "ui/results/ResultTarget.h"

namespace tarnwick::ui {
namespace {

// How far the line is looked for on either side of the hit.
constexpr std::int64_t kLineReach = 4096;

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

std::optional<TesterSample> FileLine(const ResultTarget& target, const CodePage& codePage)
{
    const bool textFile = target.fileKind == ItemKind::File &&
        (target.encoding == Encoding::Ansi || target.encoding == Encoding::Utf8 || target.encoding == Encoding::Unknown);
    if (!textFile || !target.position) return std::nullopt;
    std::ifstream file(target.path, std::ios::binary);
    if (!file) return std::nullopt;
    const std::int64_t hit = *target.position;
    const std::int64_t from = std::max<std::int64_t>(hit - kLineReach, 0);
    std::string window(static_cast<std::size_t>(hit - from + target.matchLength + kLineReach), '\0');
    file.seekg(from);
    file.read(window.data(), static_cast<std::streamsize>(window.size()));
    window.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
    const auto at = static_cast<std::size_t>(hit - from);
    if (at + static_cast<std::size_t>(target.matchLength) > window.size()) return std::nullopt;
    std::size_t begin = at;
    while (begin > 0 && !IsLineEnd(window[begin - 1])) --begin;
    std::size_t end = at + static_cast<std::size_t>(target.matchLength);
    while (end < window.size() && !IsLineEnd(window[end])) ++end;
    // A UTF-8 mark is not part of the file's text.
    if (from == 0 && begin == 0 && window.compare(0, 3, "\xEF\xBB\xBF") == 0 && at >= 3) begin = 3;
    std::string line = window.substr(begin, end - begin);
    std::int64_t cursor = static_cast<std::int64_t>(at - begin);
    if (target.encoding == Encoding::Utf8 && !codePage.isUtf8()) {
        cursor = static_cast<std::int64_t>(codePage.utf8ToAnsiLength(std::string_view(line).substr(0, at - begin)));
        line = codePage.utf8ToAnsi(line);
    }
    return TesterSample{std::move(line), cursor};
}

}  // namespace

TesterSample SampleOfHit(const ResultList& list, ItemHandle item, const CodePage& codePage)
{
    const std::optional<ResultItem> entry = list.Item(item);
    if (!entry || !entry->isHit) return {};
    if (const std::optional<ResultTarget> target = ResultTargetOf(list, item)) {
        if (std::optional<TesterSample> line = FileLine(*target, codePage)) return std::move(*line);
    }
    return {entry->columns[static_cast<int>(ResultColumn::FileOrContext)], entry->highlightStart};
}

}  // namespace tarnwick::ui
