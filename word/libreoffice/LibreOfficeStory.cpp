#include "word/libreoffice/LibreOfficeStory.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/NoSuchElementException.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/XRedlinesSupplier.hpp>
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
void appendParagraphUnits(std::vector<Unit>& units, const std::u16string& text, std::uint32_t paragraph,
                          const std::vector<LibreOfficeStory::Deletion>& deletions)
{
    auto deletion = deletions.begin();
    for (std::size_t i = 0; i < text.size(); ++i) {
        Unit unit;
        unit.value = text[i];
        unit.source = paragraph;
        unit.offset = static_cast<std::uint32_t>(i);
        while (deletion != deletions.end() && deletion->end <= i) ++deletion;
        if (deletion != deletions.end() && deletion->start <= i) unit.flags |= kDeleted;
        if (text[i] == u'\t') {
            unit.kind = UnitKind::Tab;
        } else if (text[i] == u'\n') {
            unit.kind = UnitKind::LineBreak;
            unit.value = u'\v';
        }
        units.push_back(unit);
    }
}

// Whether the document holds a tracked deletion. Its text stays in the text
// the server reads out, so it is found like the built-in formats find it,
// but it must never be replaced.
bool hasDeletions(const uno::Reference<text::XTextDocument>& document)
{
    const uno::Reference<document::XRedlinesSupplier> supplier(document, uno::UNO_QUERY);
    if (!supplier.is()) return false;
    const uno::Reference<container::XEnumerationAccess> redlines = supplier->getRedlines();
    if (!redlines.is() || !redlines->hasElements()) return false;
    const uno::Reference<container::XEnumeration> elements = redlines->createEnumeration();
    while (elements->hasMoreElements()) {
        const uno::Reference<beans::XPropertySet> redline(elements->nextElement(), uno::UNO_QUERY);
        OUString type;
        if (redline.is() && (redline->getPropertyValue(OUString("RedlineType")) >>= type) && type == "Delete") return true;
    }
    return false;
}

}  // namespace

void LibreOfficeStory::read(const uno::Reference<text::XTextDocument>& document)
{
    m_document = document;
    m_paragraphs.clear();
    m_openDeletions = 0;
    std::vector<Unit>& units = m_story.units();
    units.clear();
    // The text read at once does not show where a deletion lies.
    m_hasDeletions = hasDeletions(document);
    if (m_hasDeletions || !readAtOnce(document, units)) {
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
    m_paragraphs.push_back({std::move(range), std::move(text), {}, false});
    Paragraph& paragraph = m_paragraphs.back();
    if (m_hasDeletions) readDeletions(paragraph);
    const std::u16string& content = paragraph.text;
    appendParagraphUnits(units, content, index, paragraph.deletions);
    Unit mark;
    mark.value = u'\r';
    mark.kind = UnitKind::ParagraphEnd;
    if (paragraph.markDeleted) mark.flags |= kDeleted;
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

// A deletion is a pair of redline portions around its text in the
// paragraph's portions, the pair possibly in different paragraphs (then the
// marks between are deleted too). Offsets are summed from the portions' texts.
void LibreOfficeStory::readDeletions(Paragraph& paragraph)
{
    const uno::Reference<container::XEnumerationAccess> access(paragraph.range, uno::UNO_QUERY);
    if (!access.is()) return;
    const uno::Reference<container::XEnumeration> portions = access->createEnumeration();
    std::size_t offset = 0;
    std::size_t start = 0;
    for (;;) {
        uno::Any element;
        try {
            element = portions->nextElement();
        } catch (const container::NoSuchElementException&) {
            break;
        }
        const uno::Reference<beans::XPropertySet> properties(element, uno::UNO_QUERY);
        const uno::Reference<text::XTextRange> portion(element, uno::UNO_QUERY);
        if (!properties.is() || !portion.is()) continue;
        OUString type;
        properties->getPropertyValue(OUString("TextPortionType")) >>= type;
        if (type != "Redline") {
            offset += static_cast<std::size_t>(portion->getString().getLength());
            continue;
        }
        OUString redline;
        bool isStart = false;
        bool collapsed = false;
        properties->getPropertyValue(OUString("RedlineType")) >>= redline;
        if (redline != "Delete") continue;
        properties->getPropertyValue(OUString("IsCollapsed")) >>= collapsed;
        properties->getPropertyValue(OUString("IsStart")) >>= isStart;
        if (collapsed) continue;
        if (isStart) {
            if (m_openDeletions++ == 0) start = offset;
        } else if (m_openDeletions > 0 && --m_openDeletions == 0 && offset > start) {
            paragraph.deletions.push_back({start, offset});
        }
    }
    const std::size_t size = paragraph.text.size();
    if (m_openDeletions > 0) {
        paragraph.deletions.push_back({start, size});
        paragraph.markDeleted = true;
    }
    // Portions that read otherwise than the paragraph leave the places
    // unknown: rather refuse all of its text than overwrite a deletion.
    if (offset != size && !paragraph.deletions.empty()) paragraph.deletions = {{0, size}};
}

void LibreOfficeStory::replaceInParagraph(std::uint32_t paragraph, std::size_t offset, std::size_t length,
                                          const std::u16string& text)
{
    Paragraph& changed = m_paragraphs[paragraph];
    changed.text.replace(offset, length, text);
    for (Deletion& deletion : changed.deletions) {
        if (deletion.start < offset + length) continue;
        deletion.start = deletion.start - length + text.size();
        deletion.end = deletion.end - length + text.size();
    }
}

StoryText LibreOfficeStory::paragraphStory(std::uint32_t paragraph) const
{
    StoryText part;
    appendParagraphUnits(part.units(), m_paragraphs[paragraph].text, paragraph, m_paragraphs[paragraph].deletions);
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
