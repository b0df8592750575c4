#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/ini.h"
#include "common/line_file.h"
#include "launcher/store/password.h"
#include "launcher/store/store.h"
#include "platform/fake/fakes.h"
#include "tests/unit/temp_dir.h"

using namespace vt;
namespace fs = std::filesystem;

namespace {

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = dir.Dir();
        fs::create_directories(PathFromUtf8(DataDir(app)));
    }

    std::string Team(int i, const char* key) {
        return ReadIniString(TeamSetFile(app), std::to_string(i), key, "<none>");
    }
    std::string Item(const std::string& folder, int i, const char* key) {
        return ReadIniString(ItemSetFile(folder), std::to_string(i), key, "<none>");
    }
    std::string AddTeamFolder(const std::string& name, const std::string& password = "") {
        StoreResult r = AddTeam(app, {name, name + " note", password});
        EXPECT_TRUE(r.ok());
        return DataDir(app) + r.name;
    }
    static ItemInput Input(const std::string& name, const std::string& path, const std::string& para = "") {
        ItemInput in;
        in.Name = name;
        in.Path = path;
        in.Para = para;
        in.IconText = "[FILE]";
        return in;
    }
    static bool IsDir(const std::string& p) { return fs::is_directory(PathFromUtf8(p)); }
    static std::string Bytes(const std::string& p) { return ReadFileBytes(PathFromUtf8(p)).value_or("<missing>"); }

    TempDir dir;
    std::string app;
    FakePrompts prompts;
};

}  // namespace

TEST_F(StoreTest, CountsKeepTheirLimits) {
    // A fresh installation: nothing, and no message.
    EXPECT_EQ(ReadTeamCount(app, prompts, true), 0);
    EXPECT_TRUE(prompts.messages.empty());

    struct Case {
        const char* stored;
        int count;
        const char* message;  // nullptr: none
    } cases[] = {
        {"12", 12, nullptr},
        {"500", 500, nullptr},
        {"-1", 0, kMsgTeamsDamaged},
        {"600", 500, kMsgTeamsOverLimit},
        {"70000", 500, kMsgTeamsOverLimit},
        {"4294967295", 500, kMsgTeamsOverLimit},  // must not wrap round to -1
        {"-40000", 500, kMsgTeamsOverLimit},
        {"abc", 0, nullptr},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteIniString(TeamSetFile(app), "TEAM", "Count", c.stored));
        prompts.messages.clear();
        EXPECT_EQ(ReadTeamCount(app, prompts, true), c.count) << c.stored;
        if (c.message)
            EXPECT_EQ(prompts.messages, std::vector<std::string>{c.message}) << c.stored;
        else
            EXPECT_TRUE(prompts.messages.empty()) << c.stored;
        prompts.messages.clear();
        EXPECT_EQ(ReadTeamCount(app, prompts, false), c.count);
        EXPECT_TRUE(prompts.messages.empty()) << "messages only while WarnOnError is on";
    }

    std::string folder = AddTeamFolder("t");
    ASSERT_TRUE(WriteIniString(ItemSetFile(folder), "Item", "Count", "-3"));
    prompts.messages.clear();
    EXPECT_EQ(ReadItemCount(folder, prompts, true), 0);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgItemsDamaged});
    ASSERT_TRUE(WriteIniString(ItemSetFile(folder), "ITEM", "Count", "501"));
    EXPECT_EQ(ReadItemCount(folder, prompts, true), 500);
    EXPECT_EQ(prompts.messages.back(), kMsgItemsOverLimit);
    EXPECT_EQ(ReadItemCount("", prompts, true), 0);
}

TEST_F(StoreTest, TeamsAreAddedEditedAndResolved) {
    StoreResult plain = AddTeam(app, {"工具", "常用工具", ""});
    ASSERT_TRUE(plain.ok());
    StoreResult locked = AddTeam(app, {"私人", "", "密码1"});
    ASSERT_TRUE(locked.ok());
    EXPECT_EQ(plain.index, 0);
    EXPECT_EQ(locked.index, 1);
    EXPECT_EQ(ReadTeamCount(app, prompts, true), 2);
    EXPECT_EQ(plain.name.size(), 10u);
    EXPECT_TRUE(IsDir(DataDir(app) + plain.name));
    EXPECT_TRUE(IsDir(DataDir(app) + locked.name));

    TeamRecord r0 = ReadTeamRecord(app, 0);
    EXPECT_EQ(r0.Name, "工具");
    EXPECT_EQ(r0.Note, "常用工具");
    EXPECT_EQ(r0.Path, plain.name);
    EXPECT_FALSE(r0.Password);
    TeamRecord r1 = ReadTeamRecord(app, 1);
    EXPECT_TRUE(r1.Password);
    EXPECT_EQ(Team(1, "Password"), "True");
    EXPECT_EQ(r1.Path, EncodePassword(locked.name, "密码1"));

    EXPECT_EQ(ResolveTeamFolder(app, 0, ""), DataDir(app) + plain.name);
    EXPECT_EQ(ResolveTeamFolder(app, 1, "密码1"), DataDir(app) + locked.name);
    // A wrong password leads to a folder that is not there: an empty team, no message.
    std::string wrong = ResolveTeamFolder(app, 1, "密码2");
    EXPECT_NE(wrong, DataDir(app) + locked.name);
    EXPECT_FALSE(!wrong.empty() && IsDir(wrong));
    EXPECT_EQ(ReadItemCount(wrong, prompts, true), 0);
    EXPECT_TRUE(prompts.messages.empty());

    prompts.passwordAnswers = {"密码1"};
    EXPECT_EQ(AskTeamFolder(app, 1, prompts, kPromptOpenTeam), DataDir(app) + locked.name);
    EXPECT_EQ(prompts.passwordPrompts, std::vector<std::string>{kPromptOpenTeam});
    EXPECT_EQ(AskTeamFolder(app, 0, prompts, kPromptOpenTeam), DataDir(app) + plain.name);
    EXPECT_EQ(prompts.passwordPrompts.size(), 1u) << "no prompt for a team without password";

    // New password, same folder.
    ASSERT_TRUE(EditTeam(app, 1, locked.name, {"私人2", "备注", "新密码"}).ok());
    EXPECT_EQ(ResolveTeamFolder(app, 1, "新密码"), DataDir(app) + locked.name);
    EXPECT_EQ(Team(1, "Name"), "私人2");
    ASSERT_TRUE(EditTeam(app, 1, locked.name, {"私人2", "备注", ""}).ok());
    EXPECT_EQ(Team(1, "Path"), locked.name);
    EXPECT_EQ(Team(1, "Password"), "False");
    EXPECT_EQ(ReadIniString(TeamSetFile(app), "TEAM", "Count", ""), "2");
}

TEST_F(StoreTest, EditingWithAWrongPasswordNeverOrphansTheFolder) {
    StoreResult t = AddTeam(app, {"私人", "", "right"});
    ASSERT_TRUE(t.ok());
    std::string decodedWrong = DecodePassword(ReadTeamRecord(app, 0).Path, "wrong");
    StoreResult r = EditTeam(app, 0, decodedWrong, {"改名", "", "other"});
    EXPECT_EQ(r.error, StoreError::FolderMissing);
    EXPECT_EQ(Team(0, "Name"), "私人");
    EXPECT_EQ(ResolveTeamFolder(app, 0, "right"), DataDir(app) + t.name);
    EXPECT_EQ(EditTeam(app, 5, t.name, {"x", "", ""}).error, StoreError::BadIndex);
}

TEST_F(StoreTest, AddingAfterADamagedCountStartsAtZero) {
    ASSERT_TRUE(WriteIniString(TeamSetFile(app), "TEAM", "Count", "-1"));
    StoreResult r = AddTeam(app, {"新", "", ""});
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.index, 0);
    EXPECT_EQ(ReadTeamCount(app, prompts, true), 1);
}

TEST_F(StoreTest, DeletingATeamRemovesItsFilesAndShiftsTheRest) {
    std::string a = AddTeamFolder("A");
    std::string b = AddTeamFolder("B", "pw");
    std::string c = AddTeamFolder("C");
    ASSERT_TRUE(AddItem(app, b, Input("x", "C:\\x.exe")).ok());
    ASSERT_TRUE(WriteFileAtomic(PathFromUtf8(b + "/ABC.img"), "pic"));

    ASSERT_TRUE(DeleteTeam(app, 1, "pw").ok());
    EXPECT_FALSE(fs::exists(PathFromUtf8(b)));
    EXPECT_EQ(ReadIniString(TeamSetFile(app), "TEAM", "Count", ""), "2");
    EXPECT_EQ(Team(0, "Name"), "A");
    EXPECT_EQ(Team(1, "Name"), "C");
    EXPECT_EQ(Team(1, "Password"), "False");
    EXPECT_EQ(ResolveTeamFolder(app, 1, ""), c);
    EXPECT_EQ(Team(2, "Name"), "C") << "the last section stays in the file";

    // Wrong password: nothing deleted on disk, the record goes all the same.
    std::string d = AddTeamFolder("D", "right");
    ASSERT_TRUE(DeleteTeam(app, 2, "wrong").ok());
    EXPECT_TRUE(IsDir(d));
    EXPECT_EQ(ReadTeamCount(app, prompts, true), 2);
    EXPECT_TRUE(IsDir(a));
    EXPECT_EQ(DeleteTeam(app, 2, "").error, StoreError::BadIndex);
}

TEST_F(StoreTest, DeletingATeamWhosePathIsDamagedLeavesDataAlone) {
    // "Path" decoding to nothing or to ".." must not empty DATA or the program folder.
    AddTeamFolder("A");
    AddTeamFolder("B");
    ASSERT_TRUE(WriteFileAtomic(PathFromUtf8(app + "VT.exe"), "exe"));
    ASSERT_TRUE(WriteIniString(TeamSetFile(app), "0", "Path", ""));
    ASSERT_TRUE(WriteIniString(TeamSetFile(app), "1", "Path", ".."));
    ASSERT_TRUE(DeleteTeam(app, 1, "").ok());
    ASSERT_TRUE(DeleteTeam(app, 0, "").ok());
    EXPECT_EQ(Bytes(app + "VT.exe"), "exe");
    EXPECT_TRUE(fs::exists(PathFromUtf8(TeamSetFile(app))));
    EXPECT_EQ(ReadTeamCount(app, prompts, true), 0);
}

TEST_F(StoreTest, SwappingTeamsExchangesAllFourKeys) {
    std::string a = AddTeamFolder("A");
    AddTeamFolder("B");
    std::string c = AddTeamFolder("C", "pw");
    ASSERT_TRUE(SwapTeams(app, 0, 2).ok());
    EXPECT_EQ(Team(0, "Name"), "C");
    EXPECT_EQ(Team(0, "Note"), "C note");
    EXPECT_EQ(Team(0, "Password"), "True");
    EXPECT_EQ(ResolveTeamFolder(app, 0, "pw"), c);
    EXPECT_EQ(Team(2, "Name"), "A");
    EXPECT_EQ(ResolveTeamFolder(app, 2, ""), a);
    ASSERT_TRUE(SwapTeams(app, 1, 1).ok());
    EXPECT_EQ(Team(1, "Name"), "B");
    EXPECT_EQ(SwapTeams(app, 0, 3).error, StoreError::BadIndex);
}

TEST_F(StoreTest, ItemsAreWrittenInTheirFiles) {
    std::string folder = AddTeamFolder("T");
    ItemInput in = Input("编辑器", "C:\\工具\\ed.exe", "-n");
    in.Type = 4;
    in.Mode = 2;
    in.Note = "说明";
    in.IconText = "C:\\工具\\ed.exe";
    in.IconIndex = 3;
    in.StartMethod = "edit";
    in.MethodIndex = 1;
    in.Picture = std::string("BM\x00\x01picture", 11);
    StoreResult r = AddItem(app, folder, in);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.index, 0);

    ItemRecord rec = ReadItemRecord(folder, 0);
    EXPECT_EQ(rec.Name, "编辑器");
    EXPECT_EQ(rec.Type, 4);
    EXPECT_EQ(rec.Mode, 2);
    EXPECT_EQ(rec.Note, "说明");
    EXPECT_EQ(rec.Path, 1);
    EXPECT_EQ(rec.Para, 1);
    EXPECT_EQ(rec.IconPath, 1);
    EXPECT_EQ(rec.IconIndex, 3);
    EXPECT_EQ(rec.StartMethod, "edit");
    EXPECT_EQ(rec.MethodIndex, 1);
    EXPECT_FALSE(rec.Password);
    EXPECT_EQ(Item(folder, 0, "Password"), "False");
    // The own picture: a fresh random name in the team folder.
    ASSERT_EQ(rec.Icon.size(), 1u + 10u + 4u);
    EXPECT_EQ(rec.Icon.front(), '\\');
    EXPECT_EQ(rec.Icon, r.name);
    std::string pic = ResolveItemPicture(app, folder, rec.Icon);
    ASSERT_FALSE(pic.empty());
    EXPECT_EQ(Bytes(pic), std::string("BM\x00\x01picture", 11));
    EXPECT_EQ(Bytes(PathSetFile(folder)), Utf8ToAnsi("C:\\工具\\ed.exe") + "\r\n");

    ItemTexts t = ReadItemTexts(folder, rec, "");
    EXPECT_EQ(t.Path, "C:\\工具\\ed.exe");
    EXPECT_EQ(t.Para, "-n");
    EXPECT_EQ(t.Icon, "C:\\工具\\ed.exe");
    EXPECT_EQ(ReadItemTexts(folder, rec, "any key").Path, "C:\\工具\\ed.exe") << "plain lines of an unprotected item";

    // A protected item: lines scrambled, readable only with the password.
    ItemInput locked = Input("秘密", "D:\\secret.doc", "/p");
    locked.Password = "口令";
    locked.IconText = "[LINK]";
    ASSERT_TRUE(AddItem(app, folder, locked).ok());
    ItemRecord lr = ReadItemRecord(folder, 1);
    EXPECT_TRUE(lr.Password);
    EXPECT_EQ(lr.Icon, "[LINK]");
    EXPECT_EQ(lr.Path, 2);
    EXPECT_EQ(ReadDataLine(PathSetFile(folder), 2), EncodePassword("D:\\secret.doc", "口令"));
    EXPECT_EQ(ReadItemTexts(folder, lr, "口令").Path, "D:\\secret.doc");
    EXPECT_EQ(ReadItemTexts(folder, lr, "口令").Icon, "[LINK]");
    EXPECT_NE(ReadItemTexts(folder, lr, "bad").Path, "D:\\secret.doc");
    EXPECT_EQ(ReadItemCount(folder, prompts, true), 2);

    // No name stored: the default caption.
    ASSERT_TRUE(DeleteIniKey(ItemSetFile(folder), "1", "Name"));
    EXPECT_EQ(ReadItemRecord(folder, 1).Name, "未命名项目");
}

TEST_F(StoreTest, EditingReplacesLinesInPlace) {
    std::string folder = AddTeamFolder("T");
    for (int i = 1; i <= 5; ++i)
        ASSERT_TRUE(AddItem(app, folder, Input("i", "path" + std::to_string(i), "p")).ok());
    std::string before = Bytes(PathSetFile(folder));

    ItemInput in = Input("三", "new path");  // parameters cleared
    ASSERT_TRUE(EditItem(app, folder, 2, in).ok());
    EXPECT_EQ(Bytes(PathSetFile(folder)), "path1\r\npath2\r\nnew path\r\npath4\r\npath5\r\n");
    ItemRecord r = ReadItemRecord(folder, 2);
    EXPECT_EQ(r.Path, 3);
    EXPECT_EQ(r.Para, 0);
    EXPECT_EQ(ReadDataLine(ParaSetFile(folder), 3), "p") << "the old parameter line stays";
    EXPECT_EQ(ReadIniString(ItemSetFile(folder), "ITEM", "Count", ""), "5");

    // A verb is written only when one was chosen; otherwise the old one stays.
    in.StartMethod = "print";
    in.MethodIndex = 2;
    ASSERT_TRUE(EditItem(app, folder, 2, in).ok());
    in.StartMethod.reset();
    ASSERT_TRUE(EditItem(app, folder, 2, in).ok());
    EXPECT_EQ(ReadItemRecord(folder, 2).StartMethod, "print");
    EXPECT_EQ(ReadItemRecord(folder, 2).MethodIndex, 2);
    EXPECT_EQ(ReadItemRecord(folder, 0).MethodIndex, -1);
    EXPECT_EQ(EditItem(app, folder, 5, in).error, StoreError::BadIndex);
}

TEST_F(StoreTest, SharedPicturesAreWrittenOnce) {
    std::string folder = AddTeamFolder("T");
    ItemInput in = Input("doc", "a.txt");
    in.IconText = "[ICON]";
    in.SharedIconName = "txt";
    in.Picture = "first";
    ASSERT_TRUE(AddItem(app, folder, in).ok());
    in.Picture = "second";
    ASSERT_TRUE(AddItem(app, folder, in).ok());
    EXPECT_EQ(Item(folder, 0, "Icon"), "\\txt.img");
    EXPECT_EQ(Item(folder, 1, "Icon"), "\\txt.img");
    EXPECT_EQ(Bytes(SharedIconDir(app) + "txt.img"), "first");
    EXPECT_EQ(ResolveItemPicture(app, folder, "\\txt.img"), SharedIconDir(app) + "txt.img");
    // A team folder copy wins over the shared one; a missing one resolves to nothing.
    ASSERT_TRUE(WriteFileAtomic(PathFromUtf8(folder + "/txt.img"), "own"));
    EXPECT_EQ(ResolveItemPicture(app, folder, "\\txt.img"), folder + "/txt.img");
    EXPECT_EQ(ResolveItemPicture(app, folder, "\\none.img"), "");
    EXPECT_EQ(ResolveItemPicture(app, folder, "[FILE]"), "");
    EXPECT_EQ(ResolveItemPicture(app, folder, "\\..\\TEAM.SET"), "");
    // No extension to name the shared picture after: the file picture.
    in.SharedIconName = "";
    ASSERT_TRUE(AddItem(app, folder, in).ok());
    EXPECT_EQ(Item(folder, 2, "Icon"), "[FILE]");
}

TEST_F(StoreTest, WriteFailuresAreReported) {
    // A folder that exists but takes no files: the add must not pass as done.
    if (IsDir("/proc/self")) {
        EXPECT_EQ(AddItem(app, "/proc/self", Input("a", "b")).error, StoreError::WriteFailed);
    }

    // No folder (a wrong team password): nothing is created.
    std::string missing = DataDir(app) + "NOSUCHTEAM";
    EXPECT_EQ(AddItem(app, missing, Input("a", "b")).error, StoreError::FolderMissing);
    EXPECT_FALSE(fs::exists(PathFromUtf8(missing)));
    EXPECT_EQ(AddItem(app, "", Input("a", "b")).error, StoreError::FolderMissing);
    EXPECT_EQ(DeleteItem(missing, 0).error, StoreError::FolderMissing);
}

TEST_F(StoreTest, DeletingAnItemShiftsAllTwelveKeys) {
    std::string folder = AddTeamFolder("T");
    for (int i = 0; i < 5; ++i) {
        ItemInput in = Input("item" + std::to_string(i), "p" + std::to_string(i));
        if (i == 2) {
            in.StartMethod = "runas";
            in.MethodIndex = 4;
        }
        if (i == 3) in.Password = "k";
        ASSERT_TRUE(AddItem(app, folder, in).ok());
    }
    ASSERT_TRUE(DeleteItem(folder, 2).ok());
    EXPECT_EQ(ReadIniString(ItemSetFile(folder), "ITEM", "Count", ""), "4");
    const char* names[] = {"item0", "item1", "item3", "item4"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ReadItemRecord(folder, i).Name, names[i]);
    ItemRecord moved = ReadItemRecord(folder, 2);
    EXPECT_TRUE(moved.Password);
    EXPECT_EQ(ReadItemTexts(folder, moved, "k").Path, "p3");
    EXPECT_EQ(Item(folder, 2, "StartMethod"), "<none>") << "the deleted item's verb must not stick";
    EXPECT_EQ(Item(folder, 4, "Name"), "item4") << "the old last section stays";
    EXPECT_EQ(ReadDataLine(PathSetFile(folder), 3), "p2") << "lines are never removed";
    EXPECT_EQ(DeleteItem(folder, 4).error, StoreError::BadIndex);
}

TEST_F(StoreTest, SwappingItemsInOneFolder) {
    std::string folder = AddTeamFolder("T");
    ItemInput a = Input("A", "pa", "xa");
    a.StartMethod = "open";
    a.MethodIndex = 0;
    ASSERT_TRUE(AddItem(app, folder, a).ok());
    ItemInput b = Input("B", "pb");
    b.Password = "k";
    ASSERT_TRUE(AddItem(app, folder, b).ok());
    ASSERT_TRUE(SwapItems(folder, 0, 1).ok());
    ItemRecord r0 = ReadItemRecord(folder, 0);
    ItemRecord r1 = ReadItemRecord(folder, 1);
    EXPECT_EQ(r0.Name, "B");
    EXPECT_EQ(ReadItemTexts(folder, r0, "k").Path, "pb");
    EXPECT_EQ(r0.Para, 0);
    EXPECT_EQ(Item(folder, 0, "StartMethod"), "<none>");
    EXPECT_EQ(r1.Name, "A");
    EXPECT_EQ(ReadItemTexts(folder, r1, "").Para, "xa");
    EXPECT_EQ(r1.StartMethod, "open");
    ASSERT_TRUE(SwapItems(folder, 1, 1).ok());
    EXPECT_EQ(ReadItemRecord(folder, 1).Name, "A");
}

TEST_F(StoreTest, SwappingItemsAcrossTeamsMovesLinesAndPictures) {
    std::string f1 = AddTeamFolder("one");
    std::string f2 = AddTeamFolder("two");
    ItemInput a = Input("A", "C:\\a.exe", "-a");
    a.IconText = "C:\\a.exe";
    a.Picture = "picA";
    a.Password = "ka";
    ASSERT_TRUE(AddItem(app, f1, a).ok());
    ASSERT_TRUE(AddItem(app, f2, Input("pad", "pad")).ok());
    ItemInput b = Input("B", "http://b");
    b.IconText = "C:\\b.exe";
    b.Picture = "picB";
    b.Mode = 3;
    ASSERT_TRUE(AddItem(app, f2, b).ok());
    // Same picture name in both folders: neither may overwrite the other.
    std::string iconA = Item(f1, 0, "Icon");
    std::string iconB = Item(f2, 1, "Icon");
    fs::rename(PathFromUtf8(f2 + "/" + iconB.substr(1)), PathFromUtf8(f2 + "/" + iconA.substr(1)));
    ASSERT_TRUE(WriteIniString(ItemSetFile(f2), "1", "Icon", iconA));

    ASSERT_TRUE(SwapItems(f1, 0, f2, 1).ok());
    ItemRecord in1 = ReadItemRecord(f1, 0);
    ItemRecord in2 = ReadItemRecord(f2, 1);
    EXPECT_EQ(in1.Name, "B");
    EXPECT_EQ(in1.Mode, 3);
    EXPECT_FALSE(in1.Password);
    ItemTexts t1 = ReadItemTexts(f1, in1, "");
    EXPECT_EQ(t1.Path, "http://b");
    EXPECT_EQ(t1.Para, "");
    EXPECT_EQ(t1.Icon, "C:\\b.exe");
    EXPECT_EQ(in2.Name, "A");
    EXPECT_TRUE(in2.Password);
    ItemTexts t2 = ReadItemTexts(f2, in2, "ka");
    EXPECT_EQ(t2.Path, "C:\\a.exe");
    EXPECT_EQ(t2.Para, "-a");
    EXPECT_EQ(Bytes(ResolveItemPicture(app, f1, in1.Icon)), "picB");
    EXPECT_EQ(Bytes(ResolveItemPicture(app, f2, in2.Icon)), "picA");
    EXPECT_TRUE(ResolveItemPicture(app, f1, in1.Icon).rfind(f1, 0) == 0);
    EXPECT_TRUE(ResolveItemPicture(app, f2, in2.Icon).rfind(f2, 0) == 0);
    // The untouched item of the second team keeps its lines.
    EXPECT_EQ(ReadItemTexts(f2, ReadItemRecord(f2, 0), "").Path, "pad");
    EXPECT_EQ(SwapItems(f1, 0, f2, 2).error, StoreError::BadIndex);
}

// A write that fails part way through an item leaves no half record behind:
// neither Count nor any key of the new section reaches ITEM.SET.
TEST(StoreAtomicItem, FailedAddLeavesItemSetUntouched) {
    vt::TempDir dir;
    const std::string team = dir.File("TEAM");
    std::filesystem::create_directories(vt::PathFromUtf8(team));
    vt::ItemInput item;
    item.Name = "第一";
    item.Path = "C:\\a.exe";
    item.IconText = "[FILE]";
    ASSERT_TRUE(vt::AddItem(dir.Dir(), team, item).ok());
    const auto before = vt::ReadFileBytes(vt::PathFromUtf8(vt::ItemSetFile(team)));
    ASSERT_TRUE(before);
    // PARA.SET being a folder makes the parameters' line unwritable.
    std::filesystem::create_directories(vt::PathFromUtf8(vt::ParaSetFile(team)));
    item.Name = "第二";
    item.Para = "-x";
    item.Path = "C:\\b.exe";
    const auto pathsBefore = vt::ReadFileBytes(vt::PathFromUtf8(vt::PathSetFile(team)));
    EXPECT_FALSE(vt::AddItem(dir.Dir(), team, item).ok());
    EXPECT_FALSE(vt::EditItem(dir.Dir(), team, 0, item).ok());
    // The edit replaced line 1 of PATH.SET before PARA.SET failed: the old
    // path comes back, or the item would start the new program under its old name.
    EXPECT_EQ(vt::ReadFileBytes(vt::PathFromUtf8(vt::PathSetFile(team))).value_or(""),
              pathsBefore.value_or("") + "C:\\b.exe\r\n")
        << "only the add's appended line may stay";
    vt::FlushIniCache();
    EXPECT_EQ(vt::ReadFileBytes(vt::PathFromUtf8(vt::ItemSetFile(team))), before);
    EXPECT_EQ(vt::ReadIniInt(vt::ItemSetFile(team), "ITEM", "Count", 0), 1);
    EXPECT_EQ(vt::ReadIniString(vt::ItemSetFile(team), "0", "Name", ""), "第一");
}

TEST(StoreNames, PictureAndFolderNamesStayInTheirFolder) {
    struct Case {
        const char* name;
        bool device, safe, teamFolder, picture;
    } cases[] = {
        {"K7Q2M9X4TA", false, true, true, false},  {"R4G8E1D6YH.img", false, true, true, true},
        {"exe.IMG", false, true, true, true},      {"图标.img", false, true, true, true},
        {".img", false, true, true, false},        {"ICON", false, true, false, false},
        {"icon", false, true, false, false},       {"ITEM.SET", false, true, true, false},
        {"PATH.SET", false, true, true, false},    {"a.img.tmp", false, true, true, false},
        {"CON", true, false, false, false},        {"con.img", true, false, false, false},
        {"Nul.txt", true, false, false, false},    {"PRN", true, false, false, false},
        {"aux.tar.gz", true, false, false, false}, {"COM1", true, false, false, false},
        {"lpt9.img", true, false, false, false},   {"CON .img", true, false, false, false},
        {"CONOUT$", true, false, false, false},    {"COM\xC2\xB9", true, false, false, false},
        {"COM", false, true, true, false},         {"COM10", false, true, true, false},
        {"CONSOLE.img", false, true, true, true},  {"LPTX", false, true, true, false},
        {"a\\b.img", false, false, false, false},  {"a/b.img", false, false, false, false},
        {"..", false, false, false, false},        {"x.img.", false, false, false, false},
        {"", false, false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsDeviceName(c.name), c.device) << c.name;
        EXPECT_EQ(IsSafeFolderName(c.name), c.safe) << c.name;
        EXPECT_EQ(IsTeamFolderName(c.name), c.teamFolder) << c.name;
        EXPECT_EQ(IsPictureFileName(c.name), c.picture) << c.name;
    }

    // "Icon" values: only "\" + a picture file name names a file.
    EXPECT_EQ(ItemPictureFile("\\R4G8E1D6YH.img"), "R4G8E1D6YH.img");
    for (const char* icon : {"\\ITEM.SET", "\\PATH.SET", "\\..\\TEAM.SET", "\\CON.img", "R4G8E1D6YH.img",
                             "/R4G8E1D6YH.img", "\\\\x.img", "[LINK]", "\\", ""})
        EXPECT_EQ(ItemPictureFile(icon), "") << icon;
}

TEST_F(StoreTest, LineNumbersPastTheEndAreMissingLines) {
    std::string folder = AddTeamFolder("T");
    ASSERT_TRUE(AddItem(app, folder, Input("a", "pa", "xa")).ok());
    ASSERT_TRUE(AddItem(app, folder, Input("b", "pb", "xb")).ok());
    // 3 is the line just past the end; the others name lines far beyond it.
    for (const char* stored : {"3", "1000000", "2147483647"}) {
        const std::string paths = Bytes(PathSetFile(folder));
        const std::string paras = Bytes(ParaSetFile(folder));
        ASSERT_TRUE(WriteIniString(ItemSetFile(folder), "1", "Path", stored));
        ASSERT_TRUE(WriteIniString(ItemSetFile(folder), "1", "Para", stored));
        // Opening the item in the editor finds nothing at that line.
        EXPECT_EQ(ReadItemTexts(folder, ReadItemRecord(folder, 1), "").Path, "");

        StoreResult r = EditItem(app, folder, 1, Input(std::string("b") + stored, "new path", "new para"));
        ASSERT_TRUE(r.ok()) << stored;
        // The text is a new line at the end; nothing is padded.
        EXPECT_EQ(Bytes(PathSetFile(folder)), paths + "new path\r\n") << stored;
        EXPECT_EQ(Bytes(ParaSetFile(folder)), paras + "new para\r\n") << stored;
        ItemRecord rec = ReadItemRecord(folder, 1);
        EXPECT_EQ(rec.Name, std::string("b") + stored);
        ItemTexts t = ReadItemTexts(folder, rec, "");
        EXPECT_EQ(t.Path, "new path");
        EXPECT_EQ(t.Para, "new para");
        EXPECT_EQ(ReadItemTexts(folder, ReadItemRecord(folder, 0), "").Path, "pa");
    }
}

TEST_F(StoreTest, SwappingNeverMovesStoreFiles) {
    std::string f1 = AddTeamFolder("one");
    std::string f2 = AddTeamFolder("two");
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(AddItem(app, f1, Input("a" + std::to_string(i), "pa")).ok());
    ASSERT_TRUE(AddItem(app, f2, Input("b", "pb")).ok());
    ASSERT_TRUE(WriteFileAtomic(PathFromUtf8(f1 + "/con.img"), "device"));
    ASSERT_TRUE(WriteIniString(ItemSetFile(f1), "0", "Icon", "\\ITEM.SET"));
    ASSERT_TRUE(WriteIniString(ItemSetFile(f1), "1", "Icon", "\\PATH.SET"));
    ASSERT_TRUE(WriteIniString(ItemSetFile(f1), "2", "Icon", "\\con.img"));
    const std::string team2Items = Bytes(ItemSetFile(f2));

    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(SwapItems(f1, i, f2, 0).ok()) << i;
        ASSERT_TRUE(SwapItems(f1, i, f2, 0).ok()) << i;
    }
    EXPECT_EQ(ReadItemCount(f1, prompts, true), 3) << "the first team keeps its items";
    EXPECT_EQ(ReadItemRecord(f1, 0).Name, "a0");
    EXPECT_EQ(ReadItemTexts(f1, ReadItemRecord(f1, 1), "").Path, "pa");
    EXPECT_EQ(Bytes(f1 + "/con.img"), "device");
    EXPECT_EQ(ReadItemRecord(f2, 0).Name, "b");
    EXPECT_NE(Bytes(ItemSetFile(f2)), team2Items) << "the swaps did run";
    // Such a value never shows a store file as the item's picture either.
    EXPECT_EQ(ResolveItemPicture(app, f1, "\\ITEM.SET"), "");
}

TEST_F(StoreTest, DeletingATeamKeepsFilesItDoesNotOwn) {
    std::string a = AddTeamFolder("A");
    std::string b = AddTeamFolder("B");
    ASSERT_TRUE(AddItem(app, b, Input("x", "C:\\x.exe")).ok());
    fs::create_directories(PathFromUtf8(SharedIconDir(app)));
    ASSERT_TRUE(WriteFileAtomic(PathFromUtf8(SharedIconDir(app) + "txt.img"), "shared"));
    const std::string bName = ReadIniString(TeamSetFile(app), "1", "Path", "");

    // A team whose folder reads as the shared pictures' folder.
    AddTeamFolder("pictures");
    ASSERT_TRUE(WriteIniString(TeamSetFile(app), "2", "Path", "icon"));
    StoreResult r = DeleteTeam(app, 2, "");
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.foreignFolder);
    EXPECT_EQ(Bytes(SharedIconDir(app) + "txt.img"), "shared");
    EXPECT_EQ(ReadTeamCount(app, prompts, true), 2) << "the record goes all the same";

    // A team pointing at another team's folder, plain or scrambled with the same password.
    for (const char* password : {"", "pw"}) {
        AddTeamFolder("intruder", password);
        ASSERT_TRUE(WriteIniString(TeamSetFile(app), "2", "Path", EncodePassword(bName, password)));
        r = DeleteTeam(app, 2, password);
        ASSERT_TRUE(r.ok()) << password;
        EXPECT_TRUE(r.foreignFolder) << password;
        EXPECT_TRUE(IsDir(b)) << password;
        EXPECT_EQ(ReadItemTexts(b, ReadItemRecord(b, 0), "").Path, "C:\\x.exe") << password;
    }
    ASSERT_TRUE(WriteIniString(TeamSetFile(app), "1", "Path", EncodePassword(bName, "pw")));
    ASSERT_TRUE(WriteIniString(TeamSetFile(app), "1", "Password", "True"));
    AddTeamFolder("intruder", "pw");
    ASSERT_TRUE(WriteIniString(TeamSetFile(app), "2", "Path", EncodePassword(bName, "pw")));
    EXPECT_TRUE(DeleteTeam(app, 2, "pw").foreignFolder);
    EXPECT_TRUE(IsDir(b));

    // Its own folder goes, also when a stale copy of its record lies past Count.
    std::string c = AddTeamFolder("C");
    ASSERT_TRUE(DeleteTeam(app, 0, "").ok());
    EXPECT_FALSE(IsDir(a));
    EXPECT_EQ(Team(2, "Name"), "C") << "the old last section stays behind";
    r = DeleteTeam(app, 1, "");
    ASSERT_TRUE(r.ok());
    EXPECT_FALSE(r.foreignFolder);
    EXPECT_FALSE(IsDir(c));
    EXPECT_TRUE(IsDir(b));
}

TEST_F(StoreTest, NewRecordsFollowTheLastShownOne) {
    struct Case {
        const char* stored;
        int index;  // -1: refused
    } cases[] = {{"-5", 0}, {"0", 0}, {"499", 499}, {"500", -1}, {"501", -1}, {"99999", -1}, {"-40000", -1}};
    std::string folder = AddTeamFolder("T");
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteIniString(TeamSetFile(app), "TEAM", "Count", c.stored));
        ASSERT_TRUE(WriteIniString(ItemSetFile(folder), "ITEM", "Count", c.stored));
        const std::string teams = Bytes(TeamSetFile(app));
        const std::string items = Bytes(ItemSetFile(folder));
        const size_t folders = std::distance(fs::directory_iterator(PathFromUtf8(DataDir(app))), {});

        StoreResult team = AddTeam(app, {"new", "", ""});
        StoreResult item = AddItem(app, folder, Input("new", "p"));
        if (c.index < 0) {
            EXPECT_EQ(team.error, StoreError::LimitReached) << c.stored;
            EXPECT_EQ(item.error, StoreError::LimitReached) << c.stored;
            EXPECT_EQ(Bytes(TeamSetFile(app)), teams) << c.stored;
            EXPECT_EQ(Bytes(ItemSetFile(folder)), items) << c.stored;
            EXPECT_EQ(std::distance(fs::directory_iterator(PathFromUtf8(DataDir(app))), {}), folders) << c.stored;
        } else {
            ASSERT_TRUE(team.ok()) << c.stored;
            ASSERT_TRUE(item.ok()) << c.stored;
            EXPECT_EQ(team.index, c.index) << c.stored;
            EXPECT_EQ(item.index, c.index) << c.stored;
            EXPECT_EQ(ReadTeamRecord(app, c.index).Name, "new");
            EXPECT_EQ(ReadItemRecord(folder, c.index).Name, "new");
            EXPECT_EQ(ReadTeamCount(app, prompts, true), c.index + 1);
            EXPECT_EQ(ReadItemCount(folder, prompts, true), c.index + 1);
        }
    }
}

TEST_F(StoreTest, SharedPicturesNeverNameADevice) {
    std::string folder = AddTeamFolder("T");
    ItemInput in = Input("console", "a.con");
    in.IconText = "[ICON]";
    in.SharedIconName = "con";
    in.Picture = "picture";
    ASSERT_TRUE(AddItem(app, folder, in).ok());
    EXPECT_EQ(Item(folder, 0, "Icon"), "[FILE]");
    EXPECT_FALSE(fs::exists(PathFromUtf8(SharedIconDir(app) + "con.img")));
}

// A store file someone holds open (a link to itself stands in for it here)
// gives defaults to every read: the operations must fail as write failures,
// not take its count for 0, and must not copy its lines as empty ones.
TEST_F(StoreTest, HeldFilesFailOperationsAndLoseNothing) {
    std::string f1 = AddTeamFolder("one");
    std::string f2 = AddTeamFolder("two");
    ASSERT_TRUE(AddItem(app, f1, Input("A", "C:\\a.exe")).ok());
    ASSERT_TRUE(AddItem(app, f2, Input("B", "C:\\b.exe")).ok());
    auto hold = [](const std::string& file) {
        fs::rename(PathFromUtf8(file), PathFromUtf8(file + ".real"));
        fs::create_symlink(PathFromUtf8(file).filename(), PathFromUtf8(file));
        FlushIniCache();
    };
    auto release = [](const std::string& file) {
        fs::remove(PathFromUtf8(file));
        fs::rename(PathFromUtf8(file + ".real"), PathFromUtf8(file));
        FlushIniCache();
    };

    const std::string teams = TeamSetFile(app);
    const std::string teamBytes = Bytes(teams);
    hold(teams);
    EXPECT_EQ(EditTeam(app, 1, "two", {"renamed", "", ""}).error, StoreError::WriteFailed);
    EXPECT_EQ(DeleteTeam(app, 0, "").error, StoreError::WriteFailed);
    EXPECT_EQ(SwapTeams(app, 0, 1).error, StoreError::WriteFailed);
    release(teams);
    EXPECT_EQ(Bytes(teams), teamBytes);

    const std::string items1 = Bytes(ItemSetFile(f1));
    const std::string paths1 = Bytes(PathSetFile(f1));
    hold(PathSetFile(f2));
    EXPECT_EQ(SwapItems(f1, 0, f2, 0).error, StoreError::WriteFailed);
    release(PathSetFile(f2));
    EXPECT_EQ(ReadItemTexts(f1, ReadItemRecord(f1, 0), "").Path, "C:\\a.exe");
    EXPECT_EQ(Bytes(PathSetFile(f1)), paths1);
    EXPECT_EQ(Bytes(ItemSetFile(f1)), items1);

    hold(ItemSetFile(f2));
    EXPECT_EQ(DeleteItem(f2, 0).error, StoreError::WriteFailed);
    EXPECT_EQ(EditItem(app, f2, 0, Input("B2", "C:\\b2.exe")).error, StoreError::WriteFailed);
    release(ItemSetFile(f2));
    EXPECT_EQ(ReadItemRecord(f2, 0).Name, "B");
}
