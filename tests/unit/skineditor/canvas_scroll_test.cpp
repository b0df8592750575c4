#include "skineditor/canvas_scroll.h"

#include <gtest/gtest.h>

namespace vt {
namespace {

constexpr int kBar = 17;

TEST(CanvasScroll, BarsAppearOnlyWhereTheMockUpDoesNotFit) {
    struct Case {
        const char* what;
        int frameW, frameH, contentW, contentH;
        bool hbar, vbar;
        int viewW, viewH;
    };
    const Case cases[] = {
        {"fits exactly", 477, 437, 477, 437, false, false, 477, 437},
        {"start-up mock-up", 477, 437, 300, 350, false, false, 477, 437},
        {"the default skin is taller", 477, 437, 360, 460, false, true, 460, 437},
        {"wider only", 477, 437, 600, 300, true, false, 477, 420},
        {"both", 477, 437, 900, 900, true, true, 460, 420},
        // Fits in height until the horizontal bar takes its room.
        {"one bar forces the other", 477, 437, 600, 430, true, true, 460, 420},
        // Fits in width until the vertical bar takes its room.
        {"vertical forces horizontal", 477, 437, 470, 500, true, true, 460, 420},
        {"empty mock-up", 477, 437, 0, 0, false, false, 477, 437},
    };
    for (const Case& c : cases) {
        const ScrollLayout l = LayoutScroll(c.frameW, c.frameH, c.contentW, c.contentH, kBar, kBar);
        EXPECT_EQ(l.x.bar, c.hbar) << c.what;
        EXPECT_EQ(l.y.bar, c.vbar) << c.what;
        EXPECT_EQ(l.x.view, c.viewW) << c.what;
        EXPECT_EQ(l.y.view, c.viewH) << c.what;
        EXPECT_EQ(l.x.pos, 0) << c.what;
        EXPECT_EQ(l.y.pos, 0) << c.what;
    }
}

TEST(CanvasScroll, KeptPositionIsClampedWhenTheMockUpShrinks) {
    ScrollLayout l = LayoutScroll(477, 437, 360, 460, kBar, kBar, 0, 23);
    EXPECT_EQ(l.y.pos, 23);
    EXPECT_EQ(l.y.Max(), 23);
    l = LayoutScroll(477, 437, 360, 450, kBar, kBar, 0, 23);
    EXPECT_EQ(l.y.pos, 13);
    // Smaller than the frame: back to the top, bar gone.
    l = LayoutScroll(477, 437, 300, 350, kBar, kBar, 40, 23);
    EXPECT_FALSE(l.y.bar);
    EXPECT_EQ(l.x.pos, 0);
    EXPECT_EQ(l.y.pos, 0);
    // A negative kept position (never valid) is clamped too.
    l = LayoutScroll(477, 437, 900, 900, kBar, kBar, -5, -5);
    EXPECT_EQ(l.x.pos, 0);
    EXPECT_EQ(l.y.pos, 0);
}

TEST(CanvasScroll, AreaPastTheWindowKeepsTheViewWhereItWas) {
    // Something dragged 200 pixels off the left edge while the view showed
    // the window from its left edge: the area grows, the view does not move.
    ScrollLayout l = LayoutScrollArea(477, 437, PixelArea{-200, 0, 900, 350}, kBar, kBar, 0, 0);
    EXPECT_TRUE(l.x.bar);
    EXPECT_FALSE(l.y.bar);
    EXPECT_EQ(l.x.origin, -200);
    EXPECT_EQ(l.x.content, 1100);
    EXPECT_EQ(l.x.pos, 200);
    EXPECT_EQ(l.x.First(), 0);
    // Scrolled to the start, the part off the window is in view.
    l.x.pos = ScrollTo(l.x, ScrollRequest::ToStart, 16);
    EXPECT_EQ(l.x.First(), -200);

    // Only as far as the range allows: the view cannot end past the area.
    l = LayoutScrollArea(477, 437, PixelArea{-200, 0, 300, 350}, kBar, kBar, 0, 0);
    EXPECT_EQ(l.x.pos, l.x.Max());
    EXPECT_EQ(l.x.First(), 300 - 477);

    // An area that fits is shown whole, from its start.
    l = LayoutScrollArea(477, 437, PixelArea{-50, -30, 300, 350}, kBar, kBar, 0, 0);
    EXPECT_FALSE(l.x.bar);
    EXPECT_FALSE(l.y.bar);
    EXPECT_EQ(l.x.First(), -50);
    EXPECT_EQ(l.y.First(), -30);

    // Back to the window alone: as before any of it.
    l = LayoutScrollArea(477, 437, PixelArea{0, 0, 360, 460}, kBar, kBar, -200, 5);
    EXPECT_TRUE(l.y.bar);
    EXPECT_EQ(l.x.First(), 0);
    EXPECT_EQ(l.y.First(), 5);
}

TEST(CanvasScroll, AreaUnionTakesInBoth) {
    const PixelArea u = Union(PixelArea{0, 0, 300, 350}, PixelArea{-40, 10, 200, 500});
    EXPECT_EQ(u.left, -40);
    EXPECT_EQ(u.top, 0);
    EXPECT_EQ(u.right, 300);
    EXPECT_EQ(u.bottom, 500);
}

TEST(CanvasScroll, RequestsStayInsideTheMockUp) {
    ScrollAxis a;
    a.bar = true;
    a.view = 400;
    a.content = 1000;  // max 600
    a.pos = 10;
    struct Case {
        ScrollRequest r;
        int track;
        int want;
    };
    const Case cases[] = {
        {ScrollRequest::LineBack, 0, 0},       {ScrollRequest::LineForward, 0, 26},
        {ScrollRequest::PageBack, 0, 0},       {ScrollRequest::PageForward, 0, 394},
        {ScrollRequest::ToStart, 0, 0},        {ScrollRequest::ToEnd, 0, 600},
        {ScrollRequest::ToPosition, 250, 250}, {ScrollRequest::ToPosition, 9999, 600},
        {ScrollRequest::ToPosition, -3, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScrollTo(a, c.r, 16, c.track), c.want) << static_cast<int>(c.r);
    a.pos = 590;
    EXPECT_EQ(ScrollTo(a, ScrollRequest::PageForward, 16), 600);
    // A view smaller than a line still moves by a line per page.
    a.view = 10;
    a.pos = 0;
    EXPECT_EQ(ScrollTo(a, ScrollRequest::PageForward, 16), 16);
}

TEST(CanvasScroll, WheelScrollsByLinesOrPagesAndStopsAtTheEnds) {
    ScrollAxis a;
    a.bar = true;
    a.view = 437;
    a.content = 460;  // max 23
    a.pos = 0;
    EXPECT_EQ(WheelTo(a, -120, 3, 16), 23);  // one notch down reaches the bottom
    a.pos = 23;
    EXPECT_EQ(WheelTo(a, 120, 3, 16), 0);
    a.content = 2000;
    a.pos = 100;
    EXPECT_EQ(WheelTo(a, -120, 3, 16), 148);
    EXPECT_EQ(WheelTo(a, -60, 3, 16), 124);    // half notches of fine wheels
    EXPECT_EQ(WheelTo(a, -120, -1, 16), 537);  // a page a notch
    // Nothing to scroll: stays put.
    a.content = 300;
    a.pos = 0;
    EXPECT_EQ(WheelTo(a, -120, 3, 16), 0);
}

}  // namespace
}  // namespace vt
