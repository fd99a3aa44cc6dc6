#include "word/libreoffice/WriterHitRange.h"

#include <com/sun/star/uno/RuntimeException.hpp>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "word/automation/WordErrors.h"
#include "word/libreoffice/LibreOfficeStory.h"
#include "word/libreoffice/StoryPlace.h"
#include "word/libreoffice/StorySpanMatch.h"
#include "word/open/FileSniffer.h"
#include "word/open/OpenDocumentFormat.h"

using namespace com::sun::star;

namespace tarnwick::word {
namespace {

// The engine's model of the document when it is not LibreOffice's: the
// built-in component reads it (positions of .docx, .odt, .rtf and text
// hits). Null for what the engine reads through LibreOffice, whose
// positions are the ones LibreOfficeStory gives.
std::unique_ptr<DocumentFormat> engineModel(const std::string& path)
{
    if (SniffDocument(path) == DocumentKind::LegacyBinary) return nullptr;
    try {
        return OpenDocumentFormat(path);
    } catch (const ServerError&) {
        return nullptr;
    }
}

// The server's text of a part read as the document server reads it, so that
// a .doc hit in it lands where the search found it; false where the server
// offers no text of the part to select in.
bool readPart(const uno::Reference<text::XTextDocument>& document, const ExportedStory& part, bool deletions,
              LibreOfficeStory& writer)
{
    std::string unreachable;
    const uno::Reference<text::XText> server = ServerTextAt(document, part.place, unreachable);
    if (!server.is()) return false;
    if (deletions) {
        writer.readFromServer(server, true);
    } else {
        writer.readFromExport(part.root);
        writer.setServerText(server);
    }
    return true;
}

uno::Reference<text::XTextCursor> rangeOfSpan(LibreOfficeStory& writer, StorySpan span)
{
    const StoryText& story = writer.story();
    if (span.start < 0 || span.end > story.size() || story.size() == 0) return nullptr;
    const auto cursorAt = [&](std::int64_t at) {
        // The end of the story is the end of its last paragraph.
        const Unit& unit = story.unit(at < story.size() ? at : story.size() - 1);
        const std::size_t offset = at < story.size() ? unit.offset : writer.paragraphText(unit.source).size();
        return writer.cursorOver(unit.source, offset, 0);
    };
    const Unit& first = story.unit(std::min(span.start, story.size() - 1));
    bool oneParagraph = true;
    for (std::int64_t at = span.start; at < span.end; ++at)
        if (const Unit& unit = story.unit(at); unit.source != first.source || unit.kind == UnitKind::ParagraphEnd ||
            unit.kind == UnitKind::CellEnd || unit.kind == UnitKind::RowEnd)
            oneParagraph = false;
    if (oneParagraph && first.kind != UnitKind::RowEnd)
        return writer.cursorOver(first.source, first.offset, static_cast<std::size_t>(span.end - span.start));
    // Across paragraphs: from the start to the end, where both lie in one
    // text; else only the start.
    const uno::Reference<text::XTextCursor> start = cursorAt(span.start);
    const uno::Reference<text::XTextCursor> end = cursorAt(span.end);
    if (!start.is()) return nullptr;
    if (end.is()) {
        try {
            start->gotoRange(end->getStart(), true);
        } catch (const uno::RuntimeException&) {
            // Different cells: the start alone.
        }
    }
    return start;
}

// A hit of a part besides the main text. Writer's parts are found as the
// document server finds them. The built-in component may number a kind's
// parts in another order than Writer (a .docx's headers by their files),
// so its hit is looked for in the part of the same number first, then in
// the others of its kind.
uno::Reference<text::XTextCursor> partHitRange(const uno::Reference<text::XTextDocument>& document, DocumentFormat* engine,
                                               StoryId id, StorySpan span)
{
    const StoryText* engineStory = nullptr;
    if (engine) {
        try {
            engineStory = &engine->story(id);
        } catch (const ServerError&) {
            return nullptr;
        }
    }
    const std::unique_ptr<pugi::xml_document> exported = ExportFlat(document);
    std::vector<StoryId> order;
    std::vector<ExportedStory> parts = FindExportedStories(*exported, order);
    std::erase_if(
        parts, [&](const ExportedStory& part) { return part.id.kind != id.kind || (engineStory == nullptr && part.id != id); });
    std::stable_partition(parts.begin(), parts.end(), [&](const ExportedStory& part) { return part.id == id; });
    const bool deletions = HasTrackedDeletions(document);
    for (const ExportedStory& part : parts) {
        LibreOfficeStory writer;
        if (!readPart(document, part, deletions, writer)) continue;
        if (!engineStory) return rangeOfSpan(writer, span);
        if (const std::optional<StorySpan> matched = MatchStorySpan(*engineStory, writer.story(), span.start, span.end))
            if (uno::Reference<text::XTextCursor> range = rangeOfSpan(writer, *matched); range.is()) return range;
    }
    return nullptr;
}

}  // namespace

// The hit, walked through Writer's text with the same story model the
// document server builds, so a .doc hit lands where the search found it. A
// hit of the built-in component is looked up by its text (MatchStorySpan),
// since its positions also count field codes and hidden text.
uno::Reference<text::XTextCursor> WriterHitRange(const uno::Reference<text::XTextDocument>& document, const std::string& path,
                                                 StoryId story, std::int64_t position, std::int64_t length)
{
    const StorySpan span{position, position + std::max<std::int64_t>(length, 0)};
    const std::unique_ptr<DocumentFormat> engine = engineModel(path);
    if (!story.isMainText()) return partHitRange(document, engine.get(), story, span);
    LibreOfficeStory writer;
    writer.read(document);
    if (!engine) return rangeOfSpan(writer, span);
    const std::optional<StorySpan> matched = MatchStorySpan(engine->mainStory(), writer.story(), span.start, span.end);
    return matched ? rangeOfSpan(writer, *matched) : nullptr;
}

}  // namespace tarnwick::word
