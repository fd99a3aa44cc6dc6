// The text of an .odp presentation's slides (draw:page) in the document's
// order, named "Folie N"; speaker notes and comments are left out.
#include "engine/inside/InsideMessages.h"
#include "engine/inside/OdfParagraphs.h"
#include "engine/inside/OdfText.h"
#include "engine/inside/XmlLocalNames.h"

namespace tarnwick::inside {

std::vector<TextPage> ReadOdpSlides(const word::ZipPackage& package)
{
    word::XmlPart content;
    const pugi::xml_node body = LoadOdfBody(package, content, "presentation");
    std::vector<TextPage> pages;
    for (const pugi::xml_node slide : body.children()) {
        if (slide.type() != pugi::node_element || LocalName(slide) != "page") continue;
        TextPage page{text::kInsideSlide + std::to_string(pages.size() + 1), {}};
        AppendParagraphs(slide, page.text);
        pages.push_back(std::move(page));
    }
    return pages;
}

}  // namespace tarnwick::inside
