#include "ui/viewer/ViewerActions.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <optional>
#include <string>
#include <utility>

#include "ui/frame/MainFrameCommands.h"
#include "ui/viewer/ViewerIcons.h"
#include "ui/viewer/ViewerTexts.h"

namespace tarnwick::ui {
namespace {

using F = FrameCommand;

// The commands the page carries out, in the order of its menu.
constexpr F kCommands[] = {
    F::FileNew, F::FileSave,  F::FileSaveAs, F::FilePrint, F::FilePrintPreview, F::FilePrintSetup, F::Undo,     F::Cut, F::Copy,
    F::Paste,   F::SelectAll, F::Find,       F::Replace,   F::FindNext,         F::GoTo,           F::WordWrap, F::Font};

QString Utf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

ViewerActions::ViewerActions(QWidget* page)
{
    createActions(page);
    createToolBar(page);
    createContextMenu(page);
}

void ViewerActions::createActions(QWidget* page)
{
    for (F id : kCommands) {
        const CommandEntry* entry = FindCommand(id);
        auto* act = new QAction(entry != nullptr ? Utf8(entry->text) : QString(), page);
        act->setObjectName(QStringLiteral("viewer%1").arg(static_cast<int>(id)));
        if (entry != nullptr) act->setToolTip(Utf8(ToolTipOf(*entry)));
        act->setIcon(ViewerCommandIcon(id));
        m_actions[static_cast<int>(id)] = act;
    }
    QAction* wrap = action(F::WordWrap);
    wrap->setCheckable(true);
    wrap->setChecked(true);
}

void ViewerActions::createToolBar(QWidget* page)
{
    m_toolBar = new QToolBar(viewertext::ToolBarTitle(), page);
    m_toolBar->setObjectName(QStringLiteral("viewerToolBar"));
    m_toolBar->setIconSize(QSize(16, 16));
    QFont font(QStringLiteral("Tohama"));
    font.setPointSize(9);
    m_toolBar->setFont(font);
    const std::optional<F> layout[] = {F::FileSave, F::FileSaveAs, std::nullopt, F::Undo,      std::nullopt,
                                       F::Cut,      F::Copy,       F::Paste,     F::SelectAll, std::nullopt,
                                       F::Find,     F::Replace,    F::FindNext,  std::nullopt, F::FilePrint};
    for (const auto& id : layout) {
        if (id)
            m_toolBar->addAction(action(*id));
        else
            m_toolBar->addSeparator();
    }
}

void ViewerActions::setOpenAction(QAction* open)
{
    if (open == nullptr || m_openAction != nullptr) return;
    m_openAction = open;
    const QList<QAction*> actions = m_toolBar->actions();
    m_toolBar->insertAction(actions.isEmpty() ? nullptr : actions.first(), open);
}

// Each entry but "Löschen" runs its command's action.
void ViewerActions::createContextMenu(QWidget* page)
{
    m_contextMenu = new QMenu(page);
    m_contextMenu->setObjectName(QStringLiteral("viewerContextMenu"));
    const std::pair<int, const char*> entries[] = {
        {static_cast<int>(F::Undo), "&Rückgängig"},
        {0, nullptr},
        {static_cast<int>(F::Cut), "&Ausschneiden"},
        {static_cast<int>(F::Copy), "&Kopieren"},
        {static_cast<int>(F::Paste), "&Einfügen"},
        {kDeleteCommand, "&Löschen"},
        {0, nullptr},
        {static_cast<int>(F::SelectAll), "Alles &markieren"},
        {0, nullptr},
        {static_cast<int>(F::Find), "&Suchen...\tStrg+F"},
        {static_cast<int>(F::Replace), "&Ersetzen\tStrg+H"},
        {static_cast<int>(F::FindNext), "&Weitersuchen"},
        {static_cast<int>(F::GoTo), "&Gehe zu...\tStrg+G"},
    };
    for (const auto& [id, text] : entries) {
        if (text == nullptr) {
            m_contextMenu->addSeparator();
            continue;
        }
        QAction* act = m_contextMenu->addAction(QString::fromUtf8(text));
        m_contextActions[id] = act;
        if (id != kDeleteCommand) QObject::connect(act, &QAction::triggered, m_actions.at(id), &QAction::trigger);
    }
}

QAction* ViewerActions::action(FrameCommand id) const
{
    auto it = m_actions.find(static_cast<int>(id));
    return it == m_actions.end() ? nullptr : it->second;
}

void ViewerActions::setEnabled(FrameCommand id, bool enabled)
{
    action(id)->setEnabled(enabled);
    auto it = m_contextActions.find(static_cast<int>(id));
    if (it != m_contextActions.end()) it->second->setEnabled(enabled);
}

}  // namespace tarnwick::ui
