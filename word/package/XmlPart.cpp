#include "word/package/XmlPart.h"

#include "word/automation/WordErrors.h"

#include <algorithm>

namespace tarnwick::word {
namespace {

constexpr unsigned kParseFlags = pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata | pugi::parse_comments |
    pugi::parse_pi | pugi::parse_doctype;

// The deepest element nesting of the document, found without recursion.
int depthOf(const pugi::xml_document& document)
{
    int depth = 1;
    int deepest = 0;
    pugi::xml_node node = document.first_child();
    while (node) {
        deepest = std::max(deepest, depth);
        if (node.first_child()) {
            node = node.first_child();
            ++depth;
            continue;
        }
        // Climb until a node has a next sibling; the document node has none
        // and no parent, which ends the walk.
        while (node && !node.next_sibling()) {
            node = node.parent();
            --depth;
        }
        if (node) node = node.next_sibling();
    }
    return deepest;
}

bool startsWithByteOrderMark(std::string_view bytes)
{
    return bytes.substr(0, 3) == "\xEF\xBB\xBF" || bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF";
}

class StringWriter : public pugi::xml_writer {
public:
    explicit StringWriter(std::string& out) : m_out(out) {}
    void write(const void* data, size_t size) override { m_out.append(static_cast<const char*>(data), size); }

private:
    std::string& m_out;
};

}  // namespace

void XmlPart::load(std::string_view bytes, const std::string& partName)
{
    const pugi::xml_parse_result result = m_document.load_buffer(bytes.data(), bytes.size(), kParseFlags);
    if (!result || !m_document.document_element())
        RefuseDamaged("der Dokumentteil " + partName + " ist kein wohlgeformtes XML (" + result.description() + ").");
    if (depthOf(m_document) > kMaxDepth) Refuse(kErrorDamaged, "Der Dokumentteil " + partName + " ist zu tief verschachtelt.");
    m_encoding = result.encoding;
    m_byteOrderMark = startsWithByteOrderMark(bytes);
}

std::string XmlPart::serialize() const
{
    std::string out;
    StringWriter writer(out);
    unsigned flags = pugi::format_raw | pugi::format_no_declaration;
    if (m_byteOrderMark) flags |= pugi::format_write_bom;
    m_document.save(writer, "", flags, m_encoding);
    return out;
}

}  // namespace tarnwick::word
