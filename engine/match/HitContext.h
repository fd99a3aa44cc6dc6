#pragma once
// The one-line context shown with a hit: up to the context length before and
// after it, cut at line ends, with "..." where the line goes on, and the
// position of the hit inside it.
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

class CodePage;

struct ContextOptions {
    std::int64_t contextLength = 20;  // bytes before and after (twice as many bytes before in UTF-8 text)
    bool utf8 = false;  // the text is UTF-8 (encoding code 4): convert to the code page
    bool startsAtBomFile = false;  // `before` begins at the first byte of a file that starts with a UTF-8 mark
    const CodePage* codePage = nullptr;
};

// Builds the context of a hit of `hitLength` bytes. `before` holds the bytes
// in front of the hit back to the start of the text in memory (or at least
// twice the context length of them), `from` the bytes from the hit's first
// byte to the end of the text in memory (or at least hit length + context
// length + 1 of them). Writes the context into `out` (using `scratch` for
// conversions) and returns the hit's offset in it, in characters.
std::int32_t BuildHitContext(std::string_view before, std::string_view from, std::int64_t hitLength,
                             const ContextOptions& options, std::string& out, std::string& scratch);

}  // namespace tarnwick
