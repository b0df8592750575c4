#include "launcher/dialogs/launcher_dialog_win32.h"

#include <commctrl.h>

#include <vector>

#include "launcher/dialogs/dialog_host_win32.h"
#include "launcher/settings/settings.h"
#include "platform/win32/guarded_proc.h"
#include "platform/win32/ui_font.h"
#include "platform/win32/win_text.h"

namespace vt {

namespace {

HINSTANCE InstanceOf(HWND window) {
    return reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window, GWLP_HINSTANCE));
}

}  // namespace

LauncherDialog::~LauncherDialog() {
    Close();
}

void LauncherDialog::Close() {
    if (!hwnd_) return;
    if (modal_) {
        // The window goes when the modal loop ends; WM_NCDESTROY forgets it.
        ::EndDialog(hwnd_, IDCANCEL);
        return;
    }
    HWND h = hwnd_;
    hwnd_ = nullptr;
    ::DestroyWindow(h);
}

bool LauncherDialog::PreTranslate(MSG& msg) {
    if (!hwnd_ || (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd))) return false;
    return ::IsDialogMessageW(hwnd_, &msg) != FALSE;
}

namespace {

// Windows would scale a per-monitor dialog on its own when its DPI changes:
// its template's controls from the dialog units of a new font, but not the
// controls made at run time, nor their font. FollowDpi does it for all of
// them alike (and under Wine, which does neither).
void TakeOverDpiChanges(HWND dialog) {
    using Fn = BOOL(WINAPI*)(HWND, DWORD, DWORD);
    static const auto set = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetDialogDpiChangeBehavior")));
    constexpr DWORD kDisableAll = 0x0001;  // DDC_DISABLE_ALL
    if (set) set(dialog, kDisableAll, kDisableAll);
}

}  // namespace

bool LauncherDialog::Create(const DialogTemplate& t) {
    if (!CreateHidden(t, main_.Hwnd())) return false;
    ShowInFront();
    return true;
}

bool LauncherDialog::CreateHidden(const DialogTemplate& t, HWND owner) {
    HWND h =
        ::CreateDialogIndirectParamW(InstanceOf(main_.Hwnd()), t.Get(), owner, Proc, reinterpret_cast<LPARAM>(this));
    if (!h) {
        LogWin32Failure("CreateDialogIndirectParamW");
        return false;
    }
    return true;
}

INT_PTR LauncherDialog::RunModal(const DialogTemplate& t, HWND owner) {
    modal_ = true;
    return ::DialogBoxIndirectParamW(InstanceOf(main_.Hwnd()), t.Get(), owner, Proc, reinterpret_cast<LPARAM>(this));
}

void LauncherDialog::ShowInFront() {
    ::ShowWindow(hwnd_, SW_SHOW);
    ::SetForegroundWindow(hwnd_);
}

bool LauncherDialog::OnOtherMessage(UINT, WPARAM, LPARAM, INT_PTR&) {
    return false;
}

INT_PTR CALLBACK LauncherDialog::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    return GuardProc(
        ProcKind::Dialog, "launcher dialog", hwnd, msg, wp,
        [&]() -> INT_PTR {
            if (msg == WM_INITDIALOG) {
                auto* self = reinterpret_cast<LauncherDialog*>(lp);
                ::SetWindowLongPtrW(hwnd, DWLP_USER, lp);
                self->hwnd_ = hwnd;
                self->dpi_ = WindowDpi(hwnd);
                self->firstPlaces_.clear();  // of an earlier window of the same object
                TakeOverDpiChanges(hwnd);
                self->OnInit();
                return TRUE;
            }
            auto* self = reinterpret_cast<LauncherDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
            if (!self || self->hwnd_ != hwnd) return FALSE;
            switch (msg) {
                case WM_ACTIVATE:
                    if (LOWORD(wp) != WA_INACTIVE) PlaceDialogOnTop(hwnd, self->main_.GetSettings().StandOnTop);
                    return FALSE;
                case WM_CLOSE:
                    self->Close();
                    return TRUE;
                case WM_DPICHANGED:
                    self->FollowDpi(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
                    return TRUE;
                case WM_NCDESTROY:
                    self->hwnd_ = nullptr;
                    return FALSE;
                case WM_COMMAND:
                    switch (LOWORD(wp)) {
                        case IDOK:
                            self->OnOk();
                            return TRUE;
                        case IDCANCEL:
                            self->OnCancel();
                            return TRUE;
                        default:
                            if (self->OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp))) return TRUE;
                            break;
                    }
                    break;
                default:
                    break;
            }
            INT_PTR result = FALSE;
            if (self->OnOtherMessage(msg, wp, lp, result)) {
                // These few hand their answer back as the procedure's own return
                // value; a colour message answered through DWLP_MSGRESULT would
                // give the control the brush "1".
                switch (msg) {
                    case WM_CTLCOLORBTN:
                    case WM_CTLCOLORDLG:
                    case WM_CTLCOLOREDIT:
                    case WM_CTLCOLORLISTBOX:
                    case WM_CTLCOLORSCROLLBAR:
                    case WM_CTLCOLORSTATIC:
                    case WM_COMPAREITEM:
                    case WM_VKEYTOITEM:
                    case WM_CHARTOITEM:
                    case WM_QUERYDRAGICON:
                        return result;
                    default:
                        ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
                        return TRUE;
                }
            }
            return FALSE;
        },
        [] { return INT_PTR{FALSE}; });
}

std::string LauncherDialog::Text(int id) const {
    HWND control = Item(id);
    const int len = ::GetWindowTextLengthW(control);
    std::vector<wchar_t> buf(static_cast<size_t>(len) + 1);
    const int got = ::GetWindowTextW(control, buf.data(), len + 1);
    return Narrow(std::wstring_view(buf.data(), static_cast<size_t>(got > 0 ? got : 0)));
}

void LauncherDialog::SetText(int id, const std::string& text) {
    ::SetDlgItemTextW(hwnd_, id, Widen(text).c_str());
}

void LauncherDialog::SetTextIfChanged(int id, const std::string& text) {
    if (Text(id) != text) SetText(id, text);
}

bool LauncherDialog::Checked(int id) const {
    return ::IsDlgButtonChecked(hwnd_, id) == BST_CHECKED;
}

void LauncherDialog::SetChecked(int id, bool on) {
    ::CheckDlgButton(hwnd_, id, on ? BST_CHECKED : BST_UNCHECKED);
}

void LauncherDialog::AddCaptions(HWND box, UINT addMessage, std::span<const char* const> captions) {
    for (const char* c : captions)
        ::SendMessageW(box, addMessage, 0, reinterpret_cast<LPARAM>(Widen(c).c_str()));
}

void LauncherDialog::StartPixelLayout() {
    // The dialog's own monitor decides, which need not be the main screen's.
    dpi_ = WindowDpi(hwnd_);
    font_ = CreateUiFont(9, dpi_);
}

void LauncherDialog::FollowDpi(int dpi, const RECT& suggested) {
    const int was = dpi_;
    if (dpi == was || dpi < 24 || dpi > 1440) return;
    // Every control is placed from where it stood at the first DPI, so going
    // back and forth between monitors does not add up rounding.
    auto clientRect = [this](HWND child) {
        RECT r{};
        ::GetWindowRect(child, &r);
        wchar_t cls[16] = {};
        ::GetClassNameW(child, cls, 16);
        // A drop-down list's height is its open list's, not the closed box's.
        if (::lstrcmpiW(cls, L"ComboBox") == 0) {
            RECT dropped{};
            if (::SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)))
                r.bottom = r.top + (dropped.bottom - dropped.top);
        }
        ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    for (HWND c = ::GetWindow(hwnd_, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        if (!firstPlaces_.count(c)) firstPlaces_.emplace(c, std::make_pair(clientRect(c), was));

    // The template's font (the system's, or ours from an earlier change) and
    // the one of controls laid out at run time, both for the new DPI.
    const HFONT oldDialogFont = reinterpret_cast<HFONT>(::SendMessageW(hwnd_, WM_GETFONT, 0, 0));
    UniqueHfont keepDialogFont = std::move(dialogFont_), keepUiFont;
    LOGFONTW lf{};
    if (oldDialogFont && ::GetObjectW(oldDialogFont, sizeof(lf), &lf)) {
        lf.lfHeight = ::MulDiv(lf.lfHeight, dpi, was);
        lf.lfWidth = 0;
        dialogFont_.reset(::CreateFontIndirectW(&lf));
    }
    const HFONT oldUiFont = font_.get();
    if (font_) {
        keepUiFont = std::move(font_);
        font_ = CreateUiFont(9, dpi);
    }
    dpi_ = dpi;
    if (dialogFont_) ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont_.get()), FALSE);
    for (HWND c = ::GetWindow(hwnd_, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        const auto& [r, at] = firstPlaces_.at(c);
        ::SetWindowPos(c, nullptr, ::MulDiv(r.left, dpi, at), ::MulDiv(r.top, dpi, at),
                       ::MulDiv(r.right, dpi, at) - ::MulDiv(r.left, dpi, at),
                       ::MulDiv(r.bottom, dpi, at) - ::MulDiv(r.top, dpi, at), SWP_NOZORDER | SWP_NOACTIVATE);
        const HFONT f = reinterpret_cast<HFONT>(::SendMessageW(c, WM_GETFONT, 0, 0));
        HFONT now = f == oldDialogFont && dialogFont_ ? dialogFont_.get()
                    : f == oldUiFont && font_         ? font_.get()
                                                      : nullptr;
        if (now) ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(now), TRUE);
    }
    if (tooltip_) {
        if (font_) ::SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, S(320));
    }
    ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    OnDpiChanged();
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

HWND LauncherDialog::AddTooltip() {
    HWND tip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    if (!tip) return nullptr;
    // In the dialog's font and dpi, wrapping long tips at a width that
    // grows with the text.
    if (font_) ::SendMessageW(tip, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    ::SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, S(320));
    tooltip_ = tip;
    return tip;
}

HWND LauncherDialog::AddControl(const wchar_t* cls, int id, const std::string& text, int x, int y, int w, int h,
                                DWORD style, DWORD exStyle) {
    HWND c = ::CreateWindowExW(exStyle, cls, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, S(x), S(y), S(w), S(h),
                               hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                               nullptr);
    ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return c;
}

HWND LauncherDialog::AddLabel(const std::string& text, int x, int y, int w) {
    return AddControl(L"STATIC", -1, text, x, y + 3, w, 18, SS_LEFT);
}

HWND LauncherDialog::AddEdit(int id, int x, int y, int w, DWORD style) {
    return AddControl(L"EDIT", id, "", x, y, w, 22, WS_TABSTOP | ES_AUTOHSCROLL | style, WS_EX_CLIENTEDGE);
}

HWND LauncherDialog::AddDropList(int id, int x, int y, int w) {
    // The height is the open list's.
    return AddControl(L"COMBOBOX", id, "", x, y, w, 200, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST);
}

RECT LauncherDialog::FrameAround(int clientW, int clientH) const {
    RECT r{0, 0, clientW, clientH};
    AdjustWindowRectForDpi(r, static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                           static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi_);
    return r;
}

void PlaceDialogOnTop(HWND dialog, bool onTop) {
    ::SetWindowPos(dialog, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace vt
