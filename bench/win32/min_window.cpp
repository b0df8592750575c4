// The yardstick of startup_bench: the least a Win32 program does to put one
// painted window of the launcher's size on the screen. Run by startup_bench
// with "--window"; run alone (as tools/bench does) it only says what it is.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(w, &ps);
            HBRUSH b = CreateSolidBrush(RGB(40, 90, 160));
            FillRect(dc, &ps.rcPaint, b);
            DeleteObject(b);
            EndPaint(w, &ps);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--window") != 0) {
        std::printf("min_window: the reference window of startup_bench (nothing to time on its own)\n");
        return 0;
    }
    const int width = argc > 2 ? std::atoi(argv[2]) : 360, height = argc > 3 ? std::atoi(argv[3]) : 460;
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VantrelBenchMinWindow";
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, wc.lpszClassName, L"min", WS_POPUP, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                             (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr,
                             wc.hInstance, nullptr);
    ShowWindow(w, SW_SHOW);
    UpdateWindow(w);
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return 0;
}
