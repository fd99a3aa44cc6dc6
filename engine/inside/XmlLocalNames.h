#pragma once
// Elements and attributes of a spreadsheet's or a presentation's XML by
// their local names. These readers only take text out, and in the parts
// they read each local name they look for means one thing, so the prefix a
// producer chose is passed over instead of resolving namespaces.
#include <string_view>

#include <pugixml.hpp>

namespace tarnwick::inside {

// "sheetData" for <x:sheetData> and <sheetData>.
std::string_view LocalName(const pugi::xml_node& node);
std::string_view LocalName(const pugi::xml_attribute& attribute);

// The first child element named `local`; empty when there is none.
pugi::xml_node ChildNamed(const pugi::xml_node& node, std::string_view local);

// The attribute named `local` with a prefix (r:id, table:name), empty when
// absent: an unprefixed one of the same local name is another attribute.
pugi::xml_attribute PrefixedAttribute(const pugi::xml_node& node, std::string_view local);

}  // namespace tarnwick::inside
