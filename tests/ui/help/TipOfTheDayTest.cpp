// The tips of the day: which lines are tips, where the next showing goes
// on, a changed file starting again, the messages when there is no tip,
// and what the dialog writes when it closes and goes.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <ctime>
#include <string>

#include "settings/ProfileStore.h"
#include "settings/TipSettings.h"
#include "tests/support/TempTree.h"
#include "tests/ui/support/QtApp.h"
#include "ui/help/HelpMenuTexts.h"
#include "ui/help/TipOfTheDay.h"
#include "ui/help/TipsDialog.h"

namespace tarnwick::ui {
namespace {

constexpr std::int64_t kModified = 1'765'000'000;  // a fixed file time, no clock involved

class TipOfTheDayTest : public ::testing::Test {
protected:
    std::string writeTips(const std::string& text, std::int64_t modified = kModified)
    {
        const std::string path = tree.write("bin/tips.txt", text);
        tree.setTimes("bin/tips.txt", modified, modified);
        return path;
    }

    // The tips in the order a user sees them, one dialog per showing.
    std::vector<std::string> showings(const std::string& path, int count)
    {
        std::vector<std::string> seen;
        for (int i = 0; i < count; ++i) seen.push_back(TipOfTheDay(store, path).tip());
        return seen;
    }

    test::TempTree tree;
    settings::ProfileStore store{tree.path("Tarnwick.conf")};
};

TEST(TipsTimeStamp, TheTwentyFourCharactersOfAsctimeInEnglish)
{
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 9;
    time.tm_wday = 3;
    time.tm_hour = 12;
    time.tm_min = 42;
    EXPECT_EQ(TipsTimeStamp(time), "Wed Dec  9 12:42:00 2026");
    time.tm_mon = 0;
    time.tm_mday = 31;
    time.tm_wday = 0;
    time.tm_hour = 7;
    time.tm_sec = 5;
    EXPECT_EQ(TipsTimeStamp(time), "Sun Jan 31 07:42:05 2026");
    EXPECT_EQ(TipsTimeStamp(time).size(), 24u);
}

TEST_F(TipOfTheDayTest, SkipsCommentsIndentedAndEmptyLinesAndWrapsAfterTheLast)
{
    const std::string path = writeTips("; Kopf\n;Kommentar\nErster Tipp\n\n  eingerückt\n\tTab\r\nZweiter Tipp\r\n"
                                       "\r\nDritter Tipp ohne Zeilenende");
    EXPECT_EQ(showings(path, 4),
              (std::vector<std::string>{"Erster Tipp", "Zweiter Tipp", "Dritter Tipp ohne Zeilenende", "Erster Tipp"}));
    TipOfTheDay tips(store, path);
    EXPECT_EQ(tips.tip(), "Zweiter Tipp");
    tips.nextTip();
    tips.nextTip();
    EXPECT_EQ(tips.tip(), "Erster Tipp");
    EXPECT_TRUE(tips.hasTips());
}

TEST_F(TipOfTheDayTest, AChangedFileStartsAgainAtItsFirstTip)
{
    std::string path = writeTips("Eins\nZwei\nDrei\n");
    EXPECT_EQ(showings(path, 2), (std::vector<std::string>{"Eins", "Zwei"}));
    EXPECT_EQ(settings::ReadTipSettings(store).timeStamp, TipsFileTimeStamp(kModified));

    path = writeTips("Eins\nZwei\nDrei\n", kModified + 60);
    EXPECT_EQ(showings(path, 2), (std::vector<std::string>{"Eins", "Zwei"}));
    EXPECT_EQ(settings::ReadTipSettings(store).timeStamp, TipsFileTimeStamp(kModified + 60));
    EXPECT_EQ(settings::ReadTipSettings(store).filePos, 10u);
}

TEST_F(TipOfTheDayTest, AnOverlongLineIsCutNotSplitIntoASecondTip)
{
    const std::string longLine = std::string(998, 'a') + "\xC3\xA4" + "bbb";  // 'ä' straddles the limit
    const std::string path = writeTips(longLine + "\nKurz\n");
    EXPECT_EQ(showings(path, 2), (std::vector<std::string>{std::string(998, 'a'), "Kurz"}));
}

TEST_F(TipOfTheDayTest, MissingFileOrAFileWithoutTipsEndsWithAMessage)
{
    TipOfTheDay absent(store, tree.path("bin/tips.txt"));
    EXPECT_EQ(absent.tip(), text::help::kTipsFileAbsent);
    EXPECT_FALSE(absent.hasTips());
    TipOfTheDay folder(store, tree.mkdir("folder"));
    EXPECT_EQ(folder.tip(), text::help::kTipsFileAbsent);

    // One whole pass, from wherever the last showing stopped, then it gives up.
    store.WriteProfileInt("Tip", "FilePos", 7);
    ASSERT_TRUE(settings::WriteTipTimeStamp(store, TipsFileTimeStamp(kModified)));
    for (const char* text : {"", ";nur\n  Kommentare\n\n"}) {
        TipOfTheDay empty(store, writeTips(text));
        EXPECT_EQ(empty.tip(), text::help::kTipsFileWithoutTips) << text;
        EXPECT_FALSE(empty.hasTips());
        empty.nextTip();
        EXPECT_EQ(empty.tip(), text::help::kTipsFileWithoutTips);
    }
}

TEST_F(TipOfTheDayTest, DialogShowsTheTipAndWritesStartUpOnlyWhenClosedWithSchliessen)
{
    test::EnsureQtApp();
    const std::string path = writeTips("; Kopf\nEins: \xC3\xA4\xC3\xB6\xC3\xBC\nZwei\n");
    {
        TipsDialog dialog(store, path);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Tipps und Tricks"));
        EXPECT_EQ(dialog.tipLabel()->text(), QStringLiteral("Eins: äöü"));
        EXPECT_TRUE(dialog.startUpBox()->isChecked());
        EXPECT_EQ(dialog.startUpBox()->text(), QStringLiteral("&Tipps beim Starten anzeigen"));
        dialog.nextButton()->click();
        EXPECT_EQ(dialog.tipLabel()->text(), QStringLiteral("Zwei"));
        dialog.startUpBox()->setChecked(false);
        dialog.reject();  // Escape: the check box is not taken
        EXPECT_EQ(settings::ReadTipSettings(store).startUp, 0);
        dialog.closeButton()->click();
        EXPECT_EQ(settings::ReadTipSettings(store).startUp, 1);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    // Where the next showing begins is written when the dialog goes.
    EXPECT_EQ(settings::ReadTipSettings(store).filePos, 25u);
    TipsDialog again(store, path);
    EXPECT_FALSE(again.startUpBox()->isChecked());
    EXPECT_EQ(again.tipLabel()->text(), QStringLiteral("Eins: äöü"));
    again.startUpBox()->setChecked(true);
    again.closeButton()->click();
    EXPECT_EQ(settings::ReadTipSettings(store).startUp, 0);

    TipsDialog absent(store, tree.path("nowhere/tips.txt"));
    EXPECT_EQ(absent.tipLabel()->text(), QString::fromUtf8(text::help::kTipsFileAbsent));
    EXPECT_FALSE(absent.nextButton()->isEnabled());
}

TEST_F(TipOfTheDayTest, StartUpShowsNothingWhenSwitchedOffAndLeavesThePlaceAlone)
{
    test::EnsureQtApp();
    const std::string bin = tree.mkdir("bin");
    writeTips("Eins\nZwei\n");
    EXPECT_EQ(TipsFilePath(bin), bin + "/tips.txt");
    ASSERT_TRUE(settings::WriteTipStartUp(store, 1));
    ShowTipsAtStartUp(nullptr, store, bin);  // would block if it showed the dialog
    EXPECT_EQ(settings::ReadTipSettings(store).filePos, 0u);
    EXPECT_TRUE(settings::ReadTipSettings(store).timeStamp.empty());
}

// The tips file that comes with the program: every tip fits, is valid
// UTF-8, and one showing after another goes round all of them.
TEST_F(TipOfTheDayTest, ShippedTipsAreShownOneAfterAnotherAndThenAgain)
{
    const std::string shipped = test::ReadFile(std::string(TARNWICK_SOURCE_ROOT) + "ui/tips.txt");
    ASSERT_FALSE(shipped.empty());
    EXPECT_TRUE(QString::fromUtf8(shipped).toUtf8().toStdString() == shipped) << "not UTF-8";
    const std::string path = writeTips(shipped);

    std::vector<std::string> first;
    for (std::string tip = TipOfTheDay(store, path).tip(); first.empty() || tip != first.front();
         tip = TipOfTheDay(store, path).tip()) {
        ASSERT_LT(first.size(), 100u) << "never came back to the first tip";
        EXPECT_LE(tip.size(), TipOfTheDay::kMaxTipLength);
        EXPECT_NE(tip.front(), ';');
        first.push_back(tip);
    }
    EXPECT_GE(first.size(), 25u);
    EXPECT_LE(first.size(), 40u);
}

}  // namespace
}  // namespace tarnwick::ui
