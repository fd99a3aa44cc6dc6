#include "ui/app/ProgramWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "engine/documents/WordDocumentEngine.h"
#include "engine/undo/JournalStore.h"
#include "engine/undo/UndoRun.h"
#include "engine/undo/UndoTexts.h"
#include "formjob/RunValues.h"
#include "platform/CodePage.h"
#include "settings/OptionsSettings.h"
#include "ui/app/ProgramDocuments.h"
#include "ui/expressiontester/ExpressionTesterDialog.h"
#include "ui/expressiontester/HitSample.h"
#include "ui/frame/DocumentOpenRules.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/MainFrameCommands.h"
#include "ui/help/HelpMenu.h"
#include "ui/options/OptionsDialog.h"
#include "ui/replacepreview/ReplacePreviewDialog.h"
#include "ui/results/DefaultPdfViewer.h"
#include "ui/results/ExportCommand.h"
#include "ui/results/ExternalEditor.h"
#include "ui/results/ResultsCommandTexts.h"
#include "ui/results/ResultsPane.h"
#include "ui/searchform/QtNotifier.h"
#include "ui/searchform/SavedSearchesDialog.h"
#include "ui/searchform/SearchFormController.h"
#include "ui/searchform/SearchFormDialogs.h"
#include "ui/searchform/SearchFormTexts.h"
#include "ui/searchform/SearchFormWidget.h"
#include "ui/viewer/ViewerEdit.h"
#include "ui/viewer/ViewerIcons.h"
#include "ui/viewer/ViewerPage.h"
#include "word/libreoffice/DocumentApplication.h"
#include "word/libreoffice/SofficeProcess.h"
#include "word/libreoffice/WriterWindow.h"

namespace tarnwick::ui {
namespace {

// The results commands of the main menu, carried out by the results pane.
constexpr FrameCommand kResultsCommands[] = {
    FrameCommand::OpenInViewer, FrameCommand::OpenWithProgram, FrameCommand::ReplaceMarked, FrameCommand::MarkAll,
    FrameCommand::MarkNone,     FrameCommand::ExportResults,   FrameCommand::ExpandAll,     FrameCommand::CollapseAll,
};

// The viewer's editing commands: they act on the page "Vorschau" only while it is shown.
bool IsViewerEditCommand(FrameCommand id)
{
    switch (id) {
    case FrameCommand::Undo:
    case FrameCommand::Cut:
    case FrameCommand::Copy:
    case FrameCommand::Paste:
    case FrameCommand::SelectAll:
    case FrameCommand::Find:
    case FrameCommand::Replace:
    case FrameCommand::FindNext:
    case FrameCommand::GoTo: return true;
    default: return false;
    }
}

}  // namespace

ProgramWindow::ProgramWindow(ProgramSetup setup)
    : m_store(setup.profilePath.empty() ? settings::DefaultProfilePath() : setup.profilePath), m_frameSettings(m_store),
      m_resultList(std::make_shared<ResultList>()), m_notifier(QtNotifier::create())
{
    const CodePage& codePage = CodePage::system();
    FormPrompts* prompts = setup.prompts;
    if (prompts == nullptr) {
        m_dialogs = std::make_unique<DialogFormPrompts>(nullptr, codePage);
        prompts = m_dialogs.get();
    }
    m_prompts = prompts;
    const Clock& clock = setup.clock != nullptr ? *setup.clock : m_systemClock;
    FormWorkerParts parts;
    parts.results = m_resultList;
    parts.notifier = m_notifier;
    parts.status = m_notifier;
    // Documents go through the built-in component, which reads and writes them directly,
    // and the formats it does not know through a LibreOffice server.
    parts.documents = std::make_shared<WordDocumentEngine>(word::CreateDocumentApplication);
    parts.runner = std::move(setup.runner);
    m_controller = std::make_unique<SearchFormController>(FormServices{*prompts, clock, codePage, &m_store}, std::move(parts));
    m_notifier->attach(&m_controller->runs());

    m_frame = std::make_unique<MainFrame>(m_frameSettings);
    if (m_dialogs) m_dialogs->setParent(m_frame.get());
    m_results = new ResultsPane(m_resultList, codePage);
    m_frame->setResultsWidget(m_results);
    m_form = new SearchFormWidget(*m_controller, codePage);
    m_frame->setFormWidget(m_form);
    auto* viewer = new ViewerPage(m_store, codePage, setup.viewerPrompts);
    m_viewer = viewer;
    m_frame->setPreviewWidget(viewer);

    connectFrame();
    connectResultsCommands();
    connectViewer(viewer);
    connectDocuments();
    connectHelpMenu();
    // First show of the form: its settings, its dates, collapsed if it was.
    m_controller->initialize();
}

ProgramWindow::~ProgramWindow()
{
    // Nothing the worker still sends may reach the form from here on.
    m_notifier->detach();
    // The word processor quits and its window goes before the frame it serves.
    m_documents.reset();
    m_frame.reset();
}

void ProgramWindow::show() { m_frame->showAsPlaced(); }

bool ProgramWindow::openDocumentFile(const QString& path) { return m_documents->openDocumentFile(path); }

void ProgramWindow::connectDocuments()
{
    // One Writer connection for the program, used on the router's thread only.
    auto writerShow = [window = std::shared_ptr<word::WriterWindow>()](const DocumentHit& hit) mutable {
        if (!window)
            window = std::make_shared<word::WriterWindow>(word::WriterLaunch{word::FindSoffice(), word::WriterTimeLimit(), {}});
        window->show(hit.path, hit.story, hit.position, hit.length);
    };
    m_documents = std::make_unique<ProgramDocuments>(ProgramDocumentParts{
        *m_frame, *m_results, *m_controller, *m_form, m_store, *m_prompts, CodePage::system(), [this] { return m_viewer; },
        word::CreateFileApplication, [] { return word::WriterCanShowWindows(word::FindSoffice()); }, std::move(writerShow),
        word::WriterTimeLimit(),
        [](const std::string& path, int page) {
            DetachedProgramStarter starter;
            return OpenPdfAtPage(path, page, starter);
        }});
}

void ProgramWindow::showStartUpTip() { m_helpMenu->showStartUpTip(); }

void ProgramWindow::setOpenInViewerHandler(std::function<void(ItemHandle)> handler)
{
    m_results->setOpenInViewerHandler(std::move(handler));
}

void ProgramWindow::connectFrame()
{
    MainFrame* frame = m_frame.get();
    SearchFormController* form = m_controller.get();
    FormRunner* runs = &m_controller->runs();
    connect(frame, &MainFrame::startSearchRequested, this, [runs] { runs->startSearchRun(); });
    connect(frame, &MainFrame::startReplaceRequested, this, [runs] { runs->startReplaceRun(); });
    connect(frame, &MainFrame::previewReplaceRequested, this, [runs] { runs->startReplacePreview(); });
    // Shown once the preview's completion message has been handled, outside it.
    runs->setPreviewHandler([this](std::shared_ptr<const ReplacePreviewCollector> preview) {
        QMetaObject::invokeMethod(
            this, [this, preview] { showReplacePreview(preview); }, Qt::QueuedConnection);
    });
    connect(frame, &MainFrame::stopRequested, this, [runs] { runs->stop(); });
    connect(frame, &MainFrame::convertNamesRequested, this, [runs] { runs->convertFileNames(); });
    connect(frame, &MainFrame::copyCommandLineRequested, this, [frame, form](bool replace) {
        QGuiApplication::clipboard()->setText(FormTextToQt(form->commandLineText(replace), CodePage::system()));
        frame->setStatusText(QStringLiteral("Befehlszeile in die Zwischenablage kopiert"));
    });
    m_form->addContextActions({frame->action(FrameCommand::SaveSearch), frame->action(FrameCommand::SavedSearches),
                               frame->action(FrameCommand::CopySearchLine), frame->action(FrameCommand::CopyReplaceLine)});
    connect(frame, &MainFrame::saveSearchRequested, this, [frame, form] {
        const CodePage& codePage = CodePage::system();
        bool ok = false;
        const QString name = QInputDialog::getText(frame, QString::fromUtf8(formtext::kSaveSearchTitle),
                                                   QString::fromUtf8(formtext::kSaveSearchLabel), QLineEdit::Normal,
                                                   FormTextToQt(form->state().searchTexts.text, codePage), &ok);
        if (ok) form->saveSearch(QtToFormText(name, codePage));
    });
    connect(frame, &MainFrame::savedSearchesRequested, this, [frame, form] {
        SavedSearchesDialog dialog(*form, CodePage::system(), frame);
        dialog.exec();
    });
    connect(frame, &MainFrame::expandToggleRequested, this,
            [form](bool expandFromHidden) { form->toggleExpanded(expandFromHidden); });
    connect(frame, &MainFrame::optionsRequested, this, [this] {
        if (m_optionsHandler)
            m_optionsHandler();
        else
            editOptions();
    });
    connect(frame, &MainFrame::expressionTesterRequested, this, [this] { testExpression(); });
    frame->setSaveFormSettingsHook([form] { form->saveFormSettings(); });
    connect(frame, &MainFrame::undoLastRunRequested, this, [this] { undoLastRun(); });
    frame->setUndoAvailableHook([] { return HasJournals(JournalRoot()); });

    connect(m_form, &SearchFormWidget::busyChanged, frame, &MainFrame::setBusy);
    // A run's end shows at once, not with the pane's next step.
    connect(m_form, &SearchFormWidget::busyChanged, m_results, [results = m_results](bool busy) {
        if (!busy) results->catchUp();
    });
    connect(m_form, &SearchFormWidget::expandedChanged, frame, &MainFrame::setFormExpanded);
    connect(m_form, &SearchFormWidget::statusTextChanged, frame, &MainFrame::setStatusText);
    connect(m_form, &SearchFormWidget::lastRunWasSearchChanged, m_results, &ResultsPane::setLastRunWasSearch);
    connect(m_form, &SearchFormWidget::selectedReplaceEnded, m_results, &ResultsPane::selectedReplaceFinished);
}

void ProgramWindow::connectResultsCommands()
{
    m_results->setMarkedResultsReplacer(&m_controller->runs());
    // "Ergebnisliste exportieren": the run values are what the worker was last handed.
    m_results->setExportHandler([this] {
        RunExportCommand(m_frame.get(), m_store, *m_resultList, session::MakeRunValues(m_controller->runs().worker()),
                         ProgramDirectory());
    });
    // The command is read from the settings each time: the options dialog may have changed it.
    m_results->setExternalEditorHandler([this](const std::string& path, std::int64_t position) {
        DetachedProgramStarter starter;
        const std::string command = settings::ReadOptionsSettings(m_store).externalEditor;
        if (const std::optional<std::string> error = OpenInExternalEditor(command, path, position, starter))
            QMessageBox::warning(m_frame.get(), QApplication::applicationDisplayName(), QString::fromStdString(*error));
    });
    // The main menu's entries take their state from the pane's actions and
    // run them.
    for (FrameCommand id : kResultsCommands) {
        QAction* menuAction = m_frame->action(id);
        QAction* paneAction = m_results->action(static_cast<int>(id));
        if (menuAction == nullptr || paneAction == nullptr) continue;
        connect(menuAction, &QAction::triggered, paneAction, &QAction::trigger);
        connect(paneAction, &QAction::changed, menuAction,
                [menuAction, paneAction] { menuAction->setEnabled(paneAction->isEnabled()); });
        menuAction->setEnabled(paneAction->isEnabled());
    }
}

void ProgramWindow::connectHelpMenu()
{
    m_helpMenu = std::make_unique<HelpMenu>(*m_frame, *m_controller, m_store, ProgramDirectory());
    HelpMenu* menu = m_helpMenu.get();
    connect(m_frame->action(FrameCommand::About), &QAction::triggered, this, [menu] { menu->showAbout(); });
    connect(m_frame->action(FrameCommand::Help), &QAction::triggered, this, [menu] { menu->showHelp(); });
    connect(m_frame->action(FrameCommand::Tips), &QAction::triggered, this, [menu] { menu->showTips(); });
}

// The viewer's commands of the main menu follow the page's actions. The
// editing commands act on the page only while it is the visible tab; the
// file commands ("Datei (Vorschau)") and the view's own settings always.
void ProgramWindow::connectViewer(ViewerPage* viewer)
{
    MainFrame* frame = m_frame.get();
    for (const CommandEntry& entry : AllCommands()) {
        if (entry.owner != CommandOwner::Viewer) continue;
        QAction* menuAction = frame->action(entry.id);
        QAction* pageAction = viewer->action(entry.id);
        if (menuAction == nullptr || pageAction == nullptr) continue;
        if (menuAction->icon().isNull()) menuAction->setIcon(pageAction->icon());
        const bool onlyOnPage = IsViewerEditCommand(entry.id);
        const auto follow = [frame, menuAction, pageAction, onlyOnPage] {
            menuAction->setEnabled(pageAction->isEnabled() && (!onlyOnPage || frame->activeTab() == MainFrame::kPreviewTab));
            if (pageAction->isCheckable()) menuAction->setChecked(pageAction->isChecked());
        };
        if (menuAction->isCheckable()) {
            connect(menuAction, &QAction::triggered, pageAction, [pageAction](bool on) { pageAction->setChecked(on); });
        } else {
            connect(menuAction, &QAction::triggered, pageAction, &QAction::trigger);
        }
        connect(pageAction, &QAction::changed, menuAction, follow);
        connect(frame, &MainFrame::activeTabChanged, menuAction, follow);
        follow();
    }
    if (QAction* open = frame->action(FrameCommand::FileOpen)) {
        if (open->icon().isNull()) open->setIcon(ViewerCommandIcon(FrameCommand::FileOpen));
        viewer->setOpenAction(open);
    }
    connect(viewer, &ViewerPage::caretMoved, frame, &MainFrame::setViewerCaret);
    // Ctrl+N: the new empty document is shown at once.
    connect(frame->action(FrameCommand::FileNew), &QAction::triggered, frame, [frame] { frame->showPreviewTab(); });
    // The page "Vorschau" brought to the front makes the viewer the active
    // view, once the switch (and a result it opens) is done.
    connect(frame, &MainFrame::activeTabChanged, viewer, [viewer](int tab) {
        if (tab != MainFrame::kPreviewTab) return;
        QMetaObject::invokeMethod(
            viewer,
            [viewer] {
                if (viewer->isLoaded()) viewer->editor()->setFocus(Qt::OtherFocusReason);
            },
            Qt::QueuedConnection);
    });
    // A file loaded for a result, or saved under a new name, names the window too.
    connect(viewer, &ViewerPage::pathChanged, frame,
            [frame](const QString& path) { frame->setWindowTitle(MainWindowTitle(path)); });
    frame->setViewerCloseHook([viewer] { return viewer->confirmClose(); });
    // A replace run changes files: the next result opened reads its file again.
    connect(m_form, &SearchFormWidget::filesAboutToChange, viewer, &ViewerPage::markForReload);
    // The find dialog starts from what the search form holds.
    viewer->setFindDefaults([this] {
        const settings::FormState& state = m_controller->state();
        const CodePage& codePage = CodePage::system();
        ViewerFindOptions options;
        options.findText = FormTextToQt(state.searchTexts.text, codePage);
        options.replaceText = FormTextToQt(state.replaceTexts.text, codePage);
        options.wholeWord = state.wholeWords != 0;
        options.matchCase = state.matchCase != 0;
        options.regularExpression = state.regularExpression != 0;
        options.captures = state.replacementCaptures != 0;
        options.preserveCase = state.preserveCase != 0;
        options.specialCharacters = state.specialCharacters != 0;
        return options;
    });
}

// The options dialog writes its section itself; the form then takes the
// values, so the running program and the store agree. An opt-out ticked in
// its warning counts however the dialog was closed.
// "Rückgängig: letzter Ersetzungslauf": the newest run, after a question.
void ProgramWindow::undoLastRun()
{
    const std::string root = JournalRoot();
    const std::vector<JournalInfo> journals = ListJournals(root);
    if (journals.empty()) {
        m_dialogs->showMessage(kNothingToUndo);
        return;
    }
    const JournalInfo& newest = journals.front();
    const QString when = QDateTime::fromSecsSinceEpoch(newest.created).toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    if (!m_dialogs->askOkCancel(UndoQuestion(newest, when.toStdString()))) return;
    m_dialogs->showMessage(UndoMessage(UndoRun(root, newest.id)));
}

// "Ersetzen" in the preview starts the ordinary replace with the previewed values.
void ProgramWindow::showReplacePreview(std::shared_ptr<const ReplacePreviewCollector> preview)
{
    ReplacePreviewDialog dialog(std::move(preview), m_frame.get());
    if (dialog.exec() == QDialog::Accepted) m_controller->runs().startPreviewedReplace();
}

void ProgramWindow::editOptions()
{
    settings::FormState& fields = m_controller->fields();
    std::uint32_t warningBits = fields.warningBits;
    const auto accepted = EditOptions(m_frame.get(), fields.options, warningBits, m_store);
    fields.warningBits = warningBits;
    if (accepted) m_controller->applyOptions(*accepted);
}

// "Ausdruck testen": the sample is the viewer's selection or the line of
// the selected hit, whichever the user is looking at.
void ProgramWindow::testExpression()
{
    const CodePage& codePage = CodePage::system();
    std::string selection;
    auto* viewer = dynamic_cast<ViewerPage*>(m_viewer);
    if (viewer != nullptr && viewer->isLoaded()) {
        // A selection spanning lines holds paragraph separators where the line ends were.
        const QString text = viewer->editor()->textCursor().selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        selection = codePage.utf8ToAnsi(text.toStdString());
    }
    const std::vector<ItemHandle> selected = m_resultList->SelectedItems();
    const TesterSample hitLine = selected.empty() ? TesterSample{} : SampleOfHit(*m_resultList, selected.front(), codePage);
    const TesterSample sample = ChooseSample(m_frame->activeTab() == MainFrame::kPreviewTab, selection, hitLine);
    ExpressionTesterDialog dialog(*m_controller, sample, codePage, m_frame.get());
    dialog.exec();
}

}  // namespace tarnwick::ui
