#pragma once
// What every dialog of the program gets as it is shown, whoever made it
// (the program's own dialogs and the toolkit's, such as the file and input
// dialogs): a width its title fits in, and, in file dialogs, sizes and dates
// in the program's language rather than the desktop's. Installed on the
// application. UI thread only.
#include <QObject>

class QDialog;

namespace tarnwick::ui {

class DialogAdjuster : public QObject {
    Q_OBJECT

public:
    explicit DialogAdjuster(QObject* parent = nullptr);

    // Widens `dialog` to the width its title needs, where it is narrower.
    static void widenToTitle(QDialog& dialog);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tarnwick::ui
