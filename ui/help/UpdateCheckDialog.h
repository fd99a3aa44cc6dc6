#pragma once
// The dialog "Auf neue Version überprüfen": the server's message in a
// read-only field, the check box "Sicherungskopie von alter Version
// erstellen", and the buttons "Aktualisieren" and "Abbrechen". Both the
// button and the check box are usable exactly when a newer version is
// offered. Accepted only through "Aktualisieren" with an update available.
#include <QDialog>
#include <QString>

#include <optional>
#include <string>

#include "ui/help/UpdateCheck.h"
#include "ui/help/UpdaterLaunch.h"

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace tarnwick::ui {

class UpdateCheckDialog : public QDialog {
    Q_OBJECT

public:
    explicit UpdateCheckDialog(QWidget* parent = nullptr);

    // Asks `url`; the dialog follows the check as it goes.
    void start(const QString& url) { m_check.start(url); }
    UpdateCheck& check() { return m_check; }

    // The location and the backup option, once accepted.
    UpdateChoice choice() const;

    QPlainTextEdit* messageField() const { return m_message; }
    QCheckBox* backupBox() const { return m_backup; }
    QPushButton* updateButton() const { return m_update; }
    QPushButton* cancelButton() const { return m_cancel; }

public slots:
    void reject() override;

private:
    void refresh();
    void updateNow();

    UpdateCheck m_check;
    QPlainTextEdit* m_message = nullptr;
    QCheckBox* m_backup = nullptr;
    QPushButton* m_update = nullptr;
    QPushButton* m_cancel = nullptr;
};

// Runs the dialog against `server` (the setting "UpdateServer"); the user's
// choice when they pressed "Aktualisieren" with an update available.
std::optional<UpdateChoice> RunUpdateCheck(QWidget* parent, const std::string& server);

}  // namespace tarnwick::ui
