#include "platform/win32/window_dpi.h"

#include "common/twips.h"
#include "platform/win32/ui_font.h"

namespace vt {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

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

}  // namespace vt
