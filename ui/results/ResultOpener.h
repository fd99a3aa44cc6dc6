#pragma once
// "In Vorschau/Word öffnen" (also a double click or Enter on a hit, and the
// switch to the page "Vorschau"): opens a result's file in the internal
// viewer, or a word-processor document in LibreOffice Writer (when the host
// has it) or else through the search form's connection, with the hit
// selected. A hit found inside an archive, a compressed file or a PDF opens
// read-only in the viewer from memory, a PDF page in the user's PDF viewer
// where it takes a page. User interface thread only.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "results/ResultList.h"
#include "word/automation/StoryId.h"

namespace tarnwick {
class CodePage;
}

namespace tarnwick::ui {

enum class RunKind : int;
struct ResultTarget;
enum class WordShowOutcome;
class ViewerAccess;

inline constexpr std::string_view kWordCannotStartMessage = "MS Word kann nicht initialisiert werden";
inline constexpr std::string_view kWordShowFailedMessage = "Fehler beim Anzeigen mit Word.";
inline constexpr std::string_view kDocPartNeedsWriterMessage =
    "Treffer außerhalb des Haupttexts einer .doc-Datei lassen sich nur in LibreOffice Writer anzeigen, "
    "das hier nicht zur Verfügung steht.";

// What the opener reads from and does to the program around it.
class ResultOpenerHost {
public:
    virtual ~ResultOpenerHost() = default;
    virtual RunKind lastRunKind() const = 0;
    // The replacement text the search worker holds (engine bytes).
    virtual std::string workerReplacement() const = 0;
    // Files above this size are opened in the viewer only after a question.
    virtual std::int64_t splitLength() const = 0;
    // Null while the program has no viewer.
    virtual ViewerAccess* viewer() = 0;
    virtual void showPreviewPage() = 0;
    // Hands a document hit in the story `story` to the user's word processor
    // (LibreOffice Writer) when it is installed; false when the hit is to be
    // shown through showInWord instead.
    virtual bool showInOffice(const std::string& /*path*/, word::StoryId /*story*/, std::optional<std::int64_t> /*position*/,
                              std::int64_t /*length*/)
    {
        return false;
    }
    // Shows page `page` of the PDF `path` in the user's own PDF viewer;
    // false when the hit is to be shown as the page's text in the viewer.
    virtual bool showPdfPage(const std::string& /*path*/, int /*page*/) { return false; }
    // Shows the document through the search form's word-processor
    // connection, with the hit selected in the story `story`.
    virtual WordShowOutcome showInWord(const std::string& path, word::StoryId story, std::optional<std::int64_t> position,
                                       std::int64_t length) = 0;
    virtual void showMessage(std::string_view text) = 0;
};

class ResultOpener {
public:
    ResultOpener(const ResultList& list, const CodePage& codePage, ResultOpenerHost& host);

    // Opens `item`; nothing happens for items that lead to no file, nor
    // when the file is gone.
    void open(ItemHandle item);
    // A document hit in the program's document window, with a message when
    // it cannot be shown; also where a hit goes that Writer failed to show.
    // The window reads no .doc: a hit in one of its other parts gets a
    // message saying that Writer alone shows it.
    void showInDocumentWindow(const std::string& path, word::StoryId story, std::optional<std::int64_t> position,
                              std::int64_t length);

private:
    // A hit whose path leads into a file on disk (InsidePath.h).
    void openInside(const ResultTarget& target);

    const ResultList& m_list;
    const CodePage& m_codePage;
    ResultOpenerHost& m_host;
};

}  // namespace tarnwick::ui
