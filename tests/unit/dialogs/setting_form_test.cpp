#include "launcher/dialogs/setting_form.h"

#include <gtest/gtest.h>

#include <fstream>

#include "launcher/settings/settings_store.h"
#include "tests/unit/dialogs/dialog_fixture.h"
#include "tests/unit/settings/read_only_folder.h"

namespace vt {
namespace {

class SettingFormTest : public ::testing::Test, public DialogFixture {
protected:
    std::optional<uint32_t> Dw(const char* name) { return reg.QueryDword(kSettingsRoot, FindSetting(name)->key, name); }
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
        {"ShowItemType", 2},   {"OnlyLaunchOne", 1},      {"HideInSide", 0},      {"RememberLastTeam", 1},
        {"RememberPath", 1},   {"StandOnTop", 0},         {"WarnOnError", 0},     {"WarnOnDelete", 0},
        {"WarnOnFormat", 0},   {"WarnBeforeLaunch", 1},   {"WarnOnExit", 1},      {"WarnAfterDone", 0},
        {"UseHotKey", 1},      {"HKUseCtrl", 1},          {"HKUseAlt", 0},        {"HKUseShift", 1},
        {"ShowInMouse", 1},    {"LaunchOnStart", 1},      {"RememberMainPos", 1}, {"LaunchMode", 0},
        {"MinAfterLaunch", 1}, {"MinAfterClickClose", 1}, {"AutoRollOnTeam", 0},  {"AutoRollOnItem", 0},
        {"RollTeamRate", 150}, {"RollItemRate", 77},
    };
    for (const auto& w : wants)
        EXPECT_EQ(Dw(w.name), w.value) << w.name;
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
    } cases[] = {{"0", 0},
                 {" 250 ", 250},
                 {"32767", 32767},
                 {"32768", std::nullopt},
                 {"-5", std::nullopt},
                 {"1.5", std::nullopt},
                 {"12ms", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(ParseRollRate(c.text), c.want) << c.text;
}

TEST_F(SettingFormTest, ScrollingMovesOnlyItsOwnRate) {
    form.OnLoad(reg, settings);
    form.OnRollScrolled(1, 40000);
    EXPECT_EQ(form.txtRoll[1], "32767");
    EXPECT_EQ(form.txtRoll[0], "150");
    form.OnRollScrolled(1, -3);
    EXPECT_EQ(form.txtRoll[1], "0");
}

// ---- Portable mode --------------------------------------------------------

class PortableSettingFormTest : public SettingFormTest {
protected:
    std::string IniPath() const { return settings.AppDir + kPortableFileName; }
    std::string OnDisk(const char* section, const char* name) const { return IniText(IniPath(), section, name); }
    void MakeIni(const std::string& content) {
        std::ofstream(PathFromUtf8(IniPath()), std::ios::binary) << content;
        FlushIniCache();
    }
};

TEST_F(PortableSettingFormTest, TickingMovesTheOptionsAndWritesThisOkToTheFileOnly) {
    SettingsStore store(reg, settings.AppDir);
    CreateMissingSettings(store);
    reg.SetDword(kSettingsRoot, kSettingKey, "LaunchMode", 0);
    form.OnLoad(store, settings);
    EXPECT_FALSE(form.chkPortable);
    const auto registryBefore = reg.values;

    form.chkPortable = true;
    form.chkMin[0] = true;
    form.txtHot = "P";
    FormOutcome out = form.OnOk(store, settings.AppDir);
    EXPECT_EQ(out.messageAfter, kMsgSettingsSaved);
    EXPECT_TRUE(store.Portable());
    EXPECT_EQ(reg.values, registryBefore) << "no option, and no autorun entry, may reach the registry";
    EXPECT_EQ(OnDisk("Setting", "LaunchMode"), "0");
    EXPECT_EQ(OnDisk("Setting", "MinAfterLaunch"), "1");
    EXPECT_EQ(OnDisk("Data", "HKUseKey"), "P");

    // The next opening shows the box ticked, and clearing it goes back.
    SettingForm again;
    again.OnLoad(store, settings);
    EXPECT_TRUE(again.chkPortable);
    EXPECT_TRUE(again.chkMin[0]);
    again.chkPortable = false;
    again.chkMin[1] = true;
    out = again.OnOk(store, settings.AppDir);
    EXPECT_EQ(out.messageAfter, kMsgSettingsSaved);
    EXPECT_FALSE(store.Portable());
    EXPECT_FALSE(Exists(IniPath()));
    EXPECT_EQ(Dw("MinAfterLaunch"), 1u);
    EXPECT_EQ(Dw("MinAfterClickClose"), 1u);
    EXPECT_EQ(reg.QueryString(kSettingsRoot, kDataKey, "HKUseKey"), "P");
}

TEST_F(PortableSettingFormTest, PortableLauncherTouchesTheAutorunEntryOnlyWhenAsked) {
    MakeIni("[Setting]\r\nLaunchOnStart=0\r\n");
    SettingsStore store(reg, settings.AppDir);
    form.OnLoad(store, settings);
    (void)form.OnOk(store, settings.AppDir);
    EXPECT_FALSE(Autorun());

    form.OnLoad(store, settings);
    form.chkOther[0] = true;
    (void)form.OnOk(store, settings.AppDir);
    EXPECT_EQ(Autorun(), settings.AppDir + "VT.exe");
    EXPECT_EQ(OnDisk("Setting", "LaunchOnStart"), "1");

    // Opened on another computer, the stick does not put itself there again.
    reg.DeleteValue(kSettingsRoot, kAutorunKey, kAutorunValue);
    form.OnLoad(store, settings);
    (void)form.OnOk(store, settings.AppDir);
    EXPECT_FALSE(Autorun());
}

TEST_F(PortableSettingFormTest, ReadOnlyFolderIsReportedNotCalledASuccess) {
    SettingsStore store(reg, settings.AppDir);
    form.OnLoad(store, settings);
    ReadOnlyFolder locked(dir.Path());
    if (!locked.Effective()) GTEST_SKIP() << "this machine cannot make a folder read-only";

    // Ticking the box: the move fails, the options stay in the registry.
    form.chkPortable = true;
    form.chkMin[0] = true;
    FormOutcome out = form.OnOk(store, settings.AppDir);
    EXPECT_EQ(out.messageAfter, kMsgPortableOnFailed);
    EXPECT_FALSE(store.Portable());
    EXPECT_EQ(Dw("MinAfterLaunch"), 1u);
    EXPECT_TRUE(out.applySettings);

    // Without error messages, nothing is shown; certainly no success.
    form.chkWarn[0] = false;
    out = form.OnOk(store, settings.AppDir);
    EXPECT_EQ(out.messageAfter, "");
}

TEST_F(PortableSettingFormTest, UnwritableFileKeepsTheOkInMemoryAndSaysSo) {
    MakeIni("[Setting]\r\nMinAfterLaunch=0\r\n");
    SettingsStore store(reg, settings.AppDir);
    int handlerCalls = 0;
    store.SetWriteFailedHandler([&] { ++handlerCalls; });
    form.OnLoad(store, settings);
    ReadOnlyFolder locked(dir.Path());
    if (!locked.Effective()) GTEST_SKIP() << "this machine cannot make a folder read-only";

    form.chkMin[0] = true;
    FormOutcome out = form.OnOk(store, settings.AppDir);
    EXPECT_EQ(out.messageAfter, kMsgSettingsNotSaved);
    EXPECT_EQ(handlerCalls, 0) << "the dialog reports it once, itself";
    EXPECT_EQ(ReadSettingDword(store, "MinAfterLaunch"), 1);
    EXPECT_EQ(OnDisk("Setting", "MinAfterLaunch"), "0");

    // Clearing the box cannot delete the file: the launcher stays portable.
    form.chkPortable = false;
    out = form.OnOk(store, settings.AppDir);
    EXPECT_EQ(out.messageAfter, kMsgPortableOffFailed);
    EXPECT_TRUE(store.Portable());
    EXPECT_EQ(ReadSettingDword(store, "MinAfterLaunch"), 1);
}

}  // namespace
}  // namespace vt
