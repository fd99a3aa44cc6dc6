#include "word/package/XmlNames.h"

namespace tarnwick::word {
namespace {

struct KnownUri {
    std::string_view uri;
    Ns ns;
};

constexpr KnownUri kKnownUris[] = {
    {"http://schemas.openxmlformats.org/wordprocessingml/2006/main", Ns::W},
    {"http://purl.oclc.org/ooxml/wordprocessingml/main", Ns::W},
    {"http://schemas.openxmlformats.org/officeDocument/2006/relationships", Ns::R},
    {"http://purl.oclc.org/ooxml/officeDocument/relationships", Ns::R},
    {"http://schemas.openxmlformats.org/markup-compatibility/2006", Ns::MC},
    {"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing", Ns::WP},
    {"http://purl.oclc.org/ooxml/drawingml/wordprocessingDrawing", Ns::WP},
    {"urn:oasis:names:tc:opendocument:xmlns:office:1.0", Ns::Office},
    {"urn:oasis:names:tc:opendocument:xmlns:text:1.0", Ns::Text},
    {"urn:oasis:names:tc:opendocument:xmlns:table:1.0", Ns::Table},
    {"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0", Ns::Draw},
    {"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0", Ns::Manifest},
    {"urn:oasis:names:tc:opendocument:xmlns:style:1.0", Ns::Style},
    {"http://www.w3.org/XML/1998/namespace", Ns::Xml},
};

// Splits "prefix:local"; a name without colon has an empty prefix.
void splitName(std::string_view name, std::string_view& prefix, std::string_view& local)
{
    const auto colon = name.find(':');
    if (colon == std::string_view::npos) {
        prefix = {};
        local = name;
    } else {
        prefix = name.substr(0, colon);
        local = name.substr(colon + 1);
    }
}

// The prefix an xmlns attribute declares ("" for the default), or false
// when the attribute is not a declaration.
bool declaredPrefix(std::string_view name, std::string_view& prefix)
{
    if (name == "xmlns") {
        prefix = {};
        return true;
    }
    if (name.substr(0, 6) == "xmlns:") {
        prefix = name.substr(6);
        return true;
    }
    return false;
}

}  // namespace

Ns NamespaceOfUri(std::string_view uri)
{
    if (uri.empty()) return Ns::None;
    for (const KnownUri& known : kKnownUris)
        if (known.uri == uri) return known.ns;
    return Ns::Unknown;
}

std::size_t NamespaceScope::enter(pugi::xml_node element)
{
    const std::size_t mark = m_bindings.size();
    for (const pugi::xml_attribute attribute : element.attributes()) {
        std::string_view prefix;
        if (declaredPrefix(attribute.name(), prefix)) m_bindings.push_back({prefix, NamespaceOfUri(attribute.value())});
    }
    return mark;
}

Ns NamespaceScope::lookup(std::string_view prefix) const
{
    if (prefix == "xml") return Ns::Xml;
    for (auto it = m_bindings.rbegin(); it != m_bindings.rend(); ++it)
        if (it->prefix == prefix) return it->ns;
    return prefix.empty() ? Ns::None : Ns::Unknown;
}

QName NamespaceScope::nameOf(pugi::xml_node element) const
{
    std::string_view prefix;
    std::string_view local;
    splitName(element.name(), prefix, local);
    return QName{lookup(prefix), local};
}

pugi::xml_attribute NamespaceScope::attribute(pugi::xml_node element, Ns ns, std::string_view local) const
{
    for (const pugi::xml_attribute attribute : element.attributes()) {
        std::string_view prefix;
        std::string_view name;
        splitName(attribute.name(), prefix, name);
        if (name != local) continue;
        // Unprefixed attributes are in no namespace, whatever the default is.
        const Ns attributeNs = prefix.empty() ? Ns::None : lookup(prefix);
        if (attributeNs == ns) return attribute;
    }
    return {};
}

void EnterAncestors(NamespaceScope& scope, pugi::xml_node node)
{
    std::vector<pugi::xml_node> chain;
    for (pugi::xml_node n = node.parent(); n && n.type() == pugi::node_element; n = n.parent()) chain.push_back(n);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) scope.enter(*it);
}

NamespaceScope ScopeAt(pugi::xml_node element)
{
    while (element && element.type() != pugi::node_element) element = element.parent();
    NamespaceScope scope;
    if (!element) return scope;
    EnterAncestors(scope, element);
    scope.enter(element);
    return scope;
}

std::string PrefixFor(pugi::xml_node element, Ns ns, std::string_view fallback)
{
    while (element && element.type() != pugi::node_element) element = element.parent();
    for (pugi::xml_node n = element; n && n.type() == pugi::node_element; n = n.parent()) {
        for (const pugi::xml_attribute attribute : n.attributes()) {
            std::string_view prefix;
            if (!declaredPrefix(attribute.name(), prefix) || NamespaceOfUri(attribute.value()) != ns) continue;
            // A nearer declaration of the same prefix for another namespace
            // would shadow this one.
            if (ScopeAt(element).lookup(prefix) != ns) continue;
            return prefix.empty() ? std::string() : std::string(prefix) + ":";
        }
    }
    return std::string(fallback);
}

std::string TextOf(pugi::xml_node element)
{
    std::string text;
    for (const pugi::xml_node child : element.children())
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) text += child.value();
    return text;
}

void SetText(pugi::xml_node element, std::string_view text)
{
    while (element.first_child()) element.remove_child(element.first_child());
    element.append_child(pugi::node_pcdata).set_value(std::string(text).c_str());
}

bool IsOn(const NamespaceScope& scope, pugi::xml_node property)
{
    const pugi::xml_attribute value = scope.attribute(property, Ns::W, "val");
    if (!value) return true;
    const std::string_view v = value.value();
    return !(v == "0" || v == "false" || v == "off");
}

}  // namespace tarnwick::word
