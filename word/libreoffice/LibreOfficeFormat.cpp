#include "word/libreoffice/LibreOfficeFormat.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/NoSuchElementException.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/document/XUndoManager.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <osl/file.hxx>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <vector>

#include "platform/SystemError.h"
#include "word/automation/WordErrors.h"
#include "word/format/DocumentFile.h"
#include "word/libreoffice/LibreOfficeServer.h"

using namespace com::sun::star;
using rtl::OString;
using rtl::OUString;

namespace tarnwick::word {
namespace {

OUString toOUString(const std::u16string& text)
{
    return OUString(reinterpret_cast<const sal_Unicode*>(text.data()), static_cast<sal_Int32>(text.size()));
}
std::u16string toText(const OUString& text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text.getStr()), static_cast<std::size_t>(text.getLength()));
}

OUString fileUrl(const std::string& path)
{
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) absolute = path;
    OUString url;
    if (osl::FileBase::getFileURLFromSystemPath(ToOUString(absolute.lexically_normal().string()), url) != osl::FileBase::E_None)
        Refuse(kErrorCannotOpen, "Der Dateiname kann LibreOffice nicht übergeben werden.");
    return url;
}

beans::PropertyValue property(const char* name, const uno::Any& value)
{
    beans::PropertyValue p;
    p.Name = OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

uno::Sequence<beans::PropertyValue> properties(std::initializer_list<beans::PropertyValue> list)
{
    uno::Sequence<beans::PropertyValue> sequence(static_cast<sal_Int32>(list.size()));
    std::copy(list.begin(), list.end(), sequence.getArray());
    return sequence;
}

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

struct Paragraph {
    uno::Reference<text::XTextRange> range;
    std::u16string text;
};

class LibreOfficeFormat final : public DocumentFormat {
public:
    LibreOfficeFormat(std::string path, std::string onDisk) : m_path(std::move(path)), m_onDisk(std::move(onDisk)) {}
    ~LibreOfficeFormat() override;

    void load();
    const StoryText& mainStory() const override { return m_story; }
    void replace(std::int64_t start, std::int64_t end, const std::u16string& text) override;
    void save() override;

private:
    void readText(const uno::Reference<text::XText>& text, std::vector<Unit>& units);
    void readTable(const uno::Reference<text::XTextTable>& table, std::vector<Unit>& units);
    void storeTo(const std::string& path);

    LibreOfficeServer& m_server = LibreOfficeServer::Shared();
    std::string m_path;
    std::string m_onDisk;
    uno::Reference<lang::XComponent> m_component;
    OUString m_filter;
    std::vector<Paragraph> m_paragraphs;
    StoryText m_story;
};

LibreOfficeFormat::~LibreOfficeFormat()
{
    if (!m_component.is() || !m_server.isRunning()) return;
    try {
        const LibreOfficeServer::Call call(m_server);
        if (const uno::Reference<util::XCloseable> closeable(m_component, uno::UNO_QUERY); closeable.is())
            closeable->close(true);
        else
            m_component->dispose();
    } catch (const uno::Exception&) {
        // The document is given up either way; the server ends with the run.
    }
}

void LibreOfficeFormat::load()
{
    const uno::Reference<frame::XDesktop2> desktop = m_server.desktop();
    const LibreOfficeServer::Call call(m_server);
    try {
        // Read-only leaves no lock file beside the document; saving goes
        // through a copy anyway. Macros never run.
        const uno::Sequence<beans::PropertyValue> arguments = properties({
            property("Hidden", uno::Any(true)),
            property("ReadOnly", uno::Any(true)),
            property("MacroExecutionMode", uno::Any(sal_Int16(0))),
            property("UpdateDocMode", uno::Any(sal_Int16(0))),
        });
        m_component = desktop->loadComponentFromURL(fileUrl(m_path), OUString("_blank"), 0, arguments);
        if (!m_component.is()) Refuse(kErrorDamaged, "LibreOffice kann die Datei nicht öffnen.");
        const uno::Reference<text::XTextDocument> document(m_component, uno::UNO_QUERY);
        if (!document.is()) Refuse(kErrorDamaged, "Die Datei ist kein Textdokument.");
        if (const uno::Reference<frame::XModel> model(m_component, uno::UNO_QUERY); model.is()) {
            for (const beans::PropertyValue& argument : model->getArgs())
                if (argument.Name == "FilterName") argument.Value >>= m_filter;
            // No view needs to follow the replacements, and nothing is undone.
            model->lockControllers();
        }
        if (const uno::Reference<document::XUndoManagerSupplier> undo(m_component, uno::UNO_QUERY); undo.is())
            undo->getUndoManager()->lock();
        std::vector<Unit>& units = m_story.units();
        units.clear();
        readText(document->getText(), units);
        m_story.index();
    } catch (const uno::Exception& e) {
        m_server.fail(e);
    }
}

void LibreOfficeFormat::readText(const uno::Reference<text::XText>& text, std::vector<Unit>& units)
{
    const uno::Reference<container::XEnumerationAccess> access(text, uno::UNO_QUERY_THROW);
    const uno::Reference<container::XEnumeration> elements = access->createEnumeration();
    // Every call is a round trip to the server, which is most of the time
    // of reading a long document: the end is noticed by the exception
    // rather than asked for, and paragraphs are tried first.
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
        const auto index = static_cast<std::uint32_t>(m_paragraphs.size());
        m_paragraphs.push_back({paragraph, toText(paragraph->getString())});
        const std::u16string& content = m_paragraphs.back().text;
        appendParagraphUnits(units, content, index);
        Unit mark;
        mark.value = u'\r';
        mark.kind = UnitKind::ParagraphEnd;
        mark.source = index;
        mark.offset = static_cast<std::uint32_t>(content.size());
        units.push_back(mark);
    }
}

void LibreOfficeFormat::readTable(const uno::Reference<text::XTextTable>& table, std::vector<Unit>& units)
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

void LibreOfficeFormat::replace(std::int64_t start, std::int64_t end, const std::u16string& text)
{
    if (start < 0 || end < start || start >= m_story.size() || end > m_story.size())
        Refuse(kErrorRefusedSpan, "Die Stelle liegt außerhalb des Dokuments.");
    const Unit& first = m_story.unit(start);
    for (std::int64_t position = start; position < end; ++position) {
        const Unit& unit = m_story.unit(position);
        if (unit.source != first.source || unit.kind == UnitKind::ParagraphEnd || unit.kind == UnitKind::CellEnd ||
            unit.kind == UnitKind::RowEnd)
            Refuse(kErrorRefusedSpan, "Der Text geht über einen Absatz hinaus und wird nicht ersetzt.");
    }
    if (first.kind == UnitKind::RowEnd) Refuse(kErrorRefusedSpan, "An einem Zeilenende wird kein Text eingefügt.");
    std::u16string written;
    for (char16_t c : text) {
        if (c == u'\v' || c == u'\n')
            written += u'\n';
        else if (c < 0x20 && c != u'\t')
            Refuse(kErrorRefusedText, "Der Ersatztext enthält ein Steuerzeichen, das hier nicht eingefügt wird.");
        else
            written += c;
    }

    Paragraph& paragraph = m_paragraphs[first.source];
    const std::int64_t offset = first.offset;
    const std::int64_t paragraphStart = start - offset;
    const std::int64_t oldLength = static_cast<std::int64_t>(paragraph.text.size());
    const std::u16string found = paragraph.text.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(end - start));
    const LibreOfficeServer::Call call(m_server);
    try {
        const uno::Reference<text::XTextCursor> cursor =
            paragraph.range->getText()->createTextCursorByRange(paragraph.range->getStart());
        const std::u16string_view before = std::u16string_view(paragraph.text).substr(0, static_cast<std::size_t>(offset));
        const bool placed = cursor->goRight(codePoints(before), false) && cursor->goRight(codePoints(found), true);
        // A field or an anchored object reads differently from what the cursor
        // passes over; such text is left alone rather than damaged.
        if (!placed || toText(cursor->getString()) != found)
            Refuse(kErrorRefusedSpan, "Der Text enthält ein Feld oder ein Objekt und wird nicht ersetzt.");
        cursor->setString(toOUString(written));
        paragraph.text.replace(static_cast<std::size_t>(offset), found.size(), written);
    } catch (const uno::Exception& e) {
        m_server.fail(e);
    }
    StoryText part;
    appendParagraphUnits(part.units(), paragraph.text, first.source);
    part.index();
    m_story.splice(paragraphStart, paragraphStart + oldLength, part, 0);
}

void LibreOfficeFormat::storeTo(const std::string& path)
{
    const uno::Reference<frame::XStorable> storable(m_component, uno::UNO_QUERY_THROW);
    const uno::Sequence<beans::PropertyValue> arguments = properties({
        property("FilterName", uno::Any(m_filter)),
        property("Overwrite", uno::Any(true)),
    });
    storable->storeToURL(fileUrl(path), arguments);
}

void LibreOfficeFormat::save()
{
    if (m_filter.isEmpty()) Refuse(kErrorSaveFailed, "LibreOffice nennt kein Format, in dem die Datei geschrieben werden kann.");
    // The server writes a copy in a private folder; the file itself is
    // replaced the way every document is, which keeps links and permissions
    // and notices changes made by other programs.
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/tarnwick-save-XXXXXX";
    if (!::mkdtemp(folder.data())) Refuse(kErrorSaveFailed, "Die Datei kann nicht gespeichert werden: " + SystemErrorText(errno));
    const std::string copy = folder + "/" + std::filesystem::path(m_path).filename().string();
    struct RemoveFolder {
        std::string path;
        ~RemoveFolder()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } removeFolder{folder};
    {
        const LibreOfficeServer::Call call(m_server);
        try {
            storeTo(copy);
        } catch (const uno::Exception& e) {
            m_server.fail(e);
        }
    }
    const std::string contents = ReadDocumentFile(copy);
    SaveDocumentFile(m_path, m_onDisk, contents);
    m_onDisk = contents;
}

}  // namespace

std::unique_ptr<DocumentFormat> OpenLibreOfficeFormat(const std::string& path)
{
    auto format = std::make_unique<LibreOfficeFormat>(path, ReadDocumentFile(path));
    format->load();
    return format;
}

}  // namespace tarnwick::word
