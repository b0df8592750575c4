// MenuForm: the launcher's popup menus and keyboard shortcuts on Win32.
#pragma once

#include <windows.h>

namespace vt {

class MainWindow;

// Hooks the menus into the main window (popups, tray menu, command enabling,
// WM_COMMAND). Call before MainWindow::Create, so the enabling reported by the
// load step's first rebuild is not missed.
void InstallMenuForm(MainWindow& main);
// The shortcut keys of the menu-bar entries while the main window has the
// keyboard; true when msg became a command.
bool TranslateMenuAccelerator(MSG& msg);

}  // namespace vt
