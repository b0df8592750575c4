#include "launcher/dialogs/setting_form.h"

#include <gtest/gtest.h>

#include "tests/unit/dialogs/dialog_fixture.h"

namespace vt {
namespace {

class SettingFormTest : public ::testing::Test, public DialogFixture {
protected:
    std::optional<uint32_t> Dw(const char* name) {
        return reg.QueryDword(kSettingsRoot, FindSetting(name)->key, name);
    }
    std::optional<std::string> Autorun() { return reg.QueryString(kSettingsRoot, kAutorunKey, kAutorunValue); }
    SettingForm form;
};

TEST_F(SettingFormTest, FreshInstallationOpensWithTheDialogDefaults) {
    settings.RollTeamRate = 120;
    settings.RollItemRate = 300;
    form.OnLoad(reg, settings);
    EXPECT_FALSE(form.chkOpen);
    EXPECT_EQ(Dw("RememberPath"), 0u);  // stored with the dialog's own default
    EXPECT_EQ(form.optLaunch, 1);
    EXPECT_EQ(form.optShowItem, 0);
    EXPECT_TRUE(form.chkWin);
    EXPECT_TRUE(form.chkHide);
    EXPECT_EQ(form.chkWarn, (std::array<bool, 6>{true, true, true, false, false, true}));
    EXPECT_EQ(form.txtRoll, (std::array<std::string, 2>{"120", "300"}));
    EXPECT_EQ(form.vscrRoll, (std::array<int, 2>{120, 300}));
    EXPECT_EQ(form.optSet, 0);
}

TEST_F(SettingFormTest, OkWritesEveryControlToItsValue) {
    form.OnLoad(reg, settings);
    // Flip everything away from its load state.
    form.optShowItem = 2;
    form.chkRunOne = true;
    form.chkHide = false;
    form.chkRmTeam = true;
    form.chkOpen = true;
    form.chkWin = false;
    form.chkWarn = {false, false, false, true, true, false};
    form.chkHot = {true, true, false, true};
    form.txtHot = "k";
    form.chkShow = true;
    form.chkOther = {true, true};
    form.optLaunch = 0;
    form.chkMin = {true, true};
    form.chkRoll = {false, false};
    form.OnRollScrolled(1, 77);
    FormOutcome out = form.OnOk(reg, settings.AppDir);

    struct Want {
        const char* name;
        uint32_t value;
    } wants[] = {
        {"ShowItemType", 2},     {"OnlyLaunchOne", 1},   {"HideInSide", 0},        {"RememberLastTeam", 1},
        {"RememberPath", 1},     {"StandOnTop", 0},      {"WarnOnError", 0},       {"WarnOnDelete", 0},
        {"WarnOnFormat", 0},     {"WarnBeforeLaunch", 1}, {"WarnOnExit", 1},       {"WarnAfterDone", 0},
        {"UseHotKey", 1},        {"HKUseCtrl", 1},       {"HKUseAlt", 0},          {"HKUseShift", 1},
        {"ShowInMouse", 1},      {"LaunchOnStart", 1},   {"RememberMainPos", 1},   {"LaunchMode", 0},
        {"MinAfterLaunch", 1},   {"MinAfterClickClose", 1}, {"AutoRollOnTeam", 0}, {"AutoRollOnItem", 0},
        {"RollTeamRate", 150},   {"RollItemRate", 77},
    };
    for (const auto& w : wants) EXPECT_EQ(Dw(w.name), w.value) << w.name;
    EXPECT_EQ(reg.QueryString(kSettingsRoot, kDataKey, "HKUseKey"), "k");
    EXPECT_EQ(Autorun(), settings.AppDir + "VT.exe");
    EXPECT_TRUE(out.close);
    EXPECT_TRUE(out.applySettings);
    EXPECT_EQ(out.messageAfter, "");  // "在功能执行后提示" unchecked
}

TEST_F(SettingFormTest, UncheckingAutorunDeletesTheValue) {
    reg.SetString(kSettingsRoot, kAutorunKey, kAutorunValue, "X:\\old\\VT.exe");
    form.OnLoad(reg, settings);
    form.chkOther[0] = false;
    FormOutcome out = form.OnOk(reg, settings.AppDir);
    EXPECT_FALSE(Autorun());
    EXPECT_EQ(Dw("LaunchOnStart"), 0u);
    EXPECT_EQ(out.messageAfter, kMsgSettingsSaved);
}

TEST_F(SettingFormTest, RateTextThatIsNoNumberKeepsTheOldRate) {
    reg.SetDword(kSettingsRoot, kDataKey, "RollTeamRate", 90);
    reg.SetDword(kSettingsRoot, kDataKey, "RollItemRate", 95);
    form.OnLoad(reg, settings);
    form.txtRoll = {"abc", ""};
    (void)form.OnOk(reg, settings.AppDir);
    EXPECT_EQ(Dw("RollTeamRate"), 90u);
    EXPECT_EQ(Dw("RollItemRate"), 95u);

    struct Case {
        const char* text;
        std::optional<int> want;
    } cases[] = {{"0", 0}, {" 250 ", 250}, {"32767", 32767}, {"32768", std::nullopt}, {"-5", std::nullopt},
                 {"1.5", std::nullopt}, {"12ms", std::nullopt}};
    for (const auto& c : cases) EXPECT_EQ(ParseRollRate(c.text), c.want) << c.text;
}

TEST_F(SettingFormTest, ScrollingMovesOnlyItsOwnRate) {
    form.OnLoad(reg, settings);
    form.OnRollScrolled(1, 40000);
    EXPECT_EQ(form.txtRoll[1], "32767");
    EXPECT_EQ(form.txtRoll[0], "150");
    form.OnRollScrolled(1, -3);
    EXPECT_EQ(form.txtRoll[1], "0");
}

}  // namespace
}  // namespace vt
