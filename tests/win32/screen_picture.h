// A picture file's pixels, and how much of it the screen shows at a place:
// for tests that check a skin picture was really drawn where it belongs.
#pragma once

#include <windows.h>

#include "platform/win32/gdiplus_inc.h"

#include <cstdint>
#include <filesystem>
#include <vector>

#include "tests/win32/screen_pixels.h"

namespace vt::harness {

struct ScreenPicture {
    int width = 0, height = 0;
    std::vector<Gdiplus::ARGB> pixels;
};

// Empty when GDI+ (started by the caller) cannot read the file.
ScreenPicture LoadScreenPicture(const std::filesystem::path& file);

// Share of the picture's opaque pixels that the screen shows at (left, top),
// each colour channel within 8 of the picture's.
double ScreenMatch(const ScreenPicture& p, int left, int top);

}  // namespace vt::harness
