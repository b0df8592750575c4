#include "launcher/mainwindow/hotkey.h"

namespace vt {

std::optional<DockPoint> BringOut(DockPoint cursor, const DockWindow& window, const Desktop& desktop,
                                  EdgeDocker& docker) {
    DockPoint pos = docker.Undock(window, DockAreaOf(desktop, MonitorOf(desktop, window)));
    pos = OntoMonitorAt(desktop, cursor, DockWindow{pos.x, pos.y, window.width, window.height});
    if (pos.x == window.left && pos.y == window.top) return std::nullopt;
    return pos;
}

WindowAction OnHotkey(bool showInMouse, DockPoint cursorTwips, const DockWindow& window, const Desktop& desktop,
                      EdgeDocker& docker) {
    WindowAction action;
    action.visibility = WindowAction::Visibility::Show;
    if (showInMouse) {
        // Near the right or bottom edge the corner at the pointer would leave
        // most of the window off the screen; slide it back in.
        docker.Forget();
        action.moveTo = KeepInside(cursorTwips, window, DockAreaOf(desktop, MonitorAt(desktop, cursorTwips)));
    } else {
        action.moveTo = BringOut(cursorTwips, window, desktop, docker);
    }
    return action;
}

WindowAction OnTrayMessage(uint32_t mouseMessage, bool windowVisible, DockPoint cursorTwips, const DockWindow& window,
                           const Desktop& desktop, EdgeDocker& docker) {
    WindowAction action;
    if (mouseMessage == kTrayLeftButtonDown) {
        if (windowVisible) {
            // Hidden windows keep their edge: shown again later they come
            // back flush with it.
            action.visibility = WindowAction::Visibility::Hide;
        } else {
            action.visibility = WindowAction::Visibility::Show;
            action.moveTo = BringOut(cursorTwips, window, desktop, docker);
        }
    } else if (mouseMessage == kTrayRightButtonDown) {
        action.trayMenu = true;
        action.showEntryEnabled = !windowVisible;
        action.hideEntryEnabled = windowVisible;
    }
    return action;
}

}  // namespace vt
