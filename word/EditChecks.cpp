#include "word/EditChecks.h"

#include "word/Utf16.h"
#include "word/WordErrors.h"

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
    const auto& units = story.units();
    return IsHighSurrogate(units[static_cast<std::size_t>(position - 1)].value) &&
           IsLowSurrogate(units[static_cast<std::size_t>(position)].value);
}

// The story value a replacement character reads back as.
char16_t unitValueOf(char16_t c) { return c == u'\n' ? u'\v' : c; }

}  // namespace

void CheckReplacementText(std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 1;
        const char32_t c = CodePointAt(text, i, length);
        i += length;
        if (c == u'\r')
            Refuse(kErrorRefusedText, "Der Ersatztext enthält eine Absatzmarke; Absätze werden nicht geteilt.");
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
    case UnitKind::Symbol:
        return true;
    default:
        return false;
    }
}

bool IsParagraphStart(const StoryText& story, std::int64_t position)
{
    return position <= 0 || isMark(story.units()[static_cast<std::size_t>(position - 1)].kind);
}

void CheckEditableSpan(const StoryText& story, std::int64_t start, std::int64_t end)
{
    if (start < 0 || end > story.size() || start > end)
        Refuse(kErrorRefusedSpan, "Der Bereich liegt außerhalb des Dokumenttexts.");
    if (splitsPair(story, start) || splitsPair(story, end))
        Refuse(kErrorRefusedSpan, "Der Bereich beginnt oder endet mitten in einem Zeichen.");
    for (std::int64_t i = start; i < end; ++i) {
        const Unit& unit = story.units()[static_cast<std::size_t>(i)];
        if (isMark(unit.kind))
            Refuse(kErrorRefusedSpan, "Der Bereich reicht über eine Absatz- oder Zellmarke und wird nicht ersetzt.");
        if (unit.flags & kFieldCode || unit.kind == UnitKind::FieldBegin || unit.kind == UnitKind::FieldSeparator ||
            unit.kind == UnitKind::FieldEnd)
            Refuse(kErrorRefusedSpan, "Der Bereich enthält einen Feldcode und wird nicht ersetzt.");
        if (unit.flags & kInFieldResult)
            Refuse(kErrorRefusedSpan, "Der Text ist ein Feldergebnis und wird nicht ersetzt.");
        if (unit.flags & kDeleted)
            Refuse(kErrorRefusedSpan, "Der Text ist eine nachverfolgte Löschung und wird nicht ersetzt.");
        if (unit.flags & kHidden)
            Refuse(kErrorRefusedSpan, "Der Bereich enthält verborgenen Text und wird nicht ersetzt.");
        if (!IsEditableUnit(unit))
            Refuse(kErrorRefusedSpan, "Der Bereich enthält ein Objekt oder eine Noten- oder Kommentarmarke und wird "
                                      "nicht ersetzt.");
    }
}

void VerifyReplacement(const StoryText& before, const StoryText& after, std::int64_t start, std::int64_t end,
                       std::u16string_view text)
{
    const auto& old = before.units();
    const auto& now = after.units();
    const auto s = static_cast<std::size_t>(start);
    const auto e = static_cast<std::size_t>(end);
    bool same = now.size() == old.size() - (e - s) + text.size();
    for (std::size_t i = 0; same && i < s; ++i) same = now[i].value == old[i].value;
    for (std::size_t i = 0; same && i < text.size(); ++i) same = now[s + i].value == unitValueOf(text[i]);
    for (std::size_t i = e; same && i < old.size(); ++i) same = now[i - e + s + text.size()].value == old[i].value;
    if (!same)
        Refuse(kErrorRefusedSpan, "Die Ersetzung ließ sich in diesem Dokument nicht genau abbilden; es wird nicht "
                                  "gespeichert.");
}

}  // namespace tarnwick::word
