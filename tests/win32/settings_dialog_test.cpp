// The settings dialog driven through VT.exe's menu command: what it shows
// from the registry, and what its OK writes back (the autorun entry too).
#include "tests/win32/vt_harness.h"

#include "launcher/dialogs/team_dialog_ids.h"
#include "launcher/menus/menu_ids.h"

namespace vt::harness {
namespace {

class SettingsDialogTest : public LauncherTest {
protected:
    void SetUp() override { WriteDword(kSettingKeyW, L"WarnOnExit", 0); }

    HWND Open() {
        launcher_.Command(kMenuSet);
        return launcher_.WaitForDialog(L"软件设置");
    }

    static bool Shown(HWND dlg, int id) { return IsWindowVisible(GetDlgItem(dlg, id)) != FALSE; }

    ValueSnapshot run_{kRunKeyW, L"Vantrel"};
};

TEST_F(SettingsDialogTest, OpensWithTheStoredValuesAndCreatesMissingOnes) {
    WriteDword(kSettingKeyW, L"LaunchMode", 0);
    WriteDword(kSettingKeyW, L"ShowItemType", 2);
    WriteDword(kSettingKeyW, L"WarnOnDelete", 0);
    WriteDword(kSettingKeyW, L"MinAfterLaunch", 1);
    DeleteValue(kSettingKeyW, L"RememberPath");
    ASSERT_TRUE(launcher_.Start());
    // The launcher's start may create the value; the dialog must show and keep it 0 either way.
    DeleteValue(kSettingKeyW, L"RememberPath");
    HWND dlg = Open();
    ASSERT_NE(dlg, nullptr) << "the settings command opened no dialog";

    EXPECT_TRUE(IsChecked(dlg, kIdOptLaunch));
    EXPECT_FALSE(IsChecked(dlg, kIdOptLaunch1));
    EXPECT_TRUE(IsChecked(dlg, kIdOptShowItem + 2));
    EXPECT_FALSE(IsChecked(dlg, kIdChkWarn + 1));
    EXPECT_TRUE(IsChecked(dlg, kIdChkMin));
    EXPECT_FALSE(IsChecked(dlg, kIdChkOpen));
    EXPECT_EQ(ControlText(dlg, kIdChkOpen), L"\"打开\"对话框记忆路径");
    EXPECT_EQ(ReadDword(kSettingKeyW, L"RememberPath"), 0u);

    // The first page shows at opening; each page button shows its page only.
    EXPECT_TRUE(IsChecked(dlg, kIdOptSet));
    EXPECT_TRUE(Shown(dlg, kIdChkMin));
    EXPECT_FALSE(Shown(dlg, kIdChkWarn));
    const int onPage[4] = {kIdChkMin, kIdChkHot, kIdChkWarn, kIdChkWin};
    for (int page = 0; page < 4; ++page) {
        Click(dlg, kIdOptSet + page);
        for (int other = 0; other < 4; ++other)
            EXPECT_EQ(Shown(dlg, onPage[other]), other == page) << "page " << page << ", control of page " << other;
    }

    // Cancel keeps what is stored, whatever the controls say.
    Click(dlg, kIdOptSet);
    Click(dlg, kIdChkMin);
    Click(dlg, IDCANCEL);
    ASSERT_TRUE(launcher_.WaitGone(dlg));
    EXPECT_EQ(ReadDword(kSettingKeyW, L"MinAfterLaunch"), 1u);
    EXPECT_TRUE(launcher_.Close());
}

TEST_F(SettingsDialogTest, OkWritesEveryControlAndTheAutorunEntry) {
    WriteDword(kDataKeyW, L"RollTeamRate", 150);
    WriteDword(kDataKeyW, L"RollItemRate", 150);
    WriteDword(kSettingKeyW, L"LaunchOnStart", 0);
    ASSERT_TRUE(launcher_.Start());
    HWND dlg = Open();
    ASSERT_NE(dlg, nullptr);

    // The arrows move only their own box: the two rates are separate values.
    ASSERT_EQ(ControlText(dlg, kIdTxtRoll), L"150");
    ScrollArrow(dlg, kIdVScrRoll, SB_LINEUP);
    ScrollArrow(dlg, kIdVScrRoll, SB_LINEUP);
    ScrollArrow(dlg, kIdVScrRoll, SB_LINEDOWN);
    EXPECT_EQ(ControlText(dlg, kIdTxtRoll), L"151");
    EXPECT_EQ(ControlText(dlg, kIdTxtRoll1), L"150");
    SetControlText(dlg, kIdTxtRoll1, L"300");

    Click(dlg, kIdOptLaunch);
    SetChecked(dlg, kIdChkMin, true);
    SetChecked(dlg, kIdChkMin1, true);
    SetChecked(dlg, kIdChkRoll, false);
    SetChecked(dlg, kIdChkRoll1, true);
    Click(dlg, kIdOptSet + 1);
    SetChecked(dlg, kIdChkHot, true);
    SetChecked(dlg, kIdChkHot1, true);
    SetChecked(dlg, kIdChkHot2, true);
    SetChecked(dlg, kIdChkHot3, false);
    SetControlText(dlg, kIdTxtHot, L"Q");
    SetChecked(dlg, kIdChkShow, true);
    SetChecked(dlg, kIdChkOther, true);
    SetChecked(dlg, kIdChkOther1, true);
    Click(dlg, kIdOptSet + 2);
    const bool warn[6] = {true, false, true, false, false, false};
    for (int i = 0; i < 6; ++i)
        SetChecked(dlg, kIdChkWarn + i, warn[i]);
    Click(dlg, kIdOptSet + 3);
    Click(dlg, kIdOptShowItem + 1);
    SetChecked(dlg, kIdChkRunOne, false);
    SetChecked(dlg, kIdChkHide, false);
    SetChecked(dlg, kIdChkRmTeam, true);
    SetChecked(dlg, kIdChkOpen, true);
    SetChecked(dlg, kIdChkWin, false);
    Click(dlg, IDOK);
    ASSERT_TRUE(launcher_.WaitGone(dlg));

    const std::pair<const wchar_t*, DWORD> settingValues[] = {
        {L"AutoRollOnTeam", 0},   {L"AutoRollOnItem", 1},   {L"MinAfterLaunch", 1}, {L"MinAfterClickClose", 1},
        {L"LaunchMode", 0},       {L"UseHotKey", 1},        {L"ShowInMouse", 1},    {L"LaunchOnStart", 1},
        {L"RememberMainPos", 1},  {L"WarnOnError", 1},      {L"WarnOnDelete", 0},   {L"WarnOnFormat", 1},
        {L"WarnBeforeLaunch", 0}, {L"WarnOnExit", 0},       {L"WarnAfterDone", 0},  {L"StandOnTop", 0},
        {L"RememberPath", 1},     {L"RememberLastTeam", 1}, {L"HideInSide", 0},     {L"OnlyLaunchOne", 0},
        {L"ShowItemType", 1}};
    for (const auto& [name, value] : settingValues)
        EXPECT_EQ(ReadDword(kSettingKeyW, name), value) << Narrow(name);
    const std::pair<const wchar_t*, DWORD> dataValues[] = {
        {L"RollTeamRate", 151}, {L"RollItemRate", 300}, {L"HKUseCtrl", 1}, {L"HKUseAlt", 1}, {L"HKUseShift", 0}};
    for (const auto& [name, value] : dataValues)
        EXPECT_EQ(ReadDword(kDataKeyW, name), value) << Narrow(name);
    EXPECT_EQ(ReadString(kDataKeyW, L"HKUseKey"), L"Q");
    const std::wstring exe = launcher_.Dir().wstring() + L"\\VT.exe";
    EXPECT_EQ(ReadString(kRunKeyW, L"Vantrel"), exe);

    // Unchecked again, the autorun entry goes.
    dlg = Open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(IsChecked(dlg, kIdChkOther));
    EXPECT_EQ(ControlText(dlg, kIdTxtRoll1), L"300");
    Click(dlg, kIdOptSet + 1);
    SetChecked(dlg, kIdChkOther, false);
    Click(dlg, IDOK);
    ASSERT_TRUE(launcher_.WaitGone(dlg));
    EXPECT_EQ(ReadDword(kSettingKeyW, L"LaunchOnStart"), 0u);
    EXPECT_FALSE(ReadString(kRunKeyW, L"Vantrel").has_value());
    EXPECT_TRUE(launcher_.Close());
}

TEST_F(SettingsDialogTest, ARateThatIsNotAWholeNumberKeepsTheStoredRate) {
    WriteDword(kDataKeyW, L"RollTeamRate", 120);
    WriteDword(kDataKeyW, L"RollItemRate", 130);
    ASSERT_TRUE(launcher_.Start());
    HWND dlg = Open();
    ASSERT_NE(dlg, nullptr);
    SetControlText(dlg, kIdTxtRoll, L"");
    SetControlText(dlg, kIdTxtRoll1, L"99999");
    Click(dlg, IDOK);
    ASSERT_TRUE(launcher_.WaitGone(dlg));
    EXPECT_EQ(ReadDword(kDataKeyW, L"RollTeamRate"), 120u);
    EXPECT_EQ(ReadDword(kDataKeyW, L"RollItemRate"), 130u);
    EXPECT_TRUE(launcher_.Close());
}

}  // namespace
}  // namespace vt::harness
