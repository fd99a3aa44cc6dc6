#include "word/libreoffice/LibreOfficeStory.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/NoSuchElementException.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/XRedlinesSupplier.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <string_view>

#include "word/libreoffice/OfficeDocumentFiles.h"
#include "word/story/Utf16.h"

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

bool NextElement(const uno::Reference<container::XEnumeration>& elements, uno::Any& element)
{
    try {
        element = elements->nextElement();
        return true;
    } catch (const container::NoSuchElementException&) {
        return false;
    }
}

sal_Int32 CursorSteps(std::u16string_view text)
{
    sal_Int32 count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) ++i;
        ++count;
    }
    return count;
}

namespace {

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

// Elements of the export that are not part of the main text's paragraphs
// or that the server's text does not read: declarations, forms, drawings
// and frames (other stories), comments, footnote bodies, index templates,
// marks, and the numbers of numbered headings.
bool IsOutsideTheText(std::string_view name)
{
    static constexpr std::string_view kOutside[] = {
        "text:tracked-changes", "office:forms",         "office:annotation", "office:annotation-end", "text:note-body",
        "text:number",          "text:soft-page-break", "text:ruby-text",    "table:table-source",    "table:named-expressions"};
    if (std::find(std::begin(kOutside), std::end(kOutside), name) != std::end(kOutside)) return true;
    const auto endsWith = [&](std::string_view tail) {
        return name.size() >= tail.size() && name.substr(name.size() - tail.size()) == tail;
    };
    return name.rfind("draw:", 0) == 0 || endsWith("-decls") || endsWith("-source");
}

// The text of an exported paragraph as the server reads it: field results
// and link texts in line, spaces, tabs and line breaks written out.
void AppendExportedText(const pugi::xml_node& parent, std::u16string& text)
{
    for (const pugi::xml_node& node : parent.children()) {
        if (node.type() == pugi::node_pcdata) {
            text += Utf8ToUtf16(node.value());
            continue;
        }
        const std::string_view name = node.name();
        if (name == "text:s") {
            text.append(static_cast<std::size_t>(std::max(1, node.attribute("text:c").as_int(1))), u' ');
        } else if (name == "text:tab") {
            text += u'\t';
        } else if (name == "text:line-break") {
            text += u'\n';
        } else if (!IsOutsideTheText(name)) {
            AppendExportedText(node, text);
        }
    }
}

}  // namespace

bool HasTrackedDeletions(const uno::Reference<text::XTextDocument>& document)
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

// Reading paragraph by paragraph costs about three round trips to the
// server each, most of the time of reading a long document. The document's
// flat ODF export holds the same text in one call, with its tables' cells
// and rows and its line breaks told apart from its paragraphs. It does not
// show where a deletion lies (its text is kept apart).
std::unique_ptr<pugi::xml_document> ExportFlat(const uno::Reference<text::XTextDocument>& document)
{
    const std::string xml =
        StoreToBytes(uno::Reference<lang::XComponent>(document, uno::UNO_QUERY_THROW), OUString("OpenDocument Text Flat XML"));
    auto parsed = std::make_unique<pugi::xml_document>();
    if (!parsed->load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata))
        throw uno::RuntimeException(OUString("Der Text des Dokuments kann nicht gelesen werden."));
    return parsed;
}

pugi::xml_node ExportedMainText(const pugi::xml_document& exported)
{
    return exported.child("office:document").child("office:body").child("office:text");
}

void LibreOfficeStory::read(const uno::Reference<text::XTextDocument>& document)
{
    if (HasTrackedDeletions(document)) {
        readFromServer(document->getText(), true);
        return;
    }
    readFromExport(ExportedMainText(*ExportFlat(document)));
    setServerText(document->getText());
}

void LibreOfficeStory::readFromServer(const uno::Reference<text::XText>& text, bool deletions)
{
    readText(text, startReading(text, deletions));
    m_story.index();
}

void LibreOfficeStory::readFromExport(const pugi::xml_node& container)
{
    readExportedBlocks(container, startReading(nullptr, false));
    m_story.index();
}

std::vector<Unit>& LibreOfficeStory::startReading(const uno::Reference<text::XText>& text, bool deletions)
{
    m_serverText = text;
    m_paragraphs.clear();
    m_openDeletions = 0;
    m_hasDeletions = deletions;
    std::vector<Unit>& units = m_story.units();
    units.clear();
    return units;
}

void LibreOfficeStory::readExportedBlocks(const pugi::xml_node& parent, std::vector<Unit>& units)
{
    for (const pugi::xml_node& node : parent.children()) {
        const std::string_view name = node.name();
        if (name == "text:p" || name == "text:h") {
            std::u16string text;
            AppendExportedText(node, text);
            addParagraph(units, nullptr, std::move(text));
        } else if (name == "table:table") {
            readExportedTable(node, units);
        } else if (IsOutsideTheText(name)) {
            continue;
        } else if (node.type() == pugi::node_element) {
            readExportedBlocks(node, units);  // lists, sections, indexes
        }
    }
}

// As readTable reads the server's table: the cells row by row, each one's
// last mark a cell mark, a row mark after each row. Cells covered by a
// merged one are no cells of the server's.
void LibreOfficeStory::readExportedTable(const pugi::xml_node& table, std::vector<Unit>& units)
{
    for (const pugi::xml_node& node : table.children()) {
        const std::string_view name = node.name();
        if (name == "table:table-header-rows" || name == "table:table-rows" || name == "table:table-row-group") {
            readExportedTable(node, units);
            continue;
        }
        if (name != "table:table-row") continue;
        for (const pugi::xml_node& cell : node.children("table:table-cell")) {
            const std::size_t before = units.size();
            readExportedBlocks(cell, units);
            if (units.size() > before) MakeCellMark(units, static_cast<std::int64_t>(units.size()) - 1);
        }
        Unit mark;
        mark.value = 0x07;
        mark.kind = UnitKind::RowEnd;
        mark.source = static_cast<std::uint32_t>(m_paragraphs.size());
        units.push_back(mark);
    }
}

void LibreOfficeStory::readText(const uno::Reference<text::XText>& text, std::vector<Unit>& units)
{
    const uno::Reference<container::XEnumerationAccess> access(text, uno::UNO_QUERY_THROW);
    const uno::Reference<container::XEnumeration> elements = access->createEnumeration();
    // Paragraphs are tried first: every query is a round trip.
    for (uno::Any element; NextElement(elements, element);) {
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
    for (uno::Any element; NextElement(portions, element);) {
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
        // Read from the export: the server's paragraphs are found in the
        // order the story was read in, all of them on the first need.
        if (!m_serverText.is()) throw uno::RuntimeException(OUString("Der Text dieses Dokumentteils ist nicht bekannt."));
        std::size_t index = 0;
        collectRanges(m_serverText, index);
        if (index != m_paragraphs.size() || !m_paragraphs[paragraph].range.is())
            throw uno::RuntimeException(OUString("Die Absätze des Dokuments haben sich geändert."));
    }
    return m_paragraphs[paragraph].range;
}

void LibreOfficeStory::collectRanges(const uno::Reference<text::XText>& text, std::size_t& index)
{
    const uno::Reference<container::XEnumerationAccess> access(text, uno::UNO_QUERY_THROW);
    const uno::Reference<container::XEnumeration> elements = access->createEnumeration();
    for (uno::Any element; NextElement(elements, element);) {
        if (const uno::Reference<text::XTextRange> range(element, uno::UNO_QUERY); range.is()) {
            if (index < m_paragraphs.size()) m_paragraphs[index].range = range;
            ++index;
        } else if (const uno::Reference<text::XTextTable> table(element, uno::UNO_QUERY); table.is()) {
            for (const OUString& name : table->getCellNames())
                if (const uno::Reference<text::XText> cell(table->getCellByName(name), uno::UNO_QUERY); cell.is())
                    collectRanges(cell, index);
        }
    }
}

uno::Reference<text::XTextCursor> LibreOfficeStory::cursorOver(std::uint32_t paragraph, std::size_t offset, std::size_t length)
{
    if (paragraph >= m_paragraphs.size()) return nullptr;
    const uno::Reference<text::XTextRange>& range = rangeOf(paragraph);
    const std::u16string_view text(m_paragraphs[paragraph].text);
    if (offset > text.size() || length > text.size() - offset) return nullptr;
    const std::u16string_view found = text.substr(offset, length);
    const uno::Reference<text::XTextCursor> cursor = range->getText()->createTextCursorByRange(range->getStart());
    const bool placed = cursor->goRight(CursorSteps(text.substr(0, offset)), false) && cursor->goRight(CursorSteps(found), true);
    if (placed && ToText(cursor->getString()) == found) return cursor;
    return cursorThroughPortions(range, offset, found);
}

// A field reads as its result but is one character to a cursor, and an
// anchor (a comment, a frame) reads as nothing: the cursor is placed inside
// the plain text portions that hold the span's ends, counted from their own
// starts. Null when an end lies inside a portion that is not plain text, or
// when the server's text there does not read `found`, as the story does.
uno::Reference<text::XTextCursor> LibreOfficeStory::cursorThroughPortions(const uno::Reference<text::XTextRange>& paragraph,
                                                                          std::size_t offset, std::u16string_view found)
{
    const std::size_t length = found.size();
    const uno::Reference<container::XEnumerationAccess> access(paragraph, uno::UNO_QUERY);
    if (!access.is()) return nullptr;
    const uno::Reference<container::XEnumeration> portions = access->createEnumeration();
    const std::size_t end = offset + length;
    uno::Reference<text::XTextRange> startPortion, endPortion;
    std::size_t startBase = 0, endBase = 0, at = 0;
    std::u16string read;
    for (uno::Any element; !endPortion.is() && NextElement(portions, element);) {
        const uno::Reference<text::XTextRange> portion(element, uno::UNO_QUERY);
        const uno::Reference<beans::XPropertySet> properties(element, uno::UNO_QUERY);
        if (!portion.is() || !properties.is()) continue;
        const std::u16string portionText = ToText(portion->getString());
        OUString type;
        properties->getPropertyValue(OUString("TextPortionType")) >>= type;
        const std::size_t next = at + portionText.size();
        if (type == "Text") {
            // A start at a portion's end belongs to the next portion, an end at its start to the one before.
            if (!startPortion.is() && offset >= at && (offset < next || (offset == next && length == 0))) {
                startPortion = portion;
                startBase = at;
            }
            if (startPortion.is() && end > at && end <= next) {
                endPortion = portion;
                endBase = at;
            } else if (startPortion.is() && length == 0) {
                endPortion = startPortion;
                endBase = startBase;
            }
        }
        read += portionText;
        at = next;
    }
    if (!startPortion.is() || !endPortion.is() || read.size() < end) return nullptr;
    const std::u16string_view whole(read);
    const uno::Reference<text::XText> text = paragraph->getText();
    const uno::Reference<text::XTextCursor> cursor = text->createTextCursorByRange(startPortion->getStart());
    if (!cursor->goRight(CursorSteps(whole.substr(startBase, offset - startBase)), false)) return nullptr;
    const uno::Reference<text::XTextCursor> last = text->createTextCursorByRange(endPortion->getStart());
    if (!last->goRight(CursorSteps(whole.substr(endBase, end - endBase)), false)) return nullptr;
    cursor->gotoRange(last->getStart(), true);
    if (ToText(cursor->getString()) != found) return nullptr;
    return cursor;
}

}  // namespace tarnwick::word
