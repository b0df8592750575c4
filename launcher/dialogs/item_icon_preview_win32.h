// The item editor's icon preview: an icon plan drawn at the size the item
// panel shows it, kept as the picture saved with the item, and painted into
// the editor's owner-drawn preview box at the dialog's dpi.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "launcher/dialogs/icon_rules.h"
#include "platform/win32/icon_extract_win32.h"
#include "platform/win32/unique_handle.h"

namespace vt {

class ItemIconPreview {
public:
    // The skin's picture for a stock icon; nullptr when the skin has none.
    using StockPictures = std::function<Gdiplus::Bitmap*(StockIcon)>;

    // `back`: the item panel's colour (R + 256 G + 65536 B).
    explicit ItemIconPreview(uint32_t back);

    // Draws `plan` unless it is the one drawn last; true when it drew, and
    // the preview box is then to be repainted.
    bool Render(const IconPlan& plan, uint32_t back, const StockPictures& stock);
    // What Render drew, as the bytes of a .bmp file.
    const std::string& BmpBytes() const { return bytes_; }
    // WM_DRAWITEM of the preview box.
    void Draw(const DRAWITEMSTRUCT& d, int dpi, uint32_t back);

    // A plan as the bytes of a .bmp file, drawn as Render draws it (always a
    // picture; an empty plan gives the blank canvas).
    static std::string RenderBmp(const IconPlan& plan, uint32_t back, const StockPictures& stock);

private:
    static void DrawPlan(IconCanvas& canvas, const IconPlan& plan, const StockPictures& stock);
    // A program file's icon drawn from the file at the box's size, as the
    // main window draws it there; false when it cannot be.
    bool DrawSharper(HDC dc, int x, int y, int size, uint32_t back);

    IconCanvas canvas_;
    std::optional<IconPlan> rendered_;
    std::string bytes_;
    UniqueHicon sharper_;  // the icon at the box's size beyond 96 dpi
    IconPlan sharperFor_;
    int sharperSize_ = 0;
};

}  // namespace vt
