#include "ui/results/ExportDialogPrompts.h"

#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QMessageBox>

#include "ui/common/EngineText.h"
#include "ui/results/ExportDialogTexts.h"

namespace tarnwick::ui {
namespace {

namespace texts = text::exporting;

// Where the program comes from, "*.*" names every file, also one without a
// dot; here the pattern alone would hide those. The dialog keeps the text of
// its filter and its list shows every file.
void showEveryFile(QFileDialog& dialog)
{
    if (auto* model = dialog.findChild<QFileSystemModel*>()) model->setNameFilters({});
}

std::optional<std::string> runFileDialog(QWidget* parent, const FileDialogParameters& parameters, bool save)
{
    QFileDialog dialog(parent, QString::fromUtf8(save ? texts::kSaveTitle : texts::kOpenTitle));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(QString::fromUtf8(parameters.filterText));
    if (parameters.pattern == "*.*") showEveryFile(dialog);
    if (!parameters.defaultExtension.empty()) dialog.setDefaultSuffix(fromPath(parameters.defaultExtension));
    if (!parameters.promptOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!parameters.directory.empty()) dialog.setDirectory(fromPath(parameters.directory));
    if (!parameters.fileName.empty()) dialog.selectFile(fromPath(parameters.fileName));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
    return QFile::encodeName(chosen.first()).toStdString();
}

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& text)
{
    QMessageBox box(icon, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace

std::optional<std::string> DesktopExportPrompts::chooseTemplateFile(QWidget* parent, const FileDialogParameters& dialog)
{
    return runFileDialog(parent, dialog, false);
}

std::optional<std::string> DesktopExportPrompts::chooseTargetFile(QWidget* parent, const FileDialogParameters& dialog)
{
    return runFileDialog(parent, dialog, true);
}

void DesktopExportPrompts::showRefusal(QWidget* parent, const QString& text) { showBox(parent, QMessageBox::NoIcon, text); }

void DesktopExportPrompts::showFailure(QWidget* parent, const QString& text) { showBox(parent, QMessageBox::Warning, text); }

}  // namespace tarnwick::ui
