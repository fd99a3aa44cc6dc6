#pragma once
// How the export dialog and the export command ask for files and tell the
// user something: the desktop's file dialogs and message boxes, or a script
// in tests. Paths are the file system's bytes; texts are UTF-8.
#include <QString>

#include <optional>
#include <string>

#include "formjob/ExportDialogLogic.h"

class QWidget;

namespace tarnwick::ui {

class ExportPrompts {
public:
    virtual ~ExportPrompts() = default;
    // "Durchsuchen...": an existing file; nothing when cancelled.
    virtual std::optional<std::string> chooseTemplateFile(QWidget* parent, const FileDialogParameters& dialog) = 0;
    // The target of the export; nothing when cancelled or no name was given.
    virtual std::optional<std::string> chooseTargetFile(QWidget* parent, const FileDialogParameters& dialog) = 0;
    // A check of the dialog refused "OK".
    virtual void showRefusal(QWidget* parent, const QString& text) = 0;
    // The export failed.
    virtual void showFailure(QWidget* parent, const QString& text) = 0;
};

// QFileDialog and QMessageBox.
class DesktopExportPrompts final : public ExportPrompts {
public:
    std::optional<std::string> chooseTemplateFile(QWidget* parent, const FileDialogParameters& dialog) override;
    std::optional<std::string> chooseTargetFile(QWidget* parent, const FileDialogParameters& dialog) override;
    void showRefusal(QWidget* parent, const QString& text) override;
    void showFailure(QWidget* parent, const QString& text) override;
};

}  // namespace tarnwick::ui
