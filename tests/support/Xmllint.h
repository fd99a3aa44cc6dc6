#pragma once
// A conforming XML 1.0 parser for the tests of what the program writes:
// libxml2's xmllint, when it is installed.
#include <optional>
#include <string>

namespace tarnwick::test {

// True when xmllint can be run; tests that need it skip without it.
bool HasXmllint();

// Empty when xmllint reads the file as a well-formed document; otherwise
// what it said.
std::string XmllintComplaints(const std::string& path);

// The string value of an XPath expression over the file, as the parser reads
// it (references decoded, attribute values normalised); nullopt when xmllint
// fails.
std::optional<std::string> XmllintValue(const std::string& path, const std::string& xpath);

}  // namespace tarnwick::test
