#include "launcher/mainwindow/monitors_win32.h"

#include <windows.h>

#include "common/twips.h"
#include "platform/win32/ui_font.h"

namespace vt {

namespace {

// shcore's GetDpiForMonitor (Windows 8.1 and later); 0 is MDT_EFFECTIVE_DPI.
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

GetDpiForMonitorFn DpiForMonitor() {
    static const GetDpiForMonitorFn fn = [] {
        HMODULE m = ::LoadLibraryW(L"shcore.dll");
        return m ? reinterpret_cast<GetDpiForMonitorFn>(
                       reinterpret_cast<void*>(::GetProcAddress(m, "GetDpiForMonitor")))
                 : nullptr;
    }();
    return fn;
}

int Sane(int dpi) {
    return IsUsableDpi(dpi) ? dpi : 0;
}

}  // namespace

Desktop DesktopMonitors() {
    struct Collect {
        Desktop list;
        GetDpiForMonitorFn forMonitor;
        int screenDpi;
    } c{{}, DpiForMonitor(), ScreenDpi()};
    ::EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR m, HDC, LPRECT, LPARAM p) -> BOOL {
            auto& c = *reinterpret_cast<Collect*>(p);
            MONITORINFO mi{};
            mi.cbSize = sizeof(mi);
            if (!::GetMonitorInfoW(m, &mi)) return TRUE;
            UINT dx = 0, dy = 0;
            int dpi = c.forMonitor && SUCCEEDED(c.forMonitor(m, 0, &dx, &dy)) ? Sane(static_cast<int>(dy)) : 0;
            Monitor mon{{mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right, mi.rcMonitor.bottom},
                        {mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom},
                        dpi ? dpi : c.screenDpi};
            if (mi.dwFlags & MONITORINFOF_PRIMARY)
                c.list.insert(c.list.begin(), mon);
            else
                c.list.push_back(mon);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&c));
    if (c.list.empty()) {
        const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
        RECT work{0, 0, w, h};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        c.list.push_back(Monitor{{0, 0, w, h}, {work.left, work.top, work.right, work.bottom}, c.screenDpi});
    }
    return c.list;
}

}  // namespace vt
