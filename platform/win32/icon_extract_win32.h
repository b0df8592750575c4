// Icons and pictures drawn onto a small square canvas that can be saved as a
// bitmap file: the item editor's preview, and the picture an item carries on
// the main window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/win32/unique_handle.h"

namespace Gdiplus {
class Bitmap;
}

namespace vt {

// Icon `index` of a program, library or icon file, at `size` pixels (0: the
// system's large icon size), made from the file's own image of that size or
// the nearest larger one rather than stretched from 32 pixels; null when the
// file has no icon with that index. Negative indexes name nothing (the
// system would read them as resource ids or as a request for the icon count).
UniqueHicon ExtractIconFromFile(const std::string& file, int index, int size = 0);

// Icon resource `id` of a module at size x size pixels: the resource's image
// of that size, or a larger one scaled down smoothly.
UniqueHicon LoadIconAtSize(HINSTANCE module, int id, int size);

// How many icons the file holds (0 when it is not a program or holds none).
int CountIconsInFile(const std::string& file);

// A square 24-bit surface whose content stays until it is cleared.
class IconCanvas {
public:
    // size in pixels; back: colour of the empty canvas (R + 256 G + 65536 B).
    explicit IconCanvas(int size = 32, uint32_t back = 0xFFFFFF);
    IconCanvas(const IconCanvas&) = delete;
    IconCanvas& operator=(const IconCanvas&) = delete;

    int Size() const { return size_; }
    void SetBackColor(uint32_t back) { back_ = back; }
    // Back to the empty canvas.
    void Clear();
    // True once something was drawn since the last Clear.
    bool Drawn() const { return drawn_; }

    // Each draws at (0, 0) and clips what does not fit; false when nothing
    // could be drawn (the canvas is then left as it was).
    bool DrawIcon(HICON icon);
    bool DrawIconOf(const std::string& file, int index);
    // Any picture GDI+ reads, whatever its extension; cursors through the
    // cursor loader.
    bool DrawPictureFile(const std::string& file);
    bool DrawBitmap(Gdiplus::Bitmap* bitmap);

    HBITMAP Bitmap() const { return bitmap_.get(); }
    // The canvas as the bytes of a .bmp file (24 bits per pixel).
    std::string ToBmpBytes() const;

private:
    int size_;
    uint32_t back_;
    bool drawn_ = false;
    UniqueHbitmap bitmap_;
    void* bits_ = nullptr;
};

}  // namespace vt
