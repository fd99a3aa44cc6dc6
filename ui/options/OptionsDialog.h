#pragma once
// "Optionen": the modal dialog for the less frequent options (backup copies,
// the operation log, context length, Word extensions, encoding detection,
// split mode, search threads). Its controls are bound to OptionsDialogLogic,
// which decides the enabling, the warning, the checks on OK and the write of
// the settings.
#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "settings/OptionsSettings.h"
#include "ui/options/OptionsDialogLogic.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tarnwick::settings {
class ProfileStore;
}

namespace tarnwick::ui {

class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    // Shows the messages of OK; tests record them instead.
    using MessageSink = std::function<void(const QString& text)>;
    // Asks for a path, starting from the current one; nothing when cancelled.
    using PathChooser = std::function<std::optional<QString>(const QString& current)>;

    // Opens on the form's values; on OK the section `Optionen` of `store`
    // is written, which must outlive the dialog.
    OptionsDialog(const settings::OptionsValues& values, std::uint32_t warningBits, settings::ProfileStore& store,
                  QWidget* parent = nullptr);
    ~OptionsDialog() override;

    // The new values after OK, the form's values before.
    const settings::OptionsValues& acceptedValues() const { return m_logic.acceptedValues(); }
    // The warning opt-out bits; valid however the dialog was closed.
    std::uint32_t warningBits() const { return m_logic.warningBits(); }

    // The controls' current contents.
    OptionsDialogInput input() const;

    void setMessageSink(MessageSink sink) { m_messageSink = std::move(sink); }
    // Not owned; null restores the desktop's warning box.
    void setPrompts(OptionsPrompts* prompts);
    void setLogFileChooser(PathChooser chooser) { m_chooseLogFile = std::move(chooser); }
    void setTempDirChooser(PathChooser chooser) { m_chooseTempDir = std::move(chooser); }

public slots:
    // OK: closes only when the logic accepts the input.
    void accept() override;

private:
    void buildWidgets();
    QGroupBox* buildBackupGroup();
    QGroupBox* buildLogGroup();
    QGroupBox* buildViewGroup();
    QGroupBox* buildWordGroup();
    QGroupBox* buildEncodingGroup();
    QGroupBox* buildAdvancedGroup();
    QGroupBox* buildExternalEditorGroup();
    QGroupBox* buildUndoGroup();
    void showInput(const OptionsDialogInput& input);
    void applyEnabling();
    void onBackupToggled(bool on);
    void browseLogFile();
    void browseTempDir();
    void focusField(OptionsField field);

    OptionsDialogLogic m_logic;
    settings::ProfileStore& m_store;
    std::unique_ptr<OptionsPrompts> m_ownPrompts;
    OptionsPrompts* m_prompts = nullptr;
    MessageSink m_messageSink;
    PathChooser m_chooseLogFile;
    PathChooser m_chooseTempDir;
    bool m_filling = false;  // set while the controls are filled, so no warning is asked

    QGroupBox* m_backupGroup = nullptr;  // checkable: "Sicherungskopie erstellen"
    QLineEdit* m_backupExtension = nullptr;
    QCheckBox* m_skipBackupFiles = nullptr;
    QRadioButton* m_backupNotFromResults = nullptr;
    QRadioButton* m_backupAlways = nullptr;
    QGroupBox* m_logGroup = nullptr;  // checkable: "Ausgabe in Log Datei speichern"
    QLineEdit* m_logFile = nullptr;
    QPushButton* m_browseLogFile = nullptr;
    QCheckBox* m_logOnlyReplace = nullptr;
    QLineEdit* m_contextLength = nullptr;
    QLineEdit* m_wordExtensions = nullptr;
    QCheckBox* m_wordRegex = nullptr;
    QCheckBox* m_wordAllParts = nullptr;
    QCheckBox* m_detectUtf8 = nullptr;
    QLineEdit* m_detectLength = nullptr;
    QLineEdit* m_splitLength = nullptr;
    QLineEdit* m_splitMaxOffset = nullptr;
    QLineEdit* m_searchThreads = nullptr;
    QLineEdit* m_externalEditor = nullptr;
    QRadioButton* m_tempDirCurrent = nullptr;
    QRadioButton* m_tempDirThis = nullptr;
    QLineEdit* m_tempDir = nullptr;
    QPushButton* m_browseTempDir = nullptr;
    QCheckBox* m_ignoreNulls = nullptr;
    QGroupBox* m_undoGroup = nullptr;  // checkable: "Ersetzungsläufe zum Rückgängigmachen aufzeichnen"
    QLineEdit* m_undoLimit = nullptr;
};

// Opens the dialog modally on the form's values. On OK section `Optionen`
// has been written and the new values are returned; `warningBits` takes an
// opt-out ticked in the warning however the dialog was closed.
std::optional<settings::OptionsValues> EditOptions(QWidget* parent, const settings::OptionsValues& values,
                                                   std::uint32_t& warningBits, settings::ProfileStore& store);

}  // namespace tarnwick::ui
