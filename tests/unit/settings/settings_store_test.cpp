#include "launcher/settings/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/atomic_file.h"
#include "common/ini.h"
#include "launcher/settings/settings.h"
#include "launcher/store/migration.h"
#include "platform/fake/fakes.h"
#include "tests/unit/settings/read_only_folder.h"
#include "tests/unit/temp_dir.h"

namespace vt {
namespace {

namespace fs = std::filesystem;
constexpr RegRoot kLM = RegRoot::LocalMachine;

// A registry that refuses to store one value, as a policy or a full hive may.
class RefusingRegistry : public FakeRegistry {
public:
    std::string refuse;
    long SetDword(RegRoot root, const std::string& key, const std::string& value, uint32_t data) override {
        if (value == refuse) return 5;
        return FakeRegistry::SetDword(root, key, value, data);
    }
};

class SettingsStoreTest : public ::testing::Test {
protected:
    std::string IniPath() const { return dir.Dir() + kPortableFileName; }
    // The file as the launcher keeps it: ANSI bytes.
    void MakeIni(const std::string& content = "") {
        std::ofstream(PathFromUtf8(IniPath()), std::ios::binary) << Utf8ToAnsi(content);
        FlushIniCache();
    }
    bool IniExists() const { return fs::exists(PathFromUtf8(IniPath())); }
    // What the file itself holds, read afresh from disk.
    std::string OnDisk(const char* section, const char* name) const {
        FlushIniCache();
        return ReadIniString(IniPath(), section, name, "<missing>");
    }

    TempDir dir;
    RefusingRegistry reg;
};

// ---- Choosing the backend -------------------------------------------------

TEST_F(SettingsStoreTest, WithoutTheFileEverythingIsTheRegistry) {
    SettingsStore store(reg, dir.Dir());
    EXPECT_FALSE(store.Portable());
    EXPECT_EQ(WriteSettingDword(store, "LaunchMode", 0), 0);
    EXPECT_EQ(WriteSettingString(store, "SkinPath", "绿色"), 0);
    EXPECT_EQ(reg.QueryDword(kLM, kSettingKey, "LaunchMode"), 0u);
    EXPECT_EQ(reg.QueryString(kLM, kSettingKey, "SkinPath"), "绿色");
    EXPECT_EQ(ReadSettingDword(store, "LaunchMode"), 0);
    EXPECT_FALSE(IniExists());
}

TEST_F(SettingsStoreTest, TheFileDecidesOnceAtStart) {
    MakeIni();
    SettingsStore store(reg, PathToUtf8(dir.Path()));  // no trailing separator
    EXPECT_TRUE(store.Portable());
    EXPECT_EQ(store.IniFile(), IniPath());

    // Removed behind its back, the launcher stays what it started as.
    SettingsStore other(reg, dir.Dir());
    fs::remove(PathFromUtf8(IniPath()));
    EXPECT_TRUE(other.Portable());
    EXPECT_EQ(WriteSettingDword(other, "ShowItemType", 2), 0);
    EXPECT_EQ(OnDisk("Setting", "ShowItemType"), "2");
    EXPECT_TRUE(reg.values.empty());
}

TEST_F(SettingsStoreTest, OnlyTheTwoOptionKeysGoToTheFile) {
    MakeIni();
    SettingsStore store(reg, dir.Dir());
    // Any spelling of the two keys the registry would take for them.
    EXPECT_EQ(store.SetDword(kLM, "software\\oskarn\\VANTREL\\setting\\", "StandOnTop", 0), 0);
    EXPECT_EQ(store.SetString(kLM, "\\SOFTWARE\\Oskarn\\Vantrel\\Data", "rPath", "D:\\工具"), 0);
    EXPECT_EQ(OnDisk("Setting", "StandOnTop"), "0");
    EXPECT_EQ(OnDisk("Data", "rPath"), "D:\\工具");

    // The autorun entry, other roots and other keys stay in the registry.
    EXPECT_EQ(SetAutorun(store, "E:\\VT\\", true), 0);
    EXPECT_EQ(store.SetDword(RegRoot::CurrentUser, kSettingKey, "StandOnTop", 1), 0);
    EXPECT_EQ(store.SetDword(kLM, "SOFTWARE\\Oskarn\\Vantrel", "Other", 3), 0);
    EXPECT_EQ(store.SetString(kLM, "SOFTWARE\\Oskarn\\Vantrel\\Setting\\Sub", "X", "y"), 0);
    EXPECT_EQ(reg.QueryString(kLM, kAutorunKey, kAutorunValue), "E:\\VT\\VT.exe");
    EXPECT_EQ(reg.values.size(), 4u);
    EXPECT_FALSE(reg.Has(kLM, kSettingKey, "StandOnTop"));
    EXPECT_EQ(store.QueryDword(RegRoot::CurrentUser, kSettingKey, "StandOnTop"), 1u);
    EXPECT_EQ(store.QueryDword(kLM, kSettingKey, "StandOnTop"), 0u);
    // Binary data has no place in the file and is refused rather than lost.
    EXPECT_NE(store.SetBinary(kLM, kDataKey, "Blob", "\x01\x02"), 0);
}

// ---- Values in the file ---------------------------------------------------

TEST_F(SettingsStoreTest, FirstPortableStartWritesEveryDefaultInOneFile) {
    MakeIni();
    SettingsStore store(reg, dir.Dir());
    EXPECT_FALSE(store.KeyExists(kLM, kDataKey));
    CreateMissingSettings(store);
    EXPECT_TRUE(store.KeyExists(kLM, kDataKey));
    EXPECT_TRUE(store.KeyExists(kLM, kSettingKey));

    struct Want {
        const char* section;
        const char* name;
        const char* text;
    };
    const Want wants[] = {
        {"Setting", "RememberMainPos", "0"},
        {"Setting", "RememberLastTeam", "0"},
        {"Setting", "ShowInMouse", "0"},
        {"Setting", "AutoRollOnTeam", "1"},
        {"Setting", "AutoRollOnItem", "1"},
        {"Setting", "WarnOnError", "1"},
        {"Setting", "WarnOnFormat", "1"},
        {"Setting", "WarnBeforeLaunch", "0"},
        {"Setting", "WarnOnDelete", "1"},
        {"Setting", "WarnOnExit", "0"},
        {"Setting", "WarnAfterDone", "1"},
        {"Setting", "StandOnTop", "1"},
        {"Setting", "HideInSide", "1"},
        {"Setting", "LaunchMode", "1"},
        {"Setting", "ShowItemType", "0"},
        {"Setting", "UseHotKey", "0"},
        {"Setting", "MinAfterLaunch", "0"},
        {"Setting", "MinAfterClickClose", "0"},
        {"Setting", "OnlyLaunchOne", "0"},
        {"Setting", "LaunchOnStart", "0"},
        {"Setting", "RememberPath", "1"},
        {"Setting", "ShowItemExSetting", "0"},
        {"Setting", "SkinPath", ""},
        {"Data", "mLeft", "0"},
        {"Data", "mTop", "0"},
        {"Data", "LastTeam", "-1"},
        {"Data", "RollTeamRate", "150"},
        {"Data", "RollItemRate", "150"},
        {"Data", "HKUseAlt", "0"},
        {"Data", "HKUseCtrl", "0"},
        {"Data", "HKUseShift", "0"},
        {"Data", "HKUseKey", ""},
        {"Data", "MainOpacity", "255"},
        {"Data", "MsgFrameColor", "32768"},
        {"Data", "MsgBackColor", "12648384"},
        {"Data", "MsgFontColor", "12582912"},
        {"Data", "MsgFontSize", "9"},
        {"Data", "MsgOpacity", "255"},
        {"Data", "rPath", ""},
    };
    ASSERT_EQ(std::size(wants), SettingTable().size());
    for (const Want& w : wants)
        EXPECT_EQ(OnDisk(w.section, w.name), w.text) << w.name;
    EXPECT_TRUE(reg.values.empty()) << "nothing of the options may reach the registry";

    // And the running program starts from exactly those defaults.
    Settings s;
    ApplyEnvironment env;
    env.programDir = dir.Dir();
    ASSERT_TRUE(ApplySettings(store, s, true, env).ok);
    EXPECT_EQ(s.CurrentTeam, -1);
    EXPECT_EQ(s.LaunchMode, 1);
    EXPECT_TRUE(s.StandOnTop && s.WarnOnError && s.AutoRollOnTeam);
    EXPECT_EQ(s.RollItemRate, 150);
}

TEST_F(SettingsStoreTest, ValuesComeBackAfterARestart) {
    MakeIni();
    {
        SettingsStore store(reg, dir.Dir());
        EXPECT_EQ(SetRegDword(store, kLM, kDataKey, "LastTeam", -1), 0);
        EXPECT_EQ(SetRegDword(store, kLM, kDataKey, "mLeft", -2147483647 - 1), 0);
        EXPECT_EQ(store.SetDword(kLM, kDataKey, "MsgBackColor", 0xFFFFFFFFu), 0);
        EXPECT_EQ(SetRegDword(store, kLM, kDataKey, "RollTeamRate", 32767), 0);
        EXPECT_EQ(WriteSettingString(store, "SkinPath", "蓝色卷轴"), 0);
        EXPECT_EQ(WriteSettingString(store, "HKUseKey", "Q"), 0);
        EXPECT_EQ(WriteSettingString(store, "rPath", "C:\\Program Files\\工具箱\\"), 0);
    }
    SettingsStore again(reg, dir.Dir());
    EXPECT_EQ(GetRegDword(again, kLM, kDataKey, "LastTeam", 5), -1);
    EXPECT_EQ(GetRegDword(again, kLM, kDataKey, "mLeft", 5), -2147483647 - 1);
    EXPECT_EQ(again.QueryDword(kLM, kDataKey, "MsgBackColor"), 0xFFFFFFFFu);
    EXPECT_EQ(ReadSettingDword(again, "RollTeamRate"), 32767);
    EXPECT_EQ(ReadSettingString(again, "SkinPath"), "蓝色卷轴");
    EXPECT_EQ(ReadSettingString(again, "HKUseKey"), "Q");
    EXPECT_EQ(ReadSettingString(again, "rPath"), "C:\\Program Files\\工具箱\\");
    // Deleting works like the registry's: gone, and a second delete is fine.
    EXPECT_EQ(DeleteRegValue(again, kLM, kDataKey, "rPath"), 0);
    EXPECT_EQ(DeleteRegValue(again, kLM, kDataKey, "rPath"), 0);
    EXPECT_EQ(OnDisk("Data", "rPath"), "<missing>");
    EXPECT_TRUE(reg.values.empty());
}

TEST_F(SettingsStoreTest, HandEditedValuesReadAsTheRegistryWouldHoldThem) {
    MakeIni(
        "; kept by hand\r\n[setting]\r\nLaunchMode = 0 \r\nStandOnTop=0x0\r\nShowItemType=two\r\n"
        "[Data]\r\nRollTeamRate=+200\r\nRollItemRate=99999999999\r\nHKUseKey=\r\n");
    SettingsStore store(reg, dir.Dir());
    EXPECT_EQ(ReadSettingDword(store, "LaunchMode"), 0);
    EXPECT_EQ(ReadSettingDword(store, "StandOnTop"), 0);
    EXPECT_EQ(ReadSettingDword(store, "RollTeamRate"), 200);
    // Not numbers: replaced by the default, as a value of another type is.
    EXPECT_EQ(ReadSettingDword(store, "ShowItemType"), 0);
    EXPECT_EQ(OnDisk("Setting", "ShowItemType"), "0");
    EXPECT_EQ(ReadSettingDword(store, "RollItemRate"), 150);
    // An empty text reads as missing and is given its default.
    EXPECT_EQ(ReadSettingString(store, "HKUseKey"), "");
    // The user's comment survives the rewrites.
    EXPECT_EQ(ReadFileBytes(PathFromUtf8(IniPath()))->rfind("; kept by hand\r\n", 0), 0u);

    const struct {
        const char* text;
        std::optional<uint32_t> value;
    } cases[] = {{"0", 0u},
                 {"-1", 0xFFFFFFFFu},
                 {"4294967295", 0xFFFFFFFFu},
                 {"4294967296", std::nullopt},
                 {"-2147483648", 0x80000000u},
                 {"-2147483649", std::nullopt},
                 {"0xC0FFC0", 0xC0FFC0u},
                 {"0x", std::nullopt},
                 {"", std::nullopt},
                 {"1 2", std::nullopt},
                 {"-", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(DwordFromIniText(c.text), c.value) << '"' << c.text << '"';
}

TEST_F(SettingsStoreTest, OldVersionOptionsAreConvertedIntoTheFileWhenPortable) {
    MakeIni();
    const std::string data = dir.Dir() + "DATA/";
    fs::create_directories(PathFromUtf8(data));
    ASSERT_TRUE(WriteIniString(data + "TEAM.QRD", "Team", "Count", "0"));
    ASSERT_TRUE(WriteIniString(data + "SET.QRD", "Warn", "OnError", "-1"));
    ASSERT_TRUE(WriteIniString(data + "SET.QRD", "Roll", "TeamTick", "200"));
    ASSERT_TRUE(WriteIniString(data + "SET.QRD", "Path", "Dir", "D:\\旧版"));
    ASSERT_TRUE(WriteIniString(data + "SET.QRD", "Run", "AutoRun", "-1"));
    SettingsStore store(reg, dir.Dir());
    FakePrompts prompts;
    (void)MigrateOldData(dir.Dir(), store, prompts, true);

    EXPECT_EQ(OnDisk("Setting", "WarnOnError"), "1");
    EXPECT_EQ(OnDisk("Data", "RollTeamRate"), "200");
    EXPECT_EQ(OnDisk("Data", "rPath"), "D:\\旧版");
    EXPECT_EQ(OnDisk("Setting", "LaunchOnStart"), "1");
    // Only the autorun entry the old version had goes to the registry.
    EXPECT_EQ(reg.QueryString(kLM, kAutorunKey, kAutorunValue), dir.Dir() + "VT.exe");
    EXPECT_EQ(reg.values.size(), 1u);
}

// ---- A file that cannot be written ----------------------------------------

TEST_F(SettingsStoreTest, ReadOnlyFolderKeepsTheOptionsInMemory) {
    MakeIni("[Setting]\r\nLaunchMode=1\r\nStandOnTop=1\r\n");
    SettingsStore store(reg, dir.Dir());
    int reports = 0;
    store.SetWriteFailedHandler([&] {
        ++reports;
        // The popup reads its look from the store: a missing value trying
        // its default again must not report a second time.
        (void)ReadSettingDword(store, "MsgFontSize");
    });
    const std::string before = *ReadFileBytes(PathFromUtf8(IniPath()));

    ReadOnlyFolder locked(dir.Path());
    if (!locked.Effective()) GTEST_SKIP() << "this machine cannot make a folder read-only";

    EXPECT_NE(WriteSettingDword(store, "LaunchMode", 0), 0);
    EXPECT_NE(WriteSettingString(store, "SkinPath", "绿色"), 0);
    EXPECT_EQ(reports, 1);
    EXPECT_TRUE(store.HasUnsavedChanges());
    // The running program keeps working with what it was told.
    EXPECT_EQ(ReadSettingDword(store, "LaunchMode"), 0);
    EXPECT_EQ(ReadSettingString(store, "SkinPath"), "绿色");
    EXPECT_EQ(ReadSettingDword(store, "StandOnTop"), 1);
    Settings s;
    ApplyEnvironment env;
    env.programDir = dir.Dir();
    ASSERT_TRUE(ApplySettings(store, s, false, env).ok);
    EXPECT_EQ(s.LaunchMode, 0);
    // The file on disk is the old one, whole.
    EXPECT_EQ(*ReadFileBytes(PathFromUtf8(IniPath())), before);
    EXPECT_TRUE(reg.values.empty());

    // A grouped write fails as one and leaves the report to the caller.
    {
        SettingsUpdate update(store);
        (void)WriteSettingDword(store, "ShowItemType", 2);
        EXPECT_FALSE(update.FinishQuietly());
    }
    EXPECT_EQ(reports, 1);

    // Once the folder takes writes again, the next one brings everything.
    locked.Release();
    EXPECT_EQ(WriteSettingDword(store, "HideInSide", 0), 0);
    EXPECT_FALSE(store.HasUnsavedChanges());
    EXPECT_EQ(OnDisk("Setting", "LaunchMode"), "0");
    EXPECT_EQ(OnDisk("Setting", "SkinPath"), "绿色");
    EXPECT_EQ(OnDisk("Setting", "ShowItemType"), "2");
    EXPECT_EQ(OnDisk("Setting", "HideInSide"), "0");
    EXPECT_EQ(OnDisk("Setting", "StandOnTop"), "1");
}

// ---- Moving between the registry and the file -----------------------------

TEST_F(SettingsStoreTest, MoveToFileCopiesEveryOptionAndLeavesTheRegistryAlone) {
    reg.SetDword(kLM, kSettingKey, "LaunchMode", 0);
    reg.SetDword(kLM, kDataKey, "LastTeam", 0xFFFFFFFEu);
    reg.SetString(kLM, kSettingKey, "SkinPath", "蓝色卷轴");
    reg.SetString(kLM, kDataKey, "rPath", "D:\\下载\\");
    reg.SetString(kLM, kDataKey, "HKUseKey", "");
    reg.SetString(kLM, kSettingKey, "StandOnTop", "wrong type");
    const auto registryBefore = reg.values;

    SettingsStore store(reg, dir.Dir());
    ASSERT_TRUE(store.MoveToFile());
    EXPECT_TRUE(store.Portable());
    EXPECT_EQ(reg.values, registryBefore);

    EXPECT_EQ(OnDisk("Setting", "LaunchMode"), "0");
    EXPECT_EQ(OnDisk("Data", "LastTeam"), "-2");
    EXPECT_EQ(OnDisk("Setting", "SkinPath"), "蓝色卷轴");
    EXPECT_EQ(OnDisk("Data", "rPath"), "D:\\下载\\");
    // Missing, empty or unreadable values go over as what the launcher reads for them.
    EXPECT_EQ(OnDisk("Data", "HKUseKey"), "");
    EXPECT_EQ(OnDisk("Setting", "StandOnTop"), "1");
    EXPECT_EQ(OnDisk("Data", "MsgBackColor"), "12648384");
    for (const SettingDef& d : SettingTable())
        EXPECT_NE(OnDisk(d.key == std::string(kDataKey) ? "Data" : "Setting", d.name), "<missing>") << d.name;

    // From now on the options live in the file only.
    EXPECT_EQ(WriteSettingDword(store, "LaunchMode", 1), 0);
    EXPECT_EQ(OnDisk("Setting", "LaunchMode"), "1");
    EXPECT_EQ(reg.values, registryBefore);
    // A second start finds the file and is portable too.
    EXPECT_TRUE(SettingsStore(reg, dir.Dir()).Portable());
}

TEST_F(SettingsStoreTest, MoveToFileThatCannotBeDoneChangesNothing) {
    reg.SetDword(kLM, kSettingKey, "LaunchMode", 0);
    SettingsStore store(reg, dir.Dir());
    {
        ReadOnlyFolder locked(dir.Path());
        if (!locked.Effective()) GTEST_SKIP() << "this machine cannot make a folder read-only";
        EXPECT_FALSE(store.MoveToFile());
    }
    EXPECT_FALSE(store.Portable());
    EXPECT_FALSE(IniExists());

    // A value the file cannot hold as it is: longer than a profile value reads
    // back, or with characters the code page lacks. Refused, not cut.
    for (const std::string& path : {std::string(300, 'p'), std::string("D:\\\xF0\x9F\x98\x80")}) {
        reg.SetString(kLM, kDataKey, "rPath", path);
        EXPECT_FALSE(store.MoveToFile());
        EXPECT_FALSE(store.Portable());
        EXPECT_FALSE(IniExists());
    }
    EXPECT_EQ(WriteSettingDword(store, "LaunchMode", 1), 0);
    EXPECT_EQ(reg.QueryDword(kLM, kSettingKey, "LaunchMode"), 1u);

    // A file someone left there is put back as it was.
    reg.SetString(kLM, kDataKey, "rPath", std::string(300, 'p'));
    fs::create_directories(dir.Path() / "sub");
    SettingsStore other(reg, dir.Dir() + "sub/");
    std::ofstream(dir.Path() / "sub" / kPortableFileName, std::ios::binary) << "[Mine]\nA=1\n";
    FlushIniCache();
    EXPECT_FALSE(other.MoveToFile());
    EXPECT_EQ(*ReadFileBytes(dir.Path() / "sub" / kPortableFileName), "[Mine]\nA=1\n");
}

TEST_F(SettingsStoreTest, MoveToRegistryWritesEverythingThenDropsTheFile) {
    MakeIni("[Setting]\r\nLaunchMode=0\r\nSkinPath=蓝色卷轴\r\n[Data]\r\nLastTeam=3\r\n");
    SettingsStore store(reg, dir.Dir());
    ASSERT_TRUE(store.Portable());
    ASSERT_TRUE(store.MoveToRegistry());
    EXPECT_FALSE(store.Portable());
    EXPECT_FALSE(IniExists());
    EXPECT_EQ(reg.QueryDword(kLM, kSettingKey, "LaunchMode"), 0u);
    EXPECT_EQ(reg.QueryString(kLM, kSettingKey, "SkinPath"), "蓝色卷轴");
    EXPECT_EQ(reg.QueryDword(kLM, kDataKey, "LastTeam"), 3u);
    EXPECT_EQ(reg.QueryDword(kLM, kDataKey, "MsgFontColor"), 0xC00000u);
    EXPECT_EQ(reg.values.size(), SettingTable().size());
    EXPECT_EQ(WriteSettingDword(store, "LaunchMode", 1), 0);
    EXPECT_EQ(reg.QueryDword(kLM, kSettingKey, "LaunchMode"), 1u);
    EXPECT_FALSE(IniExists());

    // And back again: a round trip loses nothing.
    ASSERT_TRUE(store.MoveToFile());
    EXPECT_EQ(OnDisk("Setting", "SkinPath"), "蓝色卷轴");
    EXPECT_EQ(OnDisk("Data", "LastTeam"), "3");
    EXPECT_EQ(OnDisk("Setting", "LaunchMode"), "1");
}

TEST_F(SettingsStoreTest, MoveToRegistryRescuesWhatTheFileCouldNotTake) {
    MakeIni("[Setting]\r\nLaunchMode=1\r\n");
    SettingsStore store(reg, dir.Dir());
    {
        ReadOnlyFolder locked(dir.Path());
        if (!locked.Effective()) GTEST_SKIP() << "this machine cannot make a folder read-only";
        EXPECT_NE(WriteSettingDword(store, "LaunchMode", 0), 0);
        // The file cannot be deleted either: the move must not happen halfway.
        EXPECT_FALSE(store.MoveToRegistry());
        EXPECT_TRUE(store.Portable());
        EXPECT_TRUE(reg.values.empty()) << "the registry must be put back as it was";
        EXPECT_EQ(ReadSettingDword(store, "LaunchMode"), 0);
    }
    ASSERT_TRUE(store.MoveToRegistry());
    EXPECT_EQ(reg.QueryDword(kLM, kSettingKey, "LaunchMode"), 0u);
    EXPECT_FALSE(store.HasUnsavedChanges());
}

TEST_F(SettingsStoreTest, MoveToRegistryRefusedHalfwayPutsTheRegistryBack) {
    reg.SetDword(kLM, kSettingKey, "RememberMainPos", 7);
    reg.refuse = "WarnOnError";  // well after RememberMainPos in the table
    MakeIni("[Setting]\r\nRememberMainPos=1\r\nLaunchMode=0\r\n");
    SettingsStore store(reg, dir.Dir());
    EXPECT_FALSE(store.MoveToRegistry());
    EXPECT_TRUE(store.Portable());
    EXPECT_TRUE(IniExists());
    EXPECT_EQ(reg.QueryDword(kLM, kSettingKey, "RememberMainPos"), 7u);
    EXPECT_EQ(reg.values.size(), 1u);
    EXPECT_EQ(ReadSettingDword(store, "LaunchMode"), 0);
}

}  // namespace
}  // namespace vt
