// The desktop program put together, on the offscreen platform: runs started
// from the main window, the results they leave, and settings that survive
// closing the window.
#include "ui/app/ProgramWindow.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "engine/Messages.h"
#include "platform/Clock.h"
#include "tests/support/TempTree.h"
#include "tests/ui/support/QtApp.h"
#include "tests/ui/support/SearchFormFakes.h"
#include "ui/common/DialogAdjuster.h"
#include "ui/expressiontester/ExpressionTesterDialog.h"
#include "ui/frame/MainFrame.h"
#include "ui/options/OptionsDialog.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsPane.h"
#include "ui/searchform/SearchFormController.h"
#include "ui/searchform/SearchFormWidget.h"

namespace tarnwick::ui {
namespace {

namespace C = FormControl;

class ProgramWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureQtApp(); }

    std::unique_ptr<ProgramWindow> open(std::shared_ptr<CommandRunner> runner = nullptr)
    {
        ProgramSetup setup;
        setup.profilePath = tree.path("config/Korvane/Tarnwick.conf");
        setup.prompts = &prompts;
        setup.clock = &clock;
        setup.runner = std::move(runner);
        auto window = std::make_unique<ProgramWindow>(setup);
        window->frame().resize(1000, 700);
        window->frame().show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window->frame()));
        return window;
    }

    static void type(ProgramWindow& window, FormCombo which, const QString& text)
    {
        QLineEdit* edit = window.form().comboBox(which)->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    static void click(ProgramWindow& window, int id) { static_cast<QAbstractButton*>(window.form().control(id))->click(); }

    static void trigger(ProgramWindow& window, FrameCommand id) { window.frame().action(id)->trigger(); }

    // Lets queued calls run until the form is idle again.
    static bool waitUntilIdle(ProgramWindow& window)
    {
        return QTest::qWaitFor([&] { return !window.frame().isBusy(); }, 10'000);
    }

    // The texts of the top-level rows the results view shows.
    static QStringList shownRows(ProgramWindow& window)
    {
        window.results().catchUp();
        ResultsModel* model = window.results().model();
        QStringList rows;
        for (int row = 0; row < model->rowCount(); ++row) rows << model->index(row, 0).data().toString();
        return rows;
    }

    // Types the search for "needle" in the test's data folder, every file type.
    void fillSearch(ProgramWindow& window)
    {
        type(window, FormCombo::SearchText, QStringLiteral("needle"));
        type(window, FormCombo::Directory, QString::fromStdString(tree.path("data")));
        click(window, C::AllFileTypes);
    }

    test::TempTree tree;
    test::ScriptedPrompts prompts;
    FixedClock clock{1'700'000'000};
};

TEST_F(ProgramWindowTest, ASearchStartedFromTheMenuFillsTheResultsAndEndsWithTheSummary)
{
    tree.write("data/a.txt", "a needle and a needle\n");
    tree.write("data/b.txt", "no\n");
    auto window = open();
    fillSearch(*window);
    trigger(*window, FrameCommand::StartSearch);
    EXPECT_TRUE(window->frame().isBusy());
    EXPECT_FALSE(window->frame().action(FrameCommand::StartSearch)->isEnabled());
    EXPECT_TRUE(window->frame().action(FrameCommand::Stop)->isEnabled());
    ASSERT_TRUE(waitUntilIdle(*window));

    const QStringList rows = shownRows(*window);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows.front(), QStringLiteral("Suche nach : needle"));
    EXPECT_EQ(rows.at(1), QString::fromStdString(tree.path("data/a.txt")));
    EXPECT_EQ(rows.back(), QString::fromUtf8("Suche abgeschlossen. 2 Einträge in 1 Dateien  wurden gefunden."));
    EXPECT_EQ(window->frame().statusText(), QString());
    EXPECT_TRUE(window->frame().action(FrameCommand::StartSearch)->isEnabled());
    // The marked-results commands follow the finished search.
    EXPECT_TRUE(window->frame().action(FrameCommand::MarkAll)->isEnabled());
}

// The list shows the whole run, summary included, as the run ends, not at
// the pane's next step (which a long run makes up to a second long).
TEST_F(ProgramWindowTest, TheListIsCompleteWhenTheRunEnds)
{
    for (int i = 0; i < 30; ++i) tree.write("data/f" + std::to_string(i) + ".txt", "needle\n");
    auto window = open();
    fillSearch(*window);
    int rowsAtTheEnd = -1;
    QObject::connect(&window->form(), &SearchFormWidget::busyChanged, window.get(), [&](bool busy) {
        if (!busy && window->results().model()->isCaughtUp()) rowsAtTheEnd = window->results().model()->rowCount();
    });
    trigger(*window, FrameCommand::StartSearch);
    ASSERT_TRUE(waitUntilIdle(*window));
    EXPECT_EQ(rowsAtTheEnd, 32);
}

TEST_F(ProgramWindowTest, CopyAsCommandLinePutsTheFormsRunOnTheClipboardAlsoFromTheFormsMenu)
{
    auto window = open();
    fillSearch(*window);
    type(*window, FormCombo::ReplaceText, QStringLiteral("pin"));
    const QString folder = QString::fromStdString(tree.path("data"));
    trigger(*window, FrameCommand::CopySearchLine);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("tarnwick-cli search -- needle ") + folder);
    // The form's own context menu offers the same commands.
    const QList<QAction*> menu = window->form().findChild<QWidget*>(QStringLiteral("searchFormContent"))->actions();
    ASSERT_TRUE(menu.contains(window->frame().action(FrameCommand::SaveSearch)));
    ASSERT_EQ(menu.back(), window->frame().action(FrameCommand::CopyReplaceLine));
    menu.back()->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("tarnwick-cli replace -- needle pin ") + folder);
}

TEST_F(ProgramWindowTest, StopFreesTheCommandsAtOnceAndTheRunStillEndsWithItsSummary)
{
    auto commands = std::make_shared<test::FakeCommands>();
    commands->body = test::RunUntilStopped(4);
    tree.mkdir("data");  // a missing folder is refused before the worker hears of it
    auto window = open(commands);
    fillSearch(*window);
    trigger(*window, FrameCommand::StartSearch);
    ASSERT_TRUE(commands->waitForStarts(1));
    trigger(*window, FrameCommand::Stop);
    EXPECT_FALSE(window->frame().isBusy());
    EXPECT_TRUE(window->frame().action(FrameCommand::StartSearch)->isEnabled());
    const QStringList ending{QString::fromUtf8("Suche abgeschlossen. 4 Einträge in 1 Dateien  wurden gefunden."),
                             QString::fromUtf8("Der Lauf wurde gestoppt; die Ergebnisse sind unvollständig.")};
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownRows(*window).mid(1) == ending; }, 10'000));
}

TEST_F(ProgramWindowTest, ReplaceInMarkedResultsChangesOnlyTheMarkedHit)
{
    tree.write("data/a.txt", "needle needle needle\n");
    auto window = open();
    fillSearch(*window);
    trigger(*window, FrameCommand::StartSearch);
    ASSERT_TRUE(waitUntilIdle(*window));

    ResultList& list = window->resultList();
    const ItemHandle file = list.TopLevelItem(1);
    ASSERT_EQ(list.ChildCount(file), 3u);
    list.SetChecked(list.Child(file, 1), true);
    type(*window, FormCombo::ReplaceText, QStringLiteral("pin"));
    window->results().updateCommandStates();
    trigger(*window, FrameCommand::ReplaceMarked);
    EXPECT_FALSE(window->results().isEnabled());  // until the worker reports the end
    ASSERT_TRUE(waitUntilIdle(*window));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->results().isEnabled(); }, 10'000));
    EXPECT_EQ(tree.read("data/a.txt"), "needle pin needle\n");
}

TEST_F(ProgramWindowTest, TheRunCommandsShowTheFirstFailingCheck)
{
    auto window = open();
    trigger(*window, FrameCommand::StartSearch);
    type(*window, FormCombo::SearchText, QStringLiteral("x"));
    trigger(*window, FrameCommand::StartReplace);
    EXPECT_EQ(prompts.shown,
              (std::vector<std::string>{text::kNoSearchText, text::kEmptyReplacementQuestion, text::kNoDirectory}));
    EXPECT_FALSE(window->frame().isBusy());
}

TEST_F(ProgramWindowTest, TheOptionsCommandEditsTheStoredAndTheRunningValues)
{
    auto window = open();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<OptionsDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        seen = true;
        // The context length is the only field that shows 20 on a first start.
        for (QLineEdit* edit : dialog->findChildren<QLineEdit*>())
            if (edit->text() == QStringLiteral("20")) edit->setText(QStringLiteral("33"));
        dialog->accept();
    });
    trigger(*window, FrameCommand::Options);
    ASSERT_TRUE(seen);
    EXPECT_EQ(window->controller().state().options.contextLength, 33u);
    EXPECT_EQ(window->store().GetProfileInt("Optionen", "Kontextl", 20), 33u);
}

TEST_F(ProgramWindowTest, TheExpressionTesterStartsOnTheLineOfTheSelectedHit)
{
    auto window = open();
    const std::string path = tree.write("notes.txt", "first line\nsize=12, name=x\r\nlast\n");
    ResultList& list = window->resultList();
    list.AddNoteItem(path, ItemKind::File, 1);
    const ItemHandle hit = list.AddHitItem(20, 4, "...12, name=x", 6, ItemKind::None, 4);
    list.SetSelectedItems({hit});
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<ExpressionTesterDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        seen = true;
        EXPECT_EQ(dialog->sampleView()->toPlainText(), QStringLiteral("size=12, name=x"));
        EXPECT_EQ(dialog->sampleView()->textCursor().position(), 9);
        dialog->reject();
    });
    trigger(*window, FrameCommand::ExpressionTester);
    EXPECT_TRUE(seen);
}

TEST_F(ProgramWindowTest, AFirstStartComesUpCollapsedInALowRow)
{
    auto window = open();
    EXPECT_FALSE(window->controller().isExpanded());
    EXPECT_EQ(window->form().comboBox(FormCombo::FileTypes)->currentText(), QStringLiteral("*.txt;"));
    const auto rowIs = [&](int height) {
        return QTest::qWaitFor([&] { return window->frame().navSplitter()->sizes().at(0) == height; }, 2'000);
    };
    // The row grows only as far as the line of active filters under the main
    // fields needs ("*.txt;" is one).
    const int collapsed = std::max(SearchPaneState::kCollapsedHeight, window->form().minimumHeight());
    EXPECT_TRUE(rowIs(collapsed));
    EXPECT_LE(collapsed, SearchPaneState::kCollapsedHeight + 40);
    trigger(*window, FrameCommand::ExtendedSearchOptions);
    EXPECT_TRUE(window->controller().isExpanded());
    EXPECT_TRUE(rowIs(SearchPaneState::kExpandedHeight));
}

// A user's trial: the collapsed form kept a scroll bar with the edge of the
// frame "Datei" showing under the main fields. The form's row is as high as
// the form needs, in the smallest window it is made for and in a large one.
TEST_F(ProgramWindowTest, TheFormFitsItsRowWithoutAScrollBarCollapsedAndExpanded)
{
    for (const QSize size : {QSize(1024, 768), QSize(1920, 1080)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        auto window = open();
        window->frame().resize(size);
        SearchFormWidget& form = window->form();
        const auto settled = [&] {
            // The row follows the form's hint once the splitter has its new size.
            const bool rowSet =
                QTest::qWaitFor([&] { return window->frame().navSplitter()->sizes().at(0) >= form.sizeHint().height(); }, 2'000);
            QCoreApplication::processEvents();
            return rowSet;
        };
        const auto scrolls = [&] {
            return form.scrollArea()->verticalScrollBar()->maximum() > 0 ||
                form.scrollArea()->horizontalScrollBar()->maximum() > 0;
        };
        ASSERT_FALSE(window->controller().isExpanded());
        ASSERT_TRUE(settled());
        EXPECT_FALSE(scrolls());
        EXPECT_FALSE(form.control(C::FileFrame)->isVisible());
        // Nor does the wheel move it away.
        QWidget* viewport = form.scrollArea()->viewport();
        QWheelEvent wheel(QPointF(20, 20), viewport->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, -360), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
        EXPECT_EQ(form.scrollArea()->verticalScrollBar()->value(), 0);

        trigger(*window, FrameCommand::ExtendedSearchOptions);
        ASSERT_TRUE(settled());
        EXPECT_FALSE(scrolls());
        EXPECT_TRUE(form.control(C::FileFrame)->isVisible());
        // The results keep a useful height below the expanded form.
        EXPECT_GE(window->frame().tabWindow()->height(), 150);

        trigger(*window, FrameCommand::ExtendedSearchOptions);
        ASSERT_TRUE(settled());
        EXPECT_FALSE(scrolls());
    }
}

// A user's trial: the title "Suche speichern" did not fit its dialog. Each
// dialog the main window's commands open, as the program sets them up.
TEST_F(ProgramWindowTest, TheDialogsOfTheCommandsAreAsWideAsTheirTitles)
{
    DialogAdjuster adjuster;
    qApp->installEventFilter(&adjuster);
    auto window = open();
    for (const FrameCommand command : {FrameCommand::SaveSearch, FrameCommand::SavedSearches, FrameCommand::Options}) {
        QString title;
        int width = 0;
        int least = 0;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            title = dialog->windowTitle();
            width = dialog->width();
            QFont bold = dialog->font();
            bold.setBold(true);
            // The title in bold, and the window's icon and close button beside it.
            least = QFontMetrics(bold).horizontalAdvance(title) + 100;
            dialog->reject();
        });
        trigger(*window, command);
        ASSERT_FALSE(title.isEmpty()) << static_cast<int>(command);
        EXPECT_GE(width, least) << title.toStdString();
    }
    qApp->removeEventFilter(&adjuster);
}

TEST_F(ProgramWindowTest, ClosingSavesTheFormAndTheNextStartShowsItAgain)
{
    {
        auto window = open();
        type(*window, FormCombo::SearchText, QStringLiteral("Rechnung"));
        type(*window, FormCombo::FileTypes, QStringLiteral("csv"));
        click(*window, C::Subfolders);
        click(*window, C::Expand);
        EXPECT_TRUE(window->frame().close());
    }
    auto window = open();
    EXPECT_EQ(window->form().comboBox(FormCombo::SearchText)->currentText(), QStringLiteral("Rechnung"));
    QComboBox* types = window->form().comboBox(FormCombo::FileTypes);
    EXPECT_EQ(types->itemText(types->count() - 1), QStringLiteral(".csv;"));
    EXPECT_TRUE(static_cast<QAbstractButton*>(window->form().control(C::Subfolders))->isChecked());
    EXPECT_TRUE(window->controller().isExpanded());
}

}  // namespace
}  // namespace tarnwick::ui
