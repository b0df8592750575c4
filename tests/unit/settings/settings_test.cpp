#include "launcher/settings/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/fake/fakes.h"
#include "tests/unit/temp_dir.h"

namespace vt {
namespace {

constexpr RegRoot kLM = RegRoot::LocalMachine;

std::optional<int32_t> StoredDword(FakeRegistry& reg, const char* key, const char* value) {
    auto v = reg.QueryDword(kLM, key, value);
    if (!v) return std::nullopt;
    return static_cast<int32_t>(*v);
}

// ---- Registry operations --------------------------------------------------

TEST(SettingsRegistryOps, MissingDwordIsCreatedWithDefault) {
    FakeRegistry reg;
    EXPECT_EQ(GetRegDword(reg, kLM, kDataKey, "LastTeam", -1), -1);
    EXPECT_EQ(StoredDword(reg, kDataKey, "LastTeam"), -1);
    // Once stored, the stored number wins over any default.
    EXPECT_EQ(GetRegDword(reg, kLM, kDataKey, "LastTeam", 7), -1);
}

TEST(SettingsRegistryOps, DwordOfAnotherTypeIsReplacedByDefault) {
    FakeRegistry reg;
    reg.SetString(kLM, kSettingKey, "LaunchMode", "0");
    EXPECT_EQ(GetRegDword(reg, kLM, kSettingKey, "LaunchMode", 1), 1);
    EXPECT_EQ(StoredDword(reg, kSettingKey, "LaunchMode"), 1);
}

TEST(SettingsRegistryOps, FailedWriteStillReturnsDefault) {
    FakeRegistry reg;
    reg.failStatus = 5;
    EXPECT_EQ(GetRegDword(reg, kLM, kSettingKey, "StandOnTop", 1), 1);
    EXPECT_EQ(GetRegString(reg, kLM, kSettingKey, "SkinPath", "x"), "x");
    EXPECT_TRUE(reg.values.empty());
    EXPECT_EQ(SetRegDword(reg, kLM, kSettingKey, "StandOnTop", 0), 5);
    EXPECT_EQ(SetRegString(reg, kLM, kSettingKey, "SkinPath", "a"), 5);
}

TEST(SettingsRegistryOps, StringReadingRules) {
    struct Case {
        const char* name;
        std::optional<std::string> stored;
        const char* def;
        const char* expectRead;
        const char* expectStored;
    };
    const Case cases[] = {
        {"missing value gets default", std::nullopt, "dflt", "dflt", "dflt"},
        {"empty value gets default", std::string(), "dflt", "dflt", "dflt"},
        {"stored text wins", std::string("皮肤A"), "dflt", "皮肤A", "皮肤A"},
        {"text ends at first NUL", std::string("ab\0cd", 5), "dflt", "ab", nullptr},
        {"leading NUL reads as empty", std::string("\0x", 2), "dflt", "dflt", "dflt"},
        {"missing with empty default", std::nullopt, "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRegistry reg;
        if (c.stored) reg.SetString(kLM, kDataKey, "HKUseKey", *c.stored);
        EXPECT_EQ(GetRegString(reg, kLM, kDataKey, "HKUseKey", c.def), c.expectRead);
        if (c.expectStored) {
            EXPECT_EQ(reg.QueryString(kLM, kDataKey, "HKUseKey"), std::string(c.expectStored));
        }
    }
}

TEST(SettingsRegistryOps, LongStringIsReadWhole) {
    FakeRegistry reg;
    std::string longPath(400, 'p');
    reg.SetString(kLM, kDataKey, "rPath", longPath);
    EXPECT_EQ(GetRegString(reg, kLM, kDataKey, "rPath", ""), longPath);
}

TEST(SettingsRegistryOps, DeleteOnMissingKeyIsSuccess) {
    FakeRegistry reg;
    EXPECT_EQ(DeleteRegValue(reg, kLM, kAutorunKey, kAutorunValue), 0);
    SetAutorun(reg, "C:\\VT\\", true);
    EXPECT_EQ(reg.QueryString(kLM, kAutorunKey, kAutorunValue), std::string("C:\\VT\\VT.exe"));
    EXPECT_EQ(SetAutorun(reg, "C:\\VT\\", false), 0);
    EXPECT_FALSE(reg.Has(kLM, kAutorunKey, kAutorunValue));
}

// ---- The settings table ---------------------------------------------------

TEST(SettingsTable, NamesAreUniqueAndFoundCaseInsensitively) {
    auto table = SettingTable();
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(FindSetting(table[i].name), &table[i]);
        for (size_t j = i + 1; j < table.size(); ++j)
            EXPECT_NE(std::string(table[i].name), std::string(table[j].name));
    }
    EXPECT_EQ(FindSetting("launchmode"), FindSetting("LaunchMode"));
    EXPECT_EQ(FindSetting("NoSuchValue"), nullptr);
}

TEST(SettingsTable, UnknownNamesAreNeitherReadNorWritten) {
    FakeRegistry reg;
    EXPECT_EQ(ReadSettingDword(reg, "NoSuchValue"), 0);
    EXPECT_EQ(ReadSettingString(reg, "LaunchMode"), "");  // a DWORD asked as text
    EXPECT_NE(WriteSettingDword(reg, "SkinPath", 1), 0);  // a string written as DWORD
    EXPECT_NE(WriteSettingString(reg, "NoSuchValue", "x"), 0);
    EXPECT_TRUE(reg.values.empty());
}

TEST(SettingsTable, FirstStartCreatesEveryValueWithItsDefault) {
    FakeRegistry reg;
    CreateMissingSettings(reg);
    struct Expect {
        const char* key;
        const char* name;
        int32_t value;
    };
    const Expect dwords[] = {
        {kSettingKey, "RememberMainPos", 0}, {kSettingKey, "AutoRollOnTeam", 1},   {kSettingKey, "WarnOnError", 1},
        {kSettingKey, "WarnOnDelete", 1},    {kSettingKey, "WarnOnExit", 0},       {kSettingKey, "StandOnTop", 1},
        {kSettingKey, "HideInSide", 1},      {kSettingKey, "LaunchMode", 1},       {kSettingKey, "RememberPath", 1},
        {kDataKey, "LastTeam", -1},          {kDataKey, "RollTeamRate", 150},      {kDataKey, "MainOpacity", 255},
        {kDataKey, "MsgFrameColor", 0x8000}, {kDataKey, "MsgBackColor", 0xC0FFC0}, {kDataKey, "MsgFontColor", 0xC00000},
        {kDataKey, "MsgFontSize", 9},        {kDataKey, "MsgOpacity", 255},
    };
    for (const Expect& e : dwords)
        EXPECT_EQ(StoredDword(reg, e.key, e.name), e.value) << e.name;
    EXPECT_EQ(reg.QueryString(kLM, kSettingKey, "SkinPath"), std::string());
    EXPECT_EQ(reg.QueryString(kLM, kDataKey, "HKUseKey"), std::string());
    EXPECT_EQ(reg.values.size(), SettingTable().size());

    // A second pass keeps what the user changed.
    reg.SetDword(kLM, kSettingKey, "LaunchMode", 0);
    CreateMissingSettings(reg);
    EXPECT_EQ(StoredDword(reg, kSettingKey, "LaunchMode"), 0);
}

// ---- ApplySettings --------------------------------------------------------

class ApplySettingsTest : public ::testing::Test {
protected:
    ApplyEnvironment Env() const {
        ApplyEnvironment env;
        env.programDir = dir.Dir();
        env.screenWidth = 19200;
        env.screenHeight = 12000;
        env.windowWidth = 4200;
        env.windowHeight = 7000;
        return env;
    }
    void Set(const char* name, int32_t v) { ASSERT_EQ(WriteSettingDword(reg, name, v), 0); }
    void SetText(const char* name, const std::string& v) { ASSERT_EQ(WriteSettingString(reg, name, v), 0); }

    TempDir dir;
    FakeRegistry reg;
    Settings s;
};

TEST_F(ApplySettingsTest, FirstStartOnCleanMachine) {
    ApplyResult r = ApplySettings(reg, s, true, Env());
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "DATA"));
    EXPECT_EQ(s.AppDir, dir.Dir());
    EXPECT_EQ(r.moveTo, (WindowPosition{7500, 2500}));
    EXPECT_EQ(s.CurrentTeam, -1);
    EXPECT_EQ(s.CurrentItem, -1);
    EXPECT_EQ(r.lockTooltip, std::string(kTipOnTopEnabled));
    EXPECT_EQ(r.hideTimerEnabled, true);
    EXPECT_EQ(r.rollTeamInterval, 150);
    EXPECT_EQ(r.rollItemInterval, 150);
    EXPECT_EQ(s.LaunchMode, 1);
    EXPECT_TRUE(s.WarnOnError && s.WarnOnFormat && s.WarnAfterDone && s.WarnOnDelete);
    EXPECT_FALSE(s.WarnBeforeLaunch || s.WarnOnExit || s.ShowInMouse);
    EXPECT_FALSE(r.registerHotKey);
    EXPECT_FALSE(r.unregisterHotKey);
    // Every value it read now exists, with its default.
    for (const char* name :
         {"RememberMainPos", "RememberLastTeam", "ShowInMouse", "AutoRollOnTeam", "RollTeamRate", "AutoRollOnItem",
          "RollItemRate", "WarnOnError", "WarnOnFormat", "WarnBeforeLaunch", "WarnOnDelete", "WarnOnExit",
          "WarnAfterDone", "StandOnTop", "HideInSide", "LaunchMode", "ShowItemType", "UseHotKey"}) {
        const SettingDef* d = FindSetting(name);
        EXPECT_EQ(StoredDword(reg, d->key, d->name), d->dwordDefault) << name;
    }
}

TEST_F(ApplySettingsTest, AppDirGetsTrailingSeparator) {
    ApplyEnvironment env = Env();
    env.programDir = PathToUtf8(dir.Path());
    ASSERT_TRUE(ApplySettings(reg, s, true, env).ok);
    EXPECT_EQ(s.AppDir, dir.Dir());
}

TEST_F(ApplySettingsTest, DataFolderThatIsAFileFailsAtOnce) {
    std::ofstream(dir.Path() / "DATA") << "not a folder";
    ApplyResult r = ApplySettings(reg, s, true, Env());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, kMsgInitFailed);
    EXPECT_FALSE(r.moveTo);
    EXPECT_FALSE(r.lockTooltip);
    EXPECT_TRUE(reg.values.empty());
}

TEST_F(ApplySettingsTest, RememberedPositionWithoutValuesIsTopLeft) {
    Set("RememberMainPos", 1);
    ApplyResult r = ApplySettings(reg, s, true, Env());
    EXPECT_EQ(r.moveTo, (WindowPosition{0, 0}));
    EXPECT_EQ(StoredDword(reg, kDataKey, "mLeft"), 0);

    Set("mLeft", -300);  // off-screen positions are used as stored
    Set("mTop", 90000);
    r = ApplySettings(reg, s, true, Env());
    EXPECT_EQ(r.moveTo, (WindowPosition{-300, 90000}));
}

TEST_F(ApplySettingsTest, LastTeamOnlyWhenRemembered) {
    Set("LastTeam", 3);
    EXPECT_EQ(ApplySettings(reg, s, true, Env()).ok, true);
    EXPECT_EQ(s.CurrentTeam, -1);
    Set("RememberLastTeam", 1);
    ApplySettings(reg, s, true, Env());
    EXPECT_EQ(s.CurrentTeam, 3);
    // A later call (after the settings dialog) keeps the team and position.
    s.CurrentTeam = 1;
    ApplyResult r = ApplySettings(reg, s, false, Env());
    EXPECT_EQ(s.CurrentTeam, 1);
    EXPECT_FALSE(r.moveTo);
}

TEST_F(ApplySettingsTest, OneByteModesKeepOddValues) {
    Set("LaunchMode", 7);
    Set("ShowItemType", 2);
    ASSERT_TRUE(ApplySettings(reg, s, true, Env()).ok);
    EXPECT_EQ(s.LaunchMode, 7);
    EXPECT_EQ(s.ShowItemType, 2);
}

TEST_F(ApplySettingsTest, FlagsAndTooltipFollowRegistry) {
    Set("StandOnTop", 0);
    Set("HideInSide", 0);
    Set("WarnOnError", 0);
    Set("ShowInMouse", 1);
    Set("AutoRollOnItem", 0);
    Set("RollItemRate", 40);
    Set("MinAfterLaunch", 1);
    ApplyResult r = ApplySettings(reg, s, false, Env());
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.lockTooltip, std::string(kTipOnTopDisabled));
    EXPECT_EQ(r.hideTimerEnabled, false);
    EXPECT_FALSE(s.StandOnTop);
    EXPECT_FALSE(s.WarnOnError);
    EXPECT_TRUE(s.ShowInMouse);
    EXPECT_FALSE(s.AutoRollOnItem);
    EXPECT_EQ(r.rollItemInterval, 40);
    EXPECT_TRUE(s.MinAfterLaunch);
}

TEST_F(ApplySettingsTest, HotKeyRequests) {
    struct Case {
        const char* key;
        int alt, ctrl, shift;
        uint32_t mods;
        uint32_t code;
    };
    const Case cases[] = {
        {"a", 0, 0, 0, 0, 0x41}, {"5", 1, 0, 0, 1, 0x35}, {"zq", 0, 1, 0, 2, 0x5A},
        {"Q", 1, 1, 1, 7, 0x51}, {"-", 0, 0, 1, 4, 0x2D},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        FakeRegistry fresh;
        reg = fresh;
        Set("UseHotKey", 1);
        Set("HKUseAlt", c.alt);
        Set("HKUseCtrl", c.ctrl);
        Set("HKUseShift", c.shift);
        SetText("HKUseKey", c.key);
        ApplyResult r = ApplySettings(reg, s, false, Env());
        ASSERT_TRUE(r.ok);
        ASSERT_TRUE(r.registerHotKey);
        EXPECT_EQ(r.registerHotKey->modifiers, c.mods);
        EXPECT_EQ(r.registerHotKey->key, c.code);
    }
}

TEST_F(ApplySettingsTest, HotKeyReRegistrationDropsTheOldOne) {
    Set("UseHotKey", 1);
    SetText("HKUseKey", "k");
    s.HotKeyRegistered = true;
    ApplyResult r = ApplySettings(reg, s, false, Env());
    EXPECT_TRUE(r.unregisterHotKey);
    EXPECT_TRUE(r.registerHotKey);

    // Switched off: the registration is left alone.
    Set("UseHotKey", 0);
    r = ApplySettings(reg, s, false, Env());
    EXPECT_FALSE(r.unregisterHotKey);
    EXPECT_FALSE(r.registerHotKey);
}

TEST_F(ApplySettingsTest, EmptyHotKeyFailsAfterEverythingElseApplied) {
    Set("UseHotKey", 1);
    Set("StandOnTop", 0);
    Set("LaunchMode", 0);
    s.HotKeyRegistered = true;
    ApplyResult r = ApplySettings(reg, s, true, Env());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, kMsgInitFailed);
    EXPECT_FALSE(r.registerHotKey);
    EXPECT_TRUE(r.unregisterHotKey);
    // Read before the failure, so applied.
    EXPECT_TRUE(r.moveTo);
    EXPECT_EQ(r.lockTooltip, std::string(kTipOnTopDisabled));
    EXPECT_FALSE(s.StandOnTop);
    EXPECT_EQ(s.LaunchMode, 0);
}

TEST_F(ApplySettingsTest, NonAsciiHotKeyIsNotRegisteredAndNotAFailure) {
    Set("UseHotKey", 1);
    SetText("HKUseKey", "键");
    ApplyResult r = ApplySettings(reg, s, false, Env());
    EXPECT_TRUE(r.ok);
    EXPECT_FALSE(r.registerHotKey);
}

TEST_F(ApplySettingsTest, ValuesThatCannotBeAppliedStopAtTheirStep) {
    struct Case {
        const char* name;
        int32_t value;
        bool rollTeamSet, tooltipSet;
    };
    const Case cases[] = {
        {"RollTeamRate", -5, false, false},
        {"RollItemRate", 70000, true, false},
        {"LaunchMode", 256, true, true},
        {"ShowItemType", -1, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRegistry fresh;
        reg = fresh;
        Settings fresh_s;
        s = fresh_s;
        Set("WarnOnError", 0);
        Set(c.name, c.value);
        ApplyResult r = ApplySettings(reg, s, false, Env());
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, kMsgInitFailed);
        EXPECT_EQ(r.rollTeamInterval.has_value(), c.rollTeamSet);
        EXPECT_EQ(r.lockTooltip.has_value(), c.tooltipSet);
        // WarnOnError comes after the rates: applied only when they passed.
        EXPECT_EQ(s.WarnOnError, !c.tooltipSet);
    }
}

}  // namespace
}  // namespace vt
