// The desktop's monitors as the system lists them (see monitors.h).
#pragma once

#include "launcher/mainwindow/monitors.h"

namespace vt {

// Every monitor in screen pixels, the primary first, with its work area and
// DPI (the screen's one DPI where the system cannot tell a monitor's own).
// One monitor the size of the screen when the system lists none.
Desktop DesktopMonitors();

}  // namespace vt
