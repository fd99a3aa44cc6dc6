#pragma once
// Turning the mouse wheel to scroll a form or a list must not change a
// setting the pointer happens to pass over. Installed on the application, it
// keeps wheel events from drop-downs and spin boxes (dates and times
// included) that do not have the keyboard focus and passes them on to what
// lies beneath, and keeps such boxes from taking the focus by the wheel:
// they take it by a click or Tab, and then the wheel steps their value.
// UI thread only.
#include <QObject>

namespace tarnwick::ui {

class WheelGuard : public QObject {
    Q_OBJECT

public:
    explicit WheelGuard(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tarnwick::ui
