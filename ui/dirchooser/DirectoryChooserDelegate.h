#pragma once
// In-place renaming of a folder label in the directory chooser. The edited
// name is not written into the tree: the dialog renames the folder first and
// changes the label only when that succeeded. Enter and Escape end the edit,
// not the dialog: the view keeps them while an editor is open.
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

namespace tarnwick::ui {

class DirectoryChooserDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

signals:
    // Editing ended with `text`; a cancelled edit emits nothing.
    void renameRequested(const QPersistentModelIndex& index, const QString& text) const;
};

}  // namespace tarnwick::ui
