#include "ui/viewer/ViewerFont.h"

#include <gtest/gtest.h>

#include "tests/ui/support/QtApp.h"

namespace tarnwick::ui {
namespace {

TEST(ViewerFontTest, LogicalFontBecomesAQtFontAndBack)
{
    test::EnsureQtApp();
    settings::FontSettings stored;
    stored.height = -16;
    stored.weight = 700;
    stored.italic = 1;
    stored.underline = 1;
    stored.faceName = "DejaVu Sans";
    const QFont font = FontFromSettings(stored);
    EXPECT_EQ(font.pixelSize(), 16);
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_TRUE(font.italic());
    EXPECT_TRUE(font.underline());
    EXPECT_EQ(font.family(), QStringLiteral("DejaVu Sans"));

    const settings::FontSettings back = SettingsFromFont(font, stored);
    EXPECT_EQ(back.height, -16);
    EXPECT_EQ(back.weight, 700);
    EXPECT_EQ(back.italic, 1);
    EXPECT_EQ(back.underline, 1);
    EXPECT_EQ(back.faceName, "DejaVu Sans");
    EXPECT_EQ(back.charSet, stored.charSet);  // Qt has none: kept
    EXPECT_EQ(back.pitchAndFamily & 0xF0, stored.pitchAndFamily & 0xF0);  // the family bits too

    // A positive height is the cell height, a bit more than the characters.
    stored.height = 20;
    EXPECT_EQ(FontFromSettings(stored).pixelSize(), 16);
    // A point-sized font from the font dialog is stored in pixels at 96 dpi.
    QFont points(QStringLiteral("DejaVu Sans"));
    points.setPointSize(9);
    EXPECT_EQ(SettingsFromFont(points, stored).height, -12);
    // The face name keeps at most 31 characters.
    QFont longName(QString(40, QLatin1Char('x')));
    EXPECT_EQ(SettingsFromFont(longName, stored).faceName.size(), 31u);
}

}  // namespace
}  // namespace tarnwick::ui
