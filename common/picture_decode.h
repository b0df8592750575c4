// Decoding of the picture formats skins are made of (Windows bitmaps and
// icons) without any system library. The launcher draws its first frame from
// these, and loading a general image library for them cost more than all the
// rest of the start-up; anything not understood here is left to that library.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vt {

struct DecodedPicture {
    int width = 0;
    int height = 0;
    // Rows top-down, each pixel 0xAARRGGBB with the colour premultiplied by
    // alpha: the layout of a 32-bit DIB section that AlphaBlend takes as is.
    std::vector<uint32_t> pixels;
    bool alpha = false;  // some pixel is not fully opaque
};

// Pictures larger than this on either side are refused whoever decodes them.
inline constexpr int kMaxPictureSide = 16384;

// A BMP or ICO file in a form decoded here: uncompressed or bit-field bitmaps
// of 1/4/8/16/24/32 bits per pixel, and the first image of an icon file when
// it is such a bitmap with its mask. Returns nullopt for anything else (PNG,
// JPEG, compressed bitmaps, bitmaps with an alpha mask, broken files) so that
// the caller can try a general decoder, which then also reports what is broken.
std::optional<DecodedPicture> DecodeBmpOrIco(std::string_view bytes);

}  // namespace vt
