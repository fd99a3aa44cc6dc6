#include "ui/common/WheelGuard.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>

namespace tarnwick::ui {
namespace {

bool IsValueBox(QObject* object)
{
    return qobject_cast<QComboBox*>(object) != nullptr || qobject_cast<QAbstractSpinBox*>(object) != nullptr;
}

}  // namespace

WheelGuard::WheelGuard(QObject* parent) : QObject(parent) {}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Polish && IsValueBox(watched)) {
        // A box that took the focus by the wheel would go on to change its value.
        auto* box = static_cast<QWidget*>(watched);
        if (box->focusPolicy() == Qt::WheelFocus) box->setFocusPolicy(Qt::StrongFocus);
    } else if (event->type() == QEvent::Wheel && IsValueBox(watched) && !static_cast<QWidget*>(watched)->hasFocus()) {
        // Filtered but not accepted: the application hands the event on to the
        // box's parents, so a form beneath still scrolls.
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tarnwick::ui
