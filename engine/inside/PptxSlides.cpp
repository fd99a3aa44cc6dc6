// The text of a .pptx presentation's slides in the order the presentation
// lists them (not the order of the slide parts' names): each paragraph of
// every shape and table a line.
#include "engine/inside/InsideMessages.h"
#include "engine/inside/OoxmlParts.h"
#include "engine/inside/OoxmlText.h"
#include "engine/inside/XmlLocalNames.h"

namespace tarnwick::inside {
namespace {

// Paragraphs (a:p) hold runs (a:r), fields (a:fld) and line breaks (a:br);
// their text is in a:t. Everything above them is walked through.
void appendSlideText(const pugi::xml_node& node, std::string& text, int depth)
{
    if (depth > word::XmlPart::kMaxDepth) return;
    for (const pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element) continue;
        const std::string_view name = LocalName(child);
        if (name == "t") {
            text += child.text().get();
        } else if (name == "br") {
            text += '\n';
        } else if (name == "p") {
            const std::size_t start = text.size();
            appendSlideText(child, text, depth + 1);
            if (text.size() > start) text += '\n';
        } else {
            appendSlideText(child, text, depth + 1);
        }
    }
}

}  // namespace

std::vector<TextPage> ReadPptxSlides(const word::ZipPackage& package)
{
    const OoxmlParts parts(package);
    word::XmlPart presentation;
    parts.load(presentation, parts.mainPart());
    std::vector<TextPage> pages;
    const pugi::xml_node slides = ChildNamed(presentation.document().document_element(), "sldIdLst");
    for (const pugi::xml_node slide : slides.children()) {
        if (slide.type() != pugi::node_element || LocalName(slide) != "sldId") continue;
        TextPage page{text::kInsideSlide + std::to_string(pages.size() + 1), {}};
        word::XmlPart part;
        const std::string name = parts.target(PrefixedAttribute(slide, "id").value());
        if (!name.empty() && parts.loadIfPresent(part, name)) appendSlideText(part.document(), page.text, 0);
        pages.push_back(std::move(page));
    }
    return pages;
}

}  // namespace tarnwick::inside
