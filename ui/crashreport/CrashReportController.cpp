#include "ui/crashreport/CrashReportController.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSaveFile>

#include "crash/MultipartBody.h"
#include "ui/common/EngineText.h"
#include "ui/crashreport/CrashReportTexts.h"

namespace tarnwick::ui {
namespace {

namespace texts = text::crashreport;

QByteArray WithCrLf(const QString& text)
{
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalised.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return normalised.toUtf8();
}

std::string ContentTypeFor(const QString& path)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    return type.isValid() && !type.isDefault() ? type.name().toStdString() : std::string(crash::kDefaultContentType);
}

}  // namespace

CrashReportController::CrashReportController(CrashReport report, ReportUploader& uploader, CrashReportPrompts& prompts)
    : m_report(std::move(report)), m_uploader(uploader), m_prompts(&prompts)
{
}

QByteArray CrashReportController::buildBody(const QString& email, const QString& description, const QByteArray& archive) const
{
    const QByteArray address = email.toUtf8();
    const QByteArray text = WithCrLf(description);
    const QByteArray fileName = QFileInfo(m_report.archivePath).fileName().toUtf8();
    const std::string body = crash::BuildMultipartBody(
        std::string_view(address.constData(), address.size()), std::string_view(text.constData(), text.size()),
        std::string_view(fileName.constData(), fileName.size()), ContentTypeFor(m_report.archivePath),
        std::string_view(archive.constData(), archive.size()));
    return QByteArray(body.data(), static_cast<qsizetype>(body.size()));
}

SendOutcome CrashReportController::send(const QString& email, const QString& description)
{
    if (!email.isEmpty() && !crash::IsValidEmailAddress(email.toStdString())) {
        m_prompts->showInvalidEmail(qs(texts::kInvalidEmail));
        return SendOutcome::InvalidEmail;
    }
    if (m_report.archivePath.isEmpty()) {
        m_prompts->showError(qs(texts::kNoArchive).arg(m_report.archiveError));
        return SendOutcome::Failed;
    }
    QFile file(m_report.archivePath);
    if (!file.open(QIODevice::ReadOnly)) {
        m_prompts->showError(qs(texts::kArchiveUnreadable).arg(file.errorString()));
        return SendOutcome::Failed;
    }
    const QByteArray archive = file.readAll();
    file.close();

    m_prompts->beginSending();
    const UploadResult result = m_uploader.upload(buildBody(email, description, archive),
                                                  [this](qint64 sent, qint64 total) { m_prompts->showProgress(sent, total); });
    m_prompts->endSending();
    if (result.ok) return SendOutcome::Sent;

    m_prompts->showError(result.error);
    offerToSaveArchive(archive);
    return SendOutcome::Failed;
}

void CrashReportController::offerToSaveArchive(const QByteArray& archive)
{
    const std::optional<QString> target = m_prompts->chooseArchiveTarget(m_report.programBaseName);
    if (!target || target->isEmpty()) return;
    // Written aside and put in place at once: a failure never leaves the
    // file the user chose to replace half written.
    QSaveFile copy(*target);
    if (!copy.open(QIODevice::WriteOnly) || copy.write(archive) != archive.size() || !copy.commit())
        m_prompts->showError(qs(texts::kSaveFailed).arg(copy.errorString()));
}

void CrashReportController::removeReportFiles()
{
    if (!m_report.archivePath.isEmpty()) QFile::remove(m_report.archivePath);
    for (const crash::ReportFile& file : m_report.files) QFile::remove(fromPath(file.path));
}

}  // namespace tarnwick::ui
