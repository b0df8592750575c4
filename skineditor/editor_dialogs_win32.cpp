#include "skineditor/editor_win32.h"  // <windows.h> first

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "common/twips.h"
#include "platform/win32/guarded_proc.h"
#include "platform/win32/ui_font.h"
#include "platform/win32/win_text.h"

namespace vt {

namespace {

// Long enough for any path the shell hands out.
constexpr DWORD kPathBuffer = 32768;

std::string RunFileDialog(HWND owner, const std::string& title, const std::string& description,
                          const std::string& pattern, bool save) {
    std::wstring filter = Widen(description);
    filter.push_back(L'\0');
    filter += Widen(pattern);
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    const std::wstring wtitle = Widen(title);
    std::vector<wchar_t> file(kPathBuffer, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.hInstance = ::GetModuleHandleW(nullptr);
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kPathBuffer;
    ofn.lpstrTitle = wtitle.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL ok = save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn);
    if (!ok) return {};
    return Narrow(file.data());
}

// ---- About box --------------------------------------------------------------

constexpr wchar_t kAboutClass[] = L"VTSkinEditorAbout";
constexpr char kMakerEmail[] = "support@oskarn.com";
constexpr char kMakerWeb[] = "http://www.oskarn.com/vantrel";
constexpr int kIdEmail = 10, kIdWeb = 11, kIdOk = 12, kIdNotice = 13;

struct AboutState {
    UniqueHfont font;
    UniqueHfont linkFont;
    int dpi = 96;
    bool done = false;
};

void OpenLink(HWND owner, const std::string& target) {
    ::ShellExecuteW(owner, L"open", Widen(target).c_str(), nullptr, nullptr, SW_SHOW);
}

LRESULT AboutMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* st = reinterpret_cast<AboutState*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
        case WM_NCCREATE:
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
            break;
        case WM_CREATE: {
            st = reinterpret_cast<AboutState*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
            auto px = [&](int t) { return TwipsToPixels(t, st->dpi); };
            auto make = [&](const wchar_t* cls, const std::string& text, DWORD style, int x, int y, int w, int h,
                            int id, HFONT font) {
                HWND c =
                    ::CreateWindowExW(0, cls, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, px(x), px(y), px(w),
                                      px(h), hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
                ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
                return c;
            };
            HFONT f = st->font.get();
            make(L"STATIC", "程序名称:VT Skin Editor", SS_LEFT, 120, 120, 3495, 255, 0, f);
            make(L"STATIC", "程序版本:1.3", SS_LEFT, 120, 600, 3495, 255, 0, f);
            make(L"STATIC", "程序作者:Vantrel 开发组", SS_LEFT, 120, 1080, 3495, 255, 0, f);
            make(L"STATIC", "电子邮件:", SS_LEFT, 120, 1560, 960, 255, 0, f);
            make(L"STATIC", kMakerEmail, SS_LEFT | SS_NOTIFY, 1080, 1560, 2535, 255, kIdEmail, st->linkFont.get());
            make(L"STATIC", "程序主页:", SS_LEFT, 120, 2040, 960, 255, 0, f);
            make(L"STATIC", "www.oskarn.com", SS_LEFT | SS_NOTIFY, 1080, 2040, 2535, 255, kIdWeb, st->linkFont.get());
            make(L"STATIC", "", SS_ETCHEDHORZ, 120, 2400, 3480, 30, 0, f);
            make(
                L"STATIC",
                "本软件为免费软件,可自由复制和传播,但不得修改或用于商业用途。使用本软件造成的任何后果,作者不承担责任。",
                SS_LEFT, 120, 2520, 3495, 735, kIdNotice, f);
            make(L"STATIC", "", SS_ETCHEDHORZ, 120, 3360, 3480, 30, 0, f);
            make(L"STATIC", "Oskarn 2003-2026", SS_LEFT, 120, 3720, 2400, 255, 0, f);
            HWND ok = make(L"BUTTON", "确定(&O)", BS_DEFPUSHBUTTON | WS_TABSTOP, 2640, 3600, 975, 375, kIdOk, f);
            ::SetFocus(ok);
            return 0;
        }
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wp);
            const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lp));
            ::SetBkMode(dc, TRANSPARENT);
            if (id == kIdEmail || id == kIdWeb) ::SetTextColor(dc, RGB(0, 0, 255));
            if (id == kIdNotice) ::SetTextColor(dc, RGB(128, 0, 0));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_SETCURSOR: {
            const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(wp));
            if (id == kIdEmail || id == kIdWeb) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        }
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case kIdEmail:
                    OpenLink(hwnd, std::string("mailto:") + kMakerEmail);
                    return 0;
                case kIdWeb:
                    OpenLink(hwnd, kMakerWeb);
                    return 0;
                case kIdOk:
                case IDCANCEL:
                    ::DestroyWindow(hwnd);
                    return 0;
            }
            break;
        case WM_CLOSE:
            ::DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            if (st) st->done = true;
            return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK AboutProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    return GuardProc(
        ProcKind::Window, "editor about box", hwnd, msg, wp, [&] { return AboutMessage(hwnd, msg, wp, lp); },
        [&] { return ::DefWindowProcW(hwnd, msg, wp, lp); });
}

}  // namespace

std::string ShowOpenFileDialog(HWND owner, const std::string& title, const std::string& filterDescription,
                               const std::string& filterPattern) {
    return RunFileDialog(owner, title, filterDescription, filterPattern, false);
}

std::string ShowSaveFileDialog(HWND owner, const std::string& title, const std::string& filterDescription,
                               const std::string& filterPattern) {
    return RunFileDialog(owner, title, filterDescription, filterPattern, true);
}

std::string BrowseForFolder(HWND owner, const std::string& prompt) {
    const std::wstring wprompt = Widen(prompt);
    BROWSEINFOW bi{};
    bi.hwndOwner = owner;
    bi.lpszTitle = wprompt.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE pidl = ::SHBrowseForFolderW(&bi);
    if (!pidl) return {};
    std::vector<wchar_t> buf(kPathBuffer, L'\0');
    const BOOL ok = ::SHGetPathFromIDListEx(pidl, buf.data(), kPathBuffer, GPFIDL_DEFAULT);
    ::CoTaskMemFree(pidl);
    if (!ok) return {};
    std::string path = Narrow(buf.data());
    while (!path.empty() && path.back() == ' ')
        path.pop_back();
    while (!path.empty() && path.front() == ' ')
        path.erase(path.begin());
    return path;
}

int ShowColorDialog(HWND owner, int cancelValue) {
    COLORREF custom[16] = {};  // fresh every time: all black
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.hInstance = reinterpret_cast<HWND>(::GetModuleHandleW(nullptr));
    cc.rgbResult = 0;
    cc.lpCustColors = custom;
    cc.Flags = 0;
    if (!::ChooseColorW(&cc)) return cancelValue;
    return static_cast<int>(cc.rgbResult & 0xFFFFFF);
}

std::string ProgramFolder() {
    std::vector<wchar_t> buf(kPathBuffer, L'\0');
    DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), kPathBuffer);
    std::wstring path(buf.data(), n);
    size_t slash = path.find_last_of(L"\\/");
    std::wstring dir = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    if (dir.empty() || dir.back() != L'\\') dir.push_back(L'\\');
    return Narrow(dir);
}

void ShowAboutForm(HINSTANCE instance, HWND owner) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExW(instance, kAboutClass, &wc)) {
        wc.lpfnWndProc = AboutProc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kAboutClass;
        if (!::RegisterClassExW(&wc)) return;
    }
    AboutState st;
    st.dpi = ScreenDpi();
    LOGFONTW lf{};
    lf.lfHeight = -::MulDiv(21, st.dpi, 144);  // 10.5 pt
    lf.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(lf.lfFaceName, L"SimSun", LF_FACESIZE - 1);
    st.font.reset(::CreateFontIndirectW(&lf));
    lf.lfUnderline = TRUE;
    st.linkFont.reset(::CreateFontIndirectW(&lf));

    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT rc{0, 0, TwipsToPixels(3735, st.dpi), TwipsToPixels(4095, st.dpi)};
    ::AdjustWindowRectEx(&rc, style, FALSE, WS_EX_DLGMODALFRAME);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (::GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    HWND box = ::CreateWindowExW(WS_EX_DLGMODALFRAME, kAboutClass, L"关于\"VT Skin Editor\"", style, x, y, w, h, owner,
                                 nullptr, instance, &st);
    if (!box) return;
    ::EnableWindow(owner, FALSE);
    ::ShowWindow(box, SW_SHOW);
    MSG msg;
    while (!st.done && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (::IsDialogMessageW(box, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    ::EnableWindow(owner, TRUE);
    ::SetActiveWindow(owner);
    if (msg.message == WM_QUIT && !st.done) ::PostQuitMessage(static_cast<int>(msg.wParam));
}

}  // namespace vt
