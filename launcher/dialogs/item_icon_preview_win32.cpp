#include "launcher/dialogs/item_icon_preview_win32.h"

#include "common/colour.h"

// <shellapi.h> names a function ExtractIcon, which would rename IconPlan's kind.
#undef ExtractIcon

namespace vt {

ItemIconPreview::ItemIconPreview(uint32_t back) : canvas_(kItemIconPixels, back) {}

void ItemIconPreview::DrawPlan(IconCanvas& canvas, const IconPlan& plan, const StockPictures& stock) {
    canvas.Clear();
    switch (plan.kind) {
        case IconPlan::Kind::Empty:
            break;
        case IconPlan::Kind::Stock:
            if (Gdiplus::Bitmap* picture = stock(plan.stock)) canvas.DrawBitmap(picture);
            break;
        case IconPlan::Kind::ExtractIcon:
            canvas.DrawIconOf(plan.file, plan.index);
            break;
        case IconPlan::Kind::PictureFile:
            canvas.DrawPictureFile(plan.file);
            break;
    }
}

std::string ItemIconPreview::RenderBmp(const IconPlan& plan, uint32_t back, const StockPictures& stock) {
    IconCanvas canvas(kItemIconPixels, back);
    DrawPlan(canvas, plan, stock);
    return canvas.ToBmpBytes();
}

bool ItemIconPreview::Render(const IconPlan& plan, uint32_t back, const StockPictures& stock) {
    if (rendered_ && *rendered_ == plan) return false;
    rendered_ = plan;
    canvas_.SetBackColor(back);
    DrawPlan(canvas_, plan, stock);
    bytes_ = canvas_.ToBmpBytes();
    return true;
}

void ItemIconPreview::Draw(const DRAWITEMSTRUCT& d, int dpi, uint32_t back) {
    HDC dc = d.hDC;
    RECT r = d.rcItem;
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    // ShpIcon: the frame around the picture, which is as large as the
    // main window shows it at this dpi.
    const int size = ::MulDiv(kItemIconPixels, dpi, 96), gap = ::MulDiv(3, dpi, 96);
    int x = (r.left + r.right - size) / 2;
    int y = (r.top + r.bottom - size) / 2;
    RECT frame{x - gap, y - gap, x + size + gap, y + size + gap};
    ::FrameRect(dc, &frame, ::GetSysColorBrush(COLOR_BTNSHADOW));
    if (DrawSharper(dc, x, y, size, back)) return;
    UniqueMemDc mem(::CreateCompatibleDC(dc));
    SelectRestorer sel(mem.get(), canvas_.Bitmap());
    ::SetStretchBltMode(dc, HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchBlt(dc, x, y, size, size, mem.get(), 0, 0, kItemIconPixels, kItemIconPixels, SRCCOPY);
}

bool ItemIconPreview::DrawSharper(HDC dc, int x, int y, int size, uint32_t back) {
    // Only when the saved picture shows the icon: a file that gave none is
    // not tried again at another size.
    if (!rendered_ || !PreviewRedrawnFromFile(*rendered_, size) || !canvas_.Drawn()) return false;
    if (!sharper_ || sharperFor_ != *rendered_ || sharperSize_ != size) {
        sharper_ = ExtractIconFromFile(rendered_->file, rendered_->index, size);
        sharperFor_ = *rendered_;
        sharperSize_ = size;
    }
    if (!sharper_) return false;
    RECT box{x, y, x + size, y + size};
    UniqueHbrush brush(::CreateSolidBrush(ColorrefOf(back)));
    ::FillRect(dc, &box, brush.get());
    return ::DrawIconEx(dc, x, y, sharper_.get(), size, size, 0, nullptr, DI_NORMAL) != FALSE;
}

}  // namespace vt
