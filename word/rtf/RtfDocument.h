#pragma once
// An RTF document opened for search and replace: its bytes, its main story
// (and, once asked for, its other stories) and the edits made so far, written back only by save() through the
// program's file commit (temporary file in the folder renamed over the
// file, links resolved, permission bits kept). Edits made from the front of
// the document towards its end are collected and written into the bytes in
// one pass when needed (saving, reading the bytes, an edit behind or inside
// one already made), so that a replace-all costs about the document's size
// once rather than once per occurrence; the bytes are then read again and
// must give exactly the story the edits made, or the document takes no
// further edits and is never saved. Not thread-safe.
#include <memory>
#include <string>
#include <vector>

#include "platform/FileIdentity.h"
#include "word/format/DocumentFormat.h"
#include "word/rtf/RtfEditor.h"
#include "word/rtf/RtfReader.h"

namespace tarnwick::word {

class RtfDocument final : public DocumentFormat {
public:
    // Reads the file at `path`. Throws ServerError when it cannot be read or
    // is not RTF.
    static std::unique_ptr<RtfDocument> open(const std::string& path);
    // A document held in memory only; save() refuses it. For the fuzz targets
    // and tests.
    static std::unique_ptr<RtfDocument> fromBytes(std::string bytes);

    const StoryText& mainStory() const override { return m_stories.front().story; }
    // See EditRtf (RtfEditor.h) for what is refused; a refused replace
    // changes nothing.
    void replace(std::int64_t start, std::int64_t end, const std::u16string& text) override;
    std::vector<StoryId> stories() override;
    const StoryText& story(StoryId id) override { return m_stories[indexOf(id)].story; }
    void replaceIn(StoryId id, std::int64_t start, std::int64_t end, const std::u16string& text) override;
    void save() override;

    // The document's bytes with every edit made so far.
    const std::string& bytes();

private:
    RtfDocument(std::string path, std::string bytes, FileIdentity identity = {});

    std::size_t indexOf(StoryId id);
    void replaceInStory(std::size_t index, std::int64_t start, std::int64_t end, const std::u16string& text);
    // The stories of `bytes`: all of them once stories() was asked, else the main one.
    std::vector<RtfStory> read(std::string_view bytes) const;
    // Writes the collected edits into the bytes and reads them again.
    void applyPending();
    bool touchesPending(const RtfStory& story, std::int64_t start, std::int64_t end) const;

    std::string m_path;
    std::string m_bytes;  // without the edits in m_pending
    std::string m_saved;  // the file's contents as read or last written
    FileIdentity m_identity;  // the file object that holds them
    // The stories with every edit made, also those still in m_pending; the
    // units those edits added name no bytes yet. The main story first, the
    // others (once read) in the order their groups begin.
    std::vector<RtfStory> m_stories;
    bool m_allStories = false;
    std::vector<StoryId> m_ids;  // of m_stories, once all are read
    std::vector<std::size_t> m_order;  // indices into m_stories in search order
    std::vector<RtfCut> m_pending;
    bool m_anyDoubleByte = false;
    bool m_broken = false;
};

}  // namespace tarnwick::word
