// The desktop as a list of monitors, and where the main window may stand on
// it. Screen coordinates on a desktop of several monitors run across all of
// them: a monitor left of or above the primary has negative ones. Every
// function takes its rectangles and points in one unit (the shell converts
// the desktop to twips with the window's PixelMap, as it does the window).
#pragma once

#include <cstddef>
#include <vector>

#include "launcher/mainwindow/docking.h"
#include "launcher/scene/pixel_map.h"

namespace vt {

struct Monitor {
    PixelBox bounds;  // the whole monitor
    PixelBox work;    // without the taskbar and other bars docked on it
    int dpi = 96;
    friend bool operator==(const Monitor&, const Monitor&) = default;
};

using Desktop = std::vector<Monitor>;

// The same desktop in twips of a window drawn with `map`. Edges are mapped as
// edges, so monitors that touch in pixels still touch.
Desktop DesktopInTwips(const PixelMap& map, const Desktop& pixels);

// The monitor under a point, or the nearest one when the point is on none.
// 0 for an empty desktop.
size_t MonitorAt(const Desktop& desktop, DockPoint point);
// The monitor that holds the most of the window (the one whose DPI it takes),
// or the one nearest its centre when it is on none.
size_t MonitorOf(const Desktop& desktop, const DockWindow& window);

// What the docker works against on one monitor: its work area, with the
// edges that have another monitor beyond them closed, so a window never hides
// into a neighbouring screen.
DockScreen DockAreaOf(const Desktop& desktop, size_t index);

// The window's corner moved as little as needed to bring the whole window
// into `area` (its top-left corner wins when the window is the larger).
DockPoint KeepInside(DockPoint corner, const DockWindow& window, const DockScreen& area);

// A window whose centre is on no monitor (remembered on a monitor that is no
// longer there, or on a desktop laid out differently) comes back into the
// nearest work area; otherwise it stays where it is.
DockPoint OntoDesktop(const Desktop& desktop, const DockWindow& window);

// A window brought up by the hotkey or the tray appears on the monitor under
// the pointer: on another monitor it keeps its place relative to the work
// area's top-left corner, kept inside.
DockPoint OntoMonitorAt(const Desktop& desktop, DockPoint pointer, const DockWindow& window);

}  // namespace vt
