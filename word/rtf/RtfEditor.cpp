#include "word/rtf/RtfEditor.h"

#include <algorithm>
#include <cstdio>

#include "word/automation/WordErrors.h"
#include "word/rtf/RtfTokenizer.h"
#include "word/story/EditChecks.h"

namespace tarnwick::word {
namespace {

[[noreturn]] void refuse(const char* why) { Refuse(kErrorRefusedSpan, why); }

[[noreturn]] void refuseDoubleByte() { refuse("Text in einem ostasiatischen Doppelbyte-Zeichensatz wird in RTF nicht ersetzt."); }

bool isMark(UnitKind kind)
{
    return kind == UnitKind::ParagraphEnd || kind == UnitKind::SectionEnd || kind == UnitKind::CellEnd ||
        kind == UnitKind::RowEnd;
}

// Appends \uN for `c` to `out`; \u takes a signed 16-bit number.
void appendUnicodeWord(char16_t c, std::string& out)
{
    char word[16];
    std::snprintf(word, sizeof word, "\\u%d", c < 0x8000 ? static_cast<int>(c) : static_cast<int>(c) - 65536);
    out += word;
}

// Appends `text` escaped to `out`.
void escape(const std::u16string& text, std::string& out)
{
    bool inUnicodeGroup = false;
    const auto closeUnicodeGroup = [&] {
        if (inUnicodeGroup) out += '}';
        inUnicodeGroup = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0x20 && c < 0x7F) {
            closeUnicodeGroup();
            if (c == u'\\' || c == u'{' || c == u'}') out += '\\';
            out += static_cast<char>(c);
            continue;
        }
        if (c >= 0x7F && c != 0xA0) {
            if (!inUnicodeGroup) out += "{\\uc1";
            inUnicodeGroup = true;
            appendUnicodeWord(c, out);
            out += '?';
            continue;
        }
        closeUnicodeGroup();
        switch (c) {
        case u'\t': out += "\\tab "; break;
        case u'\v':
        case u'\n': out += "\\line "; break;
        case 0xA0: out += "\\~"; break;
        default: Refuse(kErrorRefusedText, "Der Ersatztext enthält ein Steuerzeichen, das nicht geschrieben werden kann.");
        }
    }
    closeUnicodeGroup();
}

// Appends `text` escaped as a shape property's value to `out`: LibreOffice
// drops the whole value when it holds a group, so non-ASCII characters are
// \uN with the `unicodeSkip` fallback characters in effect there, and the
// value has no way to hold a tab or line break.
void escapeValue(const std::u16string& text, int unicodeSkip, std::string& out)
{
    for (const char16_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            if (c == u'\\' || c == u'{' || c == u'}') out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x7F) {
            appendUnicodeWord(c, out);
            // Without a fallback a digit or space after it would run on into the word.
            if (unicodeSkip == 0) out += ' ';
            out.append(static_cast<std::size_t>(unicodeSkip), '?');
        } else {
            Refuse(kErrorRefusedText, "Der Ersatztext enthält ein Steuerzeichen, das im Text einer Form nicht stehen kann.");
        }
    }
}

// Ends of control words that a letter, digit, '-' or space written right
// after them would change, within [from, to].
std::vector<std::uint32_t> bareWordEnds(std::string_view bytes, std::uint32_t from, std::uint32_t to)
{
    std::vector<std::uint32_t> ends;
    RtfTokenizer tokens(bytes);
    for (RtfToken token = tokens.next(); token.kind != RtfTokenKind::End && token.begin <= to; token = tokens.next())
        if (token.kind == RtfTokenKind::Word && token.bare && token.end >= from) ends.push_back(token.end);
    return ends;
}

// Groups opened and not closed by the end of `bytes`; a closing brace
// without its opening one counts against it.
long OpenGroups(std::string_view bytes)
{
    long open = 0;
    RtfTokenizer tokens(bytes);
    for (RtfToken token = tokens.next(); token.kind != RtfTokenKind::End; token = tokens.next()) {
        if (token.kind == RtfTokenKind::GroupOpen) ++open;
        if (token.kind == RtfTokenKind::GroupClose) --open;
    }
    return open;
}

}  // namespace

bool RtfGroupsNestAlike(std::string_view original, std::string_view edited) { return OpenGroups(edited) == OpenGroups(original); }

std::string EscapeRtfText(const std::u16string& text)
{
    std::string out;
    escape(text, out);
    return out;
}

std::string EscapeRtfPropertyValue(const std::u16string& text, int unicodeSkip)
{
    std::string out;
    escapeValue(text, unicodeSkip, out);
    return out;
}

RtfCut PlanRtfEdit(std::string_view bytes, const RtfStory& story, std::int64_t start, std::int64_t end,
                   const std::u16string& text)
{
    const StoryText& units = story.story;
    const std::int64_t count = units.size();
    CheckReplacementText(text);
    CheckEditableSpan(units, start, end);
    const auto at = [&](std::int64_t i) -> const Unit& { return units.unit(i); };
    // Units added by edits not yet written out are never double-byte.
    const auto doubleByte = [&](std::int64_t i) {
        return static_cast<std::size_t>(i) < story.doubleByte.size() && story.doubleByte[static_cast<std::size_t>(i)];
    };

    RtfCut cut;
    if (start < end) {
        for (std::int64_t i = start; i < end; ++i)
            if (doubleByte(i)) refuseDoubleByte();
        const std::uint32_t first = at(start).source;
        const std::uint32_t last = at(end - 1).source + at(end - 1).offset;
        const auto omitted =
            std::lower_bound(story.omittedGroups.begin(), story.omittedGroups.end(), std::make_pair(first, std::uint32_t{0}));
        if (omitted != story.omittedGroups.end() && omitted->first < last)
            refuse("Der Bereich schließt ausgeblendeten Inhalt ein (Textmarke, Fußnote, Kommentar, Objekt) und wird "
                   "nicht ersetzt.");
        cut.insertAt = first;
    } else if (text.empty()) {
        cut.insertAt = start > 0 ? at(start - 1).source + at(start - 1).offset : 0;
        return cut;
    } else if (start > 0 && IsEditableUnit(at(start - 1))) {
        // Inserted text continues the character before it.
        if (doubleByte(start - 1)) refuseDoubleByte();
        cut.insertAt = at(start - 1).source + at(start - 1).offset;
    } else if (start < count && (IsEditableUnit(at(start)) || (isMark(at(start).kind) && at(start).flags == 0))) {
        if (doubleByte(start)) refuseDoubleByte();
        cut.insertAt = at(start).source;
    } else {
        refuse("An dieser Stelle kann kein Text eingefügt werden.");
    }

    if (story.propertyValue)
        escapeValue(text, story.unicodeSkip, cut.escaped);
    else
        escape(text, cut.escaped);
    std::uint32_t cursor = cut.insertAt;
    for (std::int64_t i = start; i < end; ++i) {
        const Unit& unit = at(i);
        // Editable units lie in byte order; if not, refuse rather than copy bytes twice.
        if (unit.source < cursor || unit.source + unit.offset > bytes.size())
            refuse("Der Text kann an dieser Stelle nicht ersetzt werden.");
        if (!cut.cuts.empty() && cut.cuts.back().second == unit.source)
            cut.cuts.back().second = unit.source + unit.offset;
        else
            cut.cuts.emplace_back(unit.source, unit.source + unit.offset);
        cursor = unit.source + unit.offset;
    }
    return cut;
}

std::string ApplyRtfEdits(std::string_view bytes, const std::vector<RtfCut>& edits)
{
    if (edits.empty()) return std::string(bytes);
    std::size_t grown = 0;
    for (const RtfCut& edit : edits) grown += edit.escaped.size() + 1;
    const std::vector<std::uint32_t> bareEnds = bareWordEnds(bytes, edits.front().insertAt, edits.back().end());
    std::string out;
    out.reserve(bytes.size() + grown);
    std::int64_t originalEnd = -1;  // the original position the output ends at, if it ends with original bytes
    const auto append = [&](std::string_view piece, std::int64_t pieceEnd) {
        if (piece.empty()) return;
        if (originalEnd >= 0 && ContinuesControlWord(static_cast<unsigned char>(piece.front())) &&
            std::binary_search(bareEnds.begin(), bareEnds.end(), static_cast<std::uint32_t>(originalEnd)))
            out += ' ';  // keeps the control word before from swallowing what follows
        out += piece;
        originalEnd = pieceEnd;
    };
    std::uint32_t cursor = 0;
    for (const RtfCut& edit : edits) {
        append(bytes.substr(cursor, edit.insertAt - cursor), edit.insertAt);
        append(edit.escaped, -1);
        cursor = edit.insertAt;
        for (const auto& [from, to] : edit.cuts) {
            append(bytes.substr(cursor, from - cursor), from);
            cursor = to;
        }
    }
    append(bytes.substr(cursor), static_cast<std::int64_t>(bytes.size()));
    return out;
}

RtfEdit EditRtf(std::string_view bytes, const RtfStory& story, std::int64_t start, std::int64_t end, const std::u16string& text)
{
    const RtfCut cut = PlanRtfEdit(bytes, story, start, end, text);
    if (start == end && text.empty()) return RtfEdit{std::string(bytes), story};
    RtfEdit edit;
    edit.bytes = ApplyRtfEdits(bytes, {cut});
    edit.story = ReadRtf(edit.bytes);

    // Anything but the old story with the span replaced means the
    // replacement landed where it changes other text.
    VerifyReplacement(story.story, edit.story.story, start, end, text);
    if (!RtfGroupsNestAlike(bytes, edit.bytes))
        refuse("Die Ersetzung ließ sich in diesem Dokument nicht genau abbilden; es wird nicht gespeichert.");
    return edit;
}

}  // namespace tarnwick::word
