// MenuForm: the launcher's popup menus and keyboard shortcuts on Win32.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace vt {

class MenuHost;
class MenuForm;

// The menus of one main window. The window's requests reach them through
// whoever wires the two together; wire them before the window's load step,
// so the enabling its first rebuild reports is not missed.
class MenuHolder {
public:
    explicit MenuHolder(MenuHost& host);
    ~MenuHolder();
    MenuHolder(const MenuHolder&) = delete;
    MenuHolder& operator=(const MenuHolder&) = delete;

    // A popup menu by name ("Menu0".."Menu3", "QuickTeam", "QuickItem",
    // "QuickTeam2", "QuickItem2") at a screen point in pixels; other names do nothing.
    void PopupByName(const std::string& name, POINT screen);
    // The tray menu "NMIcon" at the pointer with its two entries enabled as given.
    void PopupTrayMenu(bool showEnabled, bool hideEnabled, POINT screen);
    // The main menu's team and item commands became (un)available.
    void SetCommandsEnabled(bool teamCommands, bool itemCommands);
    // WM_COMMAND of a menu entry or a shortcut key (fromAccelerator); true when handled.
    bool OnCommand(unsigned id, bool fromAccelerator);
    // The shortcut keys of the menu-bar entries while the main window has the
    // keyboard; true when msg became a command.
    bool TranslateAccelerator(MSG& msg);

private:
    std::unique_ptr<MenuForm> form_;
};

}  // namespace vt
