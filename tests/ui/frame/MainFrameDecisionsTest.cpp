// The main window's decisions, without widgets.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "ui/frame/AppStyle.h"
#include "ui/frame/CloseSequence.h"
#include "ui/frame/MainFrameCommands.h"
#include "ui/frame/SearchPaneState.h"
#include "ui/frame/StatusPaneTexts.h"

namespace tarnwick::ui {
namespace {

TEST(MainFrameCommandsTest, RunCommandsFollowTheBusyFlag)
{
    for (FrameCommand id :
         {FrameCommand::StartSearch, FrameCommand::StartReplace, FrameCommand::PreviewReplace, FrameCommand::ConvertNames}) {
        EXPECT_EQ(FrameEnablesCommand(id, false), true) << static_cast<int>(id);
        EXPECT_EQ(FrameEnablesCommand(id, true), false) << static_cast<int>(id);
    }
    EXPECT_EQ(FrameEnablesCommand(FrameCommand::Stop, false), false);
    EXPECT_EQ(FrameEnablesCommand(FrameCommand::Stop, true), true);
}

TEST(MainFrameCommandsTest, OwnCommandsStayUsableDuringARun)
{
    for (FrameCommand id : {FrameCommand::Options, FrameCommand::Exit, FrameCommand::ShowPreview, FrameCommand::SearchOptions,
                            FrameCommand::Style2003, FrameCommand::About, FrameCommand::Help, FrameCommand::Tips}) {
        EXPECT_EQ(FrameEnablesCommand(id, true), true) << static_cast<int>(id);
    }
}

TEST(MainFrameCommandsTest, PanesDecideTheirOwnCommandsAndUnbuiltOnesStayOff)
{
    EXPECT_EQ(FrameEnablesCommand(FrameCommand::MarkAll, false), std::nullopt);
    EXPECT_EQ(FrameEnablesCommand(FrameCommand::Copy, true), std::nullopt);
    // The printer set-up belongs to the viewer now.
    EXPECT_EQ(FrameEnablesCommand(FrameCommand::FilePrintSetup, false), std::nullopt);
}

TEST(MainFrameCommandsTest, EveryCommandSitsInExactlyOneMenu)
{
    std::multiset<FrameCommand> placed;
    for (const MenuEntry& menu : MainMenuLayout()) {
        for (const auto& entry : menu.entries) {
            if (entry) placed.insert(*entry);
        }
    }
    for (const CommandEntry& entry : AllCommands()) EXPECT_EQ(placed.count(entry.id), 1u) << static_cast<int>(entry.id);
    EXPECT_EQ(placed.size(), AllCommands().size());
    for (const auto& entry : MainToolBarLayout()) {
        if (entry) {
            EXPECT_NE(FindCommand(*entry), nullptr);
        }
    }
}

TEST(MainFrameCommandsTest, ToolTipsComeFromTheMenuTextUnlessGiven)
{
    EXPECT_EQ(ToolTipOf(*FindCommand(FrameCommand::StartSearch)), "Suche starten");
    EXPECT_EQ(ToolTipOf(*FindCommand(FrameCommand::Stop)), "Stopp");
    EXPECT_EQ(ToolTipOf(*FindCommand(FrameCommand::FilePrint)), "Drucken");
    EXPECT_EQ(ToolTipOf(*FindCommand(FrameCommand::About)), "Info über Tarnwick");
    EXPECT_EQ(ToolTipOf(*FindCommand(FrameCommand::ExportResults)), "Ergebnissliste exportieren");
}

TEST(SearchPaneStateTest, HidingTwiceRestoresTheRowOfTheExpandedFlag)
{
    SearchPaneState pane;
    pane.setExpanded(true);
    pane.toggleShown();
    EXPECT_EQ(pane.rowHeight(), 0);
    EXPECT_FALSE(pane.isExpandedChecked());
    pane.toggleShown();
    EXPECT_EQ(pane.rowHeight(), 400);

    pane.setExpanded(false);
    pane.toggleShown();
    pane.toggleShown();
    EXPECT_EQ(pane.rowHeight(), 150);
    EXPECT_TRUE(pane.isShownChecked());
}

TEST(SearchPaneStateTest, TheRowGrowsToWhatTheFormNeedsButNeverBelowItsUsualHeight)
{
    SearchPaneState pane;
    pane.setExpanded(false);
    EXPECT_EQ(pane.rowHeight(120), 150);
    EXPECT_EQ(pane.rowHeight(171), 171);  // larger fonts, the line of active filters
    pane.setExpanded(true);
    EXPECT_EQ(pane.rowHeight(380), 400);
    EXPECT_EQ(pane.rowHeight(455), 455);
    pane.toggleShown();
    EXPECT_EQ(pane.rowHeight(455), 0);
}

TEST(SearchPaneStateTest, ExtendedOptionsOnAHiddenFormShowsItExpanded)
{
    SearchPaneState pane;
    pane.setExpanded(true);  // hidden while expanded: the form must still end expanded, not collapse
    pane.toggleShown();
    EXPECT_TRUE(pane.beginExpandToggle());
    EXPECT_TRUE(pane.isShown());
    EXPECT_FALSE(pane.isExpanded());
    pane.setExpanded(!pane.isExpanded());  // what the form's toggle does
    EXPECT_EQ(pane.rowHeight(), 400);
    EXPECT_TRUE(pane.isExpandedChecked());

    EXPECT_FALSE(pane.beginExpandToggle());  // shown: the form just toggles
    EXPECT_TRUE(pane.isExpanded());
}

class RecordingCloseSteps : public CloseSteps {
public:
    explicit RecordingCloseSteps(bool viewerAgrees) : m_viewerAgrees(viewerAgrees) {}
    void saveFormSettings() override { calls.push_back("form"); }
    void writeGuiStyle() override { calls.push_back("style"); }
    bool confirmViewerClose() override
    {
        calls.push_back("viewer");
        return m_viewerAgrees;
    }
    void writePlacement() override { calls.push_back("placement"); }
    std::vector<std::string> calls;

private:
    bool m_viewerAgrees;
};

TEST(CloseSequenceTest, ClosingWritesEverythingInOrder)
{
    RecordingCloseSteps steps(true);
    EXPECT_TRUE(RunCloseSequence(steps));
    EXPECT_EQ(steps.calls, (std::vector<std::string>{"form", "style", "viewer", "placement"}));
}

TEST(CloseSequenceTest, CancelledCloseHasWrittenTheSettingsButNotThePlacement)
{
    RecordingCloseSteps steps(false);
    EXPECT_FALSE(RunCloseSequence(steps));
    EXPECT_EQ(steps.calls, (std::vector<std::string>{"form", "style", "viewer"}));
}

TEST(StatusPaneTextsTest, CaretPaneCountsFromOneOnlyOnThePreviewTab)
{
    EXPECT_EQ(CaretPaneText(true, 0, 0), "Zeile: 1, Spalte: 1");
    EXPECT_EQ(CaretPaneText(true, 41, 6), "Zeile: 42, Spalte: 7");
    EXPECT_EQ(CaretPaneText(false, 41, 6), "");
    // Nonsense from a viewer must not overflow.
    EXPECT_EQ(CaretPaneText(true, -5, 2147483647), "Zeile: 1, Spalte: 2147483647");
}

TEST(StatusPaneTextsTest, LockKeysFromTheXModifierBits)
{
    EXPECT_EQ(LocksFromNativeModifiers(0), KeyboardLocks{});
    EXPECT_EQ(LocksFromNativeModifiers(0x2), (KeyboardLocks{true, false, false}));
    EXPECT_EQ(LocksFromNativeModifiers(0x10 | 0x1 | 0x4), (KeyboardLocks{false, true, false}));
}

TEST(DrawingStyleTest, UnknownStoredStyleFallsBackToTheDefault)
{
    EXPECT_EQ(DrawingStyleFromStored(32769), DrawingStyle::Xp);
    EXPECT_EQ(DrawingStyleFromStored(32770), DrawingStyle::Office2003);
    EXPECT_EQ(DrawingStyleFromStored(0), DrawingStyle::Office2003);
    EXPECT_EQ(DrawingStyleFromStored(-1), DrawingStyle::Office2003);
}

}  // namespace
}  // namespace tarnwick::ui
