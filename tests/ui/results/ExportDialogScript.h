#pragma once
// Scripted file dialogs and message boxes for the export dialog and the
// export command: answers are set beforehand, every question is recorded.
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

#include "ui/results/ExportDialogPrompts.h"

namespace tarnwick::test {

class ScriptedExportPrompts : public ui::ExportPrompts {
public:
    std::optional<std::string> chooseTemplateFile(QWidget*, const FileDialogParameters& dialog) override
    {
        openDialogs.push_back(dialog);
        return templateAnswer;
    }
    std::optional<std::string> chooseTargetFile(QWidget*, const FileDialogParameters& dialog) override
    {
        saveDialogs.push_back(dialog);
        return targetAnswer;
    }
    void showRefusal(QWidget*, const QString& text) override { refusals << text; }
    void showFailure(QWidget*, const QString& text) override { failures << text; }

    std::optional<std::string> templateAnswer;
    std::optional<std::string> targetAnswer;
    std::vector<FileDialogParameters> openDialogs;
    std::vector<FileDialogParameters> saveDialogs;
    QStringList refusals;
    QStringList failures;
};

}  // namespace tarnwick::test
