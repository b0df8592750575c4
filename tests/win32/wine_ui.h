// Helpers shared by the tests that drive the programs from outside.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

// The one wait of the tests: looks at cond() until it holds or timeoutMs have
// passed, and says which. Between looks it waits on the program under test, so
// a program that dies ends the wait at once; with no program (a null handle)
// it simply pauses.
inline bool WaitFor(HANDLE process, DWORD timeoutMs, const std::function<bool()>& cond) {
    constexpr DWORD kLookEveryMs = 50;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!cond()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        if (!process)
            ::Sleep(kLookEveryMs);
        else if (::WaitForSingleObject(process, kLookEveryMs) == WAIT_OBJECT_0)
            return cond();
    }
    return true;
}

// For what happens in the test's own process (another thread, a dialog).
inline bool WaitFor(DWORD timeoutMs, const std::function<bool()>& cond) {
    return WaitFor(nullptr, timeoutMs, cond);
}

// Real key presses go to the window in front. Wine may refuse the first
// SetForegroundWindow while another window (a program an earlier test started,
// a closing dialog) still holds the foreground, so ask again until it holds.
inline bool BringToFront(HANDLE process, HWND w, DWORD timeoutMs = 10000) {
    return WaitFor(process, timeoutMs, [&] {
        if (::GetForegroundWindow() == w) return true;
        ::SetForegroundWindow(w);
        return ::GetForegroundWindow() == w;
    });
}

// WM_GETTEXT, since GetWindowText does not ask controls of other processes.
inline std::wstring Text(HWND h) {
    wchar_t buf[512] = {};
    DWORD_PTR n = 0;
    ::SendMessageTimeoutW(h, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, &n);
    return buf;
}

// A control by id anywhere below parent (pages nest controls in child windows).
inline HWND FindControl(HWND parent, int id) {
    struct Ctx {
        int id;
        HWND out;
    } ctx{id, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND h, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            if (::GetDlgCtrlID(h) == c->id) {
                c->out = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.out;
}
