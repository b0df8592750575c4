#include <gtest/gtest.h>

#include "launcher/mainwindow/scrolling.h"

using namespace vt;

TEST(ScrollButtons, TeamStripClampsAtBothEndsAfter25Clicks) {
    ScrollChrome chrome;
    StripGeometry g;
    g.teamViewWidth = 6000;
    g.teamStripWidth = 11000;  // 5000 wider than the bar
    int clicks = 0;
    while (true) {
        StripGeometry next = chrome.OnScrollButtonClick(ChromeButton::Right, g, false, true);
        if (next.teamLeft == g.teamLeft) break;
        EXPECT_EQ(next.teamLeft, g.teamLeft - 200);
        g = next;
        ASSERT_LT(++clicks, 100);
    }
    EXPECT_EQ(clicks, 25);
    EXPECT_EQ(g.teamLeft, -5000);

    clicks = 0;
    while (g.teamLeft != 0) {
        g = chrome.OnScrollButtonClick(ChromeButton::Left, g, false, true);
        ASSERT_LT(++clicks, 100);
    }
    EXPECT_EQ(clicks, 25);
    EXPECT_EQ(chrome.OnScrollButtonClick(ChromeButton::Left, g, false, true).teamLeft, 0);
}

TEST(ScrollButtons, StepsSnapToTheEndsWhenLessThanAStepRemains) {
    struct Case {
        int offset, view, strip;
        int start, end;
    };
    const Case cases[] = {
        {-150, 1000, 1500, 0, -350},     // near the start: snaps to 0
        {-450, 1000, 1500, -250, -500},  // near the end: snaps to the far edge
        {0, 1000, 1000, 0, 0},           // a strip that fits never moves
        {-200, 1000, 1400, 0, -400},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StepTowardsStart(c.offset), c.start) << c.offset;
        EXPECT_EQ(StepTowardsEnd(c.offset, c.view, c.strip), c.end) << c.offset;
    }
}

TEST(ScrollButtons, ClicksMoveOnlyWhileTheirAutoRollIsOff) {
    ScrollChrome chrome;
    StripGeometry g{-400, 1000, 3000, -400, 2000, 5000};
    StripGeometry r = chrome.OnScrollButtonClick(ChromeButton::Up, g, false, true);
    EXPECT_EQ(r.itemTop, -400);
    r = chrome.OnScrollButtonClick(ChromeButton::Down, g, false, true);
    EXPECT_EQ(r.itemTop, -400);
    r = chrome.OnScrollButtonClick(ChromeButton::Up, g, true, false);
    EXPECT_EQ(r.itemTop, -200);
    EXPECT_EQ(r.teamLeft, -400);
    r = chrome.OnScrollButtonClick(ChromeButton::Down, g, true, false);
    EXPECT_EQ(r.itemTop, -600);
    r = chrome.OnScrollButtonClick(ChromeButton::Left, g, true, false);
    EXPECT_EQ(r.teamLeft, -400);
}

TEST(ScrollButtons, PicturesFollowTheMouse) {
    ThreeStateButton b;
    auto shown = [&] { return b.Visible(); };
    EXPECT_EQ(shown(), (std::array<bool, 3>{true, false, false}));
    b.OnMouseMove(false);
    EXPECT_EQ(shown(), (std::array<bool, 3>{false, true, false}));
    b.OnMouseDown();
    EXPECT_EQ(shown(), (std::array<bool, 3>{false, false, true}));
    b.OnMouseMove(true);  // dragging over it keeps it pressed
    EXPECT_EQ(b.Picture(), ButtonPicture::Pressed);
    b.OnMouseUp();
    EXPECT_EQ(b.Picture(), ButtonPicture::Hover);
    b.Reset();
    EXPECT_EQ(b.Picture(), ButtonPicture::Normal);
}

TEST(AutoRoll, HoverRollsUntilTheHoverReset) {
    ScrollChrome chrome;
    chrome.OnScrollButtonHover(ChromeButton::Left, false, true, true);
    EXPECT_TRUE(chrome.TeamRollRunning());
    EXPECT_EQ(chrome.Direction(), RollDirection::TeamsLeft);
    EXPECT_EQ(chrome.Button(ChromeButton::Left).Picture(), ButtonPicture::Hover);

    // Straight onto the other button: the direction turns, the timer runs on,
    // and the first button keeps its hover look until the reset.
    chrome.OnScrollButtonHover(ChromeButton::Right, true, true, true);
    EXPECT_TRUE(chrome.TeamRollRunning());
    EXPECT_EQ(chrome.Direction(), RollDirection::TeamsRight);
    EXPECT_EQ(chrome.OnTeamRollTick(-1000, 6000, 11000), -1200);
    EXPECT_EQ(chrome.OnTeamRollTick(-5000, 6000, 11000), -5000);  // at the clamp nothing moves
    EXPECT_EQ(chrome.Button(ChromeButton::Left).Picture(), ButtonPicture::Hover);

    chrome.OnScrollButtonHover(ChromeButton::Down, false, true, true);
    EXPECT_TRUE(chrome.ItemRollRunning());
    EXPECT_EQ(chrome.OnItemRollTick(0, 2000, 2600), -200);
    EXPECT_EQ(chrome.OnItemRollTick(-500, 2000, 2600), -600);
    // The team timer may still tick, but the direction is not its own.
    EXPECT_EQ(chrome.OnTeamRollTick(-1000, 6000, 11000), -1000);

    chrome.Button(ChromeButton::Close).OnMouseMove(false);
    chrome.ResetHover(-1, -1, 0);
    EXPECT_FALSE(chrome.TeamRollRunning());
    EXPECT_FALSE(chrome.ItemRollRunning());
    for (ChromeButton b : {ChromeButton::Close, ChromeButton::Min, ChromeButton::Left, ChromeButton::Right,
                           ChromeButton::Up, ChromeButton::Down})
        EXPECT_EQ(chrome.Button(b).Picture(), ButtonPicture::Normal);
}

TEST(AutoRoll, HoverWithRollingOffOnlyChangesThePicture) {
    ScrollChrome chrome;
    chrome.OnScrollButtonHover(ChromeButton::Up, false, true, false);
    chrome.OnScrollButtonHover(ChromeButton::Left, false, false, true);
    EXPECT_FALSE(chrome.TeamRollRunning());
    EXPECT_FALSE(chrome.ItemRollRunning());
    EXPECT_EQ(chrome.Button(ChromeButton::Up).Picture(), ButtonPicture::Hover);
    EXPECT_EQ(chrome.Button(ChromeButton::Left).Picture(), ButtonPicture::Hover);
}

TEST(HoverReset, RepaintsTheHoveredTeamOnlyWhenItIsAnotherExistingCaption) {
    struct Case {
        int hover, current, count, repaint;
    };
    const Case cases[] = {{2, 0, 5, 2}, {2, 2, 5, -1}, {5, 0, 5, -1}, {-1, 0, 5, -1}, {0, -1, 3, 0}};
    for (const Case& c : cases) {
        ScrollChrome chrome;
        HoverResetAction a = chrome.ResetHover(c.hover, c.current, c.count);
        EXPECT_EQ(a.teamCaptionToRepaint, c.repaint) << c.hover << " " << c.current << " " << c.count;
        EXPECT_TRUE(a.hideMenuHighlight);
    }
}
