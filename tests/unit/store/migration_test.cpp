#include <gtest/gtest.h>

#include <filesystem>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/ini.h"
#include "common/line_file.h"
#include "launcher/store/migration.h"
#include "launcher/store/password.h"
#include "launcher/store/store.h"
#include "platform/fake/fakes.h"
#include "tests/unit/temp_dir.h"

using namespace vt;
namespace fs = std::filesystem;

namespace {

constexpr const char* kSettings = "SOFTWARE\\Oskarn\\Vantrel\\Setting";
constexpr const char* kData = "SOFTWARE\\Oskarn\\Vantrel\\Data";
constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class MigrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = dir.Dir();
        fs::create_directories(PathFromUtf8(app + "DATA"));
    }
    std::string Old(const std::string& rel) { return app + "DATA/" + rel; }
    void Ini(const std::string& rel, const std::string& sec, const std::string& key, const std::string& value) {
        fs::create_directories(PathFromUtf8(Old(rel)).parent_path());
        ASSERT_TRUE(WriteIniString(Old(rel), sec, key, value));
    }
    uint32_t Dword(const char* key, const char* value) {
        return reg.QueryDword(RegRoot::LocalMachine, key, value).value_or(0xDEADBEEF);
    }
    std::string TeamFolder(int i) { return ResolveTeamFolder(app, i, ""); }

    // Two old teams: the first names its folder, the second relies on its section number.
    void MakeOldData() {
        Ini("TEAM.QRD", "Team", "Count", "2");
        Ini("TEAM.QRD", "1", "Name", "工具");
        Ini("TEAM.QRD", "1", "Note", "常用");
        Ini("TEAM.QRD", "1", "Team", "ABC");
        Ini("TEAM.QRD", "2", "Name", "网址");

        Ini("TEAMABC/ITEM.QRD", "Item", "Count", "2");
        Ini("TEAMABC/ITEM.QRD", "1", "Name", "记事本");
        Ini("TEAMABC/ITEM.QRD", "1", "Type", "1");
        Ini("TEAMABC/ITEM.QRD", "1", "Mode", "2");
        Ini("TEAMABC/ITEM.QRD", "1", "Note", "编辑");
        Ini("TEAMABC/ITEM.QRD", "1", "Path", "C:\\WINDOWS\\notepad.exe");
        Ini("TEAMABC/ITEM.QRD", "1", "Command", "a.txt");
        Ini("TEAMABC/ITEM.QRD", "1", "IconOld", "C:\\WINDOWS\\notepad.exe,2");
        Ini("TEAMABC/ITEM.QRD", "1", "Icon", "n.bmp");
        ASSERT_TRUE(WriteFileAtomic(PathFromUtf8(Old("TEAMABC/n.bmp")), "BMPDATA"));
        Ini("TEAMABC/ITEM.QRD", "2", "Name", "秘密");
        Ini("TEAMABC/ITEM.QRD", "2", "Type", "7");
        Ini("TEAMABC/ITEM.QRD", "2", "Mode", "1");
        Ini("TEAMABC/ITEM.QRD", "2", "Code", "pw");
        Ini("TEAMABC/ITEM.QRD", "2", "Path", "D:\\secret.doc");
        Ini("TEAMABC/ITEM.QRD", "2", "IconOld", "D:\\a,b.ico,0");
        Ini("TEAMABC/ITEM.QRD", "2", "Icon", "missing.bmp");

        Ini("TEAM2/ITEM.QRD", "Item", "Count", "2");
        Ini("TEAM2/ITEM.QRD", "1", "Name", "主页");
        Ini("TEAM2/ITEM.QRD", "1", "Type", "3");
        Ini("TEAM2/ITEM.QRD", "1", "Mode", "1");
        Ini("TEAM2/ITEM.QRD", "1", "Path", "http://example.invalid/");
        Ini("TEAM2/ITEM.QRD", "1", "IconOld", "[WEB],0");
        Ini("TEAM2/ITEM.QRD", "2", "Name", "信");
        Ini("TEAM2/ITEM.QRD", "2", "Type", "4");
        Ini("TEAM2/ITEM.QRD", "2", "Mode", "1");
        Ini("TEAM2/ITEM.QRD", "2", "Path", "mailto:x@example.invalid");
        Ini("TEAM2/ITEM.QRD", "2", "IconOld", "[MAIL],0");
    }

    TempDir dir;
    std::string app;
    FakeRegistry reg;
    FakePrompts prompts;
};

}  // namespace

TEST_F(MigrationTest, NothingWithoutOldData) {
    MigrationReport r = MigrateOldData(app, reg, prompts, true);
    EXPECT_EQ(r.result, MigrationResult::NothingToDo);
    EXPECT_TRUE(reg.values.empty());
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_FALSE(fs::exists(PathFromUtf8(app + "pDATA")));
}

TEST_F(MigrationTest, OptionsAreConverted) {
    Ini("TEAM.QRD", "Team", "Count", "0");
    Ini("SET.QRD", "Roll", "OnTeam", "-1");
    Ini("SET.QRD", "Roll", "TeamTick", "80");
    Ini("SET.QRD", "Warn", "OnError", "0");
    Ini("SET.QRD", "Warn", "OnStart", "-1");
    Ini("SET.QRD", "XY", "X", "1234");
    Ini("SET.QRD", "Path", "Team", "3");
    Ini("SET.QRD", "Path", "Dir", "C:\\我的文档");
    Ini("SET.QRD", "Run", "AutoRun", "-1");
    ASSERT_EQ(MigrateOldData(app, reg, prompts, true).result, MigrationResult::Done);

    EXPECT_EQ(Dword(kSettings, "AutoRollOnTeam"), 1u);
    EXPECT_EQ(Dword(kData, "RollTeamRate"), 80u);
    EXPECT_EQ(Dword(kSettings, "WarnOnError"), 0u);
    EXPECT_EQ(Dword(kSettings, "WarnBeforeLaunch"), 1u);
    EXPECT_EQ(Dword(kData, "mLeft"), 1234u);
    EXPECT_EQ(Dword(kData, "LastTeam"), 3u);
    // Defaults for what the old file lacks.
    EXPECT_EQ(Dword(kData, "RollItemRate"), 150u);
    EXPECT_EQ(Dword(kSettings, "HideInSide"), 1u);
    EXPECT_EQ(Dword(kSettings, "RememberLastTeam"), 0u);
    EXPECT_EQ(Dword(kSettings, "StandOnTop"), 1u);
    EXPECT_EQ(reg.QueryString(RegRoot::LocalMachine, kData, "rPath").value_or(""), "C:\\我的文档");
    EXPECT_EQ(reg.QueryString(RegRoot::LocalMachine, kRun, "Vantrel").value_or(""), app + "VT.exe");
    EXPECT_EQ(Dword(kSettings, "LaunchOnStart"), 1u);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgMigrationDone});
}

TEST_F(MigrationTest, TeamsAndItemsAreConverted) {
    MakeOldData();
    MigrationReport r = MigrateOldData(app, reg, prompts, true);
    ASSERT_EQ(r.result, MigrationResult::Done);
    EXPECT_EQ(r.oldDataFolder, "pDATA");
    EXPECT_TRUE(fs::exists(PathFromUtf8(app + "pDATA/TEAM.QRD")));
    EXPECT_TRUE(fs::exists(PathFromUtf8(app + "pDATA/TEAMABC/n.bmp")));
    EXPECT_FALSE(fs::exists(PathFromUtf8(app + "DATA/TEAM.QRD")));
    EXPECT_FALSE(reg.Has(RegRoot::LocalMachine, kRun, "Vantrel"));

    ASSERT_EQ(ReadTeamCount(app, prompts, true), 2);
    TeamRecord t0 = ReadTeamRecord(app, 0);
    EXPECT_EQ(t0.Name, "工具");
    EXPECT_EQ(t0.Note, "常用");
    EXPECT_FALSE(t0.Password);
    EXPECT_EQ(t0.Path.size(), 10u);
    std::string f0 = TeamFolder(0);
    ASSERT_TRUE(fs::is_directory(PathFromUtf8(f0)));
    ASSERT_EQ(ReadItemCount(f0, prompts, true), 2);

    ItemRecord a = ReadItemRecord(f0, 0);
    EXPECT_EQ(a.Name, "记事本");
    EXPECT_EQ(a.Type, 0);
    EXPECT_EQ(a.Mode, 1);
    EXPECT_EQ(a.Note, "编辑");
    EXPECT_EQ(a.IconIndex, 2);
    EXPECT_FALSE(a.Password);
    ItemTexts at = ReadItemTexts(f0, a, "");
    EXPECT_EQ(at.Path, "C:\\WINDOWS\\notepad.exe");
    EXPECT_EQ(at.Para, "a.txt");
    EXPECT_EQ(at.Icon, "C:\\WINDOWS\\notepad.exe");
    std::string pic = ResolveItemPicture(app, f0, a.Icon);
    ASSERT_FALSE(pic.empty());
    EXPECT_EQ(ReadFileBytes(PathFromUtf8(pic)).value_or(""), "BMPDATA");

    // The old item password becomes the key of its lines; no parameters, no line.
    ItemRecord b = ReadItemRecord(f0, 1);
    EXPECT_EQ(b.Type, 5);
    EXPECT_EQ(b.Mode, 0);
    EXPECT_TRUE(b.Password);
    EXPECT_EQ(b.Para, 0);
    EXPECT_EQ(ReadDataLine(PathSetFile(f0), b.Path), EncodePassword("D:\\secret.doc", "pw"));
    EXPECT_EQ(ReadItemTexts(f0, b, "pw").Path, "D:\\secret.doc");
    EXPECT_EQ(ReadItemTexts(f0, b, "pw").Icon, "D:\\a,b.ico") << "the index follows the last comma";
    // A missing old picture still gets a name; the panel falls back to the file picture.
    EXPECT_EQ(b.Icon.size(), 15u);
    EXPECT_EQ(ResolveItemPicture(app, f0, b.Icon), "");

    // Team 2 had no "Team" value: its items came from TEAM2.
    std::string f1 = TeamFolder(1);
    ASSERT_EQ(ReadItemCount(f1, prompts, true), 2);
    for (int i = 0; i < 2; ++i) {
        ItemRecord link = ReadItemRecord(f1, i);
        EXPECT_EQ(link.Type, 2) << i;
        EXPECT_EQ(ReadItemTexts(f1, link, "").Icon, "[LINK]") << i;
        EXPECT_EQ(link.Para, 0) << i;
    }
    EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgMigrationDone});
}

TEST_F(MigrationTest, AnEarlierOldDataFolderIsKept) {
    fs::create_directories(PathFromUtf8(app + "pDATA"));
    ASSERT_TRUE(WriteFileAtomic(PathFromUtf8(app + "pDATA/TEAM.QRD"), "earlier"));
    MakeOldData();
    MigrationReport r = MigrateOldData(app, reg, prompts, true);
    ASSERT_EQ(r.result, MigrationResult::Done);
    EXPECT_EQ(r.oldDataFolder, "pDATA1");
    EXPECT_EQ(ReadFileBytes(PathFromUtf8(app + "pDATA/TEAM.QRD")).value_or(""), "earlier");
    EXPECT_TRUE(fs::exists(PathFromUtf8(app + "pDATA1/TEAMABC/ITEM.QRD")));
    EXPECT_EQ(ReadTeamCount(app, prompts, true), 2);
    // Runs once: the next start finds nothing to do.
    EXPECT_EQ(MigrateOldData(app, reg, prompts, true).result, MigrationResult::NothingToDo);
}

TEST_F(MigrationTest, DamagedCountsAreRecoveredFromTheSections) {
    MakeOldData();
    Ini("TEAM.QRD", "Team", "Count", "zwei");
    ASSERT_TRUE(DeleteIniKey(Old("TEAMABC/ITEM.QRD"), "Item", "Count"));
    ASSERT_EQ(MigrateOldData(app, reg, prompts, true).result, MigrationResult::Done);
    ASSERT_EQ(ReadTeamCount(app, prompts, true), 2);
    EXPECT_EQ(ReadItemCount(TeamFolder(0), prompts, true), 2);
    EXPECT_EQ(ReadItemCount(TeamFolder(1), prompts, true), 2);
}

TEST_F(MigrationTest, AFailedMoveChangesNothing) {
    MakeOldData();
    // Every candidate name for the old data is taken by a file.
    ASSERT_TRUE(WriteFileAtomic(PathFromUtf8(app + "pDATA"), "x"));
    for (int i = 1; i < 1000; ++i) ASSERT_TRUE(WriteFileAtomic(PathFromUtf8(app + "pDATA" + std::to_string(i)), "x"));
    MigrationReport r = MigrateOldData(app, reg, prompts, true);
    EXPECT_EQ(r.result, MigrationResult::Failed);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgMigrationFailed});
    EXPECT_TRUE(fs::exists(PathFromUtf8(app + "DATA/TEAM.QRD")));
    EXPECT_TRUE(reg.values.empty());
}
