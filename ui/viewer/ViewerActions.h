#pragma once
// The viewer's commands as actions: one per FrameCommand id for the tool
// bar and the main menu, the tool bar, and the context menu with texts of
// its own. What a command does, and when it is enabled, is the page's.
// All of them are children of the page. UI thread only.
#include <map>

#include "ui/frame/MainFrameCommand.h"

class QAction;
class QMenu;
class QToolBar;
class QWidget;

namespace tarnwick::ui {

class ViewerActions {
public:
    // The command of the context menu only.
    static constexpr int kDeleteCommand = 57632;

    explicit ViewerActions(QWidget* page);

    // The action of a viewer command; nullptr for others.
    QAction* action(FrameCommand id) const;
    // The context menu's "Löschen".
    QAction* deleteAction() const { return m_contextActions.at(kDeleteCommand); }
    QToolBar* toolBar() const { return m_toolBar; }
    QMenu* contextMenu() const { return m_contextMenu; }
    // The program's "Öffnen..." for the start of the tool bar; once only.
    void setOpenAction(QAction* open);
    // In the tool bar, the main menu and the context menu alike.
    void setEnabled(FrameCommand id, bool enabled);

private:
    void createActions(QWidget* page);
    void createToolBar(QWidget* page);
    void createContextMenu(QWidget* page);

    QToolBar* m_toolBar = nullptr;
    QMenu* m_contextMenu = nullptr;
    QAction* m_openAction = nullptr;
    std::map<int, QAction*> m_actions;  // tool bar and main menu
    std::map<int, QAction*> m_contextActions;  // context menu: texts of their own
};

}  // namespace tarnwick::ui
