#include "launcher/dialogs/drop_items.h"

#include <gtest/gtest.h>

#include <map>

#include "launcher/dialogs/folder_form.h"
#include "launcher/dialogs/item_form.h"
#include "tests/unit/dialogs/dialog_fixture.h"

namespace vt {
namespace {

class DropTest : public ::testing::Test, public DialogFixture {
protected:
    void SetUp() override { team = MakeTeam(); }
    DropResult Drop(const std::vector<DroppedPath>& paths, int currentTeam = 0) {
        return DropItems(
            paths, currentTeam, team, reg, shared, settings, prompts,
            [this](const IconPlan& plan) {
                rendered.push_back(plan);
                return std::optional<std::string>("PIC");
            },
            [this](const std::string& path) {
                auto it = shortNames.find(path);
                return it == shortNames.end() ? std::string() : it->second;
            });
    }
    std::map<std::string, std::string> shortNames;
    std::string Set() { return ItemSetFile(team); }
    std::string team;
    std::vector<IconPlan> rendered;
};

TEST_F(DropTest, ThreeFilesInDroppedOrder) {
    DropResult r = Drop({{"C:\\a\\one.doc"}, {"C:\\a\\two.txt"}, {"C:\\a\\three.pdf"}});
    EXPECT_EQ(r.added, 3);
    EXPECT_TRUE(r.showItems);
    EXPECT_EQ(Ini(Set(), "ITEM", "Count"), 3);
    EXPECT_EQ(IniText(Set(), "0", "Name"), "one.doc");
    EXPECT_EQ(IniText(Set(), "1", "Name"), "two.txt");
    EXPECT_EQ(IniText(Set(), "2", "Name"), "three.pdf");
    for (const char* s : {"0", "1", "2"}) {
        EXPECT_EQ(Ini(Set(), s, "Mode"), 0);
        EXPECT_EQ(Ini(Set(), s, "Para"), 0);
        EXPECT_EQ(IniText(Set(), s, "Password"), "False");
        EXPECT_EQ(IniText(Set(), s, "StartMethod"), "<missing>");
    }
    EXPECT_EQ(prompts.messages,
              (std::vector<std::string>{"添加项目one.doc成功", "添加项目two.txt成功", "添加项目three.pdf成功"}));
}

TEST_F(DropTest, FolderGetsATrailingBackslash) {
    ASSERT_EQ(Drop({{"C:\\Tools\\Editor", true}, {"D:\\", true}}).added, 2);
    EXPECT_EQ(Ini(Set(), "0", "Type"), kTypeFolder);
    EXPECT_EQ(IniText(Set(), "0", "Name"), "Editor");
    EXPECT_EQ(IniText(Set(), "0", "Icon"), "[DIRECTORY]");
    EXPECT_EQ(ReadDataLine(PathSetFile(team), Ini(Set(), "0", "Path")), "C:\\Tools\\Editor\\");
    EXPECT_EQ(ReadDataLine(PathSetFile(team), Ini(Set(), "1", "Path")), "D:\\");  // no second backslash
}

TEST_F(DropTest, ProgramGetsItsOwnFreshPicture) {
    ASSERT_EQ(Drop({{"C:\\Apps\\run.exe"}, {"C:\\Apps\\run.exe"}}).added, 2);
    EXPECT_EQ(Ini(Set(), "0", "Type"), kTypeProgram);
    EXPECT_EQ(ReadDataLine(IconSetFile(team), Ini(Set(), "0", "IconPath")), "C:\\Apps\\run.exe");
    const std::string a = IniText(Set(), "0", "Icon"), b = IniText(Set(), "1", "Icon");
    EXPECT_NE(a, b);
    EXPECT_TRUE(Exists(team + "/" + a.substr(1)));
    EXPECT_TRUE(Exists(team + "/" + b.substr(1)));
    ASSERT_FALSE(rendered.empty());
    EXPECT_EQ(rendered[0], (IconPlan{IconPlan::Kind::ExtractIcon, StockIcon::File, "C:\\Apps\\run.exe", 0}));
}

TEST_F(DropTest, PathTheCodePageLacksGoesInByItsShortNameOrIsSkippedWithAMessage) {
    shortNames["C:\\자료\\보고서.doc"] = "C:\\F3A1~1\\B2C4~1.DOC";
    settings.WarnAfterDone = false;
    DropResult r = Drop({{"C:\\a\\one.doc"}, {"C:\\사진\\🌸.jpg"}, {"C:\\자료\\보고서.doc"}, {"C:\\a\\two.txt"}});
    EXPECT_EQ(r.added, 3);
    EXPECT_EQ(r.skipped, 1);
    // Only the skipped file is told about, and it does not stop the others.
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"添加项目C:\\사진\\🌸.jpg失败,路径中含有无法保存的字符:사진🌸"});
    EXPECT_EQ(Ini(Set(), "ITEM", "Count"), 3);
    EXPECT_EQ(IniText(Set(), "0", "Name"), "one.doc");
    EXPECT_EQ(IniText(Set(), "1", "Name"), "B2C4~1.DOC");
    EXPECT_EQ(ReadDataLine(PathSetFile(team), Ini(Set(), "1", "Path")), "C:\\F3A1~1\\B2C4~1.DOC");
    EXPECT_EQ(IniText(Set(), "2", "Name"), "two.txt");

    // With input-check messages off the file is still skipped, silently.
    prompts.messages.clear();
    settings.WarnOnFormat = false;
    r = Drop({{"C:\\사진\\🌸.jpg"}});
    EXPECT_EQ(r.added, 0);
    EXPECT_EQ(r.skipped, 1);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(Ini(Set(), "ITEM", "Count"), 3);
}

TEST_F(DropTest, NothingWithoutAnOpenTeam) {
    DropResult r = Drop({{"C:\\a.exe"}}, -1);
    EXPECT_EQ(r.added, 0);
    EXPECT_FALSE(r.showItems);
    EXPECT_EQ(Ini(Set(), "ITEM", "Count"), -99);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(DropTest, MissingTeamFolderStopsAtTheFirstPath) {
    team = DataDir(settings.AppDir) + "GONE000000";
    DropResult r = Drop({{"C:\\a.exe"}, {"C:\\b.exe"}});
    EXPECT_EQ(r.added, 0);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgItemNoTeamFolder});
}

class FolderFormTest : public ::testing::Test, public DialogFixture {};

TEST_F(FolderFormTest, RemembersTheChosenFolderForTheNextOpening) {
    FolderForm picker(reg, shared);
    EXPECT_FALSE(picker.InitialFolder());
    ItemForm item(reg, shared);
    item.OpenForAdd(0, "");
    picker.OnOk("C:\\Tools\\Editor", item);
    EXPECT_EQ(item.txtPath, "C:\\Tools\\Editor\\");
    EXPECT_EQ(item.txtName, "Editor");
    EXPECT_EQ(item.cboType, kTypeFolder);
    EXPECT_EQ(reg.QueryString(kSettingsRoot, kDataKey, "rPath"), "C:\\Tools\\Editor\\");
    EXPECT_EQ(picker.InitialFolder(), "C:\\Tools\\Editor\\");
    EXPECT_EQ(picker.InitialDrive(), "C:");

    picker.OnOk("E:\\", item);
    EXPECT_EQ(item.txtPath, "E:\\");

    reg.SetDword(kSettingsRoot, kSettingKey, "RememberPath", 0);
    EXPECT_FALSE(picker.InitialFolder());
}

}  // namespace
}  // namespace vt
