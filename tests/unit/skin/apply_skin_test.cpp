#include <gtest/gtest.h>

#include "launcher/skin/apply_skin.h"
#include "tests/unit/skin/skin_fixture.h"
#include "tests/unit/temp_dir.h"

using namespace vt;

namespace {

// Every text is 375 twips wide, as a two-character caption at 9 points.
class FixedMeasure : public TextMeasure {
public:
    int TextWidthTwips(const std::string&, int) override { return 375; }
};

struct Applied {
    TempDir dir;
    FakePictures pictures;
    FixedMeasure measure;
    Scene scene;
    SkinState state;
    std::vector<std::string> problems;

    void Apply(std::map<std::string, std::string> values, int buttonPx = 20, bool teamBack = true,
               const std::string& name = "s") {
        test::WriteSkin(dir.File(name), values, pictures, buttonPx, teamBack);
        problems = ApplySkinToScene(dir.File(name), scene, state, measure, pictures);
    }
};

}  // namespace

TEST(ApplySkin, LaysOutTitleMenusAndPanelsByTheRules) {
    Applied a;
    a.Apply(test::SoundSkinValues());
    ASSERT_TRUE(a.problems.empty());
    const Scene& s = a.scene;
    EXPECT_EQ(s.width, 4800);
    EXPECT_EQ(s.height, 7200);
    EXPECT_EQ(s.At(Part::ImgForm).width, 4800);

    // Title 600 high, label 255 high: 345 halved with the fraction dropped.
    EXPECT_EQ(s.At(Part::LabTitle).left, 200);
    EXPECT_EQ(s.At(Part::LabTitle).top, 172);
    EXPECT_EQ(s.At(Part::LabTitle).foreColor, 16777215u);

    // MENU Left 240 and a first caption 375 wide.
    int lefts[4] = {240, 795, 1350, 1905};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.At(Part::LabMenu, i).left, lefts[i]);
        EXPECT_EQ(s.At(Part::LabMenu, i).top, 660);
        EXPECT_EQ(s.At(Part::LabMenu, i).foreColor, 1u);
    }
    const Element& shp = s.At(Part::ShpMenu);
    EXPECT_FALSE(shp.visible);
    EXPECT_EQ(shp.width, 475);
    EXPECT_EQ(shp.backColor, 4u);
    EXPECT_EQ(shp.borderColor, 5u);

    EXPECT_EQ(s.WindowRect({Part::PicTeam, 0}), (Rect{300, 1080, 4200, 420}));
    EXPECT_TRUE(s.At(Part::PicTeam).border);
    EXPECT_EQ(s.At(Part::PicTeamIn).height, 420);
    EXPECT_EQ(s.At(Part::PicTeamIn).backColor, 6u);
    EXPECT_EQ(s.At(Part::PicTeamIn).picture, SkinPicturePath(a.dir.File("s"), "teamback.img"));

    EXPECT_EQ(s.WindowRect({Part::PicItem, 0}), (Rect{150, 1620, 4 * 1025 + 200, 4800}));
    EXPECT_FALSE(s.At(Part::PicItem).border);
    EXPECT_EQ(s.At(Part::PicItemIn).width, 4300);

    EXPECT_EQ(a.state.SkinMenuColors, (std::array<uint32_t, 3>{1, 2, 3}));
    EXPECT_EQ(a.state.SkinTeamColors, (std::array<uint32_t, 6>{11, 12, 21, 22, 31, 32}));
    EXPECT_EQ(a.state.SkinItemColors, (std::array<uint32_t, 4>{41, 42, 51, 52}));
    EXPECT_EQ(a.state.SkinItemColumns, 4);
    EXPECT_EQ(s.backdrop, SkinPicturePath(a.dir.File("s"), "backdrop.img"));
    EXPECT_EQ(s.At(Part::ImgInside, 0).picture, SkinPicturePath(a.dir.File("s"), "link.img"));
    EXPECT_EQ(s.At(Part::ImgInside, 3).picture, SkinPicturePath(a.dir.File("s"), "exitem.img"));
}

TEST(ApplySkin, ItemPanelWidthFollowsTheColumnCount) {
    for (auto [columns, width] : {std::pair{"3", 3275}, std::pair{"31", 31975}, std::pair{"1", 1225}}) {
        Applied a;
        auto v = test::SoundSkinValues();
        v["ITEM.Width"] = columns;
        a.Apply(v);
        EXPECT_EQ(a.scene.At(Part::PicItem).width, width) << columns;
    }
    // 32 columns would overflow: clamped to 31 and reported.
    Applied a;
    auto v = test::SoundSkinValues();
    v["ITEM.Width"] = "32";
    a.Apply(v);
    EXPECT_EQ(a.scene.At(Part::PicItem).width, 31975);
    EXPECT_EQ(a.problems.size(), 1u);
}

TEST(ApplySkin, ButtonsTakeTheSizeOfTheNewSkinsFirstPicture) {
    Applied a;
    a.Apply(test::SoundSkinValues(), 20, true, "small");
    EXPECT_EQ(a.scene.WindowRect({Part::LabClose, 0}), (Rect{4400, 90, 300, 300}));
    a.Apply(test::SoundSkinValues(), 32, true, "big");
    for (Part p :
         {Part::LabClose, Part::LabMin, Part::LabLock, Part::LabLeft, Part::LabRight, Part::LabUp, Part::LabDown}) {
        EXPECT_EQ(a.scene.At(p).width, 480) << PartName(p);
        EXPECT_EQ(a.scene.At(p).height, 480) << PartName(p);
    }
    const Element& lab = a.scene.At(Part::LabDown);
    for (int i = 0; i < 3; ++i) {
        const Element& pic = a.scene.At(Part::ImgDown, i);
        EXPECT_EQ(pic.left, lab.left);
        EXPECT_EQ(pic.top, lab.top);
        EXPECT_EQ(pic.picture, SkinPicturePath(a.dir.File("big"), "down" + std::to_string(i + 1) + ".img"));
    }
    EXPECT_EQ(a.scene.At(Part::ImgLock, 1).picture, SkinPicturePath(a.dir.File("big"), "lock2.img"));
    // The picture showing is left as it was.
    EXPECT_TRUE(a.scene.At(Part::ImgClose, 0).visible);
    EXPECT_FALSE(a.scene.At(Part::ImgClose, 1).visible);
}

TEST(ApplySkin, ApplyingTheSameSkinTwiceGivesTheSameWindow) {
    Applied a;
    a.Apply(test::SoundSkinValues());
    Scene first = a.scene;
    a.problems = ApplySkinToScene(a.dir.File("s"), a.scene, a.state, a.measure, a.pictures);
    for (ElementId id : first.PaintOrder()) {
        EXPECT_EQ(first.WindowRect(id), a.scene.WindowRect(id)) << PartName(id.part) << id.index;
        EXPECT_EQ(first.At(id).picture, a.scene.At(id).picture);
    }
}

TEST(ApplySkin, SkinWithoutTeamPictureShowsPlainTeamColour) {
    Applied a;
    a.Apply(test::SoundSkinValues(), 20, true, "with");
    ASSERT_FALSE(a.scene.At(Part::PicTeamIn).picture.empty());
    a.Apply(test::SoundSkinValues(), 20, false, "without");
    EXPECT_TRUE(a.problems.empty());
    EXPECT_EQ(a.scene.At(Part::PicTeamIn).picture, "");
    EXPECT_EQ(a.scene.At(Part::PicTeamIn).backColor, 6u);
}

TEST(ApplySkin, MissingButtonPicturesGetVisibleStandIns) {
    Applied a;
    test::WriteSkin(a.dir.File("s"), test::SoundSkinValues(), a.pictures);
    for (const char* file : {"close1.img", "min1.img", "min2.img", "min3.img", "lock2.img"})
        std::filesystem::remove(PathFromUtf8(SkinPicturePath(a.dir.File("s"), file)));
    a.problems = ApplySkinToScene(a.dir.File("s"), a.scene, a.state, a.measure, a.pictures);
    EXPECT_EQ(a.problems.size(), 5u) << "each missing picture is still reported";

    // The normal close picture is gone: its stand-in takes the size of the
    // button's other pictures, and the button stays clickable.
    const Element& close = a.scene.At(Part::ImgClose, 0);
    EXPECT_EQ(close.picture, "");
    EXPECT_TRUE(close.standIn);
    EXPECT_TRUE(close.visible);
    EXPECT_EQ(close.text, "×");
    EXPECT_EQ(a.scene.WindowRect(close.id), a.scene.WindowRect({Part::LabClose, 0}));
    EXPECT_EQ(a.scene.At(Part::LabClose).width, 300);
    EXPECT_NE(close.backColor, close.foreColor);
    EXPECT_GE(close.fontSize, 7);
    EXPECT_FALSE(a.scene.At(Part::ImgClose, 1).standIn);
    EXPECT_EQ(HitTest(a.scene, 4500, 150), (std::optional<ElementId>{ElementId{Part::LabClose, 0}}));

    // No picture of the button at all: the smallest usable area, every state drawn.
    EXPECT_EQ(a.scene.At(Part::LabMin).width, 225);
    for (int i = 0; i < 3; ++i) {
        const Element& min = a.scene.At(Part::ImgMin, i);
        EXPECT_TRUE(min.standIn) << i;
        EXPECT_EQ(min.width, 225) << i;
        EXPECT_EQ(min.height, 225) << i;
        EXPECT_EQ(min.text, "－") << i;
    }
    EXPECT_NE(a.scene.At(Part::ImgMin, 0).backColor, a.scene.At(Part::ImgMin, 2).backColor)
        << "pressing shows a change";
    EXPECT_TRUE(a.scene.At(Part::ImgLock, 1).standIn);
    EXPECT_FALSE(a.scene.At(Part::ImgLock, 0).standIn);

    // A complete skin afterwards shows pictures only.
    a.Apply(test::SoundSkinValues(), 20, true, "whole");
    for (Part p : {Part::ImgClose, Part::ImgMin, Part::ImgLock})
        for (int i = 0; i < a.scene.Count(p); ++i) {
            EXPECT_FALSE(a.scene.At(p, i).standIn) << PartName(p) << i;
            EXPECT_EQ(a.scene.At(p, i).text, "") << PartName(p) << i;
        }
}
