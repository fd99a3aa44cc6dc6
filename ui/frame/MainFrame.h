#pragma once

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>

#include "ui/frame/AppStyle.h"
#include "ui/frame/CloseSequence.h"
#include "ui/frame/FrameSettings.h"
#include "ui/frame/MainFrameCommand.h"
#include "ui/frame/SearchPaneState.h"

class QAction;
class QSplitter;
class QTabWidget;
class QToolBar;

namespace tarnwick::ui {

class StatusPanes;

// The main window: menu bar, tool bar "Standard", the five status panes, and
// the pane layout "Nav" with the search form on top and below it the tab
// window with the pages "Ergebnisse" and "Vorschau". It owns the panes it is
// given. Commands of the search form leave as signals; the results pane and
// the viewer take their menu commands from action(). UI thread only.
class MainFrame : public QMainWindow, private CloseSteps {
    Q_OBJECT

public:
    static constexpr int kResultsTab = 0;
    static constexpr int kPreviewTab = 1;

    // Reads the placement and the drawing style from `settings`, which must
    // outlive the window.
    explicit MainFrame(FrameSettings& settings, QWidget* parent = nullptr);
    ~MainFrame() override;

    // Shows the window normal or maximised, as it was stored.
    void showAsPlaced();

    QAction* action(FrameCommand id) const;
    QToolBar* mainToolBar() const { return m_toolBar; }
    QTabWidget* tabWindow() const { return m_tabs; }
    QSplitter* navSplitter() const { return m_nav; }

    // The panes given so far; nullptr while a placeholder stands in.
    QWidget* formWidget() const { return m_form; }
    QWidget* resultsWidget() const { return m_results; }
    QWidget* previewWidget() const { return m_preview; }

    int activeTab() const { return m_activeTab; }
    bool isBusy() const { return m_busy; }
    DrawingStyle drawingStyle() const { return m_style; }
    const SearchPaneState& searchPane() const { return m_pane; }
    QString statusText() const;
    QString caretPaneText() const;

    // Close steps of the panes: the form writes its settings (after stopping its
    // run); the viewer asks about unsaved changes and returns false on cancel.
    void setSaveFormSettingsHook(std::function<void()> hook) { m_saveFormSettings = std::move(hook); }
    void setViewerCloseHook(std::function<bool()> hook) { m_confirmViewerClose = std::move(hook); }
    // Whether there is a run to undo; asked each time the menu holding the command opens.
    void setUndoAvailableHook(std::function<bool()> hook) { m_undoAvailable = std::move(hook); }

public slots:
    void setFormWidget(QWidget* form);
    void setResultsWidget(QWidget* results);
    void setPreviewWidget(QWidget* viewer);

    // The search form's busy flag: enables "Stopp" or the commands that start a run.
    void setBusy(bool busy);

    void showResultsTab();
    void showPreviewTab();

    // The form reports that it has expanded or collapsed itself; its row gets
    // 400 or 150 pixels, or the form's size hint where that is higher, while it
    // is shown. The row follows the hint when it changes later.
    void setFormExpanded(bool expanded);

    // Status pane 0: the search form's and the worker's messages.
    void setStatusText(const QString& text);

    // The viewer's caret, 0-based; shown while the tab "Vorschau" is active.
    void setViewerCaret(int line, int column);

    void setDrawingStyle(tarnwick::ui::DrawingStyle style);

signals:
    void startSearchRequested();
    void startReplaceRequested();
    void previewReplaceRequested();
    void stopRequested();
    void convertNamesRequested();
    // "Suche/Ersetzen als Befehlszeile kopieren".
    void copyCommandLineRequested(bool replace);
    void saveSearchRequested();
    void savedSearchesRequested();
    // "Rückgängig: letzter Ersetzungslauf".
    void undoLastRunRequested();
    void optionsRequested();
    void expressionTesterRequested();
    // "Er&weitere Suchoptionen": the form toggles expanded/collapsed; with
    // `expandFromHidden` it clears its expanded flag first, so it ends expanded.
    // It then reports the new state through setFormExpanded.
    void expandToggleRequested(bool expandFromHidden);
    void activeTabChanged(int index);
    // A file was dropped on the window (the first of several): `path` is to be
    // opened in the viewer. Sent after the drop has ended.
    void fileDropped(const QString& path);
    void drawingStyleChanged(tarnwick::ui::DrawingStyle style);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building the actions, menus, tool bar, status bar and panes.
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void createPaneLayout();
    void connectCommands();

    void applyPlacement();
    void applyRowHeight();
    void applyPendingRowHeight();
    int formHeightNeeded() const;
    void toggleSearchPane();
    void toggleExtendedOptions();
    void onTabChanged(int index);
    void switchTab();
    void focusNextPane(bool backwards);
    void updateChecks();
    void updateCaretPane();
    bool handleKey(QObject* watched, QEvent* event);
    bool handleDrop(QObject* watched, QEvent* event);

    // CloseSteps
    void saveFormSettings() override;
    void writeGuiStyle() override;
    bool confirmViewerClose() override;
    void writePlacement() override;

    FrameSettings& m_settings;
    WindowPlacement m_storedPlacement;
    std::map<FrameCommand, QAction*> m_actions;
    QToolBar* m_toolBar = nullptr;
    std::unique_ptr<StatusPanes> m_status;
    QSplitter* m_nav = nullptr;
    QWidget* m_formRow = nullptr;
    QTabWidget* m_tabs = nullptr;
    QWidget* m_resultsPage = nullptr;
    QWidget* m_previewPage = nullptr;
    QWidget* m_form = nullptr;
    QWidget* m_results = nullptr;
    QWidget* m_preview = nullptr;

    SearchPaneState m_pane;
    bool m_rowHeightPending = false;  // applied once the splitter has its size
    int m_formHeightApplied = -1;  // the form's height hint the row was last set for
    int m_activeTab = kResultsTab;
    bool m_busy = false;
    DrawingStyle m_style = DrawingStyle::Office2003;
    int m_caretLine = 0;
    int m_caretColumn = 0;
    std::function<void()> m_saveFormSettings;
    std::function<bool()> m_confirmViewerClose;
    std::function<bool()> m_undoAvailable;
};

}  // namespace tarnwick::ui
