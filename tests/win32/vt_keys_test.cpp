// VT.exe driven from the keyboard: typing finds items of every open team,
// Enter starts the one found, Escape brings the team back, the arrows and
// Enter start the item they reach, Ctrl+Tab switches teams, and a protected
// team's items are never found.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/ini.h"
#include "launcher/store/launch_stats.h"
#include "launcher/store/store.h"
#include "tests/win32/screenshot.h"
#include "tests/win32/vt_ui_layout.h"

namespace vt {
namespace {

using namespace harness;
using namespace ui_test;

constexpr wchar_t kTestKey[] = L"Software\\VantrelTest";

// Characters as a keyboard layout gives them to the window.
void Type(HWND w, const std::wstring& text) {
    for (wchar_t c : text)
        PostMessageW(w, WM_CHAR, c, 1);
}
void Key(HWND w, WPARAM vk) {
    PostMessageW(w, WM_KEYDOWN, vk, 1);
    PostMessageW(w, WM_KEYUP, vk, 0xC0000001);
}

// How often the launcher counted a launch of item `item` (named `name`) of the team in `folder`.
uint32_t Launches(const std::string& app, const std::string& folder, int item, const std::string& name) {
    const std::string folderName = PathToUtf8(PathFromUtf8(folder).filename());
    return LaunchStats::Load(app).Get(folderName, item, name).count;
}

// Real programs the demo items start are closed again, so they do not stay on
// the test's display (and behind the windows later tests photograph). The
// launch is counted before the program's window exists, so wait for it first.
void CloseWindowsOfClass(const wchar_t* cls) {
    WaitFor(10000, [&] { return FindWindowW(cls, nullptr) != nullptr; });
    WaitFor(10000, [&] {
        HWND w = FindWindowW(cls, nullptr);
        if (w) PostMessageW(w, WM_CLOSE, 0, 0);
        return w == nullptr;
    });
}

class VtKeys : public LauncherTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(launcher_.UseDemoStore()) << "build the demo store first";
        app_ = launcher_.AppDir();
        UseClickLayout();
    }
    std::string app_;
};

TEST_F(VtKeys, TypingInitialsThenEnterStartsTheItemOfAnyTeamAndEscapeBringsTheTeamBack) {
    const std::string tools = ResolveTeamFolder(app_, 0, "");
    ASSERT_EQ(ReadItemRecord(tools, 0).Name, "记事本");
    WindowLayout layout(app_, 0);
    layout.OpenTeam(2);
    ASSERT_TRUE(launcher_.Start());
    HWND w = launcher_.Main();
    ASSERT_TRUE(OpenTeamByClick(launcher_.Process(), w, layout, 2));
    const RECT panel = PixelRect(layout.Model().GetScene(), Part::PicItem);
    const std::vector<uint32_t> teamShown = ClientPixels(w, panel);

    // Escape: the team shown before is back, pixel for pixel.
    Type(w, L"xy");
    ASSERT_TRUE(WaitFor(launcher_.Process(), kDialogTimeoutMs, [&] { return ClientPixels(w, panel) != teamShown; }))
        << "typing showed no find line";
    Key(w, VK_ESCAPE);
    EXPECT_TRUE(WaitFor(launcher_.Process(), kDialogTimeoutMs, [&] { return ClientPixels(w, panel) == teamShown; }))
        << "Escape did not bring the team back";

    Type(w, L"jsb");
    ASSERT_TRUE(Settled(w));
    SaveWindowScreenshot(w, ScreenshotDir() + L"vt_find_line.png");
    Key(w, VK_RETURN);
    EXPECT_TRUE(WaitFor(launcher_.Process(), kTimeoutMs, [&] { return Launches(app_, tools, 0, "记事本") == 1; }))
        << "jsb and Enter did not start 记事本";
    CloseWindowsOfClass(L"Notepad");
    ASSERT_TRUE(launcher_.Close());
}

TEST_F(VtKeys, ArrowThenEnterStartsTheItemToTheRightAndCtrlTabSwitchesTeams) {
    // A team in front whose second item leaves a mark that can be checked.
    RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
    ASSERT_TRUE(AddTeam(app_, TeamInput{"测试", "", ""}));
    const int count = 5;  // the demo's four and this one
    ASSERT_TRUE(SwapTeams(app_, 0, count - 1));
    const std::string folder = ResolveTeamFolder(app_, 0, "");
    ItemInput first;
    first.Name = "第一";
    first.Path = "C:\\第一.exe";
    first.IconText = "[FILE]";
    ItemInput reg;
    reg.Name = "写注册表";
    reg.Type = 5;
    reg.Path = "[REGCTRL]";
    reg.Para = "1|Software\\VantrelTest|Launched|0|已启动";
    reg.IconText = "[EXITEM]";
    ASSERT_TRUE(AddItem(app_, folder, first));
    ASSERT_TRUE(AddItem(app_, folder, reg));
    FlushIniCache();
    WriteDword(kSettingKeyW, L"RememberLastTeam", 1);
    WriteDword(kDataKeyW, L"LastTeam", 0);

    WindowLayout layout(app_, 0);
    layout.OpenTeam(0);
    ASSERT_TRUE(launcher_.Start());
    HWND w = launcher_.Main();
    ASSERT_TRUE(Settled(w));
    PostClick(w, layout.Centre(Part::PicIcon, 0));  // one click selects (double click launches)
    Key(w, VK_RIGHT);
    Key(w, VK_RETURN);
    EXPECT_TRUE(WaitFor(launcher_.Process(), kDialogTimeoutMs, [&] {
        return ReadString(kTestKey, L"Launched", HKEY_CURRENT_USER) == std::optional<std::wstring>(L"已启动");
    })) << "Right and Enter did not start the item to the right";

    // Ctrl+Tab needs Ctrl really held: real key presses to the window in front.
    ASSERT_TRUE(BringToFront(launcher_.Process(), w));
    INPUT keys[4] = {};
    const WORD vks[4] = {VK_CONTROL, VK_TAB, VK_TAB, VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = vks[i];
        keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    const RECT panel = PixelRect(layout.Model().GetScene(), Part::PicItem);
    const std::vector<uint32_t> before = ClientPixels(w, panel);
    SendInput(4, keys, sizeof(INPUT));
    // Input comes after posted messages: the close must wait for the new team to show.
    EXPECT_TRUE(WaitFor(launcher_.Process(), kDialogTimeoutMs, [&] { return ClientPixels(w, panel) != before; }));
    ASSERT_TRUE(Settled(w));
    ASSERT_TRUE(launcher_.Close());
    EXPECT_EQ(ReadDword(kDataKeyW, L"LastTeam"), std::optional<DWORD>(1)) << "Ctrl+Tab did not open the next team";
    RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
}

TEST_F(VtKeys, AProtectedTeamsItemsAreNeverFound) {
    ASSERT_TRUE(AddTeam(app_, TeamInput{"私密", "", "pw"}));
    FakePrompts quiet;
    const int team = ReadTeamCount(app_, quiet, false) - 1;
    const std::string folder = ResolveTeamFolder(app_, team, "pw");
    ASSERT_FALSE(folder.empty());
    ItemInput secret;
    secret.Name = "秘密工具";
    secret.Path = "C:\\windows\\system32\\cmd.exe";
    secret.IconText = "[FILE]";
    ASSERT_TRUE(AddItem(app_, folder, secret));
    FlushIniCache();

    ASSERT_TRUE(launcher_.Start());
    HWND w = launcher_.Main();
    ASSERT_TRUE(Settled(w));
    Type(w, L"mmgj");
    Key(w, VK_RETURN);
    ASSERT_TRUE(Settled(w));
    SaveWindowScreenshot(w, ScreenshotDir() + L"vt_find_nothing.png");
    // Nothing asks for the team's password, and nothing was started.
    EXPECT_FALSE(WaitFor(launcher_.Process(), 3000,
                         [&] { return FindProcessWindow(launcher_.Proc().Id(), L"#32770") != nullptr; }));
    EXPECT_EQ(Launches(app_, folder, 0, "秘密工具"), 0u);
    ASSERT_TRUE(launcher_.Close());
}

}  // namespace
}  // namespace vt
