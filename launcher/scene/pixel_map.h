// Twips to device pixels at a window's DPI, and back. One mapping serves
// painting, hit testing, the window's size and position, and docking, so that
// what the user sees is what the mouse hits.
//
// Skins are laid out in twips with pictures made for 96 dpi (15 twips to one
// picture pixel). A window on a 144 dpi screen maps 1440 twips to 144 pixels:
// px = twips * dpi / 1440, each edge rounded on its own. An integer "twips per
// pixel" cannot do this (1440 / 144 is 10, but 1440 / 168 is not a whole
// number, and pictures would keep their 96 dpi size).
#pragma once

#include "launcher/scene/scene.h"

namespace vt {

// Twips of one picture pixel: pictures are made for 96 dpi.
inline constexpr int kTwipsPerPicturePixel = 15;

struct PixelBox {
    int left = 0;
    int top = 0;
    int right = 0;  // exclusive
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && y >= top && x < right && y < bottom; }
    friend bool operator==(const PixelBox&, const PixelBox&) = default;
};

class PixelMap {
public:
    // A dpi outside 24..1440 (a broken display driver) is taken as 96.
    explicit PixelMap(int dpi = 96);
    int Dpi() const { return dpi_; }

    // The pixel edge nearest to a twip edge (halves go to the lower pixel).
    // Adjacent rectangles share an edge in twips, so they share it in pixels:
    // nothing overlaps and no gap opens between them.
    int Px(int twips) const;
    // A length or a position in pixels (window size, screen coordinates, a
    // move) as twips, rounded so that Px(Twips(px)) == px.
    int Twips(int pixels) const;
    // The twip under the centre of pixel `x` of a window. A pixel is painted
    // as part of a rectangle exactly when this point lies in the rectangle,
    // which is what makes hit testing agree with painting to the pixel.
    int TwipAt(int x) const;

    // A rectangle's pixels, every edge rounded on its own.
    PixelBox Box(const Rect& twips) const;
    // The pixels a picture of `width` x `height` picture pixels covers when
    // its top-left corner is at (leftTwips, topTwips).
    PixelBox PictureBox(int leftTwips, int topTwips, int width, int height) const;

private:
    int dpi_;
};

}  // namespace vt
