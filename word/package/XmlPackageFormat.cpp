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

bool readAlike(const StoryText& a, const StoryText& b)
{
    if (a.size() != b.size()) return false;
    for (std::int64_t i = 0; i < a.size(); ++i)
        if (a.unit(i).value != b.unit(i).value || a.unit(i).kind != b.unit(i).kind || a.unit(i).flags != b.unit(i).flags)
            return false;
    return true;
}

}  // namespace

void XmlPackageFormat::loadStoryPart(const std::string& name, const std::string& bytes)
{
    Part& part = m_parts.emplace_back();
    part.name = name;
    part.xml.load(bytes, name);
    Story& story = m_stories.emplace_back();
    story.part = &part;
    m_main = &story;
    readStory(story, story.text, story.nodes);
}

XmlPackageFormat::Part* XmlPackageFormat::partNamed(const std::string& name)
{
    for (Part& part : m_parts)
        if (part.name == name) return &part;
    const std::optional<std::string> bytes = m_package.read(name);
    if (!bytes) return nullptr;
    Part& part = m_parts.emplace_back();
    part.name = name;
    try {
        part.xml.load(*bytes, name);
    } catch (...) {
        // Half a part must never pass for the part, nor be written back.
        m_parts.pop_back();
        throw;
    }
    return &part;
}

XmlPackageFormat::Story& XmlPackageFormat::addStory(StoryKind kind, Part& part, pugi::xml_node root)
{
    Story& story = m_stories.emplace_back();
    story.id = StoryId{kind, 0};
    story.part = &part;
    story.root = root;
    try {
        readStory(story, story.text, story.nodes);
    } catch (const ServerError& e) {
        story.text = StoryText();
        story.nodes.clear();
        story.failure = e;
    }
    return story;
}

void XmlPackageFormat::addUnreadableStory(StoryKind kind, const ServerError& error)
{
    Story& story = m_stories.emplace_back();
    story.id = StoryId{kind, 0};
    story.failure = error;
}

void XmlPackageFormat::addUnreadableStories(std::vector<StoryKind> kinds, const ServerError& error)
{
    m_unreadableParts.push_back(UnreadableStories{std::move(kinds), 0, error.number(), error.description()});
}

void XmlPackageFormat::addMirror(Story& story, pugi::xml_node root)
{
    if (story.failure) return;
    Story& mirror = m_mirrors.emplace_back();
    mirror.id = story.id;
    mirror.part = story.part;
    mirror.root = root;
    try {
        readStory(mirror, mirror.text, mirror.nodes);
    } catch (const ServerError&) {
        // A copy that cannot be read cannot be kept alike either.
        m_mirrors.pop_back();
        story.unmatchedCopy = true;
        return;
    }
    if (readAlike(mirror.text, story.text))
        story.mirror = &mirror;
    else
        story.unmatchedCopy = true;
}

std::vector<StoryId> XmlPackageFormat::stories()
{
    if (m_order.empty()) {
        m_main->id = StoryId{};
        try {
            findOtherStories();
        } catch (...) {
            // What was found so far is not a consistent list.
            m_stories.resize(1);
            m_mirrors.clear();
            m_unreadableParts.clear();
            throw;
        }
        std::vector<StoryKind> kinds;
        for (const Story& story : m_stories) kinds.push_back(story.id.kind);
        std::vector<std::size_t> order;
        const std::vector<StoryId> ids = NumberStories(kinds, order);
        for (std::size_t i = 0; i < m_stories.size(); ++i) m_stories[i].id = ids[i];
        for (const std::size_t i : order)
            if (!m_stories[i].failure) m_order.push_back(&m_stories[i]);
        for (Story& story : m_stories)
            if (story.mirror) story.mirror->id = story.id;
    }
    std::vector<StoryId> ids;
    for (const Story* story : m_order) ids.push_back(story->id);
    return ids;
}

std::vector<UnreadableStories> XmlPackageFormat::unreadableStories()
{
    stories();
    std::vector<UnreadableStories> unreadable;
    for (const Story& story : m_stories)
        if (story.failure)
            unreadable.push_back({{story.id.kind}, story.id.number, story.failure->number(), story.failure->description()});
    unreadable.insert(unreadable.end(), m_unreadableParts.begin(), m_unreadableParts.end());
    return unreadable;
}

XmlPackageFormat::Story& XmlPackageFormat::storyOf(StoryId id)
{
    if (id.isMainText() && id.number == 1) return *m_main;
    if (m_order.empty()) stories();
    for (Story* story : m_order)
        if (story->id == id) return *story;
    // A story that could not be read says why.
    for (const Story& story : m_stories)
        if (story.failure && story.id == id) throw *story.failure;
    RefuseStory(id);
}

void XmlPackageFormat::replace(std::int64_t start, std::int64_t end, const std::u16string& text)
{
    replaceInStory(*m_main, start, end, text);
}

void XmlPackageFormat::replaceIn(StoryId id, std::int64_t start, std::int64_t end, const std::u16string& text)
{
    Story& story = storyOf(id);
    if (story.unmatchedCopy)
        Refuse(kErrorRefusedSpan, "Das Textfeld ist zweimal gespeichert, in verschiedenen Fassungen, und wird nicht ersetzt.");
    replaceInStory(story, start, end, text);
    Story* mirror = story.mirror;
    if (!mirror) return;
    // The copy follows for as long as it can; once it cannot, readers that
    // take it keep its older text, and it is left alone from then on.
    story.mirror = nullptr;
    try {
        replaceInStory(*mirror, start, end, text);
    } catch (const ServerError& e) {
        if (e.number() != kErrorRefusedSpan && e.number() != kErrorRefusedText) throw;
        return;
    }
    story.mirror = mirror;
}

void XmlPackageFormat::replaceInStory(Story& story, std::int64_t start, std::int64_t end, const std::u16string& text)
{
    if (m_broken) Refuse(kErrorEditFailed, "Das Dokument wird nach einem Fehler beim Ersetzen nicht mehr geändert.");
    CheckReplacementText(text);
    CheckEditableSpan(story.text, start, end);
    if (start == end && text.empty()) return;
    if (story.text.size() - (end - start) + static_cast<std::int64_t>(text.size()) > kMaxStoryLength)
        Refuse(kErrorTooLarge, "Der Dokumenttext würde durch die Ersetzung zu lang.");
    // Looked up before the edit, which may remove nodes units still name.
    // Finding the paragraph costs its length: only when the runs will not do.
    const std::optional<EditedRuns> runs = readsRuns() ? runsAround(story, start, end) : std::nullopt;
    const std::optional<EditedParagraph> paragraph = runs ? std::nullopt : paragraphAround(story, start, end);
    editStory(story, start, end, text);
    story.part->changed = true;

    // From here on the XML is changed: whatever goes wrong, the story may
    // no longer match it, so the document must never be saved.
    try {
        if (runs) {
            if (!spliceRuns(story, *runs, start, end, text)) rereadStory(story, start, end, text);
        } else if (!paragraph || !spliceParagraph(story, *paragraph, start, end, text)) {
            rereadStory(story, start, end, text);
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

std::optional<XmlPackageFormat::EditedParagraph> XmlPackageFormat::paragraphAround(const Story& story, std::int64_t start,
                                                                                   std::int64_t end) const
{
    const std::optional<ParagraphSpan> span = ParagraphAround(story.text, start, end);
    if (!span) return std::nullopt;
    const pugi::xml_node element = story.nodes[story.text.unit(span->mark).source];
    // The element must hold every unit of the span, or reading it again
    // would miss units a reader met between the previous mark and it.
    if (!isWithin(story.nodes[story.text.unit(span->first).source], element)) return std::nullopt;
    return EditedParagraph{*span, element};
}

std::optional<XmlPackageFormat::EditedRuns> XmlPackageFormat::runsAround(const Story& story, std::int64_t start,
                                                                         std::int64_t end) const
{
    if (start >= end) return std::nullopt;
    // The element holding a unit's source: a run for text, tabs and breaks.
    const auto holder = [&](std::int64_t i) { return story.nodes[story.text.unit(i).source].parent(); };
    const pugi::xml_node first = holder(start);
    const pugi::xml_node last = holder(end - 1);
    if (first.type() != pugi::node_element || last.type() != pugi::node_element || first.parent() != last.parent())
        return std::nullopt;
    ParagraphSpan span{start, end - 1};
    while (span.first > 0 && holder(span.first - 1) == first) --span.first;
    while (span.mark + 1 < story.text.size() && holder(span.mark + 1) == last) ++span.mark;
    return EditedRuns{span, first, last, first.parent()};
}

bool XmlPackageFormat::spliceRuns(Story& story, const EditedRuns& runs, std::int64_t start, std::int64_t end,
                                  const std::u16string& text)
{
    StoryText part;
    std::vector<pugi::xml_node> nodes;
    if (!readRuns(story, runs, part, nodes)) return false;
    return splicePart(story, runs.span, part, nodes, start, end, text);
}

bool XmlPackageFormat::spliceParagraph(Story& story, const EditedParagraph& edited, std::int64_t start, std::int64_t end,
                                       const std::u16string& text)
{
    const ParagraphSpan& paragraph = edited.span;
    StoryText part;
    std::vector<pugi::xml_node> nodes;
    if (!readParagraph(story, edited.element, part, nodes) || part.size() == 0) return false;
    // Whether its mark is a cell's mark depends on the paragraphs after it
    // in the cell, which the edit did not change.
    if (story.text.unit(paragraph.mark).kind == UnitKind::CellEnd && MakeCellMark(part.units(), part.size() - 1)) part.index();
    return splicePart(story, paragraph, part, nodes, start, end, text);
}

bool XmlPackageFormat::splicePart(Story& story, const ParagraphSpan& paragraph, StoryText& part,
                                  const std::vector<pugi::xml_node>& nodes, std::int64_t start, std::int64_t end,
                                  const std::u16string& text)
{
    if (!ReadsAsReplaced(story.text, paragraph, part, start, end, text)) return false;

    if (story.nodes.size() + nodes.size() > std::numeric_limits<std::uint32_t>::max()) compactNodes(story);
    std::int64_t oldSources = 0;
    for (std::int64_t i = paragraph.first; i <= paragraph.mark; ++i)
        if (i == paragraph.first || story.text.unit(i).source != story.text.unit(i - 1).source) ++oldSources;
    const auto base = static_cast<std::uint32_t>(story.nodes.size());
    story.text.splice(paragraph.first, paragraph.mark + 1, part, base);
    story.nodes.insert(story.nodes.end(), nodes.begin(), nodes.end());
    story.unusedNodes += static_cast<std::size_t>(oldSources);
    if (story.unusedNodes > story.nodes.size() / 2) compactNodes(story);
    return true;
}

void XmlPackageFormat::rereadStory(Story& story, std::int64_t start, std::int64_t end, const std::u16string& text)
{
    StoryText rebuilt;
    std::vector<pugi::xml_node> nodes;
    readStory(story, rebuilt, nodes);
    std::swap(rebuilt, story.text);
    std::swap(nodes, story.nodes);
    story.unusedNodes = 0;
    ++m_fullRereads;
    VerifyReplacement(rebuilt, story.text, start, end, text);
}

void XmlPackageFormat::compactNodes(Story& story)
{
    constexpr std::uint32_t kUnseen = std::numeric_limits<std::uint32_t>::max();
    std::vector<std::uint32_t> renumbered(story.nodes.size(), kUnseen);
    std::vector<pugi::xml_node> used;
    used.reserve(story.nodes.size() - std::min(story.unusedNodes, story.nodes.size()));
    for (Unit& unit : story.text.units()) {
        std::uint32_t& id = renumbered[unit.source];
        if (id == kUnseen) {
            id = static_cast<std::uint32_t>(used.size());
            used.push_back(story.nodes[unit.source]);
        }
        unit.source = id;
    }
    story.nodes.swap(used);
    story.unusedNodes = 0;
}

void XmlPackageFormat::save()
{
    if (m_broken) Refuse(kErrorSaveFailed, "Das Dokument wird nach einem Fehler beim Ersetzen nicht gespeichert.");
    std::vector<std::pair<std::string, std::string>> changed;
    for (const Part& part : m_parts)
        if (part.changed) changed.emplace_back(part.name, part.xml.serialize());
    if (changed.empty()) return;
    m_package.saveReplacing(changed);
    for (Part& part : m_parts) part.changed = false;
}

}  // namespace tarnwick::word
