#include "ui/options/OptionsDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "platform/CodePage.h"
#include "ui/common/EngineText.h"
#include "ui/dirchooser/DirectoryChooserDialog.h"
#include "ui/options/OptionsDialogPrompts.h"
#include "ui/options/OptionsDialogTexts.h"

namespace tarnwick::ui {
namespace {

namespace texts = text::options;

QLabel* wrappingLabel(const char* text, QWidget* parent)
{
    auto* label = new QLabel(qs(text), parent);
    label->setWordWrap(true);
    return label;
}

// A field for a number: wide enough for ten digits, no wider.
QLineEdit* numberField(const char* name, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12);
    return field;
}

std::optional<QString> chooseLogFileWithDialog(QWidget* parent, const QString& current)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(qs(texts::kLogFileFilter));
    dialog.setDefaultSuffix(QStringLiteral("log"));
    if (!current.isEmpty()) dialog.selectFile(current);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

}  // namespace

OptionsDialog::OptionsDialog(const settings::OptionsValues& values, std::uint32_t warningBits, settings::ProfileStore& store,
                             QWidget* parent)
    : QDialog(parent), m_logic(values, warningBits), m_store(store),
      m_ownPrompts(std::make_unique<MessageBoxOptionsPrompts>(this)), m_prompts(m_ownPrompts.get())
{
    m_chooseLogFile = [this](const QString& current) { return chooseLogFileWithDialog(this, current); };
    m_chooseTempDir = [this](const QString& current) { return ChooseDirectory(this, current); };
    buildWidgets();
    showInput(m_logic.initialInput());
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::setPrompts(OptionsPrompts* prompts) { m_prompts = prompts ? prompts : m_ownPrompts.get(); }

void OptionsDialog::buildWidgets()
{
    setWindowTitle(qs(texts::kTitle));

    auto* ok = new QPushButton(qs(texts::kOk), this);
    auto* cancel = new QPushButton(qs(texts::kCancel), this);
    ok->setObjectName(QStringLiteral("ok"));
    cancel->setObjectName(QStringLiteral("cancel"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &OptionsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &OptionsDialog::reject);

    auto* groups = new QGridLayout;
    groups->addWidget(buildBackupGroup(), 0, 0);
    groups->addWidget(buildLogGroup(), 0, 1);
    groups->addWidget(buildViewGroup(), 1, 0);
    groups->addWidget(buildWordGroup(), 1, 1);
    groups->addWidget(buildEncodingGroup(), 2, 0, 1, 2);
    groups->addWidget(buildAdvancedGroup(), 3, 0, 1, 2);
    groups->addWidget(buildExternalEditorGroup(), 4, 0, 1, 2);
    groups->addWidget(buildUndoGroup(), 5, 0, 1, 2);
    groups->setColumnStretch(0, 1);
    groups->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(buttons);
    // Not resizable, and sized with the wrapped labels at their full height.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QGroupBox* OptionsDialog::buildBackupGroup()
{
    m_backupGroup = new QGroupBox(qs(texts::kMakeBackup), this);
    m_backupGroup->setObjectName(QStringLiteral("makeBackup"));
    m_backupGroup->setCheckable(true);
    m_backupExtension = new QLineEdit(m_backupGroup);
    m_backupExtension->setObjectName(QStringLiteral("backupExtension"));
    auto* extensionLabel = new QLabel(qs(texts::kBackupExtensionLabel), m_backupGroup);
    extensionLabel->setBuddy(m_backupExtension);
    m_skipBackupFiles = new QCheckBox(qs(texts::kSkipBackupFiles), m_backupGroup);
    m_skipBackupFiles->setObjectName(QStringLiteral("skipBackupFiles"));
    m_backupNotFromResults = new QRadioButton(qs(texts::kBackupNotFromResults), m_backupGroup);
    m_backupAlways = new QRadioButton(qs(texts::kBackupAlways), m_backupGroup);
    m_backupAlways->setObjectName(QStringLiteral("backupAlways"));

    auto* extensionRow = new QHBoxLayout;
    extensionRow->addWidget(extensionLabel);
    extensionRow->addWidget(m_backupExtension, 1);
    auto* layout = new QVBoxLayout(m_backupGroup);
    layout->addLayout(extensionRow);
    layout->addWidget(m_skipBackupFiles);
    layout->addWidget(m_backupNotFromResults);
    layout->addWidget(m_backupAlways);
    layout->addStretch();
    connect(m_backupGroup, &QGroupBox::toggled, this, &OptionsDialog::onBackupToggled);
    return m_backupGroup;
}

QGroupBox* OptionsDialog::buildLogGroup()
{
    m_logGroup = new QGroupBox(qs(texts::kUseLog), this);
    m_logGroup->setObjectName(QStringLiteral("useLog"));
    m_logGroup->setCheckable(true);
    m_logFile = new QLineEdit(m_logGroup);
    m_logFile->setObjectName(QStringLiteral("logFile"));
    auto* fileLabel = new QLabel(qs(texts::kLogFileLabel), m_logGroup);
    fileLabel->setBuddy(m_logFile);
    m_browseLogFile = new QPushButton(qs(texts::kBrowse), m_logGroup);
    m_browseLogFile->setObjectName(QStringLiteral("browseLogFile"));
    m_logOnlyReplace = new QCheckBox(qs(texts::kLogOnlyReplace), m_logGroup);
    m_logOnlyReplace->setObjectName(QStringLiteral("logOnlyReplace"));

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_logFile, 1);
    fileRow->addWidget(m_browseLogFile);
    auto* layout = new QVBoxLayout(m_logGroup);
    layout->addWidget(fileLabel);
    layout->addLayout(fileRow);
    layout->addWidget(m_logOnlyReplace);
    layout->addStretch();
    connect(m_logGroup, &QGroupBox::toggled, this, &OptionsDialog::applyEnabling);
    connect(m_browseLogFile, &QPushButton::clicked, this, &OptionsDialog::browseLogFile);
    return m_logGroup;
}

QGroupBox* OptionsDialog::buildViewGroup()
{
    auto* group = new QGroupBox(qs(texts::kViewFrame), this);
    m_contextLength = numberField("contextLength", group);
    auto* label = wrappingLabel(texts::kContextLengthLabel, group);
    label->setBuddy(m_contextLength);
    // The first line of the label level with the text of the field.
    label->setContentsMargins(0, (m_contextLength->sizeHint().height() - label->fontMetrics().height()) / 2, 0, 0);
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(m_contextLength, 0, Qt::AlignTop);
    layout->addWidget(label, 1, Qt::AlignTop);
    return group;
}

QGroupBox* OptionsDialog::buildWordGroup()
{
    auto* group = new QGroupBox(qs(texts::kWordFrame), this);
    m_wordExtensions = new QLineEdit(group);
    m_wordExtensions->setObjectName(QStringLiteral("wordExtensions"));
    // On one line: wrapped, it would break inside "mehrere mit , trennen".
    auto* label = new QLabel(qs(texts::kWordExtensionsLabel), group);
    label->setBuddy(m_wordExtensions);
    m_wordRegex = new QCheckBox(qs(texts::kWordRegex), group);
    m_wordRegex->setObjectName(QStringLiteral("wordRegex"));
    m_wordAllParts = new QCheckBox(qs(texts::kWordAllParts), group);
    m_wordAllParts->setObjectName(QStringLiteral("wordAllParts"));
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(m_wordExtensions);
    layout->addWidget(label);
    layout->addWidget(m_wordRegex);
    layout->addWidget(m_wordAllParts);
    layout->addStretch();
    return group;
}

QGroupBox* OptionsDialog::buildEncodingGroup()
{
    auto* group = new QGroupBox(qs(texts::kEncodingFrame), this);
    m_detectUtf8 = new QCheckBox(qs(texts::kDetectUtf8), group);
    m_detectUtf8->setObjectName(QStringLiteral("detectUtf8"));
    m_detectLength = numberField("detectLength", group);
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(m_detectUtf8);
    layout->addWidget(m_detectLength);
    layout->addWidget(new QLabel(qs(texts::kDetectLengthLabel), group), 1);
    return group;
}

QGroupBox* OptionsDialog::buildExternalEditorGroup()
{
    auto* group = new QGroupBox(qs(texts::kExternalEditorFrame), this);
    m_externalEditor = new QLineEdit(group);
    m_externalEditor->setObjectName(QStringLiteral("externalEditor"));
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(m_externalEditor);
    layout->addWidget(wrappingLabel(texts::kExternalEditorHelp, group));
    return group;
}

QGroupBox* OptionsDialog::buildUndoGroup()
{
    m_undoGroup = new QGroupBox(qs(texts::kUndoJournal), this);
    m_undoGroup->setObjectName(QStringLiteral("undoJournal"));
    m_undoGroup->setCheckable(true);
    m_undoLimit = numberField("undoLimit", m_undoGroup);
    auto* label = new QLabel(qs(texts::kUndoLimitLabel), m_undoGroup);
    label->setBuddy(m_undoLimit);
    auto* layout = new QHBoxLayout(m_undoGroup);
    layout->addWidget(label);
    layout->addWidget(m_undoLimit);
    layout->addWidget(new QLabel(qs(texts::kUndoLimitUnit), m_undoGroup), 1);
    connect(m_undoGroup, &QGroupBox::toggled, this, &OptionsDialog::applyEnabling);
    return m_undoGroup;
}

QGroupBox* OptionsDialog::buildAdvancedGroup()
{
    auto* group = new QGroupBox(qs(texts::kAdvancedFrame), this);
    m_splitLength = numberField("splitLength", group);
    m_splitMaxOffset = numberField("splitMaxOffset", group);
    m_searchThreads = numberField("searchThreads", group);
    auto* splitLabel = new QLabel(qs(texts::kSplitLengthLabel), group);
    splitLabel->setBuddy(m_splitLength);
    auto* offsetLabel = new QLabel(qs(texts::kSplitMaxOffsetLabel), group);
    offsetLabel->setBuddy(m_splitMaxOffset);
    auto* threadsLabel = new QLabel(qs(texts::kSearchThreadsLabel), group);
    threadsLabel->setBuddy(m_searchThreads);

    auto* numbers = new QGridLayout;
    numbers->addWidget(splitLabel, 0, 0);
    numbers->addWidget(m_splitLength, 0, 1);
    numbers->addWidget(new QLabel(qs(texts::kSplitLengthUnit), group), 0, 2);
    numbers->addWidget(offsetLabel, 1, 0);
    numbers->addWidget(m_splitMaxOffset, 1, 1);
    numbers->addWidget(new QLabel(qs(texts::kSplitMaxOffsetUnit), group), 1, 2);
    numbers->addWidget(threadsLabel, 2, 0);
    numbers->addWidget(m_searchThreads, 2, 1);
    numbers->addWidget(new QLabel(qs(texts::kSearchThreadsUnit), group), 2, 2);
    numbers->setColumnStretch(3, 1);

    auto* tempGroup = new QGroupBox(qs(texts::kTempDirFrame), group);
    m_tempDirCurrent = new QRadioButton(qs(texts::kTempDirCurrent), tempGroup);
    m_tempDirCurrent->setObjectName(QStringLiteral("tempDirCurrent"));
    m_tempDirThis = new QRadioButton(qs(texts::kTempDirThis), tempGroup);
    m_tempDirThis->setObjectName(QStringLiteral("tempDirThis"));
    m_tempDir = new QLineEdit(tempGroup);
    m_tempDir->setObjectName(QStringLiteral("tempDir"));
    m_browseTempDir = new QPushButton(qs(texts::kBrowse), tempGroup);
    m_browseTempDir->setObjectName(QStringLiteral("browseTempDir"));
    auto* tempRow = new QHBoxLayout;
    tempRow->addWidget(m_tempDir, 1);
    tempRow->addWidget(m_browseTempDir);
    auto* tempLayout = new QVBoxLayout(tempGroup);
    tempLayout->addWidget(m_tempDirCurrent);
    tempLayout->addWidget(m_tempDirThis);
    tempLayout->addLayout(tempRow);
    connect(m_tempDirThis, &QRadioButton::toggled, this, &OptionsDialog::applyEnabling);
    connect(m_browseTempDir, &QPushButton::clicked, this, &OptionsDialog::browseTempDir);

    m_ignoreNulls = new QCheckBox(qs(texts::kIgnoreNulls), group);
    m_ignoreNulls->setObjectName(QStringLiteral("ignoreNulls"));

    auto* layout = new QVBoxLayout(group);
    layout->addWidget(wrappingLabel(texts::kAdvancedWarning, group));
    layout->addLayout(numbers);
    layout->addWidget(tempGroup);
    layout->addWidget(m_ignoreNulls);
    return group;
}

void OptionsDialog::showInput(const OptionsDialogInput& input)
{
    m_filling = true;
    m_backupGroup->setChecked(input.makeBackup);
    m_backupExtension->setText(fromStoredText(input.backupExtension));
    m_skipBackupFiles->setChecked(input.skipBackupFiles);
    (input.alwaysBackup ? m_backupAlways : m_backupNotFromResults)->setChecked(true);
    m_logGroup->setChecked(input.useLog);
    m_logFile->setText(fromPath(input.logFile));
    m_logOnlyReplace->setChecked(input.logOnlyReplace);
    m_contextLength->setText(QString::fromStdString(input.contextLength));
    m_wordExtensions->setText(fromStoredText(input.wordExtensions));
    m_wordRegex->setChecked(input.wordRegex);
    m_wordAllParts->setChecked(input.wordAllParts);
    m_detectUtf8->setChecked(input.detectUtf8);
    m_detectLength->setText(QString::fromStdString(input.detectLengthKb));
    m_splitLength->setText(QString::fromStdString(input.splitLengthMb));
    m_splitMaxOffset->setText(QString::fromStdString(input.splitMaxOffsetKb));
    m_searchThreads->setText(QString::fromStdString(input.searchThreads));
    (input.tempDirIsCurrent ? m_tempDirCurrent : m_tempDirThis)->setChecked(true);
    m_tempDir->setText(fromPath(input.tempDir));
    m_ignoreNulls->setChecked(input.ignoreNulls);
    m_externalEditor->setText(fromPath(input.externalEditor));
    m_undoGroup->setChecked(input.undoJournal);
    m_undoLimit->setText(QString::fromStdString(input.undoLimitMb));
    m_filling = false;
    applyEnabling();
}

OptionsDialogInput OptionsDialog::input() const
{
    OptionsDialogInput input;
    input.makeBackup = m_backupGroup->isChecked();
    input.backupExtension = toStoredText(m_backupExtension->text());
    input.skipBackupFiles = m_skipBackupFiles->isChecked();
    input.alwaysBackup = m_backupAlways->isChecked();
    input.useLog = m_logGroup->isChecked();
    input.logFile = toPath(m_logFile->text());
    input.logOnlyReplace = m_logOnlyReplace->isChecked();
    input.contextLength = m_contextLength->text().toStdString();
    input.wordExtensions = toStoredText(m_wordExtensions->text());
    input.wordRegex = m_wordRegex->isChecked();
    input.wordAllParts = m_wordAllParts->isChecked();
    input.detectUtf8 = m_detectUtf8->isChecked();
    input.detectLengthKb = m_detectLength->text().toStdString();
    input.splitLengthMb = m_splitLength->text().toStdString();
    input.splitMaxOffsetKb = m_splitMaxOffset->text().toStdString();
    input.searchThreads = m_searchThreads->text().toStdString();
    input.tempDirIsCurrent = m_tempDirCurrent->isChecked();
    input.tempDir = toPath(m_tempDir->text());
    input.ignoreNulls = m_ignoreNulls->isChecked();
    input.externalEditor = toPath(m_externalEditor->text());
    input.undoJournal = m_undoGroup->isChecked();
    input.undoLimitMb = m_undoLimit->text().toStdString();
    return input;
}

void OptionsDialog::applyEnabling()
{
    const OptionsEnabling enabling = EnablingFor(input());
    // A checkable frame disables all its children while unticked; set each
    // control explicitly so the rules, not the frame, decide.
    m_backupExtension->setEnabled(enabling.backupDetails);
    m_backupNotFromResults->setEnabled(enabling.backupDetails);
    m_backupAlways->setEnabled(enabling.backupDetails);
    m_skipBackupFiles->setEnabled(true);
    m_logFile->setEnabled(enabling.logDetails);
    m_browseLogFile->setEnabled(enabling.logDetails);
    m_logOnlyReplace->setEnabled(enabling.logDetails);
    m_tempDir->setEnabled(enabling.tempDirDetails);
    m_browseTempDir->setEnabled(enabling.tempDirDetails);
    m_undoLimit->setEnabled(enabling.undoDetails);
}

void OptionsDialog::onBackupToggled(bool on)
{
    if (!on && !m_filling && !m_logic.confirmBackupOff(*m_prompts)) {
        const QSignalBlocker blocker(m_backupGroup);
        m_backupGroup->setChecked(true);
    }
    applyEnabling();
}

void OptionsDialog::browseLogFile()
{
    if (const std::optional<QString> chosen = m_chooseLogFile(m_logFile->text())) m_logFile->setText(*chosen);
}

void OptionsDialog::browseTempDir()
{
    if (const std::optional<QString> chosen = m_chooseTempDir(m_tempDir->text())) m_tempDir->setText(*chosen);
}

void OptionsDialog::accept()
{
    const std::optional<OptionsRefusal> refusal = m_logic.accept(input(), m_store);
    if (!refusal) {
        QDialog::accept();
        return;
    }
    const QString message = QString::fromStdString(refusal->message);
    if (m_messageSink) {
        m_messageSink(message);
    } else {
        QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), message, QMessageBox::Ok, this);
        box.exec();
    }
    focusField(refusal->field);
}

void OptionsDialog::focusField(OptionsField field)
{
    QLineEdit* edit = nullptr;
    switch (field) {
    case OptionsField::ContextLength: edit = m_contextLength; break;
    case OptionsField::DetectLength: edit = m_detectLength; break;
    case OptionsField::SplitLength: edit = m_splitLength; break;
    case OptionsField::SplitMaxOffset: edit = m_splitMaxOffset; break;
    case OptionsField::SearchThreads: edit = m_searchThreads; break;
    case OptionsField::UndoLimit: edit = m_undoLimit; break;
    case OptionsField::LogFile: edit = m_logFile; break;
    case OptionsField::BackupExtension: edit = m_backupExtension; break;
    case OptionsField::WordExtensions: edit = m_wordExtensions; break;
    case OptionsField::TempDir: edit = m_tempDir; break;
    }
    if (edit == nullptr) return;
    edit->setFocus();
    edit->selectAll();
}

std::optional<settings::OptionsValues> EditOptions(QWidget* parent, const settings::OptionsValues& values,
                                                   std::uint32_t& warningBits, settings::ProfileStore& store)
{
    OptionsDialog dialog(values, warningBits, store, parent);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    warningBits = dialog.warningBits();
    if (!accepted) return std::nullopt;
    return dialog.acceptedValues();
}

}  // namespace tarnwick::ui
