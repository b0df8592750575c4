#include "skineditor/mock_look.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/fake/fakes.h"

namespace vt {
namespace {

TEST(MockLook, CaptionsShowTextAndNothingElseDoes) {
    std::set<std::string> samples;
    for (int i = 0; i < kElementCount; ++i) {
        const El e = static_cast<El>(i);
        const bool caption = e == El::LabTitle || (e >= El::LabMenu0 && e <= El::LabMenu3) ||
                             (e >= El::LabTeam0 && e <= El::LabTeam2) || e == El::LabItem0 || e == El::LabItem1;
        EXPECT_EQ(!MockTextOf(e).empty(), caption) << i;
        if (ParentOf(e)) samples.insert(std::string(MockTextOf(e)));
    }
    // Each sample caption names its own state, or the user cannot tell which
    // colours are which.
    EXPECT_EQ(samples.size(), 6u);  // five captions and the icons' empty text
    EXPECT_EQ(MockTextOf(El::LabMenu2), kMenuCaptions[2]);
    EXPECT_EQ(MockTextOf(El::LabTitle), kTitleText);
}

TEST(MockLook, TextsSitAsInTheLauncher) {
    EXPECT_EQ(MockTextPlaceOf(El::LabTitle), MockTextPlace::LeftTop);
    EXPECT_EQ(MockTextPlaceOf(El::LabMenu0), MockTextPlace::LeftTop);
    EXPECT_EQ(MockTextPlaceOf(El::LabTeam1), MockTextPlace::CentreTop);
    EXPECT_EQ(MockTextPlaceOf(El::LabItem0), MockTextPlace::CentreMiddle);
}

TEST(MockLook, PanelsPaintTheirIconsUnderTheirCaptions) {
    EXPECT_EQ(MockPanelChildren(El::PicItem),
              (std::vector<El>{El::PicIcon0, El::PicIcon1, El::LabItem0, El::LabItem1}));
    EXPECT_EQ(MockPanelChildren(El::PicTeam).size(), 3u);
    EXPECT_TRUE(MockPanelChildren(El::ShpMenu).empty());
}

TEST(MockLook, ItemPanelTakesTheUnselectedCaptionsBackground) {
    FakePictures pictures;
    FakeTextMeasure measure{90};
    EditorModel model{pictures, measure};
    model.Mutable(El::PicItem).backColor = 0x111111;
    model.Mutable(El::LabItem0).backColor = 0x222222;
    model.Mutable(El::LabItem1).backColor = 0x333333;
    model.Mutable(El::PicTeam).backColor = 0x444444;
    EXPECT_EQ(MockPanelFill(model, El::PicItem), 0x333333);
    EXPECT_EQ(MockPanelFill(model, El::PicTeam), 0x444444);
}

TEST(MockLook, BorderGrowsAPixelPer96Dpi) {
    const int cases[][2] = {{72, 1}, {96, 1}, {120, 1}, {144, 1}, {192, 2}, {288, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(MockBorderPixels(c[0]), c[1]) << c[0];
}

}  // namespace
}  // namespace vt
