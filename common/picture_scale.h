// Resizing decoded pictures for screens of more than 96 dpi. Skins and icons
// are made for 96 dpi; at 144 dpi they are drawn one and a half times their size.
#pragma once

#include <cstdint>
#include <optional>

#include "common/picture_decode.h"

namespace vt {

// Opaque RGB(250,250,250), the colour the launcher's layered window shows as
// see-through, in the pixel layout of DecodedPicture.
inline constexpr uint32_t kSeeThroughPixel = 0xFFFAFAFAu;

// The picture resized to width x height (each at least 1) with smooth
// (bilinear, area-averaging when made smaller) filtering of the premultiplied
// pixels. Pixels of `colourKey` are a mask, not a colour: they are resized
// without smoothing (a pixel is the key exactly when the source pixel under
// its centre is), they never bleed into their neighbours, and a blended
// pixel that happens to come out as the key is moved off it, so no light
// fringe and no stray hole appears at a see-through outline.
DecodedPicture ScalePicture(const DecodedPicture& source, int width, int height,
                            std::optional<uint32_t> colourKey = kSeeThroughPixel);

}  // namespace vt
