#pragma once
// Everything of the desktop program that opens files for the user: the open
// operation of the main window (command line, dropped files, "Öffnen...",
// the recent-file list), opening a result in the viewer or the word
// processor, the search form's word-processor connection with its document
// window, and the switch to the page "Vorschau". User interface thread only.
#include <QObject>
#include <QString>

#include <cstddef>
#include <functional>
#include <memory>

#include "results/ResultList.h"
#include "settings/RecentFileList.h"
#include "ui/results/ResultOpener.h"
#include "ui/viewer/DocumentShowRouter.h"
#include "ui/viewer/ViewerWordConnection.h"

class QAction;
class QMenu;

namespace tarnwick {
class CodePage;
namespace settings {
class ProfileStore;
}
}  // namespace tarnwick

namespace tarnwick::ui {

class DocumentWindow;
class FormPrompts;
class MainFrame;
class ResultsPane;
class SearchFormController;
class SearchFormWidget;
class ViewerAccess;

struct ProgramDocumentParts {
    MainFrame& frame;
    ResultsPane& results;
    SearchFormController& controller;
    SearchFormWidget& form;
    settings::ProfileStore& store;
    FormPrompts& prompts;
    const CodePage& codePage;
    std::function<ViewerAccess*()> viewer;  // null while the program has no viewer
    ViewerWordConnection::Factory wordFactory;
    // Document hits in LibreOffice Writer: whether it is installed, showing
    // a hit there (null: never), and how long before a request counts as hung.
    std::function<bool()> writerAvailable;
    DocumentShowRouter::WriterShow writerShow;
    std::chrono::milliseconds writerStuckAfter{std::chrono::seconds(60)};
    // A PDF at a page in the user's PDF viewer; false (or null) when the
    // page's text is to be shown in the viewer instead.
    std::function<bool(const std::string& path, int page)> pdfPageShow;
};

class ProgramDocuments : public QObject, private ResultOpenerHost {
    Q_OBJECT

public:
    explicit ProgramDocuments(ProgramDocumentParts parts);
    ~ProgramDocuments() override;

    // The open operation: the viewer opens `path` (relative to the working
    // directory, or absolute); on success the page "Vorschau" comes to the
    // front, the title names the file and the file heads the recent-file
    // list. A folder, a missing or an unreadable file is refused with a
    // message. False when nothing was opened; the title then stays.
    bool openDocumentFile(const QString& path);
    // "Öffnen...": the file dialog, then the open operation.
    void chooseAndOpenFile();
    // An entry of the recent-file list; one that no longer opens is removed.
    void openRecentFile(std::size_t index);
    // "In Vorschau/Word öffnen", a double click or Enter on a hit.
    void openResult(ItemHandle item);
    // Files are about to change: the word processor quits without saving.
    void quitWord() { m_word.quit(); }

    // Replace the file dialog and the viewer (tests).
    void setFileChooser(std::function<QString()> chooser) { m_chooseFile = std::move(chooser); }
    void setViewerSource(std::function<ViewerAccess*()> source) { m_parts.viewer = std::move(source); }

    ViewerWordConnection& wordConnection() { return m_word; }
    DocumentWindow& documentWindow() const { return *m_documentWindow; }
    const settings::RecentFileList& recentFiles() const { return m_recent; }
    // The menu entries of the recent-file list, newest first.
    const std::vector<QAction*>& recentFileActions() const { return m_recentActions; }

private:
    // ResultOpenerHost
    RunKind lastRunKind() const override;
    std::string workerReplacement() const override;
    std::int64_t splitLength() const override;
    ViewerAccess* viewer() override { return m_parts.viewer ? m_parts.viewer() : nullptr; }
    void showPreviewPage() override;
    bool showInOffice(const std::string& path, word::StoryId story, std::optional<std::int64_t> position,
                      std::int64_t length) override;
    bool showPdfPage(const std::string& path, int page) override;
    WordShowOutcome showInWord(const std::string& path, word::StoryId story, std::optional<std::int64_t> position,
                               std::int64_t length) override;
    void showMessage(std::string_view text) override;

    void onActiveTabChanged(int tab);
    void rememberRecentFile(const QString& path);
    void rebuildRecentMenu();

    ProgramDocumentParts m_parts;
    std::unique_ptr<DocumentWindow> m_documentWindow;
    ViewerWordConnection m_word;
    ResultOpener m_opener;
    DocumentShowRouter m_office;
    settings::RecentFileList m_recent;
    std::vector<QAction*> m_recentActions;
    std::function<QString()> m_chooseFile;
    // Set while this class brings the page "Vorschau" to the front itself,
    // so that the switch does not open the selected result over it.
    bool m_showingPreview = false;
    // Set while the switch to the page "Vorschau" opens the selected result:
    // a PDF page then shows there as text rather than in another program.
    bool m_openingForPreviewTab = false;
};

}  // namespace tarnwick::ui
