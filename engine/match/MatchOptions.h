#pragma once
// The options of a run that the matcher reads: how the search text is
// matched, how much context a hit shows and how a file is read in pieces.
// A search job is these and more (SearchJob derives from it), so the matcher
// sees nothing of walking, replacing or backups.
#include <cstdint>

namespace tarnwick {

struct MatchOptions {
    bool regularExpression = false;
    bool matchCase = false;
    bool wholeWords = false;
    std::uint32_t contextLength = 20;
    std::uint32_t splitLength = 52'428'800;
    std::uint32_t splitMaxOffset = 1'024;
    bool ignoreNulls = false;
    bool detectUtf8 = false;
    std::uint32_t detectLength = 51'200;
};

}  // namespace tarnwick
