#include <gtest/gtest.h>

#include <fstream>

#include "common/atomic_file.h"
#include "common/ini.h"
#include "common/picture_decode.h"
#include "platform/fake/fakes.h"
#include "skineditor/editor_project.h"
#include "skineditor/skin_builder.h"
#include "tests/unit/temp_dir.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

struct SkinBuilderTest : ::testing::Test {
    TempDir dir;
    FakePictures pictures;
    FakeTextMeasure measure;
    EditorModel model{pictures, measure};
    std::string target = dir.File("skin");

    SkinBuilderTest() {
        fs::create_directories(dir.Path() / "src");
        fs::create_directories(dir.Path() / "skin");
        for (const auto& p : kPackagePictures) {
            const std::string src = dir.File("src/" + std::string(p.file) + ".gif");
            std::ofstream(PathFromUtf8(src), std::ios::binary) << "picture of " << p.file;
            model.SetSlotText(p.slot, src);
        }
        pictures.sizes[model.SlotText(0)] = {300, 350};
        model.ApplyProperty(0);
    }
    std::string Vsu() const { return JoinPath(target, "skin.vsu"); }
    std::vector<std::string> KeyLines() const {
        auto bytes = ReadFileBytes(PathFromUtf8(Vsu()));
        std::vector<std::string> out;
        if (!bytes) return out;
        std::string section;
        size_t pos = 0;
        while (pos < bytes->size()) {
            size_t end = bytes->find('\n', pos);
            if (end == std::string::npos) end = bytes->size();
            std::string line = bytes->substr(pos, end - pos);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty() && line.front() == '[')
                section = line.substr(1, line.size() - 2);
            else if (!line.empty())
                out.push_back(section + " " + line.substr(0, line.find('=')));
            pos = end + 1;
        }
        return out;
    }
};

TEST_F(SkinBuilderTest, WritesEveryKeyInOrderAndCopiesThePictures) {
    model.SetSlotText(44, "蓝色");
    model.SetSlotText(31, "12.5");
    model.MoveTo(El::ImgClose, -30, 15);
    model.SetFrame(1, false);
    ASSERT_TRUE(BuildSkinPackage(model, target).ok);

    const std::vector<std::string> expected = {
        "SKIN Name",        "SKIN Version",     "SKIN Author",       "SKIN HomePage",    "SKIN Email",
        "SKIN Note",        "SKIN Width",       "SKIN Height",       "TITLE TextColor",  "TITLE Left",
        "TITLE Top",        "TITLE Width",      "TITLE Height",      "MENU TextColor1",  "MENU TextColor2",
        "MENU TextColor3",  "MENU FontSize",    "MENU BackColor",    "MENU FrameColor",  "MENU Left",
        "MENU Top",         "TEAM FontSize",    "TEAM TextColor1",   "TEAM TextColor2",  "TEAM TextColor3",
        "TEAM BackColor1",  "TEAM BackColor2",  "TEAM BackColor3",   "TEAM BackColor",   "TEAM Width",
        "TEAM Height",      "TEAM Frame",       "TEAM Left",         "TEAM Top",         "ITEM FontSize",
        "ITEM TextColor1",  "ITEM TextColor2",  "ITEM BackColor1",   "ITEM BackColor2",  "ITEM Width",
        "ITEM Height",      "ITEM Frame",       "ITEM Left",         "ITEM Top",         "CLOSE_BUTTON Left",
        "CLOSE_BUTTON Top", "MIN_BUTTON Left",  "MIN_BUTTON Top",    "LOCK_BUTTON Left", "LOCK_BUTTON Top",
        "LEFT_BUTTON Left", "LEFT_BUTTON Top",  "RIGHT_BUTTON Left", "RIGHT_BUTTON Top", "UP_BUTTON Left",
        "UP_BUTTON Top",    "DOWN_BUTTON Left", "DOWN_BUTTON Top"};
    EXPECT_EQ(KeyLines(), expected);

    struct Want {
        const char *section, *key, *value;
    };
    const Want wants[] = {
        {"SKIN", "Name", "蓝色"},        {"SKIN", "HomePage", "http://"},
        {"SKIN", "Width", "4500"},       {"SKIN", "Height", "5250"},
        {"TEAM", "Width", "12.5"},       {"TEAM", "Frame", "1"},
        {"ITEM", "Frame", "0"},          {"ITEM", "Width", "4"},
        {"CLOSE_BUTTON", "Left", "-30"}, {"CLOSE_BUTTON", "Top", "15"},
        {"MENU", "Left", "240"},         {"TITLE", "Height", "495"},
        {"DOWN_BUTTON", "Top", "4800"},  {"TEAM", "BackColor1", "16777215"},
    };
    for (const auto& w : wants)
        EXPECT_EQ(ReadIniString(Vsu(), w.section, w.key, "?"), w.value) << w.key;

    for (const auto& p : kPackagePictures) {
        auto copied = ReadFileBytes(PathFromUtf8(target) / "image" / PathFromUtf8(p.file));
        ASSERT_TRUE(copied) << p.file;
        EXPECT_EQ(*copied, "picture of " + std::string(p.file));
    }
    EXPECT_EQ(kPackagePictures.size(), 26u);
}

TEST_F(SkinBuilderTest, MissingPictureFailsWithoutTouchingTheFolder) {
    ASSERT_TRUE(WriteFileAtomic(PathFromUtf8(Vsu()), "[SKIN]\r\nName=old\r\n"));
    model.SetSlotText(53, dir.File("src/gone.gif"));
    BuildResult r = BuildSkinPackage(model, target);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(*ReadFileBytes(PathFromUtf8(Vsu())), "[SKIN]\r\nName=old\r\n");
    EXPECT_FALSE(fs::exists(PathFromUtf8(target) / "image"));
    EXPECT_EQ(std::distance(fs::directory_iterator(PathFromUtf8(target)), fs::directory_iterator()), 1);
    EXPECT_EQ(r.detail, "找不到图片 主窗口 文件图标: " + dir.File("src/gone.gif"));
}

TEST_F(SkinBuilderTest, UnsetPicturesAreBuiltFromTheMockUpsStandIns) {
    // A fresh project: nothing chosen. The close button takes a chosen
    // picture's size, so its other states are drawn at that size.
    model.Reset();
    const std::string close = dir.File("src/close1.img.gif");
    pictures.sizes[close] = {24, 22};
    model.SetSlotText(2, close);
    ASSERT_TRUE(model.ApplyProperty(2));
    BuildResult r = BuildSkinPackage(model, target);
    ASSERT_TRUE(r.ok) << r.detail;

    std::vector<std::string> expected;
    for (const auto& p : kPackagePictures)
        if (!p.optional && p.slot != 2) expected.emplace_back(p.file);
    EXPECT_EQ(r.standIns, expected);
    EXPECT_FALSE(fs::exists(PathFromUtf8(target) / "image" / "teamback.img"));
    EXPECT_EQ(*ReadFileBytes(PathFromUtf8(target) / "image" / "close1.img"), "picture of close1.img");

    struct Want {
        const char* file;
        int width, height;
    };
    const Want wants[] = {{"backdrop.img", 300, 350}, {"close2.img", 24, 22}, {"close3.img", 24, 22},
                          {"min1.img", 20, 20},       {"lock2.img", 20, 20},  {"up3.img", 250, 20},
                          {"file.img", 32, 32},       {"exitem.img", 32, 32}};
    for (const auto& w : wants) {
        auto bytes = ReadFileBytes(PathFromUtf8(target) / "image" / w.file);
        ASSERT_TRUE(bytes) << w.file;
        auto picture = DecodeBmpOrIco(*bytes);
        ASSERT_TRUE(picture) << w.file << " is not a picture the launcher reads";
        EXPECT_EQ(picture->width, w.width) << w.file;
        EXPECT_EQ(picture->height, w.height) << w.file;
    }
    // The skin's window is the stand-in backdrop's size.
    EXPECT_EQ(ReadIniString(Vsu(), "SKIN", "Width", ""), "4500");

    const std::string notice = StandInNotice(r.standIns);
    EXPECT_NE(notice.find("backdrop.img"), std::string::npos);
    EXPECT_NE(notice.find("down3.img"), std::string::npos);
    EXPECT_EQ(StandInNotice({}), "");
}

TEST_F(SkinBuilderTest, FileNamedImageInTheWayFails) {
    ASSERT_TRUE(WriteFileAtomic(PathFromUtf8(target) / "image", "x"));
    BuildResult r = BuildSkinPackage(model, target);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.detail.find("image"), std::string::npos) << r.detail;
    EXPECT_FALSE(fs::exists(PathFromUtf8(Vsu())));
    r = BuildSkinPackage(model, dir.File("nowhere"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.detail, "文件夹不存在: " + dir.File("nowhere"));
}

TEST_F(SkinBuilderTest, RebuildKeepsExtraKeysAndAnOldTeamPicture) {
    ASSERT_TRUE(BuildSkinPackage(model, target).ok);
    ASSERT_TRUE(WriteIniString(Vsu(), "TEAM", "Extra", "mine"));
    model.SetSlotText(30, "");
    model.SetSlotText(22, "11");
    ASSERT_TRUE(BuildSkinPackage(model, target).ok);
    EXPECT_EQ(ReadIniString(Vsu(), "TEAM", "Extra", ""), "mine");
    EXPECT_EQ(ReadIniString(Vsu(), "TEAM", "FontSize", ""), "11");
    EXPECT_TRUE(fs::exists(PathFromUtf8(target) / "image" / "teamback.img"));
    EXPECT_FALSE(fs::exists(PathFromUtf8(Vsu() + ".new")));
}

TEST_F(SkinBuilderTest, WithoutTeamPictureOnlyTwentyFivePictures) {
    model.SetSlotText(30, "");
    ASSERT_TRUE(BuildSkinPackage(model, target).ok);
    auto n = std::distance(fs::directory_iterator(PathFromUtf8(target) / "image"), fs::directory_iterator());
    EXPECT_EQ(n, 25);
}

TEST_F(SkinBuilderTest, CopiesTheDoubleSizePicturesThatSitInA2xFolderBesideTheChosenOnes) {
    // Two of the chosen pictures have a namesake in src/2x; one is chosen from elsewhere.
    fs::create_directories(dir.Path() / "src" / "2x");
    const std::string backdrop = model.SlotText(kPackagePictures[0].slot);
    const std::string backdropName = PathFromUtf8(backdrop).filename().string();
    std::ofstream(dir.Path() / "src" / "2x" / backdropName, std::ios::binary) << "big backdrop";
    const PackagePicture& second = kPackagePictures[1];
    const std::string secondName = PathFromUtf8(model.SlotText(second.slot)).filename().string();
    std::ofstream(dir.Path() / "src" / "2x" / secondName, std::ios::binary) << "big second";
    ASSERT_TRUE(BuildSkinPackage(model, target).ok);
    const fs::path twice = PathFromUtf8(target) / "image" / "2x";
    EXPECT_EQ(ReadFileBytes(twice / std::string(kPackagePictures[0].file)).value_or(""), "big backdrop");
    EXPECT_EQ(ReadFileBytes(twice / std::string(second.file)).value_or(""), "big second");
    EXPECT_EQ(std::distance(fs::directory_iterator(twice), fs::directory_iterator()), 2);
    // The normal pictures are as before: 26 of them beside the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(PathFromUtf8(target) / "image"), fs::directory_iterator()), 27);

    // The second picture is now chosen from a folder without one: the copy
    // from the earlier build goes, or large screens would show the old picture.
    fs::create_directories(dir.Path() / "other");
    const std::string moved = dir.File("other/" + secondName);
    std::ofstream(PathFromUtf8(moved), std::ios::binary) << "moved";
    model.SetSlotText(second.slot, moved);
    ASSERT_TRUE(BuildSkinPackage(model, target).ok);
    EXPECT_TRUE(fs::exists(twice / std::string(kPackagePictures[0].file)));
    EXPECT_FALSE(fs::exists(twice / std::string(second.file)));

    // A project without any: no folder is made.
    fs::remove_all(dir.Path() / "src" / "2x");
    fs::remove_all(twice);
    ASSERT_TRUE(BuildSkinPackage(model, target).ok);
    EXPECT_FALSE(fs::exists(twice));
}

}  // namespace
}  // namespace vt
