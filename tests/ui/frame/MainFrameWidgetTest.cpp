// The main window's wiring, on the offscreen platform.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>

#include <string>
#include <vector>

#include "tests/ui/support/QtApp.h"
#include "ui/frame/MainFrame.h"

namespace tarnwick::ui {
namespace {

class MainFrameWidgetTest : public ::testing::Test {
protected:
    void SetUp() override { test::EnsureQtApp(); }

    static QStringList entryTexts(QMenu* menu)
    {
        QStringList texts;
        for (QAction* entry : menu->actions()) texts << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
        return texts;
    }

    // Shows the frame and lets queued layout work finish.
    static void showAndSettle(MainFrame& frame)
    {
        frame.resize(900, 700);
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        QCoreApplication::processEvents();
    }

    static int formRowHeight(MainFrame& frame)
    {
        QCoreApplication::processEvents();
        return frame.navSplitter()->sizes().at(0);
    }

    MemoryFrameSettings m_settings;
};

TEST_F(MainFrameWidgetTest, MenuBarCarriesTheMenusWithTheirTexts)
{
    MainFrame frame(m_settings);
    QStringList titles;
    for (QAction* menu : frame.menuBar()->actions()) titles << menu->text();
    EXPECT_EQ(titles,
              QStringList({"&Datei (Vorschau)", "&Suchen/Ersetzen", "&Ergebnisse", "&Vorschau", "&Ansicht", "E&xtras", "&?"}));
    EXPECT_EQ(entryTexts(frame.menuBar()->actions().at(1)->menu()),
              QStringList({"&Suche starten", "&Ersetzen starten", "&Vorschau der Ersetzungen...", "Sto&pp", "-",
                           "&Grossbuchstaben im Dateinamen wandeln...", "Rückgängig: letzter Ersetzungslauf", "-",
                           "Suche spe&ichern...", "Gespeic&herte Suchen...", "-", "Suche als &Befehlszeile kopieren",
                           "Ersetzen als Be&fehlszeile kopieren"}));
    EXPECT_EQ(entryTexts(frame.menuBar()->actions().at(4)->menu()),
              QStringList({"&Ergebnisliste", "&Vorschau", "-", "Such&optionen", "Er&weitere Suchoptionen", "-", "&Symbolleiste",
                           "S&tatusleiste", "-", "&Zeilenumbruch (Vorschau)", "S&chriftart...", "-", "&XP Stil", "200&3 Stil"}));
    EXPECT_EQ(frame.action(FrameCommand::FileOpen)->text(), QStringLiteral("Ö&ffnen...\tStrg+O"));
    EXPECT_EQ(frame.action(FrameCommand::About)->text(), QStringLiteral("Inf&o über Tarnwick..."));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Tarnwick 2.0"));
    EXPECT_EQ(frame.tabWindow()->tabText(0), QStringLiteral("Ergebnisse"));
    EXPECT_EQ(frame.tabWindow()->tabText(1), QStringLiteral("Vorschau"));
}

TEST_F(MainFrameWidgetTest, BusyFlagSwitchesBetweenStartAndStop)
{
    MainFrame frame(m_settings);
    QAction* markAll = frame.action(FrameCommand::MarkAll);
    markAll->setEnabled(true);  // as the results pane would

    EXPECT_TRUE(frame.action(FrameCommand::StartSearch)->isEnabled());
    EXPECT_FALSE(frame.action(FrameCommand::Stop)->isEnabled());
    frame.setBusy(true);
    EXPECT_FALSE(frame.action(FrameCommand::StartSearch)->isEnabled());
    EXPECT_FALSE(frame.action(FrameCommand::StartReplace)->isEnabled());
    EXPECT_FALSE(frame.action(FrameCommand::ConvertNames)->isEnabled());
    EXPECT_TRUE(frame.action(FrameCommand::Stop)->isEnabled());
    EXPECT_TRUE(frame.action(FrameCommand::Options)->isEnabled());
    EXPECT_TRUE(markAll->isEnabled()) << "the results pane's enabling is its own";
    frame.setBusy(false);
    EXPECT_TRUE(frame.action(FrameCommand::StartReplace)->isEnabled());
    EXPECT_FALSE(frame.action(FrameCommand::Stop)->isEnabled());
    EXPECT_TRUE(frame.action(FrameCommand::Help)->isEnabled());
}

// The undo command is offered only when there is a run to undo and no run
// is changing files; asked when its menu opens, as journals come and go.
TEST_F(MainFrameWidgetTest, UndoLastRunFollowsTheJournalsWhenTheMenuOpens)
{
    MainFrame frame(m_settings);
    bool journals = false;
    frame.setUndoAvailableHook([&journals] { return journals; });
    QMenu* menu = frame.menuBar()->actions().at(1)->menu();
    QAction* undo = frame.action(FrameCommand::UndoLastRun);
    emit menu->aboutToShow();
    EXPECT_FALSE(undo->isEnabled());
    journals = true;
    emit menu->aboutToShow();
    EXPECT_TRUE(undo->isEnabled());
    frame.setBusy(true);
    emit menu->aboutToShow();
    EXPECT_FALSE(undo->isEnabled());
}

TEST_F(MainFrameWidgetTest, FormCommandsLeaveAsSignals)
{
    MainFrame frame(m_settings);
    QSignalSpy search(&frame, &MainFrame::startSearchRequested);
    QSignalSpy options(&frame, &MainFrame::optionsRequested);
    frame.action(FrameCommand::StartSearch)->trigger();
    frame.action(FrameCommand::Options)->trigger();
    frame.setBusy(true);
    frame.action(FrameCommand::StartSearch)->trigger();  // disabled: nothing
    EXPECT_EQ(search.count(), 1);
    EXPECT_EQ(options.count(), 1);
}

TEST_F(MainFrameWidgetTest, CtrlTabSwitchesTabsEvenFromTheForm)
{
    MainFrame frame(m_settings);
    auto* field = new QLineEdit;
    frame.setFormWidget(field);
    frame.setPreviewWidget(new QWidget);
    QSignalSpy changed(&frame, &MainFrame::activeTabChanged);

    QTest::keyClick(field, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(frame.activeTab(), MainFrame::kPreviewTab);
    EXPECT_TRUE(frame.action(FrameCommand::ShowPreview)->isChecked());
    EXPECT_EQ(frame.caretPaneText(), QStringLiteral("Zeile: 1, Spalte: 1"));

    QTest::keyClick(field, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(frame.activeTab(), MainFrame::kResultsTab);
    EXPECT_TRUE(frame.action(FrameCommand::ShowResults)->isChecked());
    EXPECT_EQ(frame.caretPaneText(), QString());
    EXPECT_EQ(changed.count(), 2);

    QTest::keyClick(field, Qt::Key_Tab);  // a plain Tab is the field's
    EXPECT_EQ(frame.activeTab(), MainFrame::kResultsTab);
    frame.action(FrameCommand::ShowPreview)->trigger();
    EXPECT_EQ(frame.tabWindow()->currentIndex(), MainFrame::kPreviewTab);
}

TEST_F(MainFrameWidgetTest, StyleSwitchRestylesOnceAndIsWrittenOnClose)
{
    MainFrame frame(m_settings);
    EXPECT_EQ(frame.drawingStyle(), DrawingStyle::Office2003);
    EXPECT_TRUE(frame.action(FrameCommand::Style2003)->isChecked());
    const QString before = frame.styleSheet();
    QSignalSpy restyled(&frame, &MainFrame::drawingStyleChanged);

    frame.action(FrameCommand::StyleXp)->trigger();
    frame.action(FrameCommand::StyleXp)->trigger();  // already current: nothing more
    EXPECT_EQ(restyled.count(), 1);
    EXPECT_EQ(frame.drawingStyle(), DrawingStyle::Xp);
    EXPECT_TRUE(frame.action(FrameCommand::StyleXp)->isChecked());
    EXPECT_FALSE(frame.action(FrameCommand::Style2003)->isChecked());
    EXPECT_NE(frame.styleSheet(), before);

    EXPECT_TRUE(frame.close());
    EXPECT_EQ(m_settings.guiStyle(), 32769);
}

TEST_F(MainFrameWidgetTest, StoredXpStyleIsTakenAtStart)
{
    m_settings.setGuiStyle(32769);
    MainFrame frame(m_settings);
    EXPECT_EQ(frame.drawingStyle(), DrawingStyle::Xp);
    EXPECT_TRUE(frame.action(FrameCommand::StyleXp)->isChecked());
}

TEST_F(MainFrameWidgetTest, SearchOptionsTwiceRestoresTheRowHeight)
{
    MainFrame frame(m_settings);
    showAndSettle(frame);
    frame.setFormExpanded(false);
    EXPECT_EQ(formRowHeight(frame), 150);

    frame.action(FrameCommand::SearchOptions)->trigger();
    EXPECT_EQ(formRowHeight(frame), 0);
    EXPECT_FALSE(frame.action(FrameCommand::SearchOptions)->isChecked());
    frame.action(FrameCommand::SearchOptions)->trigger();
    EXPECT_EQ(formRowHeight(frame), 150);

    frame.setFormExpanded(true);
    frame.action(FrameCommand::SearchOptions)->trigger();
    frame.action(FrameCommand::SearchOptions)->trigger();
    EXPECT_EQ(formRowHeight(frame), 400);
    EXPECT_TRUE(frame.action(FrameCommand::ExtendedSearchOptions)->isChecked());
}

TEST_F(MainFrameWidgetTest, ExtendedOptionsOnAHiddenFormAsksTheFormToExpand)
{
    MainFrame frame(m_settings);
    showAndSettle(frame);
    std::vector<bool> requests;
    QObject::connect(&frame, &MainFrame::expandToggleRequested, &frame, [&](bool fromHidden) {
        requests.push_back(fromHidden);
        // The form: clear the flag when asked, then toggle and report.
        const bool expanded = fromHidden ? false : frame.searchPane().isExpanded();
        frame.setFormExpanded(!expanded);
    });
    frame.setFormExpanded(true);
    frame.action(FrameCommand::SearchOptions)->trigger();  // hide
    frame.action(FrameCommand::ExtendedSearchOptions)->trigger();
    EXPECT_EQ(requests, std::vector<bool>{true});
    EXPECT_EQ(formRowHeight(frame), 400);
    EXPECT_TRUE(frame.action(FrameCommand::SearchOptions)->isChecked());

    frame.action(FrameCommand::ExtendedSearchOptions)->trigger();  // shown: plain toggle
    EXPECT_EQ(requests, (std::vector<bool>{true, false}));
    EXPECT_EQ(formRowHeight(frame), 150);
}

TEST_F(MainFrameWidgetTest, CancelledCloseKeepsTheWindowWithFormSettingsWritten)
{
    int formSaves = 0;
    bool viewerAgrees = false;
    WindowPlacement stored;
    stored.left = 40;
    stored.top = 50;
    stored.right = 640;
    stored.bottom = 500;
    m_settings.setPlacement(stored);
    m_settings.setGuiStyle(12345);  // damaged: read as the default, written back as it

    MainFrame frame(m_settings);
    EXPECT_EQ(frame.geometry(), QRect(40, 50, 600, 450));
    frame.setSaveFormSettingsHook([&] { ++formSaves; });
    frame.setViewerCloseHook([&] { return viewerAgrees; });
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));

    EXPECT_FALSE(frame.close());
    EXPECT_TRUE(frame.isVisible());
    EXPECT_EQ(formSaves, 1);
    EXPECT_EQ(m_settings.guiStyle(), 32770);
    EXPECT_EQ(m_settings.placement(), stored) << "the placement is written only when the window goes";

    frame.setGeometry(70, 80, 500, 400);
    viewerAgrees = true;
    EXPECT_TRUE(frame.close());
    EXPECT_EQ(formSaves, 2);
    const WindowPlacement written = m_settings.placement();
    EXPECT_EQ(written.left, 70);
    EXPECT_EQ(written.top, 80);
    EXPECT_EQ(written.right, 570);
    EXPECT_EQ(written.bottom, 480);
    EXPECT_EQ(written.status, 1);
    EXPECT_EQ(written.style, 32770u);
}

}  // namespace
}  // namespace tarnwick::ui
