#include "tests/win32/screenshot.h"

#include "platform/win32/gdiplus_inc.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace vt {
namespace {

// GDI+ stays up for the rest of the test run once a picture was taken: shutting
// it down between pictures costs more than it saves.
bool EnsureGdiplus() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR token = 0;
        ok = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    });
    return ok;
}

bool PngEncoder(CLSID* clsid) {
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace

bool SaveWindowScreenshot(HWND hwnd, const std::wstring& pngPath) {
    RECT r{};
    if (!IsWindow(hwnd) || !GetWindowRect(hwnd, &r)) return false;
    return SaveScreenScreenshot(r, pngPath);
}

bool SaveScreenScreenshot(const RECT& r, const std::wstring& pngPath) {
    if (!EnsureGdiplus()) return false;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;

    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(screen);
    bool copied = false;
    if (dib && mem) {
        HGDIOBJ old = SelectObject(mem, dib);
        // CAPTUREBLT brings layered windows, which are not part of the plain screen copy.
        copied = BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY | CAPTUREBLT) != FALSE;
        SelectObject(mem, old);
    }
    if (mem) DeleteDC(mem);
    ReleaseDC(nullptr, screen);

    bool saved = false;
    if (copied) {
        // The DIB's spare byte is not alpha: pictures are saved opaque.
        auto* px = static_cast<BYTE*>(bits);
        for (int i = 0; i < w * h; ++i)
            px[i * 4 + 3] = 0xFF;
        CLSID png{};
        if (PngEncoder(&png)) {
            Gdiplus::Bitmap bitmap(w, h, w * 4, PixelFormat32bppRGB, px);
            saved = bitmap.Save(pngPath.c_str(), &png, nullptr) == Gdiplus::Ok;
        }
    }
    if (dib) DeleteObject(dib);
    return saved;
}

namespace {

// Copies w x h pixels from (x, y) of `from` into 0x00RRGGBB form.
std::vector<uint32_t> CopyPixels(HDC from, int x, int y, int w, int h, DWORD rop) {
    std::vector<uint32_t> out(static_cast<size_t>(std::max(w, 0)) * std::max(h, 0));
    if (out.empty()) return out;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, from, x, y, rop);
    GdiFlush();
    std::memcpy(out.data(), bits, out.size() * 4);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(dib);
    for (uint32_t& p : out)
        p &= 0xFFFFFF;
    return out;
}

}  // namespace

std::vector<uint32_t> CaptureScreenPixels(const RECT& r) {
    const int w = std::max(0, static_cast<int>(r.right - r.left)), h = std::max(0, static_cast<int>(r.bottom - r.top));
    std::vector<uint32_t> out(static_cast<size_t>(w) * h, kOffScreenPixel);
    // Only the part on the screen: Wine copies nothing at all for a
    // rectangle that reaches past its edge.
    RECT screenRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, shown{};
    if (!IntersectRect(&shown, &r, &screenRect)) return out;
    HDC screen = GetDC(nullptr);
    // CAPTUREBLT brings layered windows, which are not part of the plain screen copy.
    const int sw = shown.right - shown.left, sh = shown.bottom - shown.top;
    const std::vector<uint32_t> part = CopyPixels(screen, shown.left, shown.top, sw, sh, SRCCOPY | CAPTUREBLT);
    ReleaseDC(nullptr, screen);
    for (int y = 0; y < sh; ++y)
        std::copy_n(&part[static_cast<size_t>(y) * sw], sw,
                    &out[static_cast<size_t>(y + shown.top - r.top) * w + (shown.left - r.left)]);
    return out;
}

std::vector<uint32_t> ReadBitmapPixels(HBITMAP bitmap, int width, int height) {
    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(src, bitmap);
    std::vector<uint32_t> out = CopyPixels(src, 0, 0, width, height, SRCCOPY);
    SelectObject(src, old);
    DeleteDC(src);
    return out;
}

std::wstring ScreenshotDir() {
    std::wstring exe(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
        if (n == 0) return L".\\";
        if (n < exe.size()) {
            exe.resize(n);
            break;
        }
        exe.resize(exe.size() * 2);
    }
    size_t slash = exe.find_last_of(L"\\/");
    std::wstring dir =
        (slash == std::wstring::npos ? std::wstring(L".\\") : exe.substr(0, slash + 1)) + L"screenshots\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

}  // namespace vt
