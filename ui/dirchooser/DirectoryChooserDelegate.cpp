#include "ui/dirchooser/DirectoryChooserDelegate.h"

#include <QLineEdit>

namespace tarnwick::ui {

namespace {
// Longest label the editor takes; the file system may still refuse a name
// whose bytes exceed its own limit, and says so.
constexpr int kMaxNameLength = 255;
}  // namespace

QWidget* DirectoryChooserDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const
{
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setMaxLength(kMaxNameLength);
    return editor;
}

void DirectoryChooserDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const
{
    if (auto* line = qobject_cast<QLineEdit*>(editor)) emit renameRequested(QPersistentModelIndex(index), line->text());
}

}  // namespace tarnwick::ui
