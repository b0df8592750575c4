// The skin editor's canvas painting: the mock-up drawn back to front into a
// back buffer, as the launcher will show the skin. What each element shows
// beyond its rectangle is decided in mock_look.h.
#include "skineditor/editor_win32.h"  // <windows.h> first

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

#include "common/colour.h"
#include "platform/win32/win_text.h"
#include "skineditor/mock_look.h"
#include "skineditor/stand_in.h"

namespace vt {

namespace {

UINT FormatOf(El e) {
    switch (MockTextPlaceOf(e)) {
        case MockTextPlace::CentreTop:
            return DT_CENTER | DT_TOP;
        case MockTextPlace::CentreMiddle:
            return DT_CENTER | DT_VCENTER;
        case MockTextPlace::LeftTop:
            break;
    }
    return DT_LEFT | DT_TOP;
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

}  // namespace

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

void Canvas::PaintLabel(HDC dc, El e, const MockRect& r) {
    const MockElement& el = model_.Get(e);
    RECT rc = View(r);
    if (el.opaque) Fill(dc, rc, ColorrefOf(el.backColor));
    SelectRestorer f(dc, Font(el.fontSize));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ColorrefOf(el.textColor));
    std::wstring w = Widen(std::string(MockTextOf(e)));
    ::DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &rc, FormatOf(e) | DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE);
}

void Canvas::PaintElement(HDC dc, El e, const MockRect& r) {
    const MockElement& el = model_.Get(e);
    RECT rc = View(r);
    switch (e) {
        case El::PicTeam:
        case El::PicItem: {
            Fill(dc, rc, ColorrefOf(MockPanelFill(model_, e)));
            const int saved = ::SaveDC(dc);
            ::IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
            if (e == El::PicTeam && el.picture == PictureSource::File) DrawPicture(dc, el.picturePath, r.left, r.top);
            for (El k : MockPanelChildren(e)) {
                const MockRect kr = model_.AbsoluteRect(k);
                if (k == El::PicIcon0 || k == El::PicIcon1)
                    Fill(dc, View(kr), ColorrefOf(model_.Get(k).backColor));
                else
                    PaintLabel(dc, k, kr);
            }
            ::RestoreDC(dc, saved);
            if (el.border) {
                // The launcher's single line: black, a pixel per 96 dpi.
                UniqueHbrush black(::CreateSolidBrush(RGB(0, 0, 0)));
                const int t = MockBorderPixels(dpi_);
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
            UniqueHbrush b(::CreateSolidBrush(ColorrefOf(el.backColor)));
            UniqueHpen p(::CreatePen(PS_SOLID, 1, ColorrefOf(el.lineColor)));
            SelectRestorer sb(dc, b.get());
            SelectRestorer sp(dc, p.get());
            ::Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
            break;
        }
        case El::ShpTitle:
            ::SetBkMode(dc, TRANSPARENT);
            Frame(dc, rc, ColorrefOf(el.lineColor), PS_DOT);
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
            PaintLabel(dc, e, r);
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
