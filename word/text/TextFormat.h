#pragma once
// A plain-text file opened as a document: each line a paragraph, found and
// replaced in like any other document, and saved back in its own encoding,
// with its byte-order mark and each line's own line end. Not thread-safe.
#include <memory>
#include <string>

#include "platform/FileIdentity.h"
#include "word/format/DocumentFormat.h"
#include "word/text/TextEncoding.h"

namespace tarnwick {
class CodePage;
}

namespace tarnwick::word {

class TextFormat final : public DocumentFormat {
public:
    // Reads the file at `path`. Throws ServerError when it cannot be read or
    // holds no text (the refusal of an unknown format).
    static std::unique_ptr<TextFormat> open(const std::string& path, const CodePage& codePage);

    const StoryText& mainStory() const override { return m_story; }
    // Refuses a span that crosses a line end, a paragraph mark in the text,
    // and a character the file's encoding cannot hold; a refused replace
    // changes nothing.
    void replace(std::int64_t start, std::int64_t end, const std::u16string& text) override;
    void save() override;

private:
    TextFormat(std::string path, std::string bytes, FileIdentity identity, DecodedText decoded);

    std::string m_path;
    std::string m_saved;  // the file's contents as read or last written
    FileIdentity m_identity;  // the file object that holds them
    TextCoding m_coding;
    StoryText m_story;
};

// The text format for the dispatcher, with the system's code page.
std::unique_ptr<DocumentFormat> OpenTextFormat(const std::string& path);

}  // namespace tarnwick::word
