// The team editor driven through VT.exe's menu commands: what its OK writes to
// DATA\TEAM.SET and the team folders, and what it refuses to write.
#include "tests/win32/vt_harness.h"

#include <cctype>

#include "common/ini.h"
#include "launcher/dialogs/team_dialog_ids.h"
#include "launcher/menus/menu_ids.h"
#include "launcher/store/password.h"
#include "launcher/store/store.h"

namespace vt::harness {
namespace {

class TeamDialogTest : public LauncherTest {
protected:
    void SetUp() override {
        WriteDword(kSettingKeyW, L"WarnOnFormat", 1);
        WriteDword(kSettingKeyW, L"WarnOnError", 1);
        WriteDword(kSettingKeyW, L"WarnAfterDone", 1);
        WriteDword(kSettingKeyW, L"RememberLastTeam", 0);
    }

    std::string TeamSet() const { return launcher_.AppDir() + "DATA\\TEAM.SET"; }
    std::string Team(int section, const char* key) const {
        FlushIniCache();
        return ReadIniString(TeamSet(), std::to_string(section), key, "<none>");
    }
    int TeamCount() const {
        FlushIniCache();
        return ReadIniInt(TeamSet(), "Team", "Count", -1);
    }
    bool TeamFolderExists(const std::string& name) const {
        return !name.empty() && fs::is_directory(launcher_.Dir() / "DATA" / PathFromUtf8(name));
    }

    // Answers the launcher's "密码确认" box.
    void AnswerPassword(const std::wstring& text) {
        HWND box = launcher_.WaitForDialog(L"密码确认");
        ASSERT_NE(box, nullptr) << "no password prompt";
        HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
        ASSERT_NE(edit, nullptr);
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        Click(box, IDOK);
        ASSERT_TRUE(launcher_.WaitGone(box));
    }

    HWND OpenEditor(WORD command, const wchar_t* title) {
        launcher_.Command(command);
        return launcher_.WaitForDialog(title);
    }
};

bool IsRandomFolderName(const std::string& s) {
    if (s.size() != 10) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c)) && !(c >= 'A' && c <= 'Z')) return false;
    return true;
}

TEST_F(TeamDialogTest, AddOnAFreshInstallationWritesTheFirstTeamAndItsFolder) {
    ASSERT_TRUE(launcher_.Start());
    HWND dlg = OpenEditor(kMenuAddTeam, L"添加类别");
    ASSERT_NE(dlg, nullptr) << "the add-team command opened no editor";

    const std::pair<int, const wchar_t*> captions[] = {
        {kIdTeamNameLabel, L"类别名称:"},  {kIdTeamNoteLabel, L"注释:"}, {kIdTeamPasswordLabel, L"密码:"},
        {kIdChkPassword, L"明文显示密码"}, {IDOK, L"确定(&O)"},          {IDCANCEL, L"取消(&C)"}};
    for (const auto& [id, text] : captions)
        EXPECT_EQ(ControlText(dlg, id), text) << "control " << id;
    for (int id : {kIdTxtName, kIdTxtNote, kIdTxtPassword})
        EXPECT_EQ(ControlText(dlg, id), L"");
    EXPECT_FALSE(IsChecked(dlg, kIdChkPassword));

    // The check box lifts the mask and puts it back.
    EXPECT_EQ(SendDlgItemMessageW(dlg, kIdTxtPassword, EM_GETPASSWORDCHAR, 0, 0), L'*');
    Click(dlg, kIdChkPassword);
    EXPECT_EQ(SendDlgItemMessageW(dlg, kIdTxtPassword, EM_GETPASSWORDCHAR, 0, 0), 0);
    Click(dlg, kIdChkPassword);
    EXPECT_EQ(SendDlgItemMessageW(dlg, kIdTxtPassword, EM_GETPASSWORDCHAR, 0, 0), L'*');

    // Without a name nothing is written and the editor stays.
    SetControlText(dlg, kIdTxtNote, L"无名");
    Click(dlg, IDOK);
    EXPECT_TRUE(IsWindow(dlg) && IsWindowVisible(dlg));
    EXPECT_EQ(TeamCount(), -1);

    SetControlText(dlg, kIdTxtName, L"测试类别");
    SetControlText(dlg, kIdTxtNote, L"第一个类别");
    Click(dlg, IDOK);
    ASSERT_TRUE(launcher_.WaitGone(dlg));

    EXPECT_EQ(TeamCount(), 1);
    EXPECT_EQ(Team(0, "Name"), "测试类别");
    EXPECT_EQ(Team(0, "Note"), "第一个类别");
    EXPECT_EQ(Team(0, "Password"), "False");
    const std::string folder = Team(0, "Path");
    EXPECT_TRUE(IsRandomFolderName(folder)) << folder;
    EXPECT_TRUE(TeamFolderExists(folder));
    EXPECT_TRUE(launcher_.Close());
}

TEST_F(TeamDialogTest, AddWithAPasswordStoresTheFolderScrambled) {
    ASSERT_TRUE(launcher_.Start());
    HWND dlg = OpenEditor(kMenuAddTeam, L"添加类别");
    ASSERT_NE(dlg, nullptr);
    SetControlText(dlg, kIdTxtName, L"私密");
    SetControlText(dlg, kIdTxtPassword, L"abc123");
    Click(dlg, IDOK);
    ASSERT_TRUE(launcher_.WaitGone(dlg));

    EXPECT_EQ(TeamCount(), 1);
    EXPECT_EQ(Team(0, "Password"), "True");
    const std::string stored = Team(0, "Path");
    EXPECT_FALSE(IsRandomFolderName(stored)) << "the folder name is stored plain";
    const std::string folder = DecodePassword(stored, "abc123");
    EXPECT_TRUE(IsRandomFolderName(folder)) << folder;
    EXPECT_TRUE(TeamFolderExists(folder));
    EXPECT_TRUE(launcher_.Close());
}

TEST_F(TeamDialogTest, CancelWritesNothing) {
    ASSERT_TRUE(launcher_.Start());
    HWND dlg = OpenEditor(kMenuAddTeam, L"添加类别");
    ASSERT_NE(dlg, nullptr);
    SetControlText(dlg, kIdTxtName, L"不要保存");
    Click(dlg, IDCANCEL);
    ASSERT_TRUE(launcher_.WaitGone(dlg));
    EXPECT_EQ(TeamCount(), -1);
    EXPECT_TRUE(launcher_.Close());
}

// A protected team, current at start: the launcher asks its password once to
// show the items and once more for the edit command.
class TeamEditTest : public TeamDialogTest {
protected:
    void SetUp() override {
        TeamDialogTest::SetUp();
        StoreResult res = AddTeam(launcher_.AppDir(), TeamInput{"旧名", "旧注释", "pw"});
        ASSERT_TRUE(res.ok());
        folder_ = res.name;
        WriteDword(kSettingKeyW, L"RememberLastTeam", 1);
        WriteDword(kDataKeyW, L"LastTeam", 0);
        ASSERT_TRUE(launcher_.Start(false));
        AnswerPassword(L"pw");
    }
    std::string folder_;
};

TEST_F(TeamEditTest, ClearingThePasswordStoresTheSameFolderPlain) {
    launcher_.Command(kMenuEditTeam);
    AnswerPassword(L"pw");
    HWND dlg = launcher_.WaitForDialog(L"编辑类别");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(ControlText(dlg, kIdTxtName), L"旧名");
    EXPECT_EQ(ControlText(dlg, kIdTxtNote), L"旧注释");
    EXPECT_EQ(ControlText(dlg, kIdTxtPassword), L"pw");

    SetControlText(dlg, kIdTxtName, L"新名");
    SetControlText(dlg, kIdTxtPassword, L"");
    Click(dlg, IDOK);
    ASSERT_TRUE(launcher_.WaitGone(dlg));

    EXPECT_EQ(TeamCount(), 1);
    EXPECT_EQ(Team(0, "Name"), "新名");
    EXPECT_EQ(Team(0, "Path"), folder_);
    EXPECT_EQ(Team(0, "Password"), "False");
    EXPECT_TRUE(TeamFolderExists(folder_));
    EXPECT_TRUE(launcher_.Close());
}

TEST_F(TeamEditTest, AMistypedPasswordLeavesTheTeamAsItWas) {
    const std::string storedPath = Team(0, "Path");
    launcher_.Command(kMenuEditTeam);
    AnswerPassword(L"wrong");
    HWND dlg = launcher_.WaitForDialog(L"编辑类别");
    ASSERT_NE(dlg, nullptr);
    SetControlText(dlg, kIdTxtName, L"改坏了");
    Click(dlg, IDOK);
    ASSERT_TRUE(launcher_.WaitGone(dlg));

    // Writing the wrongly decoded name would cut the team off from its items.
    EXPECT_EQ(Team(0, "Name"), "旧名");
    EXPECT_EQ(Team(0, "Path"), storedPath);
    EXPECT_EQ(Team(0, "Password"), "True");
    EXPECT_EQ(DecodePassword(Team(0, "Path"), "pw"), folder_);
    EXPECT_TRUE(launcher_.Close());
}

}  // namespace
}  // namespace vt::harness
