#include "tests/win32/screen_picture.h"

#include <cstdlib>

namespace vt::harness {

ScreenPicture LoadScreenPicture(const std::filesystem::path& file) {
    ScreenPicture p;
    Gdiplus::Bitmap b(file.wstring().c_str());
    if (b.GetLastStatus() != Gdiplus::Ok) return p;
    p.width = static_cast<int>(b.GetWidth());
    p.height = static_cast<int>(b.GetHeight());
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            Gdiplus::Color c;
            b.GetPixel(x, y, &c);
            p.pixels.push_back(c.GetValue());
        }
    return p;
}

double ScreenMatch(const ScreenPicture& p, int left, int top) {
    const std::vector<uint32_t> screen = CaptureScreenPixels(RECT{left, top, left + p.width, top + p.height});
    int opaque = 0, same = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const Gdiplus::ARGB c = p.pixels[static_cast<size_t>(y * p.width + x)];
            if ((c >> 24) < 250) continue;
            ++opaque;
            const uint32_t s = screen[static_cast<size_t>(y * p.width + x)];
            if (s == kOffScreenPixel) continue;
            const int dr = std::abs(static_cast<int>((s >> 16) & 0xFF) - static_cast<int>((c >> 16) & 0xFF));
            const int dg = std::abs(static_cast<int>((s >> 8) & 0xFF) - static_cast<int>((c >> 8) & 0xFF));
            const int db = std::abs(static_cast<int>(s & 0xFF) - static_cast<int>(c & 0xFF));
            if (dr <= 8 && dg <= 8 && db <= 8) ++same;
        }
    return opaque ? static_cast<double>(same) / opaque : 0.0;
}

}  // namespace vt::harness
