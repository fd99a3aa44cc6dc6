#include "engine/inside/XmlLocalNames.h"

namespace tarnwick::inside {
namespace {

std::string_view localPart(std::string_view name)
{
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

}  // namespace

std::string_view LocalName(const pugi::xml_node& node) { return localPart(node.name()); }

std::string_view LocalName(const pugi::xml_attribute& attribute) { return localPart(attribute.name()); }

pugi::xml_node ChildNamed(const pugi::xml_node& node, std::string_view local)
{
    for (const pugi::xml_node child : node.children())
        if (child.type() == pugi::node_element && LocalName(child) == local) return child;
    return {};
}

pugi::xml_attribute PrefixedAttribute(const pugi::xml_node& node, std::string_view local)
{
    for (const pugi::xml_attribute attribute : node.attributes()) {
        const std::string_view name = attribute.name();
        if (name.find(':') != std::string_view::npos && LocalName(attribute) == local) return attribute;
    }
    return {};
}

}  // namespace tarnwick::inside
