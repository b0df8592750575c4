// Every skin shipped in the program folder must open as a sound, usable window:
// all pictures load, the window is the size of its backdrop, the buttons have
// three (lock: two) pictures of one size, and no element is off the window or
// lies over another one, where it would hide it or take its clicks.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "launcher/skin/skin_package.h"
#include "platform/win32/pictures_win32.h"

namespace vt {
namespace {

constexpr int kTwipsPerPixel = 15;

struct Box {
    std::string what;
    int left, top, width, height;  // twips
};

bool Overlap(const Box& a, const Box& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

std::vector<std::string> ListBundledSkins() {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(PathFromUtf8(std::string(VT_DIST_DIR) + "/SKIN"), ec))
        if (e.is_directory()) out.push_back(PathToUtf8(e.path()));
    return out;
}

std::string FolderName(const std::string& folder) {
    return PathToUtf8(PathFromUtf8(folder).filename());
}

class BundledSkins : public ::testing::Test {
protected:
    // The size of picture `file` in twips; a missing picture fails the test.
    PictureSize SizeOf(const SkinPackage& skin, const char* file) {
        const auto& p = skin.pictures[static_cast<size_t>(SkinPictureIndex(file))];
        EXPECT_TRUE(p.has_value()) << file;
        if (!p) return {};
        return {p->width * kTwipsPerPixel, p->height * kTwipsPerPixel};
    }

    Box Button(const SkinPackage& skin, const char* what, const char* first, int left, int top) {
        PictureSize s = SizeOf(skin, first);
        return {what, left, top, s.width, s.height};
    }

    GdiplusSession gdiplus_;
    PicturesWin32 pictures_;
};

TEST_F(BundledSkins, TheDefaultAndASecondSkinAreShipped) {
    std::vector<std::string> names;
    for (const auto& f : ListBundledSkins())
        names.push_back(FolderName(f));
    EXPECT_NE(std::find(names.begin(), names.end(), "蓝色卷轴"), names.end());
    EXPECT_GE(names.size(), 2u);
}

TEST_F(BundledSkins, EachOpensWithoutProblemsAndIsListedUnderItsFolderName) {
    for (const auto& folder : ListBundledSkins()) {
        SCOPED_TRACE(folder);
        SkinPackage skin = ReadSkinPackage(folder);
        ASSERT_TRUE(skin.hasDescription);
        EXPECT_EQ(skin.name, FolderName(folder));
        EXPECT_FALSE(skin.note.empty()) << "the chooser shows the note to tell skins apart";
        std::vector<std::string> problems = CheckSkinPackage(skin, pictures_);
        EXPECT_TRUE(problems.empty()) << SkinProblemsMessage(folder, problems);
        for (size_t i = 0; i < kSkinPictureCount; ++i)
            EXPECT_TRUE(skin.pictures[i].has_value()) << kSkinPictures[i].file << " is not shipped";
    }
}

TEST_F(BundledSkins, WindowIsTheBackdropAndButtonStatesMatchInSize) {
    for (const auto& folder : ListBundledSkins()) {
        SCOPED_TRACE(folder);
        SkinPackage skin = ReadSkinPackage(folder);
        CheckSkinPackage(skin, pictures_);
        PictureSize backdrop = SizeOf(skin, "backdrop.img");
        EXPECT_EQ(skin.width, backdrop.width);
        EXPECT_EQ(skin.height, backdrop.height);

        const std::vector<std::vector<const char*>> groups = {{"close1.img", "close2.img", "close3.img"},
                                                              {"min1.img", "min2.img", "min3.img"},
                                                              {"lock1.img", "lock2.img"},
                                                              {"left1.img", "left2.img", "left3.img"},
                                                              {"right1.img", "right2.img", "right3.img"},
                                                              {"up1.img", "up2.img", "up3.img"},
                                                              {"down1.img", "down2.img", "down3.img"}};
        for (const auto& g : groups) {
            PictureSize first = SizeOf(skin, g[0]);
            for (const char* other : g) {
                PictureSize s = SizeOf(skin, other);
                EXPECT_EQ(s.width, first.width) << other;
                EXPECT_EQ(s.height, first.height) << other;
            }
        }
    }
}

TEST_F(BundledSkins, ElementsStayOnTheWindowAndApart) {
    for (const auto& folder : ListBundledSkins()) {
        SCOPED_TRACE(folder);
        SkinPackage skin = ReadSkinPackage(folder);
        CheckSkinPackage(skin, pictures_);

        // The four menu captions: two characters each at the menu font size
        // (a point is 20 twips) and 180 apart, as the launcher places them.
        const int caption = 2 * skin.menuFontSize * 20;
        const std::vector<Box> boxes = {
            {"title area", skin.titleLeft, skin.titleTop, skin.titleWidth, skin.titleHeight},
            Button(skin, "close button", "close1.img", skin.closeLeft, skin.closeTop),
            Button(skin, "minimise button", "min1.img", skin.minLeft, skin.minTop),
            Button(skin, "lock button", "lock1.img", skin.lockLeft, skin.lockTop),
            {"menu captions", skin.menuLeft, skin.menuTop, 4 * caption + 3 * 180, skin.menuFontSize * 20 + 60},
            {"team bar", skin.teamLeft, skin.teamTop, skin.teamWidth, skin.teamHeight},
            Button(skin, "left button", "left1.img", skin.leftLeft, skin.leftTop),
            Button(skin, "right button", "right1.img", skin.rightLeft, skin.rightTop),
            {"item panel", skin.itemLeft, skin.itemTop, skin.itemColumns * 1025 + 200, skin.itemHeight},
            Button(skin, "up button", "up1.img", skin.upLeft, skin.upTop),
            Button(skin, "down button", "down1.img", skin.downLeft, skin.downTop),
        };
        for (const Box& b : boxes) {
            EXPECT_GT(b.width, 0) << b.what;
            EXPECT_GT(b.height, 0) << b.what;
            EXPECT_GE(b.left, 0) << b.what;
            EXPECT_GE(b.top, 0) << b.what;
            EXPECT_LE(b.left + b.width, skin.width) << b.what << " runs off the window";
            EXPECT_LE(b.top + b.height, skin.height) << b.what << " runs off the window";
        }
        for (size_t i = 0; i < boxes.size(); ++i)
            for (size_t j = i + 1; j < boxes.size(); ++j)
                EXPECT_FALSE(Overlap(boxes[i], boxes[j])) << boxes[i].what << " overlaps " << boxes[j].what;
    }
}

}  // namespace
}  // namespace vt
