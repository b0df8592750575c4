// The settings dialog ("软件设置") over SettingForm: four pages chosen by a
// row of option buttons; OK writes through the form and re-applies.
#include <optional>
#include <vector>

#include "launcher/dialogs/dialog_host_win32.h"
#include "launcher/dialogs/dialogs_win32.h"
#include "launcher/dialogs/setting_form.h"
#include "launcher/dialogs/team_dialog_ids.h"
#include "launcher/dialogs/team_dialogs_win32.h"
#include "launcher/mainwindow/main_model.h"
#include "platform/win32/ui_font.h"
#include "platform/win32/win_text.h"

namespace vt {

namespace {

constexpr WORD kScrollBarClass = 0x0084;

class SettingsDialog : public PagedDialog {
public:
    explicit SettingsDialog(DialogHost& main) : PagedDialog(main, kIdOptSet, 4) {}

    bool Open() {
        form_.OnLoad(main_.GetRegistry(), main_.GetSettings());
        using T = DialogTemplate;
        DialogTemplate t(Widen(kCaptionSetForm), 262, 208, kTeamDialogStyle, 0, UiFontFace(), 9);
        const auto add = [&](int page, WORD cls, WORD id, const char* text, int x, int y, int w, int h, DWORD style) {
            AddOnPage(t, page, cls, id, text, x, y, w, h, style);
        };
        const DWORD check = BS_AUTOCHECKBOX | WS_TABSTOP;
        const DWORD group = BS_GROUPBOX;

        AddPageButtons(t, kSettingPageCaptions);

        // Page 0 "操作设置"
        add(0, T::kButton, kIdFraLaunch, kSettingSectionCaptions[5], 8, 28, 246, 40, group | WS_GROUP);
        add(0, T::kButton, kIdOptLaunch, kOptLaunchCaptions[0], 16, 40, 230, 11,
            BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP);
        add(0, T::kButton, kIdOptLaunch1, kOptLaunchCaptions[1], 16, 53, 230, 11, BS_AUTORADIOBUTTON);
        add(0, T::kButton, kIdFraMin, kSettingSectionCaptions[6], 8, 72, 246, 40, group | WS_GROUP);
        add(0, T::kButton, kIdChkMin, kChkMinCaptions[0], 16, 84, 230, 11, check);
        add(0, T::kButton, kIdChkMin1, kChkMinCaptions[1], 16, 97, 230, 11, check);
        add(0, T::kButton, kIdFraRoll, kSettingSectionCaptions[7], 8, 116, 246, 58, group);
        for (int i = 0; i < 2; ++i) {
            const int y = 129 + i * 22;
            add(0, T::kButton, static_cast<WORD>(kIdChkRoll + i), kChkRollCaptions[i], 16, y, 150, 11, check);
            add(0, T::kStatic, static_cast<WORD>(kIdRollLabel + i), kRollSpeedLabel, 168, y + 1, 38, 10, SS_LEFT);
            add(0, T::kEdit, static_cast<WORD>(kIdTxtRoll + i), "", 206, y - 1, 34, 13,
                WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_NUMBER);
            add(0, kScrollBarClass, static_cast<WORD>(kIdVScrRoll + i), "", 240, y - 1, 9, 13, SBS_VERT);
        }

        // Page 1 "运行设置"
        add(1, T::kButton, kIdFraHot, kSettingSectionCaptions[3], 8, 28, 246, 64, group);
        add(1, T::kButton, kIdChkHot, kChkHotCaptions[0], 16, 40, 230, 11, check);
        add(1, T::kButton, kIdChkHot1, kChkHotCaptions[1], 16, 56, 40, 11, check);
        add(1, T::kButton, kIdChkHot2, kChkHotCaptions[2], 60, 56, 38, 11, check);
        add(1, T::kButton, kIdChkHot3, kChkHotCaptions[3], 102, 56, 44, 11, check);
        add(1, T::kEdit, kIdTxtHot, "", 150, 55, 24, 13, WS_BORDER | WS_TABSTOP | ES_UPPERCASE | ES_CENTER);
        add(1, T::kButton, kIdChkShow, kChkShowCaption, 16, 74, 230, 11, check);
        add(1, T::kButton, kIdFraOther, kSettingSectionCaptions[4], 8, 96, 246, 53, group);
        add(1, T::kButton, kIdChkOther, kChkOtherCaptions[0], 16, 108, 230, 11, check);
        add(1, T::kButton, kIdChkOther1, kChkOtherCaptions[1], 16, 121, 230, 11, check);
        add(1, T::kButton, kIdChkPortable, kChkPortableCaption, 16, 134, 230, 11, check);

        // Page 2 "提示设置"
        add(2, T::kButton, kIdFraWarn, kSettingSectionCaptions[2], 8, 28, 246, 94, group);
        for (int i = 0; i < 6; ++i)
            add(2, T::kButton, static_cast<WORD>(kIdChkWarn + i), kChkWarnCaptions[i], 16, 40 + i * 13, 230, 11, check);

        // Page 3 "界面设置"
        add(3, T::kButton, kIdFraShowItem, kSettingSectionCaptions[0], 8, 28, 246, 52, group | WS_GROUP);
        for (int i = 0; i < 3; ++i)
            add(3, T::kButton, static_cast<WORD>(kIdOptShowItem + i), kOptShowItemCaptions[i], 16, 40 + i * 13, 230, 11,
                BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0));
        add(3, T::kButton, kIdFraUi, kSettingSectionCaptions[1], 8, 84, 246, 84, group | WS_GROUP);
        const std::pair<WORD, const char*> ui[] = {{kIdChkRunOne, kChkRunOneCaption},
                                                   {kIdChkHide, kChkHideCaption},
                                                   {kIdChkRmTeam, kChkRmTeamCaption},
                                                   {kIdChkOpen, kChkOpenCaption},
                                                   {kIdChkWin, kChkWinCaption}};
        for (int i = 0; i < 5; ++i)
            add(3, T::kButton, ui[i].first, ui[i].second, 16, 96 + i * 13, 230, 11, check);

        add(-1, T::kButton, IDOK, kCaptionOk, 142, 186, 54, 15, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP);
        add(-1, T::kButton, IDCANCEL, kCaptionCancel, 200, 186, 54, 15, BS_PUSHBUTTON | WS_TABSTOP);
        return Create(t);
    }

private:
    void OnInit() override {
        const SettingForm& f = form_;
        if (f.optLaunch >= 0) SetChecked(kIdOptLaunch + f.optLaunch, true);
        SetChecked(kIdChkMin, f.chkMin[0]);
        SetChecked(kIdChkMin1, f.chkMin[1]);
        for (int i = 0; i < 2; ++i) {
            SetChecked(kIdChkRoll + i, f.chkRoll[i]);
            ::SendDlgItemMessageW(hwnd_, kIdTxtRoll + i, EM_LIMITTEXT, 5, 0);
            PrepareArrows(Item(kIdVScrRoll + i));
            SetText(kIdTxtRoll + i, f.txtRoll[i]);
        }
        for (int i = 0; i < 4; ++i)
            SetChecked(kIdChkHot + i, f.chkHot[i]);
        // The hotkey uses the first character only.
        ::SendDlgItemMessageW(hwnd_, kIdTxtHot, EM_LIMITTEXT, 1, 0);
        SetText(kIdTxtHot, f.txtHot);
        SetChecked(kIdChkShow, f.chkShow);
        SetChecked(kIdChkOther, f.chkOther[0]);
        SetChecked(kIdChkOther1, f.chkOther[1]);
        SetChecked(kIdChkPortable, f.chkPortable);
        for (int i = 0; i < 6; ++i)
            SetChecked(kIdChkWarn + i, f.chkWarn[i]);
        if (f.optShowItem >= 0) SetChecked(kIdOptShowItem + f.optShowItem, true);
        SetChecked(kIdChkRunOne, f.chkRunOne);
        SetChecked(kIdChkHide, f.chkHide);
        SetChecked(kIdChkRmTeam, f.chkRmTeam);
        SetChecked(kIdChkOpen, f.chkOpen);
        SetChecked(kIdChkWin, f.chkWin);
        ShowPage(f.optSet);
    }

    int TurnToPage(int page) override {
        form_.OnPageClicked(page);
        return form_.optSet;
    }

    bool OnCommand(WORD id, WORD code, HWND) override { return OnPageButton(id, code); }

    bool OnOtherMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR&) override {
        if (msg != WM_VSCROLL || !lp) return false;
        const int i = ::GetDlgCtrlID(reinterpret_cast<HWND>(lp)) - kIdVScrRoll;
        if (i < 0 || i > 1) return false;
        const int step = ArrowStep(LOWORD(wp));
        if (step == 0) return true;
        // The arrows start from what the box holds now, typed or not.
        const int from = ParseRollRate(Text(kIdTxtRoll + i)).value_or(form_.vscrRoll[i]);
        form_.OnRollScrolled(i, from + step);
        SetText(kIdTxtRoll + i, form_.txtRoll[i]);
        return true;
    }

    void ReadControls() {
        SettingForm& f = form_;
        f.optLaunch = Checked(kIdOptLaunch) ? 0 : 1;
        f.chkMin = {Checked(kIdChkMin), Checked(kIdChkMin1)};
        for (int i = 0; i < 2; ++i) {
            f.chkRoll[i] = Checked(kIdChkRoll + i);
            f.txtRoll[i] = Text(kIdTxtRoll + i);
        }
        for (int i = 0; i < 4; ++i)
            f.chkHot[i] = Checked(kIdChkHot + i);
        f.txtHot = Text(kIdTxtHot);
        f.chkShow = Checked(kIdChkShow);
        f.chkOther = {Checked(kIdChkOther), Checked(kIdChkOther1)};
        f.chkPortable = Checked(kIdChkPortable);
        for (int i = 0; i < 6; ++i)
            f.chkWarn[i] = Checked(kIdChkWarn + i);
        f.optShowItem = Checked(kIdOptShowItem) ? 0 : Checked(kIdOptShowItem + 1) ? 1 : 2;
        f.chkRunOne = Checked(kIdChkRunOne);
        f.chkHide = Checked(kIdChkHide);
        f.chkRmTeam = Checked(kIdChkRmTeam);
        f.chkOpen = Checked(kIdChkOpen);
        f.chkWin = Checked(kIdChkWin);
    }

    void OnOk() override {
        ReadControls();
        const FormOutcome out = form_.OnOk(main_.GetRegistry(), main_.GetSettings().AppDir);
        DialogHost& main = main_;
        if (out.close) Close();
        if (out.applySettings) {
            // The ticker keeps the caption it scrolled; give it back before the
            // options change and start again under the new ones.
            MainModel& model = main.Model();
            NameRoller& roller = model.Roller();
            if (model.CurrentItem >= 0) roller.StopNameRoll(RollKind::Item, model.CurrentItem);
            main.ReapplySettings();
            if (model.CurrentItem >= 0 && model.CurrentItem < model.ItemCount())
                roller.StartNameRoll(RollKind::Item, model.CurrentItem, main.GetSettings().ShowItemType);
            main.Refresh();
        }
        if (!out.messageAfter.empty()) main.GetPrompts().ShowMessage(out.messageAfter);
    }

    SettingForm form_;
};

DialogSlot<SettingsDialog> g_settingsDialog;

}  // namespace

void ShowSettingsDialog(DialogHost& main) {
    // Single instance: it reads everything afresh each time it opens.
    g_settingsDialog.OpenFresh(main, [](SettingsDialog& d) { return d.Open(); });
}

bool PreTranslateSettingsDialog(MSG& msg) {
    return g_settingsDialog.PreTranslate(msg);
}

void CloseSettingsDialog() {
    g_settingsDialog.Reset();
}

}  // namespace vt
