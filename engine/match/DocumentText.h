#pragma once
// Conversions between the engine's code-page strings and the UTF-16 text of
// documents.
#include <string>
#include <string_view>

namespace tarnwick {

class CodePage;

// Code-page text to UTF-16.
std::u16string ToDocumentText(std::string_view text, const CodePage& codePage);
// UTF-16 to code-page text; what the code page cannot show becomes '?'.
std::string FromDocumentText(std::u16string_view text, const CodePage& codePage);

}  // namespace tarnwick
