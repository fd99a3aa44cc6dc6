#include "engine/inside/OoxmlParts.h"

#include "word/automation/WordErrors.h"

namespace tarnwick::inside {
namespace {

bool endsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string readPart(const word::ZipPackage& package, const std::string& name)
{
    std::optional<std::string> bytes = package.read(name);
    if (!bytes) word::RefuseDamaged("der Teil " + name + " fehlt.");
    return std::move(*bytes);
}

}  // namespace

OoxmlParts::OoxmlParts(const word::ZipPackage& package) : m_package(package)
{
    for (const word::Relationship& relationship : word::ParseRelationships(readPart(package, "_rels/.rels"), "_rels/.rels"))
        if (!relationship.external && endsWith(relationship.type, "/officeDocument"))
            m_mainPart = word::ResolvePartName("", relationship.target);
    if (m_mainPart.empty()) word::RefuseDamaged("das Paket nennt keinen Hauptteil.");
    const std::string relationshipsPart = word::RelationshipsPartOf(m_mainPart);
    m_relationships = word::ParseRelationships(readPart(package, relationshipsPart), relationshipsPart);
}

void OoxmlParts::load(word::XmlPart& part, const std::string& name) const { part.load(readPart(m_package, name), name); }

bool OoxmlParts::loadIfPresent(word::XmlPart& part, const std::string& name) const
{
    const std::optional<std::string> bytes = m_package.read(name);
    if (bytes) part.load(*bytes, name);
    return bytes.has_value();
}

std::string OoxmlParts::target(std::string_view id) const
{
    for (const word::Relationship& relationship : m_relationships)
        if (!relationship.external && relationship.id == id)
            return word::ResolvePartName(word::FolderOf(m_mainPart), relationship.target);
    return {};
}

std::string OoxmlParts::targetOfType(std::string_view typeSuffix) const
{
    for (const word::Relationship& relationship : m_relationships)
        if (!relationship.external && endsWith(relationship.type, typeSuffix))
            return word::ResolvePartName(word::FolderOf(m_mainPart), relationship.target);
    return {};
}

}  // namespace tarnwick::inside
