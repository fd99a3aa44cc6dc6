#pragma once
// Line diff of two texts (Myers' O(ND) algorithm in linear space) and its
// unified form as git writes it: hunks with context lines, a missing final
// line end marked "\ No newline at end of file".
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The lines of `text`, each with its line end; the last may have none.
std::vector<std::string_view> SplitLines(std::string_view text);

// Lines [beforeBegin, beforeEnd) of the old text were replaced by lines
// [afterBegin, afterEnd) of the new one; between two blocks the lines are equal.
struct DiffBlock {
    std::size_t beforeBegin, beforeEnd, afterBegin, afterEnd;
};
std::vector<DiffBlock> DiffLines(const std::vector<std::string_view>& before, const std::vector<std::string_view>& after);

// Appends the hunks ("@@ -a,b +c,d @@" and the lines) that turn `before`
// into `after`, with `context` equal lines around each change.
void AppendUnifiedHunks(std::string_view before, std::string_view after, std::size_t context, std::string& out);

}  // namespace tarnwick
