// The program's one typeface: a CJK-capable font chosen once from what the
// system has, created at a point size for a given DPI.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/unique_handle.h"
#include "platform/win32/window_dpi.h"  // WindowDpi, once declared here

namespace vt {

// First installed of "Microsoft YaHei", "SimSun", "WenQuanYi Micro Hei",
// "NSimSun"; the system's default GUI face otherwise.
const std::wstring& UiFontFace();

// A font of the program's face at `points` for a device of `dpi` dots per inch.
UniqueHfont CreateUiFont(int points, int dpi, bool bold = false);

// Dots per inch of the screen (the real value, not the 96 of an unaware process).
int ScreenDpi();

// The same for a monitor (null: the primary one).
int MonitorDpi(HMONITOR monitor);
// A system metric (SM_CXSMICON, SM_CXICON, ...) at `dpi`; from the 96-dpi
// value scaled where the system cannot tell it for another dpi.
int MetricForDpi(int index, int dpi);

}  // namespace vt
