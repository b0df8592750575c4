#include "tests/win32/screen_picture.h"

#include <cstdlib>
#include <cstring>

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
    HDC screen = ::GetDC(nullptr);
    int opaque = 0, same = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const Gdiplus::ARGB c = p.pixels[static_cast<size_t>(y * p.width + x)];
            if ((c >> 24) < 250) continue;
            ++opaque;
            const COLORREF s = ::GetPixel(screen, left + x, top + y);
            const int dr = std::abs(static_cast<int>(GetRValue(s)) - static_cast<int>((c >> 16) & 0xFF));
            const int dg = std::abs(static_cast<int>(GetGValue(s)) - static_cast<int>((c >> 8) & 0xFF));
            const int db = std::abs(static_cast<int>(GetBValue(s)) - static_cast<int>(c & 0xFF));
            if (dr <= 8 && dg <= 8 && db <= 8) ++same;
        }
    ::ReleaseDC(nullptr, screen);
    return opaque ? static_cast<double>(same) / opaque : 0.0;
}

std::vector<uint32_t> ScreenPixels(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<uint32_t> out(static_cast<size_t>(w) * h);
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    // CAPTUREBLT brings the layered main window along.
    ::BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY | CAPTUREBLT);
    ::GdiFlush();
    std::memcpy(out.data(), bits, out.size() * 4);
    ::SelectObject(mem, old);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    for (uint32_t& p : out)
        p &= 0xFFFFFF;
    return out;
}

}  // namespace vt::harness
