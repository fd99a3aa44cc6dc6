#pragma once
// Word-processor documents for the crash scenarios: a minimal valid .docx,
// and a document's parts, by which two saves of the same text compare equal
// although the package records the time it was written.
#include <map>
#include <optional>
#include <string>

namespace tarnwick::crashpoints {

// Writes a .docx at `path` whose one paragraph holds `text` (XML-safe).
void WriteMinimalDocx(const std::string& path, const std::string& text);

// Part name -> uncompressed bytes; nothing when `bytes` is no readable zip
// package (a torn file).
std::optional<std::map<std::string, std::string>> PackageParts(const std::string& bytes);

// Whether two documents hold the same parts (equal bytes count, too).
bool SameDocument(const std::string& a, const std::string& b);

}  // namespace tarnwick::crashpoints
