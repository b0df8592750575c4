#include "launcher/dialogs/skin_form.h"

#include <gtest/gtest.h>

#include "tests/unit/dialogs/dialog_fixture.h"

namespace vt {
namespace {

class SkinFormTest : public ::testing::Test, public DialogFixture {
protected:
    void AddSkin(const std::string& folder, const std::string& name, const std::string& author = "") {
        std::filesystem::create_directories(PathFromUtf8(settings.AppDir + "SKIN/" + folder));
        const std::string vsu = settings.AppDir + "SKIN/" + folder + "/skin.vsu";
        if (!name.empty()) (void)WriteIniString(vsu, "SKIN", "Name", name);
        if (!author.empty()) (void)WriteIniString(vsu, "SKIN", "Author", author);
    }
    std::optional<uint32_t> Data(const char* v) { return reg.QueryDword(kSettingsRoot, kDataKey, v); }
    SkinForm form;
};

TEST(SkinOpacity, PercentAndAlphaRoundHalvesToEven) {
    struct Case {
        int percent, alpha;
    } cases[] = {{0, 0}, {50, 128}, {100, 255}, {1, 3}, {2, 5}, {10, 26}, {30, 76}, {70, 178}, {90, 230}};
    for (const auto& c : cases)
        EXPECT_EQ(PercentToAlpha(c.percent), c.alpha) << c.percent;
    for (const auto& c : cases)
        EXPECT_EQ(AlphaToPercent(c.alpha), c.percent) << c.alpha;
    EXPECT_EQ(PercentToAlpha(150), 255);
    EXPECT_EQ(AlphaToPercent(1000), 100);
}

TEST_F(SkinFormTest, ListsOnlyFoldersWithASkinName) {
    AddSkin("blue", "蓝色卷轴", "某人");
    AddSkin("broken", "");
    AddSkin("green", "Green");
    (void)WriteFileAtomic(PathFromUtf8(settings.AppDir + "SKIN/loose.vsu"), "[SKIN]\r\nName=x\r\n");
    form.OnLoad(reg, settings.AppDir);
    EXPECT_EQ(form.lstSkin, (std::vector<std::string>{"蓝色卷轴", "Green"}));
    EXPECT_EQ(form.folders, (std::vector<std::string>{"blue", "green"}));
    EXPECT_EQ(form.selected, -1);
    form.OnSkinSelected(0);
    EXPECT_EQ(form.labName, "蓝色卷轴");
    EXPECT_EQ(form.labAuthor, "某人");
    EXPECT_EQ(form.labVersion, "");
}

TEST_F(SkinFormTest, OkWithoutSelectionOnlyAsks) {
    form.OnLoad(reg, settings.AppDir);
    EXPECT_TRUE(form.lstSkin.empty());
    FormOutcome out = form.OnOk(reg, settings, prompts);
    EXPECT_FALSE(out.close);
    EXPECT_FALSE(out.applySkin);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgSelectSkin});
    EXPECT_FALSE(reg.QueryString(kSettingsRoot, kSettingKey, "SkinPath"));
}

TEST_F(SkinFormTest, ChosenSkinIsStoredAnnouncedThenApplied) {
    AddSkin("green", "Green");
    form.OnLoad(reg, settings.AppDir);
    form.OnSkinSelected(0);
    FormOutcome out = form.OnOk(reg, settings, prompts);
    EXPECT_TRUE(out.close);
    EXPECT_TRUE(out.applySkin);
    EXPECT_EQ(out.skinFolder, settings.AppDir + "SKIN/green");
    EXPECT_EQ(reg.QueryString(kSettingsRoot, kSettingKey, "SkinPath"), "green");
    EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgSkinSaved});
}

TEST_F(SkinFormTest, AppearanceStartsFromStoredOrInitialValues) {
    form.OnLoad(reg, settings.AppDir);
    EXPECT_EQ(form.picFrame, kInitialFrameColor);
    EXPECT_EQ(form.picBack, kInitialBackColor);
    EXPECT_EQ(form.txtSize, "9");
    EXPECT_EQ(form.txtMO, "100%");
    EXPECT_EQ(form.txtFO, "100%");
    EXPECT_FALSE(Data("MsgFrameColor"));  // opening stores nothing

    reg.SetDword(kSettingsRoot, kDataKey, "MsgOpacity", 128);
    reg.SetDword(kSettingsRoot, kDataKey, "MsgFrameColor", 0x123456);
    reg.SetDword(kSettingsRoot, kDataKey, "MsgFontSize", 14);
    SkinForm again;
    again.OnLoad(reg, settings.AppDir);
    EXPECT_EQ(again.txtMO, "50%");
    EXPECT_EQ(again.vscrMO, 50);
    EXPECT_EQ(again.picFrame, 0x123456u);
    EXPECT_EQ(again.vscrSize, 14);
}

TEST_F(SkinFormTest, AppearanceOkStoresValuesAndOpacity) {
    form.OnLoad(reg, settings.AppDir);
    form.OnPageClicked(1);
    form.OnColorPicked(Swatch::Back, 0xFF00FF);
    form.OnColorPicked(Swatch::Font, -1);  // cancelled
    form.OnMainOpacityScrolled(50);
    form.OnMsgOpacityTyped("0%");
    form.OnSizeTyped("abc");  // ignored
    EXPECT_EQ(form.txtSize, "9");
    form.OnSizeTyped("100");  // outside 1..72: ignored
    FormOutcome out = form.OnOk(reg, settings, prompts);
    EXPECT_TRUE(out.close);
    EXPECT_TRUE(out.applyMainOpacity);
    EXPECT_EQ(out.mainOpacity, 128);
    EXPECT_EQ(Data("MainOpacity"), 128u);
    EXPECT_EQ(Data("MsgOpacity"), 0u);
    EXPECT_EQ(Data("MsgBackColor"), 0xFF00FFu);
    EXPECT_EQ(Data("MsgFontColor"), kInitialFontColor);
    EXPECT_EQ(Data("MsgFrameColor"), kInitialFrameColor);
    EXPECT_EQ(Data("MsgFontSize"), 9u);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgEffectsSaved});
}

}  // namespace
}  // namespace vt
