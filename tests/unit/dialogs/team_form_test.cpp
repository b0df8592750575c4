#include "launcher/dialogs/team_form.h"

#include <gtest/gtest.h>

#include "launcher/store/password.h"
#include "tests/unit/dialogs/dialog_fixture.h"

namespace vt {
namespace {

class TeamFormTest : public ::testing::Test, public DialogFixture {
protected:
    std::string TeamSet() { return TeamSetFile(settings.AppDir); }
    TeamForm form;
};

TEST_F(TeamFormTest, AddToAFreshInstallation) {
    form.OpenForAdd();
    form.txtName = "常用";
    form.txtNote = "每天用";
    FormOutcome out = form.OnOk(settings, prompts);
    EXPECT_TRUE(out.close);
    EXPECT_TRUE(out.showTeams);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"添加类别常用成功"});
    EXPECT_EQ(Ini(TeamSet(), "Team", "Count"), 1);
    const std::string folder = IniText(TeamSet(), "0", "Path");
    EXPECT_EQ(folder, form.teamFolderName);
    ASSERT_EQ(folder.size(), 10u);
    for (char c : folder)
        EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) << folder;
    EXPECT_TRUE(Exists(TeamFolderPath(settings.AppDir, folder)));
    EXPECT_EQ(IniText(TeamSet(), "0", "Name"), "常用");
    EXPECT_EQ(IniText(TeamSet(), "0", "Note"), "每天用");
    EXPECT_EQ(IniText(TeamSet(), "0", "Password"), "False");
}

TEST_F(TeamFormTest, PasswordScramblesAndClearingItStoresPlain) {
    form.OpenForAdd();
    form.txtName = "私人";
    form.txtPassword = "secret";
    ASSERT_TRUE(form.OnOk(settings, prompts).close);
    const std::string folder = form.teamFolderName;
    EXPECT_EQ(IniText(TeamSet(), "0", "Password"), "True");
    EXPECT_NE(IniText(TeamSet(), "0", "Path"), folder);
    EXPECT_EQ(ResolveTeamFolder(settings.AppDir, 0, "secret"), TeamFolderPath(settings.AppDir, folder));

    TeamForm edit;
    edit.OpenForEdit(settings.AppDir, 0, "secret");
    EXPECT_EQ(edit.teamFolderName, folder);
    EXPECT_EQ(edit.txtName, "私人");
    edit.txtPassword.clear();
    prompts.messages.clear();
    ASSERT_TRUE(edit.OnOk(settings, prompts).close);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"编辑类别私人成功"});
    EXPECT_EQ(IniText(TeamSet(), "0", "Path"), folder);
    EXPECT_EQ(IniText(TeamSet(), "0", "Password"), "False");
    EXPECT_EQ(Ini(TeamSet(), "Team", "Count"), 1);
}

TEST_F(TeamFormTest, WrongPasswordEditWritesNothing) {
    form.OpenForAdd();
    form.txtName = "私人";
    form.txtPassword = "secret";
    ASSERT_TRUE(form.OnOk(settings, prompts).close);
    const std::string stored = IniText(TeamSet(), "0", "Path");

    TeamForm edit;
    edit.OpenForEdit(settings.AppDir, 0, "wrong");
    edit.txtName = "改名";
    prompts.messages.clear();
    FormOutcome out = edit.OnOk(settings, prompts);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgTeamFolderMissing});
    EXPECT_FALSE(out.showTeams);
    EXPECT_EQ(IniText(TeamSet(), "0", "Path"), stored);
    EXPECT_EQ(IniText(TeamSet(), "0", "Name"), "私人");
    EXPECT_EQ(IniText(TeamSet(), "0", "Password"), "True");
}

TEST_F(TeamFormTest, NoTeamIsAddedPastTheLimit) {
    for (const char* count : {"500", "99999"}) {
        ASSERT_TRUE(WriteIniString(TeamSet(), "TEAM", "Count", count));
        const size_t folders =
            std::distance(std::filesystem::directory_iterator(PathFromUtf8(DataDir(settings.AppDir))), {});
        prompts.messages.clear();
        form.OpenForAdd();
        form.txtName = "第501个";
        FormOutcome out = form.OnOk(settings, prompts);
        EXPECT_TRUE(out.close);
        EXPECT_FALSE(out.showTeams);
        EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgTeamsOverLimit}) << count;
        EXPECT_EQ(IniText(TeamSet(), "TEAM", "Count"), count);
        EXPECT_EQ(IniText(TeamSet(), "500", "Name"), "<missing>");
        EXPECT_EQ(IniText(TeamSet(), "32767", "Name"), "<missing>");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(PathFromUtf8(DataDir(settings.AppDir))), {}),
                  folders);
    }
    // Below the limit the new team follows the last one shown.
    ASSERT_TRUE(WriteIniString(TeamSet(), "TEAM", "Count", "499"));
    form.OpenForAdd();
    form.txtName = "第500个";
    ASSERT_TRUE(form.OnOk(settings, prompts).showTeams);
    EXPECT_EQ(IniText(TeamSet(), "499", "Name"), "第500个");
}

TEST_F(TeamFormTest, EmptyNameKeepsTheDialogOpen) {
    for (bool warn : {true, false}) {
        settings.WarnOnFormat = warn;
        prompts.messages.clear();
        form.OpenForAdd();
        FormOutcome out = form.OnOk(settings, prompts);
        EXPECT_FALSE(out.close);
        EXPECT_FALSE(out.showTeams);
        EXPECT_EQ(prompts.messages.size(), warn ? 1u : 0u);
    }
    EXPECT_EQ(Ini(TeamSet(), "Team", "Count"), -99);
}

TEST_F(TeamFormTest, TextTheCodePageLacksOrTooLongIsRefusedByField) {
    std::string longName;
    for (int i = 0; i < 310; ++i)
        longName += "类";
    struct Case {
        std::string name, note, password;
        TeamField field;
        std::string message;
    } cases[] = {
        {"常用😀", "", "", TeamField::Name, "类别名称中含有无法保存的字符:😀,请修改"},
        {longName, "", "", TeamField::Name, "类别名称太长,最多只能保存254个字节,请修改"},
        {"常用", "메모", "", TeamField::Note, "注释中含有无法保存的字符:메모,请修改"},
        {"常用", "x" + longName, "", TeamField::Note, "注释太长,最多只能保存254个字节,请修改"},
        {"常用", "", "비밀", TeamField::Password, "密码中含有无法保存的字符:비밀,请修改"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        form.OpenForAdd();
        form.txtName = c.name;
        form.txtNote = c.note;
        form.txtPassword = c.password;
        prompts.messages.clear();
        FormOutcome out = form.OnOk(settings, prompts);
        EXPECT_FALSE(out.close);
        EXPECT_FALSE(out.showTeams);
        EXPECT_EQ(form.refusedField, c.field);
        EXPECT_EQ(prompts.messages, std::vector<std::string>{c.message});
    }
    EXPECT_EQ(Ini(TeamSet(), "Team", "Count"), -99);  // not even the count moved

    // 127 double-byte characters are the most a name holds, and read back whole.
    form.OpenForAdd();
    form.txtName = longName.substr(0, 127 * 3);
    ASSERT_TRUE(form.OnOk(settings, prompts).close);
    EXPECT_EQ(IniText(TeamSet(), "0", "Name"), form.txtName);
}

TEST_F(TeamFormTest, SuccessMessageFollowsWarnAfterDone) {
    settings.WarnAfterDone = false;
    form.OpenForAdd();
    form.txtName = "a";
    EXPECT_TRUE(form.OnOk(settings, prompts).close);
    EXPECT_TRUE(prompts.messages.empty());
}

}  // namespace
}  // namespace vt
