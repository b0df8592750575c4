// VTSkinEditor.exe: one main window at a time. New replaces it from a timer
// of a hidden helper window, never from inside the main window's own click.
#include "skineditor/editor_win32.h"  // <windows.h> first

#include <commctrl.h>
#include <ole2.h>

#include <memory>

#include "platform/win32/guarded_proc.h"

namespace {

constexpr wchar_t kNewFormClass[] = L"VTSkinEditorNewForm";
constexpr UINT_PTR kTmrNew = 1;
constexpr UINT kTmrNewInterval = 100;

struct App {
    HINSTANCE instance = nullptr;
    std::unique_ptr<vt::MainForm> main;
    std::unique_ptr<vt::MainForm> retired;  // the window New replaced, freed outside its own handlers
    HWND newForm = nullptr;
};
App g_app;

bool OpenMainForm();

LRESULT CALLBACK NewFormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_TIMER && wp == kTmrNew) {
        ::KillTimer(hwnd, kTmrNew);
        vt::GuardProc(
            vt::ProcKind::Window, "editor new-project step", hwnd, msg, wp,
            [] {
                if (g_app.main) g_app.main->Close(true);
                g_app.retired = std::move(g_app.main);
                return OpenMainForm();
            },
            [] { return false; });
        ::DestroyWindow(hwnd);
        g_app.newForm = nullptr;
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

// Loaded but never shown; it only carries the timer.
void LoadNewForm() {
    if (g_app.newForm) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExW(g_app.instance, kNewFormClass, &wc)) {
        wc.lpfnWndProc = NewFormProc;
        wc.hInstance = g_app.instance;
        wc.lpszClassName = kNewFormClass;
        ::RegisterClassExW(&wc);
    }
    g_app.newForm = ::CreateWindowExW(WS_EX_TOOLWINDOW, kNewFormClass, L"", WS_POPUP, 0, 0, 28, 28, nullptr, nullptr,
                                      g_app.instance, nullptr);
    if (g_app.newForm) ::SetTimer(g_app.newForm, kTmrNew, kTmrNewInterval, nullptr);
}

bool OpenMainForm() {
    g_app.main = std::make_unique<vt::MainForm>(
        g_app.instance,
        [](bool replaced) {
            if (!replaced) ::PostQuitMessage(0);
        },
        [] { LoadNewForm(); });
    return g_app.main->Create();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    g_app.instance = instance;
    ::OleInitialize(nullptr);  // the folder browser's new style needs OLE
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    if (!OpenMainForm()) return 1;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (g_app.retired) g_app.retired.reset();
        if (g_app.main && g_app.main->PreTranslate(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    g_app.main.reset();
    g_app.retired.reset();
    ::OleUninitialize();
    return static_cast<int>(msg.wParam);
}
