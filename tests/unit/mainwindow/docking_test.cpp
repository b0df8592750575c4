#include <gtest/gtest.h>

#include "launcher/mainwindow/docking.h"
#include "launcher/mainwindow/hotkey.h"
#include "launcher/mainwindow/monitors.h"
#include "launcher/scene/pixel_map.h"

using namespace vt;

namespace {

// A 1024 x 768 screen at 15 twips per pixel.
const DockScreen kScreen{15360, 11520};
const Desktop kDesktop{Monitor{{0, 0, 15360, 11520}, {0, 0, 15360, 11520}, 96}};
constexpr int kW = 3000;
constexpr int kH = 4500;

DockWindow At(int left, int top) {
    return DockWindow{left, top, kW, kH};
}
// Far from any window used below.
const DockPoint kAway{10000, 1000};

}  // namespace

TEST(Docking, EachEdgeTucksLeavingAStrip) {
    struct Case {
        const char* name;
        DockWindow window;
        DockEdge side;
        DockPoint pos;
    };
    const Case cases[] = {
        {"left", At(0, 3000), DockEdge::Left, {80 - kW, 3000}},
        {"beyond left", At(-500, 3000), DockEdge::Left, {80 - kW, 3000}},
        {"corner goes left", At(0, 0), DockEdge::Left, {80 - kW, 0}},
        {"top", At(5000, 0), DockEdge::Top, {5000, 80 - kH}},
        {"right flush", At(15360 - kW, 3000), DockEdge::Right, {15360 - 80, 3000}},
        {"second screen to the right", At(20000, 3000), DockEdge::Right, {15360 - 80, 3000}},
        {"bottom flush", At(5000, 11520 - kH), DockEdge::Bottom, {5000, 11520 - 80}},
        {"middle", At(5000, 3000), DockEdge::None, {5000, 3000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EdgeDocker docker;
        DockPoint pos = docker.Tick(kAway, c.window, kScreen);
        EXPECT_EQ(docker.DockSide(), c.side);
        EXPECT_EQ(pos.x, c.pos.x);
        EXPECT_EQ(pos.y, c.pos.y);
    }
}

TEST(Docking, TuckedWindowStaysUntilTheMouseTouchesTheStrip) {
    EdgeDocker docker;
    DockPoint pos = docker.Tick(kAway, At(0, 3000), kScreen);
    ASSERT_EQ(pos.x, -2920);
    // Still away: the tucked window passes its own edge test again.
    pos = docker.Tick(kAway, At(pos.x, 3000), kScreen);
    EXPECT_EQ(pos.x, -2920);
    EXPECT_EQ(docker.DockSide(), DockEdge::Left);
    // Just outside the strip: nothing.
    pos = docker.Tick({81, 5000}, At(pos.x, 3000), kScreen);
    EXPECT_EQ(pos.x, -2920);
    // The strip's last twip counts as inside.
    pos = docker.Tick({80, 5000}, At(pos.x, 3000), kScreen);
    EXPECT_EQ(pos.x, 0);
    EXPECT_EQ(docker.DockSide(), DockEdge::None);
    // The mouse still on it: stays out.
    pos = docker.Tick({80, 5000}, At(pos.x, 3000), kScreen);
    EXPECT_EQ(pos.x, 0);
}

TEST(Docking, EachEdgeComesBackFlush) {
    struct Case {
        DockWindow start;
        DockPoint touch;  // inside the strip
        DockPoint back;
    };
    const Case cases[] = {
        {At(15360 - kW, 3000), {15300, 5000}, {15360 - kW, 3000}},
        {At(5000, 0), {6000, 40}, {5000, 0}},
        {At(5000, 11520 - kH), {6000, 11500}, {5000, 11520 - kH}},
    };
    for (const Case& c : cases) {
        EdgeDocker docker;
        DockPoint tucked = docker.Tick(kAway, c.start, kScreen);
        DockPoint back = docker.Tick(c.touch, At(tucked.x, tucked.y), kScreen);
        EXPECT_EQ(back.x, c.back.x);
        EXPECT_EQ(back.y, c.back.y);
        EXPECT_EQ(docker.DockSide(), DockEdge::None);
    }
}

TEST(Docking, TuckedWindowsLeaveTheSameStripAndComeBackFlushAtEveryDpi) {
    // The shell converts with the window's mapping: 1280 x 800 pixels, a
    // window of 4800 x 7200 twips pushed against each edge in pixels.
    for (int dpi : {96, 120, 144, 192}) {
        PixelMap map(dpi);
        const DockScreen screen{map.Twips(1280), map.Twips(800)};
        const int w = map.Px(4800), h = map.Px(7200 / 2);
        struct Case {
            int left, top;  // pixels
            DockEdge edge;
        };
        const Case cases[] = {{0, 100, DockEdge::Left},
                              {300, 0, DockEdge::Top},
                              {1280 - w, 100, DockEdge::Right},
                              {300, 800 - h, DockEdge::Bottom}};
        for (const Case& c : cases) {
            EdgeDocker docker;
            const DockWindow start = DockWindowFromPixels(map, c.left, c.top, c.left + w, c.top + h);
            DockPoint tucked = docker.Tick(DockPoint{-1000, -1000}, start, screen);  // the mouse is elsewhere
            ASSERT_EQ(docker.DockSide(), c.edge) << dpi;
            // What stays on the screen is 80 twips, rounded once.
            const int x = map.Px(tucked.x), y = map.Px(tucked.y);
            int strip = c.edge == DockEdge::Left    ? x + w
                        : c.edge == DockEdge::Top   ? y + h
                        : c.edge == DockEdge::Right ? 1280 - x
                                                    : 800 - y;
            EXPECT_NEAR(strip, kDockStripTwips * dpi / 1440.0, 1.0) << dpi;
            EXPECT_GE(strip, 1) << dpi;
            // Back from the strip it stands exactly where it was pushed.
            DockWindow now = DockWindowFromPixels(map, x, y, x + w, y + h);
            DockPoint back = docker.Undock(now, screen);
            EXPECT_EQ(map.Px(back.x), c.left) << dpi << " dpi, edge " << static_cast<int>(c.edge);
            EXPECT_EQ(map.Px(back.y), c.top) << dpi << " dpi, edge " << static_cast<int>(c.edge);
        }
    }
}

TEST(Hotkey, ShowsAndUndocksAndNeverHides) {
    EdgeDocker docker;
    DockPoint tucked = docker.Tick(kAway, At(5000, 11520 - kH), kScreen);
    ASSERT_EQ(docker.DockSide(), DockEdge::Bottom);

    WindowAction a = OnHotkey(false, kAway, At(tucked.x, tucked.y), kDesktop, docker);
    EXPECT_EQ(a.visibility, WindowAction::Visibility::Show);
    ASSERT_TRUE(a.moveTo.has_value());
    EXPECT_EQ(a.moveTo->x, 5000);
    EXPECT_EQ(a.moveTo->y, 11520 - kH);
    EXPECT_EQ(docker.DockSide(), DockEdge::None);

    // Pressed again on the visible, undocked window: still shown, not moved.
    a = OnHotkey(false, kAway, At(5000, 11520 - kH), kDesktop, docker);
    EXPECT_EQ(a.visibility, WindowAction::Visibility::Show);
    EXPECT_FALSE(a.moveTo.has_value());
}

TEST(Hotkey, ShowInMouseMovesToThePointerButKeepsTheWindowOnScreen) {
    EdgeDocker docker;
    docker.Tick(kAway, At(15360 - kW, 3000), kScreen);
    ASSERT_EQ(docker.DockSide(), DockEdge::Right);

    WindowAction a = OnHotkey(true, {4000, 2000}, At(15360 - 80, 3000), kDesktop, docker);
    ASSERT_TRUE(a.moveTo.has_value());
    EXPECT_EQ(a.moveTo->x, 4000);
    EXPECT_EQ(a.moveTo->y, 2000);
    EXPECT_EQ(docker.DockSide(), DockEdge::None);

    a = OnHotkey(true, {15000, 11000}, At(4000, 2000), kDesktop, docker);
    EXPECT_EQ(a.moveTo->x, 15360 - kW);
    EXPECT_EQ(a.moveTo->y, 11520 - kH);
}

TEST(Tray, LeftClickTogglesAndRightClickOffersTheOtherState) {
    EdgeDocker docker;
    docker.Tick(kAway, At(0, 3000), kScreen);

    // Visible but tucked: the click hides it and it stays docked.
    WindowAction a = OnTrayMessage(kTrayLeftButtonDown, true, kAway, At(-2920, 3000), kDesktop, docker);
    EXPECT_EQ(a.visibility, WindowAction::Visibility::Hide);
    EXPECT_FALSE(a.moveTo.has_value());
    EXPECT_EQ(docker.DockSide(), DockEdge::Left);

    a = OnTrayMessage(kTrayLeftButtonDown, false, kAway, At(-2920, 3000), kDesktop, docker);
    EXPECT_EQ(a.visibility, WindowAction::Visibility::Show);
    ASSERT_TRUE(a.moveTo.has_value());
    EXPECT_EQ(a.moveTo->x, 0);
    EXPECT_EQ(docker.DockSide(), DockEdge::None);

    a = OnTrayMessage(kTrayRightButtonDown, false, kAway, At(0, 3000), kDesktop, docker);
    EXPECT_TRUE(a.trayMenu);
    EXPECT_TRUE(a.showEntryEnabled);
    EXPECT_FALSE(a.hideEntryEnabled);
    EXPECT_EQ(a.visibility, WindowAction::Visibility::Keep);
    a = OnTrayMessage(kTrayRightButtonDown, true, kAway, At(0, 3000), kDesktop, docker);
    EXPECT_FALSE(a.showEntryEnabled);
    EXPECT_TRUE(a.hideEntryEnabled);

    a = OnTrayMessage(0x200 /* mouse move */, true, kAway, At(0, 3000), kDesktop, docker);
    EXPECT_FALSE(a.trayMenu);
    EXPECT_EQ(a.visibility, WindowAction::Visibility::Keep);
}
