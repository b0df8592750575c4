// The item editor window: a thin view over ItemForm. Control values are copied
// into the form before a handler runs and copied back afterwards, with the
// controls' own change notifications held off while that happens. Its
// picture buttons and its icon preview each have a file of their own.
#include "launcher/dialogs/item_form_win32.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "common/colour.h"
#include "common/twips.h"
#include "launcher/dialogs/dialog_host_win32.h"
#include "launcher/dialogs/dialogs_win32.h"
#include "launcher/dialogs/item_form.h"
#include "launcher/dialogs/item_icon_preview_win32.h"
#include "launcher/dialogs/item_picture_buttons_win32.h"
#include "launcher/dialogs/launcher_dialog_win32.h"
#include "launcher/mainwindow/main_model.h"
#include "platform/win32/guarded_proc.h"
#include "platform/win32/icon_extract_win32.h"
#include "platform/win32/pictures_win32.h"
#include "platform/win32/ui_font.h"
#include "platform/win32/win_text.h"

namespace vt {

namespace {

constexpr int kButtonSize = 22;
constexpr int kLabelWidth = 68;

EditorShared& Shared() {
    return ItemEditorShared();
}

// The file chooser of the editor: one filter pair, an initial folder when one
// is remembered; the empty text on Cancel.
std::string ChooseFile(HWND owner, const char* title, const std::string& initialFolder) {
    std::wstring filter = Widen(kChooseFileFilter[0]);
    filter.push_back(L'\0');
    filter += Widen(kChooseFileFilter[1]);
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    std::wstring file(1024, L'\0');
    std::wstring wtitle = Widen(title);
    std::wstring folder = Widen(initialFolder);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.hInstance = ::GetModuleHandleW(nullptr);
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = wtitle.c_str();
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameW(&ofn)) return {};
    file.resize(wcslen(file.c_str()));
    return Narrow(file);
}

// The item panel's colour, which the preview shows icons on.
uint32_t PanelColor(DialogHost& main) {
    return main.Model().GetScene().At(Part::PicItemIn).backColor;
}

// The skin's stock pictures, as the item panel shows them.
ItemIconPreview::StockPictures StockPicturesOf(DialogHost& main) {
    return [&main](StockIcon icon) -> Gdiplus::Bitmap* {
        const Scene& scene = main.Model().GetScene();
        const int i = static_cast<int>(icon);
        if (i >= scene.Count(Part::ImgInside)) return nullptr;
        return main.GetPictures().Get(scene.At(Part::ImgInside, i).picture);
    };
}

class ItemDialog;
DialogSlot<ItemDialog> g_item;

class ItemDialog : public LauncherDialog {
public:
    explicit ItemDialog(DialogHost& main)
        : LauncherDialog(main), form_(main.GetRegistry(), Shared()), preview_(PanelColor(main)) {}
    ~ItemDialog() override {
        CloseExItemDialog();
        // While the members the picture buttons use are still here.
        Close();
    }

    // Fills a fresh editor with fill while its handlers are held off, then
    // shows it centred.
    bool Open(const std::function<void(ItemForm&)>& fill) {
        DialogTemplate t(Widen(kCaptionItemDesign), 280, 200,
                         WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_NOIDLEMSG, 0, UiFontFace(), 9);
        if (!CreateHidden(t, main_.Hwnd())) return false;
        form_.OnLoad();
        fill(form_);
        WriteControls();
        CenterOnWorkArea();
        ShowInFront();
        return true;
    }

    // Fields -> controls, preview included. Change notifications are held off.
    void WriteControls() {
        syncing_ = true;
        ::SetWindowTextW(hwnd_, Widen(form_.caption).c_str());
        SetTextIfChanged(item_ids::kName, form_.txtName);
        SetTextIfChanged(item_ids::kPath, form_.txtPath);
        SetTextIfChanged(item_ids::kPara, form_.txtPara);
        SetTextIfChanged(item_ids::kIcon, form_.txtIcon);
        SetTextIfChanged(item_ids::kPassword, form_.txtPassword);
        SetTextIfChanged(item_ids::kNote, form_.txtNote);
        nameShown_ = form_.txtName;
        noteShown_ = form_.txtNote;
        ::SendMessageW(Item(item_ids::kType), CB_SETCURSEL, static_cast<WPARAM>(form_.cboType), 0);
        ::SendMessageW(Item(item_ids::kMode), CB_SETCURSEL, static_cast<WPARAM>(form_.cboMode), 0);
        if (shownVerbs_ != form_.cboMethodList) {
            HWND method = Item(item_ids::kMethod);
            ::SendMessageW(method, CB_RESETCONTENT, 0, 0);
            for (const std::string& v : form_.cboMethodList)
                ::SendMessageW(method, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(v).c_str()));
            shownVerbs_ = form_.cboMethodList;
        }
        ::SendMessageW(Item(item_ids::kMethod), CB_SETCURSEL, static_cast<WPARAM>(form_.cboMethod), 0);
        SetChecked(item_ids::kShowPassword, form_.chkPassword);
        SetChecked(item_ids::kShowAdvanced, form_.chkEx);
        HWND password = Item(item_ids::kPassword);
        WPARAM mask = form_.PasswordMasked() ? static_cast<WPARAM>(kPasswordMask) : 0;
        if (::SendMessageW(password, EM_GETPASSWORDCHAR, 0, 0) != static_cast<LRESULT>(mask)) {
            ::SendMessageW(password, EM_SETPASSWORDCHAR, mask, 0);
            ::InvalidateRect(password, nullptr, TRUE);
        }
        HWND para = Item(item_ids::kPara);
        if ((::IsWindowEnabled(para) != FALSE) != form_.paraEnabled) ::EnableWindow(para, form_.paraEnabled);
        if (paraBack_ != form_.paraBackColor) {
            paraBack_ = form_.paraBackColor;
            paraBrush_.reset(::CreateSolidBrush(ColorrefOf(paraBack_)));
            ::InvalidateRect(para, nullptr, TRUE);
        }
        SetTextIfChanged(item_ids::kIconIndex, form_.IconIndexText());
        RenderPreview();
        ApplyHeight();
        syncing_ = false;
    }

    // Controls -> fields.
    void ReadControls() {
        form_.txtName = Text(item_ids::kName);
        form_.txtPath = Text(item_ids::kPath);
        form_.txtPara = Text(item_ids::kPara);
        form_.txtIcon = Text(item_ids::kIcon);
        form_.txtPassword = Text(item_ids::kPassword);
        form_.txtNote = Text(item_ids::kNote);
        form_.cboType = static_cast<int>(::SendMessageW(Item(item_ids::kType), CB_GETCURSEL, 0, 0));
        form_.cboMode = static_cast<int>(::SendMessageW(Item(item_ids::kMode), CB_GETCURSEL, 0, 0));
        form_.cboMethod = static_cast<int>(::SendMessageW(Item(item_ids::kMethod), CB_GETCURSEL, 0, 0));
        form_.chkPassword = Checked(item_ids::kShowPassword);
        form_.chkEx = Checked(item_ids::kShowAdvanced);
    }

    void Run(const std::function<void(ItemForm&)>& fn) {
        ReadControls();
        fn(form_);
        WriteControls();
    }

private:
    void PictureButtonAt(PictureButton b, int x, int y) {
        int id = item_ids::kPictureButtonFirst + static_cast<int>(b);
        HWND c = AddControl(L"BUTTON", id, "", x, y, kButtonSize, kButtonSize, BS_OWNERDRAW);
        buttons_.Attach(b, c, hwnd_, tooltip_);
    }

    void OnInit() override {
        StartPixelLayout();
        tooltip_ = AddTooltip();
        // Upper part, always shown: name, path, and the dialog's buttons.
        AddLabel(kLabelItemName, 10, 10, kLabelWidth);
        AddEdit(item_ids::kName, 80, 10, 330);
        AddLabel(kLabelItemPath, 10, 38, kLabelWidth);
        AddEdit(item_ids::kPath, 80, 38, 226);
        PictureButtonAt(PictureButton::File, 312, 38);
        PictureButtonAt(PictureButton::Dir, 337, 38);
        PictureButtonAt(PictureButton::Ex, 362, 38);
        collapsedBottom_ = 100;
        // Advanced part: hidden with the lower half of the window, so that
        // the keyboard never lands in a field the user cannot see.
        advancedFirst_ = AddControl(L"STATIC", -1, "", 10, 102, 400, 2, SS_ETCHEDHORZ);
        AddLabel(kLabelItemPara, 10, 114, kLabelWidth);
        AddEdit(item_ids::kPara, 80, 114, 330);
        AddLabel(kLabelItemIcon, 10, 146, kLabelWidth);
        AddEdit(item_ids::kIcon, 80, 146, 226);
        PictureButtonAt(PictureButton::Icon, 312, 146);
        PictureButtonAt(PictureButton::Inside, 337, 146);
        PictureButtonAt(PictureButton::Left, 362, 146);
        PictureButtonAt(PictureButton::Right, 387, 146);
        AddLabel(kLabelItemPassword, 10, 178, kLabelWidth);
        AddEdit(item_ids::kPassword, 80, 178, 150, ES_PASSWORD);
        AddControl(L"BUTTON", item_ids::kShowPassword, kCheckShowPassword, 240, 179, 100, 20,
                   WS_TABSTOP | BS_AUTOCHECKBOX);
        AddLabel(kLabelItemNote, 10, 210, kLabelWidth);
        AddEdit(item_ids::kNote, 80, 210, 150);
        AddLabel(kLabelItemType, 10, 242, kLabelWidth);
        AddCaptions(AddDropList(item_ids::kType, 80, 242, 150), CB_ADDSTRING, kItemTypeCaptions);
        AddLabel(kLabelItemMode, 10, 274, kLabelWidth);
        AddCaptions(AddDropList(item_ids::kMode, 80, 274, 150), CB_ADDSTRING, kItemModeCaptions);
        AddLabel(kLabelItemMethod, 10, 306, kLabelWidth);
        AddDropList(item_ids::kMethod, 80, 306, 150);
        AddLabel(kLabelItemPreview, 262, 238, 40);
        AddControl(L"STATIC", item_ids::kPreview, "", 312, 222, 52, 52, SS_OWNERDRAW);
        AddControl(L"STATIC", item_ids::kIconIndex, IconIndexLabel(0), 288, 282, 100, 18, SS_CENTER);
        expandedBottom_ = 338;
        // Created last so that the tab order runs through the fields first.
        advancedEnd_ = ::GetWindow(Item(item_ids::kIconIndex), GW_HWNDNEXT);
        AddControl(L"BUTTON", item_ids::kShowAdvanced, kCheckShowAdvanced, 10, 69, 150, 20,
                   WS_TABSTOP | BS_AUTOCHECKBOX);
        AddControl(L"BUTTON", IDOK, kCaptionOk, 252, 66, 76, 26, WS_TABSTOP | BS_DEFPUSHBUTTON);
        AddControl(L"BUTTON", IDCANCEL, kCaptionCancel, 334, 66, 76, 26, WS_TABSTOP | BS_PUSHBUTTON);

        ::SetWindowPos(hwnd_, nullptr, 0, 0, WindowWidth(), 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        iconMenu_.reset(::CreatePopupMenu());
        for (int i = 0; i < 4; ++i)
            ::AppendMenuW(iconMenu_.get(), MF_STRING, static_cast<UINT_PTR>(item_ids::kStockMenuFirst + i),
                          Widen(kStockMenuCaptions[i]).c_str());
    }

    int WindowWidth() const {
        RECT r = FrameAround(S(420), 10);
        return r.right - r.left;
    }
    // The designed height, never so small that the dialog's buttons are cut.
    void ApplyHeight() {
        bool show = form_.chkEx;
        for (HWND c = advancedFirst_; c && c != advancedEnd_; c = ::GetWindow(c, GW_HWNDNEXT)) {
            // The style, not IsWindowVisible: before the dialog is first shown
            // every control reads as invisible and nothing would be hidden.
            bool shown = (::GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE) != 0;
            if (shown != show) ::ShowWindow(c, show ? SW_SHOWNA : SW_HIDE);
            if (::GetDlgCtrlID(c) == item_ids::kIconIndex) break;
        }
        RECT r = FrameAround(S(420), S(form_.chkEx ? expandedBottom_ : collapsedBottom_));
        int needed = r.bottom - r.top;
        int h = std::max(TwipsToPixels(form_.WindowHeight(), dpi_), needed);
        RECT now{};
        ::GetWindowRect(hwnd_, &now);
        if (now.bottom - now.top != h)
            ::SetWindowPos(hwnd_, nullptr, 0, 0, now.right - now.left, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void CenterOnWorkArea() {
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        RECT me{};
        ::GetWindowRect(hwnd_, &me);
        int w = me.right - me.left;
        const RECT expanded = FrameAround(S(420), S(expandedBottom_));
        const int full =
            std::max(static_cast<int>(expanded.bottom - expanded.top), TwipsToPixels(kItemFormHeightExpanded, dpi_));
        int x = static_cast<int>(work.left + (work.right - work.left - w) / 2);
        int y = static_cast<int>(work.top) + std::max(0, static_cast<int>(work.bottom - work.top - full) / 2);
        ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void RenderPreview() {
        if (preview_.Render(form_.preview, PanelColor(main_), StockPicturesOf(main_)))
            ::InvalidateRect(Item(item_ids::kPreview), nullptr, FALSE);
    }

    bool OnOtherMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override {
        switch (msg) {
            case WM_DRAWITEM: {
                const auto& d = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
                if (d.CtlID == static_cast<UINT>(item_ids::kPreview))
                    preview_.Draw(d, dpi_, PanelColor(main_));
                else
                    buttons_.Draw(d, dpi_);
                result = TRUE;
                return true;
            }
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORSTATIC:
                if (reinterpret_cast<HWND>(lp) == Item(item_ids::kPara) && paraBrush_) {
                    auto dc = reinterpret_cast<HDC>(wp);
                    ::SetBkColor(dc, ColorrefOf(paraBack_));
                    result = reinterpret_cast<INT_PTR>(paraBrush_.get());
                    return true;
                }
                return false;
            case WM_MOUSEMOVE:
                buttons_.OnBackground();
                return false;
        }
        return false;
    }

    bool OnCommand(WORD id, WORD code, HWND) override {
        if (syncing_) return true;
        switch (id) {
            // Before the change is drawn, so text beyond the limit never shows.
            case item_ids::kName:
                if (code == EN_UPDATE) HoldToBytes(id, kItemNameMaxBytes, kFieldItemName, nameShown_, nameWarned_);
                return true;
            case item_ids::kNote:
                if (code == EN_UPDATE) HoldToBytes(id, kItemNoteMaxBytes, kFieldItemNote, noteShown_, noteWarned_);
                return true;
            case item_ids::kPath:
                if (code == EN_CHANGE) Run([](ItemForm& f) { f.OnPathChanged(); });
                return true;
            case item_ids::kIcon:
                if (code == EN_CHANGE) Run([](ItemForm& f) { f.OnIconChanged(); });
                return true;
            case item_ids::kType:
                if (code == CBN_SELCHANGE) Run([](ItemForm& f) { f.OnTypeChanged(); });
                return true;
            case item_ids::kShowPassword:
            case item_ids::kShowAdvanced:
                if (code == BN_CLICKED) Run([](ItemForm&) {});
                return true;
        }
        if (id >= item_ids::kStockMenuFirst && id < item_ids::kStockMenuFirst + 4) {
            Run([id](ItemForm& f) { f.OnStockIcon(static_cast<StockIcon>(id - item_ids::kStockMenuFirst)); });
            return true;
        }
        if (id >= item_ids::kPictureButtonFirst && id < item_ids::kPictureButtonFirst + kPictureButtonCount &&
            code == BN_CLICKED)
            OnPictureButton(static_cast<PictureButton>(id - item_ids::kPictureButtonFirst));
        return true;
    }

    // Name and note are profile values, which read back at most so many
    // bytes of the ANSI code page. A character limit cannot say that (a
    // character takes one to four bytes), so every change is measured and
    // what it added is cut to fit, as a character limit cuts a paste.
    void HoldToBytes(int id, size_t maxBytes, const char* field, std::string& shown, bool& warned) {
        const FittedText fit = FitTypedText(shown, Text(id), maxBytes);
        shown = fit.text;
        if (!fit.cut) {
            warned = false;
            return;
        }
        HWND edit = Item(id);
        syncing_ = true;
        SetText(id, fit.text);
        const auto caret = static_cast<WPARAM>(Widen(fit.text.substr(0, fit.caret)).size());
        ::SendMessageW(edit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
        syncing_ = false;
        // Told once; further keys at the limit only beep.
        if (!warned && main_.GetSettings().WarnOnFormat)
            main_.GetPrompts().ShowMessage(TooLongMessage(field, maxBytes));
        else
            ::MessageBeep(MB_OK);
        warned = true;
    }

    // After a refused OK: the field at fault, its text selected, the advanced
    // part opened when the field lies there.
    void SelectRefusedField() {
        int id = 0;
        switch (form_.refusedField) {
            case ItemField::None:
                return;
            case ItemField::Name:
                id = item_ids::kName;
                break;
            case ItemField::Path:
                id = item_ids::kPath;
                break;
            case ItemField::Para:
                id = item_ids::kPara;
                break;
            case ItemField::Icon:
                id = item_ids::kIcon;
                break;
            case ItemField::Password:
                id = item_ids::kPassword;
                break;
            case ItemField::Note:
                id = item_ids::kNote;
                break;
        }
        if (id != item_ids::kName && id != item_ids::kPath && !form_.chkEx) {
            form_.chkEx = true;
            WriteControls();
        }
        HWND edit = Item(id);
        if (!::IsWindowEnabled(edit)) return;  // the parameters of a type that takes none
        ::SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
    }

    // The file choosers, the folder picker and the popup run their own message
    // loops, in which the main window can still open another editor (which
    // deletes this one), exit, or close this one. A token taken before such a
    // loop tells afterwards whether this object is still there; only then is
    // it asked whether its window is. (Comparing addresses cannot tell: the
    // next editor may be given this one's.)
    class Survival {
    public:
        explicit Survival(const ItemDialog& d) : dialog_(d), token_(d.life_) {}
        bool Alive() const { return !token_.expired() && dialog_.IsOpen(); }

    private:
        const ItemDialog& dialog_;
        std::weak_ptr<const char> token_;
    };

    void OnPictureButton(PictureButton b) {
        const Survival self(*this);
        switch (b) {
            case PictureButton::File: {
                ReadControls();
                std::string file = ChooseFile(hwnd_, kTitleChooseItemPath, form_.ChooserInitialFolder());
                if (!self.Alive()) return;
                Run([&](ItemForm& f) { f.OnItemFileChosen(file); });
                break;
            }
            case PictureButton::Icon: {
                ReadControls();
                std::string file = ChooseFile(hwnd_, kTitleChooseItemIcon, form_.ChooserInitialFolder());
                if (!self.Alive()) return;
                Run([&](ItemForm& f) { f.OnIconFileChosen(file); });
                break;
            }
            case PictureButton::Dir: {
                ReadControls();
                bool chosen = RunFolderPicker(main_, hwnd_, form_);
                if (self.Alive() && chosen) WriteControls();
                break;
            }
            case PictureButton::Ex:
                OpenExItemEditor(main_, hwnd_);
                break;
            case PictureButton::Inside: {
                RECT r{};
                ::GetWindowRect(Item(item_ids::kPictureButtonFirst + static_cast<int>(b)), &r);
                ::SendMessageW(tooltip_, TTM_POP, 0, 0);  // its tip would cover the first entry
                TwipPoint at = StockMenuPosition(0, 0, PixelsToTwips(r.bottom - r.top, dpi_));
                ::TrackPopupMenu(iconMenu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, r.left,
                                 r.top + TwipsToPixels(at.y, dpi_), 0, hwnd_, nullptr);
                if (!self.Alive()) return;
                buttons_.OnBackground();
                break;
            }
            case PictureButton::Left:
                Run([](ItemForm& f) { f.OnPreviousIcon(); });
                break;
            case PictureButton::Right:
                Run([](ItemForm& f) { f.OnNextIcon(); });
                break;
        }
    }

    void OnOk() override {
        ReadControls();
        FormOutcome out = form_.OnOk(main_.GetSettings(), main_.GetPrompts(), preview_.BmpBytes());
        if (out.showItems && main_.Model().CurrentTeam == out.showItemsTeam) {
            main_.Model().ShowItems(out.showItemsTeam);
            main_.Refresh();
        }
        if (out.close) {
            Close();
            return;
        }
        // OK may have put a path's short form in place.
        WriteControls();
        SelectRefusedField();
    }

private:
    ItemForm form_;
    ItemIconPreview preview_;
    ItemPictureButtons buttons_;
    HWND tooltip_ = nullptr;
    UniqueHmenu iconMenu_;
    UniqueHbrush paraBrush_;
    uint32_t paraBack_ = 0xFFFFFFFF;
    std::vector<std::string> shownVerbs_;
    bool syncing_ = false;
    // What the name and note boxes held after their last accepted change.
    std::string nameShown_, noteShown_;
    bool nameWarned_ = false, noteWarned_ = false;
    // Expires with the object; see Survival.
    std::shared_ptr<const char> life_ = std::make_shared<const char>('\0');
    int collapsedBottom_ = 100;
    int expandedBottom_ = 338;
    HWND advancedFirst_ = nullptr;
    HWND advancedEnd_ = nullptr;
};

// Any open editor is discarded first.
void OpenEditor(DialogHost& main, const std::function<void(ItemForm&)>& fill) {
    g_item.OpenFresh(main, [&](ItemDialog& d) { return d.Open(fill); });
}

}  // namespace

EditorShared& ItemEditorShared() {
    static EditorShared shared;
    return shared;
}

std::string RenderIconPlanBmp(DialogHost& main, const IconPlan& plan) {
    return ItemIconPreview::RenderBmp(plan, PanelColor(main), StockPicturesOf(main));
}

bool WithItemEditor(const std::function<void(ItemForm&)>& fn) {
    ItemDialog* open = g_item.Open();
    if (!open) return false;
    open->Run(fn);
    return true;
}

void ShowItemEditorForAdd(DialogHost& main) {
    MainModel& model = main.Model();
    OpenEditor(main, [&](ItemForm& f) { f.OpenForAdd(model.CurrentTeam, model.TeamFolder); });
}

void ShowItemEditorForEdit(DialogHost& main, const std::string& password) {
    MainModel& model = main.Model();
    if (model.CurrentTeam < 0 || model.CurrentItem < 0) return;
    OpenEditor(main,
               [&](ItemForm& f) { f.OpenForEdit(model.CurrentTeam, model.TeamFolder, model.CurrentItem, password); });
}

bool PreTranslateItemDialogs(MSG& msg) {
    if (PreTranslateExItemDialog(msg)) return true;
    return g_item.PreTranslate(msg);
}

void CloseItemDialogs() {
    CloseExItemDialog();
    g_item.Reset();
}

}  // namespace vt
