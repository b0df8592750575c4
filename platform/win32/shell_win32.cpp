#include "platform/win32/shell_win32.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"

// Exported by shell32 but missing from the mingw headers.
extern "C" __declspec(dllimport) void WINAPI SHUpdateRecycleBinIcon();

namespace vt {

namespace {

int ShowCommand(ShowCmd show) {
    switch (show) {
        case ShowCmd::Maximized:
            return SW_SHOWMAXIMIZED;
        case ShowCmd::Minimized:
            return SW_SHOWMINIMIZED;
        case ShowCmd::Hidden:
            return SW_HIDE;
        case ShowCmd::Normal:
            break;
    }
    // Shown in the size and place the program chooses for itself.
    return SW_SHOW;
}

// Another program may hold the clipboard for a moment (clipboard managers
// read every change); give it a few chances before giving up.
bool OpenClipboardPatiently(HWND owner) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (::OpenClipboard(owner)) return true;
        ::Sleep(20);
    }
    return false;
}

}  // namespace

bool ShellWin32::Execute(const std::string& verb, const std::string& file, const std::string& params,
                         const std::string& dir, ShowCmd show) {
    std::wstring v = Widen(verb), f = Widen(file), p = Widen(params), d = Widen(dir);
    auto r = reinterpret_cast<INT_PTR>(::ShellExecuteW(owner_, v.empty() ? nullptr : v.c_str(), f.c_str(),
                                                       p.empty() ? nullptr : p.c_str(), d.empty() ? nullptr : d.c_str(),
                                                       ShowCommand(show)));
    if (r <= 32) LogWin32Failure("ShellExecuteW", static_cast<DWORD>(r));
    return r > 32;
}

bool ShellWin32::EmptyRecycleBin() {
    // All drives, without the system's own question: the item is the request,
    // and asking first is what the launch confirmation option is for.
    HRESULT hr = ::SHEmptyRecycleBinW(owner_, nullptr, SHERB_NOCONFIRMATION);
    SHUpdateRecycleBinIcon();
    // An already empty bin is not a failure.
    return SUCCEEDED(hr) || hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == E_UNEXPECTED;
}

bool ShellWin32::SetClipboardText(const std::string& text) {
    std::wstring w = Widen(text);
    size_t bytes = (w.size() + 1) * sizeof(wchar_t);
    HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!mem) return false;
    if (void* p = ::GlobalLock(mem)) {
        std::memcpy(p, w.c_str(), bytes);
        ::GlobalUnlock(mem);
    } else {
        ::GlobalFree(mem);
        return false;
    }
    if (!OpenClipboardPatiently(owner_)) {
        LogWin32Failure("OpenClipboard");
        ::GlobalFree(mem);
        return false;
    }
    ::EmptyClipboard();
    bool ok = ::SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
    if (!ok) {
        LogWin32Failure("SetClipboardData");
        ::GlobalFree(mem);  // still ours when the call failed
    }
    ::CloseClipboard();
    return ok;
}

}  // namespace vt
