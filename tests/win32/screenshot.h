// Pictures of windows taken by the UI tests, for people to look at after a run.
#pragma once

#include <windows.h>

#include <string>

#include "tests/win32/screen_pixels.h"

namespace vt {

// Copies what the screen shows inside the window's rectangle (layered windows
// included) into a PNG file. False when the window is gone or the file could
// not be written.
bool SaveWindowScreenshot(HWND hwnd, const std::wstring& pngPath);
// Same for any rectangle of the screen (a window with its open popup menu).
bool SaveScreenScreenshot(const RECT& screenRect, const std::wstring& pngPath);

// The build folder's "screenshots\" (beside the test program), created on
// first use; ends with a backslash.
std::wstring ScreenshotDir();

}  // namespace vt
