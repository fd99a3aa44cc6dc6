#pragma once
// The decisions of the crash report dialog without any widget: the check of
// the e-mail address, the upload with its progress, the offer to save the
// archive when the upload failed, and the removal of the report's files at
// the end. The dialog binds its controls to this class; tests drive it with
// their own uploader and prompts.
#include <QString>

#include <optional>
#include <vector>

#include "crash/ReportFiles.h"
#include "ui/crashreport/CrashReportUpload.h"

namespace tarnwick::ui {

// How the controller asks and tells: message boxes, the status dialog and
// the save dialog on the desktop, a script in tests.
class CrashReportPrompts {
public:
    virtual ~CrashReportPrompts() = default;
    // "Bitte geben Sie eine gültige Email Adresse an ..."
    virtual void showInvalidEmail(const QString& text) = 0;
    // The status dialog "Status" / "Sende Report" with its progress bar.
    virtual void beginSending() = 0;
    virtual void showProgress(qint64 sent, qint64 total) = 0;
    virtual void endSending() = 0;
    // A failed upload or save, with a stop icon.
    virtual void showError(const QString& text) = 0;
    // Where to keep the archive ("Zip Dateien (*.zip)", suffix "zip", asking
    // before replacing a file); nothing when the user declines.
    virtual std::optional<QString> chooseArchiveTarget(const QString& defaultName) = 0;
};

struct CrashReport {
    QString programBaseName;  // dialog title and default archive name
    std::vector<crash::ReportFile> files;  // in the order the contents dialog lists them
    QString archivePath;  // empty when no archive could be made
    QString archiveError;  // why not
};

enum class SendOutcome {
    InvalidEmail,  // nothing sent; the address field gets the focus again
    Sent,
    Failed,  // the user was told, and offered to keep the archive
};

class CrashReportController {
public:
    CrashReportController(CrashReport report, ReportUploader& uploader, CrashReportPrompts& prompts);

    const CrashReport& report() const { return m_report; }
    void setPrompts(CrashReportPrompts& prompts) { m_prompts = &prompts; }

    // "&Senden": an empty address is fine; a typed one must be valid.
    SendOutcome send(const QString& email, const QString& description);

    // The archive and the report files; called once the dialog has closed.
    void removeReportFiles();

    // What is uploaded: the description's line ends become CR LF as in any
    // form a browser sends.
    QByteArray buildBody(const QString& email, const QString& description, const QByteArray& archive) const;

private:
    void offerToSaveArchive(const QByteArray& archive);

    CrashReport m_report;
    ReportUploader& m_uploader;
    CrashReportPrompts* m_prompts;
};

}  // namespace tarnwick::ui
