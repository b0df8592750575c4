#include <gtest/gtest.h>

#include "launcher/scene/pixel_map.h"
#include "launcher/skin/apply_skin.h"
#include "tests/unit/skin/skin_fixture.h"
#include "tests/unit/temp_dir.h"

using namespace vt;

namespace {

constexpr int kDpis[] = {96, 120, 144, 168, 192};

class FixedMeasure : public TextMeasure {
public:
    int TextWidthTwips(const std::string&, int) override { return 375; }
};

// The sound test skin laid out, with a strip of team captions side by side
// (scrolled part-way, as after a click on the right button) and a column of
// item captions one under the other (scrolled too): the places where
// neighbours share an edge and clipping cuts through elements.
struct LaidOut {
    TempDir dir;
    FakePictures pictures;
    FixedMeasure measure;
    Scene scene;
    SkinState state;

    LaidOut() {
        test::WriteSkin(dir.File("s"), test::SoundSkinValues(), pictures, 21);
        EXPECT_TRUE(ApplySkinToScene(dir.File("s"), scene, state, measure, pictures).empty());
        scene.Resize(Part::LabTeam, 6);
        for (int i = 0; i < 6; ++i) {
            Element& t = scene.At(Part::LabTeam, i);
            t.visible = true;
            t.left = 15 + i * 1003;  // odd widths: edges fall between pixels at every DPI
            t.top = 37;
            t.width = 1003;
            t.height = 331;
        }
        scene.At(Part::PicTeamIn).width = 15 + 6 * 1003;
        scene.At(Part::PicTeamIn).left = -1237;
        scene.Resize(Part::LabItem, 12);
        for (int i = 0; i < 12; ++i) {
            Element& t = scene.At(Part::LabItem, i);
            t.visible = true;
            t.left = 103;
            t.top = 71 + i * 407;
            t.width = 2011;
            t.height = 407;
        }
        scene.At(Part::PicItemIn).height = 71 + 12 * 407;
        scene.At(Part::PicItemIn).top = -509;
    }
};

}  // namespace

TEST(PixelMap, TwipsMapToPixelsExactlyAtEveryDpiAndBack) {
    // 1440 twips are an inch, whatever the DPI: no integer twips per pixel.
    EXPECT_EQ(PixelMap(96).Px(4800), 320);
    EXPECT_EQ(PixelMap(120).Px(4800), 400);
    EXPECT_EQ(PixelMap(144).Px(4800), 480);
    EXPECT_EQ(PixelMap(168).Px(4800), 560);
    EXPECT_EQ(PixelMap(192).Px(4800), 640);
    // Rounded once, to the nearest pixel edge; halves go down.
    EXPECT_EQ(PixelMap(144).Px(1004), 100);
    EXPECT_EQ(PixelMap(144).Px(1005), 100);
    EXPECT_EQ(PixelMap(144).Px(1006), 101);
    EXPECT_EQ(PixelMap(144).Px(-1005), -101);
    EXPECT_EQ(PixelMap(120).Px(-6), -1);
    EXPECT_EQ(PixelMap(96).Px(7), 0);
    EXPECT_EQ(PixelMap(96).Px(8), 1);
    // At 96 dpi a pixel is 15 twips, as stored positions have always been.
    EXPECT_EQ(PixelMap(96).Twips(100), 1500);
    EXPECT_EQ(PixelMap(96).Twips(-3), -45);
    EXPECT_EQ(PixelMap(144).Twips(7), 70);
    EXPECT_EQ(PixelMap(168).Twips(3), 26);  // 25.71...
    // A broken DPI does not divide by zero.
    EXPECT_EQ(PixelMap(0).Dpi(), 96);

    // Window positions and sizes survive the trip through twips (saved
    // positions, docking), on and off the screen.
    for (int dpi : kDpis) {
        PixelMap map(dpi);
        for (int px = -3000; px <= 3000; ++px) {
            ASSERT_EQ(map.Px(map.Twips(px)), px) << dpi << " dpi, " << px;
            ASSERT_EQ(map.Px(map.TwipAt(px)), px) << dpi << " dpi, " << px;
        }
    }
}

TEST(PixelMap, PicturesGrowWithTheDpiAndCoverTheirOwnTwips) {
    // A 32 x 32 icon made for 96 dpi is 48 x 48 at 144 and 64 x 64 at 192.
    EXPECT_EQ(PixelMap(144).PictureBox(0, 0, 32, 32), (PixelBox{0, 0, 48, 48}));
    EXPECT_EQ(PixelMap(192).PictureBox(0, 0, 32, 32), (PixelBox{0, 0, 64, 64}));
    EXPECT_EQ(PixelMap(120).PictureBox(0, 0, 32, 32), (PixelBox{0, 0, 40, 40}));
    // The backdrop fills the window: the window is as many pixels as the
    // skin's twips make, and so is the backdrop, at any DPI.
    for (int dpi : kDpis) {
        PixelMap map(dpi);
        PixelBox backdrop = map.PictureBox(0, 0, 320, 480);
        EXPECT_EQ(backdrop.right, map.Px(320 * 15)) << dpi;
        EXPECT_EQ(backdrop.bottom, map.Px(480 * 15)) << dpi;
    }
    // Off the pixel grid a picture may take one pixel more or less, never
    // more than that, so the scaled copy is made for the box it covers.
    PixelBox odd = PixelMap(144).PictureBox(1005, 1005, 21, 21);
    EXPECT_EQ(odd.left, 100);
    EXPECT_EQ(odd.Width(), 32);  // 31.5 wide, from 100.5 to 132
}

TEST(PixelMap, NeighboursNeitherOverlapNorLeaveGapsAtAnyDpi) {
    LaidOut l;
    for (int dpi : kDpis) {
        PixelMap map(dpi);
        for (int i = 0; i + 1 < 6; ++i) {
            PixelBox a = map.Box(l.scene.WindowRect({Part::LabTeam, i}));
            PixelBox b = map.Box(l.scene.WindowRect({Part::LabTeam, i + 1}));
            EXPECT_EQ(a.right, b.left) << dpi << " dpi, team " << i;
            EXPECT_EQ(a.top, b.top);
            EXPECT_EQ(a.bottom, b.bottom);
        }
        for (int i = 0; i + 1 < 12; ++i) {
            PixelBox a = map.Box(l.scene.WindowRect({Part::LabItem, i}));
            PixelBox b = map.Box(l.scene.WindowRect({Part::LabItem, i + 1}));
            EXPECT_EQ(a.bottom, b.top) << dpi << " dpi, item " << i;
        }
        // Equal widths in twips stay within a pixel of each other.
        for (int i = 0; i < 6; ++i) {
            int w = map.Box(l.scene.WindowRect({Part::LabTeam, i})).Width();
            EXPECT_NEAR(w, 1003.0 * dpi / 1440, 1.0) << dpi << " dpi, team " << i;
        }
    }
}

TEST(PixelMap, EveryPixelHitsWhatIsPaintedOnIt) {
    LaidOut l;
    const Scene& s = l.scene;
    for (int dpi : kDpis) {
        PixelMap map(dpi);
        const int w = map.Px(s.width), h = map.Px(s.height);
        for (ElementId id : s.PaintOrder()) {
            if (!s.Shown(id)) continue;
            const Rect vis = s.VisibleRect(id);
            const PixelBox painted = map.Box(vis);  // the clip the shell paints through
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const bool hit = vis.Contains(map.TwipAt(x), map.TwipAt(y));
                    if (hit != painted.Contains(x, y)) {
                        ADD_FAILURE() << dpi << " dpi: " << PartName(id.part) << "(" << id.index << ") at pixel " << x
                                      << "," << y << (hit ? " is hit but not painted" : " is painted but not hit");
                        goto next;
                    }
                }
            }
        next:;
        }
        // The window's last pixel is still inside it, and the one past it is not.
        EXPECT_TRUE(HitTest(s, map.TwipAt(w - 1), map.TwipAt(h - 1)).has_value()) << dpi;
        EXPECT_FALSE(HitTest(s, map.TwipAt(w), map.TwipAt(0)).has_value()) << dpi;
    }
}
