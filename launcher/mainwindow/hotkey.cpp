#include "launcher/mainwindow/hotkey.h"

#include <algorithm>

namespace vt {

WindowAction OnHotkey(bool showInMouse, DockPoint cursorTwips, const DockWindow& window, const DockScreen& screen,
                      EdgeDocker& docker) {
    WindowAction action;
    action.visibility = WindowAction::Visibility::Show;
    if (showInMouse) {
        // Near the right or bottom edge the corner at the pointer would leave
        // most of the window off the screen; slide it back in.
        DockPoint pos = cursorTwips;
        pos.x = std::max(0, std::min(pos.x, screen.width - window.width));
        pos.y = std::max(0, std::min(pos.y, screen.height - window.height));
        docker.Forget();
        action.moveTo = pos;
    } else {
        DockPoint pos = docker.Undock(window, screen);
        if (pos.x != window.left || pos.y != window.top) action.moveTo = pos;
    }
    return action;
}

WindowAction OnTrayMessage(uint32_t mouseMessage, bool windowVisible, const DockWindow& window,
                           const DockScreen& screen, EdgeDocker& docker) {
    WindowAction action;
    if (mouseMessage == kTrayLeftButtonDown) {
        if (windowVisible) {
            // Hidden windows keep their edge: shown again later they come
            // back flush with it.
            action.visibility = WindowAction::Visibility::Hide;
        } else {
            action.visibility = WindowAction::Visibility::Show;
            DockPoint pos = docker.Undock(window, screen);
            if (pos.x != window.left || pos.y != window.top) action.moveTo = pos;
        }
    } else if (mouseMessage == kTrayRightButtonDown) {
        action.trayMenu = true;
        action.showEntryEnabled = !windowVisible;
        action.hideEntryEnabled = windowVisible;
    }
    return action;
}

}  // namespace vt
