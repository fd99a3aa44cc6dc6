#pragma once
// An RTF document opened for search and replace: its bytes, its main story
// and the edits made so far, written back only by save() through the
// program's file commit (temporary file in the folder renamed over the
// file, links resolved, permission bits kept). Not thread-safe.
#include <memory>
#include <string>

#include "word/format/DocumentFormat.h"
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

    const StoryText& mainStory() const override { return m_story.story; }
    // See EditRtf (RtfEditor.h) for what is refused; a refused replace
    // changes nothing.
    void replace(std::int64_t start, std::int64_t end, const std::u16string& text) override;
    void save() override;

    const std::string& bytes() const { return m_bytes; }

private:
    RtfDocument(std::string path, std::string bytes);

    std::string m_path;
    std::string m_bytes;
    std::string m_saved;  // the file's contents as read or last written
    RtfStory m_story;
};

}  // namespace tarnwick::word
