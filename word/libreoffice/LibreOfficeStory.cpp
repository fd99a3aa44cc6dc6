#include "word/libreoffice/LibreOfficeStory.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/NoSuchElementException.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextTablesSupplier.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>
#include <com/sun/star/util/XSearchable.hpp>

#include <cctype>
#include <string_view>

using namespace com::sun::star;
using rtl::OUString;

namespace tarnwick::word {

OUString ToOUString(const std::u16string& text)
{
    return OUString(reinterpret_cast<const sal_Unicode*>(text.data()), static_cast<sal_Int32>(text.size()));
}

std::u16string ToText(const OUString& text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text.getStr()), static_cast<std::size_t>(text.getLength()));
}

namespace {

// Code points in UTF-16 units: how far a text cursor of the server moves.
sal_Int32 codePoints(std::u16string_view text)
{
    sal_Int32 count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) ++i;
        ++count;
    }
    return count;
}

// The row a table cell belongs to, from its name ("B3", "A2.1.1" in a split cell).
std::string rowOf(const std::string& cellName)
{
    std::size_t i = 0;
    while (i < cellName.size() && std::isalpha(static_cast<unsigned char>(cellName[i]))) ++i;
    return cellName.substr(i, cellName.find('.', i) - i);
}

// The server's line break is a line feed; the story's is \v, as in the other formats.
void appendParagraphUnits(std::vector<Unit>& units, const std::u16string& text, std::uint32_t paragraph)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        Unit unit;
        unit.value = text[i];
        unit.source = paragraph;
        unit.offset = static_cast<std::uint32_t>(i);
        if (text[i] == u'\t') {
            unit.kind = UnitKind::Tab;
        } else if (text[i] == u'\n') {
            unit.kind = UnitKind::LineBreak;
            unit.value = u'\v';
        }
        units.push_back(unit);
    }
}

}  // namespace

void LibreOfficeStory::read(const uno::Reference<text::XTextDocument>& document)
{
    m_document = document;
    m_paragraphs.clear();
    std::vector<Unit>& units = m_story.units();
    units.clear();
    if (!readAtOnce(document, units)) {
        m_paragraphs.clear();
        units.clear();
        readText(document->getText(), units);
    }
    m_story.index();
}

// Reading paragraph by paragraph costs about three round trips to the
// server each, most of the time of reading a long document. A body without
// tables reads in one call instead: its text is its paragraphs joined by line
// feeds. A line break inside a paragraph reads as a line feed as well, so a
// document that has one is read paragraph by paragraph.
bool LibreOfficeStory::readAtOnce(const uno::Reference<text::XTextDocument>& document, std::vector<Unit>& units)
{
    const uno::Reference<text::XTextTablesSupplier> tables(document, uno::UNO_QUERY);
    const uno::Reference<util::XSearchable> searchable(document, uno::UNO_QUERY);
    if (!tables.is() || !searchable.is() || tables->getTextTables()->hasElements()) return false;
    const uno::Reference<util::XSearchDescriptor> lineBreak = searchable->createSearchDescriptor();
    lineBreak->setSearchString(OUString("\\n"));
    const uno::Reference<beans::XPropertySet> options(lineBreak, uno::UNO_QUERY_THROW);
    options->setPropertyValue(OUString("SearchRegularExpression"), uno::Any(true));
    if (searchable->findFirst(lineBreak).is()) return false;

    const std::u16string body = ToText(document->getText()->getString());
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = body.find(u'\n', start);
        addParagraph(units, nullptr, body.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start));
        if (end == std::u16string::npos) break;
        start = end + 1;
    }
    return true;
}

void LibreOfficeStory::readText(const uno::Reference<text::XText>& text, std::vector<Unit>& units)
{
    const uno::Reference<container::XEnumerationAccess> access(text, uno::UNO_QUERY_THROW);
    const uno::Reference<container::XEnumeration> elements = access->createEnumeration();
    // Every call is a round trip to the server: the end is noticed by the
    // exception rather than asked for, and paragraphs are tried first.
    for (;;) {
        uno::Any element;
        try {
            element = elements->nextElement();
        } catch (const container::NoSuchElementException&) {
            break;
        }
        const uno::Reference<text::XTextRange> paragraph(element, uno::UNO_QUERY);
        if (!paragraph.is()) {
            if (const uno::Reference<text::XTextTable> table(element, uno::UNO_QUERY); table.is()) readTable(table, units);
            continue;
        }
        addParagraph(units, paragraph, ToText(paragraph->getString()));
    }
}

void LibreOfficeStory::addParagraph(std::vector<Unit>& units, uno::Reference<text::XTextRange> range, std::u16string text)
{
    const auto index = static_cast<std::uint32_t>(m_paragraphs.size());
    m_paragraphs.push_back({std::move(range), std::move(text)});
    const std::u16string& content = m_paragraphs.back().text;
    appendParagraphUnits(units, content, index);
    Unit mark;
    mark.value = u'\r';
    mark.kind = UnitKind::ParagraphEnd;
    mark.source = index;
    mark.offset = static_cast<std::uint32_t>(content.size());
    units.push_back(mark);
}

void LibreOfficeStory::readTable(const uno::Reference<text::XTextTable>& table, std::vector<Unit>& units)
{
    const uno::Sequence<OUString> names = table->getCellNames();
    std::string row;
    auto endRow = [&] {
        Unit mark;
        mark.value = 0x07;
        mark.kind = UnitKind::RowEnd;
        mark.source = static_cast<std::uint32_t>(m_paragraphs.size());
        units.push_back(mark);
    };
    for (sal_Int32 i = 0; i < names.getLength(); ++i) {
        const std::string name = names[i].toUtf8().getStr();
        if (!row.empty() && rowOf(name) != row) endRow();
        row = rowOf(name);
        const uno::Reference<text::XText> cell(table->getCellByName(names[i]), uno::UNO_QUERY);
        if (!cell.is()) continue;
        const std::size_t before = units.size();
        readText(cell, units);
        if (units.size() > before) MakeCellMark(units, static_cast<std::int64_t>(units.size()) - 1);
    }
    if (!row.empty()) endRow();
}

StoryText LibreOfficeStory::paragraphStory(std::uint32_t paragraph) const
{
    StoryText part;
    appendParagraphUnits(part.units(), m_paragraphs[paragraph].text, paragraph);
    part.index();
    return part;
}

const uno::Reference<text::XTextRange>& LibreOfficeStory::rangeOf(std::uint32_t paragraph)
{
    if (!m_paragraphs[paragraph].range.is()) {
        // Read at once: the body is paragraphs only, enumerated in story order.
        const uno::Reference<container::XEnumerationAccess> access(m_document->getText(), uno::UNO_QUERY_THROW);
        const uno::Reference<container::XEnumeration> elements = access->createEnumeration();
        std::size_t index = 0;
        for (; index < m_paragraphs.size(); ++index) {
            uno::Any element;
            try {
                element = elements->nextElement();
            } catch (const container::NoSuchElementException&) {
                break;
            }
            const uno::Reference<text::XTextRange> range(element, uno::UNO_QUERY);
            if (!range.is()) break;
            m_paragraphs[index].range = range;
        }
        if (index != m_paragraphs.size() || !m_paragraphs[paragraph].range.is())
            throw uno::RuntimeException(OUString("Die Absätze des Dokuments haben sich geändert."));
    }
    return m_paragraphs[paragraph].range;
}

uno::Reference<text::XTextCursor> LibreOfficeStory::cursorOver(std::uint32_t paragraph, std::size_t offset, std::size_t length)
{
    if (paragraph >= m_paragraphs.size()) return nullptr;
    const uno::Reference<text::XTextRange>& range = rangeOf(paragraph);
    const std::u16string_view text(m_paragraphs[paragraph].text);
    if (offset > text.size() || length > text.size() - offset) return nullptr;
    const std::u16string_view found = text.substr(offset, length);
    const uno::Reference<text::XTextCursor> cursor = range->getText()->createTextCursorByRange(range->getStart());
    const bool placed = cursor->goRight(codePoints(text.substr(0, offset)), false) && cursor->goRight(codePoints(found), true);
    if (!placed || ToText(cursor->getString()) != found) return nullptr;
    return cursor;
}

}  // namespace tarnwick::word
