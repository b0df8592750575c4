#include "skineditor/editor_win32.h"  // <windows.h> first

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

#include "platform/win32/guarded_proc.h"
#include "platform/win32/win_text.h"
#include "skineditor/stand_in.h"

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

void DrawDib(HDC dc, HBITMAP bitmap, int width, int height, bool alpha, int x, int y) {
    UniqueMemDc src(::CreateCompatibleDC(dc));
    SelectRestorer sel(src.get(), bitmap);
    if (alpha) {
        BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::GdiAlphaBlend(dc, x, y, width, height, src.get(), 0, 0, width, height, bf);
    } else {
        ::BitBlt(dc, x, y, width, height, src.get(), 0, 0, SRCCOPY);
    }
}

// A DIB section holding an opaque picture of the core.
UniqueHbitmap MakeBitmap(const DecodedPicture& p) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = p.width;
    bi.bmiHeader.biHeight = -p.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueHbitmap bmp(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bmp && bits) std::memcpy(bits, p.pixels.data(), p.pixels.size() * sizeof(uint32_t));
    return bmp;
}

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

void Canvas::DrawPicture(HDC dc, const std::string& file, double leftTwips, double topTwips) {
    const PicturesWin32::Dib* natural = pictures_.GetDib(file);
    if (!natural) return;
    // Pictures are made for 96 dpi; each is resized once to the pixels it
    // covers at this screen's scale and kept, as the launcher does.
    const PixelBox box =
        model_.Map().PictureBox(static_cast<int>(std::lround(leftTwips)), static_cast<int>(std::lround(topTwips)),
                                natural->width, natural->height);
    if (const auto* dib = pictures_.GetScaledDib(file, box.Width(), box.Height()))
        DrawDib(dc, dib->bitmap, dib->width, dib->height, dib->alpha, box.left - scroll_.x.First(),
                box.top - scroll_.y.First());
}

void Canvas::DrawStandIn(HDC dc, El e, const RECT& rc) {
    const auto slot = PictureSlotOf(e);
    const auto standIn = slot ? StandInOfSlot(*slot) : std::nullopt;
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (!standIn || w <= 0 || h <= 0) return;
    const auto key = std::make_tuple(static_cast<int>(standIn->kind), standIn->state, w, h);
    auto it = standIns_.find(key);
    if (it == standIns_.end())
        it = standIns_.emplace(key, MakeBitmap(vt::DrawStandIn(*standIn, w, h, dpi_ / 96.0))).first;
    if (it->second) DrawDib(dc, it->second.get(), w, h, false, rc.left, rc.top);
}

void Canvas::PaintPicture(HDC dc, El e, const MockRect& r) {
    const MockElement& el = model_.Get(e);
    RECT rc = View(r);
    switch (el.picture) {
        case PictureSource::BuiltIn:
            DrawStandIn(dc, e, rc);
            break;
        case PictureSource::File:
            DrawPicture(dc, el.picturePath, r.left, r.top);
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
            // The launcher's item panel takes the normal caption background.
            Fill(dc, rc, Colour(e == El::PicTeam ? el.backColor : model_.Get(El::LabItem1).backColor));
            const int saved = ::SaveDC(dc);
            ::IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
            if (e == El::PicTeam && el.picture == PictureSource::File) DrawPicture(dc, el.picturePath, r.left, r.top);
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
            if (el.border) {
                // The launcher's single line: black, a pixel per 96 dpi.
                UniqueHbrush black(::CreateSolidBrush(RGB(0, 0, 0)));
                const int t = std::max(1, dpi_ / 96);
                const RECT sides[4] = {{rc.left, rc.top, rc.right, rc.top + t},
                                       {rc.left, rc.bottom - t, rc.right, rc.bottom},
                                       {rc.left, rc.top, rc.left + t, rc.bottom},
                                       {rc.right - t, rc.top, rc.right, rc.bottom}};
                for (const RECT& side : sides)
                    ::FillRect(dc, &side, black.get());
            }
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
    // Back to front as the launcher paints. Elements are not clipped to the
    // window: what was dragged off it stays in sight, under a veil, to be
    // dragged back.
    for (El e : MockPaintOrder())
        if (e != El::ImgTitle) PaintElement(dc, e, model_.Get(e).rect);
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
            g.FillRectangle(&veil, static_cast<INT>(b.left), static_cast<INT>(b.top),
                            static_cast<INT>(b.right - b.left), static_cast<INT>(b.bottom - b.top));
}

}  // namespace vt
