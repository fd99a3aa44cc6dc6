#include "word/libreoffice/LibreOfficeFormat.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/document/XUndoManager.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <algorithm>
#include <deque>
#include <initializer_list>
#include <memory>

#include "word/automation/WordErrors.h"
#include "word/format/DocumentFile.h"
#include "word/libreoffice/LibreOfficeServer.h"
#include "word/libreoffice/LibreOfficeStory.h"
#include "word/libreoffice/OfficeDocumentFiles.h"
#include "word/libreoffice/StoryPlace.h"
#include "word/libreoffice/TextSpanReplacement.h"

using namespace com::sun::star;
using rtl::OString;
using rtl::OUString;

namespace tarnwick::word {
namespace {

constexpr const char* kBrokenDocument = "Das Dokument wird nach einem Fehler beim Ersetzen nicht mehr geändert.";

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

class LibreOfficeFormat final : public DocumentFormat {
public:
    LibreOfficeFormat(std::string path, std::string onDisk, FileIdentity identity)
        : m_path(std::move(path)), m_onDisk(std::move(onDisk)), m_identity(identity)
    {
    }
    ~LibreOfficeFormat() override;

    void load();
    const StoryText& mainStory() const override { return m_text.story(); }
    void replace(std::int64_t start, std::int64_t end, const std::u16string& text) override;
    std::vector<StoryId> stories() override;
    const StoryText& story(StoryId id) override;
    void replaceIn(StoryId id, std::int64_t start, std::int64_t end, const std::u16string& text) override;
    void save() override;

private:
    // A story besides the main text, found and read in the flat export.
    struct OtherStory {
        StoryId id;
        StoryPlace place;
        LibreOfficeStory text;
        std::string unreachable;  // why the server does not offer it for editing
    };

    void findOtherStories();
    OtherStory& otherStory(StoryId id);
    void replaceInStory(LibreOfficeStory& story, std::int64_t start, std::int64_t end, const std::u16string& text);
    std::string written();

    LibreOfficeServer& m_server = LibreOfficeServer::shared();
    std::string m_path;
    std::string m_onDisk;
    FileIdentity m_identity;  // the file object that holds m_onDisk
    uno::Reference<lang::XComponent> m_component;
    uno::Reference<text::XTextDocument> m_document;
    OUString m_filter;
    uno::Reference<beans::XPropertySet> m_settings;  // the document's own properties
    bool m_recordsChanges = false;  // as the file says; switched off while it is open
    bool m_hasDeletions = false;  // then every story is read paragraph by paragraph
    bool m_broken = false;  // an edit failed halfway: no more edits, never saved
    LibreOfficeStory m_text;
    // The export the main text was read from, kept for the other stories
    // until they are asked for: exporting a long document again costs seconds.
    std::unique_ptr<pugi::xml_document> m_export;
    std::deque<OtherStory> m_others;  // in document order
    std::vector<StoryId> m_order;  // every story in search order, once the others are found
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
    const uno::Reference<uno::XComponentContext> context = m_server.context();
    const LibreOfficeServer::Call call(m_server);
    try {
        // Read-only leaves no lock file beside the document; saving goes
        // through a copy anyway. Macros never run.
        const uno::Sequence<beans::PropertyValue> arguments = properties({
            property("ReadOnly", uno::Any(true)),
            property("MacroExecutionMode", uno::Any(sal_Int16(0))),
            property("UpdateDocMode", uno::Any(sal_Int16(0))),
        });
        LoadedDocument loaded = LoadDocumentWithoutView(context, DocumentUrl(m_path), arguments);
        m_component = loaded.component;
        m_filter = loaded.filter;
        m_document.set(m_component, uno::UNO_QUERY);
        if (!m_document.is()) Refuse(kErrorDamaged, "Die Datei ist kein Textdokument.");
        // Nothing is undone.
        if (const uno::Reference<document::XUndoManagerSupplier> undo(m_component, uno::UNO_QUERY); undo.is())
            undo->getUndoManager()->lock();
        // Replacements are plain edits, as in the other formats, also where
        // the document records changes; the setting itself is saved as it was.
        m_settings.set(m_component, uno::UNO_QUERY);
        if (m_settings.is() && m_settings->getPropertySetInfo()->hasPropertyByName(OUString("RecordChanges")) &&
            (m_settings->getPropertyValue(OUString("RecordChanges")) >>= m_recordsChanges) && m_recordsChanges)
            m_settings->setPropertyValue(OUString("RecordChanges"), uno::Any(false));
        m_hasDeletions = HasTrackedDeletions(m_document);
        if (m_hasDeletions) {
            m_text.readFromServer(m_document->getText(), true);
        } else {
            m_export = ExportFlat(m_document);
            m_text.readFromExport(ExportedMainText(*m_export));
            m_text.setServerText(m_document->getText());
        }
    } catch (const uno::Exception& e) {
        m_server.fail(e);
    }
}

void LibreOfficeFormat::replace(std::int64_t start, std::int64_t end, const std::u16string& text)
{
    replaceInStory(m_text, start, end, text);
}

std::vector<StoryId> LibreOfficeFormat::stories()
{
    if (m_order.empty()) findOtherStories();
    return m_order;
}

// The stories the built-in reader finds in an .odt, found by the same
// search in the export and read as the server reads them. Where the
// document holds tracked deletions, each is read from the server's text
// instead, as the main text is.
void LibreOfficeFormat::findOtherStories()
{
    const LibreOfficeServer::Call call(m_server);
    try {
        if (!m_export) m_export = ExportFlat(m_document);
        for (const ExportedStory& found : FindExportedStories(*m_export, m_order)) {
            OtherStory& story = m_others.emplace_back();
            story.id = found.id;
            story.place = found.place;
            if (m_hasDeletions) {
                if (const uno::Reference<text::XText> server = ServerTextAt(m_document, story.place, story.unreachable);
                    server.is()) {
                    story.text.readFromServer(server, true);
                    continue;
                }
            }
            story.text.readFromExport(found.root);
        }
    } catch (const uno::Exception& e) {
        m_others.clear();
        m_order.clear();
        m_server.fail(e);
    }
    m_export.reset();
}

LibreOfficeFormat::OtherStory& LibreOfficeFormat::otherStory(StoryId id)
{
    if (m_order.empty()) findOtherStories();
    for (OtherStory& story : m_others)
        if (story.id == id) return story;
    RefuseStory(id);
}

const StoryText& LibreOfficeFormat::story(StoryId id)
{
    if (id.isMainText() && id.number == 1) return m_text.story();
    return otherStory(id).text.story();
}

void LibreOfficeFormat::replaceIn(StoryId id, std::int64_t start, std::int64_t end, const std::u16string& text)
{
    if (id.isMainText() && id.number == 1) return replace(start, end, text);
    OtherStory& story = otherStory(id);
    if (!story.text.hasServerText() && story.unreachable.empty()) {
        const LibreOfficeServer::Call call(m_server);
        try {
            story.text.setServerText(ServerTextAt(m_document, story.place, story.unreachable));
        } catch (const uno::Exception& e) {
            m_server.fail(e);
        }
    }
    if (!story.text.hasServerText()) Refuse(kErrorRefusedSpan, story.unreachable);
    replaceInStory(story.text, start, end, text);
}

void LibreOfficeFormat::replaceInStory(LibreOfficeStory& story, std::int64_t start, std::int64_t end, const std::u16string& text)
{
    if (m_broken) Refuse(kErrorEditFailed, kBrokenDocument);
    if (start < 0 || end < start || start >= story.story().size() || end > story.story().size())
        Refuse(kErrorRefusedSpan, "Die Stelle liegt außerhalb des Dokuments.");
    const Unit& first = story.story().unit(start);
    for (std::int64_t position = start; position < end; ++position) {
        const Unit& unit = story.story().unit(position);
        if (unit.flags & kDeleted) Refuse(kErrorRefusedSpan, "Der Text ist eine nachverfolgte Löschung und wird nicht ersetzt.");
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

    const std::int64_t offset = first.offset;
    const std::int64_t paragraphStart = start - offset;
    const std::uint32_t paragraph = first.source;
    const auto oldLength = static_cast<std::int64_t>(story.paragraphText(paragraph).size());
    const LibreOfficeServer::Call call(m_server);
    bool editing = false;
    try {
        const uno::Reference<text::XTextCursor> cursor =
            story.cursorOver(paragraph, static_cast<std::size_t>(offset), static_cast<std::size_t>(end - start));
        // A span that ends inside a field is left alone rather than damaged.
        if (!cursor.is()) Refuse(kErrorRefusedSpan, "Der Text enthält ein Feld oder ein Objekt und wird nicht ersetzt.");
        const std::u16string old =
            story.paragraphText(paragraph).substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(end - start));
        editing = true;
        ReplaceTextSpan(m_document, cursor, old, written);
        story.replaceInParagraph(paragraph, static_cast<std::size_t>(offset), static_cast<std::size_t>(end - start), written);
    } catch (const ServerError& e) {
        // The server's text may no longer be what the story says.
        if (e.number() == kErrorEditFailed) m_broken = true;
        throw;
    } catch (const uno::Exception& e) {
        if (editing) m_broken = true;
        m_server.fail(e);
    }
    story.story().splice(paragraphStart, paragraphStart + oldLength, story.paragraphStory(paragraph), 0);
}

// The file as the import filter writes it, with the document's own setting
// of recording changes.
std::string LibreOfficeFormat::written()
{
    if (!m_recordsChanges) return StoreToBytes(m_component, m_filter);
    m_settings->setPropertyValue(OUString("RecordChanges"), uno::Any(true));
    std::string bytes;
    try {
        bytes = StoreToBytes(m_component, m_filter);
    } catch (...) {
        m_settings->setPropertyValue(OUString("RecordChanges"), uno::Any(false));
        throw;
    }
    m_settings->setPropertyValue(OUString("RecordChanges"), uno::Any(false));
    return bytes;
}

void LibreOfficeFormat::save()
{
    if (m_broken) Refuse(kErrorEditFailed, kBrokenDocument);
    if (m_filter.isEmpty()) Refuse(kErrorSaveFailed, "LibreOffice nennt kein Format, in dem die Datei geschrieben werden kann.");
    // The server writes a copy in a private folder; the file itself is
    // replaced the way every document is, which keeps links and permissions
    // and notices changes made by other programs.
    std::string contents;
    {
        const LibreOfficeServer::Call call(m_server);
        try {
            contents = written();
        } catch (const uno::Exception& e) {
            m_server.fail(e);
        }
    }
    SaveDocumentFile(m_path, m_onDisk, m_identity, contents);
    m_onDisk = contents;
}

}  // namespace

std::unique_ptr<DocumentFormat> OpenLibreOfficeFormat(const std::string& path)
{
    FileIdentity identity;
    std::string onDisk = ReadDocumentFile(path, &identity);
    auto format = std::make_unique<LibreOfficeFormat>(path, std::move(onDisk), identity);
    format->load();
    return format;
}

}  // namespace tarnwick::word
