#include "skineditor/editor_win32.h"  // <windows.h> first

#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "platform/win32/guarded_proc.h"
#include "platform/win32/win_text.h"

namespace vt {

namespace {

constexpr wchar_t kCanvasClass[] = L"VTSkinEditorCanvas";

COLORREF Colour(int c) {
    return static_cast<COLORREF>(c) & 0xFFFFFF;
}

std::string_view TextOf(El e) {
    switch (e) {
        case El::LabTitle:
            return kTitleText;
        case El::LabMenu0:
            return kMenuCaptions[0];
        case El::LabMenu1:
            return kMenuCaptions[1];
        case El::LabMenu2:
            return kMenuCaptions[2];
        case El::LabMenu3:
            return kMenuCaptions[3];
        case El::LabTeam0:
            return "未选的类别";
        case El::LabTeam1:
            return "指向的类别";
        case El::LabTeam2:
            return "选中的类别";
        case El::LabItem0:
            return "选中的项目";
        case El::LabItem1:
            return "未选的项目";
        default:
            return {};
    }
}

// The default skin's picture that stands in for an element before the user
// chooses one.
const char* DefaultPictureName(El e) {
    switch (e) {
        case El::PicEditIn:
            return "backdrop.img";
        case El::ImgClose:
            return "close1.img";
        case El::ImgMin:
            return "min1.img";
        case El::ImgLock:
            return "lock1.img";
        case El::ImgLeft:
            return "left1.img";
        case El::ImgRight:
            return "right1.img";
        case El::ImgUp:
            return "up1.img";
        case El::ImgDown:
            return "down1.img";
        default:
            return nullptr;
    }
}

void Fill(HDC dc, const RECT& rc, COLORREF c) {
    UniqueHbrush b(::CreateSolidBrush(c));
    ::FillRect(dc, &rc, b.get());
}

void Frame(HDC dc, const RECT& rc, COLORREF c, int style = PS_SOLID) {
    UniqueHpen pen(::CreatePen(style, 1, c));
    SelectRestorer p(dc, pen.get());
    SelectRestorer b(dc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
}

}  // namespace

Canvas::Canvas(EditorModel& model, PicturesWin32& pictures, TextMeasureWin32& measure)
    : model_(model), pictures_(pictures), measure_(measure) {
    std::string dir = ProgramFolder() + "SKIN\\蓝色卷轴\\image\\";
    defaultImages_ = dir;
}

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
    dpi_ = ScreenDpi();
    hwnd_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, kCanvasClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y, w, h,
                              parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    return hwnd_ != nullptr;
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
    const ScrollLayout next =
        LayoutScrollArea(frameW, frameH, area, vbar, hbar, scroll_.x.First(), scroll_.y.First());
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
    return static_cast<int>(std::lround(twips / model_.TwipsPerPixel()));
}
double Canvas::Twips(int px) const {
    return px * model_.TwipsPerPixel();
}

RECT Canvas::View(const MockRect& r) const {
    const int x0 = scroll_.x.First(), y0 = scroll_.y.First();
    return RECT{Px(r.left) - x0, Px(r.top) - y0, Px(r.Right()) - x0, Px(r.Bottom()) - y0};
}

std::optional<El> Canvas::HitTest(int x, int y) const {
    return model_.HitTest(Twips(x + scroll_.x.First()), Twips(y + scroll_.y.First()));
}

void Canvas::OnMouseDown(int x, int y) {
    // Taking the focus makes a value box being typed into apply its value.
    ::SetFocus(hwnd_);
    auto hit = HitTest(x, y);
    if (!hit || !DragTargetOf(*hit)) return;
    pressed_ = hit;
    ::SetCapture(hwnd_);
    const MockRect r = model_.AbsoluteRect(*hit);
    model_.MouseDown(*DragTargetOf(*hit), Twips(x + scroll_.x.First()) - r.left, Twips(y + scroll_.y.First()) - r.top);
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
    x += scroll_.x.First();
    y += scroll_.y.First();
    // Positions are taken in the pressed element's own coordinates, which
    // move with it; so the same anchor keeps working while it follows.
    const MockRect r = model_.AbsoluteRect(*pressed_);
    if (model_.MouseMove(*DragTargetOf(*pressed_), Twips(x) - r.left, Twips(y) - r.top)) {
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

void Canvas::OnPaint() {
    PaintDc pdc(hwnd_);
    RECT client;
    ::GetClientRect(hwnd_, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    // The view is painted into a back buffer (every position already shifted
    // by the scroll, see View()) and copied out in one step, so nothing flickers.
    UniqueMemDc mem(::CreateCompatibleDC(pdc.get()));
    UniqueHbitmap bmp(::CreateCompatibleBitmap(pdc.get(), client.right, client.bottom));
    if (!mem || !bmp) return;
    {
        SelectRestorer sel(mem.get(), bmp.get());
        Paint(mem.get(), client);
        ::BitBlt(pdc.get(), 0, 0, client.right, client.bottom, mem.get(), 0, 0, SRCCOPY);
    }
}

HFONT Canvas::Font(int points) {
    points = std::max(points, 1);
    auto it = fonts_.find(points);
    if (it == fonts_.end()) it = fonts_.emplace(points, CreateUiFont(points, dpi_)).first;
    return it->second.get();
}

Gdiplus::Bitmap* Canvas::BuiltInPicture(El e) {
    const char* name = DefaultPictureName(e);
    if (!name) return nullptr;
    Gdiplus::Bitmap* b = pictures_.Get(defaultImages_ + name);
    if (!b) return nullptr;
    // Only a picture of the stand-in's own size keeps the mock-up's
    // geometry truthful.
    const MockRect r = model_.Get(e).rect;
    if (static_cast<int>(b->GetWidth()) != Px(r.width) || static_cast<int>(b->GetHeight()) != Px(r.height))
        return nullptr;
    return b;
}

void Canvas::PaintBuiltIn(HDC dc, El e, RECT rc) {
    if (Gdiplus::Bitmap* b = BuiltInPicture(e)) {
        Gdiplus::Graphics g(dc);
        g.DrawImage(b, rc.left, rc.top, static_cast<INT>(b->GetWidth()), static_cast<INT>(b->GetHeight()));
        return;
    }
    const COLORREF deep = RGB(30, 74, 140), light = RGB(214, 229, 247), mid = RGB(111, 166, 230);
    if (e == El::PicEditIn) {
        // A plain stand-in window in the default skin's colours.
        Fill(dc, rc, light);
        RECT band = rc;
        band.bottom = rc.top + Px(495);
        TRIVERTEX v[2] = {{band.left, band.top, 0x1400, 0x3A00, 0x7300, 0},
                          {band.right, band.bottom, 0x6F00, 0xA600, 0xE600, 0}};
        GRADIENT_RECT gr{0, 1};
        ::GdiGradientFill(dc, v, 2, &gr, 1, GRADIENT_FILL_RECT_V);
        Frame(dc, rc, deep);
        return;
    }
    Fill(dc, rc, mid);
    Frame(dc, rc, deep);
    const wchar_t* glyph = L"";
    switch (e) {
        case El::ImgClose:
            glyph = L"×";
            break;
        case El::ImgMin:
            glyph = L"－";
            break;
        case El::ImgLock:
            glyph = L"◎";
            break;
        case El::ImgLeft:
            glyph = L"◀";
            break;
        case El::ImgRight:
            glyph = L"▶";
            break;
        case El::ImgUp:
            glyph = L"▲";
            break;
        case El::ImgDown:
            glyph = L"▼";
            break;
        default:
            break;
    }
    SelectRestorer f(dc, Font(9));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(255, 255, 255));
    ::DrawTextW(dc, glyph, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void Canvas::PaintPicture(HDC dc, El e, const MockRect& r) {
    const MockElement& el = model_.Get(e);
    RECT rc = View(r);
    switch (el.picture) {
        case PictureSource::BuiltIn:
            PaintBuiltIn(dc, e, rc);
            break;
        case PictureSource::File:
            if (Gdiplus::Bitmap* b = pictures_.Get(el.picturePath)) {
                Gdiplus::Graphics g(dc);
                g.DrawImage(b, rc.left, rc.top, static_cast<INT>(b->GetWidth()), static_cast<INT>(b->GetHeight()));
            }
            break;
        case PictureSource::None:
            if (e != El::PicEditIn) Frame(dc, rc, RGB(128, 128, 128), PS_DOT);  // keeps an empty button findable
            break;
    }
}

void Canvas::PaintLabel(HDC dc, El e, const MockRect& r, const std::string& text, UINT format) {
    const MockElement& el = model_.Get(e);
    RECT rc = View(r);
    if (el.opaque) Fill(dc, rc, Colour(el.backColor));
    SelectRestorer f(dc, Font(el.fontSize));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, Colour(el.textColor));
    std::wstring w = Widen(text);
    ::DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &rc, format | DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE);
}

void Canvas::PaintElement(HDC dc, El e, const MockRect& r) {
    const MockElement& el = model_.Get(e);
    RECT rc = View(r);
    switch (e) {
        case El::PicTeam:
        case El::PicItem: {
            Fill(dc, rc, e == El::PicTeam ? Colour(el.backColor) : RGB(255, 255, 255));
            const int saved = ::SaveDC(dc);
            ::IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
            if (e == El::PicTeam && el.picture == PictureSource::File)
                if (Gdiplus::Bitmap* b = pictures_.Get(el.picturePath)) {
                    Gdiplus::Graphics g(dc);
                    g.DrawImage(b, rc.left, rc.top, static_cast<INT>(b->GetWidth()), static_cast<INT>(b->GetHeight()));
                }
            const El kids[] = {El::LabTeam0, El::LabTeam1, El::LabTeam2};
            const El itemKids[] = {El::PicIcon0, El::PicIcon1, El::LabItem0, El::LabItem1};
            if (e == El::PicTeam)
                for (El k : kids)
                    PaintLabel(dc, k, model_.AbsoluteRect(k), std::string(TextOf(k)), DT_CENTER | DT_TOP);
            else
                for (El k : itemKids) {
                    const MockRect kr = model_.AbsoluteRect(k);
                    if (k == El::PicIcon0 || k == El::PicIcon1)
                        Fill(dc, View(kr), Colour(model_.Get(k).backColor));
                    else
                        PaintLabel(dc, k, kr, std::string(TextOf(k)), DT_CENTER | DT_VCENTER);
                }
            ::RestoreDC(dc, saved);
            if (el.border) ::DrawEdge(dc, &rc, BDR_SUNKENOUTER, BF_RECT);
            break;
        }
        case El::ShpMenu: {
            UniqueHbrush b(::CreateSolidBrush(Colour(el.backColor)));
            UniqueHpen p(::CreatePen(PS_SOLID, 1, Colour(el.lineColor)));
            SelectRestorer sb(dc, b.get());
            SelectRestorer sp(dc, p.get());
            ::Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
            break;
        }
        case El::ShpTitle:
            ::SetBkMode(dc, TRANSPARENT);
            Frame(dc, rc, Colour(el.lineColor), PS_DOT);
            break;
        case El::LabMove0:
        case El::LabMove1:
        case El::LabMove2:
        case El::LabMove3:
            Fill(dc, rc, RGB(0, 0, 0));
            break;
        case El::LabTitle:
        case El::LabMenu0:
        case El::LabMenu1:
        case El::LabMenu2:
        case El::LabMenu3:
            PaintLabel(dc, e, r, std::string(TextOf(e)), DT_LEFT | DT_TOP);
            break;
        default:
            PaintPicture(dc, e, r);
            break;
    }
}

void Canvas::Paint(HDC dc, const RECT& client) {
    Fill(dc, client, ::GetSysColor(COLOR_APPWORKSPACE));
    const MockRect window = model_.Get(El::PicEditIn).rect;
    const RECT wrc = View(window);
    {
        const int saved = ::SaveDC(dc);
        ::IntersectClipRect(dc, wrc.left, wrc.top, wrc.right, wrc.bottom);
        Fill(dc, wrc, RGB(255, 255, 255));
        if (model_.Get(El::PicEditIn).picture != PictureSource::None) PaintPicture(dc, El::PicEditIn, window);
        ::RestoreDC(dc, saved);
    }
    // Back to front: the reverse of the order the mouse picks elements in.
    // Elements are not clipped to the window: what was dragged off it stays
    // in sight, under a veil, to be dragged back.
    const El order[] = {El::PicItem,  El::PicTeam,  El::ImgUp,    El::ImgDown,  El::ImgLeft,  El::ImgRight, El::ShpMenu,
                        El::LabMenu0, El::LabMenu1, El::LabMenu2, El::LabMenu3, El::ShpTitle, El::LabTitle, El::ImgLock,
                        El::ImgMin,   El::ImgClose, El::LabMove0, El::LabMove1, El::LabMove2, El::LabMove3};
    for (El e : order)
        PaintElement(dc, e, model_.Get(e).rect);
    VeilOutside(dc, client, wrc);
}

void Canvas::VeilOutside(HDC dc, const RECT& client, const RECT& window) {
    const COLORREF c = ::GetSysColor(COLOR_APPWORKSPACE);
    Gdiplus::Graphics g(dc);
    Gdiplus::SolidBrush veil(Gdiplus::Color(170, GetRValue(c), GetGValue(c), GetBValue(c)));
    const RECT bands[] = {
        {client.left, client.top, client.right, window.top},
        {client.left, window.bottom, client.right, client.bottom},
        {client.left, window.top, window.left, window.bottom},
        {window.right, window.top, client.right, window.bottom},
    };
    for (const RECT& b : bands)
        if (b.right > b.left && b.bottom > b.top)
            g.FillRectangle(&veil, static_cast<INT>(b.left), static_cast<INT>(b.top), static_cast<INT>(b.right - b.left),
                            static_cast<INT>(b.bottom - b.top));
}

}  // namespace vt
