#include "launcher/mainwindow/keyboard_nav.h"

#include <gtest/gtest.h>

using namespace vt;

namespace {

// Ten items in rows of four: 0 1 2 3 / 4 5 6 7 / 8 9, two rows to a page.
const NavGrid kGrid{10, 4, 2};
const NavGrid kList{5, 1, 2};

}  // namespace

TEST(KeyboardNav, ArrowsWalkTheGridAndStopAtItsEdges) {
    struct Case {
        NavKey key;
        int from, to;
    };
    const Case cases[] = {
        {NavKey::Right, 3, 4},  // off the end of a row onto the next
        {NavKey::Left, 4, 3},     {NavKey::Left, 0, 0},     {NavKey::Right, 9, 9},    {NavKey::Up, 5, 1},
        {NavKey::Up, 2, 2},       {NavKey::Down, 1, 5},     {NavKey::Down, 5, 9},  // the column below is there
        {NavKey::Down, 6, 9},  // nothing below in a short last row: the last item
        {NavKey::Down, 9, 9},     {NavKey::Down, 8, 8},     {NavKey::Home, 6, 0},     {NavKey::End, 2, 9},
        {NavKey::PageDown, 1, 9}, {NavKey::PageDown, 2, 9}, {NavKey::PageDown, 0, 8}, {NavKey::PageDown, 9, 9},
        {NavKey::PageUp, 9, 1},   {NavKey::PageUp, 6, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.key) << " from " << c.from);
        EXPECT_EQ(NextItem(c.key, c.from, kGrid), c.to);
    }
}

TEST(KeyboardNav, TheListMovesOnlyUpAndDownAndAnEmptySelectionStartsAtAnEnd) {
    EXPECT_EQ(NextItem(NavKey::Right, 2, kList), 2);
    EXPECT_EQ(NextItem(NavKey::Left, 2, kList), 2);
    EXPECT_EQ(NextItem(NavKey::Down, 2, kList), 3);
    EXPECT_EQ(NextItem(NavKey::Up, 0, kList), 0);
    EXPECT_EQ(NextItem(NavKey::PageDown, 2, kList), 4);
    for (NavKey k : {NavKey::Left, NavKey::Right, NavKey::Up, NavKey::Down, NavKey::Home, NavKey::PageDown})
        EXPECT_EQ(NextItem(k, -1, kGrid), 0);
    EXPECT_EQ(NextItem(NavKey::End, -1, kGrid), 9);
    EXPECT_EQ(NextItem(NavKey::Down, 12, kGrid), 0) << "a stale selection past the end";
    EXPECT_EQ(NextItem(NavKey::Down, -1, NavGrid{0, 4, 1}), -1);
}

TEST(KeyboardNav, ScrollingKeepsTheBandInSightWithinTheSheet) {
    // Viewport 1000 high over a sheet 5000 high.
    EXPECT_EQ(ScrollToShow(0, 200, 600, 1000, 5000), 0) << "already shown";
    EXPECT_EQ(ScrollToShow(0, 1200, 1600, 1000, 5000), -600) << "below: its bottom meets the viewport's";
    EXPECT_EQ(ScrollToShow(-3000, 1200, 1600, 1000, 5000), -1200) << "above: its top meets the viewport's";
    EXPECT_EQ(ScrollToShow(0, 1000, 2500, 1000, 5000), -1000) << "taller than the view: its top";
    EXPECT_EQ(ScrollToShow(-200, 0, 100, 1000, 500), 0) << "a sheet shorter than the view never scrolls";
    EXPECT_EQ(ScrollPage(0, true, 1000, 5000), -1000);
    EXPECT_EQ(ScrollPage(-3500, true, 1000, 5000), -4000);
    EXPECT_EQ(ScrollPage(-500, false, 1000, 5000), 0);
    EXPECT_EQ(RowsPerPage(2500, 1000), 2);
    EXPECT_EQ(RowsPerPage(500, 1000), 1);
    EXPECT_EQ(RowsPerPage(500, 0), 1);
}

TEST(KeyboardNav, TeamsGoRoundTheEnds) {
    EXPECT_EQ(NextTeam(2, 3, true), 0);
    EXPECT_EQ(NextTeam(0, 3, false), 2);
    EXPECT_EQ(NextTeam(1, 3, true), 2);
    EXPECT_EQ(NextTeam(-1, 3, true), 0);
    EXPECT_EQ(NextTeam(-1, 3, false), 2);
    EXPECT_EQ(NextTeam(0, 0, true), -1);
}
