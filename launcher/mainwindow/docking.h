// Tucking the main window behind a screen edge and bringing it back.
// Everything is in twips; the window shell only reads the cursor, feeds a tick
// in every kDockTimerMs and moves the window to what comes back, converting
// with the window's PixelMap.
#pragma once

#include <cstdint>

#include "launcher/scene/pixel_map.h"

namespace vt {

inline constexpr int kDockTimerMs = 500;    // interval of TmrHide
inline constexpr int kDockStripTwips = 80;  // what stays visible of a tucked window

// DockSide values.
enum class DockEdge : uint8_t { None = 0, Left = 1, Top = 2, Right = 3, Bottom = 4 };

struct DockPoint {
    int x = 0;
    int y = 0;
};

struct DockWindow {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The area a window docks in: a monitor's work area (the whole screen for a
// single monitor without bars). An edge with another monitor beyond it is
// not open: a window pushed there stays where it is.
struct DockScreen {
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
    bool openLeft = true;
    bool openTop = true;
    bool openRight = true;
    bool openBottom = true;
};

// A window's rectangle in pixels as twips. Its far edges are converted as
// edges, not as a width, so a window flush with the screen's edge in pixels
// is flush with it in twips too and docks.
DockWindow DockWindowFromPixels(const PixelMap& map, int left, int top, int right, int bottom);

class EdgeDocker {
public:
    DockEdge DockSide() const { return side_; }

    // One TmrHide tick. Returns where the window's top-left corner goes; equal
    // to the window's current corner when nothing moves.
    DockPoint Tick(DockPoint cursor, const DockWindow& window, const DockScreen& screen);

    // Puts a tucked window flush with its edge and forgets the edge. A window
    // that is not docked stays where it is.
    DockPoint Undock(const DockWindow& window, const DockScreen& screen);

    // Where a window tucked behind its edge goes when its size changed (its
    // DPI did): still tucked behind the same edge, the same strip showing.
    DockPoint Retuck(const DockWindow& window, const DockScreen& screen) const;

    // For the hotkey that moves the window to the pointer: it is no longer
    // docked, whatever edge it was behind.
    void Forget() { side_ = DockEdge::None; }

private:
    DockEdge side_ = DockEdge::None;
};

}  // namespace vt
