#include "launcher/mainwindow/docking.h"

namespace vt {

DockWindow DockWindowFromPixels(const PixelMap& map, int left, int top, int right, int bottom) {
    const int l = map.Twips(left), t = map.Twips(top);
    return {l, t, map.Twips(right) - l, map.Twips(bottom) - t};
}

DockPoint EdgeDocker::Undock(const DockWindow& window, const DockScreen& screen) {
    DockPoint pos{window.left, window.top};
    switch (side_) {
        case DockEdge::Left: pos.x = 0; break;
        case DockEdge::Top: pos.y = 0; break;
        case DockEdge::Right: pos.x = screen.width - window.width; break;
        case DockEdge::Bottom: pos.y = screen.height - window.height; break;
        case DockEdge::None: break;
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
    DockPoint pos{l, t};
    if (l <= 0) {
        side_ = DockEdge::Left;
        pos.x = kDockStripTwips - w;
    } else if (t <= 0) {
        side_ = DockEdge::Top;
        pos.y = kDockStripTwips - h;
    } else if (l >= screen.width - w) {
        side_ = DockEdge::Right;
        pos.x = screen.width - kDockStripTwips;
    } else if (t >= screen.height - h) {
        side_ = DockEdge::Bottom;
        pos.y = screen.height - kDockStripTwips;
    }
    return pos;
}

}  // namespace vt
