// The skin chooser driven through VT.exe's menu command: the skins it offers,
// the folder it stores, and the popup and window look it stores and applies.
#include "tests/win32/vt_harness.h"

#include <fstream>

#include "launcher/dialogs/team_dialog_ids.h"
#include "launcher/menus/menu_ids.h"

namespace vt::harness {
namespace {

class SkinChooserTest : public LauncherTest {
protected:
    void SetUp() override {
        WriteDword(kSettingKeyW, L"WarnOnFormat", 1);
        WriteDword(kSettingKeyW, L"WarnAfterDone", 1);
    }

    HWND Open() {
        launcher_.Command(kMenuChangeSkin);
        return launcher_.WaitForDialog(L"皮肤设置");
    }
};

std::vector<std::wstring> ListEntries(HWND dlg) {
    std::vector<std::wstring> out;
    const auto n = SendDlgItemMessageW(dlg, kIdLstSkin, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        wchar_t buf[256] = {};
        SendDlgItemMessageW(dlg, kIdLstSkin, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf));
        out.emplace_back(buf);
    }
    return out;
}

TEST_F(SkinChooserTest, ListsNamedSkinsOnlyAndStoresTheChosenFolder) {
    // A folder without a description and one whose description has no name are no skins.
    fs::create_directories(launcher_.Dir() / "SKIN" / L"空文件夹");
    fs::create_directories(launcher_.Dir() / "SKIN" / L"无名皮肤");
    std::ofstream(launcher_.Dir() / "SKIN" / L"无名皮肤" / "skin.vsu") << "[SKIN]\r\nVersion=1\r\n";
    ASSERT_TRUE(launcher_.Start());
    DeleteValue(kSettingKeyW, L"SkinPath");
    HWND dlg = Open();
    ASSERT_NE(dlg, nullptr) << "the skin command opened no dialog";

    const std::vector<std::wstring> entries = ListEntries(dlg);
    ASSERT_FALSE(entries.empty());
    for (const auto& e : entries) {
        EXPECT_NE(e, L"空文件夹");
        EXPECT_NE(e, L"无名皮肤");
    }
    EXPECT_EQ(SendDlgItemMessageW(dlg, kIdLstSkin, LB_GETCURSEL, 0, 0), LB_ERR) << "nothing is preselected";

    // OK without a choice asks for one and keeps the dialog.
    Click(dlg, IDOK);
    EXPECT_TRUE(IsWindow(dlg) && IsWindowVisible(dlg));
    EXPECT_FALSE(ReadString(kSettingKeyW, L"SkinPath").has_value());

    const auto index = SendDlgItemMessageW(dlg, kIdLstSkin, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(L"蓝色卷轴"));
    ASSERT_NE(index, LB_ERR);
    SelectListEntry(dlg, kIdLstSkin, static_cast<int>(index));
    EXPECT_EQ(ControlText(dlg, kIdInfoValue), L"蓝色卷轴");
    EXPECT_NE(ControlText(dlg, kIdInfoValue + 1), L"") << "version";

    Click(dlg, IDOK);
    ASSERT_TRUE(launcher_.WaitGone(dlg));
    EXPECT_EQ(ReadString(kSettingKeyW, L"SkinPath"), L"蓝色卷轴");
    EXPECT_TRUE(WaitFor(launcher_.Process(), kTimeoutMs, [&] { return IsWindowVisible(launcher_.Main()) != FALSE; }))
        << "the main window did not come back after the new skin";
    EXPECT_TRUE(launcher_.Close());
}

TEST_F(SkinChooserTest, AppearanceStoresAlphasRoundedHalfToEvenAndAppliesTheWindowsAtOnce) {
    WriteDword(kDataKeyW, L"MsgOpacity", 128);
    WriteDword(kDataKeyW, L"MainOpacity", 255);
    for (const wchar_t* name : {L"MsgFrameColor", L"MsgBackColor", L"MsgFontColor", L"MsgFontSize"})
        DeleteValue(kDataKeyW, name);
    ASSERT_TRUE(launcher_.Start());
    HWND dlg = Open();
    ASSERT_NE(dlg, nullptr);

    Click(dlg, kIdOptPage + 1);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dlg, kIdTxtFO)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, kIdLstSkin)));
    EXPECT_EQ(ControlText(dlg, kIdTxtMO), L"50%");
    EXPECT_EQ(ControlText(dlg, kIdTxtFO), L"100%");
    EXPECT_EQ(ControlText(dlg, kIdTxtSize), L"9");

    // The arrows step by one within the bar's range.
    ScrollArrow(dlg, kIdVScrSize, SB_LINEUP);
    EXPECT_EQ(ControlText(dlg, kIdTxtSize), L"10");
    SetControlText(dlg, kIdTxtMO, L"0");
    ScrollArrow(dlg, kIdVScrMO, SB_LINEDOWN);
    EXPECT_EQ(ControlText(dlg, kIdTxtMO), L"0%");

    // Typed values count when they are whole numbers in range, else the bar stays.
    SetControlText(dlg, kIdTxtSize, L"大");
    SetControlText(dlg, kIdTxtMO, L"50");
    SetControlText(dlg, kIdTxtFO, L"50%");
    Click(dlg, IDOK);
    ASSERT_TRUE(launcher_.WaitGone(dlg));

    EXPECT_EQ(ReadDword(kDataKeyW, L"MsgFontSize"), 10u);
    EXPECT_EQ(ReadDword(kDataKeyW, L"MsgOpacity"), 128u);   // 127.5
    EXPECT_EQ(ReadDword(kDataKeyW, L"MainOpacity"), 128u);  // 127.5
    EXPECT_EQ(ReadDword(kDataKeyW, L"MsgFrameColor"), 16384u);
    EXPECT_EQ(ReadDword(kDataKeyW, L"MsgBackColor"), 12648384u);
    EXPECT_EQ(ReadDword(kDataKeyW, L"MsgFontColor"), 16384u);
    BYTE alpha = 0;
    COLORREF key = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(launcher_.Main(), &key, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(key, RGB(250, 250, 250));

    // Reopened, the stored alphas show as the percentages they came from.
    dlg = Open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(ControlText(dlg, kIdTxtFO), L"50%");
    EXPECT_EQ(ControlText(dlg, kIdTxtMO), L"50%");
    EXPECT_EQ(ControlText(dlg, kIdTxtSize), L"10");
    Click(dlg, IDCANCEL);
    ASSERT_TRUE(launcher_.WaitGone(dlg));
    EXPECT_TRUE(launcher_.Close());
}

}  // namespace
}  // namespace vt::harness
