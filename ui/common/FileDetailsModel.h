#pragma once
// The sizes and dates of a file dialog in the program's language. The
// toolkit's file dialogs take their window texts from the translation the
// program loads, but write sizes and dates in the desktop's language ("833
// bytes", "10 Dec"); the program speaks German whatever the desktop does.
#include <QIdentityProxyModel>

class QFileDialog;

namespace tarnwick::ui {

// Between a file dialog's file system model and its views: the size and date
// columns written with the program's locale (QLocale()), the rest as it is.
class FileDetailsModel : public QIdentityProxyModel {
    Q_OBJECT

public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};

// Puts a FileDetailsModel into `dialog`, once its views exist (when it is
// shown), unless it has a model in between already.
void ShowFileDetailsInProgramLocale(QFileDialog& dialog);

}  // namespace tarnwick::ui
