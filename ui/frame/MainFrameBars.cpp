// Building the main window's actions, menus, tool bar, status bar and panes.
#include <algorithm>

#include <QAction>
#include <QActionGroup>
#include <QHeaderView>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/frame/MainFrame.h"
#include "ui/frame/MainFrameCommands.h"
#include "ui/frame/MainFrameIcons.h"
#include "ui/frame/StatusPanes.h"

namespace tarnwick::ui {
namespace {

QString Text(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

// A page whose single pane can be exchanged without the tab moving.
QWidget* MakeHolder(QWidget* parent, const QString& name, QWidget* content)
{
    auto* holder = new QWidget(parent);
    holder->setObjectName(name);
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(content);
    return holder;
}

// Puts `content` in place of whatever `holder` shows, deleting the old pane.
void ReplaceContent(QWidget* holder, QWidget* content)
{
    QLayout* layout = holder->layout();
    while (QLayoutItem* item = layout->takeAt(0)) {
        QWidget* old = item->widget();
        if (old != nullptr && old != content) old->deleteLater();
        delete item;
    }
    content->setParent(holder);
    layout->addWidget(content);
    content->show();
}

QWidget* MakeResultsPlaceholder()
{
    auto* tree = new QTreeWidget;
    tree->setObjectName(QStringLiteral("resultsPlaceholder"));
    tree->setHeaderLabels(
        {QStringLiteral("Datei/Kontext"), QStringLiteral("Position [Byte]"), QStringLiteral("Fehler/Bemerkungen")});
    tree->header()->resizeSection(0, 420);
    tree->header()->resizeSection(1, 110);
    tree->setFrameShape(QFrame::NoFrame);
    return tree;
}

}  // namespace

void MainFrame::createActions()
{
    for (const CommandEntry& entry : AllCommands()) {
        auto* act = new QAction(Text(entry.text), this);
        act->setObjectName(QStringLiteral("command%1").arg(static_cast<int>(entry.id)));
        act->setData(static_cast<int>(entry.id));
        act->setToolTip(Text(ToolTipOf(entry)));
        act->setStatusTip(Text(entry.statusTip));
        act->setCheckable(entry.checkable);
        act->setIcon(CommandIcon(entry.id));
        QList<QKeySequence> keys;
        for (const std::string& key : entry.keys) keys << QKeySequence(Text(key), QKeySequence::PortableText);
        act->setShortcuts(keys);
        act->setEnabled(FrameEnablesCommand(entry.id, m_busy).value_or(false));
        m_actions[entry.id] = act;
    }
    auto* tabs = new QActionGroup(this);
    tabs->addAction(action(FrameCommand::ShowResults));
    tabs->addAction(action(FrameCommand::ShowPreview));
    auto* styles = new QActionGroup(this);
    styles->addAction(action(FrameCommand::StyleXp));
    styles->addAction(action(FrameCommand::Style2003));
}

void MainFrame::createMenus()
{
    for (const MenuEntry& entry : MainMenuLayout()) {
        QMenu* menu = menuBar()->addMenu(Text(entry.title));
        if (std::find(entry.entries.begin(), entry.entries.end(), FrameCommand::UndoLastRun) != entry.entries.end()) {
            connect(menu, &QMenu::aboutToShow, this,
                    [this] { action(FrameCommand::UndoLastRun)->setEnabled(!m_busy && m_undoAvailable && m_undoAvailable()); });
        }
        for (const auto& entry : entry.entries) {
            if (entry)
                menu->addAction(action(*entry));
            else
                menu->addSeparator();
        }
    }
}

void MainFrame::createToolBar()
{
    m_toolBar = new QToolBar(QStringLiteral("Standard"), this);
    m_toolBar->setObjectName(QStringLiteral("standardToolBar"));
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->setMovable(true);
    QFont font(QStringLiteral("Tohama"));
    font.setPointSize(9);
    m_toolBar->setFont(font);
    for (const auto& entry : MainToolBarLayout()) {
        if (entry)
            m_toolBar->addAction(action(*entry));
        else
            m_toolBar->addSeparator();
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

void MainFrame::createStatusBar() { m_status = std::make_unique<StatusPanes>(statusBar()); }

void MainFrame::createPaneLayout()
{
    m_nav = new QSplitter(Qt::Vertical, this);
    m_nav->setObjectName(QStringLiteral("Nav"));
    m_nav->setChildrenCollapsible(false);

    auto* formPlaceholder = new QWidget;
    formPlaceholder->setObjectName(QStringLiteral("searchFormPlaceholder"));
    m_formRow = MakeHolder(m_nav, QStringLiteral("searchFormRow"), formPlaceholder);

    m_tabs = new QTabWidget(m_nav);
    m_tabs->setObjectName(QStringLiteral("tabWindow"));
    m_tabs->setDocumentMode(false);
    m_resultsPage = MakeHolder(m_tabs, QStringLiteral("resultsPage"), MakeResultsPlaceholder());
    auto* previewPlaceholder = new QWidget;
    previewPlaceholder->setObjectName(QStringLiteral("previewPlaceholder"));
    m_previewPage = MakeHolder(m_tabs, QStringLiteral("previewPage"), previewPlaceholder);
    m_tabs->addTab(m_resultsPage, QStringLiteral("Ergebnisse"));
    m_tabs->addTab(m_previewPage, QStringLiteral("Vorschau"));

    m_nav->addWidget(m_formRow);
    m_nav->addWidget(m_tabs);
    // Extra height goes to the results; the form keeps its row.
    m_nav->setStretchFactor(0, 0);
    m_nav->setStretchFactor(1, 1);
    setCentralWidget(m_nav);
}

void MainFrame::setFormWidget(QWidget* form)
{
    if (form == nullptr) return;
    m_form = form;
    ReplaceContent(m_formRow, form);
    applyRowHeight();
}

void MainFrame::setResultsWidget(QWidget* results)
{
    if (results == nullptr) return;
    m_results = results;
    ReplaceContent(m_resultsPage, results);
}

void MainFrame::setPreviewWidget(QWidget* viewer)
{
    if (viewer == nullptr) return;
    m_preview = viewer;
    ReplaceContent(m_previewPage, viewer);
    updateCaretPane();
}

void MainFrame::connectCommands()
{
    const auto on = [this](FrameCommand id, auto slot) { connect(action(id), &QAction::triggered, this, slot); };
    on(FrameCommand::StartSearch, [this] { emit startSearchRequested(); });
    on(FrameCommand::StartReplace, [this] { emit startReplaceRequested(); });
    on(FrameCommand::PreviewReplace, [this] { emit previewReplaceRequested(); });
    on(FrameCommand::Stop, [this] { emit stopRequested(); });
    on(FrameCommand::ConvertNames, [this] { emit convertNamesRequested(); });
    on(FrameCommand::SaveSearch, [this] { emit saveSearchRequested(); });
    on(FrameCommand::SavedSearches, [this] { emit savedSearchesRequested(); });
    on(FrameCommand::UndoLastRun, [this] { emit undoLastRunRequested(); });
    on(FrameCommand::CopySearchLine, [this] { emit copyCommandLineRequested(false); });
    on(FrameCommand::CopyReplaceLine, [this] { emit copyCommandLineRequested(true); });
    on(FrameCommand::Options, [this] { emit optionsRequested(); });
    on(FrameCommand::ExpressionTester, [this] { emit expressionTesterRequested(); });
    on(FrameCommand::Exit, [this] { close(); });
    on(FrameCommand::ShowResults, [this] { showResultsTab(); });
    on(FrameCommand::ShowPreview, [this] { showPreviewTab(); });
    on(FrameCommand::SearchOptions, [this] { toggleSearchPane(); });
    on(FrameCommand::ExtendedSearchOptions, [this] { toggleExtendedOptions(); });
    on(FrameCommand::StyleXp, [this] { setDrawingStyle(DrawingStyle::Xp); });
    on(FrameCommand::Style2003, [this] { setDrawingStyle(DrawingStyle::Office2003); });
    connect(action(FrameCommand::ToolBar), &QAction::toggled, m_toolBar, &QToolBar::setVisible);
    connect(m_toolBar, &QToolBar::visibilityChanged, this, [this](bool) { updateChecks(); });
    connect(action(FrameCommand::StatusBar), &QAction::toggled, statusBar(), &QStatusBar::setVisible);
    connect(m_tabs, &QTabWidget::currentChanged, this, &MainFrame::onTabChanged);

    // Next and previous pane: keys without a menu entry.
    auto* nextPane = new QAction(this);
    nextPane->setShortcut(QKeySequence(Qt::Key_F6));
    connect(nextPane, &QAction::triggered, this, [this] { focusNextPane(false); });
    auto* previousPane = new QAction(this);
    previousPane->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    connect(previousPane, &QAction::triggered, this, [this] { focusNextPane(true); });
    addActions({nextPane, previousPane});
}

}  // namespace tarnwick::ui
