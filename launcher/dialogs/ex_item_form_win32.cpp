// The extended item editor window over ExItemForm: a list of kinds on the
// left and the chosen kind's panel on the right. Its OK writes into the open
// item editor, never into the store.
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <vector>

#include "launcher/dialogs/ex_item_form.h"
#include "launcher/dialogs/item_form_win32.h"
#include "launcher/mainwindow/main_window_win32.h"
#include "platform/win32/dialog_template.h"
#include "platform/win32/ui_font.h"
#include "platform/win32/win_text.h"

namespace vt {

namespace {

std::string GetText(HWND w) {
    int n = ::GetWindowTextLengthW(w);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    n = ::GetWindowTextW(w, s.data(), n + 1);
    s.resize(static_cast<size_t>(n > 0 ? n : 0));
    return Narrow(s);
}

void SetTextIfChanged(HWND w, const std::string& text) {
    if (GetText(w) != text) ::SetWindowTextW(w, Widen(text).c_str());
}

class ExItemDialog;
std::unique_ptr<ExItemDialog> g_ex;

class ExItemDialog {
public:
    explicit ExItemDialog(MainWindow& main) : main_(main) {}
    ~ExItemDialog() {
        if (hwnd_) {
            ::SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
            ::DestroyWindow(hwnd_);
        }
    }
    ExItemDialog(const ExItemDialog&) = delete;
    ExItemDialog& operator=(const ExItemDialog&) = delete;

    HWND Hwnd() const { return hwnd_; }

    bool Create(HWND owner) {
        DialogTemplate t(Widen(kCaptionExItemForm), 280, 170, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0,
                         UiFontFace(), 9);
        hwnd_ = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), t.Get(), owner, DlgProc,
                                             reinterpret_cast<LPARAM>(this));
        if (!hwnd_) return false;
        WriteControls();
        RECT o{};
        ::GetWindowRect(owner, &o);
        ::SetWindowPos(hwnd_, nullptr, o.left + S(30), o.top + S(30), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ::ShowWindow(hwnd_, SW_SHOW);
        return true;
    }

private:
    HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }
    int S(int px) const { return MulDiv(px, dpi_, 96); }

    static INT_PTR CALLBACK DlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
        ExItemDialog* self = nullptr;
        if (msg == WM_INITDIALOG) {
            self = reinterpret_cast<ExItemDialog*>(lp);
            ::SetWindowLongPtrW(hwnd, DWLP_USER, lp);
            self->hwnd_ = hwnd;
        } else {
            self = reinterpret_cast<ExItemDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
        }
        if (!self) return FALSE;
        try {
            return self->Handle(msg, wp, lp);
        } catch (...) {
            return FALSE;
        }
    }

    HWND Add(int frame, const wchar_t* cls, int id, const std::string& text, int x, int y, int w, int h, DWORD style,
             DWORD ex = 0) {
        HWND c = ::CreateWindowExW(ex, cls, Widen(text).c_str(), WS_CHILD | style, S(x), S(y), S(w), S(h), hwnd_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                                   nullptr);
        ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        if (frame >= 0) frames_[frame].push_back(c);
        else ::ShowWindow(c, SW_SHOW);
        return c;
    }

    void BuildControls() {
        dpi_ = ScreenDpi();
        font_ = CreateUiFont(9, dpi_);
        HWND kinds = Add(-1, L"LISTBOX", exitem_ids::kKinds, "", 10, 10, 110, 226,
                         WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE);
        for (const char* c : kExKindCaptions)
            ::SendMessageW(kinds, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(c).c_str()));

        // Before a kind is chosen: an empty frame, so the dialog does not look unfinished.
        idleFrame_ = Add(-1, L"BUTTON", -1, "", 130, 4, 280, 232, BS_GROUPBOX);

        // Frame(0): nothing to fill in for the recycle bin.
        Add(0, L"BUTTON", -1, kExKindCaptions[kExRecycle], 130, 4, 280, 232, BS_GROUPBOX);

        // Frame(1): the registry value to write.
        Add(1, L"BUTTON", -1, kExKindCaptions[kExRegistry], 130, 4, 280, 232, BS_GROUPBOX);
        const int labelX = 142, fieldX = 226, fieldW = 172;
        int y = 28;
        Add(1, L"STATIC", -1, kExRegistryLabels[0], labelX, y + 3, 84, 18, SS_LEFT);
        HWND root = Add(1, L"COMBOBOX", exitem_ids::kMainKey, "", fieldX, y, fieldW, 200,
                        WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST);
        for (const char* c : kRegRootCaptions)
            ::SendMessageW(root, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(c).c_str()));
        y += 32;
        Add(1, L"STATIC", -1, kExRegistryLabels[1], labelX, y + 3, 84, 18, SS_LEFT);
        Add(1, L"EDIT", exitem_ids::kKey, "", fieldX, y, fieldW, 22, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
        y += 32;
        Add(1, L"STATIC", -1, kExRegistryLabels[2], labelX, y + 3, 84, 18, SS_LEFT);
        Add(1, L"EDIT", exitem_ids::kKeyName, "", fieldX, y, fieldW, 22, WS_TABSTOP | ES_AUTOHSCROLL,
            WS_EX_CLIENTEDGE);
        y += 32;
        Add(1, L"STATIC", -1, kExRegistryLabels[3], labelX, y + 3, 84, 18, SS_LEFT);
        HWND type = Add(1, L"COMBOBOX", exitem_ids::kType, "", fieldX, y, fieldW, 200,
                        WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST);
        for (const char* c : kRegTypeCaptions)
            ::SendMessageW(type, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(c).c_str()));
        y += 32;
        Add(1, L"STATIC", -1, kExRegistryLabels[4], labelX, y + 3, 84, 18, SS_LEFT);
        Add(1, L"EDIT", exitem_ids::kValue, "", fieldX, y, fieldW, 22, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);

        // Frame(2): the control-panel page.
        Add(2, L"BUTTON", -1, kExKindCaptions[kExControlPanel], 130, 4, 280, 232, BS_GROUPBOX);
        HWND pages = Add(2, L"LISTBOX", exitem_ids::kControls, "", 142, 26, 256, 170,
                         WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE);
        for (const char* c : kControlPanelCaptions)
            ::SendMessageW(pages, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(c).c_str()));
        Add(2, L"STATIC", exitem_ids::kSelected, kExSelectedPrefix, 142, 206, 256, 18, SS_LEFT);

        Add(-1, L"BUTTON", IDOK, kCaptionOk, 252, 246, 76, 26, WS_TABSTOP | BS_DEFPUSHBUTTON);
        Add(-1, L"BUTTON", IDCANCEL, kCaptionCancel, 334, 246, 76, 26, WS_TABSTOP | BS_PUSHBUTTON);

        RECT r{0, 0, S(420), S(282)};
        ::AdjustWindowRectEx(&r, static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
        ::SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    }

    void WriteControls() {
        syncing_ = true;
        ::SendMessageW(Item(exitem_ids::kKinds), LB_SETCURSEL, static_cast<WPARAM>(form_.lstItem), 0);
        for (int i = 0; i < 3; ++i)
            for (HWND c : frames_[i]) ::ShowWindow(c, form_.visibleFrame == i ? SW_SHOW : SW_HIDE);
        ::ShowWindow(idleFrame_, form_.visibleFrame < 0 ? SW_SHOW : SW_HIDE);
        ::SendMessageW(Item(exitem_ids::kMainKey), CB_SETCURSEL, static_cast<WPARAM>(form_.cboMainKey), 0);
        ::SendMessageW(Item(exitem_ids::kType), CB_SETCURSEL, static_cast<WPARAM>(form_.cboType), 0);
        SetTextIfChanged(Item(exitem_ids::kKey), form_.txtKey);
        SetTextIfChanged(Item(exitem_ids::kKeyName), form_.txtKeyName);
        SetTextIfChanged(Item(exitem_ids::kValue), form_.txtValue);
        ::SendMessageW(Item(exitem_ids::kControls), LB_SETCURSEL, static_cast<WPARAM>(form_.lstCtrl), 0);
        SetTextIfChanged(Item(exitem_ids::kSelected), form_.labSelected);
        ::EnableWindow(Item(IDOK), form_.cmdOkEnabled);
        syncing_ = false;
    }

    void ReadControls() {
        form_.cboMainKey = static_cast<int>(::SendMessageW(Item(exitem_ids::kMainKey), CB_GETCURSEL, 0, 0));
        form_.cboType = static_cast<int>(::SendMessageW(Item(exitem_ids::kType), CB_GETCURSEL, 0, 0));
        form_.txtKey = GetText(Item(exitem_ids::kKey));
        form_.txtKeyName = GetText(Item(exitem_ids::kKeyName));
        form_.txtValue = GetText(Item(exitem_ids::kValue));
    }

    INT_PTR Handle(UINT msg, WPARAM wp, LPARAM) {
        switch (msg) {
            case WM_INITDIALOG:
                BuildControls();
                return TRUE;
            case WM_ACTIVATE:
                if (LOWORD(wp) != WA_INACTIVE) PlaceItemDialogOnTop(main_, hwnd_);
                return FALSE;
            case WM_COMMAND:
                OnCommand(LOWORD(wp), HIWORD(wp));
                return TRUE;
            case WM_CLOSE:
                Close();
                return TRUE;
        }
        return FALSE;
    }

    void OnCommand(int id, int code) {
        if (syncing_) return;
        switch (id) {
            case exitem_ids::kKinds:
                if (code == LBN_SELCHANGE) {
                    ReadControls();
                    form_.OnKindClicked(static_cast<int>(::SendMessageW(Item(id), LB_GETCURSEL, 0, 0)));
                    WriteControls();
                }
                break;
            case exitem_ids::kKey:
            case exitem_ids::kKeyName:
            case exitem_ids::kValue:
                if (code == EN_CHANGE) {
                    ReadControls();
                    form_.OnRegistryTextChanged();
                    WriteControls();
                }
                break;
            case exitem_ids::kControls:
                if (code == LBN_SELCHANGE) {
                    ReadControls();
                    form_.OnControlClicked(static_cast<int>(::SendMessageW(Item(id), LB_GETCURSEL, 0, 0)));
                    WriteControls();
                }
                break;
            case IDOK:
                OnOk();
                break;
            case IDCANCEL:
                Close();
                break;
        }
    }

    void OnOk() {
        ReadControls();
        FormOutcome out;
        out.close = true;
        // With the item editor gone there is nothing to fill: just close.
        WithItemEditor([&](ItemForm& target) { out = form_.OnOk(main_.GetSettings(), main_.GetPrompts(), target); });
        if (out.close) Close();
    }

    void Close() {
        if (g_ex.get() == this) g_ex.reset();
    }

    MainWindow& main_;
    ExItemForm form_;
    HWND hwnd_ = nullptr;
    int dpi_ = 96;
    UniqueHfont font_;
    std::vector<HWND> frames_[3];
    HWND idleFrame_ = nullptr;
    bool syncing_ = false;
};

}  // namespace

void OpenExItemEditor(MainWindow& main, HWND owner) {
    // Every opening starts afresh, with no kind chosen.
    g_ex.reset();
    auto dialog = std::make_unique<ExItemDialog>(main);
    if (!dialog->Create(owner)) return;
    g_ex = std::move(dialog);
}

bool PreTranslateExItemDialog(MSG& msg) { return g_ex && g_ex->Hwnd() && ::IsDialogMessageW(g_ex->Hwnd(), &msg); }

void CloseExItemDialog() { g_ex.reset(); }

}  // namespace vt
