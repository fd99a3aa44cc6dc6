#include "engine/inside/OdfParagraphs.h"

#include <algorithm>
#include <charconv>

#include "engine/inside/XmlLocalNames.h"
#include "word/automation/WordErrors.h"

namespace tarnwick::inside {
namespace {

// A run of blanks is written once with its count; a crafted count must not
// make a large text out of a small file.
constexpr unsigned kMaxSpaces = 1000;

bool isPassedOver(std::string_view name) { return name == "annotation" || name == "notes"; }

void appendInline(const pugi::xml_node& node, std::string& text, int depth)
{
    if (depth > word::XmlPart::kMaxDepth) return;
    for (const pugi::xml_node child : node.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            text += child.value();
            continue;
        }
        if (child.type() != pugi::node_element) continue;
        const std::string_view name = LocalName(child);
        if (name == "s") {
            const std::string_view count = PrefixedAttribute(child, "c").value();
            unsigned spaces = 1;
            std::from_chars(count.data(), count.data() + count.size(), spaces);
            text.append(std::min(spaces, kMaxSpaces), ' ');
        } else if (name == "tab") {
            text += '\t';
        } else if (name == "line-break") {
            text += '\n';
        } else if (!isPassedOver(name) && name != "note") {
            appendInline(child, text, depth + 1);
        }
    }
}

void appendBlocks(const pugi::xml_node& node, std::string& text, int depth)
{
    if (depth > word::XmlPart::kMaxDepth) return;
    for (const pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element) continue;
        const std::string_view name = LocalName(child);
        if (isPassedOver(name)) continue;
        if (name == "p" || name == "h") {
            appendInline(child, text, depth + 1);
            text += '\n';
        } else {
            appendBlocks(child, text, depth + 1);
        }
    }
}

}  // namespace

pugi::xml_node LoadOdfBody(const word::ZipPackage& package, word::XmlPart& content, const char* kind)
{
    const std::optional<std::string> bytes = package.read("content.xml");
    if (!bytes) word::RefuseDamaged("der Teil content.xml fehlt.");
    content.load(*bytes, "content.xml");
    const pugi::xml_node body = ChildNamed(ChildNamed(content.document().document_element(), "body"), kind);
    if (!body) word::RefuseDamaged(std::string("content.xml enthält kein office:") + kind + ".");
    return body;
}

void AppendParagraphs(const pugi::xml_node& node, std::string& text) { appendBlocks(node, text, 0); }

}  // namespace tarnwick::inside
