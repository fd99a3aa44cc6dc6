#pragma once
// A search text and a replacement tried on a sample text in memory, as a run
// would treat a file in the system code page that holds the sample: the
// hits a search lists (with the groups of each), the text a replace run
// writes, and the messages with which a run would refuse to start. It uses
// the run's own pieces: the prepared search text and pattern, the chunk
// matcher, the replacement as PrepareRunReplacement makes it and the format
// filled in per match. Nothing is read or written on disk.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class CodePage;
struct SearchJob;

struct TrialGroup {
    int number = 0;  // 0 is the whole match
    std::string name;  // of a named group, else empty
    bool matched = false;  // false for a group that took no part in the match
    std::int64_t position = 0;  // bytes of the sample
    std::int64_t length = 0;
};

struct TrialMatch {
    std::int64_t position = 0;  // bytes of the sample
    std::int64_t length = 0;
    // Group 0 and, for an expression, every group it has, in number order.
    std::vector<TrialGroup> groups;
};

struct TrialSpan {
    std::int64_t position = 0;
    std::int64_t length = 0;
};

struct ExpressionTrial {
    // The search: refused as a run refuses it ("Ungültiger regulärer
    // Ausdruck: " and the library's text), with the byte of the expression
    // where the library gave up (-1 when it did not say).
    std::string searchError;
    std::int64_t errorPosition = -1;
    // The hits a search lists, in order.
    std::vector<TrialMatch> matches;
    // The replacement: refused as a replace run refuses it (an escape, a
    // reference to a group the expression does not have), German.
    std::string replacementError;
    // The sample after a replace run, when the replacement was not refused,
    // and where each inserted replacement stands in it.
    std::string replaced;
    std::vector<TrialSpan> replacements;
};

// `searchTyped` and `replacementTyped` as the user typed them, `sample` in
// the code page; `job` gives the matching options, "Sonderzeichen
// interpretieren", "Rückverweise im Ersetzungstext" and "Schreibweise der
// Treffer übernehmen". An empty search
// text finds nothing and changes nothing.
ExpressionTrial TryExpression(std::string_view searchTyped, std::string_view replacementTyped, const SearchJob& job,
                              std::string_view sample, const CodePage& codePage);

}  // namespace tarnwick
