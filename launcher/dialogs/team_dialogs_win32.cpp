#include "launcher/dialogs/team_dialogs_win32.h"

#include <vector>

#include "launcher/mainwindow/main_window_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"

namespace vt {

ModelessDialog::~ModelessDialog() {
    Close();
}

void ModelessDialog::Close() {
    if (!hwnd_) return;
    HWND h = hwnd_;
    hwnd_ = nullptr;
    ::DestroyWindow(h);
}

bool ModelessDialog::PreTranslate(MSG& msg) {
    if (!hwnd_ || (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd))) return false;
    return ::IsDialogMessageW(hwnd_, &msg) != FALSE;
}

bool ModelessDialog::Create(const DialogTemplate& t) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(main_.Hwnd(), GWLP_HINSTANCE));
    HWND h = ::CreateDialogIndirectParamW(instance, t.Get(), main_.Hwnd(), Proc, reinterpret_cast<LPARAM>(this));
    if (!h) {
        LogWin32Failure("CreateDialogIndirectParamW");
        return false;
    }
    ::ShowWindow(h, SW_SHOW);
    ::SetForegroundWindow(h);
    return true;
}

bool ModelessDialog::OnOtherMessage(UINT, WPARAM, LPARAM, INT_PTR&) {
    return false;
}

INT_PTR CALLBACK ModelessDialog::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    try {
        if (msg == WM_INITDIALOG) {
            auto* self = reinterpret_cast<ModelessDialog*>(lp);
            ::SetWindowLongPtrW(hwnd, DWLP_USER, lp);
            self->hwnd_ = hwnd;
            self->OnInit();
            return TRUE;
        }
        auto* self = reinterpret_cast<ModelessDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
        if (!self || self->hwnd_ != hwnd) return FALSE;
        switch (msg) {
            case WM_ACTIVATE:
                if (LOWORD(wp) != WA_INACTIVE) PlaceDialogOnTop(hwnd, self->main_.GetSettings().StandOnTop);
                return FALSE;
            case WM_CLOSE:
                self->Close();
                return TRUE;
            case WM_NCDESTROY:
                self->hwnd_ = nullptr;
                return FALSE;
            case WM_COMMAND:
                if (self->OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp))) return TRUE;
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
    } catch (...) {
        LogWin32Failure("dialog procedure (exception)", 0);
    }
    return FALSE;
}

std::string ModelessDialog::Text(int id) const {
    HWND control = Item(id);
    const int len = ::GetWindowTextLengthW(control);
    std::vector<wchar_t> buf(static_cast<size_t>(len) + 1);
    const int got = ::GetWindowTextW(control, buf.data(), len + 1);
    return Narrow(std::wstring_view(buf.data(), static_cast<size_t>(got > 0 ? got : 0)));
}

void ModelessDialog::SetText(int id, const std::string& text) {
    ::SetDlgItemTextW(hwnd_, id, Widen(text).c_str());
}

bool ModelessDialog::Checked(int id) const {
    return ::IsDlgButtonChecked(hwnd_, id) == BST_CHECKED;
}

void ModelessDialog::SetChecked(int id, bool on) {
    ::CheckDlgButton(hwnd_, id, on ? BST_CHECKED : BST_UNCHECKED);
}

void PlaceDialogOnTop(HWND dialog, bool onTop) {
    ::SetWindowPos(dialog, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

int ArrowStep(WORD scrollCode) {
    switch (scrollCode) {
        case SB_LINEUP:
        case SB_PAGEUP:
            return 1;
        case SB_LINEDOWN:
        case SB_PAGEDOWN:
            return -1;
        default:
            return 0;
    }
}

void PrepareArrows(HWND scrollBar) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    si.nMin = 0;
    si.nMax = 2;
    si.nPage = 1;
    si.nPos = 1;
    ::SetScrollInfo(scrollBar, SB_CTL, &si, FALSE);
}

}  // namespace vt
