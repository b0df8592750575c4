#include "tests/win32/layout_check.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cwctype>
#include <filesystem>
#include <map>
#include <memory>

#include "common/atomic_file.h"
#include "platform/win32/ui_font.h"
#include "platform/win32/win_text.h"
#include "tests/win32/screenshot.h"
#include "tests/win32/wine_ui.h"

namespace vt {
namespace {

struct Control {
    HWND hwnd = nullptr;
    HWND parent = nullptr;
    std::wstring cls;  // lower case
    std::wstring text;
    LONG style = 0;
    RECT rect{};  // screen
    bool visible = false;
    HFONT font = nullptr;
};

std::wstring Lower(std::wstring s) {
    for (auto& c : s)
        c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

std::wstring ClassOf(HWND w) {
    wchar_t name[128] = {};
    GetClassNameW(w, name, 128);
    return Lower(name);
}

// Controls whose own children are their business (a combo box's edit field,
// a list view's header), not part of the dialog's layout.
bool IsLeafClass(const std::wstring& cls) {
    static const wchar_t* const kLeaves[] = {L"button",         L"static",
                                             L"edit",           L"combobox",
                                             L"comboboxex32",   L"listbox",
                                             L"scrollbar",      L"syslistview32",
                                             L"systreeview32",  L"msctls_updown32",
                                             L"sysheader32",    L"msctls_trackbar32",
                                             L"richedit20w",    L"msctls_progress32",
                                             L"systabcontrol32"};
    return std::any_of(std::begin(kLeaves), std::end(kLeaves), [&](const wchar_t* l) { return cls == l; });
}

// WM_GETTEXT works across processes where GetWindowText does not.
std::wstring TextOf(HWND w) {
    wchar_t buf[1024] = {};
    DWORD_PTR n = 0;
    SendMessageTimeoutW(w, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, &n);
    return buf;
}

bool IsGroupBox(const Control& c) {
    return c.cls == L"button" && (c.style & BS_TYPEMASK) == BS_GROUPBOX;
}

// Rectangles, frames and etched lines are drawn behind other controls on purpose.
bool IsDecoration(const Control& c) {
    if (IsGroupBox(c)) return true;
    if (c.cls != L"static") return false;
    switch (c.style & SS_TYPEMASK) {
        case SS_BLACKRECT:
        case SS_GRAYRECT:
        case SS_WHITERECT:
        case SS_BLACKFRAME:
        case SS_GRAYFRAME:
        case SS_WHITEFRAME:
        case SS_ETCHEDHORZ:
        case SS_ETCHEDVERT:
        case SS_ETCHEDFRAME:
            return true;
        default:
            return false;
    }
}

std::string Describe(const Control& c) {
    std::string s = Narrow(c.cls) + " #" + std::to_string(GetDlgCtrlID(c.hwnd));
    if (!c.text.empty()) s += " \"" + Narrow(c.text) + "\"";
    return s;
}

std::string RectText(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

RECT ClientOnScreen(HWND w) {
    RECT r{};
    GetClientRect(w, &r);
    MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Fonts of another process cannot always be read back; every window of the
// program uses its one 9-point face, which then stands in.
class FontCache {
public:
    explicit FontCache(int dpi) : fallback_(CreateUiFont(9, dpi)) {}
    ~FontCache() {
        for (auto& [remote, local] : fonts_)
            if (local) DeleteObject(local);
    }
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    HFONT For(HFONT remote) {
        if (!remote) return fallback_.get();
        auto it = fonts_.find(remote);
        if (it == fonts_.end()) {
            LOGFONTW lf{};
            HFONT local = nullptr;
            if (GetObjectW(remote, sizeof(lf), &lf) == sizeof(lf) && lf.lfFaceName[0]) local = CreateFontIndirectW(&lf);
            it = fonts_.emplace(remote, local).first;
        }
        return it->second ? it->second : fallback_.get();
    }

private:
    UniqueHfont fallback_;
    std::map<HFONT, HFONT> fonts_;
};

// Size DrawText needs for the caption, given the width it may use.
SIZE NeededSize(HDC dc, const std::wstring& text, int width, UINT flags) {
    RECT r{0, 0, std::max(width, 1), 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

struct TextRoom {
    bool check = false;
    int width = 0;
    int height = 0;
    UINT flags = 0;
};

// How much room the control gives its caption, the way the stock controls draw it.
TextRoom RoomFor(const Control& c, int dpi) {
    const int w = c.rect.right - c.rect.left, h = c.rect.bottom - c.rect.top;
    auto px = [&](int n) { return MulDiv(n, dpi, 96); };
    TextRoom room;
    if (c.text.empty()) return room;
    if (c.cls == L"static") {
        if (c.style & SS_ELLIPSISMASK) return room;  // shortened on purpose
        const UINT prefix = (c.style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
        switch (c.style & SS_TYPEMASK) {
            case SS_LEFT:
            case SS_CENTER:
            case SS_RIGHT:
                return {true, w, h, DT_WORDBREAK | DT_EXPANDTABS | prefix};
            case SS_SIMPLE:
            case SS_LEFTNOWORDWRAP:
                return {true, w, h, DT_SINGLELINE | DT_EXPANDTABS | prefix};
            default:
                return room;
        }
    }
    if (c.cls != L"button" || (c.style & (BS_BITMAP | BS_ICON))) return room;
    const UINT lines = (c.style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
    switch (c.style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            return {true, w - 2 * px(2), h, lines};
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            if (c.style & BS_PUSHLIKE) return {true, w - 2 * px(2), h, lines};
            return {true, w - px(13) - px(4), h, lines};
        case BS_GROUPBOX:
            return {true, w - px(14), h, DT_SINGLELINE};
        default:
            return room;  // owner-drawn and the rest draw what they like
    }
}

}  // namespace

std::vector<std::string> CheckLayout(HWND top, int dpi) {
    std::vector<std::string> faults;
    if (!IsWindow(top)) return {"the window is gone"};
    if (dpi <= 0) dpi = WindowDpi(top);

    // A dialog partly off the screen has parts no one can reach.
    RECT whole{};
    GetWindowRect(top, &whole);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromWindow(top, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        const int smallestW = MulDiv(1024, dpi, 96), smallestH = MulDiv(720, dpi, 96);
        if (work.right - work.left >= smallestW && work.bottom - work.top >= smallestH) {
            if (!Inside(whole, work))
                faults.push_back("the window " + RectText(whole) + " reaches past the screen's work area " +
                                 RectText(work));
        } else if (whole.right - whole.left > smallestW || whole.bottom - whole.top > smallestH) {
            faults.push_back("the window " + RectText(whole) + " is larger than a 1024 x 720 screen at " +
                             std::to_string(dpi) + " dpi");
        }
    }

    std::vector<Control> controls;
    EnumChildWindows(
        top,
        [](HWND w, LPARAM p) -> BOOL {
            auto* list = reinterpret_cast<std::vector<Control>*>(p);
            Control c;
            c.hwnd = w;
            c.parent = GetAncestor(w, GA_PARENT);
            c.cls = ClassOf(w);
            c.text = TextOf(w);
            c.style = GetWindowLongW(w, GWL_STYLE);
            GetWindowRect(w, &c.rect);
            c.visible = IsWindowVisible(w) != FALSE;
            DWORD_PTR font = 0;
            SendMessageTimeoutW(w, WM_GETFONT, 0, 0, SMTO_ABORTIFHUNG, 5000, &font);
            c.font = reinterpret_cast<HFONT>(font);
            list->push_back(std::move(c));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&controls));

    // Only the layout's own controls: shown, and not the inner parts of another control.
    std::erase_if(controls,
                  [&](const Control& c) { return !c.visible || (c.parent != top && IsLeafClass(ClassOf(c.parent))); });

    for (const Control& c : controls) {
        RECT room = ClientOnScreen(c.parent);
        if (!Inside(c.rect, room))
            faults.push_back(Describe(c) + " " + RectText(c.rect) + " reaches outside its parent's client area " +
                             RectText(room));
    }

    const int touch = (dpi + 95) / 96;
    for (size_t i = 0; i < controls.size(); ++i) {
        for (size_t j = i + 1; j < controls.size(); ++j) {
            const Control& a = controls[i];
            const Control& b = controls[j];
            if (a.parent != b.parent) continue;
            RECT both{};
            if (!IntersectRect(&both, &a.rect, &b.rect)) continue;
            // Positions in dialog units or twips are rounded one by one, so
            // neighbours meant to touch may share a line as thick as one
            // pixel at 96 dpi.
            if (both.right - both.left <= touch || both.bottom - both.top <= touch) continue;
            const bool aBox = IsGroupBox(a), bBox = IsGroupBox(b);
            if (aBox || bBox) {
                // A control is either in a frame or outside it, never across its edge.
                const Control& box = aBox ? a : b;
                const Control& other = aBox ? b : a;
                if (!IsGroupBox(other) && !Inside(other.rect, box.rect))
                    faults.push_back(Describe(other) + " " + RectText(other.rect) + " crosses the edge of " +
                                     Describe(box) + " " + RectText(box.rect));
                continue;
            }
            if (IsDecoration(a) || IsDecoration(b)) continue;
            auto buddyOf = [](const Control& ud) {
                DWORD_PTR buddy = 0;
                if (ud.cls == L"msctls_updown32")
                    SendMessageTimeoutW(ud.hwnd, UDM_GETBUDDY, 0, 0, SMTO_ABORTIFHUNG, 5000, &buddy);
                return reinterpret_cast<HWND>(buddy);
            };
            if (buddyOf(a) == b.hwnd || buddyOf(b) == a.hwnd) continue;
            faults.push_back(Describe(a) + " " + RectText(a.rect) + " overlaps " + Describe(b) + " " +
                             RectText(b.rect));
        }
    }

    FontCache fonts(dpi);
    HDC dc = CreateCompatibleDC(nullptr);
    for (const Control& c : controls) {
        TextRoom room = RoomFor(c, dpi);
        if (!room.check) continue;
        HGDIOBJ old = SelectObject(dc, fonts.For(c.font));
        SIZE need = NeededSize(dc, c.text, room.width, room.flags);
        SelectObject(dc, old);
        if (need.cx > room.width || need.cy > room.height)
            faults.push_back(Describe(c) + " is cut off: its caption needs " + std::to_string(need.cx) + "x" +
                             std::to_string(need.cy) + " px, the control gives it " + std::to_string(room.width) + "x" +
                             std::to_string(room.height));
    }
    DeleteDC(dc);
    return faults;
}

bool SaveSteadyScreenshot(HANDLE process, HWND w, const std::wstring& name) {
    const std::wstring path = ScreenshotDir() + name + L".png";
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    std::string previous;
    return WaitFor(process, 5000, [&] {
        std::string now;
        if (SaveWindowScreenshot(w, path)) now = ReadFileBytes(std::filesystem::path(path)).value_or("");
        const bool steady = !now.empty() && now == previous;
        previous = std::move(now);
        return steady;
    });
}

std::string JoinFaults(const std::vector<std::string>& faults) {
    std::string all;
    for (const auto& f : faults)
        all += "\n  " + f;
    return all;
}

}  // namespace vt
