#include "word/text/TextFormat.h"

#include <cstdio>

#include "platform/CodePage.h"
#include "word/automation/WordErrors.h"
#include "word/format/DocumentFile.h"
#include "word/format/DocumentKind.h"
#include "word/story/EditChecks.h"
#include "word/text/TextStoryReader.h"

namespace tarnwick::word {

TextFormat::TextFormat(std::string path, std::string bytes, FileIdentity identity, DecodedText decoded)
    : m_path(std::move(path)), m_saved(std::move(bytes)), m_identity(identity), m_coding(std::move(decoded.coding)),
      m_story(ReadTextStory(decoded.text))
{
}

std::unique_ptr<TextFormat> TextFormat::open(const std::string& path, const CodePage& codePage)
{
    FileIdentity identity;
    std::string bytes = ReadDocumentFile(path, &identity);
    // A zip package of a kind the component does not read is no text, even
    // in the rare case that it holds no NUL byte.
    std::optional<DecodedText> decoded;
    if (!bytes.starts_with(std::string_view("PK\x03\x04", 4))) decoded = DecodeText(bytes, codePage);
    if (!decoded) RefuseDocumentKind(DocumentKind::Unknown);
    return std::unique_ptr<TextFormat>(new TextFormat(path, std::move(bytes), identity, std::move(*decoded)));
}

void TextFormat::replace(std::int64_t start, std::int64_t end, const std::u16string& text)
{
    CheckReplacementText(text);
    CheckEditableSpan(m_story, start, end);
    if (const std::optional<char32_t> c = FirstUnwritable(m_coding, text)) {
        char name[16];
        std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(*c));
        Refuse(kErrorRefusedText,
               std::string("Der Ersatztext enthält ein Zeichen, das die Kodierung der Datei nicht darstellen kann (") + name +
                   ").");
    }
    // The new text as units of its own: a tab is a tab, a line end a line
    // break within the paragraph (written as the paragraph's line end).
    StoryText part;
    std::vector<Unit>& units = part.units();
    units.reserve(text.size());
    for (const char16_t c : text) {
        if (c == u'\n' || c == u'\v')
            units.push_back(Unit{u'\v', UnitKind::LineBreak, 0, 0, 0});
        else
            units.push_back(Unit{c, c == u'\t' ? UnitKind::Tab : UnitKind::Text, 0, 0, 0});
    }
    part.index();
    m_story.splice(start, end, part, 0);
}

void TextFormat::save()
{
    if (m_path.empty()) Refuse(kErrorNotWritable, "Das Dokument hat keine Datei.");
    std::string bytes = EncodeText(m_coding, WriteTextStory(m_story));
    SaveDocumentFile(m_path, m_saved, m_identity, bytes);
    m_saved = std::move(bytes);
}

std::unique_ptr<DocumentFormat> OpenTextFormat(const std::string& path) { return TextFormat::open(path, CodePage::system()); }

}  // namespace tarnwick::word
