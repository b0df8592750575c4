#include "launcher/mainwindow/migration_progress_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

#include "platform/win32/dialog_template.h"
#include "platform/win32/guarded_proc.h"
#include "platform/win32/ui_font.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"

namespace vt {
namespace {

constexpr wchar_t kTitle[] = L"Vantrel";
constexpr DWORD kRefreshMs = 50;

// What the worker shares with the window thread.
struct Job {
    std::atomic<int> done{0};
    std::atomic<int> total{0};
    MigrationReport report;
};

class ProgressWindow {
public:
    bool Create(HINSTANCE instance) {
        EnsureCommonControls();
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &ProgressWindow::WndProc;
        wc.hInstance = instance;
        wc.hIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
        wc.hCursor = ::LoadCursorW(nullptr, IDC_WAIT);
        wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = kMigrationProgressClass;
        if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            LogWin32Failure("RegisterClassExW");
            return false;
        }

        // Laid out in pixels of the screen's DPI: a 96-dpi design scaled once.
        const int dpi = ScreenDpi();
        auto px = [dpi](int at96) { return ::MulDiv(at96, dpi, 96); };
        font_ = CreateUiFont(9, dpi);
        const std::wstring text = Widen(kMsgMigrationProgress);
        SIZE extent{0, px(16)};
        if (HDC dc = ::GetDC(nullptr)) {
            HGDIOBJ old = ::SelectObject(dc, font_.get());
            ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            ::SelectObject(dc, old);
            ::ReleaseDC(nullptr, dc);
        }
        const int margin = px(16), gap = px(10), barHeight = px(18);
        const int clientW = std::max<int>(px(320), extent.cx + 2 * margin);
        const int clientH = margin + extent.cy + gap + barHeight + margin;

        // A framed box without a title bar, like a splash window: there is
        // nothing to move, close or answer.
        const DWORD style = WS_POPUP | WS_DLGFRAME | WS_CLIPCHILDREN;
        const DWORD exStyle = 0;
        RECT rc{0, 0, clientW, clientH};
        ::AdjustWindowRectEx(&rc, style, FALSE, exStyle);
        RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const int w = rc.right - rc.left, h = rc.bottom - rc.top;
        hwnd_.reset(::CreateWindowExW(
            exStyle, kMigrationProgressClass, kTitle, style, work.left + (work.right - work.left - w) / 2,
            work.top + (work.bottom - work.top - h) / 2, w, h, nullptr, nullptr, instance, nullptr));
        if (!hwnd_) {
            LogWin32Failure("CreateWindowExW");
            return false;
        }
        HWND label =
            ::CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, margin, margin,
                              clientW - 2 * margin, extent.cy, hwnd_.get(), nullptr, instance, nullptr);
        if (label) ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        bar_ = ::CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | PBS_SMOOTH, margin,
                                 margin + extent.cy + gap, clientW - 2 * margin, barHeight, hwnd_.get(), nullptr,
                                 instance, nullptr);
        ::ShowWindow(hwnd_.get(), SW_SHOWNORMAL);
        ::UpdateWindow(hwnd_.get());
        return true;
    }

    void Update(int done, int total) {
        if (!bar_ || (done == done_ && total == total_)) return;
        done_ = done;
        total_ = total;
        ::SendMessageW(bar_, PBM_SETRANGE32, 0, std::max(1, total));
        ::SendMessageW(bar_, PBM_SETPOS, std::min(done, std::max(1, total)), 0);
    }

    HWND Handle() const { return hwnd_.get(); }

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
        auto unhandled = [&] { return ::DefWindowProcW(hwnd, msg, wp, lp); };
        return GuardProc(
            ProcKind::Window, "migration progress", hwnd, msg, wp,
            [&] {
                // The conversion cannot be cut short from here: Alt+F4 does nothing.
                if (msg == WM_CLOSE) return LRESULT{0};
                return unhandled();
            },
            unhandled);
    }

    UniqueHwnd hwnd_;
    UniqueHfont font_;
    HWND bar_ = nullptr;
    int done_ = -1;
    int total_ = -1;
};

}  // namespace

MigrationReport RunMigration(HINSTANCE instance, const std::string& appDir, Registry& registry, DWORD showAfterMs) {
    if (!MigrationPending(appDir)) return {};

    auto job = std::make_shared<Job>();
    UniqueHandleObj finished(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!finished) {
        // No event to wait on: convert here, without a window.
        return ConvertOldData(appDir, registry);
    }
    HANDLE event = finished.get();
    // Nothing of the worker is used after the event: it ends on its own.
    std::thread([job, event, appDir, &registry] {
        MigrationHooks hooks;
        hooks.progress = [&job](int done, int total) {
            job->total.store(total, std::memory_order_relaxed);
            job->done.store(done, std::memory_order_relaxed);
        };
        try {
            job->report = ConvertOldData(appDir, registry, hooks);
        } catch (...) {
            LogCaughtException("data conversion");
            // Whatever was cut short here is finished from the marker next time.
            job->report.result = MigrationResult::Incomplete;
        }
        ::SetEvent(event);
    }).detach();

    const DWORD start = ::GetTickCount();
    ProgressWindow window;
    bool shown = false;
    bool quit = false;
    WPARAM quitCode = 0;
    for (;;) {
        const DWORD elapsed = ::GetTickCount() - start;
        const DWORD wait = shown ? kRefreshMs : (elapsed >= showAfterMs ? 0 : showAfterMs - elapsed);
        const DWORD r = ::MsgWaitForMultipleObjectsEx(1, &event, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (r == WAIT_OBJECT_0) break;
        if (r == WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    quit = true;
                    quitCode = msg.wParam;
                    continue;
                }
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            continue;
        }
        if (r == WAIT_FAILED) {
            ::WaitForSingleObject(event, INFINITE);
            break;
        }
        if (!shown && ::GetTickCount() - start >= showAfterMs) {
            shown = true;
            (void)window.Create(instance);
        }
        window.Update(job->done.load(std::memory_order_relaxed), job->total.load(std::memory_order_relaxed));
    }
    if (quit) ::PostQuitMessage(static_cast<int>(quitCode));
    return job->report;
}

}  // namespace vt
