#include "launcher/scene/pixel_map.h"

#include <cstdint>

#include "common/twips.h"

namespace vt {

namespace {

// Rounding towards minus infinity and plus infinity for any signs: elements
// scrolled out of view have negative coordinates, and a window may stand
// partly off the screen's left or top edge.
int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

int64_t CeilDiv(int64_t a, int64_t b) {
    return -FloorDiv(-a, b);
}

}  // namespace

PixelMap::PixelMap(int dpi) : dpi_(IsUsableDpi(dpi) ? dpi : 96) {}

int PixelMap::Px(int twips) const {
    // ceil(twips * dpi / 1440 - 1/2)
    return static_cast<int>(
        CeilDiv(2 * static_cast<int64_t>(twips) * dpi_ - kTwipsPerInch, 2 * static_cast<int64_t>(kTwipsPerInch)));
}

int PixelMap::Twips(int pixels) const {
    // Nearest twip, halves down; at 96 dpi exactly 15 per pixel.
    return static_cast<int>(
        CeilDiv(2 * static_cast<int64_t>(pixels) * kTwipsPerInch - dpi_, 2 * static_cast<int64_t>(dpi_)));
}

int PixelMap::TwipAt(int x) const {
    // floor((x + 1/2) * 1440 / dpi)
    return static_cast<int>(
        FloorDiv((2 * static_cast<int64_t>(x) + 1) * kTwipsPerInch, 2 * static_cast<int64_t>(dpi_)));
}

PixelBox PixelMap::Box(const Rect& r) const {
    return {Px(r.left), Px(r.top), Px(r.left + r.width), Px(r.top + r.height)};
}

PixelBox PixelMap::PictureBox(int leftTwips, int topTwips, int width, int height) const {
    return Box(Rect{leftTwips, topTwips, width * kTwipsPerPicturePixel, height * kTwipsPerPicturePixel});
}

}  // namespace vt
