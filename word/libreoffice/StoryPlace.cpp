#include "word/libreoffice/StoryPlace.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/beans/XPropertySetInfo.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/drawing/XDrawPageSupplier.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/text/XEndnotesSupplier.hpp>
#include <com/sun/star/text/XFootnotesSupplier.hpp>
#include <com/sun/star/text/XTextFrame.hpp>

#include <cstdlib>
#include <string_view>

#include "word/libreoffice/LibreOfficeServer.h"
#include "word/libreoffice/LibreOfficeStory.h"
#include "word/odt/OdtStories.h"

using namespace com::sun::star;
using rtl::OUString;

namespace tarnwick::word {
namespace {

constexpr const char* kCommentUnreachable =
    "LibreOffice ändert den Text eines Kommentars nur als Ganzes und ohne seine Formatierung; "
    "der Kommentar wird nicht ersetzt.";
constexpr const char* kPartUnreachable =
    "Dieser Teil des Dokuments ist in LibreOffice nicht zu finden; der Text wird nicht ersetzt.";

// A style name as the export writes it: characters a name in XML may not
// hold as "_hex_" ("Convert_20_1" for "Convert 1").
std::string decodeStyleName(std::string_view name)
{
    std::string decoded;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const std::size_t close = name[i] == '_' ? name.find('_', i + 1) : std::string_view::npos;
        if (close != std::string_view::npos && close > i + 1) {
            const std::string hex(name.substr(i + 1, close - i - 1));
            char* end = nullptr;
            const unsigned long code = std::strtoul(hex.c_str(), &end, 16);
            if (*end == '\0' && code > 0 && code < 0x110000) {
                decoded += rtl::OUString(reinterpret_cast<const sal_uInt32*>(&code), 1).toUtf8().getStr();
                i = close;
                continue;
            }
        }
        decoded += name[i];
    }
    return decoded;
}

// "header", "header-left", "footer-first" ... to the page style's property.
std::string regionProperty(std::string_view local)
{
    const bool header = local.substr(0, 6) == "header";
    std::string property = header ? "HeaderText" : "FooterText";
    const std::string_view variant = local.substr(6);
    if (variant == "-left") property += "Left";
    if (variant == "-first") property += "First";
    return property;
}

std::string_view localName(pugi::xml_node element)
{
    const std::string_view name = element.name();
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

uno::Reference<text::XText> pageRegionText(const uno::Reference<text::XTextDocument>& document, const StoryPlace& place)
{
    const uno::Reference<style::XStyleFamiliesSupplier> families(document, uno::UNO_QUERY_THROW);
    const uno::Reference<container::XNameAccess> pages(families->getStyleFamilies()->getByName(OUString("PageStyles")),
                                                       uno::UNO_QUERY_THROW);
    const OUString name = ToOUString(place.pageStyle);
    if (!pages->hasByName(name)) return nullptr;
    const uno::Reference<beans::XPropertySet> style(pages->getByName(name), uno::UNO_QUERY_THROW);
    if (!style->getPropertySetInfo()->hasPropertyByName(ToOUString(place.region))) return nullptr;
    return uno::Reference<text::XText>(style->getPropertyValue(ToOUString(place.region)), uno::UNO_QUERY);
}

uno::Reference<text::XText> noteText(const uno::Reference<container::XIndexAccess>& notes, int id)
{
    for (sal_Int32 i = 0; notes.is() && i < notes->getCount(); ++i) {
        const uno::Reference<beans::XPropertySet> note(notes->getByIndex(i), uno::UNO_QUERY);
        sal_Int16 reference = -1;
        if (note.is() && (note->getPropertyValue(OUString("ReferenceId")) >>= reference) && reference == id)
            return uno::Reference<text::XText>(note, uno::UNO_QUERY);
    }
    return nullptr;
}

// The text a shape shows: its own, that of the frame a shape with a text box
// carries, or a frame's.
uno::Reference<text::XText> textOfShape(const uno::Reference<uno::XInterface>& shape)
{
    const uno::Reference<beans::XPropertySet> properties(shape, uno::UNO_QUERY);
    if (properties.is() && properties->getPropertySetInfo()->hasPropertyByName(OUString("TextBox"))) {
        bool textBox = false;
        properties->getPropertyValue(OUString("TextBox")) >>= textBox;
        if (textBox) {
            const uno::Reference<text::XTextFrame> frame(properties->getPropertyValue(OUString("TextBoxContent")),
                                                         uno::UNO_QUERY);
            return frame.is() ? frame->getText() : nullptr;
        }
    }
    if (const uno::Reference<text::XTextFrame> frame(shape, uno::UNO_QUERY); frame.is()) return frame->getText();
    return uno::Reference<text::XText>(shape, uno::UNO_QUERY);
}

bool isNamed(const uno::Reference<uno::XInterface>& shape, const std::string& name)
{
    const uno::Reference<container::XNamed> named(shape, uno::UNO_QUERY);
    return named.is() && named->getName().toUtf8().getStr() == name;
}

uno::Reference<text::XText> shapeText(const uno::Reference<text::XTextDocument>& document, const StoryPlace& place)
{
    const uno::Reference<drawing::XDrawPageSupplier> supplier(document, uno::UNO_QUERY_THROW);
    // The interface is marked deprecated for the one that lists several
    // pages, which a text document does not offer: its one draw page is here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const uno::Reference<container::XIndexAccess> shapes(supplier->getDrawPage(), uno::UNO_QUERY_THROW);
#pragma GCC diagnostic pop
    if (place.drawOrder >= 0) {
        // The export writes each shape's place on the draw page; a name, where
        // there is one, confirms it is the same shape.
        if (place.drawOrder >= shapes->getCount()) return nullptr;
        const uno::Reference<uno::XInterface> shape(shapes->getByIndex(place.drawOrder), uno::UNO_QUERY);
        if (!place.shapeName.empty() && !isNamed(shape, place.shapeName)) return nullptr;
        return textOfShape(shape);
    }
    if (place.shapeName.empty()) return nullptr;
    for (sal_Int32 i = 0; i < shapes->getCount(); ++i) {
        const uno::Reference<uno::XInterface> shape(shapes->getByIndex(i), uno::UNO_QUERY);
        if (isNamed(shape, place.shapeName)) return textOfShape(shape);
    }
    return nullptr;
}

}  // namespace

StoryPlace PlaceOfExportedStory(StoryKind kind, pugi::xml_node root)
{
    StoryPlace place;
    place.kind = kind;
    switch (kind) {
    case StoryKind::Header:
    case StoryKind::Footer: {
        const pugi::xml_node page = root.parent();
        const pugi::xml_attribute display = page.attribute("style:display-name");
        place.pageStyle = display ? display.value() : decodeStyleName(page.attribute("style:name").value());
        place.region = regionProperty(localName(root));
        break;
    }
    case StoryKind::Footnote:
    case StoryKind::Endnote: {
        // The export names a note "ftn" and its reference number.
        const std::string_view id = root.parent().attribute("text:id").value();
        if (id.substr(0, 3) == "ftn" && id.size() > 3) place.noteId = std::atoi(std::string(id.substr(3)).c_str());
        break;
    }
    case StoryKind::TextBox: {
        // A frame's text box lies in the frame; a shape holds its paragraphs itself.
        const pugi::xml_node shape = localName(root) == "text-box" ? root.parent() : root;
        if (const pugi::xml_attribute order = shape.attribute("draw:z-index")) place.drawOrder = order.as_int(-1);
        place.shapeName = shape.attribute("draw:name").value();
        break;
    }
    default: break;
    }
    return place;
}

std::vector<ExportedStory> FindExportedStories(const pugi::xml_document& exported, std::vector<StoryId>& searchOrder)
{
    std::vector<ExportedStory> found;
    std::vector<StoryKind> kinds = {StoryKind::MainText};
    const auto add = [&](StoryKind kind, pugi::xml_node root) {
        found.push_back({StoryId{kind, 0}, PlaceOfExportedStory(kind, root), root});
        kinds.push_back(kind);
    };
    const pugi::xml_node document = exported.child("office:document");
    FindOdtBodyStories(document.child("office:body"), add);
    FindOdtMasterPageStories(document, add);
    std::vector<std::size_t> order;
    const std::vector<StoryId> ids = NumberStories(kinds, order);
    for (std::size_t i = 1; i < ids.size(); ++i) found[i - 1].id = ids[i];
    searchOrder.clear();
    for (const std::size_t i : order) searchOrder.push_back(ids[i]);
    return found;
}

uno::Reference<text::XText> ServerTextAt(const uno::Reference<text::XTextDocument>& document, const StoryPlace& place,
                                         std::string& unreachable)
{
    uno::Reference<text::XText> text;
    switch (place.kind) {
    case StoryKind::Header:
    case StoryKind::Footer: text = pageRegionText(document, place); break;
    case StoryKind::Footnote:
        text = noteText(uno::Reference<text::XFootnotesSupplier>(document, uno::UNO_QUERY_THROW)->getFootnotes(), place.noteId);
        break;
    case StoryKind::Endnote:
        text = noteText(uno::Reference<text::XEndnotesSupplier>(document, uno::UNO_QUERY_THROW)->getEndnotes(), place.noteId);
        break;
    case StoryKind::TextBox: text = shapeText(document, place); break;
    case StoryKind::Comment:
        // Its text object is a copy that the server never takes back; only
        // setting its whole content as plain text sticks.
        unreachable = kCommentUnreachable;
        return nullptr;
    default: break;
    }
    if (!text.is()) unreachable = kPartUnreachable;
    return text;
}

}  // namespace tarnwick::word
