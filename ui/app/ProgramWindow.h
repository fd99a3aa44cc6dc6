#pragma once
// The desktop program put together: the main window with the search form
// on top and the results below, the settings store, the search worker's
// way back to the user interface thread, and the wiring between them.
// User interface thread only.
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>

#include "platform/Clock.h"
#include "results/ResultList.h"
#include "settings/ProfileStore.h"
#include "ui/frame/ProfileFrameSettings.h"

namespace tarnwick {
class CommandRunner;
}

namespace tarnwick::ui {

class DialogFormPrompts;
class FormPrompts;
class HelpMenu;
class MainFrame;
class ProgramDocuments;
class QtNotifier;
class ReplacePreviewCollector;
class ResultsPane;
class ViewerAccess;
class ViewerPage;
class ViewerPrompts;
class SearchFormController;
class SearchFormWidget;

// What a program window is built with; the defaults are the real program's.
struct ProgramSetup {
    std::string profilePath;  // empty: the user's settings file
    FormPrompts* prompts = nullptr;  // null: dialogs; must outlive the window
    const Clock* clock = nullptr;  // null: the system clock; must outlive the window
    std::shared_ptr<CommandRunner> runner;  // null: the engine's own commands
    ViewerPrompts* viewerPrompts = nullptr;  // null: message boxes; must outlive the window
};

class ProgramWindow : public QObject {
    Q_OBJECT

public:
    ProgramWindow() : ProgramWindow(ProgramSetup{}) {}
    explicit ProgramWindow(ProgramSetup setup);
    ~ProgramWindow() override;

    MainFrame& frame() const { return *m_frame; }
    SearchFormWidget& form() const { return *m_form; }
    ResultsPane& results() const { return *m_results; }
    SearchFormController& controller() const { return *m_controller; }
    settings::ProfileStore& store() { return m_store; }
    ResultList& resultList() const { return *m_resultList; }
    // The internal viewer (the page "Vorschau"); owned by the frame.
    ViewerAccess* viewer() const { return m_viewer; }

    // Shows the main window as it was placed when it last closed.
    void show();

    // The program's open operation (command line, dropped files, "Öffnen...",
    // recent files): the viewer shows `path`, the page "Vorschau" comes to
    // the front and the title names the file. False when nothing was opened.
    bool openDocumentFile(const QString& path);
    // Opening files and results, the word processor's window, recent files.
    ProgramDocuments& documents() const { return *m_documents; }
    // The tip of the day, modal, unless the user switched it off; called by
    // the program once its window is shown, never by the window itself.
    void showStartUpTip();
    // The menu "&?": About box, help, tips.
    HelpMenu& helpMenu() const { return *m_helpMenu; }

    // Targets that later parts of the program provide: the viewer opens a
    // result (40032), the options dialog (40037).
    void setOpenInViewerHandler(std::function<void(ItemHandle)> handler);
    void setOptionsHandler(std::function<void()> handler) { m_optionsHandler = std::move(handler); }

private:
    void connectFrame();
    void editOptions();
    void testExpression();
    void undoLastRun();
    void showReplacePreview(std::shared_ptr<const ReplacePreviewCollector> preview);
    void connectResultsCommands();
    void connectDocuments();
    void connectViewer(ViewerPage* viewer);
    void connectHelpMenu();

    SystemClock m_systemClock;
    settings::ProfileStore m_store;
    ProfileFrameSettings m_frameSettings;
    std::unique_ptr<DialogFormPrompts> m_dialogs;
    std::shared_ptr<ResultList> m_resultList;
    std::shared_ptr<QtNotifier> m_notifier;
    std::unique_ptr<SearchFormController> m_controller;
    std::unique_ptr<MainFrame> m_frame;
    SearchFormWidget* m_form = nullptr;  // owned by the frame
    ResultsPane* m_results = nullptr;  // owned by the frame
    ViewerAccess* m_viewer = nullptr;  // its page is owned by the frame
    std::function<void()> m_optionsHandler;
    FormPrompts* m_prompts = nullptr;
    std::unique_ptr<ProgramDocuments> m_documents;  // uses the frame, its panes and the controller
    std::unique_ptr<HelpMenu> m_helpMenu;  // uses the frame and the controller
};

}  // namespace tarnwick::ui
