// The picture buttons of the window chrome and the two scrolling strips: the
// three-picture look of each button, one click's 200-twip step with its
// clamps, and automatic rolling while the mouse rests on a scroll button.
#pragma once

#include <array>
#include <cstdint>

namespace vt {

inline constexpr int kScrollStepTwips = 200;
inline constexpr int kDefaultRollRateMs = 150;  // RollTeamRate / RollItemRate

// Which of a button's three pictures is shown: 0 normal, 1 under the mouse,
// 2 pressed.
enum class ButtonPicture : uint8_t { Normal = 0, Hover = 1, Pressed = 2 };

class ThreeStateButton {
public:
    ButtonPicture Picture() const { return picture_; }
    // Visibility of pictures 0, 1 and 2.
    std::array<bool, 3> Visible() const;

    void OnMouseMove(bool anyButtonDown) {
        if (!anyButtonDown) picture_ = ButtonPicture::Hover;
    }
    void OnMouseDown() { picture_ = ButtonPicture::Pressed; }
    void OnMouseUp() { picture_ = ButtonPicture::Hover; }
    void Reset() { picture_ = ButtonPicture::Normal; }

private:
    ButtonPicture picture_ = ButtonPicture::Normal;
};

// The six three-picture buttons. The stay-on-top lock is a two-state toggle
// and is not one of them.
enum class ChromeButton : uint8_t { Close, Min, Left, Right, Up, Down };
inline constexpr int kChromeButtonCount = 6;

// RollDirection values.
enum class RollDirection : uint8_t { TeamsLeft = 0, TeamsRight = 1, ItemsUp = 2, ItemsDown = 3 };

// One step of a strip inside its viewport. `offset` is the strip's left (team
// strip) or top (item strip) inside the viewport and is never positive; a step
// towards the start stops at 0, a step towards the end stops where the strip's
// far edge meets the viewport's.
int StepTowardsStart(int offset);
int StepTowardsEnd(int offset, int viewportExtent, int stripExtent);

// The strips as they stand when a click or a tick moves them.
struct StripGeometry {
    int teamLeft = 0;         // PicTeamIn left
    int teamViewWidth = 0;    // PicTeam width
    int teamStripWidth = 0;   // PicTeamIn width
    int itemTop = 0;          // PicItemIn top
    int itemViewHeight = 0;   // PicItem height
    int itemStripHeight = 0;  // PicItemIn height
};

// What a hover reset asks of the parts of the window it does not own.
struct HoverResetAction {
    bool hideMenuHighlight = true;  // ShpMenu hidden, the four menu captions normal
    int teamCaptionToRepaint = -1;  // team caption back to its normal colours, -1 none
};

// State of the chrome buttons and the automatic rolling. The window shell
// starts and stops TmrRollTeam / TmrRollItem to match TeamRollRunning() and
// ItemRollRunning() after each call.
class ScrollChrome {
public:
    ThreeStateButton& Button(ChromeButton b) { return buttons_[static_cast<int>(b)]; }
    const ThreeStateButton& Button(ChromeButton b) const { return buttons_[static_cast<int>(b)]; }

    RollDirection Direction() const { return direction_; }
    bool TeamRollRunning() const { return teamRoll_; }
    bool ItemRollRunning() const { return itemRoll_; }

    // The mouse moved over a scroll button: its hover picture, then, when the
    // matching automatic rolling is on, the direction and its timer. Moving
    // from one scroll button straight to another only turns the direction.
    void OnScrollButtonHover(ChromeButton b, bool anyButtonDown, bool autoRollOnTeam, bool autoRollOnItem);

    // A click on a scroll button moves its strip one step, but only while its
    // automatic rolling is off (hovering already rolls). Returns the geometry
    // with the moved offset.
    StripGeometry OnScrollButtonClick(ChromeButton b, StripGeometry g, bool autoRollOnTeam, bool autoRollOnItem) const;

    // Timer ticks: one step in the current direction when it belongs to this
    // strip; at a clamp the timer keeps running and nothing moves.
    int OnTeamRollTick(int teamLeft, int viewWidth, int stripWidth) const;
    int OnItemRollTick(int itemTop, int viewHeight, int stripHeight) const;

    // The mouse reached an empty part of the window: rolling stops, every
    // button but the lock looks normal, the menu highlight goes, and the team
    // caption last painted as hovered goes back to normal unless it is the
    // current team or no longer exists.
    HoverResetAction ResetHover(int hoverTeam, int currentTeam, int teamCaptionCount);

    // Dragging the title area puts these two back to normal.
    void ResetCloseAndMin();

    // The pointer is over `under` (nullptr: over no button). Only one button
    // can be under the mouse, so every other one looks normal again, and a
    // roll stops once the pointer is off the scroll buttons: a quick move can
    // skip the empty parts that would otherwise reset them.
    void PointerOver(const ChromeButton* under);

private:
    std::array<ThreeStateButton, kChromeButtonCount> buttons_{};
    RollDirection direction_ = RollDirection::TeamsLeft;
    bool teamRoll_ = false;
    bool itemRoll_ = false;
};

}  // namespace vt
