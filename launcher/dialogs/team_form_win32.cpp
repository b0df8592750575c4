// The team editor window over TeamForm, and the family's entry points.
#include <string>
#include <vector>

#include "launcher/dialogs/dialog_host_win32.h"
#include "launcher/dialogs/dialogs_win32.h"
#include "launcher/dialogs/team_dialog_ids.h"
#include "launcher/dialogs/team_dialogs_win32.h"
#include "launcher/dialogs/team_form.h"
#include "launcher/mainwindow/main_model.h"
#include "platform/win32/ui_font.h"
#include "platform/win32/win_text.h"

namespace vt {

namespace {

// Holds the popup texts of an OK step until the team bar shows its result.
class MessagesAfter : public Prompts {
public:
    explicit MessagesAfter(Prompts& inner) : inner_(inner) {}
    bool Confirm(const std::string& text, const std::string& caption) override { return inner_.Confirm(text, caption); }
    std::string AskPassword(const std::string& prompt) override { return inner_.AskPassword(prompt); }
    void ShowMessage(const std::string& text) override { held_.push_back(text); }
    void Release() {
        for (const std::string& text : held_)
            inner_.ShowMessage(text);
        held_.clear();
    }

private:
    Prompts& inner_;
    std::vector<std::string> held_;
};

// A profile value reads back at most 254 ANSI bytes; 120 characters stay
// below that even when every one is double-byte.
constexpr int kMaxTextChars = 120;

class TeamDialog : public LauncherDialog {
public:
    explicit TeamDialog(DialogHost& main) : LauncherDialog(main) {}

    bool Open(const TeamForm& form) {
        form_ = form;
        DialogTemplate t(Widen(form_.caption), 230, 104, kTeamDialogStyle, 0, UiFontFace(), 9);
        using T = DialogTemplate;
        t.Add(T::kStatic, kIdTeamNameLabel, Widen(kLabelTeamName), 8, 10, 46, 10, SS_LEFT);
        t.Add(T::kEdit, kIdTxtName, L"", 56, 8, 166, 13, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL);
        t.Add(T::kStatic, kIdTeamNoteLabel, Widen(kLabelTeamNote), 8, 28, 46, 10, SS_LEFT);
        t.Add(T::kEdit, kIdTxtNote, L"", 56, 26, 166, 13, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL);
        t.Add(T::kStatic, kIdTeamPasswordLabel, Widen(kLabelTeamPassword), 8, 46, 46, 10, SS_LEFT);
        t.Add(T::kEdit, kIdTxtPassword, L"", 56, 44, 166, 13, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD);
        t.Add(T::kButton, kIdChkPassword, Widen(kCheckTeamShowPassword), 56, 62, 166, 12, BS_AUTOCHECKBOX | WS_TABSTOP);
        t.Add(T::kButton, IDOK, Widen(kCaptionOk), 110, 82, 54, 15, BS_DEFPUSHBUTTON | WS_TABSTOP);
        t.Add(T::kButton, IDCANCEL, Widen(kCaptionCancel), 168, 82, 54, 15, BS_PUSHBUTTON | WS_TABSTOP);
        return Create(t);
    }

private:
    void OnInit() override {
        for (int id : {kIdTxtName, kIdTxtNote})
            ::SendDlgItemMessageW(hwnd_, id, EM_LIMITTEXT, kMaxTextChars, 0);
        ::SendDlgItemMessageW(hwnd_, kIdTxtPassword, EM_LIMITTEXT, kMaxTextChars, 0);
        SetText(kIdTxtName, form_.txtName);
        SetText(kIdTxtNote, form_.txtNote);
        SetText(kIdTxtPassword, form_.txtPassword);
        SetChecked(kIdChkPassword, form_.chkPassword);
        ApplyMask();
        ::SetFocus(Item(kIdTxtName));
    }

    bool OnCommand(WORD id, WORD code, HWND) override {
        switch (id) {
            case kIdChkPassword:
                if (code == BN_CLICKED) {
                    form_.chkPassword = Checked(kIdChkPassword);
                    ApplyMask();
                }
                return true;
            default:
                return false;
        }
    }

    void ApplyMask() {
        HWND edit = Item(kIdTxtPassword);
        ::SendMessageW(edit, EM_SETPASSWORDCHAR, form_.PasswordMasked() ? L'*' : 0, 0);
        ::InvalidateRect(edit, nullptr, TRUE);
    }

    void OnOk() override {
        form_.txtName = Text(kIdTxtName);
        form_.txtNote = Text(kIdTxtNote);
        form_.txtPassword = Text(kIdTxtPassword);
        form_.chkPassword = Checked(kIdChkPassword);
        MessagesAfter messages(main_.GetPrompts());
        const FormOutcome out = form_.OnOk(main_.GetSettings(), messages);
        if (!out.close) {
            messages.Release();
            // The text at fault, selected, so the user can type over it.
            HWND edit = Item(form_.refusedField == TeamField::Note       ? kIdTxtNote
                             : form_.refusedField == TeamField::Password ? kIdTxtPassword
                                                                         : kIdTxtName);
            ::SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
            ::SendMessageW(edit, EM_SETSEL, 0, -1);
            return;
        }
        DialogHost& main = main_;
        Close();
        if (out.showTeams) main.Model().ShowTeams();
        if (out.showItems) main.Model().ShowItems(out.showItemsTeam);
        main.Refresh();
        messages.Release();
        if (!out.messageAfter.empty()) main.GetPrompts().ShowMessage(out.messageAfter);
    }

    TeamForm form_;
};

DialogSlot<TeamDialog> g_teamDialog;

void OpenTeamDialog(DialogHost& main, const TeamForm& form) {
    // The next add or edit replaces an open editor.
    g_teamDialog.OpenFresh(main, [&](TeamDialog& d) { return d.Open(form); });
}

}  // namespace

void ShowTeamEditorForAdd(DialogHost& main) {
    TeamForm form;
    form.OpenForAdd();
    OpenTeamDialog(main, form);
}

void ShowTeamEditorForEdit(DialogHost& main, const std::string& password) {
    const int team = main.Model().CurrentTeam;
    if (team < 0) return;  // the menu entry is greyed without a team
    TeamForm form;
    form.OpenForEdit(main.GetSettings().AppDir, team, password);
    OpenTeamDialog(main, form);
}

bool PreTranslateTeamDialogs(MSG& msg) {
    if (g_teamDialog.PreTranslate(msg)) return true;
    return PreTranslateSettingsDialog(msg) || PreTranslateSkinChooser(msg);
}

void CloseTeamDialogs() {
    g_teamDialog.Reset();
    CloseSettingsDialog();
    CloseSkinChooser();
}

}  // namespace vt
