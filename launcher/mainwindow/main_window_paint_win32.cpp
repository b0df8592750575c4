// The main window's painting: the scene, double-buffered, at the window's DPI.
#include <algorithm>

#include "common/colour.h"
#include "launcher/mainwindow/main_window_win32.h"
#include "platform/win32/icon_extract_win32.h"
#include "platform/win32/ui_font.h"
#include "platform/win32/win_text.h"

namespace vt {

HFONT MainWindow::Font(int points, bool bold) {
    FontKey key{std::clamp(points, 1, 400), bold};
    auto it = fonts_.find(key);
    if (it == fonts_.end()) it = fonts_.emplace(key, CreateUiFont(key.points, dpi_, bold)).first;
    return it->second.get();
}

void MainWindow::OnPaint() {
    PaintDc paint(hwnd_);
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    // Everything goes to a memory bitmap first and reaches the screen in one
    // copy, so nothing flickers while captions repaint.
    UniqueMemDc mem(::CreateCompatibleDC(paint.get()));
    UniqueHbitmap bmp(::CreateCompatibleBitmap(paint.get(), client.right, client.bottom));
    if (!mem || !bmp) {
        LogWin32Failure("CreateCompatibleBitmap");
        return;
    }
    SelectRestorer sel(mem.get(), bmp.get());
    PaintScene(mem.get(), client.right, client.bottom);
    const RECT& d = paint.Dirty();
    ::BitBlt(paint.get(), d.left, d.top, d.right - d.left, d.bottom - d.top, mem.get(), d.left, d.top, SRCCOPY);
}

namespace {

void DrawDib(HDC dc, HDC src, const PicturesWin32::Dib& dib, int x, int y) {
    SelectRestorer sel(src, dib.bitmap);
    if (dib.alpha) {
        BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::GdiAlphaBlend(dc, x, y, dib.width, dib.height, src, 0, 0, dib.width, dib.height, bf);
    } else {
        ::BitBlt(dc, x, y, dib.width, dib.height, src, 0, 0, SRCCOPY);
    }
}

// An outline `thick` pixels wide inside the box.
void FrameBox(HDC dc, const RECT& box, HBRUSH brush, int thick) {
    const int t = std::max(1, std::min({thick, static_cast<int>((box.right - box.left) / 2),
                                        static_cast<int>((box.bottom - box.top) / 2)}));
    const RECT sides[4] = {{box.left, box.top, box.right, box.top + t},
                           {box.left, box.bottom - t, box.right, box.bottom},
                           {box.left, box.top + t, box.left + t, box.bottom - t},
                           {box.right - t, box.top + t, box.right, box.bottom - t}};
    for (const RECT& r : sides)
        ::FillRect(dc, &r, brush);
}

}  // namespace

void MainWindow::DrawPicture(HDC dc, const std::string& file, int leftTwips, int topTwips) {
    const PicturesWin32::Dib* natural = pictures_.GetDib(file);
    if (!natural) return;
    // Pictures are made for 96 dpi. Each is resized once to the pixels it
    // covers here and kept, so painting stays a plain copy at any DPI.
    PixelBox box = map_.PictureBox(leftTwips, topTwips, natural->width, natural->height);
    // From 175 % a skin's double-size picture, where it has one, is made
    // smaller instead: sharper than the normal one made larger.
    auto chosen = drawnFiles_.find({file, dpi_});
    if (chosen == drawnFiles_.end())
        chosen = drawnFiles_.emplace(std::make_pair(file, dpi_), SkinPictureForDpi(file, dpi_, pictures_)).first;
    if (const auto* dib = pictures_.GetScaledDib(chosen->second, box.Width(), box.Height())) {
        UniqueMemDc src(::CreateCompatibleDC(dc));
        DrawDib(dc, src.get(), *dib, box.left, box.top);
    }
}

bool MainWindow::DrawSharperIcon(HDC dc, const Element& e, int leftTwips, int topTwips) {
    if (e.iconFile.empty()) return false;
    const PicturesWin32::Dib* natural = pictures_.GetDib(e.picture);
    if (!natural) return false;
    const PixelBox box = map_.PictureBox(leftTwips, topTwips, natural->width, natural->height);
    const int size = std::min(box.Width(), box.Height());
    if (size <= std::max(natural->width, natural->height)) return false;  // the stored picture is sharp enough
    // Extracted once per file, index and size; a file without the icon is
    // remembered too, so it is not opened again at every paint.
    auto key = std::make_tuple(e.iconFile, e.iconIndex, size);
    auto it = sharperIcons_.find(key);
    if (it == sharperIcons_.end())
        it = sharperIcons_.emplace(key, ExtractIconFromFile(e.iconFile, e.iconIndex, size)).first;
    if (!it->second) return false;
    // The stored picture is the icon on the item panel's colour: so is this.
    RECT r{box.left, box.top, box.right, box.bottom};
    UniqueHbrush back(::CreateSolidBrush(ColorrefOf(model_.GetScene().At(Part::PicItemIn).backColor)));
    ::FillRect(dc, &r, back.get());
    ::DrawIconEx(dc, box.left + (box.Width() - size) / 2, box.top + (box.Height() - size) / 2, it->second.get(), size,
                 size, 0, nullptr, DI_NORMAL);
    return true;
}

void MainWindow::PaintScene(HDC dc, int width, int height) {
    RECT all{0, 0, width, height};
    const Scene& scene = model_.GetScene();
    const bool backdrop = !scene.backdrop.empty() && pictures_.GetDib(scene.backdrop);
    if (backdrop) {
        // Where the backdrop does not reach, the window is see-through.
        UniqueHbrush key(::CreateSolidBrush(kMainColourKey));
        ::FillRect(dc, &all, key.get());
        DrawPicture(dc, scene.backdrop, 0, 0);
    } else {
        // A skin without a usable backdrop (already reported) still gives a
        // solid window that can be seen, dragged and closed.
        ::FillRect(dc, &all, ::GetSysColorBrush(COLOR_3DFACE));
        FrameBox(dc, all, ::GetSysColorBrush(COLOR_3DSHADOW), LinePx());
    }
    ::SetBkMode(dc, TRANSPARENT);
    for (ElementId id : scene.PaintOrder())
        if (scene.Shown(id)) PaintElement(dc, id);
    PaintFindCaret(dc);
}

void MainWindow::PaintElement(HDC dc, ElementId id) {
    const Scene& scene = model_.GetScene();
    const Element& e = scene.At(id);
    Rect vis = scene.VisibleRect(id);
    if (vis.width <= 0 || vis.height <= 0) return;
    Rect win = scene.WindowRect(id);
    const PixelBox pb = map_.Box(win);
    RECT box{pb.left, pb.top, pb.right, pb.bottom};
    const PixelBox clip = map_.Box(vis);

    int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);

    bool fills = !e.transparent && (e.kind == ElementKind::Panel || e.kind == ElementKind::Label);
    if (fills) {
        UniqueHbrush b(::CreateSolidBrush(ColorrefOf(e.backColor)));
        ::FillRect(dc, &box, b.get());
    }
    if (!e.picture.empty() && (e.kind == ElementKind::Picture || e.kind == ElementKind::Panel) &&
        !DrawSharperIcon(dc, e, win.left, win.top))
        DrawPicture(dc, e.picture, win.left, win.top);
    if (e.kind == ElementKind::Picture && e.standIn) {
        // A plain button where the skin's picture is missing.
        UniqueHbrush fill(::CreateSolidBrush(ColorrefOf(e.backColor)));
        ::FillRect(dc, &box, fill.get());
        UniqueHbrush frame(::CreateSolidBrush(ColorrefOf(e.borderColor)));
        FrameBox(dc, box, frame.get(), LinePx());
        std::wstring symbol = Widen(e.text);
        SelectRestorer font(dc, Font(e.fontSize, false));
        ::SetTextColor(dc, ColorrefOf(e.foreColor));
        RECT r = box;
        ::DrawTextW(dc, symbol.c_str(), static_cast<int>(symbol.size()), &r,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (e.kind == ElementKind::Label && !e.text.empty()) {
        std::wstring text = Widen(e.text);
        SelectRestorer font(dc, Font(e.fontSize, e.bold));
        ::SetTextColor(dc, ColorrefOf(e.foreColor));
        UINT align = e.align == Align::Center ? DT_CENTER : e.align == Align::Right ? DT_RIGHT : DT_LEFT;
        RECT r = box;
        // A caption one line high would wrap a long name at a word or a
        // punctuation mark and hide the rest ("关于Windows" showing "关于");
        // cut it at the label's edge instead, so the reader sees there is more.
        UINT flags = align | DT_TOP | DT_NOPREFIX;
        RECT need = box;
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need, flags | DT_WORDBREAK | DT_CALCRECT);
        flags |= need.bottom - need.top > box.bottom - box.top ? DT_SINGLELINE : DT_WORDBREAK;
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    }
    if (e.kind == ElementKind::Shape) {
        if (!e.transparent) {
            UniqueHbrush fill(::CreateSolidBrush(ColorrefOf(e.backColor)));
            ::FillRect(dc, &box, fill.get());
        }
        UniqueHbrush frame(::CreateSolidBrush(ColorrefOf(e.borderColor)));
        FrameBox(dc, box, frame.get(), LinePx());
    } else if (e.border) {
        UniqueHbrush b(::CreateSolidBrush(ColorrefOf(e.borderColor)));
        FrameBox(dc, box, b.get(), LinePx());
    }
    ::RestoreDC(dc, saved);
}

}  // namespace vt
