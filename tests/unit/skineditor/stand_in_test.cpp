#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "common/picture_decode.h"
#include "common/picture_scale.h"
#include "skineditor/editor_slots.h"
#include "skineditor/stand_in.h"

namespace vt {
namespace {

TEST(StandIn, EveryRequiredPictureHasOneAndOnlyTheTeamPictureGoesWithout) {
    std::set<std::pair<int, int>> seen;
    for (const auto& s : kSlots) {
        const auto standIn = StandInOfSlot(s.slot);
        if (s.kind != SlotKind::Picture || s.slot == 30) {
            EXPECT_FALSE(standIn) << s.slot;
            continue;
        }
        ASSERT_TRUE(standIn) << s.slot;
        // No two slots share a picture: each state looks its own.
        EXPECT_TRUE(seen.insert({static_cast<int>(standIn->kind), standIn->state}).second) << s.slot;
    }
    EXPECT_EQ(seen.size(), 25u);
}

TEST(StandIn, OpaqueOfTheAskedSizeAndNeverTheSeeThroughColour) {
    for (const auto& s : kSlots) {
        const auto standIn = StandInOfSlot(s.slot);
        if (!standIn) continue;
        for (auto [w, h] : {std::pair{20, 20}, {250, 20}, {300, 350}, {33, 7}, {1, 1}}) {
            const DecodedPicture p = DrawStandIn(*standIn, w, h);
            ASSERT_EQ(p.width, w);
            ASSERT_EQ(p.height, h);
            ASSERT_EQ(p.pixels.size(), static_cast<size_t>(w) * h);
            EXPECT_FALSE(p.alpha);
            for (uint32_t px : p.pixels) {
                ASSERT_EQ(px >> 24, 0xFFu) << s.slot;
                ASSERT_NE(px, kSeeThroughPixel) << s.slot << " would turn see-through in the launcher";
            }
        }
    }
}

TEST(StandIn, StatesOfAButtonDiffer) {
    const auto differ = [](StandIn a, StandIn b) {
        return DrawStandIn(a, 20, 20).pixels != DrawStandIn(b, 20, 20).pixels;
    };
    EXPECT_TRUE(differ({StandInKind::Close, 0}, {StandInKind::Close, 1}));
    EXPECT_TRUE(differ({StandInKind::Close, 1}, {StandInKind::Close, 2}));
    EXPECT_TRUE(differ({StandInKind::Lock, 0}, {StandInKind::Lock, 1}));
    EXPECT_TRUE(differ({StandInKind::Up, 0}, {StandInKind::Down, 0}));
    EXPECT_TRUE(differ({StandInKind::Left, 0}, {StandInKind::Right, 0}));
}

// The canvas draws the stand-in at its own scale; the skin gets the 96 dpi
// one. Drawn at 150 % and brought back to 96 dpi they look alike.
TEST(StandIn, OneDesignAtEveryScale) {
    for (StandInKind kind : {StandInKind::Close, StandInKind::Up, StandInKind::Backdrop}) {
        const int w = kind == StandInKind::Up ? 250 : kind == StandInKind::Backdrop ? 300 : 20;
        const int h = kind == StandInKind::Backdrop ? 350 : 20;
        const DecodedPicture skin = DrawStandIn({kind, 0}, w, h);
        const DecodedPicture big = DrawStandIn({kind, 0}, w * 3 / 2, h * 3 / 2, 1.5);
        const DecodedPicture back = ScalePicture(big, w, h, std::nullopt);
        long total = 0;
        for (size_t i = 0; i < skin.pixels.size(); ++i)
            for (int shift : {0, 8, 16})
                total += std::abs(static_cast<int>((skin.pixels[i] >> shift) & 0xFF) -
                                  static_cast<int>((back.pixels[i] >> shift) & 0xFF));
        const double mean = static_cast<double>(total) / (3.0 * skin.pixels.size());
        EXPECT_LT(mean, 12.0) << static_cast<int>(kind);
    }
}

TEST(StandIn, BitmapFileDecodesToTheSamePixels) {
    // Widths of 7 and 250 pixels pad their rows differently.
    for (auto [w, h] : {std::pair{7, 5}, {250, 20}}) {
        const DecodedPicture p = DrawStandIn({StandInKind::Right, 1}, w, h);
        const std::string file = EncodeBmp24(p);
        ASSERT_EQ(file.substr(0, 2), "BM");
        const auto back = DecodeBmpOrIco(file);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->width, w);
        EXPECT_EQ(back->height, h);
        EXPECT_EQ(back->pixels, p.pixels);
    }
}

}  // namespace
}  // namespace vt
