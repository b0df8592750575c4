// AboutForm, and the dispatch of keyboard messages and the unload step's
// closing to every dialog family of the launcher.
#include <windows.h>

#include <shellapi.h>

#include "launcher/dialogs/dialog_host_win32.h"
#include "launcher/dialogs/dialogs_win32.h"
#include "launcher/dialogs/team_dialogs_win32.h"
#include "launcher/menus/commands.h"
#include "platform/win32/dialog_template.h"
#include "platform/win32/icon_extract_win32.h"
#include "platform/win32/ui_font.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"

// The version comes from the build (project() in CMakeLists.txt).
#if !defined(VT_VERSION_MAJOR) || !defined(VT_VERSION_MINOR)
#error "VT_VERSION_MAJOR and VT_VERSION_MINOR must be defined by the build"
#endif
#define VT_VERSION_STR2(x) #x
#define VT_VERSION_STR(x) VT_VERSION_STR2(x)
#define VT_VERSION_TEXT VT_VERSION_STR(VT_VERSION_MAJOR) "." VT_VERSION_STR(VT_VERSION_MINOR)

namespace vt {
namespace {

inline constexpr const char* kAboutCaption = "关于\"Vantrel\"";
inline constexpr const char* kAboutName = "程序名称:Vantrel";
inline constexpr const char* kAboutVersion = "程序版本:" VT_VERSION_TEXT;
inline constexpr const char* kAboutEmail = "电子邮件:";
inline constexpr const char* kAboutWeb = "程序主页:";
inline constexpr const char* kAboutMaker = "Oskarn 出品";
inline constexpr const char* kAboutNotice =
    "Vantrel 是一个可以换皮肤的程序启动器。使用中有任何问题或建议,欢迎来信或访问程序主页。";

enum : WORD {
    kIdIcon = 100,
    kIdName,
    kIdVersion,
    kIdEmailLabel,
    kIdEmail,
    kIdWebLabel,
    kIdWeb,
    kIdMaker,
    kIdNotice,
    kIdLine,
};

class AboutForm : public LauncherDialog {
public:
    explicit AboutForm(DialogHost& main) : LauncherDialog(main) {}

    bool Open() {
        DialogTemplate t(Widen(kAboutCaption), 230, 122, kTeamDialogStyle, 0, UiFontFace(), 9);
        constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
        t.Add(DialogTemplate::kStatic, kIdIcon, L"", 12, 12, 21, 20, kChild | SS_ICON);
        t.Add(DialogTemplate::kStatic, kIdName, Widen(kAboutName), 44, 12, 176, 10, kChild | SS_LEFT);
        t.Add(DialogTemplate::kStatic, kIdVersion, Widen(kAboutVersion), 44, 25, 176, 10, kChild | SS_LEFT);
        t.Add(DialogTemplate::kStatic, kIdEmailLabel, Widen(kAboutEmail), 44, 38, 40, 10, kChild | SS_LEFT);
        t.Add(DialogTemplate::kStatic, kIdEmail, Widen(kMakerEmail), 84, 38, 136, 10, kChild | SS_LEFT | SS_NOTIFY);
        t.Add(DialogTemplate::kStatic, kIdWebLabel, Widen(kAboutWeb), 44, 51, 40, 10, kChild | SS_LEFT);
        t.Add(DialogTemplate::kStatic, kIdWeb, Widen(kMakerWeb), 84, 51, 136, 10, kChild | SS_LEFT | SS_NOTIFY);
        t.Add(DialogTemplate::kStatic, kIdMaker, Widen(kAboutMaker), 44, 64, 176, 10, kChild | SS_LEFT);
        t.Add(DialogTemplate::kStatic, kIdNotice, Widen(kAboutNotice), 12, 78, 208, 20, kChild | SS_LEFT);
        t.Add(DialogTemplate::kStatic, kIdLine, L"", 12, 99, 206, 1, kChild | SS_ETCHEDHORZ);
        t.Add(DialogTemplate::kButton, IDOK, L"确定(&O)", 166, 103, 54, 14, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON);
        return Create(t);
    }

private:
    void OnInit() override {
        MakeIconAndLinks();
        ::SetFocus(Item(IDOK));
    }

    void OnDpiChanged() override { MakeIconAndLinks(); }

    void MakeIconAndLinks() {
        HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(main_.Hwnd(), GWLP_HINSTANCE));
        // The large icon size of the dialog's dpi, from the icon's own image of that size.
        UniqueHicon icon = LoadIconAtSize(instance, 1, MetricForDpi(SM_CXICON, dpi_));
        if (icon) {
            ::SendDlgItemMessageW(hwnd_, kIdIcon, STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
            icon_ = std::move(icon);
        }
        // The links: the dialog's font, underlined. Taken from a caption,
        // which has it also after a change of DPI gave it a new one.
        HFONT base = reinterpret_cast<HFONT>(::SendDlgItemMessageW(hwnd_, kIdName, WM_GETFONT, 0, 0));
        LOGFONTW lf{};
        if (base && ::GetObjectW(base, sizeof(lf), &lf)) {
            lf.lfUnderline = TRUE;
            UniqueHfont link(::CreateFontIndirectW(&lf));
            for (int id : {kIdEmail, kIdWeb})
                ::SendDlgItemMessageW(hwnd_, id, WM_SETFONT, reinterpret_cast<WPARAM>(link.get()), TRUE);
            linkFont_ = std::move(link);
        }
    }

    bool OnCommand(WORD id, WORD code, HWND) override {
        switch (id) {
            case kIdEmail:
                if (code == STN_CLICKED) Open(std::string("mailto:") + kMakerEmail);
                return true;
            case kIdWeb:
                if (code == STN_CLICKED) Open(kMakerWeb);
                return true;
            default:
                return false;
        }
    }

    bool OnOtherMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override {
        if (msg == WM_CTLCOLORSTATIC) {
            int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lp));
            if (id == kIdEmail || id == kIdWeb) {
                HDC dc = reinterpret_cast<HDC>(wp);
                ::SetTextColor(dc, RGB(0, 0, 224));
                ::SetBkMode(dc, TRANSPARENT);
                // The dialog's own face colour: a hollow brush leaves the
                // control's unused width unpainted (white under Wine).
                result = reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
                return true;
            }
        }
        if (msg == WM_SETCURSOR) {
            int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(wp));
            if (id == kIdEmail || id == kIdWeb) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                result = TRUE;
                return true;
            }
        }
        return false;
    }

    void Open(const std::string& target) {
        // Not checked: without a mail program or browser nothing can be done about it.
        ::ShellExecuteW(hwnd_, L"open", Widen(target).c_str(), L"", L"", SW_SHOW);
    }

    UniqueHfont linkFont_;
    UniqueHicon icon_;
};

DialogSlot<AboutForm>& About() {
    static DialogSlot<AboutForm> form;
    return form;
}

}  // namespace

void ShowAboutBox(DialogHost& main) {
    // Single instance: a second request brings the open box forward.
    if (AboutForm* open = About().Open()) {
        ::ShowWindow(open->Hwnd(), SW_SHOW);
        ::SetForegroundWindow(open->Hwnd());
        return;
    }
    About().OpenFresh(main, [](AboutForm& form) { return form.Open(); });
}

bool PreTranslateDialogMessage(MSG& msg) {
    if (About().PreTranslate(msg)) return true;
    return PreTranslateItemDialogs(msg) || PreTranslateTeamDialogs(msg);
}

void CloseAllDialogs() {
    CloseItemDialogs();
    CloseTeamDialogs();
    if (AboutForm* about = About().Object()) about->Close();
}

}  // namespace vt
