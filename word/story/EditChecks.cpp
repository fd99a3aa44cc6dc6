#include "word/story/EditChecks.h"

#include "word/automation/WordErrors.h"
#include "word/story/Utf16.h"

#include <algorithm>
#include <cstdio>

namespace tarnwick::word {
namespace {

bool isMark(UnitKind kind)
{
    return kind == UnitKind::ParagraphEnd || kind == UnitKind::SectionEnd || kind == UnitKind::CellEnd ||
        kind == UnitKind::RowEnd;
}

std::string codePointName(char32_t c)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
    return buffer;
}

// True when `position` lies between the two halves of a surrogate pair.
bool splitsPair(const StoryText& story, std::int64_t position)
{
    if (position <= 0 || position >= story.size()) return false;
    return IsHighSurrogate(story.unit(position - 1).value) && IsLowSurrogate(story.unit(position).value);
}

// The story value a replacement character reads back as.
char16_t unitValueOf(char16_t c) { return c == u'\n' ? u'\v' : c; }

// The kind of unit a replacement character is written as.
UnitKind unitKindOf(char16_t c)
{
    if (c == u'\t') return UnitKind::Tab;
    if (c == u'\n' || c == u'\v') return UnitKind::LineBreak;
    return UnitKind::Text;
}

}  // namespace

void CheckReplacementText(std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 1;
        const char32_t c = CodePointAt(text, i, length);
        i += length;
        if (c == u'\r') Refuse(kErrorRefusedText, "Der Ersatztext enthält eine Absatzmarke; Absätze werden nicht geteilt.");
        if (c == u'\t' || c == u'\n' || c == u'\v') continue;
        if (!IsXmlChar(c) || c < 0x20)
            Refuse(kErrorRefusedText,
                   "Der Ersatztext enthält ein Zeichen, das nicht geschrieben werden kann (" + codePointName(c) + ").");
    }
}

bool IsEditableUnit(const Unit& unit)
{
    if (unit.flags & (kFieldCode | kInFieldResult | kDeleted | kHidden)) return false;
    switch (unit.kind) {
    case UnitKind::Text:
    case UnitKind::Tab:
    case UnitKind::LineBreak:
    case UnitKind::PageBreak:
    case UnitKind::ColumnBreak:
    case UnitKind::Symbol: return true;
    default: return false;
    }
}

bool IsParagraphStart(const StoryText& story, std::int64_t position)
{
    return position <= 0 || isMark(story.unit(position - 1).kind);
}

void CheckEditableSpan(const StoryText& story, std::int64_t start, std::int64_t end)
{
    if (start < 0 || end > story.size() || start > end)
        Refuse(kErrorRefusedSpan, "Der Bereich liegt außerhalb des Dokumenttexts.");
    if (splitsPair(story, start) || splitsPair(story, end))
        Refuse(kErrorRefusedSpan, "Der Bereich beginnt oder endet mitten in einem Zeichen.");
    for (std::int64_t i = start; i < end; ++i) {
        const Unit& unit = story.unit(i);
        if (isMark(unit.kind))
            Refuse(kErrorRefusedSpan, "Der Bereich reicht über eine Absatz- oder Zellmarke und wird nicht ersetzt.");
        if (unit.flags & kFieldCode || unit.kind == UnitKind::FieldBegin || unit.kind == UnitKind::FieldSeparator ||
            unit.kind == UnitKind::FieldEnd)
            Refuse(kErrorRefusedSpan, "Der Bereich enthält einen Feldcode und wird nicht ersetzt.");
        if (unit.flags & kInFieldResult) Refuse(kErrorRefusedSpan, "Der Text ist ein Feldergebnis und wird nicht ersetzt.");
        if (unit.flags & kDeleted) Refuse(kErrorRefusedSpan, "Der Text ist eine nachverfolgte Löschung und wird nicht ersetzt.");
        if (unit.flags & kHidden) Refuse(kErrorRefusedSpan, "Der Bereich enthält verborgenen Text und wird nicht ersetzt.");
        if (!IsEditableUnit(unit))
            Refuse(kErrorRefusedSpan,
                   "Der Bereich enthält ein Objekt oder eine Noten- oder Kommentarmarke und wird "
                   "nicht ersetzt.");
    }
}

void VerifyReplacement(const StoryText& before, const StoryText& after, std::int64_t start, std::int64_t end,
                       std::u16string_view text)
{
    const auto length = static_cast<std::int64_t>(text.size());
    bool same = after.size() == before.size() - (end - start) + length;
    for (std::int64_t i = 0; same && i < start; ++i) same = after.unit(i).value == before.unit(i).value;
    for (std::int64_t i = 0; same && i < length; ++i)
        same = after.unit(start + i).value == unitValueOf(text[static_cast<std::size_t>(i)]);
    for (std::int64_t i = end; same && i < before.size(); ++i)
        same = after.unit(i - end + start + length).value == before.unit(i).value;
    if (!same)
        Refuse(kErrorRefusedSpan,
               "Die Ersetzung ließ sich in diesem Dokument nicht genau abbilden; es wird nicht "
               "gespeichert.");
}

std::optional<ParagraphSpan> ParagraphAround(const StoryText& story, std::int64_t start, std::int64_t end)
{
    ParagraphSpan paragraph{start, std::max(start, end)};
    while (paragraph.first > 0 && !isMark(story.unit(paragraph.first - 1).kind)) --paragraph.first;
    while (paragraph.mark < story.size() && !isMark(story.unit(paragraph.mark).kind)) ++paragraph.mark;
    if (paragraph.mark >= story.size()) return std::nullopt;
    return paragraph;
}

bool ReadsAsReplaced(const StoryText& story, const ParagraphSpan& paragraph, const StoryText& part, std::int64_t start,
                     std::int64_t end, std::u16string_view text)
{
    const std::int64_t before = start - paragraph.first;
    const std::int64_t after = paragraph.mark + 1 - end;
    const auto length = static_cast<std::int64_t>(text.size());
    if (part.size() != before + length + after) return false;
    const auto same = [](const Unit& a, const Unit& b) { return a.value == b.value && a.kind == b.kind && a.flags == b.flags; };
    for (std::int64_t i = 0; i < before; ++i)
        if (!same(part.unit(i), story.unit(paragraph.first + i))) return false;
    for (std::int64_t i = 0; i < length; ++i) {
        const char16_t c = text[static_cast<std::size_t>(i)];
        const Unit& unit = part.unit(before + i);
        // Written into the run of an editable unit, the new text is plain
        // text like it, without flags.
        if (unit.value != unitValueOf(c) || unit.kind != unitKindOf(c) || unit.flags != 0) return false;
    }
    for (std::int64_t i = 0; i < after; ++i)
        if (!same(part.unit(before + length + i), story.unit(end + i))) return false;
    return true;
}

}  // namespace tarnwick::word
