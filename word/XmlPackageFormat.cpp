#include "word/XmlPackageFormat.h"

#include "word/EditChecks.h"
#include "word/WordErrors.h"

namespace tarnwick::word {

void XmlPackageFormat::loadStoryPart(const std::string& name, const std::string& bytes)
{
    m_partName = name;
    m_part.load(bytes, name);
    readStory(m_story, m_nodes);
}

void XmlPackageFormat::replace(std::int64_t start, std::int64_t end, const std::u16string& text)
{
    if (m_broken) Refuse(kErrorRefusedSpan, "Das Dokument wird nach einem Fehler beim Ersetzen nicht mehr geändert.");
    CheckReplacementText(text);
    CheckEditableSpan(m_story, start, end);
    if (start == end && text.empty()) return;
    editStory(start, end, text);
    m_changed = true;

    StoryText rebuilt;
    std::vector<pugi::xml_node> nodes;
    readStory(rebuilt, nodes);
    std::swap(rebuilt, m_story);
    std::swap(nodes, m_nodes);
    try {
        VerifyReplacement(rebuilt, m_story, start, end, text);
    } catch (...) {
        m_broken = true;
        throw;
    }
}

void XmlPackageFormat::save()
{
    if (m_broken) Refuse(kErrorSaveFailed, "Das Dokument wird nach einem Fehler beim Ersetzen nicht gespeichert.");
    if (!m_changed) return;
    m_package.saveReplacing(m_partName, m_part.serialize());
    m_changed = false;
}

}  // namespace tarnwick::word
