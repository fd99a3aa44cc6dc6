// The search form's controls on the offscreen platform: their binding to the
// controller, the commit on leaving a combo box, the collapsible groups,
// the keys an edit field keeps, and the two small dialogs of the form.
#include "ui/searchform/SearchFormWidget.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimeEdit>

#include "engine/Messages.h"
#include "formjob/FormJob.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "results/ResultList.h"
#include "tests/support/TempTree.h"
#include "tests/ui/support/QtApp.h"
#include "tests/ui/support/SearchFormFakes.h"
#include "ui/searchform/HinweisDialog.h"
#include "ui/searchform/RenameDialog.h"
#include "ui/searchform/SavedSearchesDialog.h"
#include "ui/searchform/SearchFormTexts.h"

namespace tarnwick::ui {
namespace {

namespace C = FormControl;

const CodePage& Utf8()
{
    static const CodePage page("UTF-8");
    return page;
}

class SearchFormWidgetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureQtApp(); }

    void SetUp() override
    {
        FormWorkerParts parts;
        parts.results = results;
        parts.notifier = notifier;
        controller = std::make_unique<SearchFormController>(FormServices{prompts, clock, Utf8(), nullptr}, std::move(parts));
        window.setCentralWidget(form = new SearchFormWidget(*controller, Utf8()));
        controller->initialize();
        window.resize(1000, 450);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    template <typename Widget = QWidget>
    Widget* get(int id) const
    {
        return qobject_cast<Widget*>(form->control(id));
    }

    // Types into a combo box's edit field as a user does.
    void type(FormCombo which, const QString& text)
    {
        QLineEdit* edit = form->comboBox(which)->lineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    // Moves the keyboard focus away from a combo box's edit field.
    void leave(FormCombo which)
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(form->comboBox(which)->lineEdit(), &out);
    }

    // Starts a search as the tool bar does (the focus stays where it is),
    // waits for its end and hands it to the form; false when none came.
    bool searchToTheEnd()
    {
        if (!controller->runs().startSearchRun()) return false;
        const std::optional<UserMessage> message = notifier->waitForMessage();
        if (message) controller->runs().handleWorkerMessage(*message);
        return message.has_value();
    }

    // The top-level texts of the result list, in order.
    std::vector<std::string> resultTexts() const
    {
        std::vector<std::string> texts;
        for (ItemHandle item = results->FirstTopLevelItem(); item != kNoItem; item = results->NextSibling(item))
            texts.push_back(results->ColumnText(item, ResultColumn::FileOrContext));
        return texts;
    }

    test::ScriptedPrompts prompts;
    FixedClock clock{1'700'000'000};
    std::shared_ptr<ResultList> results = std::make_shared<ResultList>();
    std::shared_ptr<test::RecordingNotifier> notifier = std::make_shared<test::RecordingNotifier>();
    std::unique_ptr<SearchFormController> controller;
    QMainWindow window;
    SearchFormWidget* form = nullptr;
};

TEST_F(SearchFormWidgetTest, ControlsCarryTheirTextsAndPushLikeFlagsAreToggleButtons)
{
    EXPECT_EQ(get<QAbstractButton>(C::RegularExpression)->text(), QString::fromUtf8("Regulärer Ausdruck"));
    EXPECT_TRUE(get<QPushButton>(C::RegularExpression)->isCheckable());
    EXPECT_TRUE(get<QPushButton>(C::SpecialCharacters)->isCheckable());
    EXPECT_TRUE(get<QPushButton>(C::UseWord)->isCheckable());
    EXPECT_TRUE(get<QPushButton>(C::AlsoDirectories)->isCheckable());
    EXPECT_NE(get<QCheckBox>(C::MatchCase), nullptr);
    EXPECT_EQ(get<QAbstractButton>(C::SearchFileNames)->text(), QStringLiteral("Dateinamen durchsuchen / umbenennen"));
    EXPECT_EQ(get<QGroupBox>(C::NameStringGroup)->title(), QStringLiteral("Dateinamenstrings (Zeichenfolgen im Dateinamen)"));
    EXPECT_EQ(get<QAbstractButton>(C::Browse)->text(), QStringLiteral("Durchsuchen..."));
    EXPECT_EQ(get<QAbstractButton>(C::Expand)->text(), QStringLiteral("Erweitert  >>"));
    for (FormCombo which :
         {FormCombo::SearchText, FormCombo::ReplaceText, FormCombo::Directory, FormCombo::FileTypes, FormCombo::NameStrings}) {
        EXPECT_TRUE(form->comboBox(which)->isEditable());
        EXPECT_EQ(form->comboBox(which)->insertPolicy(), QComboBox::NoInsert);
    }
}

// A stored mode other than 0 or 1 (a hand-edited settings file) shows the
// radio button of what a run does with it, and the rules that depend on the
// mode follow the same reading.
TEST_F(SearchFormWidgetTest, RadioButtonsShowStoredModesAsARunReadsThem)
{
    controller->fields().nameStringMode = 2;
    controller->fields().wordAutoMode = 2;
    controller->setUseWord(true);
    form->refresh();
    const SearchJob job = session::JobFromFormState(controller->state(), 0, 0);
    EXPECT_EQ(job.nameStringMode, NameStringMode::AllMustOccur);
    EXPECT_TRUE(get<QAbstractButton>(C::AllMustOccur)->isChecked());
    EXPECT_FALSE(get<QAbstractButton>(C::IgnoreIfAny)->isChecked());
    EXPECT_EQ(job.wordAutoMode, WordAutoMode::ByExtension);
    EXPECT_TRUE(get<QAbstractButton>(C::WordAuto)->isChecked());
    EXPECT_FALSE(get<QAbstractButton>(C::WordAllTypes)->isChecked());
    // By extension, a regular expression may be used.
    EXPECT_TRUE(controller->enabling().regularExpression);
}

TEST_F(SearchFormWidgetTest, EditsGoStraightIntoTheFields)
{
    // Letters beyond ASCII arrive as committed input, as from a compose key.
    QLineEdit* search = form->comboBox(FormCombo::SearchText)->lineEdit();
    search->setFocus();
    QInputMethodEvent input;
    input.setCommitString(QString::fromUtf8("Grüße"));
    QCoreApplication::sendEvent(search, &input);
    EXPECT_EQ(controller->combo(FormCombo::SearchText).text, "Grüße");
    get<QAbstractButton>(C::Subfolders)->click();
    EXPECT_EQ(controller->state().includeSubfolders, 1);
    get<QAbstractButton>(C::IgnoreIfAny)->click();
    EXPECT_EQ(session::NameStringModeOf(controller->state().nameStringMode), NameStringMode::IgnoreIfAnyOccurs);

    get<QAbstractButton>(C::SizeFilter)->click();  // the fields take input only while enabled
    get<QLineEdit>(C::MaxSize)->setFocus();
    get<QLineEdit>(C::MaxSize)->selectAll();
    QTest::keyClicks(get<QLineEdit>(C::MaxSize), "x2048");  // the letter is refused
    EXPECT_EQ(get<QLineEdit>(C::MaxSize)->text(), QStringLiteral("2048"));
    EXPECT_EQ(controller->state().maxSizeKb, 2048u);
    get<QLineEdit>(C::MaxSize)->selectAll();
    QTest::keyClick(get<QLineEdit>(C::MaxSize), Qt::Key_Backspace);
    EXPECT_EQ(controller->state().maxSizeKb, kNoUpperSizeLimit);

    get<QTimeEdit>(C::ToTime)->setTime(QTime(23, 59, 58));
    EXPECT_EQ(QDateTime::fromSecsSinceEpoch(controller->dateTo()).time(), QTime(23, 59, 58));
}

TEST_F(SearchFormWidgetTest, TheDateControlsStartOnTheDayBeforeNow)
{
    const QDateTime now = QDateTime::fromSecsSinceEpoch(clock.now());
    EXPECT_EQ(get<QDateEdit>(C::FromDate)->date(), now.addSecs(-86'400).date());
    EXPECT_EQ(get<QDateEdit>(C::ToDate)->date(), now.date());
    EXPECT_EQ(get<QTimeEdit>(C::FromTime)->time().toString(), now.time().toString());
}

TEST_F(SearchFormWidgetTest, LeavingTheFileTypeBoxShowsTheNormalisedTextAddedOnce)
{
    type(FormCombo::FileTypes, QStringLiteral("txt, doc"));
    leave(FormCombo::FileTypes);
    QComboBox* box = form->comboBox(FormCombo::FileTypes);
    EXPECT_EQ(box->currentText(), QStringLiteral(".txt; .doc;"));
    leave(FormCombo::FileTypes);
    EXPECT_EQ(box->count(), 1);
    EXPECT_EQ(box->itemText(0), QStringLiteral(".txt; .doc;"));
}

// The tool bar's "Suche starten" leaves the focus in the box: the run must
// read the list as leaving the box would have shown it.
TEST_F(SearchFormWidgetTest, ATypedFileTypeListIsSearchedAsNormalisedWithoutLeavingTheBox)
{
    test::TempTree tree;
    tree.write("a.txt", "needle\n");
    tree.write("b.md", "needle\n");
    tree.write("c.rst", "needle\n");
    const std::pair<QString, std::vector<std::string>> variants[] = {
        {QStringLiteral("*.md"), {tree.path("b.md")}},
        {QStringLiteral("*.txt,*.md"), {tree.path("a.txt"), tree.path("b.md")}},
        {QStringLiteral(" *.txt ; md"), {tree.path("a.txt"), tree.path("b.md")}},
    };
    type(FormCombo::SearchText, QStringLiteral("needle"));
    type(FormCombo::Directory, QString::fromStdString(tree.root()));
    for (const auto& [typed, found] : variants) {
        SCOPED_TRACE(typed.toStdString());
        type(FormCombo::FileTypes, typed);
        ASSERT_TRUE(controller->combo(FormCombo::FileTypes).entries.empty());  // the box was never left
        ASSERT_TRUE(searchToTheEnd());
        const std::vector<std::string> texts = resultTexts();
        // The header, a file item per file found, the summary.
        ASSERT_EQ(texts.size(), found.size() + 2);
        EXPECT_EQ(std::vector<std::string>(texts.begin() + 1, texts.end() - 1), found);
    }
}

// What the user saw: a missing folder ended as an empty completion, and a
// bad expression as its error with "Keine Datei entsprach den Filtern.".
TEST_F(SearchFormWidgetTest, AMissingFolderOrABadExpressionIsRefusedInAMessageAndInTheList)
{
    test::TempTree tree;
    const std::string missing = tree.path("weg");
    type(FormCombo::SearchText, QStringLiteral("Apf(el"));
    type(FormCombo::Directory, QString::fromStdString(missing));
    get<QAbstractButton>(C::AllFileTypes)->click();
    EXPECT_FALSE(searchToTheEnd());
    EXPECT_EQ(prompts.shown, std::vector<std::string>{missing + ": Das Verzeichnis existiert nicht"});
    EXPECT_EQ(resultTexts(), (std::vector<std::string>{"Suche nach : Apf(el", missing, text::kRunNotStarted}));

    get<QAbstractButton>(C::RegularExpression)->click();
    type(FormCombo::Directory, QString::fromStdString(tree.root()));
    EXPECT_FALSE(searchToTheEnd());
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[1].rfind(text::kInvalidRegex, 0), 0u) << prompts.shown[1];
    EXPECT_EQ(resultTexts(), (std::vector<std::string>{"Suche nach : Apf(el", prompts.shown[1], text::kRunNotStarted}));
}

TEST_F(SearchFormWidgetTest, RulesEnableAndDisableTheirControls)
{
    EXPECT_FALSE(get(C::MinSize)->isEnabled());
    get<QAbstractButton>(C::SizeFilter)->click();
    EXPECT_TRUE(get(C::MinSize)->isEnabled());
    get<QAbstractButton>(C::AllFileTypes)->click();
    EXPECT_FALSE(form->comboBox(FormCombo::FileTypes)->isEnabled());
    EXPECT_FALSE(get(C::RemoveFileType)->isEnabled());
    get<QAbstractButton>(C::RegularExpression)->click();
    EXPECT_FALSE(get(C::WholeWords)->isEnabled());

    // "Abbrechen" in the warning: Word stays on, its button stays pressed.
    prompts.hinweisAnswers = {{false, false}};
    get<QAbstractButton>(C::UseWord)->click();
    EXPECT_TRUE(get<QAbstractButton>(C::UseWord)->isChecked());
    EXPECT_EQ(prompts.shown, std::vector<std::string>{formtext::kWarnWordOff});
    get<QAbstractButton>(C::UseWord)->click();
    EXPECT_FALSE(get<QAbstractButton>(C::UseWord)->isChecked());
    EXPECT_FALSE(get(C::WordAuto)->isEnabled());
}

TEST_F(SearchFormWidgetTest, CollapsingHidesTheFilterGroupsButKeepsTheirSettings)
{
    EXPECT_FALSE(get(C::SizeGroup)->isVisible());
    QSignalSpy expanded(form, &SearchFormWidget::expandedChanged);
    get<QAbstractButton>(C::Expand)->click();
    EXPECT_TRUE(get(C::SizeGroup)->isVisible());
    EXPECT_TRUE(get(C::DateGroup)->isVisible());
    EXPECT_TRUE(get(C::NameStringGroup)->isVisible());
    EXPECT_TRUE(get(C::FileTypes)->isVisible());
    EXPECT_EQ(get<QAbstractButton>(C::Expand)->text(), QStringLiteral("Erweitert  <<"));
    get<QAbstractButton>(C::SizeFilter)->click();
    get<QAbstractButton>(C::Expand)->click();
    EXPECT_FALSE(get(C::SizeGroup)->isVisible());
    EXPECT_EQ(controller->state().sizeFilter, 1);
    ASSERT_EQ(expanded.count(), 2);
    EXPECT_FALSE(expanded.at(1).at(0).toBool());
}

TEST_F(SearchFormWidgetTest, TheCollapsedFormNamesItsActiveFiltersAndAClickOnThemExpandsIt)
{
    auto* line = get<QLabel>(C::HiddenFilters);
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->isVisible());
    EXPECT_EQ(line->text(), QStringLiteral("Aktive Filter: Dateitypen: keine"));  // no store: no history
    get<QAbstractButton>(C::Hidden)->click();
    EXPECT_TRUE(line->text().endsWith(QStringLiteral("| ohne versteckte")));
    get<QAbstractButton>(C::AllFileTypes)->click();
    get<QAbstractButton>(C::Hidden)->click();
    EXPECT_FALSE(line->isVisible());  // nothing filters
    get<QAbstractButton>(C::AllFileTypes)->click();

    QTest::mouseClick(line, Qt::LeftButton);
    EXPECT_TRUE(controller->isExpanded());
    EXPECT_FALSE(line->isVisible());
}

// The box lives in the expanded form; while collapsed the line of active
// filters says it is on.
TEST_F(SearchFormWidgetTest, TheInsideBoxIsBoundToTheFormAndNamedWhileCollapsed)
{
    auto* inside = get<QCheckBox>(C::SearchInside);
    ASSERT_NE(inside, nullptr);
    EXPECT_EQ(inside->text(), QStringLiteral("In Archiven, komprimierten Dateien und PDF suchen"));
    EXPECT_FALSE(inside->isVisible());
    inside->click();
    EXPECT_EQ(controller->state().searchInside, 1);
    EXPECT_TRUE(session::JobFromFormState(controller->state(), 0, 0).searchInside);
    EXPECT_TRUE(get<QLabel>(C::HiddenFilters)->text().endsWith(QStringLiteral("| In Archiven und PDF")));

    controller->fields().searchInside = 0;  // a saved search loaded
    form->refresh();
    EXPECT_FALSE(inside->isChecked());
    get<QAbstractButton>(C::Expand)->click();
    EXPECT_TRUE(inside->isVisible());
}

TEST_F(SearchFormWidgetTest, AnEditFieldKeepsItsEditingKeysFromTheWindowsShortcuts)
{
    auto* undo = new QAction(&window);
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    auto* escape = new QAction(&window);
    escape->setShortcut(QKeySequence(Qt::Key_Escape));
    window.addActions({undo, escape});
    QSignalSpy undone(undo, &QAction::triggered);
    QSignalSpy escaped(escape, &QAction::triggered);

    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    type(FormCombo::SearchText, QStringLiteral("abc"));
    QLineEdit* edit = form->comboBox(FormCombo::SearchText)->lineEdit();
    ASSERT_TRUE(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(undone.count(), 0);
    EXPECT_EQ(escaped.count(), 0);
    EXPECT_NE(edit->text(), QStringLiteral("abc"));  // the field undid its typing

    // Outside an edit field the shortcut works.
    get(C::Subfolders)->setFocus();
    QTest::keyClick(get(C::Subfolders), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(undone.count(), 1);
}

TEST(FormDialogs, TheWarningReportsItsBoxAlsoWhenCancelled)
{
    test::EnsureQtApp();
    HinweisDialog dialog(QStringLiteral("ACHTUNG"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Tarnwick 2.0"));
    EXPECT_EQ(dialog.dontShowAgainBox()->text(), QString::fromUtf8("Diese Meldung künftig nicht mehr anzeigen"));
    dialog.dontShowAgainBox()->setChecked(true);
    dialog.reject();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(dialog.dontShowAgain());
}

TEST(FormDialogs, TheConversionDialogOpensOnAll)
{
    test::EnsureQtApp();
    RenameDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Dateiname wandeln"));
    EXPECT_EQ(dialog.choice(), RenameChoice::AllNames);
    dialog.onlyUpperButton()->setChecked(true);
    EXPECT_EQ(dialog.choice(), RenameChoice::OnlyUpperCase);
    EXPECT_EQ(dialog.onlyUpperButton()->text(), QStringLiteral("nur Namen mit ausschliesslich Grossbuchstaben"));
    EXPECT_NE(dialog.findChild<QPushButton*>(QStringLiteral("renameButton")), nullptr);
}

}  // namespace
}  // namespace tarnwick::ui

namespace tarnwick::ui {
namespace {

TEST_F(SearchFormWidgetTest, TheSavedSearchesDialogRenamesDeletesAndLoads)
{
    controller->setComboText(FormCombo::SearchText, "eins");
    ASSERT_TRUE(controller->saveSearch("erste"));
    controller->setComboText(FormCombo::SearchText, "zwei");
    ASSERT_TRUE(controller->saveSearch("zweite"));

    SavedSearchesDialog dialog(*controller, Utf8());
    ASSERT_EQ(dialog.list()->count(), 2);
    dialog.setNameAsker([](const QString&) { return QStringLiteral("Zweite neu"); });
    dialog.list()->setCurrentRow(1);
    dialog.renameButton()->click();
    EXPECT_EQ(dialog.list()->item(1)->text(), QStringLiteral("Zweite neu"));
    dialog.deleteButton()->click();
    ASSERT_EQ(dialog.list()->count(), 1);
    EXPECT_EQ(dialog.list()->currentRow(), 0);
    dialog.loadButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(form->comboBox(FormCombo::SearchText)->currentText(), QStringLiteral("eins"));
}

}  // namespace
}  // namespace tarnwick::ui
