#pragma once
// What the OpenDocument readers share: the body of content.xml, and the text
// of paragraphs as a reader sees it.
#include <string>

#include <pugixml.hpp>

#include "word/package/XmlPart.h"
#include "word/package/ZipPackage.h"

namespace tarnwick::inside {

// Loads content.xml into `content` and returns the element below
// office:body named `kind` ("spreadsheet", "presentation"). Throws
// ServerError (kErrorDamaged) when there is none.
pugi::xml_node LoadOdfBody(const word::ZipPackage& package, word::XmlPart& content, const char* kind);

// Appends the text of the paragraphs (text:p, text:h) below `node`, each
// ended by LF: spaces (text:s), tabs and line breaks as the characters they
// stand for; comments (office:annotation) and a slide's speaker notes left out.
void AppendParagraphs(const pugi::xml_node& node, std::string& text);

}  // namespace tarnwick::inside
