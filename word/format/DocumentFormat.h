#pragma once
// One open document file in one of the formats the component reads (.docx
// family, .odt family, .rtf, plain text): its main story and its other
// stories (headers, notes, comments, text boxes, footers), replacing a span
// of one of them, and writing the file back. Throws ServerError (Automation.h) with a
// description that says why, for anything it cannot read or refuses to do;
// never changes the file before Save, and Save lets the new file take the
// old one's place by one rename in the document's folder (symbolic links
// resolved first, permission bits kept).
#include <memory>
#include <string>

#include <vector>

#include "word/automation/StoryId.h"
#include "word/story/StoryText.h"

namespace tarnwick::word {

class DocumentFormat {
public:
    virtual ~DocumentFormat() = default;

    // The main story as it is now (after earlier replacements).
    virtual const StoryText& mainStory() const = 0;

    // Replaces the story units [start, end) by `text`. The inserted text
    // takes the formatting of the first replaced unit (of the unit before
    // `start` for an empty span). Refuses spans that touch field codes,
    // field results, tracked deletions or cross a paragraph. Updates the
    // main story.
    virtual void replace(std::int64_t start, std::int64_t end, const std::u16string& text) = 0;

    // Every story in the order they are searched: headers, the main text,
    // footnotes, endnotes, comments, text boxes, footers. The stories besides
    // the main text are read on the first call, so that a document searched
    // in its main text only never depends on them. By default the main text
    // alone.
    virtual std::vector<StoryId> stories();
    // One of the stories stories() named, as it is now; others are refused
    // (kErrorNoSuchStory).
    virtual const StoryText& story(StoryId id);
    // The stories stories() left out because the part of the file that
    // holds them cannot be read; the rest of the document is read and saved
    // as usual, and such a part is never written. By default none.
    virtual std::vector<UnreadableStories> unreadableStories() { return {}; }
    // replace() in the story `id`, with the same refusals.
    virtual void replaceIn(StoryId id, std::int64_t start, std::int64_t end, const std::u16string& text);

    // Writes the document back to the path it was opened from.
    virtual void save() = 0;
};

// Refuses (kErrorNoSuchStory) a story the document does not have.
[[noreturn]] void RefuseStory(StoryId id);

}  // namespace tarnwick::word
