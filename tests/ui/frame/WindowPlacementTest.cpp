#include <gtest/gtest.h>

#include <climits>

#include "settings/ProfileStore.h"
#include "tests/support/TempTree.h"
#include "ui/frame/ProfileFrameSettings.h"
#include "ui/frame/WindowPlacement.h"

namespace tarnwick::ui {
namespace {

constexpr ScreenRect kWorkArea{0, 30, 1920, 1050};  // a panel above
constexpr int kIcon = 32;

PlacedWindow Place(const WindowPlacement& stored) { return PlaceWindow(stored, kWorkArea, 1920, 1080, kIcon, kIcon); }

WindowPlacement Rect(int left, int top, int right, int bottom)
{
    WindowPlacement p;
    p.left = left;
    p.top = top;
    p.right = right;
    p.bottom = bottom;
    return p;
}

TEST(WindowPlacementTest, FirstStartOpensAtTheDefaultsFromTheWorkAreaCorner)
{
    EXPECT_EQ(Place(WindowPlacement{}), (PlacedWindow{{10, 40, 798, 580}, false}));
}

TEST(WindowPlacementTest, ACornerOffTheScreenIsPulledBackSoTheWindowStaysReachable)
{
    // Right and bottom: an icon's width and height stay on the screen.
    EXPECT_EQ(Place(Rect(3000, 2000, 3800, 2600)).rect, (ScreenRect{1888, 1048, 800, 600}));
    // Above the work area the title bar could not be grabbed.
    EXPECT_EQ(Place(Rect(100, -400, 900, 200)).rect.y, 30);
    // Far left: an icon's width of the window stays visible.
    EXPECT_EQ(Place(Rect(-5000, 10, -4200, 610)).rect.x, -800 + kIcon);
}

TEST(WindowPlacementTest, DamagedRectangleGetsTheDefaultSize)
{
    const PlacedWindow placed = Place(Rect(500, 500, 400, 100));
    EXPECT_EQ(placed.rect.width, 798);
    EXPECT_EQ(placed.rect.height, 580);
    const PlacedWindow extreme = Place(Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    EXPECT_EQ(extreme.rect.width, 798);
    EXPECT_GE(extreme.rect.y, kWorkArea.y);
}

TEST(WindowPlacementTest, StoredStateRoundTrips)
{
    const ScreenRect normal{210, 130, 900, 700};
    const WindowPlacement stored = PlacementOf(normal, kWorkArea, true, 32770, 1);
    EXPECT_EQ(stored.left, 210);
    EXPECT_EQ(stored.top, 100);
    EXPECT_EQ(stored.status, 3);
    EXPECT_EQ(stored.style, 32770u);
    EXPECT_EQ(stored.theme, 1);
    EXPECT_EQ(Place(stored), (PlacedWindow{normal, true}));
}

TEST(ProfileFrameSettingsTest, StyleAndPlacementSurviveTheStore)
{
    test::TempTree tree;
    {
        settings::ProfileStore store(tree.path("Tarnwick.conf"));
        ProfileFrameSettings frame(store);
        EXPECT_EQ(frame.guiStyle(), 32770);
        EXPECT_EQ(frame.placement(), WindowPlacement{});
        frame.setGuiStyle(32769);
        frame.setPlacement(Rect(-20, 5, 700, 505));
    }
    settings::ProfileStore store(tree.path("Tarnwick.conf"));
    ProfileFrameSettings frame(store);
    EXPECT_EQ(frame.guiStyle(), 32769);
    EXPECT_EQ(frame.placement(), Rect(-20, 5, 700, 505));
}

}  // namespace
}  // namespace tarnwick::ui
