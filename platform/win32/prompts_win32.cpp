#include "platform/win32/prompts_win32.h"

#include <vector>

#include "platform/win32/dialog_template.h"
#include "platform/win32/guarded_proc.h"
#include "platform/win32/ui_font.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"

namespace vt {

namespace {

constexpr WORD kIdPrompt = 100;
constexpr WORD kIdPassword = 101;

struct PasswordBox {
    std::wstring prompt;
    std::string answer;
};

// Saves nothing itself: a failure ends the box as if cancelled, and the
// operation that asked goes no further.
INT_PTR CALLBACK PasswordProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    return GuardProc(
        ProcKind::Window, "password box", dlg, msg, wp,
        [&]() -> INT_PTR {
            switch (msg) {
                case WM_INITDIALOG: {
                    auto* box = reinterpret_cast<PasswordBox*>(lp);
                    ::SetWindowLongPtrW(dlg, DWLP_USER, lp);
                    ::SetDlgItemTextW(dlg, kIdPrompt, box->prompt.c_str());
                    ::SendDlgItemMessageW(dlg, kIdPassword, EM_LIMITTEXT, 254, 0);
                    ::SetFocus(::GetDlgItem(dlg, kIdPassword));
                    return FALSE;  // focus set by hand
                }
                case WM_COMMAND: {
                    auto* box = reinterpret_cast<PasswordBox*>(::GetWindowLongPtrW(dlg, DWLP_USER));
                    switch (LOWORD(wp)) {
                        case IDOK: {
                            HWND edit = ::GetDlgItem(dlg, kIdPassword);
                            int len = ::GetWindowTextLengthW(edit);
                            std::vector<wchar_t> buf(static_cast<size_t>(len) + 1);
                            ::GetWindowTextW(edit, buf.data(), len + 1);
                            if (box) box->answer = Narrow(std::wstring_view(buf.data(), static_cast<size_t>(len)));
                            ::SecureZeroMemory(buf.data(), buf.size() * sizeof(wchar_t));
                            ::EndDialog(dlg, IDOK);
                            return TRUE;
                        }
                        case IDCANCEL:
                            ::EndDialog(dlg, IDCANCEL);
                            return TRUE;
                    }
                    break;
                }
            }
            return FALSE;
        },
        [&] {
            ::EndDialog(dlg, IDCANCEL);
            return INT_PTR{FALSE};
        });
}

}  // namespace

std::string AskPasswordBox(HINSTANCE instance, HWND owner, const std::string& prompt) {
    DialogTemplate t(L"密码确认", 220, 78, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 0,
                     UiFontFace(), 9);
    t.Add(DialogTemplate::kStatic, kIdPrompt, L"", 8, 8, 204, 20, SS_LEFT);
    t.Add(DialogTemplate::kEdit, kIdPassword, L"", 8, 32, 204, 13,
          WS_BORDER | WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL);
    t.Add(DialogTemplate::kButton, IDOK, L"确定", 100, 56, 54, 15, BS_DEFPUSHBUTTON | WS_TABSTOP);
    t.Add(DialogTemplate::kButton, IDCANCEL, L"取消", 158, 56, 54, 15, BS_PUSHBUTTON | WS_TABSTOP);
    PasswordBox box{Widen(prompt), {}};
    INT_PTR r = ::DialogBoxIndirectParamW(instance, t.Get(), owner, PasswordProc, reinterpret_cast<LPARAM>(&box));
    if (r == -1) LogWin32Failure("DialogBoxIndirectParamW");
    return r == IDOK ? box.answer : std::string();
}

bool PromptsWin32::Confirm(const std::string& text, const std::string& caption) {
    return ::MessageBoxW(owner_, Widen(text).c_str(), Widen(caption).c_str(), MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}

std::string PromptsWin32::AskPassword(const std::string& prompt) {
    return AskPasswordBox(instance_, owner_, prompt);
}

void PromptsWin32::ShowMessage(const std::string& text) {
    if (sink_) sink_(text);
}

}  // namespace vt
