#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "launcher/skin/skin_package.h"
#include "tests/unit/skin/skin_fixture.h"
#include "tests/unit/temp_dir.h"

using namespace vt;

namespace {

bool Mentions(const std::vector<std::string>& problems, const std::string& part) {
    for (const auto& p : problems) {
        if (p.find(part) != std::string::npos) return true;
    }
    return false;
}

}  // namespace

TEST(SkinPackage, ReadsValuesAsTheProfileFunctionsGiveThem) {
    TempDir dir;
    FakePictures pictures;
    // The team section spelt "team": read as "Team" (rectangle) and "TEAM" (colours) alike.
    std::map<std::string, std::string> values;
    for (const auto& [k, v] : test::SoundSkinValues())
        values[k.rfind("TEAM.", 0) == 0 ? "team" + k.substr(4) : k] = v;
    values["team.Left"] = "1234.5";  // fraction ignored
    values["team.Width"] = "3000";
    values["MENU.BackColor"] = "blue";  // a word reads as 0: black
    values["TITLE.TextColor"] = std::to_string(255 * 65536);
    values["SKIN.Author"] = "某人";
    std::string folder = dir.File("skin");
    test::WriteSkin(folder, values, pictures);

    SkinPackage s = ReadSkinPackage(folder);
    EXPECT_TRUE(s.hasDescription);
    EXPECT_EQ(s.name, "测试皮肤");
    EXPECT_EQ(s.author, "某人");
    EXPECT_EQ(s.teamLeft, 1234);
    EXPECT_EQ(s.teamWidth, 3000);
    EXPECT_EQ(s.teamTextColor3, 32);
    EXPECT_EQ(s.menuBackColor, 0);
    EXPECT_EQ(s.titleTextColor, 255 * 65536);
    EXPECT_EQ(s.itemColumns, 4);
    EXPECT_EQ(s.downTop, 6500);
    EXPECT_TRUE(CheckSkinPackage(s, pictures).empty());
    EXPECT_EQ(s.pictures[SkinPictureIndex("close1.img")]->width, 20);
}

TEST(SkinPackage, MissingDescriptionFallsBackToAPlainUsableLayout) {
    TempDir dir;
    FakePictures pictures;
    std::string folder = dir.File("empty");
    std::filesystem::create_directories(PathFromUtf8(folder));
    SkinPackage s = ReadSkinPackage(folder);
    EXPECT_FALSE(s.hasDescription);
    EXPECT_EQ(s.width, 0);

    auto problems = CheckSkinPackage(s, pictures);
    EXPECT_TRUE(Mentions(problems, "skin.vsu"));
    EXPECT_TRUE(Mentions(problems, "image\\backdrop.img"));
    EXPECT_FALSE(Mentions(problems, "teamback.img"));  // the one optional picture
    EXPECT_GT(s.width, 0);
    EXPECT_GT(s.height, 0);
    EXPECT_GE(s.itemColumns, 1);
    EXPECT_GT(s.itemHeight, 0);
}

TEST(SkinPackage, MissingFolderIsNamedInTheProblem) {
    TempDir dir;
    FakePictures pictures;
    SkinPackage s = ReadSkinPackage(dir.File("nowhere"));
    auto problems = CheckSkinPackage(s, pictures);
    ASSERT_FALSE(problems.empty());
    EXPECT_NE(problems[0].find("nowhere"), std::string::npos);
    EXPECT_GT(s.width, 0);
}

TEST(SkinPackage, OutOfRangeValuesAreReportedAndMadeUsable) {
    struct Case {
        const char* key;
        const char* value;
        int SkinPackage::*field;
        int expected;
        const char* mention;
    };
    const Case cases[] = {
        {"ITEM.Width", "0", &SkinPackage::itemColumns, 1, "[ITEM] Width=0"},
        {"ITEM.Width", "32", &SkinPackage::itemColumns, 31, "[ITEM] Width=32"},
        {"ITEM.Width", "-3", &SkinPackage::itemColumns, 1, "[ITEM] Width=-3"},
        {"TEAM.FontSize", "300", &SkinPackage::teamFontSize, 9, "[TEAM] FontSize=300"},
        {"ITEM.FontSize", "-1", &SkinPackage::itemFontSize, 9, "[ITEM] FontSize=-1"},
        {"TEAM.Frame", "2", &SkinPackage::teamFrame, 1, "[TEAM] Frame=2"},
        {"ITEM.TextColor1", "16777216", &SkinPackage::itemTextColor1, 0, "[ITEM] TextColor1"},
        {"SKIN.Width", "0", &SkinPackage::width, 4800, "[SKIN] Width/Height"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        TempDir dir;
        FakePictures pictures;
        auto values = test::SoundSkinValues();
        values[c.key] = c.value;
        test::WriteSkin(dir.File("s"), values, pictures);
        SkinPackage s = ReadSkinPackage(dir.File("s"));
        auto problems = CheckSkinPackage(s, pictures);
        EXPECT_EQ(problems.size(), 1u);
        EXPECT_TRUE(Mentions(problems, c.mention));
        EXPECT_EQ(s.*c.field, c.expected);
    }
}

TEST(SkinPackage, UnreadableAndMissingPicturesAreTold) {
    TempDir dir;
    FakePictures pictures;
    pictures.acceptAnyExisting = false;
    std::string folder = dir.File("s");
    test::WriteSkin(folder, test::SoundSkinValues(), pictures, 20, /*withTeamBack=*/false);
    std::filesystem::remove(PathFromUtf8(SkinPicturePath(folder, "min2.img")));
    pictures.sizes.erase(SkinPicturePath(folder, "dir.img"));  // present but not a picture

    SkinPackage s = ReadSkinPackage(folder);
    auto problems = CheckSkinPackage(s, pictures);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_TRUE(Mentions(problems, "皮肤图片缺失:image\\min2.img"));
    EXPECT_TRUE(Mentions(problems, "皮肤图片无法读取:image\\dir.img"));
    EXPECT_FALSE(s.pictures[SkinPictureIndex("teamback.img")]);

    std::string msg = SkinProblemsMessage(folder, problems);
    EXPECT_EQ(msg.rfind("皮肤\"s\"有误:", 0), 0u);
    EXPECT_NE(msg.find("min2.img"), std::string::npos);
}

TEST(SkinPackage, LongProblemListsAreCutWithACount) {
    std::vector<std::string> problems = {"a", "b", "c", "d", "e"};
    EXPECT_EQ(SkinProblemsMessage("x/y", problems), "皮肤\"y\"有误:a;b;c 等5处问题");
    EXPECT_EQ(SkinProblemsMessage("x/y", {}), "");
}

TEST(SkinFormat, TablesNameEveryKeyAndPictureOnce) {
    std::set<std::string> keys;
    for (const SkinKey& k : kSkinKeys)
        EXPECT_TRUE(keys.insert(std::string(k.section) + "." + k.key).second);
    std::set<std::string> files;
    for (const SkinPicture& p : kSkinPictures)
        EXPECT_TRUE(files.insert(p.file).second);
    EXPECT_EQ(SkinPictureIndex("teamback.img"), 19);
    EXPECT_FALSE(kSkinPictures[19].required);
    EXPECT_EQ(SkinPictureIndex("nothing.img"), -1);
}

TEST(SkinPackage, DoubleSizePicturesServeLargeScreensPictureByPicture) {
    TempDir dir;
    const std::string folder = dir.File("skin");
    const std::string image = SkinPicturePath(folder, "");
    const std::string twice = SkinDoublePicturePath(SkinPicturePath(folder, "backdrop.img"));
    std::filesystem::create_directories(PathFromUtf8(twice).parent_path());
    EXPECT_EQ(PathFromUtf8(twice).parent_path().filename(), "2x");
    EXPECT_EQ(PathFromUtf8(twice).parent_path().parent_path(), PathFromUtf8(image).parent_path());
    // Only pictures inside a skin's image folder (any letter case) have one.
    EXPECT_FALSE(SkinDoublePicturePath(folder + "/IMAGE/close1.img").empty());
    EXPECT_EQ(SkinDoublePicturePath(dir.File("team/ITEM1.img")), "");
    EXPECT_EQ(SkinDoublePicturePath("close1.img"), "");
    EXPECT_EQ(SkinDoublePicturePath(image), "");

    FakePictures pictures;
    pictures.acceptAnyExisting = false;
    auto put = [&](const std::string& name, int w, int h, int w2, int h2) {
        const std::string normal = SkinPicturePath(folder, name);
        pictures.sizes[normal] = {w, h};
        if (w2 > 0) {
            const std::string big = SkinDoublePicturePath(normal);
            std::ofstream(PathFromUtf8(big)) << "x";
            pictures.sizes[big] = {w2, h2};
        }
        return normal;
    };
    const std::string backdrop = put("backdrop.img", 300, 200, 600, 400);
    const std::string close = put("close1.img", 15, 15, 31, 29);  // odd sizes round either way
    const std::string lock = put("lock1.img", 20, 20, 0, 0);      // this skin has none for it
    const std::string min = put("min1.img", 20, 20, 40, 20);      // not twice the shape
    const std::string up = put("up1.img", 20, 20, 40, 40);
    pictures.sizes.erase(SkinDoublePicturePath(up));  // there, but not a picture

    for (int dpi : {96, 120, 144, 167}) {
        SCOPED_TRACE(dpi);
        for (const std::string& p : {backdrop, close, lock, min, up})
            EXPECT_EQ(SkinPictureForDpi(p, dpi, pictures), p);
    }
    for (int dpi : {168, 192, 288}) {
        SCOPED_TRACE(dpi);
        EXPECT_EQ(SkinPictureForDpi(backdrop, dpi, pictures), SkinDoublePicturePath(backdrop));
        EXPECT_EQ(SkinPictureForDpi(close, dpi, pictures), SkinDoublePicturePath(close));
        EXPECT_EQ(SkinPictureForDpi(lock, dpi, pictures), lock);
        EXPECT_EQ(SkinPictureForDpi(min, dpi, pictures), min);
        EXPECT_EQ(SkinPictureForDpi(up, dpi, pictures), up);
    }
    // An item picture never looks for one.
    const std::string item = dir.File("team/ITEM1.img");
    EXPECT_EQ(SkinPictureForDpi(item, 192, pictures), item);

    // Reading the skin is unchanged by the extra folder: an older reader's view.
    test::WriteSkin(folder, test::SoundSkinValues(), pictures);
    SkinPackage s = ReadSkinPackage(folder);
    EXPECT_TRUE(s.hasDescription);
    EXPECT_TRUE(CheckSkinPackage(s, pictures).empty());
    EXPECT_EQ(SkinPictureFiles(folder).size(), kSkinPictureCount);
}
