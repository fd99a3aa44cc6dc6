// The export dialog's wiring on the offscreen platform: the enabling follows
// the radio buttons, a refused OK keeps the dialog open with its message and
// stores nothing, an accepted OK stores the four values as typed, and
// "Durchsuchen..." fills the template field.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "settings/ExportSettings.h"
#include "settings/ProfileStore.h"
#include "tests/support/TempTree.h"
#include "tests/ui/results/ExportDialogScript.h"
#include "tests/ui/support/QtApp.h"
#include "ui/results/ExportDialog.h"

namespace tarnwick::ui {
namespace {

const QString kInvalidTemplate =
    QString::fromUtf8("Die gewählte Vorlage ist ungültig. Bitte wählen Sie eine andere oder eine andere Exportoption.");
const QString kMissingSeparator =
    QString::fromUtf8("Bitte geben Sie ein Listentrennzeichen ein. Diese Zeichen(folge) dient zur Separierung der einzelnen "
                      "Spalten. (z.B. Strichpunkt, Tabulator (als \\t eingeben) etc..)");
const QString kNoElement = QStringLiteral("Mindestens ein Exporttyp muss gewählt werden.");

class ExportDialogTest : public ::testing::Test {
protected:
    void SetUp() override { test::EnsureQtApp(); }

    void open()
    {
        dialog = std::make_unique<ExportDialog>(store, tree.root(), &prompts);
        dialog->show();
    }

    template <typename T>
    T* child(const char* name)
    {
        T* widget = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    void clickOk() { child<QPushButton>("ok")->click(); }

    test::TempTree tree;
    settings::ProfileStore store{tree.path("Tarnwick.conf")};
    test::ScriptedExportPrompts prompts;
    std::unique_ptr<ExportDialog> dialog;
};

TEST_F(ExportDialogTest, EnablingFollowsTheRadioButtons)
{
    open();
    auto* separator = child<QLineEdit>("separator");
    auto* templatePath = child<QLineEdit>("templatePath");
    auto* browse = child<QPushButton>("browseTemplate");
    // The defaults: XML, hits only, the template beside the program.
    EXPECT_TRUE(child<QRadioButton>("typeXml")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("exportHits")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("exportErrors")->isChecked());
    EXPECT_EQ(templatePath->text().toStdString(), tree.root() + "/vorlage_export.txt");
    EXPECT_EQ(separator->text(), QStringLiteral("; "));
    EXPECT_FALSE(separator->isEnabled());
    EXPECT_FALSE(templatePath->isEnabled());
    EXPECT_FALSE(browse->isEnabled());

    child<QRadioButton>("typeCsv")->click();
    EXPECT_TRUE(separator->isEnabled());
    EXPECT_FALSE(templatePath->isEnabled());
    EXPECT_FALSE(browse->isEnabled());

    child<QRadioButton>("typeTemplate")->click();
    EXPECT_FALSE(separator->isEnabled());
    EXPECT_TRUE(templatePath->isEnabled());
    EXPECT_TRUE(browse->isEnabled());

    child<QRadioButton>("typeXml")->click();
    EXPECT_FALSE(separator->isEnabled());
    EXPECT_FALSE(templatePath->isEnabled());
    EXPECT_FALSE(browse->isEnabled());
}

TEST_F(ExportDialogTest, MissingTemplateKeepsTheDialogOpenAndStoresNothing)
{
    open();
    child<QRadioButton>("typeTemplate")->click();
    child<QLineEdit>("templatePath")->setText(QString::fromStdString(tree.path("fehlt.html")));
    clickOk();
    EXPECT_EQ(prompts.refusals, QStringList{kInvalidTemplate});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(test::ReadFile(store.path()), "");

    // A directory is no template either.
    child<QLineEdit>("templatePath")->setText(QString::fromStdString(tree.mkdir("vorlagen")));
    clickOk();
    EXPECT_EQ(prompts.refusals.size(), 2);

    const std::string path = tree.write("bericht.html", "!LISTE_START!!DATEINAME!!LISTE_STOP!");
    child<QLineEdit>("templatePath")->setText(QString::fromStdString(path));
    clickOk();
    EXPECT_EQ(prompts.refusals.size(), 2);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(settings::ReadExportSettings(store, "/x").templatePath, path);
}

TEST_F(ExportDialogTest, EmptySeparatorIsRefusedOnlyForCsvAndSomeElementMustBeTicked)
{
    open();
    child<QRadioButton>("typeCsv")->click();
    child<QLineEdit>("separator")->clear();
    clickOk();
    EXPECT_EQ(prompts.refusals, QStringList{kMissingSeparator});

    child<QRadioButton>("typeXml")->click();
    child<QCheckBox>("exportHits")->setChecked(false);
    clickOk();
    EXPECT_EQ(prompts.refusals, (QStringList{kMissingSeparator, kNoElement}));
    EXPECT_TRUE(dialog->isVisible());

    child<QCheckBox>("exportDirNames")->setChecked(true);
    clickOk();
    EXPECT_EQ(prompts.refusals.size(), 2);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(ExportDialogTest, OkStoresTheFourValuesWithTheSeparatorAsTyped)
{
    const std::string templatePath = tree.write("vorlage.txt", "x");
    open();
    child<QRadioButton>("typeCsv")->click();
    child<QLineEdit>("separator")->setText(QStringLiteral("\\t"));
    child<QLineEdit>("templatePath")->setText(QString::fromStdString(templatePath));
    child<QCheckBox>("exportHits")->setChecked(false);
    child<QCheckBox>("exportErrors")->setChecked(true);
    child<QCheckBox>("exportFileNames")->setChecked(true);
    clickOk();
    ASSERT_EQ(dialog->result(), QDialog::Accepted);

    settings::ExportSettings expected;
    expected.type = ExportType::Csv;
    expected.elements = ExportElement::Errors | ExportElement::FileNames;
    expected.templatePath = templatePath;
    expected.separator = "\\t";
    EXPECT_EQ(settings::ReadExportSettings(store, "/x"), expected);

    // The writer gets a tab; a dialog opened again shows the two characters.
    const ExportRequest request = dialog->logic().makeRequest("/ziel.csv");
    EXPECT_EQ(request.separator, "\t");
    EXPECT_EQ(request.type, ExportType::Csv);
    EXPECT_FALSE(request.filter.hits);
    EXPECT_TRUE(request.filter.errors);
    open();
    EXPECT_EQ(child<QLineEdit>("separator")->text(), QStringLiteral("\\t"));
    EXPECT_TRUE(child<QRadioButton>("typeCsv")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("exportHits")->isChecked());
}

TEST_F(ExportDialogTest, BrowseStartsAtTheTemplateAndTakesTheChosenFile)
{
    settings::ExportSettings stored;
    stored.type = ExportType::Template;
    stored.templatePath = "/vorlagen/bericht.html";
    ASSERT_TRUE(settings::WriteExportSettings(store, stored));
    open();
    auto* templatePath = child<QLineEdit>("templatePath");

    child<QPushButton>("browseTemplate")->click();
    ASSERT_EQ(prompts.openDialogs.size(), 1u);
    EXPECT_EQ(prompts.openDialogs[0].directory, "/vorlagen");
    EXPECT_EQ(prompts.openDialogs[0].fileName, "bericht.html");
    EXPECT_EQ(prompts.openDialogs[0].filterText, "Alle Dateien (*.*)");
    EXPECT_TRUE(prompts.openDialogs[0].mustExist);
    EXPECT_EQ(templatePath->text(), QStringLiteral("/vorlagen/bericht.html"));  // cancelled: unchanged

    const std::string chosen = tree.write("neu/liste.csv", "x");
    prompts.templateAnswer = chosen;
    child<QPushButton>("browseTemplate")->click();
    EXPECT_EQ(templatePath->text().toStdString(), chosen);
    EXPECT_EQ(dialog->logic().settings().templatePath, chosen);
}

}  // namespace
}  // namespace tarnwick::ui
