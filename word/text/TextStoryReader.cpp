#include "word/text/TextStoryReader.h"

namespace tarnwick::word {
namespace {

std::u16string_view lineEndText(std::uint32_t lineEnd)
{
    switch (lineEnd) {
    case kLf: return u"\n";
    case kCrLf: return u"\r\n";
    case kCr: return u"\r";
    default: return u"";
    }
}

}  // namespace

StoryText ReadTextStory(std::u16string_view text)
{
    StoryText story;
    std::vector<Unit>& units = story.units();
    units.reserve(text.size() + 1);
    auto mark = [&](std::uint32_t lineEnd) { units.push_back(Unit{u'\r', UnitKind::ParagraphEnd, 0, lineEnd, 0}); };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\n') {
            mark(kLf);
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            mark(kCrLf);
            ++i;
        } else if (c == u'\r') {
            mark(kCr);
        } else {
            units.push_back(Unit{c, c == u'\t' ? UnitKind::Tab : UnitKind::Text, 0, 0, 0});
        }
    }
    // Every story ends with a paragraph mark; a text that ends without a
    // line end gets one that stands for nothing.
    if (units.empty() || units.back().kind != UnitKind::ParagraphEnd) mark(kNoLineEnd);
    story.index();
    return story;
}

std::u16string WriteTextStory(const StoryText& story)
{
    const std::vector<Unit>& units = story.units();
    std::uint32_t first = kLf;
    for (const Unit& unit : units) {
        if (unit.kind == UnitKind::ParagraphEnd && unit.source != kNoLineEnd) {
            first = unit.source;
            break;
        }
    }
    std::u16string text;
    text.reserve(units.size() + units.size() / 16);
    std::size_t paragraphStart = 0;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const Unit& unit = units[i];
        if (unit.kind != UnitKind::ParagraphEnd) continue;
        // The paragraph's units before its mark; a line break becomes its line end.
        const std::uint32_t own = unit.source != kNoLineEnd ? unit.source : first;
        for (std::size_t k = paragraphStart; k < i; ++k) {
            if (units[k].kind == UnitKind::LineBreak)
                text += lineEndText(own);
            else
                text.push_back(units[k].value);
        }
        text += lineEndText(unit.source);
        paragraphStart = i + 1;
    }
    return text;
}

}  // namespace tarnwick::word
