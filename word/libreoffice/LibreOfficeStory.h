#pragma once
// A story of a text document open in LibreOffice (its main text, a header,
// a note, a text box ...), read from its paragraphs and tables in the
// positions the built-in formats use (UTF-16 units, one mark per paragraph,
// cell and row marks), with a way back from a position to the server's
// text. The document server reads its documents with it, and the Writer
// window maps a hit to the text it selects with it, so both see the same
// positions. Every call may throw uno::Exception.
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/text/XTextTable.hpp>

#include <pugixml.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "word/story/StoryText.h"

namespace tarnwick::word {

rtl::OUString ToOUString(const std::u16string& text);
std::u16string ToText(const rtl::OUString& text);
// Code points in UTF-16 units: how far a text cursor of the server moves
// over plain text.
sal_Int32 CursorSteps(std::u16string_view text);
// The next element of a server's enumeration; false at its end. Every call
// is a round trip, so the end is noticed by the exception rather than asked for.
bool NextElement(const css::uno::Reference<css::container::XEnumeration>& elements, css::uno::Any& element);

// Whether the document holds a tracked deletion. Its text stays in the text
// the server reads out, so it is found like the built-in formats find it,
// but it must never be replaced; the flat export keeps it apart, so such a
// document's stories are read paragraph by paragraph.
bool HasTrackedDeletions(const css::uno::Reference<css::text::XTextDocument>& document);

// The document's flat ODF export, parsed: its whole text in one call.
std::unique_ptr<pugi::xml_document> ExportFlat(const css::uno::Reference<css::text::XTextDocument>& document);
// The office:text of a parsed flat export: the main text.
pugi::xml_node ExportedMainText(const pugi::xml_document& exported);

class LibreOfficeStory {
public:
    // Reads the main text of `document`; its story's units name the
    // paragraph they belong to (source) and their offset in it. The text of
    // a tracked deletion is read and flagged deleted, as the built-in formats do.
    void read(const css::uno::Reference<css::text::XTextDocument>& document);
    // Reads the story from the server's text `text`, paragraph by paragraph;
    // `deletions`: the document holds tracked deletions, which are flagged.
    void readFromServer(const css::uno::Reference<css::text::XText>& text, bool deletions);
    // Reads the story from `container` of the document's flat export (its
    // office:text, a note's body, a header, a text box ...); the server's
    // text it stands for is given by setServerText before it is changed.
    void readFromExport(const pugi::xml_node& container);
    void setServerText(const css::uno::Reference<css::text::XText>& text) { m_serverText = text; }
    bool hasServerText() const { return m_serverText.is(); }

    StoryText& story() { return m_story; }
    const StoryText& story() const { return m_story; }
    const std::u16string& paragraphText(std::uint32_t paragraph) const { return m_paragraphs[paragraph].text; }
    // Records that the server's paragraph now reads `text` instead of its
    // `length` units from `offset`, which hold no tracked deletion.
    void replaceInParagraph(std::uint32_t paragraph, std::size_t offset, std::size_t length, const std::u16string& text);
    // The units of a paragraph's text as it is now, without its mark: to
    // splice into the story after the text was changed.
    StoryText paragraphStory(std::uint32_t paragraph) const;

    // A cursor on the server's paragraph `paragraph`, `offset` units from its
    // start, selecting `length` units; null when the server's text there reads
    // differently or a span's end lies inside a field.
    css::uno::Reference<css::text::XTextCursor> cursorOver(std::uint32_t paragraph, std::size_t offset, std::size_t length);

    // Units [start, end) of a paragraph's text that are a tracked deletion.
    struct Deletion {
        std::size_t start = 0;
        std::size_t end = 0;
    };

private:
    struct Paragraph {
        css::uno::Reference<css::text::XTextRange> range;  // fetched on first need after readExported()
        std::u16string text;
        std::vector<Deletion> deletions;
        bool markDeleted = false;
    };

    // Forgets what was read before; the story's units, empty, to read into.
    std::vector<Unit>& startReading(const css::uno::Reference<css::text::XText>& text, bool deletions);
    void readExportedBlocks(const pugi::xml_node& parent, std::vector<Unit>& units);
    void readExportedTable(const pugi::xml_node& table, std::vector<Unit>& units);
    void readText(const css::uno::Reference<css::text::XText>& text, std::vector<Unit>& units);
    void readTable(const css::uno::Reference<css::text::XTextTable>& table, std::vector<Unit>& units);
    void addParagraph(std::vector<Unit>& units, css::uno::Reference<css::text::XTextRange> range, std::u16string text);
    void readDeletions(Paragraph& paragraph);
    const css::uno::Reference<css::text::XTextRange>& rangeOf(std::uint32_t paragraph);
    void collectRanges(const css::uno::Reference<css::text::XText>& text, std::size_t& index);
    css::uno::Reference<css::text::XTextCursor> cursorThroughPortions(const css::uno::Reference<css::text::XTextRange>& paragraph,
                                                                      std::size_t offset, std::u16string_view found);

    css::uno::Reference<css::text::XText> m_serverText;
    std::vector<Paragraph> m_paragraphs;
    bool m_hasDeletions = false;  // then every paragraph's deletions are read
    int m_openDeletions = 0;  // deletions begun in earlier paragraphs and not yet ended
    StoryText m_story;
};

}  // namespace tarnwick::word
