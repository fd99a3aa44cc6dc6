#include "ui/common/DialogAdjuster.h"

#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QFontMetrics>

#include "ui/common/FileDetailsModel.h"
#include "ui/common/TitleWidth.h"

namespace tarnwick::ui {

DialogAdjuster::DialogAdjuster(QObject* parent) : QObject(parent) {}

void DialogAdjuster::widenToTitle(QDialog& dialog)
{
    QFont font = dialog.font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int needed = TitleFitWidth(metrics.horizontalAdvance(dialog.windowTitle()), metrics.height());
    // A dialog that may not grow so far stays at its maximum width.
    if (dialog.width() < needed) dialog.resize(needed, dialog.height());
}

bool DialogAdjuster::eventFilter(QObject* watched, QEvent* event)
{
    const bool shown = event->type() == QEvent::Show;
    // A dialog that changes its title while it is open (the viewer's find and replace dialog).
    const bool retitled = event->type() == QEvent::WindowTitleChange;
    if (shown || retitled) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog != nullptr && dialog->isWindow() && (shown || dialog->isVisible())) {
            // Seen before the dialog's own show handling, which centres it at the size it then has.
            widenToTitle(*dialog);
            if (auto* files = qobject_cast<QFileDialog*>(dialog); files != nullptr && shown)
                ShowFileDetailsInProgramLocale(*files);
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tarnwick::ui
