#include "launcher/dialogs/item_picture_buttons_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "platform/win32/guarded_proc.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"

namespace vt {

void ItemPictureButtons::Attach(PictureButton b, HWND button, HWND dialog, HWND tooltip) {
    const auto i = static_cast<size_t>(b);
    windows_[i] = button;
    ::SetWindowSubclass(button, Proc, 0, reinterpret_cast<DWORD_PTR>(this));
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = dialog;
    ti.uId = reinterpret_cast<UINT_PTR>(button);
    tips_[i] = Widen(kPictureButtonTips[i]);
    ti.lpszText = tips_[i].data();
    ::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void ItemPictureButtons::OnBackground() {
    state_.OnBackground();
    Repaint();
}

int ItemPictureButtons::IndexOf(HWND w) const {
    const auto it = std::find(windows_.begin(), windows_.end(), w);
    return w && it != windows_.end() ? static_cast<int>(it - windows_.begin()) : -1;
}

void ItemPictureButtons::Repaint() {
    for (size_t i = 0; i < windows_.size(); ++i) {
        const int image = state_.Image(static_cast<PictureButton>(i));
        if (drawn_[i] == image) continue;
        drawn_[i] = image;
        if (windows_[i]) ::InvalidateRect(windows_[i], nullptr, FALSE);
    }
}

LRESULT CALLBACK ItemPictureButtons::Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) noexcept {
    return GuardProc(
        ProcKind::Window, "item editor picture button", w, msg, wp,
        [&] { return reinterpret_cast<ItemPictureButtons*>(ref)->Message(w, msg, wp, lp); },
        [&] { return ::DefSubclassProc(w, msg, wp, lp); });
}

LRESULT ItemPictureButtons::Message(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    const int index = IndexOf(w);
    if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(w, Proc, 0);
        if (index >= 0) windows_[static_cast<size_t>(index)] = nullptr;
    }
    if (index < 0) return ::DefSubclassProc(w, msg, wp, lp);
    const auto b = static_cast<PictureButton>(index);
    switch (msg) {
        case WM_MOUSEMOVE: {
            state_.OnHover(b, (wp & (MK_LBUTTON | MK_RBUTTON)) != 0);
            TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, w, 0};
            ::TrackMouseEvent(&tme);
            Repaint();
            break;
        }
        case WM_MOUSELEAVE:
            OnBackground();
            break;
        case WM_LBUTTONDOWN:
            state_.OnPress(b);
            Repaint();
            break;
        case WM_LBUTTONUP:
            state_.OnRelease(b);
            Repaint();
            break;
    }
    return ::DefSubclassProc(w, msg, wp, lp);
}

bool ItemPictureButtons::Draw(const DRAWITEMSTRUCT& d, int dpi) const {
    const int index = IndexOf(d.hwndItem);
    if (index < 0) return false;
    const auto b = static_cast<PictureButton>(index);
    int image = state_.Image(b);
    if (d.itemState & ODS_SELECTED) image = 2;
    HDC dc = d.hDC;
    RECT r = d.rcItem;
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    if (image == 1) ::DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    if (image == 2) ::DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    int off = image == 2 ? 1 : 0;
    int cx = (r.left + r.right) / 2 + off;
    int cy = (r.top + r.bottom) / 2 + off;
    int u = std::max(1, ::MulDiv(1, dpi, 96));
    UniqueHpen pen(::CreatePen(PS_SOLID, 1, RGB(64, 64, 64)));
    SelectRestorer sp(dc, pen.get());
    auto poly = [&](std::initializer_list<POINT> pts, COLORREF fill) {
        UniqueHbrush brush(::CreateSolidBrush(fill));
        SelectRestorer sb(dc, brush.get());
        std::vector<POINT> v(pts);
        ::Polygon(dc, v.data(), static_cast<int>(v.size()));
    };
    switch (b) {
        case PictureButton::File:
            poly({{cx - 5 * u, cy - 7 * u},
                  {cx + 2 * u, cy - 7 * u},
                  {cx + 5 * u, cy - 4 * u},
                  {cx + 5 * u, cy + 7 * u},
                  {cx - 5 * u, cy + 7 * u}},
                 RGB(255, 255, 255));
            for (int i = 0; i < 3; ++i) {
                ::MoveToEx(dc, cx - 3 * u, cy - 2 * u + i * 3 * u, nullptr);
                ::LineTo(dc, cx + 4 * u, cy - 2 * u + i * 3 * u);
            }
            break;
        case PictureButton::Dir:
            poly({{cx - 7 * u, cy - 5 * u},
                  {cx - 2 * u, cy - 5 * u},
                  {cx, cy - 3 * u},
                  {cx + 7 * u, cy - 3 * u},
                  {cx + 7 * u, cy + 6 * u},
                  {cx - 7 * u, cy + 6 * u}},
                 RGB(250, 210, 90));
            break;
        case PictureButton::Ex:
            for (int i = 0; i < 4; ++i) {
                int x = cx - 6 * u + (i % 2) * 7 * u;
                int y = cy - 6 * u + (i / 2) * 7 * u;
                poly({{x, y}, {x + 5 * u, y}, {x + 5 * u, y + 5 * u}, {x, y + 5 * u}},
                     i == 3 ? RGB(230, 120, 40) : RGB(80, 140, 220));
            }
            break;
        case PictureButton::Icon:
            poly({{cx - 7 * u, cy - 6 * u},
                  {cx + 7 * u, cy - 6 * u},
                  {cx + 7 * u, cy + 6 * u},
                  {cx - 7 * u, cy + 6 * u}},
                 RGB(200, 230, 255));
            poly({{cx - 6 * u, cy + 5 * u},
                  {cx - 2 * u, cy},
                  {cx + 1 * u, cy + 3 * u},
                  {cx + 3 * u, cy + 1 * u},
                  {cx + 6 * u, cy + 5 * u}},
                 RGB(60, 160, 80));
            break;
        case PictureButton::Inside:
            poly({{cx - 5 * u, cy - 2 * u}, {cx + 5 * u, cy - 2 * u}, {cx, cy + 3 * u}}, RGB(64, 64, 64));
            break;
        case PictureButton::Left:
            poly({{cx + 3 * u, cy - 5 * u}, {cx + 3 * u, cy + 5 * u}, {cx - 3 * u, cy}}, RGB(64, 64, 64));
            break;
        case PictureButton::Right:
            poly({{cx - 3 * u, cy - 5 * u}, {cx - 3 * u, cy + 5 * u}, {cx + 3 * u, cy}}, RGB(64, 64, 64));
            break;
    }
    if (d.itemState & ODS_FOCUS) {
        RECT f = r;
        ::InflateRect(&f, -2, -2);
        ::DrawFocusRect(dc, &f);
    }
    return true;
}

}  // namespace vt
