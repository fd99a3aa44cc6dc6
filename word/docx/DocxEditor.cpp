#include "word/docx/DocxEditor.h"

#include "word/automation/WordErrors.h"
#include "word/package/XmlNames.h"
#include "word/story/EditChecks.h"
#include "word/story/Utf16.h"

#include <string>

namespace tarnwick::word {
namespace {

// The units of one source element that lie in the span.
struct Item {
    pugi::xml_node node;
    std::uint32_t first = 0;
    std::uint32_t last = 0;
};

bool isTextElement(pugi::xml_node node) { return ScopeAt(node).nameOf(node).is(Ns::W, "t"); }

std::u16string textOf(pugi::xml_node t) { return Utf8ToUtf16(TextOf(t)); }

void setText(pugi::xml_node t, std::u16string_view text)
{
    SetText(t, Utf16ToUtf8(text));
    // Leading or trailing blanks would be dropped without it.
    pugi::xml_attribute space = t.attribute("xml:space");
    if (!space) space = t.append_attribute("xml:space");
    space.set_value("preserve");
}

class Writer {
public:
    explicit Writer(pugi::xml_node near) : m_prefix(PrefixFor(near, Ns::W, "w:")) {}

    // Writes `text` as w:t, w:tab and w:br elements; `place` puts each new
    // element where it belongs and returns it.
    template <typename Place>
    void write(std::u16string_view text, Place place) const
    {
        std::u16string pending;
        auto flush = [&] {
            if (pending.empty()) return;
            setText(place(m_prefix + "t"), pending);
            pending.clear();
        };
        for (const char16_t c : text) {
            if (c == u'\t' || c == u'\n' || c == u'\v') {
                flush();
                place(m_prefix + (c == u'\t' ? "tab" : "br"));
            } else {
                pending.push_back(c);
            }
        }
        flush();
    }

    void insertBefore(pugi::xml_node anchor, std::u16string_view text) const
    {
        pugi::xml_node parent = anchor.parent();
        write(text, [&](const std::string& name) { return parent.insert_child_before(name.c_str(), anchor); });
    }

    // Returns the last element written, or `anchor` when nothing was.
    pugi::xml_node insertAfter(pugi::xml_node anchor, std::u16string_view text) const
    {
        pugi::xml_node parent = anchor.parent();
        pugi::xml_node cursor = anchor;
        write(text, [&](const std::string& name) { return cursor = parent.insert_child_after(name.c_str(), cursor); });
        return cursor;
    }

    // Gives the existing w:t `t` the content `text`: its first stretch of
    // plain text stays in `t`, the rest follows it; `t` goes if it ends up empty.
    void rewrite(pugi::xml_node t, std::u16string_view text) const
    {
        std::size_t head = 0;
        while (head < text.size() && text[head] != u'\t' && text[head] != u'\n' && text[head] != u'\v') ++head;
        insertAfter(t, text.substr(head));
        if (head == 0)
            t.parent().remove_child(t);
        else
            setText(t, text.substr(0, head));
    }

private:
    std::string m_prefix;
};

std::vector<Item> itemsOf(const StoryText& story, const std::vector<pugi::xml_node>& nodes, std::int64_t start, std::int64_t end)
{
    std::vector<Item> items;
    std::uint32_t lastSource = 0;
    for (std::int64_t i = start; i < end; ++i) {
        const Unit& unit = story.unit(i);
        if (items.empty() || unit.source != lastSource) {
            items.push_back(Item{nodes[unit.source], unit.offset, unit.offset});
            lastSource = unit.source;
        } else {
            items.back().last = unit.offset;
        }
    }
    return items;
}

// Text may only move between runs of the same parent: a span reaching into
// or out of a hyperlink, content control or tracked insertion would move
// text across that boundary.
void checkOneWrapper(const std::vector<Item>& items)
{
    const pugi::xml_node container = items.front().node.parent().parent();
    for (const Item& item : items) {
        if (item.node.parent().parent() != container)
            Refuse(kErrorRefusedSpan,
                   "Der Bereich reicht über die Grenze eines Hyperlinks, Steuerelements oder einer "
                   "Änderungsmarkierung und wird nicht ersetzt.");
    }
    // Only one branch of alternate content is read; editing it would leave
    // the other branch with the old text. A text box is a story of its own,
    // whose other copy the format edits alike (DocxFormat).
    for (pugi::xml_node n = container; n && n.type() == pugi::node_element; n = n.parent()) {
        const QName name = ScopeAt(n).nameOf(n);
        if (name.is(Ns::W, "txbxContent")) break;
        if (name.is(Ns::MC, "AlternateContent"))
            Refuse(kErrorRefusedSpan, "Der Text steht in einem Inhalt mit Alternativen und wird nicht ersetzt.");
    }
}

void replaceSpan(const StoryText& story, const std::vector<pugi::xml_node>& nodes, std::int64_t start, std::int64_t end,
                 std::u16string_view text)
{
    const std::vector<Item> items = itemsOf(story, nodes, start, end);
    checkOneWrapper(items);
    const Writer writer(items.front().node);

    const Item& first = items.front();
    if (isTextElement(first.node)) {
        const std::u16string old = textOf(first.node);
        std::u16string content = old.substr(0, first.first);
        content += text;
        if (items.size() == 1) content += old.substr(first.last + 1);
        writer.rewrite(first.node, content);
    } else {
        writer.insertBefore(first.node, text);
        first.node.parent().remove_child(first.node);
    }

    for (std::size_t k = 1; k < items.size(); ++k) {
        const Item& item = items[k];
        if (!isTextElement(item.node)) {
            item.node.parent().remove_child(item.node);
            continue;
        }
        std::u16string rest = textOf(item.node);
        rest.erase(item.first, item.last - item.first + 1);
        if (rest.empty())
            item.node.parent().remove_child(item.node);
        else
            setText(item.node, rest);
    }
}

// An insertion at `position` goes into the run of the unit before it, or
// else into the run of the unit at it.
void insertAt(const StoryText& story, const std::vector<pugi::xml_node>& nodes, std::int64_t position, std::u16string_view text)
{
    if (!IsParagraphStart(story, position)) {
        const Unit& before = story.unit(position - 1);
        if (IsEditableUnit(before)) {
            const pugi::xml_node node = nodes[before.source];
            const Writer writer(node);
            if (isTextElement(node)) {
                std::u16string content = textOf(node);
                content.insert(before.offset + 1, text);
                writer.rewrite(node, content);
            } else {
                writer.insertAfter(node, text);
            }
            return;
        }
    }
    if (position < story.size()) {
        const Unit& at = story.unit(position);
        if (IsEditableUnit(at)) {
            const pugi::xml_node node = nodes[at.source];
            const Writer writer(node);
            if (isTextElement(node)) {
                std::u16string content = textOf(node);
                content.insert(at.offset, text);
                writer.rewrite(node, content);
            } else {
                writer.insertBefore(node, text);
            }
            return;
        }
    }
    Refuse(kErrorRefusedSpan, "An dieser Stelle gibt es keinen Text, dessen Formatierung der neue Text übernehmen kann.");
}

}  // namespace

void ReplaceInDocx(const StoryText& story, const std::vector<pugi::xml_node>& nodes, std::int64_t start, std::int64_t end,
                   std::u16string_view text)
{
    if (start == end) {
        if (!text.empty()) insertAt(story, nodes, start, text);
        return;
    }
    replaceSpan(story, nodes, start, end, text);
}

}  // namespace tarnwick::word
