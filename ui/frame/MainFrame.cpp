#include "ui/frame/MainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QMimeData>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/frame/DocumentOpenRules.h"
#include "ui/frame/MainFrameCommands.h"
#include "ui/frame/MainFrameIcons.h"
#include "ui/frame/StatusPanes.h"

namespace tarnwick::ui {
namespace {

ScreenRect ToScreenRect(const QRect& rect) { return {rect.x(), rect.y(), rect.width(), rect.height()}; }

// Gives the keyboard focus to the first widget of `pane` that takes it.
void FocusInto(QWidget* pane)
{
    if (pane->focusPolicy() & Qt::TabFocus) {
        pane->setFocus(Qt::ShortcutFocusReason);
        return;
    }
    for (QWidget* child : pane->findChildren<QWidget*>()) {
        if (child->isVisible() && child->isEnabled() && (child->focusPolicy() & Qt::TabFocus)) {
            child->setFocus(Qt::ShortcutFocusReason);
            return;
        }
    }
}

// Only these platforms hand key events the X modifier bits.
bool HasLockBits()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform == QLatin1String("wayland");
}

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

MainFrame::MainFrame(FrameSettings& settings, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_storedPlacement(settings.placement())
{
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(MainWindowTitle());
    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    createPaneLayout();
    connectCommands();

    m_style = DrawingStyleFromStored(m_settings.guiStyle());
    setStyleSheet(DrawingStyleSheet(m_style));
    applyPlacement();
    applyRowHeight();
    updateChecks();
    updateCaretPane();
    // Files dropped on any of its panes are opened in the viewer.
    setAcceptDrops(true);
    // Ctrl+Tab, the lock keys and dropped files must be seen before the focused pane gets them.
    qApp->installEventFilter(this);
}

MainFrame::~MainFrame() = default;

QAction* MainFrame::action(FrameCommand id) const
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QString MainFrame::statusText() const { return m_status->message(); }

QString MainFrame::caretPaneText() const { return m_status->caretText(); }

void MainFrame::applyPlacement()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const int icon = style()->pixelMetric(QStyle::PM_LargeIconSize);
    const PlacedWindow placed = PlaceWindow(m_storedPlacement, ToScreenRect(screen->availableGeometry()),
                                            screen->geometry().width(), screen->geometry().height(), icon, icon);
    setGeometry(placed.rect.x, placed.rect.y, placed.rect.width, placed.rect.height);
}

void MainFrame::showAsPlaced()
{
    if (m_storedPlacement.status == settings::ShowState::Maximized)
        showMaximized();
    else
        show();
}

void MainFrame::setBusy(bool busy)
{
    m_busy = busy;
    for (const CommandEntry& entry : AllCommands()) {
        if (entry.owner != CommandOwner::Form) continue;
        if (auto enabled = FrameEnablesCommand(entry.id, busy)) action(entry.id)->setEnabled(*enabled);
    }
}

void MainFrame::showResultsTab()
{
    m_tabs->setCurrentIndex(kResultsTab);
    updateChecks();
}

void MainFrame::showPreviewTab()
{
    m_tabs->setCurrentIndex(kPreviewTab);
    updateChecks();
}

void MainFrame::switchTab() { m_tabs->setCurrentIndex(m_activeTab == kResultsTab ? kPreviewTab : kResultsTab); }

void MainFrame::onTabChanged(int index)
{
    m_activeTab = index == kPreviewTab ? kPreviewTab : kResultsTab;
    updateChecks();
    updateCaretPane();
    emit activeTabChanged(m_activeTab);
}

void MainFrame::setFormExpanded(bool expanded)
{
    m_pane.setExpanded(expanded);
    applyRowHeight();
    updateChecks();
}

void MainFrame::toggleSearchPane()
{
    m_pane.toggleShown();
    applyRowHeight();
    updateChecks();
}

void MainFrame::toggleExtendedOptions()
{
    const bool fromHidden = m_pane.beginExpandToggle();
    if (isSignalConnected(QMetaMethod::fromSignal(&MainFrame::expandToggleRequested))) {
        emit expandToggleRequested(fromHidden);
    } else {
        // No form yet: the placeholder row follows the command on its own.
        m_pane.setExpanded(!m_pane.isExpanded());
    }
    applyRowHeight();
    updateChecks();
}

int MainFrame::formHeightNeeded() const { return m_form != nullptr ? m_form->sizeHint().height() : 0; }

void MainFrame::applyRowHeight()
{
    const bool shown = m_pane.rowHeight() > 0;
    m_formRow->setVisible(shown);
    m_rowHeightPending = shown;
    applyPendingRowHeight();
}

void MainFrame::applyPendingRowHeight()
{
    if (!m_rowHeightPending || !m_nav->isVisible()) return;
    const int total = m_nav->height() - m_nav->handleWidth();
    if (total <= 0) return;
    m_rowHeightPending = false;
    // Asked only now: the form's needs depend on its fonts, known once it is shown.
    m_formHeightApplied = formHeightNeeded();
    const int row = m_pane.rowHeight(m_formHeightApplied);
    // The splitter keeps the form at least at its minimum height.
    m_nav->setSizes({row, std::max(0, total - row)});
}

void MainFrame::setStatusText(const QString& text) { m_status->setMessage(text); }

void MainFrame::setViewerCaret(int line, int column)
{
    m_caretLine = line;
    m_caretColumn = column;
    updateCaretPane();
}

void MainFrame::updateCaretPane()
{
    const bool previewShown = m_preview != nullptr && m_activeTab == kPreviewTab;
    m_status->setCaretText(QString::fromStdString(CaretPaneText(previewShown, m_caretLine, m_caretColumn)));
}

void MainFrame::setDrawingStyle(DrawingStyle style)
{
    if (style != m_style) {
        m_style = style;
        setStyleSheet(DrawingStyleSheet(m_style));
        emit drawingStyleChanged(m_style);
    }
    updateChecks();
}

void MainFrame::updateChecks()
{
    action(FrameCommand::ShowResults)->setChecked(m_activeTab == kResultsTab);
    action(FrameCommand::ShowPreview)->setChecked(m_activeTab == kPreviewTab);
    action(FrameCommand::SearchOptions)->setChecked(m_pane.isShownChecked());
    action(FrameCommand::ExtendedSearchOptions)->setChecked(m_pane.isExpandedChecked());
    action(FrameCommand::ToolBar)->setChecked(!m_toolBar->isHidden());
    action(FrameCommand::StatusBar)->setChecked(!statusBar()->isHidden());
    action(FrameCommand::StyleXp)->setChecked(m_style == DrawingStyle::Xp);
    action(FrameCommand::Style2003)->setChecked(m_style == DrawingStyle::Office2003);
}

void MainFrame::focusNextPane(bool backwards)
{
    QList<QWidget*> panes;
    if (!m_formRow->isHidden()) panes << m_formRow;
    panes << m_tabs->currentWidget();
    qsizetype current = -1;
    for (qsizetype i = 0; i < panes.size(); ++i)
        if (panes[i]->isAncestorOf(focusWidget()) || panes[i] == focusWidget()) current = i;
    const qsizetype count = panes.size();
    const qsizetype next = current < 0 ? 0 : (current + (backwards ? count - 1 : 1)) % count;
    FocusInto(panes[next]);
}

bool MainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_nav && event->type() == QEvent::Resize && m_rowHeightPending) {
        // The splitter shares out its new size first; the form row is set after that.
        QMetaObject::invokeMethod(
            this, [this] { applyPendingRowHeight(); }, Qt::QueuedConnection);
    }
    if (watched == m_formRow && event->type() == QEvent::LayoutRequest && !m_formRow->isHidden() &&
        formHeightNeeded() != m_formHeightApplied) {
        // The form grew or shrank (a line appeared, other fonts): its row follows,
        // so that it shows everything without a scroll bar.
        applyRowHeight();
    }
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) && handleKey(watched, event)) return true;
    if ((event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove || event->type() == QEvent::Drop) &&
        handleDrop(watched, event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

bool MainFrame::handleKey(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (HasLockBits()) m_status->setLocks(LocksFromNativeModifiers(key->nativeModifiers()));
    const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
    if (event->type() != QEvent::KeyPress || !tab || !(key->modifiers() & Qt::ControlModifier)) return false;
    switchTab();
    return true;
}

// Files dropped anywhere on the window, its panes and fields included, are
// opened in the viewer; text dropped into a field stays the field's.
bool MainFrame::handleDrop(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) return false;
    auto* drop = static_cast<QDropEvent*>(event);
    if (drop->mimeData() == nullptr || !drop->mimeData()->hasUrls()) return false;
    const QString path = DroppedFilePath(drop->mimeData()->urls());
    if (path.isEmpty()) return false;
    drop->acceptProposedAction();
    if (event->type() == QEvent::Drop) {
        // Opened once the drop is over: a message about the file must not hold up the program it came from.
        QMetaObject::invokeMethod(
            this, [this, path] { emit fileDropped(path); }, Qt::QueuedConnection);
    }
    return true;
}

void MainFrame::closeEvent(QCloseEvent* event)
{
    if (RunCloseSequence(*this))
        event->accept();
    else
        event->ignore();
}

void MainFrame::saveFormSettings()
{
    if (m_saveFormSettings) m_saveFormSettings();
}

void MainFrame::writeGuiStyle() { m_settings.setGuiStyle(static_cast<int>(m_style)); }

bool MainFrame::confirmViewerClose() { return m_confirmViewerClose ? m_confirmViewerClose() : true; }

void MainFrame::writePlacement()
{
    QRect normal = normalGeometry();
    if (!normal.isValid()) normal = geometry();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const ScreenRect workArea = screen != nullptr ? ToScreenRect(screen->availableGeometry()) : ScreenRect{};
    m_settings.setPlacement(
        PlacementOf(ToScreenRect(normal), workArea, isMaximized(), static_cast<int>(m_style), m_storedPlacement.theme));
}

// --- actions, menus, tool bar, status bar and panes ---
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
