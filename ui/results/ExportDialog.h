#pragma once
// "Ergebnisse exportieren": the modal dialog that picks the export format
// and the kinds of results to export. Its controls are bound to
// ExportDialogLogic, which decides the enabling, the browse dialog and the
// checks of "OK"; on OK the dialog writes section `Export` of the settings.
#include <QDialog>

#include <memory>
#include <string>

#include "formjob/ExportDialogLogic.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tarnwick::settings {
class ProfileStore;
}  // namespace tarnwick::settings

namespace tarnwick::ui {

class ExportPrompts;

class ExportDialog : public QDialog {
    Q_OBJECT
public:
    // Opens on section `Export` of `store`, which must outlive the dialog;
    // the default template lies in `templateDirectory`. `prompts` (not
    // owned, must outlive the dialog) asks for the template and shows the
    // refusals; null means the desktop's dialogs.
    ExportDialog(settings::ProfileStore& store, const std::string& templateDirectory, ExportPrompts* prompts = nullptr,
                 QWidget* parent = nullptr);
    ~ExportDialog() override;

    // The dialog's values; after OK those that were stored.
    const ExportDialogLogic& logic() const { return m_logic; }

public slots:
    // OK: closes only when every check passes.
    void accept() override;

private:
    void buildWidgets();
    QGroupBox* buildFormatGroup();
    QGroupBox* buildElementsGroup();
    void showSettings();
    void connectControls();
    void applyEnabling();
    void browseTemplate();

    ExportDialogLogic m_logic;
    settings::ProfileStore& m_store;
    std::unique_ptr<ExportPrompts> m_ownPrompts;
    ExportPrompts* m_prompts = nullptr;

    QRadioButton* m_xml = nullptr;
    QRadioButton* m_csv = nullptr;
    QRadioButton* m_byTemplate = nullptr;
    QLineEdit* m_separator = nullptr;
    QLineEdit* m_templatePath = nullptr;
    QPushButton* m_browse = nullptr;
    QCheckBox* m_hits = nullptr;
    QCheckBox* m_errors = nullptr;
    QCheckBox* m_fileNames = nullptr;
    QCheckBox* m_dirNames = nullptr;
};

}  // namespace tarnwick::ui
