#pragma once
// The results pane: the results tool bar and the filter field above the
// tree of the result list.
// It follows the store with a batching timer (the worker appends on its own
// thread; the pane only ever reads the store on the user interface thread),
// keeps the user's selection in the store in the order it was made, and
// binds the results commands to actions for its tool bar, the main menu and
// its context menu.
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "results/ResultList.h"
#include "ui/results/CatchUpPacing.h"
#include "ui/results/PathColumnFit.h"
#include "ui/results/ResultsCommands.h"

class QAction;
class QItemSelection;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;
class QToolBar;

namespace tarnwick {
class CodePage;
}

namespace tarnwick::ui {

class ResultsFilterModel;
class ResultsModel;
class ResultsTreeView;

class ResultsPane : public QWidget, private ResultsCommandHost {
    Q_OBJECT

public:
    explicit ResultsPane(std::shared_ptr<ResultList> list, QWidget* parent = nullptr);
    ResultsPane(std::shared_ptr<ResultList> list, const CodePage& codePage, QWidget* parent = nullptr);
    ~ResultsPane() override;

    ResultList& results() const { return *m_list; }
    ResultsModel* model() const { return m_model; }
    ResultsTreeView* view() const { return m_view; }
    QToolBar* toolBar() const { return m_toolBar; }
    QLineEdit* filterField() const { return m_filterField; }
    QLabel* filterCount() const { return m_filterCount; }
    // The row the view shows for a store item; invalid when the filter hides it.
    QModelIndex viewIndexOf(ItemHandle item) const;
    ResultsCommands& commands() { return m_commands; }

    // The action of a results command (shared by tool bar and menu).
    QAction* action(int commandId) const;
    // A new "&Ergebnisse" menu with the results commands, for the main menu.
    QMenu* createResultsMenu(QWidget* parent);

    // --- used by the search form ---
    void setLastRunWasSearch(bool value);
    void setMarkedResultsReplacer(MarkedResultsReplacer* replacer);
    // Opens a hit or file item in the viewer or the word processor.
    void setOpenInViewerHandler(std::function<void(ItemHandle)> handler);
    // Runs the export of the result list.
    void setExportHandler(std::function<void()> handler);
    // Opens a file at a byte position in the user's own editor.
    void setExternalEditorHandler(ResultsCommands::ExternalEditorHook handler);
    // The worker reported the end of a replace in the marked results.
    void selectedReplaceFinished();

    // Catches up with the store now instead of at the next timer tick.
    void catchUp();
    // Re-evaluates which commands are enabled.
    void updateCommandStates();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ResultsCommandHost
    void setAllExpanded(bool expanded) override;
    void refreshItems() override;
    bool openWithAssociatedProgram(const std::string& path) override;
    void showError(std::string_view text) override;
    void setPaneEnabled(bool enabled) override;

    void createActions();
    void createToolBar();
    void createContextMenu();
    void createFilterRow();
    void configureView();
    void fitPathColumn();
    void watchSelection();
    void setFilterText(const QString& text);
    void updateFilterCount();
    void openFilteredRows();
    ItemHandle itemAt(const QModelIndex& viewIndex) const;
    bool isFiltering() const;
    bool catchUpNow();
    void catchUpOnTimer();
    void onSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void showContextMenu(const QPoint& globalPos);

    std::shared_ptr<ResultList> m_list;
    ResultsModel* m_model = nullptr;
    // Between the model and the view only while a filter text is typed, so
    // that long lists cost nothing extra otherwise.
    ResultsFilterModel* m_filterModel = nullptr;
    ResultsTreeView* m_view = nullptr;
    QWidget* m_filterRow = nullptr;
    QLineEdit* m_filterField = nullptr;
    QLabel* m_filterCount = nullptr;
    const CodePage& m_codePage;
    bool m_openingFilteredRows = false;
    PathColumnFit m_pathFit;
    CatchUpPacing m_pacing;
    bool m_fittingColumns = false;  // the pane, not the user, is sizing a column
    QToolBar* m_toolBar = nullptr;
    QMenu* m_contextMenu = nullptr;
    QTimer* m_timer = nullptr;
    ResultsCommands m_commands;
    std::map<int, QAction*> m_actions;
    std::vector<QAction*> m_contextActions;
    std::vector<ItemHandle> m_selectionOrder;
};

}  // namespace tarnwick::ui
