#include "word/rtf/RtfDocument.h"

#include <cerrno>

#include "platform/FileCommit.h"
#include "platform/SystemError.h"
#include "word/automation/WordErrors.h"
#include "word/format/DocumentFile.h"
#include "word/rtf/RtfEditor.h"

namespace tarnwick::word {
namespace {

// The source of a unit an edit added before its bytes were written.
constexpr std::uint32_t kNoBytesYet = 0xFFFFFFFF;

bool anyDoubleByte(const std::vector<RtfStory>& stories)
{
    for (const RtfStory& story : stories)
        for (const bool doubleByte : story.doubleByte)
            if (doubleByte) return true;
    return false;
}

bool sameValues(const StoryText& a, const StoryText& b)
{
    bool same = a.size() == b.size();
    for (std::int64_t i = 0; same && i < a.size(); ++i) same = a.unit(i).value == b.unit(i).value;
    return same;
}

// The units `text` reads as once written (EscapeRtfText), with no bytes yet.
StoryText unitsOf(const std::u16string& text)
{
    StoryText part;
    std::vector<Unit>& units = part.units();
    units.reserve(text.size());
    for (const char16_t c : text) {
        Unit unit;
        unit.value = c == u'\n' ? u'\v' : c;
        unit.kind = c == u'\t' ? UnitKind::Tab : (c == u'\n' || c == u'\v') ? UnitKind::LineBreak : UnitKind::Text;
        unit.source = kNoBytesYet;
        units.push_back(unit);
    }
    part.index();
    return part;
}

}  // namespace

RtfDocument::RtfDocument(std::string path, std::string bytes, FileIdentity identity)
    : m_path(std::move(path)), m_bytes(std::move(bytes)), m_saved(m_bytes), m_identity(identity)
{
    m_stories.push_back(ReadRtf(m_bytes));
    m_anyDoubleByte = anyDoubleByte(m_stories);
}

std::vector<RtfStory> RtfDocument::read(std::string_view bytes) const
{
    if (!m_allStories) return {ReadRtf(bytes)};
    return ReadRtfStories(bytes).stories;
}

std::vector<StoryId> RtfDocument::stories()
{
    if (!m_allStories) {
        // The edits so far go into the bytes, from which every story is read.
        applyPending();
        RtfStories all = ReadRtfStories(m_bytes);
        m_ids = NumberStories(all.kinds, m_order);
        m_stories = std::move(all.stories);
        m_allStories = true;
        m_anyDoubleByte = anyDoubleByte(m_stories);
    }
    std::vector<StoryId> ids;
    for (const std::size_t i : m_order) ids.push_back(m_ids[i]);
    return ids;
}

std::size_t RtfDocument::indexOf(StoryId id)
{
    if (id.isMainText() && id.number == 1) return 0;
    stories();
    for (std::size_t i = 0; i < m_ids.size(); ++i)
        if (m_ids[i] == id) return i;
    RefuseStory(id);
}

std::unique_ptr<RtfDocument> RtfDocument::open(const std::string& path)
{
    FileIdentity identity;
    std::string bytes = ReadDocumentFile(path, &identity);
    return std::unique_ptr<RtfDocument>(new RtfDocument(path, std::move(bytes), identity));
}

std::unique_ptr<RtfDocument> RtfDocument::fromBytes(std::string bytes)
{
    return std::unique_ptr<RtfDocument>(new RtfDocument({}, std::move(bytes)));
}

bool RtfDocument::touchesPending(const RtfStory& rtf, std::int64_t start, std::int64_t end) const
{
    // The planned edit reads the units it replaces and their neighbours.
    const StoryText& story = rtf.story;
    for (std::int64_t i = std::max<std::int64_t>(start - 1, 0); i < std::min(end + 1, story.size()); ++i)
        if (story.unit(i).source == kNoBytesYet) return true;
    return false;
}

void RtfDocument::replace(std::int64_t start, std::int64_t end, const std::u16string& text)
{
    replaceInStory(0, start, end, text);
}

void RtfDocument::replaceIn(StoryId id, std::int64_t start, std::int64_t end, const std::u16string& text)
{
    replaceInStory(indexOf(id), start, end, text);
}

void RtfDocument::replaceInStory(std::size_t index, std::int64_t start, std::int64_t end, const std::u16string& text)
{
    if (m_broken) Refuse(kErrorEditFailed, "Das Dokument wird nach einem Fehler beim Ersetzen nicht mehr geändert.");
    if (start == end && text.empty()) return;
    RtfStory& story = m_stories[index];
    if (m_anyDoubleByte && !m_allStories) {
        // Which units are double-byte is known only for the story as read:
        // edit the bytes at once, as the story's positions change.
        RtfEdit edit = EditRtf(m_bytes, story, start, end, text);
        m_bytes = std::move(edit.bytes);
        story = std::move(edit.story);
        m_anyDoubleByte = anyDoubleByte(m_stories);
        return;
    }
    // applyPending() reads every story again: m_stories[index] is looked up anew.
    if (touchesPending(story, start, end)) applyPending();
    RtfCut cut = PlanRtfEdit(m_bytes, m_stories[index], start, end, text);
    // Collected edits are written in one pass from front to back.
    if (!m_pending.empty() && cut.insertAt < m_pending.back().end()) {
        applyPending();
        cut = PlanRtfEdit(m_bytes, m_stories[index], start, end, text);
    }
    m_pending.push_back(std::move(cut));
    m_stories[index].story.splice(start, end, unitsOf(text), 0);
    // The same reason as above, for every story: written and read back at once.
    if (m_anyDoubleByte) applyPending();
}

void RtfDocument::applyPending()
{
    if (m_pending.empty()) return;
    std::string bytes = ApplyRtfEdits(m_bytes, m_pending);
    std::vector<RtfStory> stories = read(bytes);
    // Anything but the stories the edits made means one of them landed where
    // it changes other text.
    bool same = stories.size() == m_stories.size();
    for (std::size_t i = 0; same && i < stories.size(); ++i) same = sameValues(stories[i].story, m_stories[i].story);
    same = same && RtfGroupsNestAlike(m_bytes, bytes);
    if (!same) {
        m_broken = true;
        m_pending.clear();
        Refuse(kErrorEditFailed,
               "Die Ersetzungen ließen sich in diesem Dokument nicht genau abbilden; es wird nicht gespeichert.");
    }
    m_bytes = std::move(bytes);
    m_stories = std::move(stories);
    m_pending.clear();
    m_anyDoubleByte = anyDoubleByte(m_stories);
}

const std::string& RtfDocument::bytes()
{
    applyPending();
    return m_bytes;
}

void RtfDocument::save()
{
    if (m_path.empty()) Refuse(kErrorNotWritable, "Das Dokument hat keine Datei.");
    if (m_broken) Refuse(kErrorSaveFailed, "Das Dokument wird nach einem Fehler beim Ersetzen nicht gespeichert.");
    applyPending();
    SaveDocumentFile(m_path, m_saved, m_identity, m_bytes);
    m_saved = m_bytes;
}

}  // namespace tarnwick::word
