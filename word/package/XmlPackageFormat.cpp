#include "word/package/XmlPackageFormat.h"

#include "word/automation/WordErrors.h"

#include <algorithm>
#include <limits>

namespace tarnwick::word {
namespace {

// True when `node` is `ancestor` or lies inside it.
bool isWithin(pugi::xml_node node, pugi::xml_node ancestor)
{
    for (; node; node = node.parent())
        if (node == ancestor) return true;
    return false;
}

}  // namespace

void XmlPackageFormat::loadStoryPart(const std::string& name, const std::string& bytes)
{
    m_partName = name;
    m_part.load(bytes, name);
    readStory(m_story, m_nodes);
}

void XmlPackageFormat::replace(std::int64_t start, std::int64_t end, const std::u16string& text)
{
    if (m_broken) Refuse(kErrorEditFailed, "Das Dokument wird nach einem Fehler beim Ersetzen nicht mehr geändert.");
    CheckReplacementText(text);
    CheckEditableSpan(m_story, start, end);
    if (start == end && text.empty()) return;
    if (m_story.size() - (end - start) + static_cast<std::int64_t>(text.size()) > kMaxStoryLength)
        Refuse(kErrorTooLarge, "Der Dokumenttext würde durch die Ersetzung zu lang.");
    // Looked up before the edit, which may remove nodes units still name.
    // Finding the paragraph costs its length: only when the runs will not do.
    const std::optional<EditedRuns> runs = readsRuns() ? runsAround(start, end) : std::nullopt;
    const std::optional<EditedParagraph> paragraph = runs ? std::nullopt : paragraphAround(start, end);
    editStory(start, end, text);
    m_changed = true;

    // From here on the XML is changed: whatever goes wrong, the story may
    // no longer match it, so the document must never be saved.
    try {
        if (runs) {
            if (!spliceRuns(*runs, start, end, text)) rereadStory(start, end, text);
        } else if (!paragraph || !spliceParagraph(*paragraph, start, end, text)) {
            rereadStory(start, end, text);
        }
    } catch (const ServerError& e) {
        // Not a refusal of this one span: the whole document is affected.
        m_broken = true;
        Refuse(kErrorEditFailed, e.description());
    } catch (...) {
        m_broken = true;
        throw;
    }
}

std::optional<XmlPackageFormat::EditedParagraph> XmlPackageFormat::paragraphAround(std::int64_t start, std::int64_t end) const
{
    const std::optional<ParagraphSpan> span = ParagraphAround(m_story, start, end);
    if (!span) return std::nullopt;
    const pugi::xml_node element = m_nodes[m_story.unit(span->mark).source];
    // The element must hold every unit of the span, or reading it again
    // would miss units a reader met between the previous mark and it.
    if (!isWithin(m_nodes[m_story.unit(span->first).source], element)) return std::nullopt;
    return EditedParagraph{*span, element};
}

std::optional<XmlPackageFormat::EditedRuns> XmlPackageFormat::runsAround(std::int64_t start, std::int64_t end) const
{
    if (start >= end) return std::nullopt;
    // The element holding a unit's source: a run for text, tabs and breaks.
    const auto holder = [&](std::int64_t i) { return m_nodes[m_story.unit(i).source].parent(); };
    const pugi::xml_node first = holder(start);
    const pugi::xml_node last = holder(end - 1);
    if (first.type() != pugi::node_element || last.type() != pugi::node_element || first.parent() != last.parent())
        return std::nullopt;
    ParagraphSpan span{start, end - 1};
    while (span.first > 0 && holder(span.first - 1) == first) --span.first;
    while (span.mark + 1 < m_story.size() && holder(span.mark + 1) == last) ++span.mark;
    return EditedRuns{span, first, last, first.parent()};
}

bool XmlPackageFormat::spliceRuns(const EditedRuns& runs, std::int64_t start, std::int64_t end, const std::u16string& text)
{
    StoryText part;
    std::vector<pugi::xml_node> nodes;
    if (!readRuns(runs, part, nodes)) return false;
    return splicePart(runs.span, part, nodes, start, end, text);
}

bool XmlPackageFormat::spliceParagraph(const EditedParagraph& edited, std::int64_t start, std::int64_t end,
                                       const std::u16string& text)
{
    const ParagraphSpan& paragraph = edited.span;
    StoryText part;
    std::vector<pugi::xml_node> nodes;
    if (!readParagraph(edited.element, part, nodes) || part.size() == 0) return false;
    // Whether its mark is a cell's mark depends on the paragraphs after it
    // in the cell, which the edit did not change.
    if (m_story.unit(paragraph.mark).kind == UnitKind::CellEnd && MakeCellMark(part.units(), part.size() - 1)) part.index();
    return splicePart(paragraph, part, nodes, start, end, text);
}

bool XmlPackageFormat::splicePart(const ParagraphSpan& paragraph, StoryText& part, const std::vector<pugi::xml_node>& nodes,
                                  std::int64_t start, std::int64_t end, const std::u16string& text)
{
    if (!ReadsAsReplaced(m_story, paragraph, part, start, end, text)) return false;

    if (m_nodes.size() + nodes.size() > std::numeric_limits<std::uint32_t>::max()) compactNodes();
    std::int64_t oldSources = 0;
    for (std::int64_t i = paragraph.first; i <= paragraph.mark; ++i)
        if (i == paragraph.first || m_story.unit(i).source != m_story.unit(i - 1).source) ++oldSources;
    const auto base = static_cast<std::uint32_t>(m_nodes.size());
    m_story.splice(paragraph.first, paragraph.mark + 1, part, base);
    m_nodes.insert(m_nodes.end(), nodes.begin(), nodes.end());
    m_unusedNodes += static_cast<std::size_t>(oldSources);
    if (m_unusedNodes > m_nodes.size() / 2) compactNodes();
    return true;
}

void XmlPackageFormat::rereadStory(std::int64_t start, std::int64_t end, const std::u16string& text)
{
    StoryText rebuilt;
    std::vector<pugi::xml_node> nodes;
    readStory(rebuilt, nodes);
    std::swap(rebuilt, m_story);
    std::swap(nodes, m_nodes);
    m_unusedNodes = 0;
    ++m_fullRereads;
    VerifyReplacement(rebuilt, m_story, start, end, text);
}

void XmlPackageFormat::compactNodes()
{
    constexpr std::uint32_t kUnseen = std::numeric_limits<std::uint32_t>::max();
    std::vector<std::uint32_t> renumbered(m_nodes.size(), kUnseen);
    std::vector<pugi::xml_node> used;
    used.reserve(m_nodes.size() - std::min(m_unusedNodes, m_nodes.size()));
    for (Unit& unit : m_story.units()) {
        std::uint32_t& id = renumbered[unit.source];
        if (id == kUnseen) {
            id = static_cast<std::uint32_t>(used.size());
            used.push_back(m_nodes[unit.source]);
        }
        unit.source = id;
    }
    m_nodes.swap(used);
    m_unusedNodes = 0;
}

void XmlPackageFormat::save()
{
    if (m_broken) Refuse(kErrorSaveFailed, "Das Dokument wird nach einem Fehler beim Ersetzen nicht gespeichert.");
    if (!m_changed) return;
    m_package.saveReplacing(m_partName, m_part.serialize());
    m_changed = false;
}

}  // namespace tarnwick::word
