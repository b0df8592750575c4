#include "common/twips.h"

#include <gtest/gtest.h>

#include <climits>

#include "common/colour.h"
#include "launcher/scene/pixel_map.h"

using namespace vt;

namespace {

constexpr int kDpis[] = {96, 120, 144, 192};

TEST(Twips, LengthsRoundToNearestWithHalvesAwayFromZeroAtEveryDpi) {
    // {dpi, twips, pixels}: the exact halves are where a rounding slip shows.
    const int cases[][3] = {
        {96, 7, 0},  {96, 8, 1},  {96, -8, -1},  {96, 1500, 100},  {120, 6, 1},  {120, -6, -1}, {120, 18, 2},
        {144, 5, 1}, {144, 4, 0}, {144, -5, -1}, {144, 1455, 146}, {192, 15, 2}, {192, 11, 1},  {192, -11, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TwipsToPixels(c[1], c[0]), c[2]) << c[1] << " twips at " << c[0] << " dpi";
    // Pixels back to twips: at 192 dpi a pixel is 7.5 twips.
    EXPECT_EQ(PixelsToTwips(1, 192), 8);
    EXPECT_EQ(PixelsToTwips(3, 192), 23);
    EXPECT_EQ(PixelsToTwips(-3, 192), -23);
    EXPECT_EQ(PixelsToTwips(7, 120), 84);
    for (int dpi : kDpis)
        for (int px = -300; px <= 300; ++px)
            ASSERT_EQ(TwipsToPixels(PixelsToTwips(px, dpi), dpi), px) << px << " px at " << dpi << " dpi";
}

TEST(Twips, MulDivRoundKeepsTheSystemsEdgeCases) {
    EXPECT_EQ(MulDivRound(7, 1, -2), -4);  // the divisor's sign counts as well
    EXPECT_EQ(MulDivRound(-7, -1, 2), 4);
    EXPECT_EQ(MulDivRound(INT_MAX, INT_MAX, INT_MAX), INT_MAX);  // no overflow on the way
    EXPECT_EQ(MulDivRound(INT_MAX, 2, 1), -1);
    EXPECT_EQ(MulDivRound(1, 1, 0), -1);
}

// Lengths and the scene's edges differ exactly at the halves, where the
// scene gives the lower pixel so that neighbours share their edge.
TEST(Twips, LengthsDifferFromSceneEdgesOnlyAtExactHalves) {
    for (int dpi : kDpis) {
        const PixelMap map(dpi);
        for (int twips = -3000; twips <= 3000; ++twips) {
            const bool half = (static_cast<long long>(twips) * dpi * 2) % (2 * kTwipsPerInch) == kTwipsPerInch ||
                              (static_cast<long long>(twips) * dpi * 2) % (2 * kTwipsPerInch) == -kTwipsPerInch;
            const int expected = map.Px(twips) + (half && twips > 0 ? 1 : 0);
            ASSERT_EQ(TwipsToPixels(twips, dpi), expected) << twips << " twips at " << dpi << " dpi";
        }
    }
}

TEST(Colour, OnlyTheLowThreeBytesReachGdi) {
    EXPECT_EQ(ColorrefOf(0x00FF8040u), 0x00FF8040u);
    EXPECT_EQ(ColorrefOf(0x8000000Fu), 0x0000000Fu);  // a system colour's flag
    EXPECT_EQ(ColorrefOf(static_cast<uint32_t>(-1)), 0x00FFFFFFu);
}

}  // namespace
