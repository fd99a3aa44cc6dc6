#include "word/odt/OdtStoryReader.h"

#include "word/automation/WordErrors.h"
#include "word/package/XmlNames.h"
#include "word/story/Utf16.h"

#include <charconv>
#include <map>
#include <set>
#include <string>
#include <string_view>

namespace tarnwick::word {
namespace {

bool endsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Text elements whose content is a computed value.
bool isField(std::string_view local)
{
    static const std::set<std::string_view> kFields = {
        "date",
        "time",
        "page-number",
        "page-continuation",
        "page-count",
        "sender-firstname",
        "sender-lastname",
        "sender-initials",
        "sender-title",
        "sender-position",
        "sender-email",
        "sender-phone-private",
        "sender-fax",
        "sender-company",
        "sender-phone-work",
        "sender-street",
        "sender-city",
        "sender-postal-code",
        "sender-country",
        "sender-state-or-province",
        "author-name",
        "author-initials",
        "chapter",
        "file-name",
        "template-name",
        "sheet-name",
        "variable-set",
        "variable-get",
        "variable-input",
        "user-field-get",
        "user-field-input",
        "sequence",
        "expression",
        "text-input",
        "initial-creator",
        "creation-date",
        "creation-time",
        "description",
        "user-defined",
        "print-time",
        "print-date",
        "printed-by",
        "title",
        "subject",
        "keywords",
        "editing-cycles",
        "editing-duration",
        "modification-time",
        "modification-date",
        "creator",
        "page-variable-set",
        "page-variable-get",
        "placeholder",
        "conditional-text",
        "hidden-text",
        "reference-ref",
        "bookmark-ref",
        "sequence-ref",
        "note-ref",
        "database-display",
        "database-next",
        "database-row-select",
        "database-row-number",
        "database-name",
        "paragraph-count",
        "word-count",
        "character-count",
        "table-count",
        "image-count",
        "object-count",
        "script",
        "execute-macro",
        "dde-connection",
        "measure",
        "table-formula",
        "bibliography-mark",
    };
    return kFields.count(local) != 0;
}

// Generated indexes: their bodies are rebuilt from the document.
bool isIndex(std::string_view local)
{
    return local == "table-of-content" || local == "illustration-index" || local == "table-index" || local == "object-index" ||
        local == "user-index" || local == "alphabetical-index" || local == "bibliography";
}

class Reader {
public:
    Reader(StoryText& story, std::vector<pugi::xml_node>& nodes) : m_units(story.units()), m_nodes(nodes) {}

    void readDocument(const pugi::xml_document& content)
    {
        const pugi::xml_node root = content.document_element();
        ScopeEntry rootScope(m_scope, root);
        if (!m_scope.nameOf(root).is(Ns::Office, "document-content") && !m_scope.nameOf(root).is(Ns::Office, "document"))
            Refuse(kErrorDamaged, "content.xml ist kein OpenDocument-Inhalt.");
        const pugi::xml_node body = child(root, Ns::Office, "body");
        if (!body) Refuse(kErrorDamaged, "Das Dokument hat keinen Textkörper.");
        ScopeEntry bodyScope(m_scope, body);
        const pugi::xml_node text = child(body, Ns::Office, "text");
        if (!text) Refuse(kErrorDamaged, "Das Dokument ist kein Textdokument.");
        ScopeEntry textScope(m_scope, text);
        walkChildren(text);
        if (m_units.empty()) emit(UnitKind::ParagraphEnd, u'\r', text, 0);
    }

    // Reads the content of `container` (a note body, an annotation, a text
    // box, a header or footer) as a story of its own.
    void readContainer(pugi::xml_node container)
    {
        EnterAncestors(m_scope, container);
        ScopeEntry entry(m_scope, container);
        walkChildren(container);
        if (m_units.empty()) emit(UnitKind::ParagraphEnd, u'\r', container, 0);
    }

    // Reads `p` alone, as if it lay outside any field or index; false when
    // it is no paragraph or heading.
    bool readParagraph(pugi::xml_node p)
    {
        // The reader is used once: the declarations stay entered.
        EnterAncestors(m_scope, p);
        ScopeEntry entry(m_scope, p);
        const QName name = m_scope.nameOf(p);
        if (!name.is(Ns::Text, "p") && !name.is(Ns::Text, "h")) return false;
        paragraph(p);
        return true;
    }

    // Reads the children of `parent` (a paragraph or an element in one)
    // after `before` and up to `after` (null: from the first, to the last),
    // as if the paragraph's white space before them read `blankBefore`;
    // false when `after` does not follow `before`.
    bool readPiece(pugi::xml_node parent, pugi::xml_node before, pugi::xml_node after, bool blankBefore)
    {
        EnterAncestors(m_scope, parent);
        ScopeEntry entry(m_scope, parent);
        m_inParagraph = true;
        m_afterWhiteSpace = blankBefore;
        for (pugi::xml_node n = before ? before.next_sibling() : parent.first_child(); n != after; n = n.next_sibling()) {
            if (!n) return false;
            if (n.type() == pugi::node_element)
                walkElement(n);
            else if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
                characters(n);
        }
        return true;
    }

    bool afterWhiteSpace() const { return m_afterWhiteSpace; }

private:
    pugi::xml_node child(pugi::xml_node parent, Ns ns, std::string_view local)
    {
        for (const pugi::xml_node c : parent.children()) {
            if (c.type() != pugi::node_element) continue;
            ScopeEntry entry(m_scope, c);
            if (m_scope.nameOf(c).is(ns, local)) return c;
        }
        return {};
    }

    std::uint32_t nodeId(pugi::xml_node node)
    {
        if (m_nodes.empty() || m_nodes.back() != node) m_nodes.push_back(node);
        return static_cast<std::uint32_t>(m_nodes.size() - 1);
    }

    void emit(UnitKind kind, char16_t value, pugi::xml_node source, std::uint32_t offset)
    {
        Unit unit;
        unit.kind = kind;
        unit.value = value;
        unit.flags = static_cast<std::uint8_t>((m_result > 0 ? kInFieldResult : 0) | (m_deleted > 0 ? kDeleted : 0));
        unit.source = nodeId(source);
        unit.offset = offset;
        m_units.push_back(unit);
        m_afterWhiteSpace = false;
    }

    void walkChildren(pugi::xml_node parent)
    {
        for (const pugi::xml_node c : parent.children()) {
            if (c.type() == pugi::node_element)
                walkElement(c);
            else if ((c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) && m_inParagraph)
                characters(c);
        }
    }

    void characters(pugi::xml_node node)
    {
        const std::u16string text = Utf8ToUtf16(node.value());
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char16_t c = text[i];
            if (!IsOdfWhiteSpace(c)) {
                emit(UnitKind::Text, c, node, static_cast<std::uint32_t>(i));
            } else if (!m_afterWhiteSpace) {
                emit(UnitKind::Text, u' ', node, static_cast<std::uint32_t>(i));
                m_afterWhiteSpace = true;
            }
        }
    }

    void walkElement(pugi::xml_node node)
    {
        ScopeEntry entry(m_scope, node);
        const QName name = m_scope.nameOf(node);
        const std::string_view local = name.local;
        switch (name.ns) {
        case Ns::Text: return textElement(node, local);
        case Ns::Table:
            if (local == "table-row") return row(node);
            if (local == "table-cell") return cell(node);
            if (local == "table" || local == "table-rows" || local == "table-header-rows" || local == "table-row-group")
                return walkChildren(node);
            return;  // columns, covered cells, titles, settings
        case Ns::Office:
            if (local == "annotation") return anchor(node, 0x05);
            if (local == "annotation-end" || local == "forms") return;
            return walkChildren(node);
        case Ns::Draw:
            // A hyperlink around a frame is transparent; any other drawing
            // object is one anchor, inline when anchored as a character.
            if (local == "a") return walkChildren(node);
            return anchor(node, asCharacter(node) ? 0x01 : 0x08);
        default:
            // Content of elements not understood (e.g. newer content
            // controls) still belongs to the paragraph.
            return walkChildren(node);
        }
    }

    void textElement(pugi::xml_node node, std::string_view local)
    {
        if (local == "p" || local == "h") return paragraph(node);
        if (local == "s") return spaces(node);
        if (local == "tab") return emitIn(UnitKind::Tab, u'\t', node);
        if (local == "line-break") return emitIn(UnitKind::LineBreak, u'\v', node);
        if (local == "note") return anchor(node, 0x02);
        if (local == "change") return trackedDeletion(node);
        if (local == "number" || local == "tracked-changes" || local == "ruby-text" || local == "soft-page-break" ||
            endsWith(local, "-decls") || endsWith(local, "-source"))
            return;
        if (isField(local) || isIndex(local)) {
            ++m_result;
            walkChildren(node);
            --m_result;
            return;
        }
        // span, a, meta, list, list-item, section, ruby-base, change marks,
        // bookmarks and the like.
        walkChildren(node);
    }

    // The text a tracked deletion removed, kept outside the body, is read
    // where its marker stands, flagged deleted, as the other formats keep it
    // in their text. Paragraphs after its first one were joined by it: their
    // marks are deleted units too.
    void trackedDeletion(pugi::xml_node change)
    {
        if (!m_inParagraph) return;
        const pugi::xml_node deletion = deletionOf(m_scope.attribute(change, Ns::Text, "change-id").value(), change);
        if (!deletion) return;
        ++m_deleted;
        NamespaceScope outer = m_scope;
        m_scope = ScopeAt(deletion);
        bool first = true;
        for (const pugi::xml_node c : deletion.children()) {
            if (c.type() != pugi::node_element) continue;
            ScopeEntry entry(m_scope, c);
            const QName name = m_scope.nameOf(c);
            if (!name.is(Ns::Text, "p") && !name.is(Ns::Text, "h")) {
                if (name.ns != Ns::Office) walkElement(c);
                continue;
            }
            if (!first) {
                emit(UnitKind::ParagraphEnd, u'\r', c, 0);
                m_afterWhiteSpace = true;
            }
            first = false;
            walkChildren(c);
        }
        m_scope = std::move(outer);
        --m_deleted;
    }

    // The text:deletion of the changed region `id`; null when there is none.
    pugi::xml_node deletionOf(const std::string& id, pugi::xml_node anywhere)
    {
        if (!m_deletionsRead) {
            m_deletionsRead = true;
            findDeletions(anywhere.root());
        }
        const auto it = m_deletions.find(id);
        return it == m_deletions.end() ? pugi::xml_node() : it->second;
    }

    void findDeletions(pugi::xml_node node)
    {
        NamespaceScope scope;
        const auto walk = [&](const auto& self, pugi::xml_node parent) -> void {
            for (const pugi::xml_node c : parent.children()) {
                if (c.type() != pugi::node_element) continue;
                ScopeEntry entry(scope, c);
                const QName name = scope.nameOf(c);
                if (name.is(Ns::Text, "changed-region")) {
                    for (const pugi::xml_node d : c.children()) {
                        if (d.type() != pugi::node_element) continue;
                        ScopeEntry inner(scope, d);
                        if (scope.nameOf(d).is(Ns::Text, "deletion"))
                            m_deletions.emplace(scope.attribute(c, Ns::Text, "id").value(), d);
                    }
                } else if (name.ns == Ns::Office || name.is(Ns::Text, "tracked-changes")) {
                    self(self, c);
                }
            }
        };
        walk(walk, node);
    }

    void emitIn(UnitKind kind, char16_t value, pugi::xml_node node)
    {
        if (m_inParagraph) emit(kind, value, node, 0);
    }

    void anchor(pugi::xml_node node, char16_t value) { emitIn(UnitKind::Anchor, value, node); }

    bool asCharacter(pugi::xml_node node) const
    {
        return std::string_view(m_scope.attribute(node, Ns::Text, "anchor-type").value()) == "as-char";
    }

    void spaces(pugi::xml_node node)
    {
        if (!m_inParagraph) return;
        const int count = ParseSpaceCount(m_scope.attribute(node, Ns::Text, "c").value());
        // Each element may say 65,536; many of them would let a small file
        // expand into gigabytes of spaces.
        m_expandedSpaces += count;
        if (count < 0 || m_expandedSpaces > kMaxExpandedSpaces)
            Refuse(kErrorDamaged, "Das Dokument enthält eine unsinnige Leerzeichenzahl.");
        for (int i = 0; i < count; ++i) emit(UnitKind::Text, u' ', node, static_cast<std::uint32_t>(i));
    }

    void paragraph(pugi::xml_node p)
    {
        // Paragraphs inside paragraphs belong to notes or frames, which are
        // not walked; should one occur anyway, it is read as its own paragraph.
        const bool outer = m_inParagraph;
        m_inParagraph = true;
        m_afterWhiteSpace = true;  // leading white space is dropped
        walkChildren(p);
        emit(UnitKind::ParagraphEnd, u'\r', p, 0);
        m_inParagraph = outer;
        m_lastMarkInCell = static_cast<std::int64_t>(m_units.size()) - 1;
    }

    void cell(pugi::xml_node tc)
    {
        const std::int64_t outer = m_lastMarkInCell;
        m_lastMarkInCell = -1;
        walkChildren(tc);
        // The mark of the cell's last paragraph is the cell mark.
        if (!MakeCellMark(m_units, m_lastMarkInCell)) emit(UnitKind::CellEnd, 0x07, tc, 0);
        m_lastMarkInCell = outer;
    }

    void row(pugi::xml_node tr)
    {
        walkChildren(tr);
        emit(UnitKind::RowEnd, 0x07, tr, 0);
    }

    std::vector<Unit>& m_units;
    std::vector<pugi::xml_node>& m_nodes;
    NamespaceScope m_scope;
    bool m_inParagraph = false;
    bool m_afterWhiteSpace = true;
    int m_result = 0;
    int m_deleted = 0;
    bool m_deletionsRead = false;
    std::map<std::string, pugi::xml_node> m_deletions;  // by the id of their changed region
    std::int64_t m_lastMarkInCell = -1;
    std::int64_t m_expandedSpaces = 0;  // spaces written for space elements so far
};

}  // namespace

int ParseSpaceCount(const char* value)
{
    const std::string_view text = value;
    long long count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error == std::errc::result_out_of_range) return -1;
    if (error != std::errc() || end != text.data() + text.size() || count < 1) return 1;
    return count > kMaxSpaceCount ? -1 : static_cast<int>(count);
}

bool ReadOdtParagraph(pugi::xml_node paragraph, StoryText& story, std::vector<pugi::xml_node>& nodes)
{
    story.units().clear();
    nodes.clear();
    Reader reader(story, nodes);
    if (!reader.readParagraph(paragraph)) return false;
    story.index();
    return true;
}

bool ReadOdtPiece(pugi::xml_node parent, pugi::xml_node before, pugi::xml_node after, bool& blank, StoryText& story,
                  std::vector<pugi::xml_node>& nodes)
{
    story.units().clear();
    nodes.clear();
    Reader reader(story, nodes);
    if (!reader.readPiece(parent, before, after, blank)) return false;
    blank = reader.afterWhiteSpace();
    story.index();
    return true;
}

void ReadOdtStoryIn(pugi::xml_node container, StoryText& story, std::vector<pugi::xml_node>& nodes)
{
    story.units().clear();
    nodes.clear();
    Reader reader(story, nodes);
    reader.readContainer(container);
    story.index();
}

void ReadOdtStory(const pugi::xml_document& content, StoryText& story, std::vector<pugi::xml_node>& nodes)
{
    story.units().clear();
    nodes.clear();
    Reader reader(story, nodes);
    reader.readDocument(content);
    story.index();
}

}  // namespace tarnwick::word
