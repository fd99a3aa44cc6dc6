#pragma once
// Where the stories of an OpenDocument text besides its main text lie: the
// bodies of notes, annotations and text boxes (frames' text boxes and
// shapes holding paragraphs) below the body, and the headers and footers of
// the master pages with the text boxes inside them. The .odt reader takes
// them from content.xml and styles.xml, the LibreOffice route from the one
// flat export, so both find and number the same stories.
#include <functional>

#include <pugixml.hpp>

#include "word/automation/StoryId.h"

namespace tarnwick::word {

// Called with each story's kind and the element whose content it is, in
// document order.
using OdtStoryVisitor = std::function<void(StoryKind kind, pugi::xml_node root)>;

// The notes, annotations and text boxes below `node` (a body or a whole
// content part; nested ones after the story that holds them).
void FindOdtBodyStories(pugi::xml_node node, const OdtStoryVisitor& visit);

// The headers and footers of every master page in the office:master-styles
// below `stylesRoot` (the root of styles.xml or of a flat document), each
// followed by the stories inside it, in the order they are listed.
void FindOdtMasterPageStories(pugi::xml_node stylesRoot, const OdtStoryVisitor& visit);

}  // namespace tarnwick::word
