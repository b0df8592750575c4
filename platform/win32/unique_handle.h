// One RAII owner for every kind of Win32 handle, plus the DC helpers that the
// painting code needs. Windows-only.
#pragma once

#include <windows.h>

#include <utility>

namespace vt {

// Traits name the handle type, the value an empty owner holds (Invalid), which
// values are real handles (Valid: file handles have two empty values, null
// and INVALID_HANDLE_VALUE), and how one is closed.
template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }

    Handle get() const { return h_; }
    explicit operator bool() const { return Traits::Valid(h_); }
    // Gives up ownership, for calls that take it over.
    [[nodiscard]] Handle release() { return std::exchange(h_, Traits::Invalid()); }
    void reset(Handle h = Traits::Invalid()) {
        Handle old = std::exchange(h_, h);
        if (Traits::Valid(old)) Traits::Close(old);
    }

private:
    Handle h_ = Traits::Invalid();
};

namespace handle_traits {
template <class H, auto CloseFn>
struct Simple {
    using Handle = H;
    static Handle Invalid() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { CloseFn(h); }
};
inline void DeleteGdi(HGDIOBJ h) {
    ::DeleteObject(h);
}
// What CreateFile gives: INVALID_HANDLE_VALUE on failure, never null.
struct File {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Valid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};
}  // namespace handle_traits

using UniqueHwnd = UniqueHandle<handle_traits::Simple<HWND, ::DestroyWindow>>;
using UniqueHkey = UniqueHandle<handle_traits::Simple<HKEY, ::RegCloseKey>>;
using UniqueHicon = UniqueHandle<handle_traits::Simple<HICON, ::DestroyIcon>>;
using UniqueHfont = UniqueHandle<handle_traits::Simple<HFONT, handle_traits::DeleteGdi>>;
using UniqueHbitmap = UniqueHandle<handle_traits::Simple<HBITMAP, handle_traits::DeleteGdi>>;
using UniqueHbrush = UniqueHandle<handle_traits::Simple<HBRUSH, handle_traits::DeleteGdi>>;
using UniqueHpen = UniqueHandle<handle_traits::Simple<HPEN, handle_traits::DeleteGdi>>;
using UniqueHrgn = UniqueHandle<handle_traits::Simple<HRGN, handle_traits::DeleteGdi>>;
using UniqueHmenu = UniqueHandle<handle_traits::Simple<HMENU, ::DestroyMenu>>;
// Mutexes, events, threads, processes: null on failure.
using UniqueHandleObj = UniqueHandle<handle_traits::Simple<HANDLE, ::CloseHandle>>;
// Files, from CreateFile.
using UniqueFile = UniqueHandle<handle_traits::File>;

// A memory DC (CreateCompatibleDC / DeleteDC).
using UniqueMemDc = UniqueHandle<handle_traits::Simple<HDC, ::DeleteDC>>;

// The DC of a window for the scope (GetDC / ReleaseDC).
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint / EndPaint for the scope.
class PaintDc {
public:
    explicit PaintDc(HWND hwnd) : hwnd_(hwnd) { dc_ = ::BeginPaint(hwnd, &ps_); }
    ~PaintDc() { ::EndPaint(hwnd_, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return dc_; }
    const RECT& Dirty() const { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// Puts the previously selected object back when the scope ends.
class SelectRestorer {
public:
    SelectRestorer(HDC dc, HGDIOBJ obj) : dc_(dc), old_(::SelectObject(dc, obj)) {}
    ~SelectRestorer() {
        if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
    }
    SelectRestorer(const SelectRestorer&) = delete;
    SelectRestorer& operator=(const SelectRestorer&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Writes "<call> failed: <system error text>" to the debugger output; the
// program carries on. Used wherever a Win32 call's failure is not fatal.
void LogWin32Failure(const char* call, DWORD error = ::GetLastError());

}  // namespace vt
