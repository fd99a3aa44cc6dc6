#pragma once
// The crash report dialog: the apology under a white band with the
// program's icon, an optional e-mail address and description, the link to
// the report's contents, "&Senden" and "&Schliessen". It only wires its
// controls to the controller, which decides.
#include <QDialog>
#include <QPointer>

#include <optional>

#include "ui/crashreport/CrashReportContentsDialog.h"
#include "ui/crashreport/CrashReportController.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tarnwick::ui {

class CrashReportDialog : public QDialog {
    Q_OBJECT

public:
    explicit CrashReportDialog(CrashReportController& controller, QWidget* parent = nullptr);

    void setFileOpener(FileOpener opener) { m_opener = std::move(opener); }

    QLineEdit* emailField() const { return m_email; }
    QPlainTextEdit* descriptionField() const { return m_description; }
    QLabel* contentsLink() const { return m_link; }
    QPushButton* sendButton() const { return m_send; }
    QPushButton* closeButton() const { return m_close; }
    // The contents dialog the link opened last, while it is open.
    CrashReportContentsDialog* contentsDialog() const { return m_contents; }
    // What "&Senden" ended with last; nothing before it was pressed.
    std::optional<SendOutcome> lastOutcome() const { return m_lastOutcome; }

    // "klicken Sie hier.": the report-contents dialog, window-modal.
    void showContents();

private:
    void send();

    CrashReportController& m_controller;
    FileOpener m_opener = DesktopFileOpener();
    QLineEdit* m_email = nullptr;
    QPlainTextEdit* m_description = nullptr;
    QLabel* m_link = nullptr;
    QPushButton* m_send = nullptr;
    QPushButton* m_close = nullptr;
    QPointer<CrashReportContentsDialog> m_contents;
    std::optional<SendOutcome> m_lastOutcome;
};

}  // namespace tarnwick::ui
