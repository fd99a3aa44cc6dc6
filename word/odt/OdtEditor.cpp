#include "word/odt/OdtEditor.h"

#include "word/automation/WordErrors.h"
#include "word/odt/OdtStoryReader.h"
#include "word/package/XmlNames.h"
#include "word/story/EditChecks.h"
#include "word/story/Utf16.h"

#include <algorithm>
#include <string>

namespace tarnwick::word {
namespace {

struct Item {
    pugi::xml_node node;
    std::uint32_t first = 0;
    std::uint32_t last = 0;
};

enum class PieceKind { Characters, Spaces, Tab, LineBreak };

struct Piece {
    PieceKind kind = PieceKind::Characters;
    std::u16string characters;
    int count = 0;
};

bool isCharacterData(pugi::xml_node node) { return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata; }

QName nameOf(pugi::xml_node element) { return ScopeAt(element).nameOf(element); }

bool isWhiteSpaceUnit(const Unit& unit) { return unit.value == u' ' || unit.value == u'\t' || unit.value == u'\v'; }

// A space read from character data (not from text:s): after it, further
// white space in character data is dropped.
bool isCharacterDataSpace(const Unit& unit, const std::vector<pugi::xml_node>& nodes)
{
    return unit.value == u' ' && isCharacterData(nodes[unit.source]);
}

std::vector<Piece> encode(std::u16string_view text, bool afterWhiteSpace)
{
    std::vector<Piece> pieces;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u' ') {
            if (afterWhiteSpace || i + 1 == text.size()) {
                if (pieces.empty() || pieces.back().kind != PieceKind::Spaces) pieces.push_back({PieceKind::Spaces, {}, 0});
                ++pieces.back().count;
            } else {
                if (pieces.empty() || pieces.back().kind != PieceKind::Characters) pieces.push_back({});
                pieces.back().characters.push_back(c);
            }
            afterWhiteSpace = true;
        } else if (c == u'\t' || c == u'\n' || c == u'\v') {
            pieces.push_back({c == u'\t' ? PieceKind::Tab : PieceKind::LineBreak, {}, 0});
            afterWhiteSpace = true;
        } else {
            if (pieces.empty() || pieces.back().kind != PieceKind::Characters) pieces.push_back({});
            pieces.back().characters.push_back(c);
            afterWhiteSpace = false;
        }
    }
    return pieces;
}

// Elements the white space after an edit is looked for through: into
// these, past zero-width ones; any other element ends the look.
bool isTransparent(pugi::xml_node element)
{
    const QName name = nameOf(element);
    return name.ns == Ns::Text && (name.local == "span" || name.local == "a" || name.local == "meta");
}

bool isZeroWidth(pugi::xml_node element)
{
    const QName name = nameOf(element);
    if (name.is(Ns::Office, "annotation-end")) return true;
    if (name.ns != Ns::Text) return false;
    const std::string_view l = name.local;
    // A text:change stands for the tracked deletion read in its place.
    return l.substr(0, 8) == "bookmark" || l.substr(0, 14) == "reference-mark" || (l.substr(0, 6) == "change" && l != "change") ||
        l == "soft-page-break" || l.find("-mark") != std::string_view::npos;
}

// True when `node` holds content that ends the look for white space after an edit.
bool endsBlankRun(pugi::xml_node node)
{
    if (isCharacterData(node)) {
        for (const char* c = node.value(); *c; ++c)
            if (!IsOdfWhiteSpace(static_cast<unsigned char>(*c))) return true;
        return false;
    }
    if (node.type() != pugi::node_element || isZeroWidth(node)) return false;
    if (!isTransparent(node)) return true;
    for (const pugi::xml_node child : node.children())
        if (endsBlankRun(child)) return true;
    return false;
}

// The reader refused documents with absurd counts, so this is what it read.
int spaceCount(pugi::xml_node s) { return ParseSpaceCount(ScopeAt(s).attribute(s, Ns::Text, "c").value()); }

class Editor {
public:
    Editor(const StoryText& story, const std::vector<pugi::xml_node>& nodes, pugi::xml_node near)
        : m_story(story), m_nodes(nodes), m_prefix(PrefixFor(near, Ns::Text, "text:"))
    {
    }

    void replaceSpan(std::int64_t start, std::int64_t end, std::u16string_view text)
    {
        const std::vector<Item> items = itemsOf(start, end);
        checkOneWrapper(items);
        const auto units = [this](std::int64_t i) -> const Unit& { return m_story.unit(i); };
        const std::vector<Piece> pieces =
            encode(text, IsParagraphStart(m_story, start) || isWhiteSpaceUnit(units(start - (start > 0))));
        // What the white space after the span read as, and what it will follow.
        const bool keptAfter = end < m_story.size() && isCharacterDataSpace(units(end), m_nodes);
        const bool dropsAfter =
            text.empty() && (IsParagraphStart(m_story, start) || isCharacterDataSpace(units(start - 1), m_nodes));

        removeSilentCharacterData(items);
        const Item& first = items.front();
        if (isCharacterData(first.node)) {
            const std::u16string old = valueOf(first.node);
            setValue(first.node, old.substr(0, first.first));
            placeMarker(insertAfter(first.node, pieces), true);
            if (items.size() == 1) insertCharactersAfter(m_marker, old.substr(first.last + 1));
        } else if (nameOf(first.node).is(Ns::Text, "s")) {
            const int count = spaceCount(first.node);
            const int tail = items.size() == 1 ? count - 1 - static_cast<int>(first.last) : 0;
            if (first.first > 0) {
                setSpaceCount(first.node, static_cast<int>(first.first));
                placeMarker(insertAfter(first.node, pieces), true);
                if (tail > 0) insertSpacesAfter(m_marker, tail);
            } else {
                insertBefore(first.node, pieces);
                placeMarker(first.node, false);
                if (tail > 0)
                    setSpaceCount(first.node, tail);
                else
                    remove(first.node);
            }
        } else {
            insertBefore(first.node, pieces);
            placeMarker(first.node, false);
            remove(first.node);
        }

        for (std::size_t k = 1; k < items.size(); ++k) {
            const Item& item = items[k];
            if (isCharacterData(item.node)) {
                // Dropped white space before its first unit lies in the span too.
                setValue(item.node, valueOf(item.node).substr(item.last + 1));
            } else if (nameOf(item.node).is(Ns::Text, "s") && spaceCount(item.node) > static_cast<int>(item.last) + 1) {
                setSpaceCount(item.node, spaceCount(item.node) - static_cast<int>(item.last) - 1);
            } else {
                remove(item.node);
            }
        }
        finish(keptAfter, dropsAfter);
    }

    // An insertion goes next to the unit before `position`, else before the
    // unit at it.
    void insertAt(std::int64_t position, std::u16string_view text)
    {
        const auto units = [this](std::int64_t i) -> const Unit& { return m_story.unit(i); };
        const bool paragraphStart = IsParagraphStart(m_story, position);
        const std::vector<Piece> pieces = encode(text, paragraphStart || isWhiteSpaceUnit(units(position - (position > 0))));
        const bool keptAfter = position < m_story.size() && isCharacterDataSpace(units(position), m_nodes);

        if (!paragraphStart && IsEditableUnit(units(position - 1))) {
            const Unit& before = units(position - 1);
            splitAt(m_nodes[before.source], before.offset + 1, pieces);
        } else if (position < m_story.size() && IsEditableUnit(units(position))) {
            const Unit& at = units(position);
            splitAt(m_nodes[at.source], at.offset, pieces);
        } else {
            Refuse(kErrorRefusedSpan, "An dieser Stelle gibt es keinen Text, dessen Formatierung der neue Text übernehmen kann.");
        }
        finish(keptAfter, false);
    }

private:
    std::vector<Item> itemsOf(std::int64_t start, std::int64_t end) const
    {
        std::vector<Item> items;
        for (std::int64_t i = start; i < end; ++i) {
            const Unit& unit = m_story.unit(i);
            if (items.empty() || items.back().node != m_nodes[unit.source])
                items.push_back(Item{m_nodes[unit.source], unit.offset, unit.offset});
            else
                items.back().last = unit.offset;
        }
        return items;
    }

    // Styled spans may be crossed (they are what runs are elsewhere); links,
    // meta elements and other wrappers may not.
    static pugi::xml_node containerOf(pugi::xml_node node)
    {
        pugi::xml_node n = node.parent();
        while (n && nameOf(n).is(Ns::Text, "span")) n = n.parent();
        return n;
    }

    static void checkOneWrapper(const std::vector<Item>& items)
    {
        const pugi::xml_node container = containerOf(items.front().node);
        for (const Item& item : items)
            if (containerOf(item.node) != container)
                Refuse(kErrorRefusedSpan,
                       "Der Bereich reicht über die Grenze eines Hyperlinks oder Feldes und wird nicht ersetzt.");
    }

    static pugi::xml_node paragraphOf(pugi::xml_node node)
    {
        for (pugi::xml_node n = node.parent(); n; n = n.parent()) {
            const QName name = nameOf(n);
            if (name.is(Ns::Text, "p") || name.is(Ns::Text, "h")) return n;
        }
        return {};
    }

    // The next node in document order within `paragraph`.
    static pugi::xml_node nextNode(pugi::xml_node node, pugi::xml_node paragraph, bool descend)
    {
        if (descend && node.first_child()) return node.first_child();
        while (node && node != paragraph && !node.next_sibling()) node = node.parent();
        return node && node != paragraph ? node.next_sibling() : pugi::xml_node();
    }

    // Character data between the span's first and last source node that
    // produced no unit (all of it dropped white space) would be read again
    // once the span is gone.
    void removeSilentCharacterData(const std::vector<Item>& items)
    {
        const pugi::xml_node paragraph = paragraphOf(items.front().node);
        const pugi::xml_node last = items.back().node;
        if (last == items.front().node) return;
        std::vector<pugi::xml_node> silent;
        for (pugi::xml_node n = nextNode(items.front().node, paragraph, true); n && n != last; n = nextNode(n, paragraph, true)) {
            const bool isItem = std::any_of(items.begin(), items.end(), [&](const Item& i) { return i.node == n; });
            if (isCharacterData(n) && !isItem) silent.push_back(n);
        }
        for (pugi::xml_node n : silent) n.parent().remove_child(n);
    }

    void splitAt(pugi::xml_node node, std::uint32_t offset, const std::vector<Piece>& pieces)
    {
        if (isCharacterData(node)) {
            const std::u16string old = valueOf(node);
            setValue(node, old.substr(0, offset));
            placeMarker(insertAfter(node, pieces), true);
            insertCharactersAfter(m_marker, old.substr(offset));
        } else if (nameOf(node).is(Ns::Text, "s") && offset > 0) {
            const int count = spaceCount(node);
            setSpaceCount(node, static_cast<int>(offset));
            placeMarker(insertAfter(node, pieces), true);
            if (count > static_cast<int>(offset)) insertSpacesAfter(m_marker, count - static_cast<int>(offset));
        } else if (offset == 0) {
            insertBefore(node, pieces);
            placeMarker(node, false);
        } else {
            placeMarker(insertAfter(node, pieces), true);
        }
    }

    // A comment node marks the end of the inserted content until the white
    // space after it has been looked at.
    void placeMarker(pugi::xml_node at, bool after)
    {
        m_marker = after ? at.parent().insert_child_after(pugi::node_comment, at)
                         : at.parent().insert_child_before(pugi::node_comment, at);
    }

    // The white space right after the inserted content contributed one space
    // (`keptAfter`) or none; it must do so again now that it follows other
    // content (after a replacement, never white space from character data).
    void finish(bool keptAfter, bool dropsAfter)
    {
        const pugi::xml_node paragraph = paragraphOf(m_marker);
        std::vector<pugi::xml_node> run;  // nodes whose leading white space follows the marker
        for (pugi::xml_node n = nextNode(m_marker, paragraph, false); n;) {
            if (isCharacterData(n)) {
                const std::u16string value = valueOf(n);
                std::size_t k = 0;
                while (k < value.size() && IsOdfWhiteSpace(value[k])) ++k;
                if (k > 0) run.push_back(n);
                if (k < value.size()) break;
                n = nextNode(n, paragraph, false);
            } else if (n.type() != pugi::node_element) {
                n = nextNode(n, paragraph, false);
            } else if (isTransparent(n)) {
                n = nextNode(n, paragraph, true);
            } else if (isZeroWidth(n)) {
                n = nextNode(n, paragraph, false);
            } else {
                break;
            }
        }
        if (!run.empty() && keptAfter == dropsAfter) {
            for (const pugi::xml_node n : run) {
                std::u16string value = valueOf(n);
                std::size_t k = 0;
                while (k < value.size() && IsOdfWhiteSpace(value[k])) ++k;
                setValue(n, value.substr(k));
            }
            if (keptAfter) insertSpacesBefore(run.front(), 1);
        }
        m_marker.parent().remove_child(m_marker);
        std::sort(m_touched.begin(), m_touched.end());
        m_touched.erase(std::unique(m_touched.begin(), m_touched.end()), m_touched.end());
        for (pugi::xml_node n : m_touched)
            if (n.parent() && isCharacterData(n) && n.value()[0] == '\0') n.parent().remove_child(n);
    }

    std::u16string valueOf(pugi::xml_node node) const { return Utf8ToUtf16(node.value()); }

    void setValue(pugi::xml_node node, std::u16string_view value)
    {
        node.set_value(Utf16ToUtf8(value).c_str());
        m_touched.push_back(node);
    }

    void setSpaceCount(pugi::xml_node s, int count)
    {
        pugi::xml_attribute c = ScopeAt(s).attribute(s, Ns::Text, "c");
        if (count == 1) {
            if (c) s.remove_attribute(c);
            return;
        }
        if (!c) c = s.append_attribute((m_prefix + "c").c_str());
        c.set_value(count);
    }

    pugi::xml_node makeNode(pugi::xml_node parent, pugi::xml_node where, bool after, const Piece& piece)
    {
        auto element = [&](const char* local) {
            const std::string name = m_prefix + local;
            return after ? parent.insert_child_after(name.c_str(), where) : parent.insert_child_before(name.c_str(), where);
        };
        switch (piece.kind) {
        case PieceKind::Characters: {
            pugi::xml_node node = after ? parent.insert_child_after(pugi::node_pcdata, where)
                                        : parent.insert_child_before(pugi::node_pcdata, where);
            setValue(node, piece.characters);
            return node;
        }
        case PieceKind::Spaces: {
            pugi::xml_node node = element("s");
            setSpaceCount(node, piece.count);
            return node;
        }
        case PieceKind::Tab: return element("tab");
        case PieceKind::LineBreak: return element("line-break");
        }
        return {};
    }

    // Returns the last node inserted, or `anchor` when there was nothing.
    pugi::xml_node insertAfter(pugi::xml_node anchor, const std::vector<Piece>& pieces)
    {
        pugi::xml_node cursor = anchor;
        for (const Piece& piece : pieces) cursor = makeNode(anchor.parent(), cursor, true, piece);
        return cursor;
    }

    void insertBefore(pugi::xml_node anchor, const std::vector<Piece>& pieces)
    {
        for (const Piece& piece : pieces) makeNode(anchor.parent(), anchor, false, piece);
    }

    void insertCharactersAfter(pugi::xml_node anchor, std::u16string_view characters)
    {
        if (!characters.empty())
            makeNode(anchor.parent(), anchor, true, Piece{PieceKind::Characters, std::u16string(characters), 0});
    }

    void insertSpacesAfter(pugi::xml_node anchor, int count)
    {
        makeNode(anchor.parent(), anchor, true, Piece{PieceKind::Spaces, {}, count});
    }

    void insertSpacesBefore(pugi::xml_node anchor, int count)
    {
        makeNode(anchor.parent(), anchor, false, Piece{PieceKind::Spaces, {}, count});
    }

    static void remove(pugi::xml_node node) { node.parent().remove_child(node); }

    const StoryText& m_story;
    const std::vector<pugi::xml_node>& m_nodes;
    std::string m_prefix;
    pugi::xml_node m_marker;
    std::vector<pugi::xml_node> m_touched;  // character data that may have become empty
};

}  // namespace

pugi::xml_node LastNodeAnEditCanChange(pugi::xml_node node)
{
    // The edit's end lies within `node` or before it, so the look ends at
    // the latest in the first later sibling that ends it.
    for (pugi::xml_node next = node.next_sibling(); next; next = next.next_sibling()) {
        node = next;
        if (endsBlankRun(node)) break;
    }
    return node;
}

void ReplaceInOdt(const StoryText& story, const std::vector<pugi::xml_node>& nodes, std::int64_t start, std::int64_t end,
                  std::u16string_view text)
{
    if (start == end && text.empty()) return;
    const std::int64_t near = std::min(start, story.size() - 1);
    Editor editor(story, nodes, nodes[story.unit(near).source]);
    if (start == end)
        editor.insertAt(start, text);
    else
        editor.replaceSpan(start, end, text);
}

}  // namespace tarnwick::word
