#include "engine/documents/DocumentParts.h"

#include <algorithm>
#include <charconv>
#include <span>
#include <utility>

#include "engine/Messages.h"

namespace tarnwick {
namespace {

using word::StoryKind;

constexpr std::pair<StoryKind, const char*> kNames[] = {
    {StoryKind::Header, text::kPartHeader},     {StoryKind::Footer, text::kPartFooter},
    {StoryKind::Footnote, text::kPartFootnote}, {StoryKind::Endnote, text::kPartEndnote},
    {StoryKind::Comment, text::kPartComment},   {StoryKind::TextBox, text::kPartTextBox},
};

constexpr std::pair<StoryKind, const char*> kPluralNames[] = {
    {StoryKind::Header, text::kPartHeaders},     {StoryKind::Footer, text::kPartFooters},
    {StoryKind::Footnote, text::kPartFootnotes}, {StoryKind::Endnote, text::kPartEndnotes},
    {StoryKind::Comment, text::kPartComments},   {StoryKind::TextBox, text::kPartTextBoxes},
};

const char* nameOf(StoryKind kind, bool plural = false)
{
    for (const auto& [k, name] : plural ? std::span(kPluralNames) : std::span(kNames))
        if (k == kind) return name;
    return "";
}

}  // namespace

std::string DocumentPartName(word::StoryId id, const std::vector<word::StoryId>& all)
{
    if (id.isMainText()) return {};
    std::string name = nameOf(id.kind);
    const bool numbered = (id.kind != StoryKind::Header && id.kind != StoryKind::Footer) ||
        std::count_if(all.begin(), all.end(), [&](word::StoryId other) { return other.kind == id.kind; }) > 1;
    if (numbered) name += " " + std::to_string(id.number);
    return name;
}

std::vector<word::StoryId> NamedStories(std::vector<word::StoryId> read, const std::vector<word::UnreadableStories>& unreadable)
{
    for (const word::UnreadableStories& stories : unreadable)
        if (stories.number > 0 && stories.kinds.size() == 1) read.push_back(word::StoryId{stories.kinds.front(), stories.number});
    return read;
}

std::string UnreadablePartName(const word::UnreadableStories& unreadable, const std::vector<word::StoryId>& all)
{
    if (unreadable.number > 0 && unreadable.kinds.size() == 1)
        return DocumentPartName(word::StoryId{unreadable.kinds.front(), unreadable.number}, all);
    std::string name;
    for (std::size_t i = 0; i < unreadable.kinds.size(); ++i) {
        if (i > 0) name += i + 1 == unreadable.kinds.size() ? text::kPartsJoined : ", ";
        name += nameOf(unreadable.kinds[i], true);
    }
    return name;
}

std::optional<word::StoryId> DocumentPartOfName(std::string_view name)
{
    if (name.empty()) return word::StoryId{};
    for (const auto& [kind, base] : kNames) {
        const std::string_view prefix = base;
        if (name.substr(0, prefix.size()) != prefix) continue;
        const std::string_view rest = name.substr(prefix.size());
        if (rest.empty()) return word::StoryId{kind, 1};
        int number = 0;
        const char* first = rest.data() + 1;
        const char* last = rest.data() + rest.size();
        const auto [end, error] = std::from_chars(first, last, number);
        if (rest[0] == ' ' && error == std::errc() && end == last && number > 0) return word::StoryId{kind, number};
    }
    return std::nullopt;
}

std::u16string LabelledPartText(std::u16string_view part, std::u16string_view text)
{
    if (part.empty()) return std::u16string(text);
    std::u16string labelled;
    bool lineStart = true;
    for (const char16_t c : text) {
        // A cell mark reads as "\r\a": its \a belongs to the line it ends.
        if (lineStart && c != u'\a') {
            labelled.append(part);
            labelled.append(u": ");
            lineStart = false;
        }
        labelled.push_back(c);
        if (c == u'\r') lineStart = true;
    }
    return labelled;
}

}  // namespace tarnwick
