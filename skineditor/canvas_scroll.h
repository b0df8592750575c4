// Scrolling of the mock-up inside its fixed frame: the launcher window a skin
// describes may be larger than the frame, and every part of it must stay
// reachable without changing the editor's layout.
#pragma once

namespace vt {

// One axis of the canvas view, in pixels.
struct ScrollAxis {
    bool bar = false;  // scroll bar shown
    int view = 0;      // visible extent once the bars are placed
    int content = 0;   // extent of the mock-up
    int pos = 0;       // first visible pixel of the mock-up
    int Max() const { return content > view ? content - view : 0; }
};

struct ScrollLayout {
    ScrollAxis x, y;
};

// Bars appear only where the mock-up does not fit; a bar on one axis takes
// room from the other, which may then need its own bar. Positions kept from
// before are clamped to the new range.
ScrollLayout LayoutScroll(int frameWidth, int frameHeight, int contentWidth, int contentHeight, int vbarWidth,
                          int hbarHeight, int oldX = 0, int oldY = 0);

enum class ScrollRequest { LineBack, LineForward, PageBack, PageForward, ToStart, ToEnd, ToPosition };

// The new first visible pixel after a scroll bar request; `line` is one arrow
// step, `track` the thumb position for ToPosition.
int ScrollTo(const ScrollAxis& axis, ScrollRequest request, int line, int track = 0);

// Mouse-wheel step: `delta` in wheel units (120 per notch, negative to scroll
// forward), `linesPerNotch` from the system setting (-1 for a page a notch).
int WheelTo(const ScrollAxis& axis, int delta, int linesPerNotch, int line);

}  // namespace vt
