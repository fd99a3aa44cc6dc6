#pragma once
// One open document of the built-in component: its format (which holds the
// story and writes the file), its ranges and its selection. Owned by the
// FileApplication; not thread-safe.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "word/automation/Automation.h"
#include "word/builtin/FileRange.h"
#include "word/format/DocumentFormat.h"

namespace tarnwick::word {

class FileApplication;

class FileDocument : public Document {
public:
    FileDocument(FileApplication& application, std::string fullName, std::unique_ptr<DocumentFormat> format, bool readOnly);

    // Every call returns a new range over the whole main story (index 1);
    // other stories are refused (ServerError kErrorNoSuchStory).
    Range& StoryRange(int index) override;
    // The format's stories; the first call reads those besides the main text.
    std::vector<StoryId> Stories() override { return m_format->stories(); }
    std::vector<UnreadableStories> Unreadable() override { return m_format->unreadableStories(); }
    Range& StoryRange(StoryId id) override;
    std::string FullName() const override { return m_fullName; }
    void Activate() override;
    // Refused (kErrorNotWritable) for a document opened read-only.
    void Save() override;
    // With `saveChanges`, a changed document is saved first; a failing save
    // leaves it open. Afterwards this object is gone.
    void Close(bool saveChanges) override;

    const StoryText& story() const { return m_format->mainStory(); }
    const StoryText& story(StoryId id) { return id.isMainText() ? story() : m_format->story(id); }
    // Replaces [start, end) of the story `id` by `text` through the format
    // and moves every range of that story and, when it lies there, the
    // selection along. Returns the end of the new text.
    std::int64_t replace(StoryId id, std::int64_t start, std::int64_t end, const std::u16string& text);
    std::int64_t replace(std::int64_t start, std::int64_t end, const std::u16string& text)
    {
        return replace(StoryId{}, start, end, text);
    }

    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isModified() const { return m_modified; }

    // The selection: a span of one story, the main text's start at first.
    StoryId selectionStory() const { return m_selectionStory; }
    std::int64_t selectionStart() const { return m_selectionStart; }
    std::int64_t selectionEnd() const { return m_selectionEnd; }
    // Within the story the selection lies in; positions are kept within it.
    void select(std::int64_t start, std::int64_t end) { select(m_selectionStory, start, end); }
    void select(StoryId id, std::int64_t start, std::int64_t end);

private:
    FileApplication& m_application;
    std::string m_fullName;
    std::unique_ptr<DocumentFormat> m_format;
    bool m_readOnly;
    bool m_modified = false;
    std::deque<std::unique_ptr<FileRange>> m_ranges;
    StoryId m_selectionStory;
    std::int64_t m_selectionStart = 0;
    std::int64_t m_selectionEnd = 0;
};

}  // namespace tarnwick::word
