// What the global hotkey and the tray icon's mouse messages do to the main
// window. The window hook decodes the message, asks here, and carries out the
// returned action; nothing here touches a window.
#pragma once

#include <cstdint>
#include <optional>

#include "launcher/mainwindow/docking.h"
#include "launcher/mainwindow/monitors.h"

namespace vt {

// Identifier used for both RegisterHotKey and UnregisterHotKey.
inline constexpr int kHotkeyId = 0x5654;
// The tray icon's callback message (WM_USER + 100) and its icon identifier.
inline constexpr uint32_t kTrayCallbackMessage = 1124;
inline constexpr uint32_t kTrayIconId = 1;
inline constexpr const char* kTrayTip = "Vantrel";

// Mouse messages that arrive as the tray callback's lParam.
inline constexpr uint32_t kTrayLeftButtonDown = 0x201;   // WM_LBUTTONDOWN
inline constexpr uint32_t kTrayRightButtonDown = 0x204;  // WM_RBUTTONDOWN

struct WindowAction {
    enum class Visibility { Keep, Show, Hide };
    Visibility visibility = Visibility::Keep;
    // New top-left corner, twips; empty when the window stays where it is.
    std::optional<DockPoint> moveTo;
    // Pop up the tray menu at the pointer, with its show/hide entries enabled
    // as given.
    bool trayMenu = false;
    bool showEntryEnabled = false;
    bool hideEntryEnabled = false;
};

// Where a window that comes up goes: out from behind the edge it was tucked
// under (no longer docked), then onto the monitor under the pointer. Empty
// when it stays where it is.
std::optional<DockPoint> BringOut(DockPoint cursorTwips, const DockWindow& window, const Desktop& desktop,
                                  EdgeDocker& docker);

// The hotkey always brings the window up (it never hides it): at the pointer
// when ShowInMouse is on, otherwise back out from behind the edge it was
// tucked under. Either way it is no longer docked, and it is on the monitor
// under the pointer. The window at the pointer is kept inside that monitor's
// work area so that the whole of it can be reached.
WindowAction OnHotkey(bool showInMouse, DockPoint cursorTwips, const DockWindow& window, const Desktop& desktop,
                      EdgeDocker& docker);

// The tray callback, by the mouse message it carries. A left click toggles
// the window (undocking it when it comes up); a right click opens the tray menu
// offering "show" only while the window is hidden and "hide" only while it is
// visible; anything else does nothing. A window that comes up does so on the
// monitor under the pointer.
WindowAction OnTrayMessage(uint32_t mouseMessage, bool windowVisible, DockPoint cursorTwips, const DockWindow& window,
                           const Desktop& desktop, EdgeDocker& docker);

}  // namespace vt
