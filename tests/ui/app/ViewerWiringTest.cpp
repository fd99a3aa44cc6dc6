// The viewer inside the program window: the main menu's viewer commands,
// the caret pane, the close question and the reload after a replace run.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTextCursor>

#include "platform/Clock.h"
#include "tests/support/TempTree.h"
#include "tests/ui/support/QtApp.h"
#include "tests/ui/support/SearchFormFakes.h"
#include "ui/app/ProgramWindow.h"
#include "ui/frame/MainFrame.h"
#include "ui/searchform/SearchFormController.h"
#include "ui/searchform/SearchFormWidget.h"
#include "ui/viewer/ViewerEdit.h"
#include "ui/viewer/ViewerFindDialog.h"
#include "ui/viewer/ViewerPage.h"

namespace tarnwick::ui {
namespace {

using F = FrameCommand;

struct QuietViewerPrompts : ViewerPrompts {
    SaveAnswer answer = SaveAnswer::Cancel;
    int saveQuestions = 0;
    bool askOpenLargeFile() override { return true; }
    SaveAnswer askSaveChanges(const QString&) override
    {
        ++saveQuestions;
        return answer;
    }
    void showError(const QString&) override {}
};

class ViewerWiringTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureQtApp(); }

    void SetUp() override
    {
        ProgramSetup setup;
        setup.profilePath = tree.path("Tarnwick.conf");
        setup.prompts = &prompts;
        setup.clock = &clock;
        setup.viewerPrompts = &viewerPrompts;
        window = std::make_unique<ProgramWindow>(setup);
        page = dynamic_cast<ViewerPage*>(window->viewer());
        ASSERT_NE(page, nullptr);
    }

    test::TempTree tree;
    test::ScriptedPrompts prompts;
    FixedClock clock{1'710'408'600};
    QuietViewerPrompts viewerPrompts;
    std::unique_ptr<ProgramWindow> window;
    ViewerPage* page = nullptr;
};

TEST_F(ViewerWiringTest, BringingThePreviewPageToTheFrontFocusesTheLoadedViewer)
{
    MainFrame& frame = window->frame();
    frame.show();
    QApplication::setActiveWindow(&frame);
    ASSERT_TRUE(page->openFile(QString::fromStdString(tree.write("a.txt", "eins\nzwei"))));
    frame.showResultsTab();
    window->form().setFocus();
    QApplication::processEvents();
    frame.showPreviewTab();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), page->editor());
}

TEST_F(ViewerWiringTest, ThePageIsThePreviewTabAndItsCommandsFollowIt)
{
    MainFrame& frame = window->frame();
    EXPECT_EQ(frame.previewWidget(), page);
    EXPECT_FALSE(frame.action(F::FileSave)->isEnabled());
    EXPECT_TRUE(frame.action(F::FilePrintSetup)->isEnabled());
    EXPECT_TRUE(frame.action(F::WordWrap)->isChecked());

    ASSERT_TRUE(page->openFile(QString::fromStdString(tree.write("a.txt", "eins\nzwei"))));
    EXPECT_TRUE(frame.action(F::FileSave)->isEnabled());
    // Editing commands act on the page only while it is shown.
    EXPECT_FALSE(frame.action(F::SelectAll)->isEnabled());
    frame.showPreviewTab();
    EXPECT_TRUE(frame.action(F::SelectAll)->isEnabled());
    frame.action(F::SelectAll)->trigger();
    EXPECT_EQ(page->editor()->textCursor().selectedText().size(), 9);

    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Tarnwick 2.0 - ") + page->currentPath());
    frame.action(F::WordWrap)->trigger();
    EXPECT_FALSE(page->wordWrap());
    EXPECT_FALSE(frame.action(F::WordWrap)->isChecked());
}

TEST_F(ViewerWiringTest, CtrlNShowsANewEmptyDocumentInThePreview)
{
    MainFrame& frame = window->frame();
    ASSERT_TRUE(page->openFile(QString::fromStdString(tree.write("a.txt", "eins"))));
    frame.showResultsTab();
    EXPECT_EQ(frame.action(F::FileNew)->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    frame.action(F::FileNew)->trigger();
    EXPECT_EQ(frame.activeTab(), MainFrame::kPreviewTab);
    EXPECT_TRUE(page->text().isEmpty());
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Tarnwick 2.0"));
}

TEST_F(ViewerWiringTest, TheCaretGoesToStatusPaneOne)
{
    ASSERT_TRUE(page->openFile(QString::fromStdString(tree.write("a.txt", "eins\nzwei"))));
    window->frame().showPreviewTab();
    page->goTo(2, 3);
    EXPECT_EQ(window->frame().caretPaneText(), QStringLiteral("Zeile: 2, Spalte: 3"));
    page->goTo(1, 1);
    EXPECT_EQ(window->frame().caretPaneText(), QStringLiteral("Zeile: 1, Spalte: 1"));
}

TEST_F(ViewerWiringTest, ClosingAsksAboutUnsavedChanges)
{
    ASSERT_TRUE(page->openFile(QString::fromStdString(tree.write("a.txt", "eins"))));
    page->editor()->textCursor().insertText(QStringLiteral("x"));
    EXPECT_FALSE(window->frame().close());
    EXPECT_EQ(viewerPrompts.saveQuestions, 1);
    viewerPrompts.answer = SaveAnswer::Discard;
    EXPECT_TRUE(window->frame().close());
}

TEST_F(ViewerWiringTest, AReplaceRunMarksTheFileForReloadAndFindStartsFromTheForm)
{
    emit window->form().filesAboutToChange();
    EXPECT_TRUE(page->isReloadRequired());

    ASSERT_TRUE(page->openFile(QString::fromStdString(tree.write("a.txt", "eins"))));
    window->controller().setComboText(FormCombo::SearchText, "suchtext");
    window->controller().fields().wholeWords = 1;
    page->showFindDialog(false);
    ASSERT_NE(page->findDialog(), nullptr);
    EXPECT_EQ(page->findDialog()->findField()->text(), QStringLiteral("suchtext"));
    EXPECT_TRUE(page->findDialog()->options().wholeWord);
    page->findDialog()->close();
}

}  // namespace
}  // namespace tarnwick::ui
