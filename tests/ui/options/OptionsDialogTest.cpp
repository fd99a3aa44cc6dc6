// The options dialog's wiring on the offscreen platform: a refused OK keeps
// it open with its message, the backup warning's opt-out survives
// "Abbrechen", the enabling follows the controls, browsing fills the field.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "settings/FormState.h"
#include "settings/ProfileStore.h"
#include "tests/support/TempTree.h"
#include "tests/ui/support/QtApp.h"
#include "ui/options/OptionsDialog.h"
#include "ui/options/OptionsDialogTexts.h"

namespace tarnwick::ui {
namespace {

using settings::WarningBit::AllShown;
using settings::WarningBit::BackupOff;

class AnsweringPrompts : public OptionsPrompts {
public:
    WarningAnswer askWarning(const std::string&) override
    {
        ++asked;
        return answer;
    }
    WarningAnswer answer;
    int asked = 0;
};

class OptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::EnsureQtApp();
        dialog = std::make_unique<OptionsDialog>(settings::OptionsValues{}, AllShown, store);
        dialog->setMessageSink([this](const QString& text) { messages << text; });
        dialog->setPrompts(&prompts);
        dialog->show();
    }

    template <typename T>
    T* child(const char* name)
    {
        T* widget = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    test::TempTree tree;
    settings::ProfileStore store{tree.path("Tarnwick.conf")};
    AnsweringPrompts prompts;
    QStringList messages;
    std::unique_ptr<OptionsDialog> dialog;
};

TEST_F(OptionsDialogTest, RefusedValueKeepsTheDialogOpenWithItsMessage)
{
    EXPECT_EQ(child<QLineEdit>("splitLength")->text(), QStringLiteral("50"));
    child<QLineEdit>("detectLength")->setText(QStringLiteral("5000000"));
    child<QPushButton>("ok")->click();
    EXPECT_EQ(messages,
              QStringList{QStringLiteral("Bitte geben Sie bei \"Dateikodierung\" eine ganze Zahl zwischen 0 und 4194304 ein.")});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(test::ReadFile(store.path()), "");

    child<QLineEdit>("detectLength")->setText(QStringLiteral("0"));
    child<QLineEdit>("splitLength")->setText(QStringLiteral("10"));
    child<QPushButton>("ok")->click();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->acceptedValues().splitLength, 10'485'760u);
    EXPECT_EQ(settings::ReadOptionsSettings(store), dialog->acceptedValues());
}

TEST_F(OptionsDialogTest, RefusedThreadCountPutsTheFocusOnItsField)
{
    auto* threads = child<QLineEdit>("searchThreads");
    EXPECT_EQ(threads->text(), QStringLiteral("0"));
    threads->setText(QStringLiteral("300"));
    child<QPushButton>("ok")->click();
    EXPECT_EQ(messages,
              QStringList{QStringLiteral("Bitte geben Sie bei \"Such-Threads\" eine ganze Zahl zwischen 0 und 256 ein.")});
    EXPECT_EQ(dialog->focusWidget(), threads);
    EXPECT_EQ(threads->selectedText(), QStringLiteral("300"));

    threads->setText(QStringLiteral("4"));
    child<QPushButton>("ok")->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(settings::ReadOptionsSettings(store).searchThreads, 4u);
}

TEST_F(OptionsDialogTest, OptOutTickedInTheWarningSurvivesAbbrechen)
{
    auto* backup = child<QGroupBox>("makeBackup");
    auto* extension = child<QLineEdit>("backupExtension");
    prompts.answer = WarningAnswer{false, true};
    backup->setChecked(false);
    EXPECT_EQ(prompts.asked, 1);
    EXPECT_TRUE(backup->isChecked()) << "a refused warning ticks the box again";
    EXPECT_TRUE(extension->isEnabled());
    EXPECT_EQ(dialog->warningBits(), AllShown & ~BackupOff);

    backup->setChecked(false);  // no warning any more
    EXPECT_EQ(prompts.asked, 1);
    EXPECT_FALSE(backup->isChecked());
    EXPECT_FALSE(extension->isEnabled());
    EXPECT_FALSE(child<QRadioButton>("backupAlways")->isEnabled());
    EXPECT_TRUE(child<QCheckBox>("skipBackupFiles")->isEnabled());

    child<QPushButton>("cancel")->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(dialog->warningBits(), AllShown & ~BackupOff);
    EXPECT_EQ(test::ReadFile(store.path()), "");
}

TEST_F(OptionsDialogTest, EnablingAndBrowsingFollowTheControls)
{
    auto* logFile = child<QLineEdit>("logFile");
    auto* tempDir = child<QLineEdit>("tempDir");
    EXPECT_FALSE(logFile->isEnabled());
    EXPECT_FALSE(tempDir->isEnabled());
    child<QGroupBox>("useLog")->setChecked(true);
    EXPECT_TRUE(logFile->isEnabled());
    EXPECT_TRUE(child<QCheckBox>("logOnlyReplace")->isEnabled());

    QString offered;
    dialog->setTempDirChooser([&](const QString& current) -> std::optional<QString> {
        offered = current;
        return QString::fromStdString(tree.root());
    });
    tempDir->setText(QStringLiteral("/start"));
    child<QRadioButton>("tempDirThis")->click();
    EXPECT_TRUE(tempDir->isEnabled());
    child<QPushButton>("browseTempDir")->click();
    EXPECT_EQ(offered, QStringLiteral("/start"));
    EXPECT_EQ(tempDir->text(), QString::fromStdString(tree.root()));

    logFile->setText(QStringLiteral("/var/tmp/run.log"));
    child<QPushButton>("ok")->click();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(dialog->acceptedValues().tempDir, tree.root());
    EXPECT_EQ(dialog->acceptedValues().useLog, 1);
}

}  // namespace
}  // namespace tarnwick::ui
