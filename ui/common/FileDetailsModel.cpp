#include "ui/common/FileDetailsModel.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLocale>

namespace tarnwick::ui {
namespace {

// The columns of the toolkit's file system model.
constexpr int kSizeColumn = 1;
constexpr int kDateColumn = 3;

}  // namespace

QVariant FileDetailsModel::data(const QModelIndex& index, int role) const
{
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    const bool detail = index.column() == kSizeColumn || index.column() == kDateColumn;
    if (files == nullptr || role != Qt::DisplayRole || !detail) return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    // Folders have no size; the model's empty text says so.
    if (index.column() == kSizeColumn)
        return files->isDir(source) ? QIdentityProxyModel::data(index, role) : QLocale().formattedDataSize(files->size(source));
    return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
}

void ShowFileDetailsInProgramLocale(QFileDialog& dialog)
{
    // A dialog with a model of its own in between keeps it; one the desktop
    // shows has no model of the toolkit's to put one before.
    if (dialog.proxyModel() != nullptr || dialog.findChild<QFileSystemModel*>() == nullptr) return;
    dialog.setProxyModel(new FileDetailsModel(&dialog));
}

}  // namespace tarnwick::ui
