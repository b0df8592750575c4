// Twips, the unit skins and forms are laid out in: 1440 to the inch at any
// dpi, so 15 to a pixel at 96 dpi, 12 at 120, 10 at 144 and 7.5 at 192.
//
// Two roundings live side by side on purpose. Lengths the system measures or
// sizes (a window, a text extent, a dialog's layout) go through the helpers
// below, which round as the system's MulDiv does, so that what the editor
// stores and what the launcher sizes agree with the numbers Windows itself
// computes. The edges of a painted scene go through PixelMap
// (launcher/scene/pixel_map.h), whose halves fall the other way so that
// neighbours share an edge and hit testing agrees with painting.
#pragma once

#include <cstdint>

namespace vt {

inline constexpr int kTwipsPerInch = 1440;

// A dpi a display can really have; anything else comes from a broken driver
// or setting and is not to be scaled by.
constexpr bool IsUsableDpi(int dpi) {
    return dpi >= 24 && dpi <= 1440;
}

// a * b / c to the nearest whole number, halves away from zero, computed
// without overflow in between: the system's MulDiv, which gives -1 when c is
// 0 or the result does not fit an int.
constexpr int MulDivRound(int a, int b, int c) {
    if (c == 0) return -1;
    int64_t num = static_cast<int64_t>(a) * b;
    int64_t den = c;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const int64_t half = den / 2;
    const int64_t q = num >= 0 ? (num + half) / den : (num - half) / den;
    if (q > INT32_MAX || q < -INT32_MAX) return -1;
    return static_cast<int>(q);
}

// A length in twips as pixels at a dpi, and back.
constexpr int TwipsToPixels(int twips, int dpi) {
    return MulDivRound(twips, dpi, kTwipsPerInch);
}
constexpr int PixelsToTwips(int pixels, int dpi) {
    return MulDivRound(pixels, kTwipsPerInch, dpi);
}

// The twips one pixel covers, for arithmetic that keeps the fraction.
constexpr double TwipsPerPixel(int dpi) {
    return static_cast<double>(kTwipsPerInch) / dpi;
}

}  // namespace vt
