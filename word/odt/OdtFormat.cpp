#include "word/odt/OdtFormat.h"

#include "word/automation/WordErrors.h"
#include "word/odt/OdtEditor.h"
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
    for (const pugi::xml_node entry : root.children()) {
        if (entry.type() != pugi::node_element) continue;
        ScopeEntry entryScope(scope, entry);
        for (const pugi::xml_node data : entry.children()) {
            if (data.type() != pugi::node_element) continue;
            ScopeEntry dataScope(scope, data);
            if (scope.nameOf(data).is(Ns::Manifest, "encryption-data"))
                Refuse(kErrorEncrypted, "Das Dokument ist verschlüsselt.");
        }
    }
}

}  // namespace

OdtFormat::OdtFormat(const std::string& path) : XmlPackageFormat(path)
{
    checkMediaType(m_package);
    refuseEncrypted(m_package);
    const std::optional<std::string> content = m_package.read(kContentPart);
    if (!content) Refuse(kErrorDamaged, "Dem OpenDocument-Paket fehlt content.xml.");
    loadStoryPart(kContentPart, *content);
}

void OdtFormat::readStory(StoryText& story, std::vector<pugi::xml_node>& nodes) const
{
    ReadOdtStory(m_part.document(), story, nodes);
}

bool OdtFormat::readParagraph(pugi::xml_node paragraph, StoryText& story, std::vector<pugi::xml_node>& nodes) const
{
    return ReadOdtParagraph(paragraph, story, nodes);
}

void OdtFormat::editStory(std::int64_t start, std::int64_t end, const std::u16string& text)
{
    ReplaceInOdt(m_story, m_nodes, start, end, text);
}

std::unique_ptr<DocumentFormat> OpenOdtFormat(const std::string& path) { return std::make_unique<OdtFormat>(path); }

}  // namespace tarnwick::word
