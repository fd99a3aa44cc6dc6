#include "word/docx/DocxFormat.h"

#include "word/automation/WordErrors.h"
#include "word/docx/DocxEditor.h"
#include "word/package/PackageFormats.h"
#include "word/package/PackageRelationships.h"
#include "word/story/EditChecks.h"

#include <array>

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

RelationshipTargets externalTargetsOf(const ZipPackage& package, const std::string& mainPart)
{
    RelationshipTargets targets;
    const std::string relsName = RelationshipsPartOf(mainPart);
    const std::optional<std::string> rels = package.read(relsName);
    if (!rels) return targets;
    for (const Relationship& r : ParseRelationships(*rels, relsName))
        if (r.external) targets.emplace(r.id, r.target);
    return targets;
}

}  // namespace

DocxFormat::DocxFormat(const std::string& path) : XmlPackageFormat(path)
{
    const std::string mainPart = mainPartOf(m_package);
    const std::optional<std::string> bytes = m_package.read(mainPart);
    if (!bytes) RefuseDamaged("der Hauptdokumentteil " + mainPart + " fehlt im Paket.");
    m_links = externalTargetsOf(m_package, mainPart);
    loadStoryPart(mainPart, *bytes);
}

void DocxFormat::readStory(StoryText& story, std::vector<pugi::xml_node>& nodes) const
{
    ReadDocxStory(m_part.document(), m_links, story, nodes);
}

bool DocxFormat::readParagraph(pugi::xml_node paragraph, StoryText& story, std::vector<pugi::xml_node>& nodes) const
{
    return ReadDocxParagraph(paragraph, m_links, story, nodes);
}

bool DocxFormat::readRuns(const EditedRuns& runs, StoryText& story, std::vector<pugi::xml_node>& nodes) const
{
    return ReadDocxRuns(runs.first, runs.last, m_links, story, nodes);
}

void DocxFormat::editStory(std::int64_t start, std::int64_t end, const std::u16string& text)
{
    ReplaceInDocx(m_story, m_nodes, start, end, text);
}

std::unique_ptr<DocumentFormat> OpenDocxFormat(const std::string& path) { return std::make_unique<DocxFormat>(path); }

}  // namespace tarnwick::word
