#include "tests/win32/screenshot.h"

#include "platform/win32/gdiplus_inc.h"

#include <cstdint>
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
    std::vector<uint32_t> pixels = ScreenPixels(r);
    // Pictures are saved opaque.
    for (uint32_t& p : pixels)
        p |= 0xFF000000u;
    CLSID png{};
    if (!PngEncoder(&png)) return false;
    Gdiplus::Bitmap bitmap(w, h, w * 4, PixelFormat32bppRGB, reinterpret_cast<BYTE*>(pixels.data()));
    return bitmap.Save(pngPath.c_str(), &png, nullptr) == Gdiplus::Ok;
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
