#pragma once
// Where a story besides the main text, found in a document's flat ODF
// export, lies in the LibreOffice server's model of the same document: the
// header or footer text of a page style, a footnote or endnote by its
// reference number, a shape or frame by its place in the drawing order,
// or a comment.
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextDocument.hpp>

#include <pugixml.hpp>

#include <string>
#include <vector>

#include "word/automation/StoryId.h"

namespace tarnwick::word {

struct StoryPlace {
    StoryKind kind = StoryKind::MainText;
    std::string pageStyle;  // headers and footers: the page style's name
    std::string region;  // and the style's property holding the text ("HeaderTextLeft", ...)
    int noteId = -1;  // notes: the reference number the export names them by ("ftn3")
    int drawOrder = -1;  // text boxes: the shape's place in the drawing order, if the export gives it
    std::string shapeName;  // and its name, if it has one
};

// The place of the story whose content is `root`, an element of the flat
// export that the ODF story search reported with `kind`.
StoryPlace PlaceOfExportedStory(StoryKind kind, pugi::xml_node root);

// A story besides the main text found in a flat export: its id, where the
// server keeps it, and the element whose content it is.
struct ExportedStory {
    StoryId id;
    StoryPlace place;
    pugi::xml_node root;
};

// The stories besides the main text of the flat export `exported`, in
// document order, found and numbered as the built-in .odt reader finds
// them. `searchOrder` receives every story's id, the main text's included,
// in the order they are searched.
std::vector<ExportedStory> FindExportedStories(const pugi::xml_document& exported, std::vector<StoryId>& searchOrder);

// The server's text of the story at `place`; null, with the reason in
// `unreachable`, where the server does not offer it for editing.
// uno::Exception from the server.
css::uno::Reference<css::text::XText> ServerTextAt(const css::uno::Reference<css::text::XTextDocument>& document,
                                                   const StoryPlace& place, std::string& unreachable);

}  // namespace tarnwick::word
