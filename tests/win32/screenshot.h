// Pictures of windows taken by the UI tests, for people to look at after a run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vt {

// Copies what the screen shows inside the window's rectangle (layered windows
// included) into a PNG file. False when the window is gone or the file could
// not be written.
bool SaveWindowScreenshot(HWND hwnd, const std::wstring& pngPath);
// Same for any rectangle of the screen (a window with its open popup menu).
bool SaveScreenScreenshot(const RECT& screenRect, const std::wstring& pngPath);

// Pixels as 0x00RRGGBB, top-down: what the screen shows inside a rectangle
// (layered windows included; past the screen's edge kOffScreenPixel), and
// a bitmap's from its corner.
inline constexpr uint32_t kOffScreenPixel = 0xFF000000u;
std::vector<uint32_t> CaptureScreenPixels(const RECT& screenRect);
std::vector<uint32_t> ReadBitmapPixels(HBITMAP bitmap, int width, int height);

// The build folder's "screenshots\" (beside the test program), created on
// first use; ends with a backslash.
std::wstring ScreenshotDir();

}  // namespace vt
