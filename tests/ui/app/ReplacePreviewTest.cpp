// "Vorschau der Ersetzungen" in the program window, on the offscreen
// platform: the preview writes nothing, and its dialog starts the real run
// or leaves everything as it was.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "platform/Clock.h"
#include "results/ResultList.h"
#include "tests/support/TempTree.h"
#include "tests/ui/support/QtApp.h"
#include "tests/ui/support/SearchFormFakes.h"
#include "ui/app/ProgramWindow.h"
#include "ui/frame/MainFrame.h"
#include "ui/replacepreview/ReplacePreviewDialog.h"
#include "ui/searchform/SearchFormWidget.h"

namespace tarnwick::ui {
namespace {

class ReplacePreviewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureQtApp(); }

    void SetUp() override
    {
        tree.write("data/a.txt", "one needle\nplain\ntwo needle needle\n");
        tree.write("data/b.txt", "no match here\n");
        tree.write("data/c.bin", std::string("needle\0x", 8));
        ProgramSetup setup;
        setup.profilePath = tree.path("config/Korvane/Tarnwick.conf");
        setup.prompts = &prompts;
        setup.clock = &clock;
        window = std::make_unique<ProgramWindow>(setup);
        window->frame().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window->frame()));
        type(FormCombo::SearchText, QStringLiteral("needle"));
        type(FormCombo::ReplaceText, QStringLiteral("pin"));
        type(FormCombo::Directory, QString::fromStdString(tree.path("data")));
        static_cast<QAbstractButton*>(window->form().control(FormControl::AllFileTypes))->click();
    }

    void type(FormCombo which, const QString& text)
    {
        QLineEdit* edit = window->form().comboBox(which)->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    // Starts the preview; once its dialog is up, notes what it shows and
    // what the disk holds, then presses "Ersetzen" or "Abbrechen".
    void previewAndAnswer(bool replace)
    {
        QTimer timer;
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<ReplacePreviewDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            timer.stop();
            const QAbstractItemModel* files = dialog->fileList()->model();
            for (int row = 0; row < files->rowCount(); ++row) rows << files->index(row, 0).data().toString();
            dialog->fileList()->setCurrentIndex(files->index(0, 0));
            changes = dialog->changesView()->toPlainText();
            diskWhileShown = tree.read("data/a.txt");
            (replace ? dialog->replaceButton() : dialog->cancelButton())->click();
        });
        timer.start();
        window->frame().action(FrameCommand::PreviewReplace)->trigger();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !timer.isActive(); }, 10'000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window->frame().isBusy(); }, 10'000));
    }

    test::TempTree tree;
    test::ScriptedPrompts prompts;
    FixedClock clock{1'700'000'000};
    std::unique_ptr<ProgramWindow> window;
    QStringList rows;
    QString changes;
    std::string diskWhileShown;
};

TEST_F(ReplacePreviewTest, ShowsEachFilesChangesAndReplaceStartsTheRealRun)
{
    window->frame().action(FrameCommand::StartSearch)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->frame().isBusy(); }, 10'000));
    previewAndAnswer(true);
    EXPECT_EQ(rows,
              (QStringList{QString::fromStdString(tree.path("data/a.txt")) + QStringLiteral("  (3 Ersetzungen)"),
                           QString::fromStdString(tree.path("data/c.bin")) + QStringLiteral("  (1 Ersetzung)")}));
    EXPECT_EQ(changes,
              QString::fromStdString(tree.path("data/a.txt")) + QStringLiteral("  (3 Ersetzungen)\nSicherungskopie: ") +
                  QString::fromStdString(tree.path("data/a.txt.bak")) +
                  QStringLiteral("\n- 1: one needle\n+ 1: one pin\n⋯\n- 3: two needle needle\n+ 3: two pin pin"));
    EXPECT_EQ(diskWhileShown, "one needle\nplain\ntwo needle needle\n");
    // "Ersetzen" ran the ordinary replace: the files changed and the result
    // list, which the preview left to the search, shows the replace.
    EXPECT_EQ(tree.read("data/a.txt"), "one pin\nplain\ntwo pin pin\n");
    EXPECT_EQ(tree.read("data/c.bin"), std::string("pin\0x", 5));
    const ResultList& list = window->resultList();
    EXPECT_EQ(list.ColumnText(list.TopLevelItem(list.TopLevelCount() - 1), ResultColumn::FileOrContext),
              "Ersetzen abgeschlossen.  4 Einträge in 2 Dateien wurden ersetzt.");
}

TEST_F(ReplacePreviewTest, CancelLeavesTheFilesAndTheResultsAlone)
{
    window->frame().action(FrameCommand::StartSearch)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->frame().isBusy(); }, 10'000));
    const std::size_t searchRows = window->resultList().TopLevelCount();

    previewAndAnswer(false);
    EXPECT_EQ(rows.size(), 2);
    EXPECT_EQ(tree.read("data/a.txt"), "one needle\nplain\ntwo needle needle\n");
    EXPECT_EQ(tree.read("data/c.bin"), std::string("needle\0x", 8));
    EXPECT_EQ(window->resultList().TopLevelCount(), searchRows);
    EXPECT_TRUE(window->frame().action(FrameCommand::PreviewReplace)->isEnabled());
}

}  // namespace
}  // namespace tarnwick::ui
