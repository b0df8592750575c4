// The DPI a window is drawn at. Windows 10 (1607) and later tell each window
// its own monitor's DPI; older systems and Wine may not have the functions,
// so they are looked up at run time and the screen's one DPI stands in where
// they are missing.
#pragma once

#include <windows.h>

namespace vt {

// The DPI of the monitor `hwnd` is on (GetDpiForWindow), or the screen DC's
// LOGPIXELSY where the system cannot say. Never below 24 or above 1440.
int WindowDpi(HWND hwnd);

// The window rectangle around client rectangle `rc` (changed in place) for a
// window of `style` drawn at `dpi`: its frame and caption at that DPI, where
// the system can tell them (AdjustWindowRectExForDpi), else the screen's.
void AdjustWindowRectForDpi(RECT& rc, DWORD style, DWORD exStyle, int dpi);

}  // namespace vt
