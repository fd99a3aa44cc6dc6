#include "ui/results/ResultsPane.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <unordered_set>

#include "platform/CodePage.h"
#include "ui/results/ResultsCommandTexts.h"
#include "ui/results/ResultsDelegate.h"
#include "ui/results/ResultsFilter.h"
#include "ui/results/ResultsIcons.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsTreeView.h"

namespace tarnwick::ui {

namespace {

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

ResultsPane::ResultsPane(std::shared_ptr<ResultList> list, QWidget* parent)
    : ResultsPane(std::move(list), CodePage::system(), parent)
{
}

ResultsPane::ResultsPane(std::shared_ptr<ResultList> list, const CodePage& codePage, QWidget* parent)
    : QWidget(parent), m_list(std::move(list)), m_codePage(codePage), m_commands(*m_list, *this)
{
    m_model = new ResultsModel(m_list, codePage, this);
    m_filterModel = new ResultsFilterModel(m_list, codePage, ResultsModel::HandleRole, this);
    m_filterModel->setSourceModel(m_model);
    m_view = new ResultsTreeView(this);
    m_view->setModel(m_model);
    configureView();
    createActions();
    createToolBar();
    createContextMenu();
    createFilterRow();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_filterRow);
    layout->addWidget(m_view, 1);

    m_timer = new QTimer(this);
    m_timer->setInterval(CatchUpPacing::kQuietIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &ResultsPane::catchUpOnTimer);
    m_timer->start();
    updateCommandStates();
}

ResultsPane::~ResultsPane() = default;

void ResultsPane::configureView()
{
    m_view->setItemDelegate(new ResultsDelegate(m_view));
    m_view->setUniformRowHeights(true);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setAllColumnsShowFocus(true);
    m_view->setIconSize(QSize(kKindIconSize, kKindIconSize));
    QHeaderView* header = m_view->header();
    header->setStretchLastSection(false);
    for (int column = 0; column < ResultList::kColumnCount; ++column) header->resizeSection(column, kColumnWidths[column]);
    // The paths take the width the window has; what the user sizes stands.
    connect(header, &QHeaderView::sectionResized, this, [this](int column) {
        if (m_fittingColumns) return;
        m_pathFit.columnSizedByUser(column);
        fitPathColumn();
    });
    m_view->viewport()->installEventFilter(this);

    watchSelection();
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_selectionOrder.clear();
        updateCommandStates();
    });
    // The store keeps the expansion too: it decides whether a new hit asks
    // to be scrolled into view.
    connect(m_view, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (!m_openingFilteredRows) m_list->SetExpanded(itemAt(index), true);
    });
    connect(m_view, &QTreeView::collapsed, this, [this](const QModelIndex& index) { m_list->SetExpanded(itemAt(index), false); });
    connect(m_view, &ResultsTreeView::userScrolled, this, [this] { m_list->SetAutoScroll(false); });
    connect(m_view, &ResultsTreeView::openHitRequested, this,
            [this](const QModelIndex& hit) { m_commands.openHit(itemAt(hit)); });
    connect(m_view, &ResultsTreeView::contextMenuWanted, this, &ResultsPane::showContextMenu);
}

bool ResultsPane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view->viewport() && event->type() == QEvent::Resize) fitPathColumn();
    return QWidget::eventFilter(watched, event);
}

void ResultsPane::fitPathColumn()
{
    QHeaderView* header = m_view->header();
    int others = 0;
    for (int column = 1; column < header->count(); ++column) others += header->sectionSize(column);
    const std::optional<int> width = m_pathFit.pathWidth(m_view->viewport()->width(), others);
    if (!width || *width == header->sectionSize(0)) return;
    m_fittingColumns = true;
    header->resizeSection(0, *width);
    m_fittingColumns = false;
}

void ResultsPane::createActions()
{
    for (const ResultsCommandText& command : ResultsCommandTexts()) {
        auto* action = new QAction(CommandIcon(command.id), qs(command.menuText), this);
        const PromptParts prompt = SplitPrompt(command.prompt);
        action->setStatusTip(qs(prompt.statusTip));
        action->setToolTip(qs(prompt.toolTip));
        const int id = command.id;
        connect(action, &QAction::triggered, this, [this, id] {
            m_commands.execute(id);
            updateCommandStates();
        });
        m_actions[id] = action;
    }
}

void ResultsPane::createToolBar()
{
    m_toolBar = new QToolBar(qs(kResultsToolBarCaption), this);
    QFont font(qs(kResultsToolBarFont));
    font.setPointSize(kResultsToolBarFontPoints);
    m_toolBar->setFont(font);
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const int id : ResultsToolBarLayout()) {
        if (id == kSeparator)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(action(id));
    }
}

void ResultsPane::createFilterRow()
{
    m_filterRow = new QWidget(this);
    auto* row = new QHBoxLayout(m_filterRow);
    row->setContentsMargins(2, 2, 2, 2);
    m_filterField = new QLineEdit(m_filterRow);
    m_filterField->setPlaceholderText(qs(kResultsFilterPlaceholder));
    m_filterField->setToolTip(qs(kResultsFilterToolTip));
    m_filterField->setClearButtonEnabled(true);
    m_filterCount = new QLabel(m_filterRow);
    row->addWidget(m_filterField, 1);
    row->addWidget(m_filterCount);
    connect(m_filterField, &QLineEdit::textChanged, this, &ResultsPane::setFilterText);
}

void ResultsPane::watchSelection()
{
    // Each model the view is given comes with a selection model of its own.
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ResultsPane::onSelectionChanged);
}

bool ResultsPane::isFiltering() const { return m_view->model() == m_filterModel; }

ItemHandle ResultsPane::itemAt(const QModelIndex& viewIndex) const
{
    if (viewIndex.model() == m_filterModel) return m_model->handleOf(m_filterModel->mapToSource(viewIndex));
    return m_model->handleOf(viewIndex);
}

QModelIndex ResultsPane::viewIndexOf(ItemHandle item) const
{
    const QModelIndex index = m_model->indexOf(item);
    return isFiltering() ? m_filterModel->mapFromSource(index) : index;
}

void ResultsPane::setFilterText(const QString& text)
{
    const bool wasFiltering = isFiltering();
    m_filterModel->setFilter(ResultsFilter(text));
    const bool filtering = m_filterModel->filter().isActive();
    if (filtering != wasFiltering) {
        // The selection belongs to the rows of the model it was made in.
        m_selectionOrder.clear();
        m_list->SetSelectedItems(m_selectionOrder);
        m_view->setModel(filtering ? static_cast<QAbstractItemModel*>(m_filterModel) : m_model);
        watchSelection();
    }
    if (filtering) {
        openFilteredRows();
    } else if (wasFiltering) {
        // Back to the whole list as the user had opened it.
        for (int row = 0, rows = m_model->rowCount(); row < rows; ++row) {
            const QModelIndex index = m_model->index(row, 0);
            if (m_list->IsExpanded(m_model->handleOf(index))) m_view->expand(index);
        }
    }
    updateFilterCount();
    updateCommandStates();
}

void ResultsPane::openFilteredRows()
{
    // Opened for the filter, not by the user: the store keeps what the user opened.
    m_openingFilteredRows = true;
    m_view->expandAll();
    m_openingFilteredRows = false;
}

void ResultsPane::updateFilterCount()
{
    const ResultsFilter& filter = m_filterModel->filter();
    m_filterCount->setText(filter.isActive() ? FilteredCountText(CountFiltered(*m_list, filter, m_codePage)) : QString());
}

void ResultsPane::createContextMenu()
{
    m_contextMenu = new QMenu(this);
    for (const ContextMenuEntry& entry : ResultsContextMenuLayout()) {
        if (entry.id == kSeparator) {
            m_contextMenu->addSeparator();
            continue;
        }
        // Its own text, but the command, prompt and state of the menu's action.
        QAction* command = action(entry.id);
        auto* item = m_contextMenu->addAction(command->icon(), qs(entry.text));
        item->setStatusTip(command->statusTip());
        item->setData(entry.id);
        connect(item, &QAction::triggered, command, &QAction::trigger);
        m_contextActions.push_back(item);
    }
}

QAction* ResultsPane::action(int commandId) const
{
    const auto found = m_actions.find(commandId);
    return found == m_actions.end() ? nullptr : found->second;
}

QMenu* ResultsPane::createResultsMenu(QWidget* parent)
{
    auto* menu = new QMenu(qs(kResultsMenuTitle), parent);
    for (const int id : ResultsMenuLayout()) {
        if (id == kSeparator)
            menu->addSeparator();
        else
            menu->addAction(action(id));
    }
    // The main menu may open before the next tick: decide again.
    connect(menu, &QMenu::aboutToShow, this, &ResultsPane::updateCommandStates);
    return menu;
}

void ResultsPane::setLastRunWasSearch(bool value)
{
    m_commands.setLastRunWasSearch(value);
    updateCommandStates();
}

void ResultsPane::setMarkedResultsReplacer(MarkedResultsReplacer* replacer)
{
    m_commands.setReplacer(replacer);
    updateCommandStates();
}

void ResultsPane::setOpenInViewerHandler(std::function<void(ItemHandle)> handler)
{
    m_commands.setOpenInViewerHook(std::move(handler));
    updateCommandStates();
}

void ResultsPane::setExportHandler(std::function<void()> handler)
{
    m_commands.setExportHook(std::move(handler));
    updateCommandStates();
}

void ResultsPane::setExternalEditorHandler(ResultsCommands::ExternalEditorHook handler)
{
    m_commands.setExternalEditorHook(std::move(handler));
    updateCommandStates();
}

void ResultsPane::selectedReplaceFinished()
{
    catchUp();
    m_commands.selectedReplaceFinished();
    updateCommandStates();
}

void ResultsPane::catchUp() { catchUpNow(); }

bool ResultsPane::catchUpNow()
{
    // Taken before catching up, so that the item it names is announced by then.
    const ItemHandle scrollTo = m_list->TakeScrollRequest();
    const bool changed = m_model->catchUp();
    // A replace in the marked results changes kinds and marks of any item.
    if (changed && m_commands.isSelectedReplaceRunning()) m_model->refreshAll();
    if (scrollTo != kNoItem && m_list->AutoScroll()) {
        const QModelIndex index = viewIndexOf(scrollTo);
        if (index.isValid()) m_view->scrollTo(index);
    }
    if (changed) {
        updateCommandStates();
        if (isFiltering()) {
            // New hits that pass the filter are shown, not hidden in a closed file.
            openFilteredRows();
            updateFilterCount();
        }
    }
    return changed;
}

void ResultsPane::catchUpOnTimer()
{
    QElapsedTimer clock;
    clock.start();
    const bool changed = catchUpNow();
    // The tree's layout is most of the cost; take it here so that it is measured.
    if (changed) m_view->layoutPendingRows();
    m_timer->setInterval(m_pacing.nextIntervalMs(changed, static_cast<int>(clock.elapsed())));
}

void ResultsPane::updateCommandStates()
{
    for (const auto& [id, action] : m_actions) action->setEnabled(m_commands.isEnabled(id));
    for (QAction* item : m_contextActions) item->setEnabled(action(item->data().toInt())->isEnabled());
}

void ResultsPane::onSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    // Ranges are walked row by row: with whole-row selection every index
    // of a range's rows stands for the same item.
    std::unordered_set<ItemHandle> gone;
    for (const QItemSelectionRange& range : deselected)
        for (int row = range.top(); row <= range.bottom(); ++row)
            gone.insert(itemAt(range.model()->index(row, 0, range.parent())));
    if (!gone.empty()) std::erase_if(m_selectionOrder, [&](ItemHandle item) { return gone.contains(item); });

    std::unordered_set<ItemHandle> present(m_selectionOrder.begin(), m_selectionOrder.end());
    for (const QItemSelectionRange& range : selected)
        for (int row = range.top(); row <= range.bottom(); ++row) {
            const ItemHandle item = itemAt(range.model()->index(row, 0, range.parent()));
            if (item != kNoItem && present.insert(item).second) m_selectionOrder.push_back(item);
        }
    m_list->SetSelectedItems(m_selectionOrder);
    updateCommandStates();
}

void ResultsPane::showContextMenu(const QPoint& globalPos)
{
    if (!ShowsContextMenu(*m_list, m_selectionOrder)) return;
    updateCommandStates();
    m_contextMenu->exec(globalPos);
}

void ResultsPane::setAllExpanded(bool expanded)
{
    if (expanded)
        m_view->expandAll();
    else
        m_view->collapseAll();
    // expandAll() and collapseAll() report no single items.
    for (int row = 0, rows = m_model->rowCount(); row < rows; ++row)
        m_list->SetExpanded(m_model->handleOf(m_model->index(row, 0)), expanded);
}

void ResultsPane::refreshItems()
{
    m_model->refreshAll();
    m_view->viewport()->update();
}

bool ResultsPane::openWithAssociatedProgram(const std::string& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path))));
}

void ResultsPane::showError(std::string_view text)
{
    QMessageBox::warning(window(), QApplication::applicationDisplayName(), qs(text));
}

void ResultsPane::setPaneEnabled(bool enabled)
{
    setEnabled(enabled);
    updateCommandStates();
}

}  // namespace tarnwick::ui
