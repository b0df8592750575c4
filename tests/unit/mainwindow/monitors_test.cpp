#include <gtest/gtest.h>

#include "launcher/mainwindow/docking.h"
#include "launcher/mainwindow/hotkey.h"
#include "launcher/mainwindow/monitors.h"
#include "launcher/scene/pixel_map.h"

using namespace vt;

namespace {

// Monitors in pixels; the window shell converts them with the window's map.
Monitor Mon(int left, int top, int width, int height, int dpi = 96) {
    PixelBox b{left, top, left + width, top + height};
    return Monitor{b, b, dpi};
}

// A taskbar 40 pixels thick along one edge of the monitor's work area.
Monitor WithTaskbar(Monitor m, DockEdge edge) {
    switch (edge) {
        case DockEdge::Left:
            m.work.left += 40;
            break;
        case DockEdge::Top:
            m.work.top += 40;
            break;
        case DockEdge::Right:
            m.work.right -= 40;
            break;
        case DockEdge::Bottom:
            m.work.bottom -= 40;
            break;
        case DockEdge::None:
            break;
    }
    return m;
}

// A window of w x h pixels with its top-left corner at (x, y), in twips of `map`.
DockWindow Win(const PixelMap& map, int x, int y, int w, int h) {
    return DockWindowFromPixels(map, x, y, x + w, y + h);
}

std::string Edges(const DockScreen& s) {
    std::string e;
    if (s.openLeft) e += 'L';
    if (s.openTop) e += 'T';
    if (s.openRight) e += 'R';
    if (s.openBottom) e += 'B';
    return e;
}

}  // namespace

TEST(Monitors, OnlyEdgesWithNoMonitorBeyondAreOpen) {
    struct Case {
        const char* name;
        Desktop desktop;
        std::vector<std::string> open;  // per monitor
    };
    const Case cases[] = {
        {"one", {Mon(0, 0, 1920, 1080)}, {"LTRB"}},
        {"second to the right, taller", {Mon(0, 0, 1920, 1080), Mon(1920, -200, 1600, 1400)}, {"LTB", "TRB"}},
        {"second to the left", {Mon(0, 0, 1920, 1080), Mon(-1280, 300, 1280, 1024)}, {"TRB", "LTB"}},
        {"second above", {Mon(0, 0, 1920, 1080), Mon(200, -900, 1440, 900)}, {"LRB", "LTR"}},
        {"second below, offset", {Mon(0, 0, 1920, 1080), Mon(1500, 1080, 1920, 1080)}, {"LTR", "LRB"}},
        {"only a corner touches", {Mon(0, 0, 1920, 1080), Mon(1920, 1080, 1280, 1024)}, {"LTRB", "LTRB"}},
        {"three in a row",
         {Mon(0, 0, 1920, 1080), Mon(-2560, -360, 2560, 1440, 144), Mon(1920, 0, 1080, 1920)},
         {"TB", "LTB", "TRB"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int dpi : {96, 144}) {
            const Desktop twips = DesktopInTwips(PixelMap(dpi), c.desktop);
            for (size_t i = 0; i < c.desktop.size(); ++i) {
                EXPECT_EQ(Edges(DockAreaOf(twips, i)), c.open[i]) << "monitor " << i << " at " << dpi;
            }
        }
    }
}

TEST(Monitors, WhichMonitorAPointAndAWindowAreOn) {
    // Primary in the middle, one left of it (negative x), one above (negative y).
    const Desktop d{Mon(0, 0, 1920, 1080), Mon(-1600, 0, 1600, 900, 120), Mon(0, -1440, 2560, 1440, 192)};
    EXPECT_EQ(MonitorAt(d, {10, 10}), 0u);
    EXPECT_EQ(MonitorAt(d, {-1, 10}), 1u);
    EXPECT_EQ(MonitorAt(d, {5, -1}), 2u);
    EXPECT_EQ(MonitorAt(d, {-1600, 899}), 1u);
    // Off every monitor: the nearest.
    EXPECT_EQ(MonitorAt(d, {-800, 950}), 1u);
    EXPECT_EQ(MonitorAt(d, {3000, -100}), 2u);
    EXPECT_EQ(MonitorAt(d, {2200, 500}), 0u);
    // A window straddling two monitors is on the one holding more of it.
    EXPECT_EQ(MonitorOf(d, DockWindow{-150, 100, 200, 300}), 1u);
    EXPECT_EQ(MonitorOf(d, DockWindow{-50, 100, 200, 300}), 0u);
    EXPECT_EQ(MonitorOf(d, DockWindow{100, -250, 200, 300}), 2u);
    // On none: the one nearest its centre.
    EXPECT_EQ(MonitorOf(d, DockWindow{-3000, 200, 200, 300}), 1u);
}

TEST(Monitors, MappedToTwipsNeighboursStillTouch) {
    // Mixed DPIs: coordinates are pixels of the whole desktop, converted with
    // the DPI of whichever monitor the window is on.
    const Desktop px{Mon(0, 0, 1366, 768, 96), Mon(1366, -300, 3840, 2160, 192), Mon(-1050, 0, 1050, 1680, 120)};
    for (int dpi : {96, 120, 144, 168, 192}) {
        const Desktop t = DesktopInTwips(PixelMap(dpi), px);
        EXPECT_EQ(t[0].bounds.right, t[1].bounds.left) << dpi;
        EXPECT_EQ(t[2].bounds.right, t[0].bounds.left) << dpi;
        EXPECT_EQ(t[1].dpi, 192);
        EXPECT_FALSE(DockAreaOf(t, 0).openRight) << dpi;
        EXPECT_FALSE(DockAreaOf(t, 0).openLeft) << dpi;
    }
}

TEST(Monitors, DockingHidesOnlyBehindOpenEdgesOfTheWindowsMonitor) {
    // Primary, a monitor right of it, and one left of it at 144 dpi.
    const Desktop px{Mon(0, 0, 1920, 1080), Mon(1920, 0, 1920, 1080), Mon(-2880, -200, 2880, 1620, 144)};
    struct Case {
        const char* name;
        int dpi;   // of the monitor the window is on
        int x, y;  // window corner, pixels
        DockEdge edge;
        int stripAt;  // pixel coordinate of the strip's inner edge along the docking axis
    };
    const int w = 300, h = 450;
    const Case cases[] = {
        {"primary's right edge has a neighbour", 96, 1920 - w, 300, DockEdge::None, 0},
        {"over into the neighbour", 96, 1920 - w + 40, 300, DockEdge::None, 0},
        {"primary's left edge has a neighbour", 96, 0, 300, DockEdge::None, 0},
        {"primary's top edge is open", 96, 500, 0, DockEdge::Top, 0},
        {"primary's bottom edge is open", 96, 500, 1080 - h, DockEdge::Bottom, 1080},
        {"second's right edge is open", 96, 3840 - w, 300, DockEdge::Right, 3840},
        {"left monitor's left edge, negative", 144, -2880, 100, DockEdge::Left, -2880},
        {"left monitor's top edge, above the primary", 144, -1500, -200, DockEdge::Top, -200},
        {"left monitor's bottom edge", 144, -1500, 1420 - h, DockEdge::Bottom, 1420},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PixelMap map(c.dpi);
        const Desktop d = DesktopInTwips(map, px);
        EdgeDocker docker;
        const DockWindow win = Win(map, c.x, c.y, w, h);
        const DockScreen area = DockAreaOf(d, MonitorOf(d, win));
        const DockPoint away{map.Twips(5000), map.Twips(5000)};
        DockPoint p = docker.Tick(away, win, area);
        ASSERT_EQ(docker.DockSide(), c.edge);
        if (c.edge == DockEdge::None) {
            EXPECT_EQ(p.x, win.left);
            EXPECT_EQ(p.y, win.top);
            continue;
        }
        // The strip shows on the window's own monitor, kDockStripTwips wide.
        const int strip = map.Px(kDockStripTwips);
        const int x = map.Px(p.x), y = map.Px(p.y);
        switch (c.edge) {
            case DockEdge::Left:
                EXPECT_NEAR(x + w, c.stripAt + strip, 1);
                break;
            case DockEdge::Top:
                EXPECT_NEAR(y + h, c.stripAt + strip, 1);
                break;
            case DockEdge::Right:
                EXPECT_NEAR(x, c.stripAt - strip, 1);
                break;
            case DockEdge::Bottom:
                EXPECT_NEAR(y, c.stripAt - strip, 1);
                break;
            case DockEdge::None:
                break;
        }
        // Tucked, it is still on that monitor, and touching the strip brings
        // it back flush with the edge there.
        const DockWindow tucked = Win(map, x, y, w, h);
        EXPECT_EQ(MonitorOf(d, tucked), MonitorOf(d, win));
        docker.Tick(away, tucked, DockAreaOf(d, MonitorOf(d, tucked)));
        ASSERT_EQ(docker.DockSide(), c.edge);
        const DockPoint inStrip{c.edge == DockEdge::Right ? tucked.left + 10 : tucked.left + tucked.width - 10,
                                c.edge == DockEdge::Bottom ? tucked.top + 10 : tucked.top + tucked.height - 10};
        DockPoint back = docker.Tick(inStrip, tucked, DockAreaOf(d, MonitorOf(d, tucked)));
        EXPECT_EQ(docker.DockSide(), DockEdge::None);
        EXPECT_EQ(map.Px(back.x), c.edge == DockEdge::Left || c.edge == DockEdge::Right ? c.x : x);
        EXPECT_EQ(map.Px(back.y), c.edge == DockEdge::Top || c.edge == DockEdge::Bottom ? c.y : y);
    }
}

TEST(Monitors, ATaskbarOnAnySideKeepsTheStripInSight) {
    const int w = 300, h = 450;
    for (DockEdge bar : {DockEdge::Left, DockEdge::Top, DockEdge::Right, DockEdge::Bottom}) {
        SCOPED_TRACE(static_cast<int>(bar));
        const PixelMap map(120);
        const Desktop px{WithTaskbar(Mon(0, 0, 1600, 900), bar)};
        const Desktop d = DesktopInTwips(map, px);
        const DockScreen area = DockAreaOf(d, 0);
        // Pushed over the taskbar against the monitor's edge: it tucks behind
        // the taskbar's edge of the work area, its strip beside the taskbar.
        const int x = bar == DockEdge::Left ? 0 : bar == DockEdge::Right ? 1600 - w : 600;
        const int y = bar == DockEdge::Top ? 0 : bar == DockEdge::Bottom ? 900 - h : 300;
        EdgeDocker docker;
        const DockWindow win = Win(map, x, y, w, h);
        DockPoint p = docker.Tick({0, 0}, win, area);
        // The pointer at the screen's corner is on the taskbar, not on the window.
        ASSERT_EQ(docker.DockSide(), bar);
        const PixelBox& work = px[0].work;
        const int strip = map.Px(kDockStripTwips);
        switch (bar) {
            case DockEdge::Left:
                EXPECT_NEAR(map.Px(p.x) + w, work.left + strip, 1);
                break;
            case DockEdge::Top:
                EXPECT_NEAR(map.Px(p.y) + h, work.top + strip, 1);
                break;
            case DockEdge::Right:
                EXPECT_NEAR(map.Px(p.x), work.right - strip, 1);
                break;
            case DockEdge::Bottom:
                EXPECT_NEAR(map.Px(p.y), work.bottom - strip, 1);
                break;
            case DockEdge::None:
                break;
        }
        // Revealed, it stands flush with the taskbar, not under it.
        DockPoint back = docker.Undock(DockWindow{p.x, p.y, win.width, win.height}, area);
        const PixelBox shown{map.Px(back.x), map.Px(back.y), map.Px(back.x) + w, map.Px(back.y) + h};
        EXPECT_GE(shown.left, work.left);
        EXPECT_GE(shown.top, work.top);
        EXPECT_LE(shown.right, work.right + 1);
        EXPECT_LE(shown.bottom, work.bottom + 1);
    }
}

TEST(Monitors, ARememberedPlaceOnAMissingMonitorComesBackOntoTheNearestWorkArea) {
    const PixelMap map(96);
    // The window was last on a monitor right of the primary, or above it.
    const Desktop now = DesktopInTwips(map, {WithTaskbar(Mon(0, 0, 1920, 1080), DockEdge::Bottom),
                                             WithTaskbar(Mon(-1280, 0, 1280, 1024), DockEdge::Left)});
    struct Case {
        const char* name;
        int x, y;
        int wantX, wantY;  // pixels
    };
    const Case cases[] = {
        {"right of everything", 2500, 400, 1920 - 300, 400}, {"below, taskbar side", 100, 1500, 100, 1040 - 450},
        {"above the left monitor", -900, -2000, -900, 0},    {"far left", -4000, 100, -1280 + 40, 100},
        {"on the primary: stays", 1700, 400, 1700, 400},     {"on the left monitor: stays", -1000, 500, -1000, 500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DockPoint p = OntoDesktop(now, Win(map, c.x, c.y, 300, 450));
        EXPECT_EQ(map.Px(p.x), c.wantX);
        EXPECT_EQ(map.Px(p.y), c.wantY);
    }
}

TEST(Monitors, TheHotkeyAndTheTrayBringTheWindowToThePointersMonitor) {
    const PixelMap map(144);
    const Desktop d =
        DesktopInTwips(map, {Mon(0, 0, 2880, 1620, 144), WithTaskbar(Mon(-1920, -300, 1920, 1080), DockEdge::Top)});
    const DockWindow onPrimary = Win(map, 600, 300, 450, 675);
    const DockPoint onSecond{map.Twips(-100), map.Twips(700)};

    // At the pointer, kept inside the second monitor's work area.
    EdgeDocker docker;
    WindowAction a = OnHotkey(true, onSecond, onPrimary, d, docker);
    ASSERT_TRUE(a.moveTo);
    EXPECT_EQ(map.Px(a.moveTo->x), -450);
    EXPECT_EQ(map.Px(a.moveTo->y), 780 - 675);

    // Not at the pointer: the same place on the pointer's monitor, relative to its work area.
    a = OnHotkey(false, onSecond, onPrimary, d, docker);
    ASSERT_TRUE(a.moveTo);
    EXPECT_EQ(map.Px(a.moveTo->x), -1920 + 600);
    EXPECT_EQ(map.Px(a.moveTo->y), -260 + 300);
    // The pointer on the window's own monitor: it stays.
    a = OnHotkey(false, {map.Twips(10), map.Twips(10)}, onPrimary, d, docker);
    EXPECT_FALSE(a.moveTo);

    // Tucked behind the primary's right edge and hidden, the tray brings it
    // out flush with that edge when the pointer is on the primary...
    docker.Tick(onSecond, Win(map, 2880 - 450, 300, 450, 675), DockAreaOf(d, 0));
    ASSERT_EQ(docker.DockSide(), DockEdge::Right);
    const DockWindow tucked = Win(map, 2880 - map.Px(kDockStripTwips), 300, 450, 675);
    EdgeDocker copy = docker;
    a = OnTrayMessage(kTrayLeftButtonDown, false, {map.Twips(2800), map.Twips(1600)}, tucked, d, copy);
    EXPECT_EQ(a.visibility, WindowAction::Visibility::Show);
    ASSERT_TRUE(a.moveTo);
    EXPECT_EQ(map.Px(a.moveTo->x), 2880 - 450);
    EXPECT_EQ(copy.DockSide(), DockEdge::None);
    // ...and onto the second monitor when the pointer is there.
    a = OnTrayMessage(kTrayLeftButtonDown, false, onSecond, tucked, d, docker);
    ASSERT_TRUE(a.moveTo);
    EXPECT_EQ(map.Px(a.moveTo->x), -450);
    EXPECT_EQ(map.Px(a.moveTo->y), -260 + 300);
}
