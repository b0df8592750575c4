// MenuForm: the launcher's popup menus and keyboard shortcuts on Win32.
#pragma once

#include <windows.h>

#include <memory>

namespace vt {

class MainWindow;
class MenuForm;

// The menus of one main window, hooked into it (popups, tray menu, command
// enabling, WM_COMMAND) for as long as this object lives. Make it before
// MainWindow::Create, so the enabling reported by the load step's first
// rebuild is not missed, and let it go before the window: it unhooks itself.
class MenuHolder {
public:
    explicit MenuHolder(MainWindow& main);
    ~MenuHolder();
    MenuHolder(const MenuHolder&) = delete;
    MenuHolder& operator=(const MenuHolder&) = delete;

private:
    std::unique_ptr<MenuForm> form_;
};
// The shortcut keys of the menu-bar entries while the main window has the
// keyboard; true when msg became a command.
bool TranslateMenuAccelerator(MSG& msg);

}  // namespace vt
