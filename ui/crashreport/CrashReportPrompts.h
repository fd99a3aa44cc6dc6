#pragma once
// The crash reporter's prompts on the desktop: message boxes, the status
// dialog with its progress bar, and the save dialog for the archive.
#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <memory>

#include "ui/crashreport/CrashReportController.h"

class QProgressBar;

namespace tarnwick::ui {

class DesktopCrashReportPrompts final : public CrashReportPrompts {
public:
    explicit DesktopCrashReportPrompts(QWidget* parent = nullptr) : m_parent(parent) {}
    ~DesktopCrashReportPrompts() override;
    void setParent(QWidget* parent) { m_parent = parent; }

    void showInvalidEmail(const QString& text) override;
    void beginSending() override;
    void showProgress(qint64 sent, qint64 total) override;
    void endSending() override;
    void showError(const QString& text) override;
    std::optional<QString> chooseArchiveTarget(const QString& defaultName) override;

private:
    QPointer<QWidget> m_parent;
    std::unique_ptr<QDialog> m_status;
    QProgressBar* m_progress = nullptr;
};

}  // namespace tarnwick::ui
