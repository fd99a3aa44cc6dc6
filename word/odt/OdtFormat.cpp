#include "word/odt/OdtFormat.h"

#include "word/automation/WordErrors.h"
#include "word/odt/OdtEditor.h"
#include "word/odt/OdtStories.h"
#include "word/odt/OdtStoryReader.h"
#include "word/package/PackageFormats.h"
#include "word/package/XmlNames.h"
#include "word/story/EditChecks.h"

namespace tarnwick::word {
namespace {

constexpr const char* kContentPart = "content.xml";
constexpr std::string_view kTextMediaType = "application/vnd.oasis.opendocument.text";

void checkMediaType(const ZipPackage& package)
{
    const std::optional<std::string> mimetype = package.read("mimetype");
    if (mimetype && std::string_view(*mimetype).substr(0, kTextMediaType.size()) != kTextMediaType)
        Refuse(kErrorDamaged, "Das OpenDocument-Paket ist kein Textdokument.");
}

// The manifest lists an encryption-data element for every encrypted entry.
void refuseEncrypted(const ZipPackage& package)
{
    const std::optional<std::string> manifest = package.read("META-INF/manifest.xml");
    if (!manifest) return;
    XmlPart part;
    part.load(*manifest, "META-INF/manifest.xml");
    const pugi::xml_node root = part.document().document_element();
    NamespaceScope scope;
    ScopeEntry rootScope(scope, root);
    VisitElements(scope, root, [](pugi::xml_node, QName name) {
        if (name.is(Ns::Manifest, "encryption-data")) RefuseEncrypted();
        return name.is(Ns::Manifest, "file-entry");
    });
}

pugi::xml_node paragraphOf(pugi::xml_node node)
{
    for (pugi::xml_node n = node.parent(); n; n = n.parent()) {
        if (n.type() != pugi::node_element) continue;
        const QName name = ScopeAt(n).nameOf(n);
        if (name.is(Ns::Text, "p") || name.is(Ns::Text, "h")) return n;
    }
    return {};
}

// The child of `paragraph` that is or holds `node`; null outside it.
pugi::xml_node childWithin(pugi::xml_node node, pugi::xml_node paragraph)
{
    for (pugi::xml_node n = node; n && n != paragraph; n = n.parent())
        if (n.parent() == paragraph) return n;
    return {};
}

bool isCharacterData(pugi::xml_node node) { return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata; }

}  // namespace

OdtFormat::OdtFormat(const std::string& path) : XmlPackageFormat(path)
{
    checkMediaType(m_package);
    refuseEncrypted(m_package);
    const std::optional<std::string> content = m_package.read(kContentPart);
    if (!content) RefuseDamaged("dem OpenDocument-Paket fehlt content.xml.");
    loadStoryPart(kContentPart, *content);
}

void OdtFormat::findOtherStories()
{
    {
        const pugi::xml_node root = m_main->part->xml.document().document_element();
        FindOdtBodyStories(root, [&](StoryKind kind, pugi::xml_node node) { addStory(kind, *m_main->part, node); });
    }
    // The styles part holds the headers and footers of every page style:
    // when it cannot be read, they are missing, and the text is read all the same.
    Part* styles = nullptr;
    try {
        styles = partNamed("styles.xml");
    } catch (const ServerError& e) {
        addUnreadableStories({StoryKind::Header, StoryKind::Footer}, e);
        return;
    }
    if (!styles) return;
    FindOdtMasterPageStories(styles->xml.document().document_element(),
                             [&](StoryKind kind, pugi::xml_node node) { addStory(kind, *styles, node); });
}

void OdtFormat::readStory(const Story& story, StoryText& text, std::vector<pugi::xml_node>& nodes) const
{
    if (!story.root)
        ReadOdtStory(story.part->xml.document(), text, nodes);
    else
        ReadOdtStoryIn(story.root, text, nodes);
}

bool OdtFormat::readParagraph(const Story&, pugi::xml_node paragraph, StoryText& text, std::vector<pugi::xml_node>& nodes) const
{
    return ReadOdtParagraph(paragraph, text, nodes);
}

std::optional<XmlPackageFormat::EditedRuns> OdtFormat::runsAround(const Story& story, std::int64_t start, std::int64_t end) const
{
    if (start >= end) return std::nullopt;
    const StoryText& units = story.text;
    const auto source = [&](std::int64_t i) { return story.nodes[units.unit(i).source]; };
    const pugi::xml_node paragraph = paragraphOf(source(start));
    if (!paragraph) return std::nullopt;
    const auto childOf = [&](std::int64_t i) { return childWithin(source(i), paragraph); };
    const pugi::xml_node first = childOf(start);
    const pugi::xml_node lastHeld = childOf(end - 1);
    if (!first || !lastHeld) return std::nullopt;
    const pugi::xml_node last = LastNodeAnEditCanChange(lastHeld);

    EditedRuns runs{{start, end - 1}, first.previous_sibling(), last.next_sibling(), paragraph};
    ParagraphSpan& span = runs.span;
    while (span.first > 0 && childOf(span.first - 1) == first) --span.first;
    // Units follow document order, so the children they lie in do too.
    pugi::xml_node child = lastHeld;
    while (span.mark + 1 < units.size()) {
        const pugi::xml_node next = childOf(span.mark + 1);
        if (!next) break;
        while (child != next && child != last) child = child.next_sibling();
        if (child != next) break;
        ++span.mark;
    }
    const auto blankOfCharacterData = [&](std::int64_t i) { return units.unit(i).value == u' ' && isCharacterData(source(i)); };
    runs.blankBefore = IsParagraphStart(units, span.first) || blankOfCharacterData(span.first - 1);
    runs.blankAtEnd = blankOfCharacterData(span.mark);
    return runs;
}

bool OdtFormat::readRuns(const Story&, const EditedRuns& runs, StoryText& text, std::vector<pugi::xml_node>& nodes) const
{
    bool blank = runs.blankBefore;
    if (!ReadOdtPiece(runs.parent, runs.first, runs.last, blank, text, nodes)) return false;
    // What follows in the paragraph reads as before only if its white space
    // is swallowed as before; its mark does not depend on that.
    return !runs.last || blank == runs.blankAtEnd;
}

void OdtFormat::editStory(const Story& story, std::int64_t start, std::int64_t end, const std::u16string& text)
{
    ReplaceInOdt(story.text, story.nodes, start, end, text);
}

std::unique_ptr<DocumentFormat> OpenOdtFormat(const std::string& path) { return std::make_unique<OdtFormat>(path); }

}  // namespace tarnwick::word
