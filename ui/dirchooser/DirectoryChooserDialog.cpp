#include "ui/dirchooser/DirectoryChooserDialog.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/dirchooser/DirectoryChooserDelegate.h"
#include "ui/dirchooser/DirectoryChooserListing.h"
#include "ui/dirchooser/DirectoryChooserPreset.h"
#include "ui/dirchooser/DirectoryChooserRename.h"
#include "ui/dirchooser/DirectoryChooserTexts.h"

namespace tarnwick::ui {
namespace {

enum ItemKind { kComputerItem, kRootItem, kDirectoryItem };

constexpr int kKindRole = Qt::UserRole;
constexpr int kBytesRole = Qt::UserRole + 1;  // a root's path, a subdirectory's name
constexpr int kReadRole = Qt::UserRole + 2;
constexpr int kLinkRole = Qt::UserRole + 3;

// Paths stay in the file system's bytes; only labels are decoded.
std::string toBytes(const QString& text) { return QFile::encodeName(text).toStdString(); }
QString fromBytes(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

int kindOf(const QTreeWidgetItem* item) { return item->data(0, kKindRole).toInt(); }
std::string bytesOf(const QTreeWidgetItem* item) { return item->data(0, kBytesRole).toByteArray().toStdString(); }

// The wait cursor with drawing of the tree switched off, while a folder is read.
class BusyTree {
public:
    explicit BusyTree(QWidget* tree) : m_tree(tree)
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_tree->setUpdatesEnabled(false);
    }
    ~BusyTree()
    {
        m_tree->setUpdatesEnabled(true);
        QApplication::restoreOverrideCursor();
    }
    BusyTree(const BusyTree&) = delete;
    BusyTree& operator=(const BusyTree&) = delete;

private:
    QWidget* m_tree;
};

}  // namespace

DirectoryChooserDialog::DirectoryChooserDialog(const QString& presetPath, QWidget* parent)
    : DirectoryChooserDialog(presetPath, std::make_shared<SystemDirectoryChooserAccess>(), parent)
{
}

DirectoryChooserDialog::DirectoryChooserDialog(const QString& presetPath, std::shared_ptr<DirectoryChooserAccess> access,
                                               QWidget* parent)
    : QDialog(parent), m_access(std::move(access))
{
    buildWidgets();
    fillTree();
    if (!presetPath.isEmpty()) selectPreset(presetPath);
}

void DirectoryChooserDialog::buildWidgets()
{
    setWindowTitle(QString::fromUtf8(text::kChooserTitle));
    setSizeGripEnabled(true);

    auto* ok = new QPushButton(QString::fromUtf8(text::kOk), this);
    auto* cancel = new QPushButton(QString::fromUtf8(text::kCancel), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &DirectoryChooserDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &DirectoryChooserDialog::reject);

    m_tree = new DirectoryChooserTree(this);
    m_tree->setColumnCount(1);
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setEditTriggers(QAbstractItemView::EditKeyPressed);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* delegate = new DirectoryChooserDelegate(m_tree);
    m_tree->setItemDelegate(delegate);
    connect(m_tree, &QTreeWidget::itemExpanded, this, &DirectoryChooserDialog::onItemExpanded);
    connect(m_tree, &QTreeWidget::itemCollapsed, this, &DirectoryChooserDialog::onItemCollapsed);
    connect(m_tree, &QWidget::customContextMenuRequested, this, &DirectoryChooserDialog::onRightClick);
    // Queued: the rename and its message come after the editor has closed.
    connect(delegate, &DirectoryChooserDelegate::renameRequested, this, &DirectoryChooserDialog::onRenameRequested,
            Qt::QueuedConnection);

    auto* label = new QLabel(QString::fromUtf8(text::kDirectoryLabel), this);
    label->setBuddy(m_tree);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* treeColumn = new QVBoxLayout;
    treeColumn->addWidget(label);
    treeColumn->addWidget(m_tree, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 8, 2, 2);
    layout->addLayout(buttons);
    layout->addLayout(treeColumn, 1);
    resize(480, 380);
}

void DirectoryChooserDialog::fillTree()
{
    m_tree->clear();
    m_top = new QTreeWidgetItem(m_tree, QStringList(QString::fromUtf8(text::kComputer)));
    m_top->setData(0, kKindRole, kComputerItem);
    m_top->setIcon(0, style()->standardIcon(QStyle::SP_ComputerIcon));
    m_top->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);

    m_roots = m_access->rootPaths();
    const QIcon driveIcon = style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (const std::string& root : m_roots) {
        auto* item = new QTreeWidgetItem(m_top, QStringList(fromBytes(root)));
        item->setData(0, kKindRole, kRootItem);
        item->setData(0, kBytesRole, QByteArray::fromStdString(root));
        item->setIcon(0, driveIcon);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        // Like a drive, a top-level folder offers to open before it is read.
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    if (!m_roots.empty()) m_top->setExpanded(true);
}

QTreeWidgetItem* DirectoryChooserDialog::addDirectoryItem(QTreeWidgetItem* parent, const ChooserChild& child)
{
    auto* item = new QTreeWidgetItem(parent, QStringList(fromBytes(child.name)));
    item->setData(0, kKindRole, kDirectoryItem);
    item->setData(0, kBytesRole, QByteArray::fromStdString(child.name));
    item->setData(0, kLinkRole, child.isLink);
    item->setIcon(0, style()->standardIcon(child.isLink ? QStyle::SP_DirLinkIcon : QStyle::SP_DirClosedIcon));
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable);
    item->setChildIndicatorPolicy(child.expandable ? QTreeWidgetItem::ShowIndicator : QTreeWidgetItem::DontShowIndicator);
    return item;
}

std::string DirectoryChooserDialog::pathBytes(const QTreeWidgetItem* item) const
{
    if (!item) return {};
    switch (kindOf(item)) {
    case kRootItem: return bytesOf(item);
    case kDirectoryItem: return JoinChooserPath(pathBytes(item->parent()), bytesOf(item));
    default: return {};
    }
}

QString DirectoryChooserDialog::pathOf(const QTreeWidgetItem* item) const { return fromBytes(pathBytes(item)); }

void DirectoryChooserDialog::readItem(QTreeWidgetItem* item)
{
    if (!item || kindOf(item) == kComputerItem || item->data(0, kReadRole).toBool()) return;
    item->setData(0, kReadRole, true);
    const std::string path = pathBytes(item);
    ChooserListing listing;
    {
        BusyTree busy(m_tree);
        qDeleteAll(item->takeChildren());
        // A link is listed but never opened: one pointing up the tree would nest without end.
        if (!item->data(0, kLinkRole).toBool()) listing = ListChooserChildren(*m_access, path);
        for (const ChooserChild& child : listing.children) addDirectoryItem(item, child);
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    }
    if (listing.status != ChooserListingStatus::Listed)
        reportLater(item, QString::fromUtf8(ListingProblemText(path, listing)), listing.status == ChooserListingStatus::Vanished);
}

void DirectoryChooserDialog::reportLater(QTreeWidgetItem* item, const QString& message, bool removeItem)
{
    // Not from inside the tree's own expand handling: the item may go, and a
    // message box runs an event loop of its own.
    const QPersistentModelIndex index(m_tree->indexOfItem(item));
    QMetaObject::invokeMethod(
        this,
        [this, index, message, removeItem] {
            if (removeItem && index.isValid()) delete m_tree->itemOfIndex(index);
            showMessage(QMessageBox::Warning, message);
        },
        Qt::QueuedConnection);
}

void DirectoryChooserDialog::selectPreset(const QString& presetPath)
{
    const PresetMatch match = MatchPresetPath(*m_access, m_roots, toBytes(presetPath));
    if (match.target == PresetTarget::Computer) {
        m_tree->setCurrentItem(m_top);
        m_top->setExpanded(true);
        return;
    }
    if (match.target != PresetTarget::Directory || match.root >= static_cast<std::size_t>(m_top->childCount())) return;
    QTreeWidgetItem* item = m_top->child(static_cast<int>(match.root));
    openForPreset(item);
    for (const std::string& name : match.names) {
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < item->childCount() && !next; ++i)
            if (bytesOf(item->child(i)) == name) next = item->child(i);
        if (!next) return;  // changed on disk meanwhile
        item = next;
        openForPreset(item);
    }
    m_tree->setCurrentItem(item);
    m_tree->scrollToItem(item, QAbstractItemView::PositionAtTop);
}

void DirectoryChooserDialog::openForPreset(QTreeWidgetItem* item)
{
    for (int i = 0; i < item->childCount(); ++i) item->child(i)->setExpanded(false);
    readItem(item);
    item->setExpanded(true);
}

void DirectoryChooserDialog::accept()
{
    const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
    QTreeWidgetItem* item = selected.isEmpty() ? nullptr : selected.front();
    if (!item || kindOf(item) == kComputerItem) {
        showMessage(QMessageBox::NoIcon, QString::fromUtf8(text::kChooseValidDirectory));
        return;
    }
    m_chosenPath = pathOf(item);
    QDialog::accept();
}

void DirectoryChooserDialog::onItemExpanded(QTreeWidgetItem* item)
{
    readItem(item);
    if (kindOf(item) == kDirectoryItem && !item->data(0, kLinkRole).toBool())
        item->setIcon(0, style()->standardIcon(QStyle::SP_DirOpenIcon));
}

void DirectoryChooserDialog::onItemCollapsed(QTreeWidgetItem* item)
{
    if (kindOf(item) == kDirectoryItem && !item->data(0, kLinkRole).toBool())
        item->setIcon(0, style()->standardIcon(QStyle::SP_DirClosedIcon));
}

void DirectoryChooserDialog::onRightClick(const QPoint& position)
{
    QTreeWidgetItem* item = m_tree->itemAt(position);
    if (!item || item == m_tree->currentItem()) return;
    m_tree->setCurrentItem(item);
    readItem(item);
    m_tree->setFocus();
}

void DirectoryChooserDialog::onRenameRequested(const QPersistentModelIndex& index, const QString& text)
{
    QTreeWidgetItem* item = index.isValid() ? m_tree->itemOfIndex(index) : nullptr;
    if (!item || kindOf(item) != kDirectoryItem) return;
    const ChooserRenameOutcome outcome =
        RenameChooserDirectory(*m_access, pathBytes(item->parent()), bytesOf(item), toBytes(text));
    switch (outcome.result) {
    case ChooserRenameResult::Renamed: {
        const std::string newName = toBytes(text);
        item->setData(0, kBytesRole, QByteArray::fromStdString(newName));
        item->setText(0, fromBytes(newName));
        break;
    }
    case ChooserRenameResult::Unchanged: break;
    case ChooserRenameResult::InvalidName: showMessage(QMessageBox::Warning, QString::fromUtf8(outcome.message)); break;
    case ChooserRenameResult::Failed: showMessage(QMessageBox::Critical, QString::fromUtf8(outcome.message)); break;
    }
}

void DirectoryChooserDialog::showMessage(QMessageBox::Icon icon, const QString& text)
{
    if (m_messageSink) {
        m_messageSink(icon, text);
        return;
    }
    QMessageBox box(icon, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok, this);
    box.exec();
}

std::optional<QString> ChooseDirectory(QWidget* parent, const QString& presetPath)
{
    DirectoryChooserDialog dialog(presetPath, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.chosenPath();
}

}  // namespace tarnwick::ui
