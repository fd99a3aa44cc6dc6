#include <gtest/gtest.h>

#include "settings/AppearanceSettings.h"
#include "settings/ExportSettings.h"
#include "settings/MainWindowSettings.h"
#include "settings/OptionsSettings.h"
#include "settings/ProfileStore.h"
#include "settings/TipSettings.h"
#include "tests/support/TempTree.h"

namespace tarnwick::settings {
namespace {

class SectionSettingsTest : public ::testing::Test {
protected:
    test::TempTree tree;
    ProfileStore store{tree.path("Tarnwick.conf")};
};

TEST(OptionsUnits, DialogShowsWholeMegabytesAndKilobytes)
{
    const OptionsDialogValues shown = ToDialogUnits(OptionsValues{});
    EXPECT_EQ(shown.splitLengthMb, 50u);
    EXPECT_EQ(shown.splitMaxOffsetKb, 1u);
    EXPECT_EQ(shown.detectLengthKb, 50u);
    EXPECT_EQ(shown, OptionsDialogValues{});
    EXPECT_EQ(FromDialogUnits(shown), OptionsValues{});

    EXPECT_EQ(BytesToMegabytes(52'428'800 + 1'048'575), 50u);
    EXPECT_EQ(MegabytesToBytes(10), 10'485'760u);
    EXPECT_EQ(KilobytesToBytes(0), 0u);
    // Beyond 32 bits the largest count is stored, not a wrapped small one.
    EXPECT_EQ(MegabytesToBytes(4'096), 0xffff'ffffu);
    EXPECT_EQ(KilobytesToBytes(4'194'304), 0xffff'ffffu);
}

TEST_F(SectionSettingsTest, OptionsDialogWritesItsSectionButNotTheWarningBits)
{
    store.WriteProfileInt(kOptionsSection, "Dlgzeig", 5);
    OptionsDialogValues typed;
    typed.splitLengthMb = 10;
    typed.detectLengthKb = 0;
    typed.backupExtension = ".old";
    typed.searchThreads = 12;  // a count, the same in both units
    ASSERT_TRUE(WriteOptionsSettings(store, FromDialogUnits(typed)));
    EXPECT_EQ(store.GetProfileInt(kOptionsSection, "Splitlaenge", 0), 10'485'760u);
    EXPECT_EQ(store.GetProfileInt(kOptionsSection, "Suchthreads", 0), 12u);
    EXPECT_EQ(store.GetProfileInt(kOptionsSection, "Enkodinglaenge", 1), 0u);
    EXPECT_EQ(store.GetProfileInt(kOptionsSection, "Dlgzeig", 0), 5u);
    EXPECT_EQ(ToDialogUnits(ReadOptionsSettings(store)), typed);
}

TEST_F(SectionSettingsTest, SearchThreadsMissingReadAsAutomaticAndHugeAsTheMost)
{
    // As a version without the value wrote the section.
    tree.write("Tarnwick.conf", "[Optionen]\nKontextl=dword:00000021\nEnkodinglaenge=dword:00000000\n");
    const OptionsValues read = ReadOptionsSettings(store);
    EXPECT_EQ(read.contextLength, 33u);
    EXPECT_EQ(read.detectLength, 0u);
    EXPECT_EQ(read.searchThreads, 0u);
    // Nor the undo journal's: kept, within 1 GB.
    EXPECT_EQ(read.undoJournal, 1);
    EXPECT_EQ(read.undoLimitMb, 1024u);

    // Taken as it is, a hand-edited count would start billions of threads.
    store.WriteProfileInt(kOptionsSection, "Suchthreads", 0xffff'ffff);
    EXPECT_EQ(ReadOptionsSettings(store).searchThreads, 256u);
    store.WriteProfileInt(kOptionsSection, "Suchthreads", 256);
    EXPECT_EQ(ReadOptionsSettings(store).searchThreads, 256u);
}

TEST_F(SectionSettingsTest, FontValuesAreWrittenOnlyWhenChanged)
{
    const FontSettings atCreation = ReadFontSettings(store);
    EXPECT_EQ(atCreation, FontSettings{});
    FontSettings now = atCreation;
    now.weight = 700;
    now.faceName = "DejaVu Sans Mono";
    ASSERT_TRUE(WriteFontSettings(store, now, atCreation));
    EXPECT_EQ(store.GetProfileInt(kFontSection, "Höhe", 1), 1u);  // unchanged: not written
    EXPECT_EQ(ReadFontSettings(store), now);

    // Height 0: the view keeps the default font; only the height is stored
    // and the other values are not read.
    FontSettings none = now;
    none.height = 0;
    none.italic = 1;
    ASSERT_TRUE(WriteFontSettings(store, none, now));
    EXPECT_EQ(store.GetProfileInt(kFontSection, "Kursiv", 9), 9u);
    FontSettings expected;
    expected.height = 0;
    EXPECT_EQ(ReadFontSettings(store), expected);
}

TEST_F(SectionSettingsTest, ExportDefaultsAndTheTypeLimit)
{
    ExportSettings read = ReadExportSettings(store, "/opt/tarnwick/bin");
    EXPECT_EQ(read.templatePath, "/opt/tarnwick/bin/vorlage_export.txt");
    EXPECT_EQ(read.separator, "; ");
    EXPECT_EQ(read.elements, ExportElement::Hits);

    read.type = ExportType::Template;
    read.separator = "\\t";
    read.elements = ExportElement::Errors | ExportElement::DirNames;
    ASSERT_TRUE(WriteExportSettings(store, read));
    EXPECT_EQ(ReadExportSettings(store, "/elsewhere"), read);

    store.WriteProfileInt(kExportSection, "Exporttyp", 3);
    EXPECT_EQ(ReadExportSettings(store, "/x").type, ExportType::Xml);
}

TEST_F(SectionSettingsTest, TipAndAppearanceValues)
{
    EXPECT_EQ(ReadTipSettings(store), TipSettings{});
    ASSERT_TRUE(WriteTipStartUp(store, 1));
    ASSERT_TRUE(WriteTipFilePos(store, 4711));
    ASSERT_TRUE(WriteTipTimeStamp(store, "Tue Jun 11 10:00:00 2024"));
    EXPECT_EQ(ReadTipSettings(store), (TipSettings{1, 4711, "Tue Jun 11 10:00:00 2024"}));

    EXPECT_EQ(ReadGuiStyle(store), GuiStyle::Office2003);
    EXPECT_EQ(ReadTabStops(store), 32u);
    ASSERT_TRUE(WriteGuiStyle(store, GuiStyle::Xp));
    ASSERT_TRUE(WriteViewerState(store, 32, false));
    EXPECT_EQ(ReadGuiStyle(store), GuiStyle::Xp);
    EXPECT_EQ(store.GetProfileInt(kAppearanceSection, "Zeilenumbruch", 7), 0u);
}

TEST_F(SectionSettingsTest, MainWindowSectionIsReplacedWhole)
{
    EXPECT_EQ(MainWindowSectionName("My App"), "My_App-Main");
    EXPECT_EQ(ReadMainWindowSettings(store), MainWindowSettings{});
    store.WriteProfileInt("Tarnwick-Main", "stale", 1);
    const MainWindowSettings closing{-20, 30, 1000, 700, ShowState::Maximized, 32770, 1};
    ASSERT_TRUE(WriteMainWindowSettings(store, closing));
    EXPECT_EQ(ReadMainWindowSettings(store), closing);
    EXPECT_EQ(store.GetProfileInt("Tarnwick-Main", "stale", 0), 0u);
}

TEST(MainWindowPlacement, SizeFromTheRectangleCornerKeptOnScreen)
{
    EXPECT_EQ(PlaceMainWindow(MainWindowSettings{}, 1920, 1080, 32, 32), (WindowGeometry{10, 10, 798, 580}));
    const MainWindowSettings offScreen{3000, 2000, 3800, 2600, 1, 0, 0};
    EXPECT_EQ(PlaceMainWindow(offScreen, 1920, 1080, 32, 32), (WindowGeometry{1888, 1048, 800, 600}));
    // A hand-edited rectangle without area gets the default size.
    const MainWindowSettings inverted{500, 500, 100, 100, 1, 0, 0};
    EXPECT_EQ(PlaceMainWindow(inverted, 1920, 1080, 32, 32), (WindowGeometry{500, 500, 798, 580}));
}

}  // namespace
}  // namespace tarnwick::settings
