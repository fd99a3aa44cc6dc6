// The export command end to end on the offscreen platform: the real export
// dialog (driven while it runs modally), a scripted save dialog, the file
// written; cancelling either dialog writes nothing; failures are told.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <regex>

#include "platform/SystemError.h"
#include "results/ResultList.h"
#include "results/ResultsExport.h"
#include "settings/ExportSettings.h"
#include "settings/ProfileStore.h"
#include "tests/support/TempTree.h"
#include "tests/ui/results/ExportDialogScript.h"
#include "tests/ui/support/QtApp.h"
#include "ui/results/ExportCommand.h"
#include "ui/results/ExportDialog.h"

namespace tarnwick::ui {
namespace {

// The modal export dialog, once it is shown.
ExportDialog* shownExportDialog()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<ExportDialog*>(widget); dialog != nullptr && dialog->isVisible()) return dialog;
    return nullptr;
}

// Runs `step` on the export dialog as soon as the command shows it.
void whenDialogShown(std::function<void(ExportDialog&)> step, int triesLeft = 200)
{
    QTimer::singleShot(5, [step = std::move(step), triesLeft]() mutable {
        if (ExportDialog* dialog = shownExportDialog()) {
            step(*dialog);
        } else if (triesLeft > 0) {
            whenDialogShown(std::move(step), triesLeft - 1);
        } else {
            ADD_FAILURE() << "the export dialog was not shown";
        }
    });
}

template <typename T>
T* childOf(ExportDialog& dialog, const char* name)
{
    return dialog.findChild<T*>(QString::fromLatin1(name));
}

class ExportCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::EnsureQtApp();
        list.AddFileItem("Suche nach : x", ItemKind::Info);
        list.AddNoteItem("/d/a.txt", ItemKind::File, 2);
        list.AddHitItem(12, 1, "ab x cd", 3, ItemKind::None, -1);
        list.AddHitItem(40, 1, "x y", 0, ItemKind::None, -1);
        const ItemHandle error = list.AddFileItem("/d/c.txt", ItemKind::Error);
        list.UpdateItem(error, ResultColumn::Remark, UpdateWhat::TextAndKind, "Kann Datei nicht öffnen: Permission denied",
                        ItemKind::Error);
        list.AddFileItem("2 Einträge gefunden", ItemKind::Info);
        run.searchPath = "/d";
        run.searchText = "x";
        run.searchContents = true;
        run.filesSearched = 5;
        run.filesFound = 1;
        run.entriesFound = 2;
    }

    bool runCommand() { return RunExportCommand(nullptr, store, list, run, tree.root(), &prompts); }

    // Chooses CSV with `separator` and every kind of item, then OK.
    static void chooseCsv(ExportDialog& dialog, const QString& separator)
    {
        childOf<QRadioButton>(dialog, "typeCsv")->click();
        childOf<QLineEdit>(dialog, "separator")->setText(separator);
        childOf<QCheckBox>(dialog, "exportErrors")->setChecked(true);
        childOf<QPushButton>(dialog, "ok")->click();
    }

    test::TempTree tree;
    settings::ProfileStore store{tree.path("Tarnwick.conf")};
    test::ScriptedExportPrompts prompts;
    ResultList list;
    RunValues run;
};

TEST_F(ExportCommandTest, WritesTheCsvFileChosenInTheSaveDialog)
{
    const std::string target = tree.path("ergebnis.csv");
    prompts.targetAnswer = target;
    whenDialogShown([](ExportDialog& dialog) { chooseCsv(dialog, QStringLiteral("\\t")); });
    EXPECT_TRUE(runCommand());

    ASSERT_EQ(prompts.saveDialogs.size(), 1u);
    const FileDialogParameters& save = prompts.saveDialogs[0];
    EXPECT_EQ(save.filterText, "csv Dateien (*.csv)");
    EXPECT_EQ(save.defaultExtension, "csv");
    EXPECT_TRUE(save.promptOverwrite);
    EXPECT_EQ(test::ReadFile(target),
              "/d/a.txt\t12\tab x cd\t\r\n"
              "/d/a.txt\t40\tx y\t\r\n"
              "/d/c.txt\t\t\tKann Datei nicht öffnen: Permission denied\r\n");
    EXPECT_TRUE(prompts.failures.isEmpty());
    EXPECT_EQ(settings::ReadExportSettings(store, "/x").separator, "\\t");
}

TEST_F(ExportCommandTest, CancelledExportDialogAsksNothingMoreAndWritesNothing)
{
    prompts.targetAnswer = tree.path("ergebnis.xml");
    whenDialogShown([](ExportDialog& dialog) { childOf<QPushButton>(dialog, "cancel")->click(); });
    EXPECT_FALSE(runCommand());
    EXPECT_TRUE(prompts.saveDialogs.empty());
    EXPECT_EQ(test::ReadFile(tree.path("ergebnis.xml")), "");
    EXPECT_EQ(test::ReadFile(store.path()), "");
}

TEST_F(ExportCommandTest, CancelledSaveDialogWritesNoExport)
{
    whenDialogShown([](ExportDialog& dialog) { childOf<QPushButton>(dialog, "ok")->click(); });
    EXPECT_FALSE(runCommand());
    ASSERT_EQ(prompts.saveDialogs.size(), 1u);
    EXPECT_EQ(prompts.saveDialogs[0].filterText, "XML Dateien (*.xml)");
    EXPECT_EQ(prompts.saveDialogs[0].defaultExtension, "xml");
    EXPECT_TRUE(prompts.failures.isEmpty());
    // Only the settings file (and its lock) lies in the tree.
    for (const auto& entry : std::filesystem::directory_iterator(tree.root()))
        EXPECT_EQ(entry.path().filename().string().rfind("Tarnwick.conf", 0), 0u) << entry.path();
}

TEST_F(ExportCommandTest, TargetThatCannotBeCreatedIsTold)
{
    // CSV as the writer reports it; XML, which the writer leaves silent, too:
    // otherwise the user would believe the results were saved.
    const std::string target = tree.path("fehlt/ergebnis.csv");
    prompts.targetAnswer = target;
    whenDialogShown([](ExportDialog& dialog) { chooseCsv(dialog, QStringLiteral(";")); });
    EXPECT_FALSE(runCommand());
    const QString expected = QString::fromStdString(ExportFailureMessage(target, ErrnoCode(ENOENT)));
    EXPECT_EQ(prompts.failures, QStringList{expected});

    const std::string xmlTarget = tree.path("fehlt/ergebnis.xml");
    prompts.targetAnswer = xmlTarget;
    whenDialogShown([](ExportDialog& dialog) {
        childOf<QRadioButton>(dialog, "typeXml")->click();
        childOf<QPushButton>(dialog, "ok")->click();
    });
    EXPECT_FALSE(runCommand());
    EXPECT_EQ(prompts.failures,
              (QStringList{expected, QString::fromStdString(ExportFailureMessage(xmlTarget, ErrnoCode(ENOENT)))}));
}

TEST(ExportTemplateDirectory, BesideTheProgramThenTheInstalledShareDirectory)
{
    test::TempTree tree;
    const std::string bin = tree.mkdir("bin");
    EXPECT_EQ(ExportTemplateDirectory(bin), bin);  // nowhere: named beside the program
    tree.write("share/tarnwick/vorlage_export.txt", "x");
    EXPECT_EQ(ExportTemplateDirectory(bin), tree.path("share/tarnwick"));
    tree.write("bin/vorlage_export.txt", "x");
    EXPECT_EQ(ExportTemplateDirectory(bin), bin);
}

// The template shipped with the program fills every section it has.
TEST(ShippedExportTemplate, FillsHeaderFilesAndHitsLeavingNoPlaceholder)
{
    const std::string templatePath = std::string(TARNWICK_SOURCE_ROOT) + "ui/vorlage_export.txt";
    ResultList list;
    list.AddNoteItem("/d/a.txt", ItemKind::File, 2);
    list.AddHitItem(12, 1, "ab x cd", 3, ItemKind::None, -1);
    list.AddHitItem(40, 1, "x y", 0, ItemKind::None, -1);
    const ItemHandle error = list.AddFileItem("/d/c.txt", ItemKind::Error);
    list.UpdateItem(error, ResultColumn::Remark, UpdateWhat::TextAndKind, "Kann Datei nicht öffnen", ItemKind::Error);
    RunValues run;
    run.searchPath = "/d";
    run.searchText = "x";
    run.filesSearched = 7;

    test::TempTree tree;
    const Expected<void> outcome =
        ExportTemplate(tree.path("bericht.html"), templatePath, run, list, ExportFilter{true, true, false, false});
    ASSERT_TRUE(outcome.has_value()) << outcome.error().detail;
    const std::string html = test::ReadFile(tree.path("bericht.html"));
    EXPECT_NE(html.find("<td>/d</td>"), std::string::npos);
    EXPECT_NE(html.find("<tr><th>Dateien durchsucht</th><td>7</td></tr>"), std::string::npos);
    EXPECT_NE(html.find("<h2>/d/a.txt <span>(Eintr&auml;ge: 2)</span></h2>"), std::string::npos);
    EXPECT_NE(html.find("<td class=\"pos\">40</td><td class=\"kontext\">x y</td>"), std::string::npos);
    EXPECT_NE(html.find("<td class=\"pos\">-</td><td class=\"kontext\">FEHLER</td><td>Kann Datei nicht öffnen</td>"),
              std::string::npos);
    EXPECT_FALSE(std::regex_search(html, std::regex("![A-Z_]+!"))) << html;
    EXPECT_NE(html.find("</html>"), std::string::npos);
}

}  // namespace
}  // namespace tarnwick::ui
