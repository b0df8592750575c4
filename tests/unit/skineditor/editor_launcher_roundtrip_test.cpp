// A skin built by the editor reads back in the launcher as it was laid out.
#include <gtest/gtest.h>

#include <fstream>

#include "launcher/skin/skin_package.h"
#include "platform/fake/fakes.h"
#include "skineditor/editor_project.h"
#include "skineditor/skin_builder.h"
#include "tests/unit/temp_dir.h"

namespace vt {
namespace {

TEST(EditorToLauncher, BuiltSkinReadsBackWithTheEditorsGeometryAndColours) {
    TempDir dir;
    FakePictures pictures;
    FakeTextMeasure measure;
    EditorModel model(pictures, measure);
    for (const auto& p : kPackagePictures) {
        const std::string src = dir.File(std::string(p.file) + ".src");
        std::ofstream(PathFromUtf8(src)) << p.file;
        model.SetSlotText(p.slot, src);
    }
    pictures.sizes[model.SlotText(0)] = {360, 460};
    ASSERT_TRUE(model.ApplyProperty(0));

    auto drag = [&](El e, double dx, double dy) {
        model.MouseDown(e, 0, 0);
        model.MouseMove(e, dx, dy);
    };
    drag(El::ImgClose, 870, 15);    // 4830, 135
    drag(El::LabMenu0, 180, 120);   // 420, 720
    drag(El::PicItem, 270, -30);    // 360, 1650
    drag(El::LabMove2, -900, 0);    // title 3600 wide
    drag(El::ImgDown, -60, -5000);  // -> negative top
    model.SetSlotText(43, "3");
    model.SetSlotText(27, "255");
    model.SetSlotText(11, "16777215");
    model.SetSlotText(44, "蓝色卷轴");
    model.SetSlotText(31, "4200.5");
    model.SetFrame(0, false);

    const std::string folder = dir.File("蓝色卷轴");
    std::filesystem::create_directories(PathFromUtf8(folder));
    ASSERT_TRUE(BuildSkinPackage(model, folder).ok);

    SkinPackage skin = ReadSkinPackage(folder);
    EXPECT_TRUE(skin.hasDescription);
    EXPECT_EQ(skin.name, "蓝色卷轴");
    EXPECT_EQ(skin.width, 5400);
    EXPECT_EQ(skin.height, 6900);
    EXPECT_EQ(skin.closeLeft, 4830);
    EXPECT_EQ(skin.closeTop, 135);
    EXPECT_EQ(skin.menuLeft, 420);
    EXPECT_EQ(skin.menuTop, 720);
    EXPECT_EQ(skin.itemLeft, 360);
    EXPECT_EQ(skin.itemTop, 1650);
    EXPECT_EQ(skin.downTop, 4800 - 5000);
    EXPECT_EQ(skin.titleWidth, 3600);
    EXPECT_EQ(skin.titleHeight, 495);
    EXPECT_EQ(skin.itemColumns, 3);
    EXPECT_EQ(skin.teamBackColor2, 255);
    EXPECT_EQ(skin.titleTextColor, 16777215);
    EXPECT_EQ(skin.teamWidth, 4200);  // typed with a fraction, read as its whole part
    EXPECT_EQ(skin.teamFrame, 0);
    EXPECT_EQ(skin.itemFrame, 1);
    EXPECT_EQ(skin.teamLeft, 600);
    EXPECT_EQ(skin.leftLeft, 240);
}

}  // namespace
}  // namespace vt
