#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "launcher/scene/scene.h"

using namespace vt;

namespace {

// A window with a team bar at (300, 1000) 2000 x 400 whose strip is scrolled
// 500 to the left, and two captions on it.
Scene TeamBarScene() {
    Scene s;
    s.width = 4000;
    s.height = 6000;
    Element& form = s.At(Part::ImgForm);
    form.width = 4000;
    form.height = 6000;
    Element& bar = s.At(Part::PicTeam);
    bar.left = 300, bar.top = 1000, bar.width = 2000, bar.height = 400;
    Element& strip = s.At(Part::PicTeamIn);
    strip.left = -500, strip.width = 3080, strip.height = 400;
    s.Resize(Part::LabTeam, 3);
    for (int i = 0; i < 3; ++i) {
        Element& c = s.At(Part::LabTeam, i);
        c.left = 20 + i * 1020, c.top = 100, c.width = 1000, c.height = 225, c.visible = true;
    }
    return s;
}

std::optional<ElementId> At(Part p, int i = 0) {
    return ElementId{p, i};
}

}  // namespace

TEST(Scene, ChildrenMoveWithTheStripAndAreClippedToTheViewport) {
    Scene s = TeamBarScene();
    EXPECT_EQ(s.WindowRect({Part::LabTeam, 1}), (Rect{300 - 500 + 1040, 1100, 1000, 225}));
    // Caption 0 sticks out to the left of the bar: only its right part shows.
    EXPECT_EQ(s.VisibleRect({Part::LabTeam, 0}), (Rect{300, 1100, 1020 - 500, 225}));
    // Caption 2 runs past the bar's right edge: cut there.
    EXPECT_EQ(s.VisibleRect({Part::LabTeam, 2}), (Rect{1860, 1100, 440, 225}));
    EXPECT_EQ(s.TeamScroll(), -500);
    // Scrolled back to the start, caption 2 lies wholly outside the bar.
    s.At(Part::PicTeamIn).left = 0;
    EXPECT_EQ(s.VisibleRect({Part::LabTeam, 2}).width, 0);
}

TEST(Scene, HitTestFindsTheTopmostShownTargetInsideItsClip) {
    Scene s = TeamBarScene();
    struct Case {
        int x, y;
        std::optional<ElementId> expected;
    };
    const Case cases[] = {
        {310, 1150, At(Part::LabTeam, 0)},  // visible part of a scrolled caption
        {290, 1150, At(Part::ImgForm)},     // just left of the bar: the caption is clipped there
        {1000, 1050, At(Part::PicTeamIn)},  // strip between caption tops and the bar edge
        {2310, 1150, At(Part::ImgForm)},    // right of the bar, where caption 2 would be
        {-1, 10, std::nullopt},             // outside the window
        {4000, 10, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HitTest(s, c.x, c.y), c.expected) << c.x << "," << c.y;
    }
}

TEST(Scene, HiddenElementsAndTheirChildrenAreNotHit) {
    Scene s = TeamBarScene();
    s.At(Part::LabTeam, 1).visible = false;
    EXPECT_EQ(HitTest(s, 900, 1150), At(Part::PicTeamIn));
    s.At(Part::PicTeam).visible = false;
    EXPECT_FALSE(s.Shown({Part::LabTeam, 0}));
    EXPECT_EQ(HitTest(s, 310, 1150), At(Part::ImgForm));
}

TEST(Scene, ButtonLabelsLieAboveTheirPicturesAndTheTitleTextLetsDragsThrough) {
    Scene s;
    s.width = s.height = 3000;
    s.At(Part::ImgForm).width = s.At(Part::ImgForm).height = 3000;
    for (Part p : {Part::ImgClose, Part::LabClose}) {
        Element& e = s.At(p);
        e.left = 100, e.top = 100, e.width = 300, e.height = 300;
    }
    Element& title = s.At(Part::ImgTitle);
    title.width = 3000, title.height = 600;
    s.At(Part::LabTitle).left = 200;
    EXPECT_EQ(HitTest(s, 200, 200), At(Part::LabClose));
    EXPECT_EQ(HitTest(s, 1000, 300), At(Part::ImgTitle));  // over the title text
    s.At(Part::ShpMenu).visible = true;
    s.At(Part::ShpMenu).left = 900, s.At(Part::ShpMenu).width = 500, s.At(Part::ShpMenu).height = 600;
    EXPECT_EQ(HitTest(s, 1000, 300), At(Part::ImgTitle));  // the highlight box is not a target
}

TEST(Scene, ControlArraysKeepElementZeroAndNewElementsStartHidden) {
    Scene s;
    s.At(Part::LabItem, 0).fontSize = 12;
    s.Resize(Part::LabItem, 4);
    ASSERT_EQ(s.Count(Part::LabItem), 4);
    EXPECT_EQ(s.At(Part::LabItem, 3).id, (ElementId{Part::LabItem, 3}));
    EXPECT_EQ(s.At(Part::LabItem, 3).fontSize, 12);
    EXPECT_FALSE(s.At(Part::LabItem, 3).visible);
    EXPECT_EQ(s.At(Part::LabItem, 3).parent, (std::optional<ElementId>{ElementId{Part::PicItemIn, 0}}));
    s.Resize(Part::LabItem, 0);
    EXPECT_EQ(s.Count(Part::LabItem), 1);
    EXPECT_FALSE(s.Has({Part::LabItem, 1}));
    EXPECT_THROW(s.At(Part::LabItem, 1), std::out_of_range);
    // Every parent is painted before its children.
    auto order = s.PaintOrder();
    auto pos = [&](ElementId id) { return std::find(order.begin(), order.end(), id) - order.begin(); };
    EXPECT_LT(pos({Part::PicItem, 0}), pos({Part::PicItemIn, 0}));
    EXPECT_LT(pos({Part::PicItemIn, 0}), pos({Part::LabItem, 0}));
    EXPECT_LT(pos({Part::ImgDown, 2}), pos({Part::LabDown, 0}));
}
