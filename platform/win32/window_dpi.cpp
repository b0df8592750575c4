#include "platform/win32/window_dpi.h"

#include "common/twips.h"
#include "platform/win32/ui_font.h"

namespace vt {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

int Sane(int dpi) {
    return IsUsableDpi(dpi) ? dpi : 0;
}

}  // namespace

int WindowDpi(HWND hwnd) {
    static const auto forWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (forWindow && hwnd)
        if (int dpi = Sane(static_cast<int>(forWindow(hwnd)))) return dpi;
    if (hwnd) {
        WindowDc dc(hwnd);
        if (dc.get())
            if (int dpi = Sane(::GetDeviceCaps(dc.get(), LOGPIXELSY))) return dpi;
    }
    return ScreenDpi();
}

void AdjustWindowRectForDpi(RECT& rc, DWORD style, DWORD exStyle, int dpi) {
    static const auto forDpi = reinterpret_cast<AdjustForDpiFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    // At the screen's own DPI the plain call is the same and has always been
    // there (Wine included).
    RECT tried = rc;
    if (dpi != ScreenDpi() && forDpi && forDpi(&tried, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
        rc = tried;
        return;
    }
    ::AdjustWindowRectEx(&rc, style, FALSE, exStyle);
}

}  // namespace vt
