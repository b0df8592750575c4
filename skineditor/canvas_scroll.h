// Scrolling of the mock-up inside its fixed frame: the launcher window a skin
// describes may be larger than the frame, and every part of it must stay
// reachable without changing the editor's layout.
#pragma once

namespace vt {

// One axis of the canvas view, in pixels.
struct ScrollAxis {
    bool bar = false;  // scroll bar shown
    int view = 0;      // visible extent once the bars are placed
    int content = 0;   // extent of the area scrolled over
    int pos = 0;       // first visible pixel of that area
    int origin = 0;    // where the area begins on the mock-up (negative when
                       // something was dragged off its left or top)
    int Max() const { return content > view ? content - view : 0; }
    // Mock-up pixel at the view's first pixel.
    int First() const { return origin + pos; }
};

struct ScrollLayout {
    ScrollAxis x, y;
};

// Bars appear only where the mock-up does not fit; a bar on one axis takes
// room from the other, which may then need its own bar. Positions kept from
// before are clamped to the new range.
ScrollLayout LayoutScroll(int frameWidth, int frameHeight, int contentWidth, int contentHeight, int vbarWidth,
                          int hbarHeight, int oldX = 0, int oldY = 0);

// A rectangle of mock-up pixels, the mock-up window's top-left at 0, 0.
struct PixelArea {
    int left = 0, top = 0, right = 0, bottom = 0;
};
PixelArea Union(const PixelArea& a, const PixelArea& b);

// The view over an area that may reach past the mock-up window on any side.
// The mock-up pixel shown at the view's top-left (firstX, firstY) stays there
// as far as the new range allows, so the area growing to the left or top
// while something is dragged there does not shift what the user sees.
ScrollLayout LayoutScrollArea(int frameWidth, int frameHeight, const PixelArea& area, int vbarWidth, int hbarHeight,
                              int firstX, int firstY);

enum class ScrollRequest { LineBack, LineForward, PageBack, PageForward, ToStart, ToEnd, ToPosition };

// The new first visible pixel after a scroll bar request; `line` is one arrow
// step, `track` the thumb position for ToPosition.
int ScrollTo(const ScrollAxis& axis, ScrollRequest request, int line, int track = 0);

// Mouse-wheel step: `delta` in wheel units (120 per notch, negative to scroll
// forward), `linesPerNotch` from the system setting (-1 for a page a notch).
int WheelTo(const ScrollAxis& axis, int delta, int linesPerNotch, int line);

}  // namespace vt
