#include "word/docx/DocxStoryReader.h"

#include "word/automation/WordErrors.h"
#include "word/package/XmlNames.h"
#include "word/story/FieldCode.h"
#include "word/story/Utf16.h"

#include <sstream>

namespace tarnwick::word {
namespace {

bool endsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Elements whose content is no main-story text: properties, table grids,
// ruby guides, text boxes (another story) and imported chunks.
bool isSkipped(std::string_view local)
{
    return endsWith(local, "Pr") || local == "tblPrEx" || local == "tblGrid" || local == "rt" || local == "txbxContent" ||
        local == "altChunk";
}

class Reader {
public:
    Reader(const RelationshipTargets& links, StoryText& story, std::vector<pugi::xml_node>& nodes)
        : m_links(links), m_units(story.units()), m_nodes(nodes)
    {
    }

    void readDocument(const pugi::xml_document& part)
    {
        const pugi::xml_node root = part.document_element();
        ScopeEntry rootScope(m_scope, root);
        if (!m_scope.nameOf(root).is(Ns::W, "document")) Refuse(kErrorDamaged, "Der Hauptteil des Pakets ist kein Textdokument.");
        const pugi::xml_node body = child(root, "body");
        if (!body) Refuse(kErrorDamaged, "Das Dokument hat keinen Textkörper.");
        ScopeEntry bodyScope(m_scope, body);
        walkChildren(body);
        // A story always ends with a paragraph mark.
        if (m_units.empty()) emit(UnitKind::ParagraphEnd, u'\r', body, 0);
    }

    // Reads the content of `container` (a header, note, comment or text box)
    // as a story of its own.
    void readContainer(pugi::xml_node container)
    {
        // The reader is used once: the declarations stay entered.
        EnterAncestors(m_scope, container);
        ScopeEntry entry(m_scope, container);
        walkChildren(container);
        if (m_units.empty()) emit(UnitKind::ParagraphEnd, u'\r', container, 0);
    }

    // Reads `p` alone, as if no field were open where it starts; false when
    // it is no paragraph.
    bool readParagraph(pugi::xml_node p)
    {
        // The reader is used once: the declarations stay entered.
        EnterAncestors(m_scope, p);
        ScopeEntry entry(m_scope, p);
        if (!m_scope.nameOf(p).is(Ns::W, "p")) return false;
        paragraph(p);
        return true;
    }

    // Reads the siblings `first` to `last` alone; false when `last` is not
    // among the siblings that follow `first`.
    bool readRuns(pugi::xml_node first, pugi::xml_node last)
    {
        if (first.parent() != last.parent()) return false;
        EnterAncestors(m_scope, first);
        for (pugi::xml_node node = first; node; node = node.next_sibling()) {
            if (node.type() == pugi::node_element) walkElement(node);
            if (node == last) return true;
        }
        return false;
    }

private:
    struct Field {
        bool inResult = false;
        bool plainResult = false;  // a hyperlink's display text is its own, not regenerated
        std::u16string code;
    };

    // The first child element (namespace W, `local`), looked up in the scope
    // of `parent`, which the caller has entered.
    pugi::xml_node child(pugi::xml_node parent, std::string_view local)
    {
        for (const pugi::xml_node c : parent.children()) {
            if (c.type() != pugi::node_element) continue;
            ScopeEntry entry(m_scope, c);
            if (m_scope.nameOf(c).is(Ns::W, local)) return c;
        }
        return {};
    }

    // True when the run or paragraph-mark properties `rPr` switch `local` on.
    bool hasOnProperty(pugi::xml_node rPr, std::string_view local)
    {
        if (!rPr) return false;
        ScopeEntry entry(m_scope, rPr);
        const pugi::xml_node property = child(rPr, local);
        if (!property) return false;
        ScopeEntry propertyEntry(m_scope, property);
        return IsOn(m_scope, property);
    }

    std::uint8_t contextFlags() const
    {
        std::uint8_t flags = 0;
        if (m_codeFields > 0)
            flags |= kFieldCode;
        else if (m_resultFields > 0 || m_boundContent > 0)
            flags |= kInFieldResult;
        if (m_deleted > 0) flags |= kDeleted;
        if (m_hiddenRun) flags |= kHidden;
        return flags;
    }

    std::uint32_t nodeId(pugi::xml_node node)
    {
        if (m_nodes.empty() || m_nodes.back() != node) m_nodes.push_back(node);
        return static_cast<std::uint32_t>(m_nodes.size() - 1);
    }

    void emit(UnitKind kind, char16_t value, pugi::xml_node source, std::uint32_t offset, std::uint8_t extra = 0)
    {
        Unit unit;
        unit.kind = kind;
        unit.value = value;
        unit.flags = static_cast<std::uint8_t>(contextFlags() | extra);
        unit.source = nodeId(source);
        unit.offset = offset;
        m_units.push_back(unit);
    }

    void emitText(std::u16string_view text, pugi::xml_node source, std::uint32_t firstOffset, std::uint8_t extra)
    {
        for (std::size_t i = 0; i < text.size(); ++i)
            emit(UnitKind::Text, text[i], source, firstOffset + static_cast<std::uint32_t>(i), extra);
    }

    void pushField()
    {
        m_fields.push_back(Field{});
        ++m_codeFields;
    }

    void separateField()
    {
        Field& field = m_fields.back();
        field.inResult = true;
        field.plainResult = IsHyperlinkCode(field.code);
        --m_codeFields;
        if (!field.plainResult) ++m_resultFields;
    }

    void popField()
    {
        const Field& field = m_fields.back();
        if (!field.inResult)
            --m_codeFields;
        else if (!field.plainResult)
            --m_resultFields;
        m_fields.pop_back();
    }

    void walkChildren(pugi::xml_node parent)
    {
        for (const pugi::xml_node c : parent.children())
            if (c.type() == pugi::node_element) walkElement(c);
    }

    void walkElement(pugi::xml_node node)
    {
        ScopeEntry entry(m_scope, node);
        const QName name = m_scope.nameOf(node);
        if (name.is(Ns::MC, "AlternateContent")) return alternateContent(node);
        // Other vocabularies (equations, drawings, extensions not understood)
        // hold no main-story text this component reads.
        if (name.ns != Ns::W) return;
        const std::string_view local = name.local;
        if (local == "p") return paragraph(node);
        if (local == "tr") return row(node);
        if (local == "tc") return cell(node);
        if (local == "r") return run(node);
        if (local == "t" || local == "delText") return emitText(Utf8ToUtf16(TextOf(node)), node, 0, 0);
        if (local == "instrText" || local == "delInstrText") return instruction(node);
        if (local == "tab" || local == "ptab") return emit(UnitKind::Tab, u'\t', node, 0);
        if (local == "br") return lineBreak(node);
        if (local == "cr") return emit(UnitKind::LineBreak, u'\v', node, 0);
        if (local == "noBreakHyphen") return emit(UnitKind::Text, 0x1E, node, 0);
        if (local == "softHyphen") return emit(UnitKind::Text, 0x1F, node, 0);
        if (local == "sym") return emit(UnitKind::Symbol, u'(', node, 0);
        if (local == "fldChar") return fieldCharacter(node);
        if (local == "fldSimple") return simpleField(node, Utf8ToUtf16(m_scope.attribute(node, Ns::W, "instr").value()));
        if (local == "hyperlink") return hyperlink(node);
        if (local == "footnoteReference" || local == "endnoteReference") {
            // With a custom mark the following run text is the mark.
            const pugi::xml_attribute custom = m_scope.attribute(node, Ns::W, "customMarkFollows");
            const std::string_view v = custom.value();
            if (custom && (v == "1" || v == "true" || v == "on")) return;
            return emit(UnitKind::Anchor, 0x02, node, 0);
        }
        if (local == "commentReference") return emit(UnitKind::Anchor, 0x05, node, 0);
        // The mark a note or comment begins with, in its own story.
        if (local == "footnoteRef" || local == "endnoteRef") return emit(UnitKind::Anchor, 0x02, node, 0);
        if (local == "annotationRef") return emit(UnitKind::Anchor, 0x05, node, 0);
        if (local == "drawing") return emit(UnitKind::Anchor, isFloating(node) ? 0x08 : 0x01, node, 0);
        if (local == "pict" || local == "object") return emit(UnitKind::Anchor, 0x01, node, 0);
        if (local == "del" || local == "moveFrom") {
            ++m_deleted;
            walkChildren(node);
            --m_deleted;
            return;
        }
        if (local == "sdt") return contentControl(node);
        if (isSkipped(local)) return;
        // Everything else is transparent: body, tbl, ins, moveTo, smartTag,
        // customXml, sdtContent, dir, bdo, ruby, rubyBase, and markers such as
        // bookmarks and proofErr, which have no content.
        walkChildren(node);
    }

    void paragraph(pugi::xml_node p)
    {
        bool sectionMark = false;
        bool markDeleted = false;
        bool markHidden = false;
        if (const pugi::xml_node pPr = child(p, "pPr")) {
            ScopeEntry entry(m_scope, pPr);
            sectionMark = static_cast<bool>(child(pPr, "sectPr"));
            if (const pugi::xml_node rPr = child(pPr, "rPr")) {
                ScopeEntry rPrEntry(m_scope, rPr);
                markDeleted = child(rPr, "del") || child(rPr, "moveFrom");
                markHidden = hasOnProperty(rPr, "vanish");
            }
        }
        walkChildren(p);
        const std::uint8_t extra = static_cast<std::uint8_t>((markDeleted ? kDeleted : 0) | (markHidden ? kHidden : 0));
        if (sectionMark)
            emit(UnitKind::SectionEnd, u'\f', p, 0, extra);
        else
            emit(UnitKind::ParagraphEnd, u'\r', p, 0, extra);
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

    void run(pugi::xml_node r)
    {
        const bool outer = m_hiddenRun;
        m_hiddenRun = outer || hasOnProperty(child(r, "rPr"), "vanish");
        walkChildren(r);
        m_hiddenRun = outer;
    }

    void lineBreak(pugi::xml_node br)
    {
        const std::string_view type = m_scope.attribute(br, Ns::W, "type").value();
        if (type == "page") return emit(UnitKind::PageBreak, u'\f', br, 0);
        if (type == "column") return emit(UnitKind::ColumnBreak, 0x0E, br, 0);
        emit(UnitKind::LineBreak, u'\v', br, 0);
    }

    void instruction(pugi::xml_node node)
    {
        const std::u16string code = Utf8ToUtf16(TextOf(node));
        if (!m_fields.empty() && !m_fields.back().inResult) m_fields.back().code += code;
        emitText(code, node, 0, kFieldCode);
    }

    void fieldCharacter(pugi::xml_node node)
    {
        const std::string_view type = m_scope.attribute(node, Ns::W, "fldCharType").value();
        if (type == "begin") {
            emit(UnitKind::FieldBegin, 0x13, node, 0, kFieldCode);
            pushField();
        } else if (type == "separate") {
            emit(UnitKind::FieldSeparator, 0x14, node, 0, kFieldCode);
            if (!m_fields.empty() && !m_fields.back().inResult) separateField();
        } else if (type == "end") {
            if (!m_fields.empty()) popField();
            emit(UnitKind::FieldEnd, 0x15, node, 0, kFieldCode);
        }
    }

    // A field whose code is given whole: 0x13, code, 0x14, result, 0x15.
    void simpleField(pugi::xml_node node, const std::u16string& code)
    {
        emit(UnitKind::FieldBegin, 0x13, node, 0, kFieldCode);
        pushField();
        m_fields.back().code = code;
        emitText(code, node, 1, kFieldCode);
        emit(UnitKind::FieldSeparator, 0x14, node, static_cast<std::uint32_t>(code.size() + 1), kFieldCode);
        separateField();
        walkChildren(node);
        popField();
        emit(UnitKind::FieldEnd, 0x15, node, static_cast<std::uint32_t>(code.size() + 2), kFieldCode);
    }

    // A hyperlink counts as a HYPERLINK field with a hidden code.
    void hyperlink(pugi::xml_node node)
    {
        std::string code = " HYPERLINK ";
        if (const pugi::xml_attribute id = m_scope.attribute(node, Ns::R, "id")) {
            const auto target = m_links.find(id.value());
            if (target != m_links.end()) code += "\"" + target->second + "\" ";
        }
        if (const pugi::xml_attribute anchor = m_scope.attribute(node, Ns::W, "anchor"))
            code += "\\l \"" + std::string(anchor.value()) + "\" ";
        simpleField(node, Utf8ToUtf16(code));
    }

    void contentControl(pugi::xml_node sdt)
    {
        // A control bound to custom XML is rewritten from that XML: its text
        // is treated like a field result.
        bool bound = false;
        if (const pugi::xml_node sdtPr = child(sdt, "sdtPr")) {
            ScopeEntry entry(m_scope, sdtPr);
            bound = static_cast<bool>(child(sdtPr, "dataBinding"));
        }
        if (bound) ++m_boundContent;
        walkChildren(sdt);
        if (bound) --m_boundContent;
    }

    bool isFloating(pugi::xml_node drawing)
    {
        for (const pugi::xml_node c : drawing.children()) {
            if (c.type() != pugi::node_element) continue;
            ScopeEntry entry(m_scope, c);
            if (m_scope.nameOf(c).is(Ns::WP, "anchor")) return true;
        }
        return false;
    }

    // Exactly one branch counts: the first Choice whose required namespaces
    // are all understood here, else the Fallback.
    void alternateContent(pugi::xml_node node)
    {
        for (const pugi::xml_node branch : node.children()) {
            if (branch.type() != pugi::node_element) continue;
            ScopeEntry entry(m_scope, branch);
            const QName name = m_scope.nameOf(branch);
            if (name.is(Ns::MC, "Choice") && understands(branch.attribute("Requires").value())) {
                walkChildren(branch);
                return;
            }
            if (name.is(Ns::MC, "Fallback")) {
                walkChildren(branch);
                return;
            }
        }
    }

    bool understands(const std::string& requirements) const
    {
        std::istringstream prefixes(requirements);
        std::string prefix;
        bool any = false;
        while (prefixes >> prefix) {
            const Ns ns = m_scope.lookup(prefix);
            if (ns != Ns::W && ns != Ns::R && ns != Ns::WP) return false;
            any = true;
        }
        return any;
    }

    const RelationshipTargets& m_links;
    std::vector<Unit>& m_units;
    std::vector<pugi::xml_node>& m_nodes;
    NamespaceScope m_scope;
    std::vector<Field> m_fields;
    int m_codeFields = 0;  // fields on the stack still in their code
    int m_resultFields = 0;  // fields on the stack in a regenerated result
    int m_boundContent = 0;
    int m_deleted = 0;
    bool m_hiddenRun = false;
    std::int64_t m_lastMarkInCell = -1;
};

// Reads one stretch of markup into `story` afresh through `read`.
template <typename Read>
bool readInto(const RelationshipTargets& links, StoryText& story, std::vector<pugi::xml_node>& nodes, const Read& read)
{
    story.units().clear();
    nodes.clear();
    Reader reader(links, story, nodes);
    if (!read(reader)) return false;
    story.index();
    return true;
}

}  // namespace

bool ReadDocxParagraph(pugi::xml_node paragraph, const RelationshipTargets& links, StoryText& story,
                       std::vector<pugi::xml_node>& nodes)
{
    return readInto(links, story, nodes, [&](Reader& reader) { return reader.readParagraph(paragraph); });
}

bool ReadDocxRuns(pugi::xml_node first, pugi::xml_node last, const RelationshipTargets& links, StoryText& story,
                  std::vector<pugi::xml_node>& nodes)
{
    return readInto(links, story, nodes, [&](Reader& reader) { return reader.readRuns(first, last); });
}

void ReadDocxStoryIn(pugi::xml_node container, const RelationshipTargets& links, StoryText& story,
                     std::vector<pugi::xml_node>& nodes)
{
    readInto(links, story, nodes, [&](Reader& reader) {
        reader.readContainer(container);
        return true;
    });
}

void ReadDocxStory(const pugi::xml_document& part, const RelationshipTargets& links, StoryText& story,
                   std::vector<pugi::xml_node>& nodes)
{
    readInto(links, story, nodes, [&](Reader& reader) {
        reader.readDocument(part);
        return true;
    });
}

}  // namespace tarnwick::word
