#include "common/picture_decode.h"

#include <bit>
#include <cstddef>

namespace vt {

namespace {

// Bounds-checked little-endian reads over the file's bytes: every offset in a
// picture file comes from the file itself and may point anywhere.
class Bytes {
public:
    explicit Bytes(std::string_view b) : b_(b) {}
    bool Has(uint64_t at, uint64_t n) const { return at <= b_.size() && n <= b_.size() - at; }
    uint8_t U8(uint64_t at) const { return static_cast<uint8_t>(b_[at]); }
    uint16_t U16(uint64_t at) const { return static_cast<uint16_t>(U8(at) | U8(at + 1) << 8); }
    uint32_t U32(uint64_t at) const { return U16(at) | static_cast<uint32_t>(U16(at + 2)) << 16; }
    int32_t I32(uint64_t at) const { return static_cast<int32_t>(U32(at)); }
    size_t Size() const { return b_.size(); }

private:
    std::string_view b_;
};

// One colour channel of a bit-field pixel, widened to 8 bits by repeating its
// bits (a 5-bit 31 becomes 255), as Windows does.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(uint32_t m) : mask(m) {
        if (!m) return;
        shift = std::countr_zero(m);
        bits = std::popcount(m);
    }
    uint32_t Get(uint32_t px) const {
        if (!bits) return 0;
        uint32_t v = (px & mask) >> shift;
        if (bits >= 8) return (v >> (bits - 8)) & 0xFF;
        uint32_t r = 0;
        int filled = 0;
        while (filled < 8) {
            r = (r << bits) | v;
            filled += bits;
        }
        return (r >> (filled - 8)) & 0xFF;
    }
};

uint32_t Premultiply(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    if (a != 255) {
        r = (r * a + 127) / 255;
        g = (g * a + 127) / 255;
        b = (b * a + 127) / 255;
    }
    return a << 24 | r << 16 | g << 8 | b;
}

enum : uint32_t { kBiRgb = 0, kBiBitfields = 3 };

// A device-independent bitmap whose header starts at `header`. For a bitmap
// file `pixelsAt` is where its file header says the pixels are; an icon image
// has its pixels right after the colour table, then the 1-bit AND mask, and a
// header height that counts both.
std::optional<DecodedPicture> DecodeDib(const Bytes& in, uint64_t header, std::optional<uint64_t> pixelsAt, bool icon) {
    if (!in.Has(header, 4)) return std::nullopt;
    const uint32_t headerSize = in.U32(header);
    int64_t width = 0, height = 0;
    uint32_t bpp = 0, compression = kBiRgb, coloursUsed = 0;
    uint32_t paletteEntry = 4;
    if (headerSize == 12) {
        if (!in.Has(header, 12)) return std::nullopt;
        width = in.U16(header + 4);
        height = in.U16(header + 6);
        bpp = in.U16(header + 10);
        paletteEntry = 3;
    } else if (headerSize >= 40 && headerSize <= 124) {
        if (!in.Has(header, headerSize)) return std::nullopt;
        width = in.I32(header + 4);
        height = in.I32(header + 8);
        bpp = in.U16(header + 14);
        compression = in.U32(header + 16);
        coloursUsed = in.U32(header + 32);
        // Larger headers carry an alpha mask and colour spaces whose meaning
        // differs between decoders; only the plain header is taken here.
        if (headerSize != 40 && (bpp == 32 || bpp == 16)) return std::nullopt;
    } else {
        return std::nullopt;
    }
    bool topDown = false;
    if (height < 0) {
        if (icon) return std::nullopt;
        topDown = true;
        height = -height;
    }
    if (icon) height /= 2;
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide) return std::nullopt;

    uint32_t masks[3] = {0, 0, 0};
    uint64_t tableAt = header + headerSize;
    switch (bpp) {
        case 1:
        case 4:
        case 8:
        case 24:
            if (compression != kBiRgb) return std::nullopt;
            break;
        case 16:
        case 32:
            if (compression == kBiBitfields) {
                if (!in.Has(tableAt, 12)) return std::nullopt;
                for (int i = 0; i < 3; ++i)
                    masks[i] = in.U32(tableAt + 4 * static_cast<size_t>(i));
                tableAt += 12;
            } else if (compression == kBiRgb) {
                if (bpp == 16) {
                    masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
                } else {
                    masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
                }
            } else {
                return std::nullopt;
            }
            break;
        default:
            return std::nullopt;
    }

    std::vector<uint32_t> palette;
    if (bpp <= 8) {
        uint32_t count = coloursUsed ? coloursUsed : 1u << bpp;
        if (count > 256) return std::nullopt;
        if (!in.Has(tableAt, uint64_t{count} * paletteEntry)) return std::nullopt;
        palette.resize(size_t{1} << bpp, 0);  // indices past the table are black
        for (uint32_t i = 0; i < count && i < palette.size(); ++i) {
            uint64_t at = tableAt + uint64_t{i} * paletteEntry;
            palette[i] = uint32_t{in.U8(at + 2)} << 16 | uint32_t{in.U8(at + 1)} << 8 | in.U8(at);
        }
        tableAt += uint64_t{count} * paletteEntry;
    }

    const uint64_t stride = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4;
    const uint64_t pixels = pixelsAt ? *pixelsAt : tableAt;
    if (!in.Has(pixels, stride * static_cast<uint64_t>(height))) return std::nullopt;
    const uint64_t maskStride = ((static_cast<uint64_t>(width) + 31) / 32) * 4;
    const uint64_t maskAt = pixels + stride * static_cast<uint64_t>(height);
    // An icon without its AND mask is drawn opaque rather than refused.
    const bool hasMask = icon && in.Has(maskAt, maskStride * static_cast<uint64_t>(height));

    DecodedPicture out;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    bool anyAlpha = false;  // some pixel of a 32-bit icon has a non-zero alpha byte
    for (int64_t y = 0; y < height; ++y) {
        const uint64_t row = pixels + stride * static_cast<uint64_t>(topDown ? y : height - 1 - y);
        uint32_t* dst = &out.pixels[static_cast<size_t>(y * width)];
        for (int64_t x = 0; x < width; ++x) {
            uint32_t rgb = 0, a = 255;
            switch (bpp) {
                case 1:
                    rgb = palette[(in.U8(row + x / 8) >> (7 - x % 8)) & 1];
                    break;
                case 4:
                    rgb = palette[(in.U8(row + x / 2) >> (x % 2 ? 0 : 4)) & 0xF];
                    break;
                case 8:
                    rgb = palette[in.U8(row + x)];
                    break;
                case 24: {
                    uint64_t at = row + 3 * static_cast<uint64_t>(x);
                    rgb = uint32_t{in.U8(at + 2)} << 16 | uint32_t{in.U8(at + 1)} << 8 | in.U8(at);
                    break;
                }
                case 16:
                case 32: {
                    uint32_t px = bpp == 16 ? in.U16(row + 2 * static_cast<uint64_t>(x))
                                            : in.U32(row + 4 * static_cast<uint64_t>(x));
                    rgb = red.Get(px) << 16 | green.Get(px) << 8 | blue.Get(px);
                    // Only an icon's 32-bit pixels carry alpha; a bitmap's
                    // fourth byte is padding.
                    if (icon && bpp == 32) {
                        a = px >> 24;
                        anyAlpha = anyAlpha || a != 0;
                    }
                    break;
                }
            }
            dst[x] = rgb | a << 24;
        }
    }

    // An icon whose pixels say nothing about alpha (fewer bits, or a 32-bit
    // image saved by old tools with every alpha byte zero) is cut out by its mask.
    const bool alphaFromPixels = icon && bpp == 32 && anyAlpha;
    for (int64_t y = 0; y < height; ++y) {
        uint32_t* dst = &out.pixels[static_cast<size_t>(y * width)];
        const uint64_t maskRow = maskAt + maskStride * static_cast<uint64_t>(height - 1 - y);
        for (int64_t x = 0; x < width; ++x) {
            uint32_t p = dst[x];
            uint32_t a = p >> 24;
            if (icon && !alphaFromPixels) {
                bool transparent = hasMask && ((in.U8(maskRow + x / 8) >> (7 - x % 8)) & 1);
                a = transparent ? 0 : 255;
            }
            if (a != 255) out.alpha = true;
            dst[x] = Premultiply((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, a);
        }
    }
    return out;
}

std::optional<DecodedPicture> DecodeBmp(const Bytes& in) {
    if (!in.Has(0, 14 + 12)) return std::nullopt;
    return DecodeDib(in, 14, in.U32(10), false);
}

std::optional<DecodedPicture> DecodeIco(const Bytes& in) {
    // Like the general decoders, an icon file shows its first image.
    if (!in.Has(0, 6 + 16) || in.U16(4) == 0) return std::nullopt;
    const uint32_t size = in.U32(6 + 8), at = in.U32(6 + 12);
    if (!in.Has(at, size) || !in.Has(at, 8)) return std::nullopt;
    // PNG-compressed images (the large ones of newer icons) are not ours.
    if (in.U32(at) == 0x474E5089u) return std::nullopt;
    return DecodeDib(in, at, std::nullopt, true);
}

}  // namespace

std::optional<DecodedPicture> DecodeBmpOrIco(std::string_view bytes) {
    Bytes in(bytes);
    if (in.Has(0, 2) && bytes[0] == 'B' && bytes[1] == 'M') return DecodeBmp(in);
    // ICONDIR: reserved 0, type 1 (icon); cursors (type 2) go elsewhere.
    if (in.Has(0, 6) && in.U16(0) == 0 && in.U16(2) == 1) return DecodeIco(in);
    return std::nullopt;
}

}  // namespace vt
