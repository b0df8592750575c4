#include "launcher/mainwindow/docking.h"

namespace vt {

DockWindow DockWindowFromPixels(const PixelMap& map, int left, int top, int right, int bottom) {
    const int l = map.Twips(left), t = map.Twips(top);
    return {l, t, map.Twips(right) - l, map.Twips(bottom) - t};
}

DockPoint EdgeDocker::Undock(const DockWindow& window, const DockScreen& screen) {
    DockPoint pos{window.left, window.top};
    switch (side_) {
        case DockEdge::Left:
            pos.x = screen.left;
            break;
        case DockEdge::Top:
            pos.y = screen.top;
            break;
        case DockEdge::Right:
            pos.x = screen.left + screen.width - window.width;
            break;
        case DockEdge::Bottom:
            pos.y = screen.top + screen.height - window.height;
            break;
        case DockEdge::None:
            break;
    }
    side_ = DockEdge::None;
    return pos;
}

DockPoint EdgeDocker::Tick(DockPoint cursor, const DockWindow& window, const DockScreen& screen) {
    const int l = window.left;
    const int t = window.top;
    const int w = window.width;
    const int h = window.height;
    // Inclusive on all four sides: while tucked, the visible strip is the
    // only part of the rectangle the mouse can reach.
    if (l <= cursor.x && cursor.x <= l + w && t <= cursor.y && cursor.y <= t + h) return Undock(window, screen);

    // The order decides corners: a window in the top-left corner goes left.
    // A tucked window keeps passing its own edge's test, so it stays tucked.
    const int right = screen.left + screen.width, bottom = screen.top + screen.height;
    if (l <= screen.left && screen.openLeft)
        side_ = DockEdge::Left;
    else if (t <= screen.top && screen.openTop)
        side_ = DockEdge::Top;
    else if (l >= right - w && screen.openRight)
        side_ = DockEdge::Right;
    else if (t >= bottom - h && screen.openBottom)
        side_ = DockEdge::Bottom;
    else
        return {l, t};
    return Retuck(window, screen);
}

DockPoint EdgeDocker::Retuck(const DockWindow& window, const DockScreen& screen) const {
    DockPoint pos{window.left, window.top};
    switch (side_) {
        case DockEdge::Left:
            pos.x = screen.left + kDockStripTwips - window.width;
            break;
        case DockEdge::Top:
            pos.y = screen.top + kDockStripTwips - window.height;
            break;
        case DockEdge::Right:
            pos.x = screen.left + screen.width - kDockStripTwips;
            break;
        case DockEdge::Bottom:
            pos.y = screen.top + screen.height - kDockStripTwips;
            break;
        case DockEdge::None:
            break;
    }
    return pos;
}

}  // namespace vt
