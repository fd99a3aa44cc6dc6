#include "word/docx/DocxFormat.h"

#include "word/automation/WordErrors.h"
#include "word/docx/DocxEditor.h"
#include "word/package/PackageFormats.h"
#include "word/package/PackageRelationships.h"
#include "word/package/XmlNames.h"
#include "word/story/EditChecks.h"

#include <algorithm>
#include <array>
#include <optional>

namespace tarnwick::word {
namespace {

constexpr std::array<std::string_view, 2> kOfficeDocumentTypes = {
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument",
    "http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument",
};

std::string mainPartOf(const ZipPackage& package)
{
    const std::optional<std::string> rels = package.read("_rels/.rels");
    if (!rels) Refuse(kErrorDamaged, "Die Datei ist kein Textdokument im Open-XML-Format (_rels/.rels fehlt).");
    for (const Relationship& r : ParseRelationships(*rels, "_rels/.rels")) {
        if (r.external) continue;
        for (const std::string_view type : kOfficeDocumentTypes)
            if (r.type == type) return ResolvePartName("", r.target);
    }
    Refuse(kErrorDamaged, "Das Paket nennt keinen Hauptdokumentteil.");
}

std::vector<Relationship> relationshipsOf(const ZipPackage& package, const std::string& part)
{
    const std::string relsName = RelationshipsPartOf(part);
    const std::optional<std::string> rels = package.read(relsName);
    if (!rels) return {};
    return ParseRelationships(*rels, relsName);
}

RelationshipTargets externalTargets(const std::vector<Relationship>& relationships)
{
    RelationshipTargets targets;
    for (const Relationship& r : relationships)
        if (r.external) targets.emplace(r.id, r.target);
    return targets;
}

bool endsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// The w:txbxContent elements below `node`, in document order; of markup
// kept in two versions, those of the first.
void collectTextBoxes(NamespaceScope& scope, pugi::xml_node node, std::vector<pugi::xml_node>& found)
{
    VisitElements(scope, node, [&](pugi::xml_node c, QName name) {
        if (name.is(Ns::W, "txbxContent")) found.push_back(c);
        return !name.is(Ns::MC, "Fallback");
    });
}

}  // namespace

DocxFormat::DocxFormat(const std::string& path) : XmlPackageFormat(path)
{
    m_mainPart = mainPartOf(m_package);
    const std::optional<std::string> bytes = m_package.read(m_mainPart);
    if (!bytes) RefuseDamaged("der Hauptdokumentteil " + m_mainPart + " fehlt im Paket.");
    m_relationships = relationshipsOf(m_package, m_mainPart);
    m_links[m_mainPart] = externalTargets(m_relationships);
    loadStoryPart(m_mainPart, *bytes);
}

const RelationshipTargets& DocxFormat::linksOf(const Story& story) const
{
    static const RelationshipTargets kNone;
    const auto it = m_links.find(story.part->name);
    return it == m_links.end() ? kNone : it->second;
}

std::string DocxFormat::relatedPartName(const std::string& id) const
{
    for (const Relationship& r : m_relationships)
        if (!r.external && r.id == id) return ResolvePartName(FolderOf(m_mainPart), r.target);
    return {};
}

XmlPackageFormat::Part* DocxFormat::loadRelated(const std::string& name)
{
    if (name.empty()) return nullptr;
    Part* part = partNamed(name);
    if (part && !m_links.count(name)) m_links[name] = externalTargets(relationshipsOf(m_package, name));
    return part;
}

XmlPackageFormat::Part* DocxFormat::relatedPartOfType(std::string_view typeSuffix)
{
    for (const Relationship& r : m_relationships)
        if (!r.external && endsWith(r.type, typeSuffix)) return loadRelated(relatedPartName(r.id));
    return nullptr;
}

void DocxFormat::findOtherStories()
{
    // Headers and footers in the order the sections name them, each part once.
    std::vector<std::string> headerNames, footerNames;
    NamespaceScope scope;
    const pugi::xml_node root = m_main->part->xml.document().document_element();
    ScopeEntry rootEntry(scope, root);
    VisitElements(scope, root, [&](pugi::xml_node c, QName name) {
        const bool header = name.is(Ns::W, "headerReference");
        if (!header && !name.is(Ns::W, "footerReference")) return !name.is(Ns::W, "txbxContent");
        const std::string part = relatedPartName(scope.attribute(c, Ns::R, "id").value());
        std::vector<std::string>& list = header ? headerNames : footerNames;
        if (!part.empty() && std::find(list.begin(), list.end(), part) == list.end()) list.push_back(part);
        return false;
    });
    // A header or footer part that cannot be read is one story that cannot
    // be read; the document's other parts are read all the same.
    struct Loaded {
        Part* part = nullptr;
        std::optional<ServerError> failure;
    };
    const auto load = [&](const std::vector<std::string>& names) {
        std::vector<Loaded> loaded;
        for (const std::string& name : names) {
            try {
                if (Part* part = loadRelated(name)) loaded.push_back({part, std::nullopt});
            } catch (const ServerError& e) {
                loaded.push_back({nullptr, e});
            }
        }
        return loaded;
    };
    const auto addWhole = [&](StoryKind kind, const Loaded& loaded) {
        if (loaded.part)
            addStory(kind, *loaded.part, loaded.part->xml.document().document_element());
        else
            addUnreadableStory(kind, *loaded.failure);
    };
    const std::vector<Loaded> headers = load(headerNames);
    const std::vector<Loaded> footers = load(footerNames);
    for (const Loaded& header : headers) addWhole(StoryKind::Header, header);
    addNotes("/footnotes", "footnote", StoryKind::Footnote);
    addNotes("/endnotes", "endnote", StoryKind::Endnote);
    try {
        if (Part* comments = relatedPartOfType("/comments")) {
            NamespaceScope commentScope;
            const pugi::xml_node commentsRoot = comments->xml.document().document_element();
            ScopeEntry entry(commentScope, commentsRoot);
            VisitElements(commentScope, commentsRoot, [&](pugi::xml_node c, QName name) {
                if (name.is(Ns::W, "comment")) addStory(StoryKind::Comment, *comments, c);
                return false;
            });
        }
    } catch (const ServerError& e) {
        addUnreadableStories({StoryKind::Comment}, e);
    }
    // Text boxes: those of the main text, then those of the headers and footers.
    addTextBoxes(*m_main->part, root);
    for (const std::vector<Loaded>* list : {&headers, &footers})
        for (const Loaded& loaded : *list)
            if (loaded.part) addTextBoxes(*loaded.part, loaded.part->xml.document().document_element());
    for (const Loaded& footer : footers) addWhole(StoryKind::Footer, footer);
}

void DocxFormat::addNotes(std::string_view typeSuffix, std::string_view element, StoryKind kind)
{
    Part* part = nullptr;
    try {
        part = relatedPartOfType(typeSuffix);
    } catch (const ServerError& e) {
        addUnreadableStories({kind}, e);
        return;
    }
    if (!part) return;
    NamespaceScope scope;
    const pugi::xml_node root = part->xml.document().document_element();
    ScopeEntry entry(scope, root);
    VisitElements(scope, root, [&](pugi::xml_node c, QName name) {
        // Separators and continuation notices are no notes of the text.
        const std::string_view type = scope.attribute(c, Ns::W, "type").value();
        if (name.is(Ns::W, element) && (type.empty() || type == "normal")) addStory(kind, *part, c);
        return false;
    });
}

void DocxFormat::addTextBoxes(Part& part, pugi::xml_node root)
{
    NamespaceScope scope;
    EnterAncestors(scope, root);
    ScopeEntry rootEntry(scope, root);
    VisitElements(scope, root, [&](pugi::xml_node c, QName name) {
        if (name.is(Ns::W, "txbxContent")) {
            addStory(StoryKind::TextBox, part, c);
            return true;
        }
        if (!name.is(Ns::MC, "AlternateContent")) return true;
        // A writer keeps a text box twice: for readers of the newer markup
        // (the choice) and for older ones (the fallback). Edits go to both.
        std::vector<pugi::xml_node> chosen, fallback;
        for (const pugi::xml_node branch : c.children()) {
            if (branch.type() != pugi::node_element) continue;
            ScopeEntry branchEntry(scope, branch);
            const QName branchName = scope.nameOf(branch);
            if (branchName.is(Ns::MC, "Choice") && chosen.empty())
                collectTextBoxes(scope, branch, chosen);
            else if (branchName.is(Ns::MC, "Fallback"))
                collectTextBoxes(scope, branch, fallback);
        }
        if (chosen.empty()) return true;
        for (std::size_t i = 0; i < chosen.size(); ++i) {
            Story& story = addStory(StoryKind::TextBox, part, chosen[i]);
            // Copies that do not pair up one to one cannot be kept alike.
            if (chosen.size() == fallback.size())
                addMirror(story, fallback[i]);
            else if (!fallback.empty())
                story.unmatchedCopy = true;
        }
        return false;
    });
}

void DocxFormat::readStory(const Story& story, StoryText& text, std::vector<pugi::xml_node>& nodes) const
{
    if (!story.root)
        ReadDocxStory(story.part->xml.document(), linksOf(story), text, nodes);
    else
        ReadDocxStoryIn(story.root, linksOf(story), text, nodes);
}

bool DocxFormat::readParagraph(const Story& story, pugi::xml_node paragraph, StoryText& text,
                               std::vector<pugi::xml_node>& nodes) const
{
    return ReadDocxParagraph(paragraph, linksOf(story), text, nodes);
}

bool DocxFormat::readRuns(const Story& story, const EditedRuns& runs, StoryText& text, std::vector<pugi::xml_node>& nodes) const
{
    return ReadDocxRuns(runs.first, runs.last, linksOf(story), text, nodes);
}

void DocxFormat::editStory(const Story& story, std::int64_t start, std::int64_t end, const std::u16string& text)
{
    ReplaceInDocx(story.text, story.nodes, start, end, text);
}

std::unique_ptr<DocumentFormat> OpenDocxFormat(const std::string& path) { return std::make_unique<DocxFormat>(path); }

}  // namespace tarnwick::word
