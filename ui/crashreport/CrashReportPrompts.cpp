#include "ui/crashreport/CrashReportPrompts.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QVBoxLayout>

#include "ui/common/EngineText.h"
#include "ui/crashreport/CrashReportTexts.h"

namespace tarnwick::ui {
namespace {

namespace texts = text::crashreport;

QString Title(QWidget* parent) { return parent ? parent->windowTitle() : QString(); }

}  // namespace

DesktopCrashReportPrompts::~DesktopCrashReportPrompts() = default;

void DesktopCrashReportPrompts::showInvalidEmail(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, Title(m_parent), text, QMessageBox::Ok, m_parent);
    box.exec();
}

void DesktopCrashReportPrompts::beginSending()
{
    m_status = std::make_unique<QDialog>(m_parent);
    m_status->setWindowTitle(qs(texts::kStatusTitle));
    m_status->setModal(true);
    auto* layout = new QVBoxLayout(m_status.get());
    layout->addWidget(new QLabel(qs(texts::kSending), m_status.get()));
    m_progress = new QProgressBar(m_status.get());
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setMinimumWidth(280);
    layout->addWidget(m_progress);
    m_status->show();
}

void DesktopCrashReportPrompts::showProgress(qint64 sent, qint64 total)
{
    if (!m_progress) return;
    m_progress->setValue(total > 0 ? static_cast<int>(sent * 100 / total) : 100);
}

void DesktopCrashReportPrompts::endSending()
{
    m_progress = nullptr;
    m_status.reset();
}

void DesktopCrashReportPrompts::showError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, Title(m_parent), text, QMessageBox::Ok, m_parent);
    box.exec();
}

std::optional<QString> DesktopCrashReportPrompts::chooseArchiveTarget(const QString& defaultName)
{
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(qs(texts::kArchiveFilter));
    dialog.setDefaultSuffix(qs(texts::kArchiveSuffix));
    dialog.setDirectory(QDir::homePath());
    dialog.selectFile(defaultName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

}  // namespace tarnwick::ui
