// Pixels as the UI tests and the Windows benches compare them: 0x00RRGGBB,
// top-down, read back through one 32-bit DIB whatever they come from (the
// screen, a bitmap, a drawing). Header only, so the benches can use it
// without the test harness.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vt {

// What draw(dc) leaves in a width x height 32-bit DIB selected into dc
// (black where it draws nothing).
template <typename Draw>
std::vector<uint32_t> DrawnPixels(int width, int height, Draw draw) {
    std::vector<uint32_t> out(static_cast<size_t>(std::max(width, 0)) * std::max(height, 0));
    if (out.empty()) return out;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) return out;
    HDC mem = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(mem, dib);
    draw(mem);
    ::GdiFlush();
    std::memcpy(out.data(), bits, out.size() * 4);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    ::DeleteObject(dib);
    // The DIB's spare byte is not alpha.
    for (uint32_t& p : out)
        p &= 0xFFFFFF;
    return out;
}

// What the screen shows in a rectangle, taken as it is: Wine copies nothing
// for a rectangle that reaches past the screen's edge.
inline std::vector<uint32_t> ScreenPixels(const RECT& r) {
    HDC screen = ::GetDC(nullptr);
    // CAPTUREBLT brings layered windows (the launcher's main window), which
    // are not part of the plain screen copy.
    std::vector<uint32_t> out = DrawnPixels(r.right - r.left, r.bottom - r.top, [&](HDC mem) {
        ::BitBlt(mem, 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY | CAPTUREBLT);
    });
    ::ReleaseDC(nullptr, screen);
    return out;
}

// The same with only the part on the screen copied; the rest is kOffScreenPixel.
inline constexpr uint32_t kOffScreenPixel = 0xFF000000u;
inline std::vector<uint32_t> CaptureScreenPixels(const RECT& r) {
    const int w = std::max(0, static_cast<int>(r.right - r.left)), h = std::max(0, static_cast<int>(r.bottom - r.top));
    std::vector<uint32_t> out(static_cast<size_t>(w) * h, kOffScreenPixel);
    RECT screenRect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}, shown{};
    if (!::IntersectRect(&shown, &r, &screenRect)) return out;
    const int sw = shown.right - shown.left, sh = shown.bottom - shown.top;
    const std::vector<uint32_t> part = ScreenPixels(shown);
    for (int y = 0; y < sh; ++y)
        std::copy_n(&part[static_cast<size_t>(y) * sw], sw,
                    &out[static_cast<size_t>(y + shown.top - r.top) * w + (shown.left - r.left)]);
    return out;
}

// A bitmap's pixels from its corner.
inline std::vector<uint32_t> ReadBitmapPixels(HBITMAP bitmap, int width, int height) {
    HDC src = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(src, bitmap);
    std::vector<uint32_t> out =
        DrawnPixels(width, height, [&](HDC mem) { ::BitBlt(mem, 0, 0, width, height, src, 0, 0, SRCCOPY); });
    ::SelectObject(src, old);
    ::DeleteDC(src);
    return out;
}

// A fingerprint of pixels (a bench's "did the screen change").
inline uint64_t PixelsHash(const std::vector<uint32_t>& pixels) {
    uint64_t h = 1469598103934665603ull;
    for (uint32_t p : pixels)
        h = (h ^ p) * 1099511628211ull;
    return h;
}

}  // namespace vt
