#pragma once
// The settings file as lines grouped into sections. Parsing never fails:
// every line that is neither a `[section]` header nor a `name=value` entry
// (comments, blank lines, garbage) is kept as it is, as are entries and
// sections the program does not know, so that rewriting the file changes
// only the values written. Section and value names compare ASCII
// case-insensitively, as registry names do. Plain value; not thread-safe.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::settings {

class ProfileDocument {
public:
    static ProfileDocument parse(std::string_view text);
    std::string serialize() const;

    // The stored text of the value (e.g. `dword:00000001` or `"x"`); the
    // first entry of that name counts. Null when absent.
    const std::string* findValue(std::string_view section, std::string_view name) const;
    // Sets the stored text of a value, adding section and value as needed.
    void setValue(std::string_view section, std::string_view name, std::string valueText);
    void removeSection(std::string_view section);

    // Whether a name can be written without breaking the line format: not
    // empty, no control byte, no '=' (values) or ']' (sections), no blank at
    // either end.
    static bool isValidSectionName(std::string_view name);
    static bool isValidValueName(std::string_view name);

private:
    struct Line {
        std::string text;  // the whole line as it is written
        std::string name;  // empty unless the line is an entry
        std::string value;  // the stored text of an entry's value
    };
    struct Section {
        std::string name;
        std::vector<Line> lines;
    };

    Section* findSection(std::string_view name);
    const Section* findSection(std::string_view name) const;

    std::vector<Line> m_preamble;  // lines before the first header
    std::vector<Section> m_sections;
};

}  // namespace tarnwick::settings
