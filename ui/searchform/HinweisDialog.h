#pragma once
// The warning with opt-out: a warning icon, the message, the check box
// "Diese Meldung künftig nicht mehr anzeigen" and the buttons OK and
// "Abbrechen", titled with the program's title.
#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;

namespace tarnwick::ui {

class HinweisDialog : public QDialog {
    Q_OBJECT

public:
    explicit HinweisDialog(const QString& message, QWidget* parent = nullptr);

    // The check box, also when "Abbrechen" closed the dialog.
    bool dontShowAgain() const;
    QCheckBox* dontShowAgainBox() const { return m_dontShowAgain; }
    QLabel* messageLabel() const { return m_message; }

private:
    QLabel* m_message = nullptr;
    QCheckBox* m_dontShowAgain = nullptr;
};

}  // namespace tarnwick::ui
