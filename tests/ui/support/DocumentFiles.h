#pragma once
// Small word-processor documents for the desktop program's tests: a .docx
// and an .odt (made as the document component's own tests make them), and an .rtf.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/TempTree.h"

namespace tarnwick::test {

// A .docx whose body holds `bodyXml` (paragraphs w:p ...).
std::string WriteDocx(const TempTree& tree, std::string_view name, std::string_view bodyXml);
// A .docx with one paragraph per entry of `paragraphs` (plain UTF-8 text).
std::string WriteDocxParagraphs(const TempTree& tree, std::string_view name, const std::vector<std::string>& paragraphs);
// An .odt whose office:text holds `textXml`.
std::string WriteOdt(const TempTree& tree, std::string_view name, std::string_view textXml);
// An .rtf with one paragraph of ASCII text.
std::string WriteRtf(const TempTree& tree, std::string_view name, std::string_view text);

}  // namespace tarnwick::test
