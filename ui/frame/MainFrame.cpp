#include "ui/frame/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMimeData>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>

#include <algorithm>

#include "ui/frame/DocumentOpenRules.h"
#include "ui/frame/MainFrameCommands.h"
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

}  // namespace tarnwick::ui
