#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

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

    // Every file under a folder, relative name -> bytes.
    static std::map<std::string, std::string> Tree(const std::string& folder) {
        std::map<std::string, std::string> files;
        fs::path root = PathFromUtf8(folder);
        if (!fs::exists(root)) return files;
        for (auto& e : fs::recursive_directory_iterator(root)) {
            std::string rel = PathToUtf8(fs::relative(e.path(), root));
            files[rel] = e.is_directory() ? "<dir>" : ReadFileBytes(e.path()).value_or("<unreadable>");
        }
        return files;
    }
    // Names directly in the program folder.
    std::set<std::string> TopLevel() {
        std::set<std::string> names;
        for (auto& e : fs::directory_iterator(PathFromUtf8(app)))
            names.insert(PathToUtf8(e.path().filename()));
        return names;
    }

    // The converted store as a user sees it, with the random folder and
    // picture names replaced by what they hold, and the settings written.
    std::string Dump() { return DataDump() + Settings(); }
    std::string Settings() {
        std::string out;
        for (auto& [k, v] : reg.values) {
            std::string text =
                std::holds_alternative<uint32_t>(v) ? std::to_string(std::get<uint32_t>(v)) : std::get<std::string>(v);
            if (text.rfind(app, 0) == 0) text = "<app>/" + text.substr(app.size());
            out += k + "=" + text + "\n";
        }
        return out;
    }
    std::string DataDump() {
        FlushIniCache();
        std::string out;
        const int teams = ReadTeamCount(app, prompts, false);
        out += "teams " + std::to_string(teams) + "\n";
        for (int t = 0; t < teams; ++t) {
            TeamRecord tr = ReadTeamRecord(app, t);
            std::string f = TeamFolder(t);
            out += "team " + tr.Name + "|" + tr.Note + "|" + (tr.Password ? "pw" : "-") + "|" +
                   (fs::is_directory(PathFromUtf8(f)) ? "dir" : "nodir") + "\n";
            const int items = ReadItemCount(f, prompts, false);
            int pictures = 0;
            for (int i = 0; i < items; ++i) {
                ItemRecord r = ReadItemRecord(f, i);
                std::string pic = ResolveItemPicture(app, f, r.Icon);
                pictures += pic.empty() ? 0 : 1;
                out += "  item " + r.Name + "|" + std::to_string(r.Type) + "|" + std::to_string(r.Mode) + "|" + r.Note +
                       "|" + ReadDataLine(PathSetFile(f), r.Path) + "|" + ReadDataLine(ParaSetFile(f), r.Para) + "|" +
                       std::to_string(r.IconIndex) + "|" + ReadDataLine(IconSetFile(f), r.IconPath) + "|" +
                       (r.Password ? "pw" : "-") + "|" + std::to_string(r.Icon.size()) + "|" +
                       (pic.empty() ? "nopic" : ReadFileBytes(PathFromUtf8(pic)).value_or("?")) + "\n";
            }
            // Nothing stray beside what the items name: the lists, their
            // lines and one picture per item that had one.
            size_t files = 0;
            for (auto& e : fs::directory_iterator(PathFromUtf8(f)))
                files += e.is_regular_file() ? 1 : 100;
            out += "  files " + std::to_string(files) + " pictures " + std::to_string(pictures) + "\n";
        }
        size_t entries = 0;
        for (auto& e : fs::directory_iterator(PathFromUtf8(app + "DATA")))
            entries += e.is_directory() ? 1 : 0;
        out += "folders " + std::to_string(entries) + "\n";
        return out;
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
    for (int i = 1; i < 1000; ++i)
        std::ofstream(PathFromUtf8(app + "pDATA" + std::to_string(i))) << "x";
    MigrationReport r = MigrateOldData(app, reg, prompts, true);
    EXPECT_EQ(r.result, MigrationResult::Failed);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgMigrationFailed});
    EXPECT_TRUE(fs::exists(PathFromUtf8(app + "DATA/TEAM.QRD")));
    EXPECT_TRUE(reg.values.empty());
}

namespace {

// A run that stops or fails at one change, counting the changes it is asked about.
MigrationHooks At(int change, MigrationChange what, int* asked = nullptr, int stopAfter = -1) {
    MigrationHooks h;
    h.beforeChange = [=](int k) {
        if (asked) *asked = k + 1;
        if (k == change) return what;
        if (k == stopAfter) return MigrationChange::Stop;
        return MigrationChange::Make;
    };
    return h;
}

}  // namespace

class MigrationInterruptTest : public MigrationTest {
protected:
    // The small store of MakeOldData with options that reach the autorun value.
    void MakeStore(const std::string& where) {
        if (original.empty()) {
            app = dir.Dir() + "template/";
            fs::create_directories(PathFromUtf8(app + "DATA"));
            MakeOldData();
            Ini("SET.QRD", "Roll", "OnTeam", "-1");
            Ini("SET.QRD", "Run", "AutoRun", "-1");
            Ini("SET.QRD", "Path", "Dir", "C:\\旧");
            original = Tree(app + "DATA");
        }
        const std::string from = dir.Dir() + "template/";
        app = where;
        reg = FakeRegistry();
        fs::create_directories(PathFromUtf8(app));
        fs::copy(PathFromUtf8(from), PathFromUtf8(app), fs::copy_options::recursive);
    }
    // What the next start does before the conversion: ApplySettings makes DATA
    // when it is missing.
    MigrationReport NextStart() {
        fs::create_directories(PathFromUtf8(app + "DATA"));
        return ConvertOldData(app, reg);
    }
    // Changes 4.. are the settings, one each; a refused one leaves its
    // value out (the settings store's default then holds).
    static constexpr int kFirstSetting = 4, kSettingChanges = 24;
    static bool IsSetting(int change) { return change >= kFirstSetting && change < kFirstSetting + kSettingChanges; }

    void ExpectFinishedLikeReference(const std::string& what, bool settingRefused = false) {
        if (settingRefused) {
            EXPECT_EQ(DataDump(), referenceData) << what;
            EXPECT_LE(referenceValues - reg.values.size(), 1u) << what;
        } else {
            EXPECT_EQ(Dump(), reference) << what;
        }
        EXPECT_EQ(Tree(app + "pDATA"), original) << what << ": the old files, byte for byte";
        EXPECT_EQ(TopLevel(), (std::set<std::string>{"DATA", "pDATA"})) << what << ": nothing written elsewhere";
        EXPECT_FALSE(fs::exists(PathFromUtf8(app + "DATA/" + kMigrationMarker))) << what;
        EXPECT_FALSE(MigrationPending(app)) << what;
    }
    void SetUp() override {
        MigrationTest::SetUp();
        MakeStore(dir.Dir() + "reference/");
        int asked = 0;
        ASSERT_EQ(ConvertOldData(app, reg, At(-1, MigrationChange::Make, &asked)).result, MigrationResult::Done);
        changes = asked;
        reference = Dump();
        referenceData = DataDump();
        referenceValues = reg.values.size();
        ASSERT_GT(changes, 30);
    }

    std::map<std::string, std::string> original;
    std::string reference, referenceData;
    size_t referenceValues = 0;
    int changes = 0;
};

TEST_F(MigrationInterruptTest, AStopAtAnyChangeIsFinishedByTheNextStart) {
    for (int k = 0; k < changes; ++k) {
        const std::string what = "stopped at change " + std::to_string(k);
        MakeStore(dir.Dir() + "stop" + std::to_string(k) + "/");
        ASSERT_EQ(ConvertOldData(app, reg, At(k, MigrationChange::Stop)).result, MigrationResult::Stopped) << what;
        EXPECT_TRUE(MigrationPending(app)) << what;
        MigrationReport r = NextStart();
        ASSERT_EQ(r.result, MigrationResult::Done) << what;
        EXPECT_EQ(r.oldDataFolder, "pDATA") << what;
        ExpectFinishedLikeReference(what);
    }
}

TEST_F(MigrationInterruptTest, AFailedWriteIsUndoneAndDoneAgainByTheNextStart) {
    int failed = 0;
    for (int k = 0; k < changes; ++k) {
        const std::string what = "failed at change " + std::to_string(k);
        MakeStore(dir.Dir() + "fail" + std::to_string(k) + "/");
        MigrationReport r = ConvertOldData(app, reg, At(k, MigrationChange::Fail));
        if (r.result == MigrationResult::Failed) {
            ++failed;
            // Back as it was: the old DATA in place, no old-data folder.
            EXPECT_EQ(Tree(app + "DATA"), original) << what;
            EXPECT_EQ(TopLevel(), std::set<std::string>{"DATA"}) << what;
            EXPECT_EQ(MigrationMessage(r, true), kMsgMigrationFailed);
            r = NextStart();
        } else {
            // Only a refused setting lets the data through; that one value
            // is then missing (the settings store's default holds).
            ASSERT_EQ(r.result, MigrationResult::Done) << what;
            EXPECT_TRUE(IsSetting(k)) << what;
            ExpectFinishedLikeReference(what, true);
            continue;
        }
        ASSERT_EQ(r.result, MigrationResult::Done) << what;
        ExpectFinishedLikeReference(what);
    }
    EXPECT_EQ(failed, changes - kSettingChanges);
}

TEST_F(MigrationInterruptTest, AStopWhileUndoingIsFinishedByTheNextStart) {
    // Every change failing with a stop right after it, and the last change
    // failing (the most to undo) with a stop at each step of the undoing.
    std::vector<std::pair<int, int>> cases;
    for (int k = 0; k < changes; ++k)
        cases.emplace_back(k, 1);
    for (int after = 2; after <= 12; ++after)
        cases.emplace_back(changes - 1, after);
    int stopped = 0;
    for (auto [k, after] : cases) {
        {
            const std::string what = "failed at " + std::to_string(k) + ", stopped " + std::to_string(after) + " later";
            MakeStore(dir.Dir() + "undo" + std::to_string(k) + "_" + std::to_string(after) + "/");
            MigrationReport r = ConvertOldData(app, reg, At(k, MigrationChange::Fail, nullptr, k + after));
            if (r.result != MigrationResult::Stopped) continue;
            ++stopped;
            ASSERT_EQ(NextStart().result, MigrationResult::Done) << what;
            ExpectFinishedLikeReference(what, IsSetting(k));
        }
    }
    EXPECT_GT(stopped, changes - kSettingChanges + 6);
}

TEST_F(MigrationInterruptTest, EachFileIsWrittenOnce) {
    // Marker, rename, new DATA, marker carried over; 21 options, "rPath" and
    // the three autorun changes (24 in all); marker step; per team a folder, its pictures
    // and its files (the first team: one picture, four files; the second: a
    // path and an icon line file and the list); the team list; the marker's
    // removal.
    EXPECT_EQ(changes, kFirstSetting + kSettingChanges + 1 + (1 + 1 + 4) + (1 + 3) + 1 + 1);
}

TEST_F(MigrationTest, CountsNeverReachPastTheRecordsInTheFile) {
    // A few bytes that claim 500 teams of 500 items each.
    Ini("TEAM.QRD", "Team", "Count", "500");
    Ini("TEAM.QRD", "2", "Name", "二");
    Ini("TEAM1/ITEM.QRD", "Item", "Count", "500");
    Ini("TEAM1/ITEM.QRD", "3", "Name", "三");
    Ini("TEAM2/ITEM.QRD", "Item", "Count", "1");
    Ini("TEAM2/ITEM.QRD", "1", "Name", "一");
    Ini("TEAM2/ITEM.QRD", "7", "Name", "past the count");
    int asked = 0;
    ASSERT_EQ(ConvertOldData(app, reg, At(-1, MigrationChange::Make, &asked)).result, MigrationResult::Done);
    EXPECT_LT(asked, 50);
    ASSERT_EQ(ReadTeamCount(app, prompts, true), 2);
    EXPECT_EQ(ReadTeamRecord(app, 1).Name, "二");
    ASSERT_EQ(ReadItemCount(TeamFolder(0), prompts, true), 3);
    EXPECT_EQ(ReadItemRecord(TeamFolder(0), 2).Name, "三");
    EXPECT_EQ(ReadItemRecord(TeamFolder(0), 0).Name, kDefaultItemName);
    EXPECT_EQ(ReadItemCount(TeamFolder(1), prompts, true), 1);
}

TEST_F(MigrationTest, NothingIsReadOrWrittenOutsideTheDataFolders) {
    Ini("TEAM.QRD", "Team", "Count", "2");
    Ini("TEAM.QRD", "1", "Team", "\\..\\..\\x");
    Ini("TEAM.QRD", "2", "Team", "A");
    Ini("TEAMA/ITEM.QRD", "Item", "Count", "1");
    Ini("TEAMA/ITEM.QRD", "1", "Icon", "..\\..\\secret.bin");
    ASSERT_TRUE(WriteFileAtomic(PathFromUtf8(app + "secret.bin"), "secret"));
    ASSERT_EQ(ConvertOldData(app, reg).result, MigrationResult::Done);
    EXPECT_EQ(TopLevel(), (std::set<std::string>{"DATA", "pDATA", "secret.bin"}));
    ASSERT_EQ(ReadTeamCount(app, prompts, true), 2);
    EXPECT_EQ(ReadItemCount(TeamFolder(0), prompts, true), 0);
    ItemRecord item = ReadItemRecord(TeamFolder(1), 0);
    EXPECT_EQ(ResolveItemPicture(app, TeamFolder(1), item.Icon), "");
}

TEST_F(MigrationTest, ProgressCountsEveryItem) {
    MakeOldData();
    std::vector<std::pair<int, int>> seen;
    MigrationHooks h;
    h.progress = [&](int done, int total) { seen.emplace_back(done, total); };
    ASSERT_EQ(ConvertOldData(app, reg, h).result, MigrationResult::Done);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), std::make_pair(0, 4));
    EXPECT_EQ(seen.back(), std::make_pair(4, 4));
}

TEST_F(MigrationTest, AStrayMarkerNeverRebuildsAStoreInUse) {
    MakeOldData();
    ASSERT_EQ(ConvertOldData(app, reg).result, MigrationResult::Done);
    const std::string before = Dump();
    // A marker among the old files, as a kill right after the rename leaves
    // one, but the new DATA has teams of its own by now.
    ASSERT_TRUE(
        WriteFileAtomic(PathFromUtf8(app + "pDATA/" + kMigrationMarker), "[Migrate]\r\nFrom=pDATA\r\nStep=Move\r\n"));
    EXPECT_FALSE(MigrationPending(app));
    EXPECT_EQ(ConvertOldData(app, reg).result, MigrationResult::NothingToDo);
    EXPECT_EQ(Dump(), before);
}
