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
#include "platform/win32/window_dpi.h"

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

        // A framed box without a title bar, like a splash window: there is
        // nothing to move, close or answer. Made hidden and laid out once it
        // knows the DPI of the monitor it is on.
        RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        hwnd_.reset(::CreateWindowExW(kExStyle, kMigrationProgressClass, kTitle, kStyle,
                                      work.left + (work.right - work.left) / 2, work.top + (work.bottom - work.top) / 2,
                                      1, 1, nullptr, nullptr, instance, this));
        if (!hwnd_) {
            LogWin32Failure("CreateWindowExW");
            return false;
        }
        label_ = ::CreateWindowExW(0, L"STATIC", Widen(kMsgMigrationProgress).c_str(),
                                   WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, hwnd_.get(), nullptr,
                                   instance, nullptr);
        bar_ = ::CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | PBS_SMOOTH, 0, 0, 0, 0,
                                 hwnd_.get(), nullptr, instance, nullptr);
        const RECT& centre = work;
        Layout(WindowDpi(hwnd_.get()), nullptr, &centre);
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
    static constexpr DWORD kStyle = WS_POPUP | WS_DLGFRAME | WS_CLIPCHILDREN;
    static constexpr DWORD kExStyle = 0;

    // A 96-dpi design in pixels of `dpi`: at `suggested` when the system
    // moved the window to another monitor, else centred in `centreIn`.
    void Layout(int dpi, const RECT* suggested, const RECT* centreIn) {
        auto px = [dpi](int at96) { return ::MulDiv(at96, dpi, 96); };
        UniqueHfont old = std::move(font_);
        font_ = CreateUiFont(9, dpi);
        const std::wstring text = Widen(kMsgMigrationProgress);
        SIZE extent{0, px(16)};
        if (HDC dc = ::GetDC(hwnd_.get())) {
            HGDIOBJ was = ::SelectObject(dc, font_.get());
            ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            ::SelectObject(dc, was);
            ::ReleaseDC(hwnd_.get(), dc);
        }
        const int margin = px(16), gap = px(10), barHeight = px(18);
        const int clientW = std::max<int>(px(320), extent.cx + 2 * margin);
        const int clientH = margin + extent.cy + gap + barHeight + margin;
        RECT rc{0, 0, clientW, clientH};
        AdjustWindowRectForDpi(rc, kStyle, kExStyle, dpi);
        const int w = rc.right - rc.left, h = rc.bottom - rc.top;
        int x = 0, y = 0;
        if (suggested) {
            x = suggested->left;
            y = suggested->top;
        } else if (centreIn) {
            x = centreIn->left + (centreIn->right - centreIn->left - w) / 2;
            y = centreIn->top + (centreIn->bottom - centreIn->top - h) / 2;
        }
        ::SetWindowPos(hwnd_.get(), nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
        if (label_) {
            ::SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
            ::SetWindowPos(label_, nullptr, margin, margin, clientW - 2 * margin, extent.cy,
                           SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (bar_)
            ::SetWindowPos(bar_, nullptr, margin, margin + extent.cy + gap, clientW - 2 * margin, barHeight,
                           SWP_NOZORDER | SWP_NOACTIVATE);
    }

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
        if (msg == WM_NCCREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        }
        auto unhandled = [&] { return ::DefWindowProcW(hwnd, msg, wp, lp); };
        return GuardProc(
            ProcKind::Window, "migration progress", hwnd, msg, wp,
            [&] {
                // The conversion cannot be cut short from here: Alt+F4 does nothing.
                if (msg == WM_CLOSE) return LRESULT{0};
                auto* self = reinterpret_cast<ProgressWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
                if (msg == WM_DPICHANGED && self && self->hwnd_) {
                    self->Layout(HIWORD(wp), reinterpret_cast<const RECT*>(lp), nullptr);
                    return LRESULT{0};
                }
                return unhandled();
            },
            unhandled);
    }

    UniqueHwnd hwnd_;
    UniqueHfont font_;
    HWND label_ = nullptr;
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
