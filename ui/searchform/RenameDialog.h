#pragma once
// "Dateiname wandeln": asks which file names the conversion to lower case
// takes, all or only those written entirely in capitals. Always opens on
// "alle"; the form's other settings apply as they are.
#include <QDialog>

class QRadioButton;

namespace tarnwick::ui {

enum class RenameChoice;

class RenameDialog : public QDialog {
    Q_OBJECT

public:
    explicit RenameDialog(QWidget* parent = nullptr);

    RenameChoice choice() const;
    QRadioButton* allButton() const { return m_all; }
    QRadioButton* onlyUpperButton() const { return m_onlyUpper; }

private:
    QRadioButton* m_all = nullptr;
    QRadioButton* m_onlyUpper = nullptr;
};

}  // namespace tarnwick::ui
