// The skin chooser ("皮肤设置") over SkinForm: the installed skins with
// their info on one page, the message popup's look and the main window's
// opacity on the other.
#include <windows.h>

#include <commdlg.h>

#include <array>
#include <vector>

#include "launcher/dialogs/dialog_host_win32.h"
#include "launcher/dialogs/dialogs_win32.h"
#include "launcher/dialogs/skin_form.h"
#include "launcher/dialogs/team_dialog_ids.h"
#include "launcher/dialogs/team_dialogs_win32.h"
#include "platform/win32/ui_font.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"

namespace vt {

namespace {

constexpr WORD kScrollBarClass = 0x0084;
constexpr WORD kListBoxClass = 0x0083;
constexpr const char* kPreviewText = "信息框示例 Vantrel";

// The system colour dialog: the chosen colour, or -1 when cancelled. Starts
// with no preset colour and sixteen black custom colours.
long long PickColor(HWND owner) {
    std::array<COLORREF, 16> custom{};
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = owner;
    cc.hInstance = reinterpret_cast<HWND>(::GetModuleHandleW(nullptr));
    cc.lpCustColors = custom.data();
    cc.Flags = 0;
    if (!::ChooseColorW(&cc)) return -1;
    return static_cast<long long>(cc.rgbResult & 0xFFFFFF);
}

class SkinDialog : public PagedDialog {
public:
    explicit SkinDialog(DialogHost& main) : PagedDialog(main, kIdOptPage, 2) {}

    // The colour dialog runs its own message loop inside one of our handlers;
    // the object must outlive it.
    bool Picking() const { return picking_; }

    bool Open() {
        form_.OnLoad(main_.GetRegistry(), main_.GetSettings().AppDir);
        using T = DialogTemplate;
        DialogTemplate t(Widen(kCaptionSkinForm), 262, 204, kTeamDialogStyle, 0, UiFontFace(), 9);
        const auto add = [&](int page, WORD cls, WORD id, const std::string& text, int x, int y, int w, int h,
                             DWORD style) { AddOnPage(t, page, cls, id, text, x, y, w, h, style); };
        AddPageButtons(t, kSkinPageCaptions);

        // Page 0 "更换皮肤"
        add(0, kListBoxClass, kIdLstSkin, "", 8, 30, 96, 144,
            WS_GROUP | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT);
        add(0, T::kButton, kIdFraInfo, kSkinInfoFrame, 110, 26, 144, 148, BS_GROUPBOX);
        for (int i = 0; i < 6; ++i) {
            const int y = 40 + i * 15;
            add(0, T::kStatic, static_cast<WORD>(kIdInfoCaption + i), kSkinInfoLabels[i], 116, y, 28, 10, SS_LEFT);
            const DWORD valueStyle =
                i == 5 ? SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL : SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS;
            add(0, T::kStatic, static_cast<WORD>(kIdInfoValue + i), "", 146, y, 104, i == 5 ? 168 - y : 10, valueStyle);
        }

        // Page 1 "界面效果"
        add(1, T::kButton, kIdFraMsg, kSkinMsgGroup, 8, 26, 246, 106, BS_GROUPBOX | WS_GROUP);
        const char* swatchLabels[3] = {kSkinFrameColorLabel, kSkinBackColorLabel, kSkinFontColorLabel};
        for (int i = 0; i < 3; ++i) {
            const int x = 16 + i * 80;
            add(1, T::kStatic, static_cast<WORD>(kIdSwatchLabel + i), swatchLabels[i], x, 42, 36, 10, SS_LEFT);
            // Owner-drawn, so the text is only for screen readers.
            add(1, T::kButton, static_cast<WORD>(kIdPicFrame + i), swatchLabels[i], x + 38, 39, 30, 14,
                BS_OWNERDRAW | WS_TABSTOP);
        }
        add(1, T::kStatic, kIdSizeLabel, kSkinFontSizeLabel, 16, 64, 36, 10, SS_LEFT);
        add(1, T::kEdit, kIdTxtSize, "", 54, 62, 28, 13, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_NUMBER);
        add(1, kScrollBarClass, kIdVScrSize, "", 82, 62, 9, 13, SBS_VERT);
        add(1, T::kStatic, kIdMOLabel, kSkinOpacityLabel, 96, 64, 30, 10, SS_LEFT);
        add(1, T::kEdit, kIdTxtMO, "", 134, 62, 32, 13, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL);
        add(1, kScrollBarClass, kIdVScrMO, "", 166, 62, 9, 13, SBS_VERT);
        add(1, T::kStatic, kIdPreview, "", 16, 84, 230, 40, SS_OWNERDRAW);
        add(1, T::kButton, kIdFraMain, kSkinMainGroup, 8, 138, 246, 36, BS_GROUPBOX);
        add(1, T::kStatic, kIdFOLabel, kSkinOpacityLabel, 16, 154, 36, 10, SS_LEFT);
        add(1, T::kEdit, kIdTxtFO, "", 54, 152, 32, 13, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL);
        add(1, kScrollBarClass, kIdVScrFO, "", 86, 152, 9, 13, SBS_VERT);

        add(-1, T::kButton, IDOK, kCaptionOk, 142, 182, 54, 15, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP);
        add(-1, T::kButton, IDCANCEL, kCaptionCancel, 200, 182, 54, 15, BS_PUSHBUTTON | WS_TABSTOP);
        return Create(t);
    }

private:
    void OnInit() override {
        HWND list = Item(kIdLstSkin);
        for (const std::string& name : form_.lstSkin)
            ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(name).c_str()));
        for (int id : {kIdTxtSize, kIdTxtMO, kIdTxtFO})
            ::SendDlgItemMessageW(hwnd_, id, EM_LIMITTEXT, 4, 0);
        ShowValues();
        ShowInfo();
        ShowPage(form_.optPage);
    }

    int TurnToPage(int page) override {
        form_.OnPageClicked(page);
        return form_.optPage;
    }

    void ShowInfo() {
        const std::string* values[6] = {&form_.labName,     &form_.labVersion, &form_.labAuthor,
                                        &form_.labHomePage, &form_.labEmail,   &form_.labNote};
        for (int i = 0; i < 6; ++i)
            SetText(kIdInfoValue + i, *values[i]);
    }

    void ShowValues() {
        SetText(kIdTxtSize, form_.txtSize);
        SetText(kIdTxtMO, form_.txtMO);
        SetText(kIdTxtFO, form_.txtFO);
        for (int id : {kIdPicFrame + 0, kIdPicFrame + 1, kIdPicFrame + 2, kIdPreview + 0})
            ::InvalidateRect(Item(id), nullptr, TRUE);
    }

    // What is typed in the three boxes, taken or put back as the bars show.
    void TakeTypedValues() {
        form_.OnSizeTyped(Text(kIdTxtSize));
        form_.OnMsgOpacityTyped(Text(kIdTxtMO));
        form_.OnMainOpacityTyped(Text(kIdTxtFO));
    }

    bool OnCommand(WORD id, WORD code, HWND) override {
        if (OnPageButton(id, code)) return true;
        if (id >= kIdPicFrame && id < kIdPicFrame + 3) {
            if (code == BN_CLICKED) {
                constexpr Swatch swatches[3] = {Swatch::Frame, Swatch::Back, Swatch::Font};
                picking_ = true;
                const long long colour = PickColor(hwnd_);
                picking_ = false;
                form_.OnColorPicked(swatches[id - kIdPicFrame], colour);
                if (hwnd_) ShowValues();
            }
            return true;
        }
        switch (id) {
            case kIdLstSkin:
                if (code == LBN_SELCHANGE) {
                    form_.OnSkinSelected(static_cast<int>(::SendMessageW(Item(kIdLstSkin), LB_GETCURSEL, 0, 0)));
                    ShowInfo();
                }
                return true;
            case kIdTxtSize:
            case kIdTxtMO:
            case kIdTxtFO:
                if (code == EN_KILLFOCUS && hwnd_) {
                    TakeTypedValues();
                    ShowValues();
                }
                return true;
            default:
                return false;
        }
    }

    bool OnOtherMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override {
        if (msg == WM_DRAWITEM) {
            const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (di->CtlID >= kIdPicFrame && di->CtlID < kIdPicFrame + 3u)
                DrawSwatch(*di);
            else if (di->CtlID == kIdPreview)
                DrawPreview(*di);
            else
                return false;
            result = TRUE;
            return true;
        }
        if (msg != WM_VSCROLL || !lp) return false;
        const int step = ArrowStep(LOWORD(wp));
        switch (::GetDlgCtrlID(reinterpret_cast<HWND>(lp))) {
            case kIdVScrSize:
                form_.OnSizeTyped(Text(kIdTxtSize));
                if (step) form_.OnSizeScrolled(form_.vscrSize + step);
                break;
            case kIdVScrMO:
                form_.OnMsgOpacityTyped(Text(kIdTxtMO));
                if (step) form_.OnMsgOpacityScrolled(form_.vscrMO + step);
                break;
            case kIdVScrFO:
                form_.OnMainOpacityTyped(Text(kIdTxtFO));
                if (step) form_.OnMainOpacityScrolled(form_.vscrFO + step);
                break;
            default:
                return false;
        }
        ShowValues();
        return true;
    }

    COLORREF SwatchColor(int index) const {
        const uint32_t colours[3] = {form_.picFrame, form_.picBack, form_.picFont};
        return static_cast<COLORREF>(colours[index]);
    }

    static void FillSolid(HDC dc, const RECT& r, COLORREF c) {
        UniqueHbrush brush(::CreateSolidBrush(c));
        ::FillRect(dc, &r, brush.get());
    }

    void DrawSwatch(const DRAWITEMSTRUCT& di) const {
        RECT r = di.rcItem;
        ::DrawEdge(di.hDC, &r, (di.itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
        ::InflateRect(&r, -1, -1);
        FillSolid(di.hDC, r, SwatchColor(static_cast<int>(di.CtlID - kIdPicFrame)));
        if (di.itemState & ODS_FOCUS) {
            RECT f = di.rcItem;
            ::InflateRect(&f, -2, -2);
            ::DrawFocusRect(di.hDC, &f);
        }
    }

    // The popup as it will look: its outline, background, text colour and size.
    void DrawPreview(const DRAWITEMSTRUCT& di) const {
        RECT r = di.rcItem;
        FillSolid(di.hDC, r, form_.picFrame);
        ::InflateRect(&r, -1, -1);
        FillSolid(di.hDC, r, form_.picBack);
        UniqueHfont font = CreateUiFont(form_.vscrSize, ::GetDeviceCaps(di.hDC, LOGPIXELSY));
        HGDIOBJ old = ::SelectObject(di.hDC, font.get());
        ::SetBkMode(di.hDC, TRANSPARENT);
        ::SetTextColor(di.hDC, form_.picFont);
        std::wstring text = Widen(kPreviewText);
        ::DrawTextW(di.hDC, text.c_str(), static_cast<int>(text.size()), &r,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        ::SelectObject(di.hDC, old);
    }

    void OnOk() override {
        TakeTypedValues();
        ShowValues();
        const FormOutcome out = form_.OnOk(main_.GetRegistry(), main_.GetSettings(), main_.GetPrompts());
        if (!out.close) return;
        DialogHost& main = main_;
        Close();
        if (out.applySkin) main.ChangeSkin(out.skinFolder);
        if (out.applyMainOpacity) main.SetOpacity(out.mainOpacity);
        if (!out.messageAfter.empty()) main.GetPrompts().ShowMessage(out.messageAfter);
    }

    SkinForm form_;
    bool picking_ = false;
};

DialogSlot<SkinDialog> g_skinDialog;

}  // namespace

void ShowSkinChooser(DialogHost& main) {
    if (SkinDialog* open = g_skinDialog.Open(); open && open->Picking()) {
        ::SetForegroundWindow(open->Hwnd());
        return;
    }
    g_skinDialog.OpenFresh(main, [](SkinDialog& d) { return d.Open(); });
}

bool PreTranslateSkinChooser(MSG& msg) {
    return g_skinDialog.PreTranslate(msg);
}

void CloseSkinChooser() {
    if (SkinDialog* dialog = g_skinDialog.Object(); dialog && dialog->Picking()) {
        // Destroying the window ends the colour dialog it owns; the object is
        // still on the stack below, so it is left to the end of the program.
        dialog->Close();
        g_skinDialog.Abandon();
        return;
    }
    g_skinDialog.Reset();
}

}  // namespace vt
