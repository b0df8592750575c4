#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "common/picture_scale.h"

using namespace vt;

namespace {

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kBlue = 0xFF0000FFu;
constexpr uint32_t kWhite = 0xFFFFFFFFu;

DecodedPicture Filled(int w, int h, uint32_t colour) {
    DecodedPicture p;
    p.width = w;
    p.height = h;
    p.pixels.assign(static_cast<size_t>(w) * h, colour);
    return p;
}

uint32_t& At(DecodedPicture& p, int x, int y) {
    return p.pixels[static_cast<size_t>(y) * p.width + x];
}

uint32_t At(const DecodedPicture& p, int x, int y) {
    return p.pixels[static_cast<size_t>(y) * p.width + x];
}

int Channel(uint32_t p, int shift) {
    return static_cast<int>((p >> shift) & 0xFF);
}

}  // namespace

TEST(PictureScale, GrowsSmoothlyToTheAskedSizeAndKeepsFlatAreasExact) {
    // Left half red, right half blue, 4 x 2, to 150 % and 200 %.
    DecodedPicture p = Filled(4, 2, kRed);
    for (int y = 0; y < 2; ++y)
        At(p, 2, y) = At(p, 3, y) = kBlue;
    for (int size : {6, 8}) {
        DecodedPicture s = ScalePicture(p, size, size / 2);
        ASSERT_EQ(s.width, size);
        ASSERT_EQ(s.height, size / 2);
        ASSERT_EQ(s.pixels.size(), static_cast<size_t>(size * size / 2));
        EXPECT_FALSE(s.alpha);
        // The outer columns stay pure, the seam is blended (smooth, not blocky).
        EXPECT_EQ(At(s, 0, 0), kRed) << size;
        EXPECT_EQ(At(s, size - 1, 0), kBlue) << size;
        const uint32_t seam = At(s, size / 2 - 1, 0);
        EXPECT_GT(Channel(seam, 16), 0) << size;
        EXPECT_GT(Channel(seam, 0), 0) << size;
        EXPECT_EQ(Channel(seam, 24), 255);
    }
    // The natural size is the picture itself.
    DecodedPicture same = ScalePicture(p, 4, 2);
    EXPECT_EQ(same.pixels, p.pixels);
    // Shrinking averages: a 2 x 2 checkerboard of black and white is grey.
    DecodedPicture check = Filled(2, 2, 0xFF000000u);
    At(check, 0, 0) = At(check, 1, 1) = kWhite;
    DecodedPicture one = ScalePicture(check, 1, 1);
    EXPECT_NEAR(Channel(At(one, 0, 0), 8), 128, 1);
}

TEST(PictureScale, SeeThroughPixelsAreAMaskWithoutFringeOrHoles) {
    // A round-cornered backdrop: see-through corners around a dark body.
    DecodedPicture p = Filled(8, 8, 0xFF204060u);
    for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}, {7, 7}, {6, 7}, {7, 6}})
        At(p, x, y) = kSeeThroughPixel;
    for (int size : {10, 12, 16}) {
        DecodedPicture s = ScalePicture(p, size, size);
        const double r = 8.0 / size;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                // Key exactly where the source pixel under the centre is key.
                const uint32_t under = At(p, static_cast<int>((x + 0.5) * r), static_cast<int>((y + 0.5) * r));
                const uint32_t got = At(s, x, y);
                if (under == kSeeThroughPixel) {
                    ASSERT_EQ(got, kSeeThroughPixel) << size << ": " << x << "," << y;
                } else {
                    // The body's colour, with nothing of the light key mixed in.
                    ASSERT_EQ(got, 0xFF204060u) << size << ": " << x << "," << y;
                }
            }
        }
    }
    // Colours that blend to the key by chance do not punch holes in the window.
    DecodedPicture light = Filled(2, 1, 0xFFF5F5F5u);
    At(light, 1, 0) = 0xFFFFFFFFu;
    DecodedPicture s = ScalePicture(light, 4, 1);
    for (uint32_t px : s.pixels)
        EXPECT_NE(px, kSeeThroughPixel);
    // Without a key the same colours blend as any other.
    DecodedPicture plain = ScalePicture(p, 16, 16, std::nullopt);
    EXPECT_NE(At(plain, 2, 1), 0xFF204060u);
}

TEST(PictureScale, TransparentEdgesStayPremultipliedAndBrokenInputGivesAnEmptyPicture) {
    // A red square on a transparent field: blended edge pixels are partly
    // transparent with no colour brighter than their coverage.
    DecodedPicture p = Filled(4, 4, 0);
    p.alpha = true;
    At(p, 1, 1) = At(p, 2, 1) = At(p, 1, 2) = At(p, 2, 2) = kRed;
    DecodedPicture s = ScalePicture(p, 6, 6);
    EXPECT_TRUE(s.alpha);
    bool partial = false;
    for (uint32_t px : s.pixels) {
        const int a = Channel(px, 24);
        EXPECT_LE(Channel(px, 16), a);
        EXPECT_EQ(Channel(px, 0), 0);
        if (a > 0 && a < 255) partial = true;
    }
    EXPECT_TRUE(partial);
    EXPECT_EQ(Channel(At(s, 0, 0), 24), 0);

    // Pixels missing for the stated size: nothing is read past the end.
    DecodedPicture broken;
    broken.width = 50;
    broken.height = 50;
    broken.pixels.resize(10, kBlue);
    DecodedPicture out = ScalePicture(broken, 75, 75);
    EXPECT_EQ(out.pixels.size(), 75u * 75u);
    EXPECT_TRUE(out.alpha);
}

TEST(PictureScale, KeyedOutlinesStayExactAtEveryCommonScale) {
    // A 20 x 20 badge: a diagonal blue-green gradient inside a see-through
    // ring and a see-through hole, the way skins cut rounded buttons. Every
    // body colour is darker than 200, so a pixel with any channel above that
    // can only come from the light key mixed into an edge.
    constexpr int kSide = 20;
    DecodedPicture p = Filled(kSide, kSide, 0);
    int lowest[3] = {255, 255, 255}, highest[3] = {0, 0, 0};
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const int dx = 2 * x + 1 - kSide, dy = 2 * y + 1 - kSide;
            const int r2 = dx * dx + dy * dy;
            if (r2 > kSide * kSide || r2 < 36) {
                At(p, x, y) = kSeeThroughPixel;
                continue;
            }
            const uint32_t c[3] = {static_cast<uint32_t>(10 + 9 * x), static_cast<uint32_t>(190 - 9 * y), 40};
            At(p, x, y) = 0xFF000000u | c[0] << 16 | c[1] << 8 | c[2];
            for (int k = 0; k < 3; ++k) {
                lowest[k] = std::min(lowest[k], static_cast<int>(c[k]));
                highest[k] = std::max(highest[k], static_cast<int>(c[k]));
            }
        }
    }
    for (int percent : {125, 150, 175, 200}) {
        SCOPED_TRACE(percent);
        const int size = kSide * percent / 100;
        DecodedPicture s = ScalePicture(p, size, size);
        ASSERT_EQ(s.width, size);
        EXPECT_FALSE(s.alpha);
        int keyed = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const int sx = (2 * x + 1) * kSide / (2 * size), sy = (2 * y + 1) * kSide / (2 * size);
                const uint32_t got = At(s, x, y);
                if (At(p, sx, sy) == kSeeThroughPixel) {
                    ASSERT_EQ(got, kSeeThroughPixel) << x << "," << y;
                    ++keyed;
                    continue;
                }
                ASSERT_NE(got, kSeeThroughPixel) << x << "," << y;
                ASSERT_EQ(Channel(got, 24), 255) << x << "," << y;
                // Within the body's own colours: nothing of the key bled in.
                const int shifts[3] = {16, 8, 0};
                for (int k = 0; k < 3; ++k) {
                    ASSERT_GE(Channel(got, shifts[k]), lowest[k]) << x << "," << y;
                    ASSERT_LE(Channel(got, shifts[k]), highest[k]) << x << "," << y;
                }
            }
        }
        // The ring and the hole both survive, at about the scaled area.
        const double share = static_cast<double>(keyed) / (size * size);
        EXPECT_GT(share, 0.2);
        EXPECT_LT(share, 0.35);
    }
}

TEST(PictureScale, GradientsStayMonotonicGrowingAndShrinking) {
    // A horizontal ramp of 16 steps: any filter that rings (a sharpening
    // cubic) or mixes rows in the wrong order makes a step go backwards.
    DecodedPicture ramp = Filled(16, 4, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 16; ++x)
            At(ramp, x, y) = 0xFF000000u | static_cast<uint32_t>(x * 16 + 8) * 0x010101u;
    // A hard edge as well: where ringing shows most.
    DecodedPicture edge = Filled(16, 4, 0xFF202020u);
    for (int y = 0; y < 4; ++y)
        for (int x = 8; x < 16; ++x)
            At(edge, x, y) = 0xFFE0E0E0u;
    for (const DecodedPicture* src : {&ramp, &edge}) {
        for (int width : {20, 24, 28, 32, 12, 9}) {
            SCOPED_TRACE(width);
            DecodedPicture s = ScalePicture(*src, width, 4, std::nullopt);
            for (int y = 0; y < 4; ++y) {
                for (int x = 1; x < width; ++x) {
                    ASSERT_GE(Channel(At(s, x, y), 8), Channel(At(s, x - 1, y), 8)) << x;
                    // Grey stays grey, and stays within the source's range.
                    ASSERT_EQ(Channel(At(s, x, y), 0), Channel(At(s, x, y), 16));
                }
                EXPECT_GE(Channel(At(s, 0, y), 8), Channel(At(*src, 0, y), 8));
                EXPECT_LE(Channel(At(s, width - 1, y), 8), Channel(At(*src, 15, y), 8));
            }
        }
    }
}

TEST(PictureScale, EveryPixelIsAMixOfTheColoursAroundItsSource) {
    // Noise with scattered see-through pixels, at the scales screens use: a
    // smooth filter only mixes, so each channel of a resized pixel lies
    // within the real (not see-through) colours of the few source pixels
    // around the one under its centre. Weights that do not add up, or sums
    // that overflow, put a pixel outside.
    constexpr int kW = 37, kH = 29;
    DecodedPicture p = Filled(kW, kH, 0);
    std::mt19937 random(7);
    for (uint32_t& px : p.pixels)
        px = random() % 13 == 0 ? kSeeThroughPixel : 0xFF000000u | (random() & 0xFFFFFFu);
    for (int percent : {125, 150, 175, 200, 80}) {
        SCOPED_TRACE(percent);
        const int w = kW * percent / 100, h = kH * percent / 100;
        const DecodedPicture s = ScalePicture(p, w, h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int sx = (2 * x + 1) * kW / (2 * w), sy = (2 * y + 1) * kH / (2 * h);
                const uint32_t got = At(s, x, y);
                if (At(p, sx, sy) == kSeeThroughPixel) {
                    ASSERT_EQ(got, kSeeThroughPixel);
                    continue;
                }
                for (int shift : {0, 8, 16}) {
                    int low = 255, high = 0;
                    const int reach = percent < 100 ? 2 : 1;
                    for (int dy = -reach; dy <= reach; ++dy) {
                        for (int dx = -reach; dx <= reach; ++dx) {
                            const uint32_t q = At(p, std::clamp(sx + dx, 0, kW - 1), std::clamp(sy + dy, 0, kH - 1));
                            if (q == kSeeThroughPixel) continue;
                            low = std::min(low, Channel(q, shift));
                            high = std::max(high, Channel(q, shift));
                        }
                    }
                    // One step either way: the key's neighbour moved off it.
                    ASSERT_GE(Channel(got, shift), low - 1) << x << "," << y;
                    ASSERT_LE(Channel(got, shift), high + 1) << x << "," << y;
                }
                ASSERT_EQ(Channel(got, 24), 255);
            }
        }
    }
}
