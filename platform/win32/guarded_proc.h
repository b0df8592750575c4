// The one boundary between Windows and the program's handlers. No exception
// may leave a window, dialog or subclass procedure: it would unwind through
// system code. Every procedure runs its work through GuardProc, which logs
// whatever escapes (the procedure, the message, the exception's text) and
// answers as if the message had not been handled.
#pragma once

#include <windows.h>

#include <utility>

namespace vt {

enum class ProcKind {
    Window,
    // A dialog whose OK saves what it shows: an OK that fails tells the user
    // that nothing was saved, and the dialog stays open with what was typed.
    Dialog,
};

// Inside a catch block only: logs "<where>: <message>: <exception's text>".
void LogCaughtException(const char* where, UINT msg) noexcept;
// Inside a catch block only, for places that are not procedures.
void LogCaughtException(const char* where) noexcept;
// The system's error message, "发生错误，无法保存!", in a box over owner.
void TellSaveFailed(HWND owner) noexcept;

template <class Body, class Unhandled>
auto GuardProc(ProcKind kind, const char* where, HWND hwnd, UINT msg, WPARAM wp, Body&& body,
               Unhandled&& unhandled) noexcept -> decltype(body()) {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        LogCaughtException(where, msg);
    }
    if (kind == ProcKind::Dialog && msg == WM_COMMAND && LOWORD(wp) == IDOK) TellSaveFailed(hwnd);
    return std::forward<Unhandled>(unhandled)();
}

}  // namespace vt
