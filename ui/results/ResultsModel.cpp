#include "ui/results/ResultsModel.h"

#include <QIcon>
#include <QPoint>
#include <QString>

#include "platform/CodePage.h"
#include "ui/results/ResultsCommandTexts.h"
#include "ui/results/ResultsIcons.h"
#include "ui/results/ResultsText.h"

namespace tarnwick::ui {

namespace {

QString toQString(const std::u16string& text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

}  // namespace

ResultsModel::ResultsModel(std::shared_ptr<ResultList> list, const CodePage& codePage, QObject* parent)
    : QAbstractItemModel(parent), m_list(std::move(list)), m_codePage(codePage)
{
    reload();
}

void ResultsModel::reload()
{
    beginResetModel();
    m_rows.clear();
    // Read the clear count and revision first: anything that changes after
    // them is seen by the next catchUp.
    m_clearCount = m_list->ClearCount();
    m_revision = m_list->Revision();
    const std::size_t count = m_list->TopLevelCount();
    m_rows.reserve(count);
    for (std::size_t row = 0; row < count; ++row) {
        const ItemHandle handle = m_list->TopLevelItem(row);
        if (handle == kNoItem) break;
        m_rows.push_back({handle, static_cast<std::uint32_t>(m_list->ChildCount(handle)), m_list->HasCheckBox(handle)});
    }
    endResetModel();
}

bool ResultsModel::catchUp()
{
    const std::uint64_t revision = m_list->Revision();
    if (revision == m_revision) return false;
    const std::uint64_t clearCount = m_list->ClearCount();
    if (clearCount != m_clearCount) {
        reload();
        return true;
    }

    // New top-level rows first: once a newer row exists, the row that was
    // newest can gain no more children, so its count read afterwards is final.
    const std::size_t known = m_rows.size();
    std::vector<Row> added;
    for (std::size_t row = known, total = m_list->TopLevelCount(); row < total; ++row) {
        const ItemHandle handle = m_list->TopLevelItem(row);
        if (handle == kNoItem) break;
        added.push_back({handle, 0, m_list->HasCheckBox(handle)});
    }
    std::uint32_t lastChildren = 0;
    bool lastHasCheckBox = false;
    if (known > 0) {
        lastChildren = static_cast<std::uint32_t>(m_list->ChildCount(m_rows.back().handle));
        lastHasCheckBox = m_list->HasCheckBox(m_rows.back().handle);
    }
    for (Row& row : added) row.childCount = static_cast<std::uint32_t>(m_list->ChildCount(row.handle));

    // A clear in the middle of these reads makes them worthless.
    if (m_list->ClearCount() != clearCount) {
        reload();
        return true;
    }

    if (known > 0) {
        Row& last = m_rows.back();
        if (lastChildren > last.childCount) {
            beginInsertRows(index(static_cast<int>(known - 1), 0), static_cast<int>(last.childCount),
                            static_cast<int>(lastChildren - 1));
            last.childCount = lastChildren;
            endInsertRows();
        }
        // The newest row is the one the worker updates (an error after its
        // hits, the remark of a name hit).
        last.hasCheckBox = lastHasCheckBox;
        const int row = static_cast<int>(known - 1);
        emit dataChanged(index(row, 0), index(row, 2));
    }
    if (!added.empty()) {
        beginInsertRows({}, static_cast<int>(known), static_cast<int>(known + added.size() - 1));
        m_rows.insert(m_rows.end(), added.begin(), added.end());
        endInsertRows();
    }
    m_revision = revision;
    return true;
}

void ResultsModel::refreshAll()
{
    if (m_rows.empty()) return;
    for (Row& row : m_rows) row.hasCheckBox = m_list->HasCheckBox(row.handle);
    emit dataChanged(index(0, 0), index(static_cast<int>(m_rows.size() - 1), 2));
}

bool ResultsModel::hasCheckBox(const QModelIndex& index, ItemHandle item) const
{
    if (index.internalId() == 0) return m_rows[static_cast<std::size_t>(index.row())].hasCheckBox;
    return m_list->HasCheckBox(item);
}

ItemHandle ResultsModel::handleOf(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this) return kNoItem;
    const quintptr id = index.internalId();
    const auto row = static_cast<std::size_t>(index.row());
    if (id == 0) return row < m_rows.size() ? m_rows[row].handle : kNoItem;
    if (id > m_rows.size() || row >= m_rows[id - 1].childCount) return kNoItem;
    return m_rows[id - 1].handle + 1 + static_cast<ItemHandle>(row);
}

QModelIndex ResultsModel::indexOf(ItemHandle item) const
{
    if (item == kNoItem) return {};
    const ItemHandle parent = m_list->Parent(item);
    const ItemHandle top = parent == kNoItem ? item : parent;
    const std::size_t row = m_list->Row(top);
    if (row >= m_rows.size() || m_rows[row].handle != top) return {};
    if (parent == kNoItem) return index(static_cast<int>(row), 0);
    const ItemHandle childRow = item - parent - 1;
    if (childRow >= m_rows[row].childCount) return {};
    return createIndex(static_cast<int>(childRow), 0, static_cast<quintptr>(row + 1));
}

QModelIndex ResultsModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column < 0 || column >= ResultList::kColumnCount) return {};
    if (!parent.isValid()) {
        if (static_cast<std::size_t>(row) >= m_rows.size()) return {};
        return createIndex(row, column, quintptr{0});
    }
    if (parent.internalId() != 0 || parent.column() != 0) return {};
    const auto parentRow = static_cast<std::size_t>(parent.row());
    if (parentRow >= m_rows.size() || static_cast<std::uint32_t>(row) >= m_rows[parentRow].childCount) return {};
    return createIndex(row, column, static_cast<quintptr>(parentRow + 1));
}

QModelIndex ResultsModel::parent(const QModelIndex& child) const
{
    if (!child.isValid() || child.internalId() == 0) return {};
    return createIndex(static_cast<int>(child.internalId() - 1), 0, quintptr{0});
}

int ResultsModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid()) return static_cast<int>(m_rows.size());
    if (parent.internalId() != 0 || parent.column() != 0) return 0;
    return static_cast<int>(m_rows[static_cast<std::size_t>(parent.row())].childCount);
}

int ResultsModel::columnCount(const QModelIndex&) const { return ResultList::kColumnCount; }

bool ResultsModel::hasChildren(const QModelIndex& parent) const { return rowCount(parent) > 0; }

QVariant ResultsModel::displayText(ItemHandle item, ResultColumn column) const
{
    return toQString(ToDisplayText(m_list->ColumnText(item, column), m_codePage));
}

QVariant ResultsModel::highlight(ItemHandle item) const
{
    const std::optional<ResultItem> hit = m_list->Item(item);
    if (!hit || !hit->isHit) return {};
    const DisplayRange range = ToDisplayRange(hit->columns[0], hit->highlightStart, hit->highlightEnd, m_codePage);
    return QPoint(range.start, range.end);
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const
{
    const ItemHandle item = handleOf(index);
    if (item == kNoItem) return {};
    // A valid index lies within the store's columns.
    const auto column = static_cast<ResultColumn>(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return displayText(item, column);
    case Qt::DecorationRole: {
        if (column != ResultColumn::FileOrContext) return {};
        const QIcon& icon = KindIcon(m_list->Kind(item));
        return icon.isNull() ? QVariant() : QVariant(icon);
    }
    case Qt::CheckStateRole:
        if (column != ResultColumn::FileOrContext || !hasCheckBox(index, item)) return {};
        return static_cast<int>(m_list->IsChecked(item) ? Qt::Checked : Qt::Unchecked);
    case Qt::TextAlignmentRole:
        if (column == ResultColumn::Position) return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case HandleRole: return QVariant::fromValue(static_cast<uint>(item));
    case HighlightRole: return column == ResultColumn::FileOrContext ? highlight(item) : QVariant();
    case IsHitRole: return index.internalId() != 0;
    default: return {};
    }
}

bool ResultsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const ItemHandle item = handleOf(index);
    if (item == kNoItem || role != Qt::CheckStateRole || index.column() != 0 || !hasCheckBox(index, item)) return false;
    const bool checked = value.toInt() == Qt::Checked;
    const std::uint64_t before = m_list->Revision();
    m_list->SetChecked(item, checked);
    // Our own change needs no second announcement; a change of the worker's
    // in between (revision moved further) still does.
    if (m_revision == before && m_list->Revision() == before + 1) m_revision = before + 1;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const
{
    const ItemHandle item = handleOf(index);
    if (item == kNoItem) return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.internalId() != 0) result |= Qt::ItemNeverHasChildren;
    if (index.column() == 0 && hasCheckBox(index, item)) result |= Qt::ItemIsUserCheckable;
    return result;
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ResultList::kColumnCount) return {};
    if (role == Qt::DisplayRole) {
        const std::string_view header = kColumnHeaders[section];
        return QString::fromUtf8(header.data(), static_cast<qsizetype>(header.size()));
    }
    if (role == Qt::SizeHintRole) return QSize(kColumnWidths[section], 0);
    return {};
}

}  // namespace tarnwick::ui
