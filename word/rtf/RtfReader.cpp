#include "word/rtf/RtfReader.h"

#include <algorithm>
#include <limits>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "word/automation/WordErrors.h"
#include "word/rtf/RtfCodePage.h"
#include "word/rtf/RtfKeywords.h"
#include "word/rtf/RtfTokenizer.h"
#include "word/story/FieldCode.h"

namespace tarnwick::word {
namespace {

enum class Destination : std::uint8_t { Main, Skip, FontTable, PropertyName };

// The shape property whose value is the shape's text; other properties
// (names, descriptions, fonts) are not text of the document.
constexpr std::string_view kShapeTextProperty = "gtextUNICODE";

// The reading state a group inherits from its parent and restores at its end.
struct Group {
    Destination destination = Destination::Main;
    std::uint8_t context = 0;  // kFieldCode / kInFieldResult for everything inside
    bool hidden = false;
    bool deleted = false;
    std::int64_t omittedFrom = -1;  // where this group left the story it was in
    std::uint32_t omittedStory = 0;  // the story it left
    std::uint32_t story = 0;  // the story its text belongs to (0: the main story)
    int unicodeSkip = 1;
    int font = -1;  // -1: the default font
    std::uint32_t begin = 0;
    std::int64_t anchorUnit = -1;  // the unit standing for this group's object
    std::uint32_t anchorStory = 0;  // the story that unit lies in
};

struct Font {
    int charset = -1;
    int codePage = -1;  // \cpgN
};

struct OpenField {
    std::size_t depth;  // the stack size while its \field group is open
    bool separated = false;
    std::u16string code;
};

class Reader {
public:
    // With `allStories`, the other stories are read too, each as a story of
    // its own; without, they are only left out of the main story.
    Reader(std::string_view bytes, bool allStories) : m_bytes(bytes), m_tokens(bytes), m_allStories(allStories)
    {
        m_result.kinds.push_back(StoryKind::MainText);
        m_result.stories.emplace_back();
    }

    RtfStories read();

private:
    Group& top() { return m_stack.back(); }
    void openGroup(const RtfToken& token);
    void closeGroup(const RtfToken& token);
    // `star`: the word follows \*, so an unknown destination it names is skipped.
    void readWord(const RtfToken& token, bool star);
    void readFontTableWord(const RtfToken& token, bool star);
    // \sn and \sv in a shape: true when the word was one of them.
    bool readShapePropertyWord(const RtfToken& token);
    void readSymbol(const RtfToken& token);
    void readByte(const RtfToken& token, bool hex);
    void leaveMainText(Destination destination, std::uint32_t from);
    void startStory(StoryKind kind, std::uint32_t from);
    RtfStory& current() { return m_result.stories[top().story]; }
    void emit(UnitKind kind, char16_t value, std::uint32_t begin, std::uint32_t end, std::uint8_t flags = 0);
    void flushLeadByte();
    const RtfCodePage& codePage();
    bool isDoubleByteFont(int font) const;

    std::string_view m_bytes;
    RtfTokenizer m_tokens;
    const bool m_allStories;
    RtfStories m_result;
    std::vector<Group> m_stack;
    std::vector<OpenField> m_fields;
    std::map<int, Font> m_fonts;
    int m_fontEntry = -1;  // the font table entry being read
    std::string m_propertyName;  // of the last \sn group
    std::size_t m_propertyDepth = 0;  // the stack size of the \sp group that named it
    std::map<std::size_t, std::uint32_t> m_storyEnds;  // where the group that began a story ends
    int m_ansiCodePage = 1252;
    int m_defaultFont = -1;
    const RtfCodePage* m_page = nullptr;
    bool m_starPending = false;  // \* seen
    std::uint32_t m_starBegin = 0;
    int m_fallbackLeft = 0;  // fallback characters of the last \uN still to skip
    bool m_hasLead = false;  // first byte of a double-byte character
    unsigned char m_lead = 0;
    std::uint32_t m_leadBegin = 0;
    std::uint32_t m_leadEnd = 0;
};

RtfStories Reader::read()
{
    for (RtfToken token = m_tokens.next(); token.kind != RtfTokenKind::End; token = m_tokens.next()) {
        if (m_fallbackLeft > 0 && token.kind != RtfTokenKind::GroupOpen && token.kind != RtfTokenKind::GroupClose) {
            if (token.kind == RtfTokenKind::Ignored) continue;
            // The fallback belongs to the \uN unit: an edit removes them together.
            --m_fallbackLeft;
            Unit& unit = current().story.units().back();
            unit.offset = token.end - unit.source;
            continue;
        }
        m_fallbackLeft = 0;
        if (token.kind == RtfTokenKind::Ignored) continue;
        if (token.kind != RtfTokenKind::Hex && token.kind != RtfTokenKind::Text) flushLeadByte();
        const bool star = std::exchange(m_starPending, false);
        switch (token.kind) {
        case RtfTokenKind::GroupOpen: openGroup(token); break;
        case RtfTokenKind::GroupClose: closeGroup(token); break;
        case RtfTokenKind::Word: readWord(token, star); break;
        case RtfTokenKind::Symbol: readSymbol(token); break;
        case RtfTokenKind::Hex: readByte(token, true); break;
        case RtfTokenKind::Text: readByte(token, false); break;
        case RtfTokenKind::Binary:
        case RtfTokenKind::Ignored:
        case RtfTokenKind::End: break;
        }
        if (m_stack.empty()) break;  // the document group has ended; what follows is not read
    }
    flushLeadByte();
    const auto size = static_cast<std::uint32_t>(m_bytes.size());
    RtfToken end;
    end.kind = RtfTokenKind::GroupClose;
    end.begin = end.end = size;
    while (!m_stack.empty()) closeGroup(end);

    // A story always ends with a paragraph mark; in an empty story it stands
    // where the story's group ends, so that text inserted there lands in it.
    for (std::size_t i = 0; i < m_result.stories.size(); ++i) {
        RtfStory& story = m_result.stories[i];
        auto& units = story.story.units();
        if (units.empty() || units.back().kind != UnitKind::ParagraphEnd) {
            const auto groupEnd = m_storyEnds.find(i);
            const std::uint32_t at = !units.empty() ? units.back().source + units.back().offset
                : groupEnd != m_storyEnds.end()     ? groupEnd->second
                                                    : size;
            units.push_back(Unit{u'\r', UnitKind::ParagraphEnd, 0, at, 0});
            story.doubleByte.push_back(false);
        }
        story.story.index();
        std::sort(story.omittedGroups.begin(), story.omittedGroups.end());
    }
    return std::move(m_result);
}

void Reader::openGroup(const RtfToken& token)
{
    Group group = m_stack.empty() ? Group{} : top();
    group.begin = token.begin;
    group.omittedFrom = -1;
    group.anchorUnit = -1;
    m_stack.push_back(group);
}

void Reader::closeGroup(const RtfToken& token)
{
    if (m_stack.size() == m_propertyDepth) m_propertyName.clear();  // the \sp group ends
    const Group& group = top();
    if (m_stack.size() >= 2 && group.story != m_stack[m_stack.size() - 2].story) m_storyEnds.emplace(group.story, token.begin);
    if (group.omittedFrom >= 0)
        m_result.stories[group.omittedStory].omittedGroups.emplace_back(static_cast<std::uint32_t>(group.omittedFrom), token.end);
    if (group.anchorUnit >= 0) {
        // The object's unit covers its whole group.
        Unit& anchor = m_result.stories[group.anchorStory].story.units()[static_cast<std::size_t>(group.anchorUnit)];
        anchor.offset = token.end - anchor.source;
    }
    m_stack.pop_back();
    m_page = nullptr;  // the font may have changed back
    while (!m_fields.empty() && m_fields.back().depth > m_stack.size()) {
        m_fields.pop_back();
        emit(UnitKind::FieldEnd, 0x15, token.begin, token.begin, kFieldCode);
    }
}

void Reader::leaveMainText(Destination destination, std::uint32_t from)
{
    Group& group = top();
    if (group.destination == Destination::Main && group.context == 0 && group.omittedFrom < 0) {
        group.omittedFrom = from;
        group.omittedStory = group.story;
    }
    group.destination = destination;
}

void Reader::startStory(StoryKind kind, std::uint32_t from)
{
    leaveMainText(Destination::Main, from);
    Group& group = top();
    group.story = static_cast<std::uint32_t>(m_result.stories.size());
    group.context = 0;
    group.hidden = false;
    group.deleted = false;
    m_result.kinds.push_back(kind);
    m_result.stories.emplace_back();
}

void Reader::readWord(const RtfToken& token, bool star)
{
    const RtfKeyword* keyword = FindRtfKeyword(token.word);
    if (m_allStories && top().destination == Destination::Skip && readShapePropertyWord(token)) return;
    Group& group = top();
    const bool story = keyword && keyword->action == RtfAction::Story;
    if (group.destination == Destination::PropertyName) return;
    // A shape's text lies inside the shape's skipped group.
    if (group.destination == Destination::Skip &&
        !(story && m_allStories && keyword->value == static_cast<char16_t>(StoryKind::TextBox)))
        return;
    if (group.destination == Destination::FontTable) {
        readFontTableWord(token, star);
        return;
    }
    const int parameter = token.parameter;
    const bool on = !token.hasParameter || parameter != 0;
    const std::uint32_t from = star ? m_starBegin : token.begin;  // where a destination group leaves main text
    if (!keyword) {
        if (star) leaveMainText(Destination::Skip, from);
        return;
    }
    switch (keyword->action) {
    case RtfAction::Character: emit(keyword->kind, keyword->value, token.begin, token.end); break;
    case RtfAction::Skip: leaveMainText(Destination::Skip, from); break;
    case RtfAction::Story:
        if (m_allStories)
            startStory(static_cast<StoryKind>(keyword->value), from);
        else
            leaveMainText(Destination::Skip, from);
        break;
    case RtfAction::Endnote:
        if (group.story != 0 && m_result.kinds[group.story] == StoryKind::Footnote)
            m_result.kinds[group.story] = StoryKind::Endnote;
        break;
    case RtfAction::Anchor: {
        emit(UnitKind::Anchor, keyword->value, token.begin, token.end);
        const std::uint32_t in = top().story;
        leaveMainText(Destination::Skip, from);
        top().anchorUnit = m_result.stories[in].story.size() - 1;
        top().anchorStory = in;
        break;
    }
    case RtfAction::FontTable:
        leaveMainText(Destination::FontTable, from);
        m_fontEntry = -1;
        break;
    case RtfAction::Field:
        emit(UnitKind::FieldBegin, 0x13, token.begin, token.begin, kFieldCode);
        m_fields.push_back(OpenField{m_stack.size(), false, {}});
        break;
    case RtfAction::FieldCode:
        if (group.context == 0 && group.omittedFrom < 0) {
            group.omittedFrom = from;
            group.omittedStory = group.story;
        }
        group.context |= kFieldCode;
        break;
    case RtfAction::FieldResult:
        if (!m_fields.empty() && !m_fields.back().separated && m_fields.back().depth < m_stack.size()) {
            m_fields.back().separated = true;
            emit(UnitKind::FieldSeparator, 0x14, token.begin, token.begin, kFieldCode);
        }
        // A hyperlink's result is its display text, edited like any text.
        if (m_fields.empty() || !IsHyperlinkCode(m_fields.back().code)) group.context |= kInFieldResult;
        break;
    case RtfAction::Unicode:
        emit(UnitKind::Text, static_cast<char16_t>(static_cast<std::uint16_t>(parameter)), token.begin, token.end);
        m_fallbackLeft = group.unicodeSkip;
        break;
    case RtfAction::UnicodeSkip: group.unicodeSkip = token.hasParameter ? std::clamp(parameter, 0, 255) : 1; break;
    case RtfAction::AnsiCodePage:
        m_ansiCodePage = keyword->value ? keyword->value : parameter;
        m_page = nullptr;
        break;
    case RtfAction::DefaultFont:
        m_defaultFont = parameter;
        m_page = nullptr;
        break;
    case RtfAction::Font:
        group.font = parameter;
        m_page = nullptr;
        break;
    case RtfAction::FontCharset:
    case RtfAction::FontCodePage: break;  // only meaningful in the font table
    case RtfAction::Hidden: group.hidden = on; break;
    case RtfAction::Deleted: group.deleted = on; break;
    case RtfAction::MainText: break;
    case RtfAction::Plain:
        group.hidden = false;
        group.deleted = false;
        group.font = -1;
        m_page = nullptr;
        break;
    }
}

bool Reader::readShapePropertyWord(const RtfToken& token)
{
    if (token.word == "sn") {
        top().destination = Destination::PropertyName;
        m_propertyName.clear();
        m_propertyDepth = m_stack.size() - 1;
        return true;
    }
    if (token.word != "sv") return false;
    // Only the value that follows its name within the same \sp group.
    if (m_propertyName == kShapeTextProperty && m_propertyDepth == m_stack.size() - 1) {
        const int skip = top().unicodeSkip;
        startStory(StoryKind::TextBox, token.begin);
        current().propertyValue = true;
        current().unicodeSkip = skip;
    }
    m_propertyName.clear();
    return true;
}

void Reader::readFontTableWord(const RtfToken& token, bool star)
{
    const RtfKeyword* keyword = FindRtfKeyword(token.word);
    if (!keyword) {
        if (star) top().destination = Destination::Skip;
        return;
    }
    switch (keyword->action) {
    case RtfAction::Font: m_fontEntry = token.parameter; break;
    case RtfAction::FontCharset:
        m_fonts[m_fontEntry].charset = token.parameter;
        m_page = nullptr;
        break;
    case RtfAction::FontCodePage:
        m_fonts[m_fontEntry].codePage = token.parameter;
        m_page = nullptr;
        break;
    case RtfAction::Skip:
    case RtfAction::Anchor:
    case RtfAction::FontTable:
    case RtfAction::Field:
    case RtfAction::FieldCode:
    case RtfAction::FieldResult: top().destination = Destination::Skip; break;
    default: break;
    }
}

void Reader::readSymbol(const RtfToken& token)
{
    if (token.byte == '*') {
        m_starPending = true;
        m_starBegin = token.begin;
        return;
    }
    if (top().destination != Destination::Main) return;
    switch (token.byte) {
    case '~': emit(UnitKind::Text, 0x00A0, token.begin, token.end); break;
    case '-': emit(UnitKind::Text, 0x1F, token.begin, token.end); break;
    case '_': emit(UnitKind::Text, 0x1E, token.begin, token.end); break;
    case '\\':
    case '{':
    case '}': emit(UnitKind::Text, token.byte, token.begin, token.end); break;
    case '\r':
    case '\n': emit(UnitKind::ParagraphEnd, u'\r', token.begin, token.end); break;
    default: break;  // \| \: and unknown symbols carry no text
    }
}

void Reader::readByte(const RtfToken& token, bool hex)
{
    if (top().destination == Destination::PropertyName && !hex) m_propertyName.push_back(static_cast<char>(token.byte));
    if (top().destination != Destination::Main) return;
    const unsigned char byte = token.byte;
    if (!hex && byte < 0x20) {
        flushLeadByte();
        if (byte == '\t') emit(UnitKind::Tab, u'\t', token.begin, token.end);
        return;
    }
    const RtfCodePage& page = codePage();
    if (m_hasLead) {
        m_hasLead = false;
        emit(UnitKind::Text, page.pair(m_lead, byte), m_leadBegin, token.end);
    } else if (page.isLeadByte(byte)) {
        m_hasLead = true;
        m_lead = byte;
        m_leadBegin = token.begin;
        m_leadEnd = token.end;
    } else {
        emit(UnitKind::Text, page.single(byte), token.begin, token.end);
    }
}

void Reader::flushLeadByte()
{
    if (!m_hasLead) return;
    // A lead byte without its second byte stands for an unknown character.
    m_hasLead = false;
    emit(UnitKind::Text, u'?', m_leadBegin, m_leadEnd);
}

void Reader::emit(UnitKind kind, char16_t value, std::uint32_t begin, std::uint32_t end, std::uint8_t flags)
{
    bool doubleByte = false;
    if (!m_stack.empty()) {
        const Group& group = top();
        flags |= group.context;
        if (group.hidden) flags |= kHidden;
        if (group.deleted) flags |= kDeleted;
        // The font of the text decides, not the associated fonts a writer names for other scripts.
        doubleByte = codePage().isDoubleByte() || isDoubleByteFont(group.font);
    }
    if ((flags & kFieldCode) && kind == UnitKind::Text && !m_fields.empty() && !m_fields.back().separated)
        m_fields.back().code.push_back(value);
    RtfStory& story = m_result.stories[m_stack.empty() ? 0 : top().story];
    story.story.units().push_back(Unit{value, kind, flags, begin, end - begin});
    story.doubleByte.push_back(doubleByte);
}

bool Reader::isDoubleByteFont(int font) const
{
    const auto it = m_fonts.find(font < 0 ? m_defaultFont : font);
    return it != m_fonts.end() && RtfCodePage::isDoubleByteCharset(it->second.charset);
}

const RtfCodePage& Reader::codePage()
{
    if (m_page) return *m_page;
    int number = m_ansiCodePage;
    const int font = top().font < 0 ? m_defaultFont : top().font;
    if (const auto it = m_fonts.find(font); it != m_fonts.end()) {
        if (it->second.codePage > 0)
            number = it->second.codePage;
        else if (const int fromCharset = RtfCodePage::forCharset(it->second.charset); fromCharset > 0)
            number = fromCharset;
    }
    m_page = &RtfCodePage::get(number);
    return *m_page;
}

}  // namespace

namespace {

RtfStories readChecked(std::string_view bytes, bool allStories)
{
    if (bytes.size() >= std::numeric_limits<std::uint32_t>::max()) Refuse(kErrorTooLarge, "Die Datei ist zu groß.");
    if (bytes.substr(0, 5) != "{\\rtf") Refuse(kErrorDamaged, "Die Datei ist kein RTF-Dokument.");
    return Reader(bytes, allStories).read();
}

}  // namespace

RtfStory ReadRtf(std::string_view bytes) { return std::move(readChecked(bytes, false).stories.front()); }

RtfStories ReadRtfStories(std::string_view bytes) { return readChecked(bytes, true); }

}  // namespace tarnwick::word
