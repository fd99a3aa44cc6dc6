#include "word/builtin/FileDocument.h"

#include "word/automation/WordErrors.h"
#include "word/builtin/FileApplication.h"

#include <algorithm>

namespace tarnwick::word {

FileDocument::FileDocument(FileApplication& application, std::string fullName, std::unique_ptr<DocumentFormat> format,
                           bool readOnly)
    : m_application(application), m_fullName(std::move(fullName)), m_format(std::move(format)), m_readOnly(readOnly)
{
}

Range& FileDocument::StoryRange(int index)
{
    if (index != kMainTextStory) Refuse(kErrorNoSuchStory, "Der Textbereich " + std::to_string(index) + " ist nicht vorhanden.");
    m_ranges.push_back(std::make_unique<FileRange>(*this, StoryId{}, 0, story().size()));
    return *m_ranges.back();
}

Range& FileDocument::StoryRange(StoryId id)
{
    if (id.isMainText()) return StoryRange(kMainTextStory);
    const std::int64_t size = story(id).size();
    m_ranges.push_back(std::make_unique<FileRange>(*this, id, 0, size));
    return *m_ranges.back();
}

void FileDocument::Activate() { m_application.activate(*this); }

void FileDocument::Save()
{
    if (m_readOnly) Refuse(kErrorNotWritable, "Das Dokument ist schreibgeschützt geöffnet und wird nicht gespeichert.");
    m_format->save();
    m_modified = false;
}

void FileDocument::Close(bool saveChanges)
{
    if (saveChanges && m_modified) Save();
    m_application.close(*this);
}

std::int64_t FileDocument::replace(StoryId id, std::int64_t start, std::int64_t end, const std::u16string& text)
{
    const std::int64_t sizeBefore = story(id).size();
    if (id.isMainText())
        m_format->replace(start, end, text);
    else
        m_format->replaceIn(id, start, end, text);
    m_modified = true;
    const std::int64_t newEnd = end + (story(id).size() - sizeBefore);
    for (const auto& range : m_ranges)
        if (range->story() == id) range->shift(start, end, newEnd);
    if (id == m_selectionStory)
        select(ShiftedPosition(m_selectionStart, start, end, newEnd), ShiftedPosition(m_selectionEnd, start, end, newEnd));
    return newEnd;
}

void FileDocument::select(StoryId id, std::int64_t start, std::int64_t end)
{
    const std::int64_t size = story(id).size();
    m_selectionStory = id;
    m_selectionStart = std::clamp<std::int64_t>(start, 0, size);
    m_selectionEnd = std::clamp<std::int64_t>(end, m_selectionStart, size);
}

}  // namespace tarnwick::word
