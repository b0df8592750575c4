#include "launcher/mainwindow/mouse_router.h"

#include <gtest/gtest.h>

#include <string>

using namespace vt;

namespace {

const ElementId kTitle{Part::ImgTitle, 0};
const ElementId kClose{Part::LabClose, 0};
const ElementId kIcon2{Part::PicIcon, 2};
const ElementId kIcon3{Part::PicIcon, 3};

// "Down LabClose 0, Up LabClose 0, Click LabClose 0" style summaries.
std::string Describe(const std::vector<MouseEvent>& events) {
    static const char* kinds[] = {"Move", "Down", "Up", "Click", "DoubleClick", "Leave"};
    std::string out;
    for (const MouseEvent& e : events) {
        if (!out.empty()) out += ", ";
        out += kinds[static_cast<int>(e.kind)];
        if (e.kind != MouseEventKind::Leave)
            out += std::string(" ") + PartName(e.id.part) + " " + std::to_string(e.id.index);
    }
    return out;
}

}  // namespace

TEST(MouseRouter, ClickNeedsTheReleaseOverTheElementThatWasPressed) {
    struct Case {
        ElementId releasedOver;
        MouseButton button;
        std::string want;
    } cases[] = {
        {kClose, MouseButton::Left, "Up LabClose 0, Click LabClose 0"},
        {kTitle, MouseButton::Left, "Up LabClose 0"},   // dragged off: released, not clicked
        {kClose, MouseButton::Right, "Up LabClose 0"},  // only the left button clicks
        {kClose, MouseButton::Middle, "Up LabClose 0"},
    };
    for (const Case& c : cases) {
        MouseRouter r;
        EXPECT_EQ(Describe(r.Down(kClose, c.button, 10, 20, false)), "Down LabClose 0");
        EXPECT_EQ(Describe(r.Up(c.releasedOver, c.button, 10, 20)), c.want);
        EXPECT_FALSE(r.Captured());
    }
}

TEST(MouseRouter, MovesGoToThePressedElementUntilRelease) {
    MouseRouter r;
    EXPECT_EQ(Describe(r.Move(kIcon2, 1, 1, {})), "Move PicIcon 2");
    r.Down(kTitle, MouseButton::Right, 5, 5, false);
    MouseButtons held;
    held.right = true;
    auto moved = r.Move(kIcon3, 900, 700, held);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].id, kTitle);  // a title drag keeps moving the window over other elements
    EXPECT_EQ(moved[0].x, 900);
    EXPECT_TRUE(moved[0].held.right);
    // Leaving the window mid-drag does not end the drag.
    EXPECT_TRUE(r.Leave().empty());
    r.Up(kIcon3, MouseButton::Right, 900, 700);
    EXPECT_EQ(Describe(r.Move(kIcon3, 900, 700, {})), "Move PicIcon 3");
    EXPECT_EQ(Describe(r.Leave()), "Leave");
}

TEST(MouseRouter, SecondPressOfADoubleClickIsADoubleClickWithoutAClick) {
    MouseRouter r;
    EXPECT_EQ(Describe(r.Down(kIcon2, MouseButton::Left, 0, 0, false)), "Down PicIcon 2");
    EXPECT_EQ(Describe(r.Up(kIcon2, MouseButton::Left, 0, 0)), "Up PicIcon 2, Click PicIcon 2");
    EXPECT_EQ(Describe(r.Down(kIcon2, MouseButton::Left, 0, 0, true)), "DoubleClick PicIcon 2");
    EXPECT_EQ(Describe(r.Up(kIcon2, MouseButton::Left, 0, 0)), "Up PicIcon 2");
    // The next single press clicks again.
    r.Down(kIcon2, MouseButton::Left, 0, 0, false);
    EXPECT_EQ(Describe(r.Up(kIcon2, MouseButton::Left, 0, 0)), "Up PicIcon 2, Click PicIcon 2");
    // A fast second right press is an ordinary press.
    EXPECT_EQ(Describe(r.Down(kIcon3, MouseButton::Right, 0, 0, true)), "Down PicIcon 3");
}

TEST(MouseRouter, OtherButtonsWhileOneIsHeldAreIgnored) {
    MouseRouter r;
    r.Down(kIcon2, MouseButton::Left, 0, 0, false);
    EXPECT_TRUE(r.Down(kIcon3, MouseButton::Right, 0, 0, false).empty());
    EXPECT_TRUE(r.Up(kIcon3, MouseButton::Right, 0, 0).empty());
    EXPECT_EQ(Describe(r.Up(kIcon2, MouseButton::Left, 0, 0)), "Up PicIcon 2, Click PicIcon 2");
    // A release without a press (the press went to a menu) goes nowhere.
    EXPECT_TRUE(r.Up(kIcon2, MouseButton::Left, 0, 0).empty());
}

TEST(MouseRouter, LostCaptureEndsThePressWithoutAClick) {
    MouseRouter r;
    r.Down(kIcon2, MouseButton::Right, 0, 0, false);  // opens a popup menu, which takes the mouse
    r.CaptureLost();
    EXPECT_FALSE(r.Captured());
    EXPECT_TRUE(r.Up(kIcon2, MouseButton::Right, 0, 0).empty());
    EXPECT_EQ(Describe(r.Move(kIcon3, 0, 0, {})), "Move PicIcon 3");
}
