// The main window's way in from outside it: the notification-area icon with
// its clicks and menu, and the hotkey. What a click or the hotkey does is the
// core's decision (hotkey.h); this turns it into window calls.
#include <windows.h>

#include <shellapi.h>

#include <cwchar>
#include <iterator>

#include "launcher/mainwindow/hotkey.h"
#include "launcher/mainwindow/main_window_win32.h"
#include "platform/win32/icon_extract_win32.h"
#include "platform/win32/ui_font.h"
#include "platform/win32/win_text.h"

namespace vt {

namespace {

constexpr UINT kTrayMessage = WM_USER + 100;
static_assert(kTrayMessage == kTrayCallbackMessage);

}  // namespace

void MainWindow::AddTrayIcon() {
    tray_ = {};
    tray_.cbSize = sizeof(tray_);
    tray_.hWnd = hwnd_;
    tray_.uID = kTrayIconId;
    tray_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray_.uCallbackMessage = kTrayMessage;
    // The notification area is on the primary monitor and shows the small
    // icon size of its dpi. Loaded each time the taskbar comes back, as it
    // does after the user changed the display scale.
    trayIcon_ = LoadIconAtSize(hinstance_, 1, MetricForDpi(SM_CXSMICON, MonitorDpi(nullptr)));
    tray_.hIcon = trayIcon_ ? trayIcon_.get() : iconSmall_ ? iconSmall_.get() : iconLarge_.get();
    wcsncpy(tray_.szTip, Widen(kTrayTip).c_str(), std::size(tray_.szTip) - 1);
    trayAdded_ = ::Shell_NotifyIconW(NIM_ADD, &tray_) != FALSE;
    if (!trayAdded_) LogWin32Failure("Shell_NotifyIconW");
}

void MainWindow::RemoveTrayIcon() {
    if (!trayAdded_) return;
    ::Shell_NotifyIconW(NIM_DELETE, &tray_);
    trayAdded_ = false;
}

bool MainWindow::HandleTrayMessage(UINT msg, LPARAM lp) {
    if (taskbarCreated_ && msg == taskbarCreated_) {
        AddTrayIcon();  // Explorer restarted: the icon must come back
        return true;
    }
    if (msg != WM_HOTKEY && msg != kTrayMessage) return false;
    // Not while the load step still reads settings and migrates data, nor
    // once the unload step has saved the window's place.
    if (!loaded_ || unloaded_) return false;
    if (msg == WM_HOTKEY) {
        ApplyWindowAction(OnHotkey(settings_.ShowInMouse, CursorTwips(), WindowTwips(), DesktopTwips(), docker_));
    } else {
        const bool visible = ::IsWindowVisible(hwnd_) != FALSE;
        ApplyWindowAction(
            OnTrayMessage(static_cast<uint32_t>(lp), visible, CursorTwips(), WindowTwips(), DesktopTwips(), docker_));
    }
    return true;
}

void MainWindow::ApplyWindowAction(const WindowAction& a) {
    using V = WindowAction::Visibility;
    if (a.visibility == V::Show) {
        ::ShowWindow(hwnd_, SW_SHOW);
        ::SetForegroundWindow(hwnd_);
    } else if (a.visibility == V::Hide) {
        ::ShowWindow(hwnd_, SW_HIDE);
    }
    if (a.moveTo) MoveToTwips(a.moveTo->x, a.moveTo->y);
    if (a.trayMenu) {
        POINT at{};
        ::GetCursorPos(&at);
        if (onTrayMenu) onTrayMenu(a.showEntryEnabled, a.hideEntryEnabled, at);
    }
}

}  // namespace vt
