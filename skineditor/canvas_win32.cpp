// The skin editor's canvas window: scrolling over the mock-up, pressing and
// dragging its elements, the cursor over them. Painting is in
// canvas_paint_win32.cpp.
#include "skineditor/editor_win32.h"  // <windows.h> first

#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "platform/win32/guarded_proc.h"

namespace vt {

namespace {

constexpr wchar_t kCanvasClass[] = L"VTSkinEditorCanvas";

}  // namespace

Canvas::Canvas(EditorModel& model, PicturesWin32& pictures, TextMeasureWin32& measure)
    : model_(model), pictures_(pictures), measure_(measure) {}

Canvas::~Canvas() = default;

bool Canvas::Create(HINSTANCE instance, HWND parent, int x, int y, int w, int h, int id) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExW(instance, kCanvasClass, &wc)) {
        wc.lpfnWndProc = Proc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kCanvasClass;
        if (!::RegisterClassExW(&wc)) return false;
    }
    dpi_ = model_.Map().Dpi();
    hwnd_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, kCanvasClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y, w, h,
                              parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    return hwnd_ != nullptr;
}

void Canvas::SetDpi(int dpi) {
    dpi_ = dpi;
    // Fonts and stand-ins were made for the old size; scaled pictures are
    // kept by size, so the new ones are simply made when first drawn.
    fonts_.clear();
    standIns_.clear();
}

void Canvas::Refresh() {
    if (!hwnd_) return;
    UpdateScrollBars();
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void Canvas::UpdateScrollBars() {
    if (updatingBars_) return;
    updatingBars_ = true;
    // The frame is the client area with any bar shown now given back.
    RECT client;
    ::GetClientRect(hwnd_, &client);
    const int vbar = ::GetSystemMetrics(SM_CXVSCROLL), hbar = ::GetSystemMetrics(SM_CYHSCROLL);
    const int frameW = client.right + (scroll_.y.bar ? vbar : 0);
    const int frameH = client.bottom + (scroll_.x.bar ? hbar : 0);
    const MockRect reach = model_.ReachableArea();
    PixelArea area{Px(reach.left), Px(reach.top), Px(reach.Right()), Px(reach.Bottom())};
    // While a drag goes on the area only grows, so the view never jumps
    // under the mouse; it settles when the button is let go.
    if (pressed_) area = Union(area, area_);
    area_ = area;
    const ScrollLayout next = LayoutScrollArea(frameW, frameH, area, vbar, hbar, scroll_.x.First(), scroll_.y.First());
    const bool barsChanged = next.x.bar != scroll_.x.bar || next.y.bar != scroll_.y.bar;
    scroll_ = next;
    auto apply = [&](int bar, const ScrollAxis& a) {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (a.bar) {
            si.nMax = a.content - 1;
            si.nPage = static_cast<UINT>(a.view);
            si.nPos = a.pos;
        }
        ::SetScrollInfo(hwnd_, bar, &si, TRUE);
    };
    if (barsChanged) {
        ::ShowScrollBar(hwnd_, SB_HORZ, scroll_.x.bar);
        ::ShowScrollBar(hwnd_, SB_VERT, scroll_.y.bar);
    }
    apply(SB_HORZ, scroll_.x);
    apply(SB_VERT, scroll_.y);
    updatingBars_ = false;
}

void Canvas::ScrollToPos(int x, int y) {
    x = std::clamp(x, 0, scroll_.x.Max());
    y = std::clamp(y, 0, scroll_.y.Max());
    if (x == scroll_.x.pos && y == scroll_.y.pos) return;
    scroll_.x.pos = x;
    scroll_.y.pos = y;
    ::SetScrollPos(hwnd_, SB_HORZ, x, TRUE);
    ::SetScrollPos(hwnd_, SB_VERT, y, TRUE);
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    ::UpdateWindow(hwnd_);
}

void Canvas::OnScroll(int bar, WPARAM wp) {
    const ScrollAxis& a = bar == SB_HORZ ? scroll_.x : scroll_.y;
    const int line = ::MulDiv(16, dpi_, 96);
    int track = a.pos;
    ScrollRequest req;
    switch (LOWORD(wp)) {
        case SB_LINEUP:
            req = ScrollRequest::LineBack;
            break;
        case SB_LINEDOWN:
            req = ScrollRequest::LineForward;
            break;
        case SB_PAGEUP:
            req = ScrollRequest::PageBack;
            break;
        case SB_PAGEDOWN:
            req = ScrollRequest::PageForward;
            break;
        case SB_TOP:
            req = ScrollRequest::ToStart;
            break;
        case SB_BOTTOM:
            req = ScrollRequest::ToEnd;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            // The 32-bit track position; the message only carries 16 bits.
            SCROLLINFO si{};
            si.cbSize = sizeof si;
            si.fMask = SIF_TRACKPOS;
            ::GetScrollInfo(hwnd_, bar, &si);
            track = si.nTrackPos;
            req = ScrollRequest::ToPosition;
            break;
        }
        default:
            return;
    }
    const int pos = ScrollTo(a, req, line, track);
    if (bar == SB_HORZ)
        ScrollToPos(pos, scroll_.y.pos);
    else
        ScrollToPos(scroll_.x.pos, pos);
}

void Canvas::OnWheel(int bar, int delta) {
    UINT lines = 3;
    ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const int perNotch = lines == WHEEL_PAGESCROLL ? -1 : static_cast<int>(lines);
    const int line = ::MulDiv(16, dpi_, 96);
    if (bar == SB_HORZ)
        ScrollToPos(WheelTo(scroll_.x, delta, perNotch, line), scroll_.y.pos);
    else
        ScrollToPos(scroll_.x.pos, WheelTo(scroll_.y, delta, perNotch, line));
}

// A painting or drag failure must not take the editor down.
LRESULT CALLBACK Canvas::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        static_cast<Canvas*>(cs->lpCreateParams)->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<Canvas*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
    return GuardProc(
        ProcKind::Window, "editor canvas", hwnd, msg, wp, [&] { return self->HandleMessage(msg, wp, lp); },
        [&] { return ::DefWindowProcW(hwnd, msg, wp, lp); });
}

LRESULT Canvas::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;  // everything is painted from the back buffer
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            OnMouseDown(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(GET_X_LPARAM(lp), GET_Y_LPARAM(lp), wp);
            return 0;
        case WM_HSCROLL:
            OnScroll(SB_HORZ, wp);
            return 0;
        case WM_VSCROLL:
            OnScroll(SB_VERT, wp);
            return 0;
        case WM_MOUSEWHEEL:
            // Shift turns the wheel sideways, as in most viewers.
            OnWheel((GET_KEYSTATE_WPARAM(wp) & MK_SHIFT) ? SB_HORZ : SB_VERT, GET_WHEEL_DELTA_WPARAM(wp));
            return 0;
        case WM_MOUSEHWHEEL:
            OnWheel(SB_HORZ, -GET_WHEEL_DELTA_WPARAM(wp));
            return 0;
        case WM_SIZE:
            UpdateScrollBars();
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (!(wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
                ::ReleaseCapture();
                EndDrag();
            }
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lp) != hwnd_) EndDrag();
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT && OnSetCursor()) return TRUE;
            break;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

int Canvas::Px(double twips) const {
    return model_.Map().Px(static_cast<int>(std::lround(twips)));
}

RECT Canvas::View(const MockRect& r) const {
    const int x0 = scroll_.x.First(), y0 = scroll_.y.First();
    return RECT{Px(r.left) - x0, Px(r.top) - y0, Px(r.Right()) - x0, Px(r.Bottom()) - y0};
}

std::optional<El> Canvas::HitTest(int x, int y) const {
    return model_.HitTestPixel(x + scroll_.x.First(), y + scroll_.y.First());
}

void Canvas::OnMouseDown(int x, int y) {
    // Taking the focus makes a value box being typed into apply its value.
    ::SetFocus(hwnd_);
    auto hit = model_.PressAtPixel(x + scroll_.x.First(), y + scroll_.y.First());
    if (!hit) return;
    pressed_ = hit;
    ::SetCapture(hwnd_);
}

void Canvas::EndDrag() {
    if (!pressed_) return;
    pressed_.reset();
    Refresh();  // the area scrolled over may shrink again
}

void Canvas::OnMouseMove(int x, int y, WPARAM buttons) {
    if (!pressed_ || !(buttons & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) return;
    // Dragging past the edge of the view brings the hidden part of the
    // mock-up into sight, as far as the mouse went.
    auto follow = [](const ScrollAxis& a, int p) {
        if (!a.bar) return a.pos;
        if (p < 0) return a.pos + p;
        if (p >= a.view) return a.pos + (p - a.view + 1);
        return a.pos;
    };
    ScrollToPos(follow(scroll_.x, x), follow(scroll_.y, y));
    if (model_.DragToPixel(*pressed_, x + scroll_.x.First(), y + scroll_.y.First())) {
        Refresh();  // an element dragged off the window widens the area
        ::UpdateWindow(hwnd_);
    }
}

bool Canvas::OnSetCursor() {
    POINT pt;
    ::GetCursorPos(&pt);
    ::ScreenToClient(hwnd_, &pt);
    auto hit = pressed_ ? pressed_ : HitTest(pt.x, pt.y);
    if (!hit) return false;
    const wchar_t* id = IDC_ARROW;
    switch (CursorOf(*hit)) {
        case DragCursor::SizeAll:
            id = IDC_SIZEALL;
            break;
        case DragCursor::SizeWE:
            id = IDC_SIZEWE;
            break;
        case DragCursor::SizeNS:
            id = IDC_SIZENS;
            break;
        case DragCursor::Arrow:
            break;
    }
    ::SetCursor(::LoadCursorW(nullptr, id));
    return true;
}

}  // namespace vt
