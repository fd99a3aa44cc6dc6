// "Ausdruck testen" on the offscreen platform: typing shows the engine's
// result at once, "Übernehmen" fills the search form and "Schliessen"
// leaves it alone; and the small decisions beside the dialog.
#include "ui/expressiontester/ExpressionTesterDialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "results/ResultList.h"
#include "tests/ui/support/QtApp.h"
#include "tests/ui/support/SearchFormFakes.h"
#include "ui/expressiontester/TextOffsets.h"
#include "ui/searchform/SearchFormController.h"
#include "ui/searchform/SearchFormWidget.h"

namespace tarnwick::ui {
namespace {

namespace C = FormControl;

const CodePage& Utf8()
{
    static const CodePage page("UTF-8");
    return page;
}

enum Option : std::size_t { MatchCase, WholeWords, RegularExpression, Captures, PreserveCase, SpecialCharacters };

class ExpressionTesterDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureQtApp(); }

    void SetUp() override
    {
        FormWorkerParts parts;
        parts.results = std::make_shared<ResultList>();
        parts.notifier = std::make_shared<test::RecordingNotifier>();
        controller = std::make_unique<SearchFormController>(FormServices{prompts, clock, Utf8(), nullptr}, std::move(parts));
        window.setCentralWidget(form = new SearchFormWidget(*controller, Utf8()));
        controller->initialize();
        controller->setComboText(FormCombo::SearchText, "alt");
        controller->changeFields([](settings::FormState& fields) { fields.wholeWords = 1; });
    }

    static void type(QWidget* field, const QString& text)
    {
        field->setFocus();
        QTest::keyClicks(field, text);
    }

    test::ScriptedPrompts prompts;
    FixedClock clock{1'700'000'000};
    std::unique_ptr<SearchFormController> controller;
    QMainWindow window;
    SearchFormWidget* form = nullptr;
};

TEST_F(ExpressionTesterDialogTest, TakingOverFillsTheFormWithTheTestedTextsAndOptions)
{
    ExpressionTesterDialog dialog(*controller, TesterSample{"size=12, name=", 0}, Utf8(), &window);
    EXPECT_EQ(dialog.searchField()->text(), QStringLiteral("alt"));
    EXPECT_TRUE(dialog.optionBox(WholeWords)->isChecked());
    EXPECT_FALSE(dialog.optionBox(Captures)->isEnabled());

    dialog.searchField()->clear();
    type(dialog.searchField(), QStringLiteral("(\\w+)=(\\d*)"));
    dialog.optionBox(RegularExpression)->click();
    EXPECT_FALSE(dialog.optionBox(WholeWords)->isEnabled());
    ASSERT_TRUE(dialog.optionBox(Captures)->isEnabled());
    dialog.optionBox(Captures)->click();
    type(dialog.replaceField(), QStringLiteral("\\U$1\\E:$2"));
    // Live: the replaced sample and the groups of the hit at the cursor.
    EXPECT_EQ(dialog.replacedView()->toPlainText(), QStringLiteral("SIZE:12, NAME:"));
    EXPECT_EQ(dialog.groupList()->topLevelItemCount(), 3);
    EXPECT_EQ(dialog.groupList()->topLevelItem(2)->text(2), QStringLiteral("12"));
    // An invalid reference shows the run's message and no replaced text.
    type(dialog.replaceField(), QStringLiteral("$7"));
    EXPECT_TRUE(dialog.messageLabel()->text().contains(QStringLiteral("$7")));
    EXPECT_EQ(dialog.replacedView()->toPlainText(), QString());
    QTest::keyClick(dialog.replaceField(), Qt::Key_Backspace);
    QTest::keyClick(dialog.replaceField(), Qt::Key_Backspace);

    dialog.takeOverButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const settings::FormState& state = controller->state();
    EXPECT_EQ(state.searchTexts.text, "(\\w+)=(\\d*)");
    EXPECT_EQ(state.replaceTexts.text, "\\U$1\\E:$2");
    EXPECT_EQ(state.regularExpression, 1);
    EXPECT_EQ(state.replacementCaptures, 1);
    EXPECT_EQ(state.wholeWords, 1);
    // The form's controls show them.
    EXPECT_EQ(form->comboBox(FormCombo::SearchText)->currentText(), QStringLiteral("(\\w+)=(\\d*)"));
    EXPECT_EQ(form->comboBox(FormCombo::ReplaceText)->currentText(), QStringLiteral("\\U$1\\E:$2"));
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(form->control(C::RegularExpression))->isChecked());
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(form->control(C::ReplacementCaptures))->isChecked());
    EXPECT_TRUE(form->control(C::ReplacementCaptures)->isEnabled());
}

TEST_F(ExpressionTesterDialogTest, PreservedCaseShowsWhatARunWrites)
{
    ExpressionTesterDialog dialog(*controller, TesterSample{"alt Alt ALT alt_neu Alt-Neu", 0}, Utf8(), &window);
    dialog.optionBox(WholeWords)->click();
    ASSERT_TRUE(dialog.optionBox(PreserveCase)->isEnabled());
    dialog.optionBox(PreserveCase)->click();
    type(dialog.replaceField(), QStringLiteral("neu"));
    EXPECT_EQ(dialog.replacedView()->toPlainText(), QStringLiteral("neu Neu NEU neu_neu Neu-Neu"));

    // Groups first, then the hit's case: as tarnwick-cli --captures --preserve-case writes it.
    dialog.searchField()->clear();
    type(dialog.searchField(), QStringLiteral("alt([-_])neu|alt"));
    dialog.optionBox(RegularExpression)->click();
    dialog.optionBox(Captures)->click();
    dialog.replaceField()->clear();
    type(dialog.replaceField(), QStringLiteral("ein$1aus"));
    EXPECT_EQ(dialog.replacedView()->toPlainText(), QStringLiteral("einaus Einaus EINAUS ein_aus Ein-Aus"));
}

TEST_F(ExpressionTesterDialogTest, ClosingLeavesTheFormAsItWas)
{
    const settings::FormState before = controller->state();
    ExpressionTesterDialog dialog(*controller, TesterSample{}, Utf8(), &window);
    type(dialog.searchField(), QStringLiteral("er"));
    dialog.optionBox(MatchCase)->click();
    dialog.reject();
    EXPECT_EQ(controller->state(), before);
}

TEST(ExpressionTesterLogic, TheHitAtTheCursorAndWhereTheSampleComesFrom)
{
    settings::FormState values;
    values.searchTexts.text = "ab";
    ExpressionTesterLogic logic(values, Utf8());
    logic.setSample("ab abab");
    EXPECT_EQ(logic.matchCountText(), "3 Treffer");
    EXPECT_EQ(logic.matchAt(0), 0);
    EXPECT_EQ(logic.matchAt(2), 0);  // right behind the first hit
    EXPECT_EQ(logic.matchAt(5), 2);  // where two touch, the later one
    logic.setSample("xyz");
    EXPECT_EQ(logic.matchAt(1), -1);
    EXPECT_EQ(logic.matchCountText(), "Kein Treffer");

    const TesterSample hit{"the hit line", 4};
    EXPECT_EQ(ChooseSample(true, "selected", hit).text, "selected");
    EXPECT_EQ(ChooseSample(false, "selected", hit).cursor, 4);
    EXPECT_EQ(ChooseSample(true, "", hit).text, "the hit line");
    EXPECT_EQ(ChooseSample(false, "selected", TesterSample{}).text, "selected");

    // Byte positions of the engine on the characters shown: ä is two bytes
    // and one unit, 😀 four bytes and two units.
    const TextOffsets offsets(QString::fromUtf8("ä😀b"), Utf8());
    EXPECT_EQ(offsets.bytes(), "ä😀b");
    EXPECT_EQ(offsets.unitOf(1), 0);
    EXPECT_EQ(offsets.unitOf(5), 1);
    EXPECT_EQ(offsets.unitOf(6), 3);
    EXPECT_EQ(offsets.byteOf(3), 6);
    EXPECT_EQ(offsets.unitOf(99), 4);
}

}  // namespace
}  // namespace tarnwick::ui
