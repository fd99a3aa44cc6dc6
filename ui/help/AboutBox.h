#pragma once
// The About box "Info über Tarnwick": the program's picture, "Tarnwick
// Version 2.0", the button "Auf neue Version überprüfen" and OK. When the
// update check ends with the user's choice to update, the box closes with
// OK and hands that choice on.
#include <QDialog>

#include <functional>
#include <optional>

#include "ui/help/UpdaterLaunch.h"

class QPushButton;

namespace tarnwick::ui {

class AboutBox : public QDialog {
    Q_OBJECT

public:
    // Runs the update check dialog; nothing unless the user chose to update.
    using UpdateCheckRunner = std::function<std::optional<UpdateChoice>(QWidget* parent)>;

    explicit AboutBox(UpdateCheckRunner runCheck, QWidget* parent = nullptr);

    // Set when the update check ended with "Aktualisieren".
    const std::optional<UpdateChoice>& updateChoice() const { return m_choice; }

    QPushButton* checkButton() const { return m_check; }
    QPushButton* okButton() const { return m_ok; }

private:
    void checkForUpdate();

    UpdateCheckRunner m_runCheck;
    std::optional<UpdateChoice> m_choice;
    QPushButton* m_check = nullptr;
    QPushButton* m_ok = nullptr;
};

}  // namespace tarnwick::ui
