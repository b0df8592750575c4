// The message popup (MsgForm): its look, where it starts, and the three-timer
// slide that moves it in, keeps it still and moves it out. The window only
// follows what MsgSlide says after each timer tick or click.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace vt {

// Design geometry of the popup, in twips.
inline constexpr int kMsgWidth = 2655;
inline constexpr int kMsgHeight = 1830;
inline constexpr int kMsgFrameHeight = 1815;
inline constexpr int kMsgTextLeft = 240;
inline constexpr int kMsgTextTop = 360;
inline constexpr int kMsgTextWidth = 2175;
inline constexpr int kMsgTextHeight = 1095;
// Gap between the popup's right edge and the work area's right edge.
inline constexpr int kMsgRightGap = 200;
// Distance the popup moves per 20 ms tick.
inline constexpr double kMsgStep = 229.5;

inline constexpr unsigned kMsgShowMs = 20;
inline constexpr unsigned kMsgWaitMs = 5000;
inline constexpr unsigned kMsgHideMs = 20;

// Appearance values, as stored in the settings data key.
struct MsgLook {
    uint32_t frameColor = 32768;    // green 128
    uint32_t backColor = 12648384;  // pale green
    uint32_t fontColor = 12582912;  // dark blue
    int fontSize = 9;               // points
    uint8_t opacity = 255;
};

// Reads the look from the registry data key; a missing value is created with
// its default (the settings store's rule). Out-of-range values are clamped so
// that a hand-edited registry cannot produce an unusable popup.
MsgLook ReadMsgLook(Registry& reg);

// Work area as the system reports it, in pixels.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct TwipPoint {
    double left = 0;
    double top = 0;
};

// Where a new popup starts: right edge kMsgRightGap twips inside the work
// area's right end, top edge on the work area's bottom (so it is hidden until
// it slides up). Measured from the work area's true edges, so a taskbar on the
// left or at the top does not push the popup off its corner.
TwipPoint MsgStartPosition(const PixelRect& workArea, double twipsPerPixelX, double twipsPerPixelY,
                           int popupWidthTwips = kMsgWidth);

// Rounds to the nearest whole number, halves to the even neighbour.
long long RoundHalfEven(double v);

// The popup's movement: three timers that may run at once (a click while
// sliding in runs TmrShow and TmrHide together and the two moves cancel).
class MsgSlide {
public:
    explicit MsgSlide(double startTop) : top_(startTop) {}

    // Timer ticks. `heightTwips` is the popup's current outer height.
    void OnShowTick(int heightTwips);
    void OnWaitTick();
    void OnHideTick(int heightTwips);
    // A click on the popup or its text: slide out now, whatever the phase.
    void OnClick();

    bool ShowRunning() const { return show_; }
    bool WaitRunning() const { return wait_; }
    bool HideRunning() const { return hide_; }
    bool Closed() const { return closed_; }
    double Top() const { return top_; }
    int32_t Moved() const { return moved_; }

private:
    void Advance();

    double top_;
    int32_t moved_ = 0;
    bool show_ = true;  // TmrShow runs from the moment the popup loads
    bool wait_ = false;
    bool hide_ = false;
    bool closed_ = false;
};

}  // namespace vt
