// The extended item editor window over ExItemForm: a list of kinds on the
// left and the chosen kind's panel on the right. Its OK writes into the open
// item editor, never into the store.
#include <windows.h>

#include <commctrl.h>

#include <span>
#include <vector>

#include "launcher/dialogs/dialog_host_win32.h"
#include "launcher/dialogs/ex_item_form.h"
#include "launcher/dialogs/item_form_win32.h"
#include "launcher/dialogs/launcher_dialog_win32.h"
#include "platform/win32/ui_font.h"
#include "platform/win32/win_text.h"

namespace vt {

namespace {

class ExItemDialog : public LauncherDialog {
public:
    explicit ExItemDialog(DialogHost& main) : LauncherDialog(main) {}

    // Beside owner, the item editor.
    bool Open(HWND owner) {
        DialogTemplate t(Widen(kCaptionExItemForm), 280, 170, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0,
                         UiFontFace(), 9);
        if (!CreateHidden(t, owner)) return false;
        WriteControls();
        RECT o{};
        ::GetWindowRect(owner, &o);
        ::SetWindowPos(hwnd_, nullptr, o.left + S(30), o.top + S(30), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ::ShowWindow(hwnd_, SW_SHOW);
        return true;
    }

private:
    // A control of frame (0 to 2), hidden until its kind is chosen.
    HWND InFrame(int frame, HWND control) {
        ::ShowWindow(control, SW_HIDE);
        frames_[frame].push_back(control);
        return control;
    }

    void OnInit() override {
        StartPixelLayout();
        HWND kinds = AddControl(L"LISTBOX", exitem_ids::kKinds, "", 10, 10, 110, 226,
                                WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE);
        AddCaptions(kinds, LB_ADDSTRING, kExKindCaptions);

        // Before a kind is chosen: an empty frame, so the dialog does not look unfinished.
        idleFrame_ = AddControl(L"BUTTON", -1, "", 130, 4, 280, 232, BS_GROUPBOX);

        // Frame(0): nothing to fill in for the recycle bin.
        InFrame(0, AddControl(L"BUTTON", -1, kExKindCaptions[kExRecycle], 130, 4, 280, 232, BS_GROUPBOX));

        // Frame(1): the registry value to write; a row without choices is a text box.
        InFrame(1, AddControl(L"BUTTON", -1, kExKindCaptions[kExRegistry], 130, 4, 280, 232, BS_GROUPBOX));
        const struct {
            int id;
            std::span<const char* const> choices;
        } rows[] = {{exitem_ids::kMainKey, kRegRootCaptions},
                    {exitem_ids::kKey, {}},
                    {exitem_ids::kKeyName, {}},
                    {exitem_ids::kType, kRegTypeCaptions},
                    {exitem_ids::kValue, {}}};
        const int labelX = 142, fieldX = 226, fieldW = 172;
        for (int i = 0; i < 5; ++i) {
            const int y = 28 + i * 32;
            InFrame(1, AddLabel(kExRegistryLabels[i], labelX, y, 84));
            if (rows[i].choices.empty()) {
                InFrame(1, AddEdit(rows[i].id, fieldX, y, fieldW));
            } else {
                AddCaptions(InFrame(1, AddDropList(rows[i].id, fieldX, y, fieldW)), CB_ADDSTRING, rows[i].choices);
            }
        }

        // Frame(2): the control-panel page.
        InFrame(2, AddControl(L"BUTTON", -1, kExKindCaptions[kExControlPanel], 130, 4, 280, 232, BS_GROUPBOX));
        HWND pages =
            InFrame(2, AddControl(L"LISTBOX", exitem_ids::kControls, "", 142, 26, 256, 170,
                                  WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE));
        AddCaptions(pages, LB_ADDSTRING, kControlPanelCaptions);
        InFrame(2, AddControl(L"STATIC", exitem_ids::kSelected, kExSelectedPrefix, 142, 206, 256, 18, SS_LEFT));

        AddControl(L"BUTTON", IDOK, kCaptionOk, 252, 246, 76, 26, WS_TABSTOP | BS_DEFPUSHBUTTON);
        AddControl(L"BUTTON", IDCANCEL, kCaptionCancel, 334, 246, 76, 26, WS_TABSTOP | BS_PUSHBUTTON);

        const RECT r = FrameAround(S(420), S(282));
        ::SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    }

    void WriteControls() {
        syncing_ = true;
        ::SendMessageW(Item(exitem_ids::kKinds), LB_SETCURSEL, static_cast<WPARAM>(form_.lstItem), 0);
        for (int i = 0; i < 3; ++i)
            for (HWND c : frames_[i])
                ::ShowWindow(c, form_.visibleFrame == i ? SW_SHOW : SW_HIDE);
        ::ShowWindow(idleFrame_, form_.visibleFrame < 0 ? SW_SHOW : SW_HIDE);
        ::SendMessageW(Item(exitem_ids::kMainKey), CB_SETCURSEL, static_cast<WPARAM>(form_.cboMainKey), 0);
        ::SendMessageW(Item(exitem_ids::kType), CB_SETCURSEL, static_cast<WPARAM>(form_.cboType), 0);
        SetTextIfChanged(exitem_ids::kKey, form_.txtKey);
        SetTextIfChanged(exitem_ids::kKeyName, form_.txtKeyName);
        SetTextIfChanged(exitem_ids::kValue, form_.txtValue);
        ::SendMessageW(Item(exitem_ids::kControls), LB_SETCURSEL, static_cast<WPARAM>(form_.lstCtrl), 0);
        SetTextIfChanged(exitem_ids::kSelected, form_.labSelected);
        ::EnableWindow(Item(IDOK), form_.cmdOkEnabled);
        syncing_ = false;
    }

    void ReadControls() {
        form_.cboMainKey = static_cast<int>(::SendMessageW(Item(exitem_ids::kMainKey), CB_GETCURSEL, 0, 0));
        form_.cboType = static_cast<int>(::SendMessageW(Item(exitem_ids::kType), CB_GETCURSEL, 0, 0));
        form_.txtKey = Text(exitem_ids::kKey);
        form_.txtKeyName = Text(exitem_ids::kKeyName);
        form_.txtValue = Text(exitem_ids::kValue);
    }

    // Controls -> form, the step, form -> controls.
    template <class Step>
    void Run(Step&& step) {
        ReadControls();
        step();
        WriteControls();
    }

    bool OnCommand(WORD id, WORD code, HWND control) override {
        if (syncing_) return true;
        switch (id) {
            case exitem_ids::kKinds:
                if (code == LBN_SELCHANGE) Run([&] { form_.OnKindClicked(ListSelection(control)); });
                break;
            case exitem_ids::kKey:
            case exitem_ids::kKeyName:
            case exitem_ids::kValue:
                if (code == EN_CHANGE) Run([&] { form_.OnRegistryTextChanged(); });
                break;
            case exitem_ids::kControls:
                if (code == LBN_SELCHANGE) Run([&] { form_.OnControlClicked(ListSelection(control)); });
                break;
        }
        return true;
    }

    static int ListSelection(HWND list) { return static_cast<int>(::SendMessageW(list, LB_GETCURSEL, 0, 0)); }

    void OnOk() override {
        ReadControls();
        FormOutcome out;
        out.close = true;
        // With the item editor gone there is nothing to fill: just close.
        WithItemEditor([&](ItemForm& target) { out = form_.OnOk(main_.GetSettings(), main_.GetPrompts(), target); });
        if (out.close) {
            Close();
            return;
        }
        // The text at fault, selected, so the user can type over it.
        int field = form_.refusedField == ExField::Key       ? exitem_ids::kKey
                    : form_.refusedField == ExField::KeyName ? exitem_ids::kKeyName
                    : form_.refusedField == ExField::Value   ? exitem_ids::kValue
                                                             : 0;
        if (field == 0) return;
        HWND edit = Item(field);
        ::SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
    }

    ExItemForm form_;
    std::vector<HWND> frames_[3];
    HWND idleFrame_ = nullptr;
    bool syncing_ = false;
};

DialogSlot<ExItemDialog> g_ex;

}  // namespace

void OpenExItemEditor(DialogHost& main, HWND owner) {
    // Every opening starts afresh, with no kind chosen.
    g_ex.OpenFresh(main, [owner](ExItemDialog& d) { return d.Open(owner); });
}

bool PreTranslateExItemDialog(MSG& msg) {
    return g_ex.PreTranslate(msg);
}

void CloseExItemDialog() {
    g_ex.Reset();
}

}  // namespace vt
