#include "settings/ProfileDocument.h"

#include <algorithm>
#include <unordered_map>

namespace tarnwick::settings {

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool NamesEqual(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
        std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// A stray CR counts as a blank, so that a file with odd line ends reads the
// same before and after a rewrite (which writes LF only).
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool IsControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}

bool IsValidName(std::string_view name, char forbidden)
{
    if (name.empty() || IsBlank(name.front()) || IsBlank(name.back())) return false;
    return std::none_of(name.begin(), name.end(), [forbidden](char c) { return IsControl(c) || c == forbidden; });
}

std::string EntryLine(std::string_view name, std::string_view value)
{
    std::string line(name);
    line += '=';
    line += value;
    return line;
}

}  // namespace

ProfileDocument ProfileDocument::parse(std::string_view text)
{
    ProfileDocument document;
    // Lower-cased section name -> index, so a file of many headers parses in linear time.
    std::unordered_map<std::string, std::size_t> sectionIndex;
    std::vector<Line>* lines = &document.m_preamble;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);

        const std::string_view trimmed = Trim(raw);
        if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
            const std::string_view name = Trim(trimmed.substr(1, trimmed.size() - 2));
            // A section that appears twice is one section: its later lines join the first.
            std::string key(name);
            std::transform(key.begin(), key.end(), key.begin(), AsciiLower);
            const auto [it, added] = sectionIndex.emplace(std::move(key), document.m_sections.size());
            if (added) document.m_sections.push_back(Section{std::string(name), {}});
            lines = &document.m_sections[it->second].lines;
            continue;
        }
        Line line{std::string(raw), {}, {}};
        const std::size_t equals = raw.find('=');
        if (equals != std::string_view::npos) {
            const std::string_view name = Trim(raw.substr(0, equals));
            if (!name.empty()) {
                line.name = std::string(name);
                line.value = std::string(Trim(raw.substr(equals + 1)));
            }
        }
        lines->push_back(std::move(line));
    }
    return document;
}

std::string ProfileDocument::serialize() const
{
    std::string text;
    for (const Line& line : m_preamble) (text += line.text) += '\n';
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        const Section& section = m_sections[i];
        // A blank line between sections, unless one is there already.
        if (i > 0 && text.size() >= 2 && text[text.size() - 2] != '\n') text += '\n';
        ((text += '[') += section.name) += "]\n";
        for (const Line& line : section.lines) (text += line.text) += '\n';
    }
    return text;
}

ProfileDocument::Section* ProfileDocument::findSection(std::string_view name)
{
    for (Section& section : m_sections)
        if (NamesEqual(section.name, name)) return &section;
    return nullptr;
}

const ProfileDocument::Section* ProfileDocument::findSection(std::string_view name) const
{
    return const_cast<ProfileDocument*>(this)->findSection(name);
}

const std::string* ProfileDocument::findValue(std::string_view section, std::string_view name) const
{
    const Section* found = findSection(section);
    if (!found) return nullptr;
    for (const Line& line : found->lines)
        if (!line.name.empty() && NamesEqual(line.name, name)) return &line.value;
    return nullptr;
}

void ProfileDocument::setValue(std::string_view section, std::string_view name, std::string valueText)
{
    Section* target = findSection(section);
    if (!target) {
        m_sections.push_back(Section{std::string(section), {}});
        target = &m_sections.back();
    }
    std::vector<Line>& lines = target->lines;
    auto first = std::find_if(lines.begin(), lines.end(),
                              [&](const Line& line) { return !line.name.empty() && NamesEqual(line.name, name); });
    if (first == lines.end()) {
        // New values go after the section's last non-blank line, so a blank
        // line that separates it from the next section stays at its end.
        auto insertAt = lines.end();
        while (insertAt != lines.begin() && Trim(std::prev(insertAt)->text).empty()) --insertAt;
        lines.insert(insertAt, Line{EntryLine(name, valueText), std::string(name), std::move(valueText)});
        return;
    }
    first->text = EntryLine(first->name, valueText);
    first->value = std::move(valueText);
    // Later duplicates of a hand-edited file would shadow nothing, but drop
    // them so the file says one thing.
    lines.erase(std::remove_if(std::next(first), lines.end(),
                               [&](const Line& line) { return !line.name.empty() && NamesEqual(line.name, name); }),
                lines.end());
}

void ProfileDocument::removeSection(std::string_view section)
{
    m_sections.erase(
        std::remove_if(m_sections.begin(), m_sections.end(), [&](const Section& s) { return NamesEqual(s.name, section); }),
        m_sections.end());
}

bool ProfileDocument::isValidSectionName(std::string_view name) { return IsValidName(name, ']'); }

bool ProfileDocument::isValidValueName(std::string_view name) { return IsValidName(name, '='); }

}  // namespace tarnwick::settings
