// The main window of VT.exe as a user meets it: the first start in an empty
// folder, team captions clicked with the mouse, a protected team, the order
// swap, and pictures of every layout and popup menu for people to look at.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "common/ini.h"
#include "launcher/menus/menu_ids.h"
#include "launcher/settings/settings.h"
#include "launcher/store/store.h"
#include "tests/win32/screenshot.h"
#include "tests/win32/vt_ui_layout.h"

namespace vt {
namespace {

using namespace harness;
using namespace ui_test;

constexpr WORD kPasswordEdit = 101;  // the edit box of the "密码确认" box

class VtWindow : public LauncherTest {
protected:
    void UseDemoStore() { ASSERT_TRUE(launcher_.UseDemoStore()) << "build the demo store first"; }
    std::string TeamName(int index) { return ReadTeamRecord(launcher_.AppDir(), index).Name; }
    // The window paints its title and panels itself; what they show is read off the screen.
    std::vector<uint32_t> Pixels(RECT r) { return ClientPixels(launcher_.Main(), r); }
    // Waits until region r no longer shows `was`.
    bool WaitChange(RECT r, const std::vector<uint32_t>& was) {
        return WaitFor(launcher_.Process(), kDialogTimeoutMs, [&] { return Pixels(r) != was; });
    }
    bool WaitSame(RECT r, const std::vector<uint32_t>& expected) {
        return WaitFor(launcher_.Process(), kDialogTimeoutMs, [&] { return Pixels(r) == expected; });
    }
    void Shot(const wchar_t* name) {
        EXPECT_TRUE(SaveWindowScreenshot(launcher_.Main(), ScreenshotDir() + name)) << Narrow(name);
    }
};

TEST_F(VtWindow, FirstStartInAnEmptyFolderStoresEveryDefaultAndEndsOnClose) {
    // A machine that never ran the launcher: neither key exists (the snapshots put them back).
    DeleteKey(kSettingKeyW);
    DeleteKey(kDataKeyW);
    ASSERT_FALSE(fs::exists(launcher_.Dir() / "DATA"));
    ASSERT_TRUE(launcher_.Start()) << "no main window";
    EXPECT_TRUE(fs::is_directory(launcher_.Dir() / "DATA"));
    EXPECT_EQ(Title(launcher_.Main()), L"Vantrel");
    RECT client{};
    GetClientRect(launcher_.Main(), &client);
    // Shown comes before painted: the picture waits for the skin to reach the screen.
    EXPECT_TRUE(WaitFor(launcher_.Process(), kDialogTimeoutMs, [&] {
        std::vector<uint32_t> px = Pixels(client);
        return std::any_of(px.begin(), px.end(), [](uint32_t p) { return p != 0; });
    })) << "the window stayed black";
    Shot(L"vt_first_start.png");

    for (const SettingDef& def : SettingTable()) {
        std::wstring key = Widen(def.key), name = Widen(def.name);
        if (def.type == SettingType::Dword) {
            EXPECT_EQ(ReadDword(key.c_str(), name.c_str()), std::optional<DWORD>(static_cast<DWORD>(def.dwordDefault)))
                << def.name;
        } else {
            EXPECT_EQ(ReadString(key.c_str(), name.c_str()), std::optional<std::wstring>(Widen(def.stringDefault)))
                << def.name;
        }
    }

    // Its tray icon answers: a left click hides the window, another brings it back.
    SendMessageW(launcher_.Main(), WM_USER + 100, 1, WM_LBUTTONDOWN);
    EXPECT_FALSE(IsWindowVisible(launcher_.Main()));
    SendMessageW(launcher_.Main(), WM_USER + 100, 1, WM_LBUTTONDOWN);
    EXPECT_TRUE(IsWindowVisible(launcher_.Main()));

    ASSERT_TRUE(launcher_.Close()) << "VT.exe kept running after WM_CLOSE";
    EXPECT_EQ(launcher_.ExitCode(), 0u);
}

TEST_F(VtWindow, CaptionClicksOpenTeamsAndAWrongPasswordShowsAnEmptyPanel) {
    UseDemoStore();
    UseClickLayout();
    const std::string app = launcher_.AppDir();
    // A protected team with one item, and an empty team, moved to places 1 and 2 so both captions show.
    StoreResult secret = AddTeam(app, TeamInput{"保密", "", "abc"});
    ASSERT_TRUE(secret);
    ItemInput item;
    item.Name = "秘密项目";
    item.Path = "C:\\windows\\notepad.exe";
    item.IconText = "[FILE]";
    ASSERT_TRUE(AddItem(app, ResolveTeamFolder(app, secret.index, "abc"), item));
    StoreResult empty = AddTeam(app, TeamInput{"空类别", "", ""});
    ASSERT_TRUE(empty);
    ASSERT_TRUE(SwapTeams(app, 1, secret.index));
    ASSERT_TRUE(SwapTeams(app, 2, empty.index));
    FlushIniCache();

    WindowLayout layout(app, 0);
    const Scene& scene = layout.Model().GetScene();
    RECT panel = PixelRect(scene, Part::PicItem), title = PixelRect(scene, Part::ImgTitle);
    ASSERT_TRUE(launcher_.Start());
    HWND w = launcher_.Main();
    ASSERT_TRUE(Settled(w));
    // No team is open after a start that does not remember one.
    std::vector<uint32_t> startTitle = Pixels(title), emptyPanel = Pixels(panel);

    PostClick(w, layout.Centre(Part::LabTeam, 2));
    ASSERT_TRUE(WaitChange(title, startTitle)) << "the empty team's caption click changed no title";
    ASSERT_TRUE(Settled(w));
    std::vector<uint32_t> emptyTitle = Pixels(title);
    EXPECT_EQ(Pixels(panel), emptyPanel) << "an empty team painted something";

    PostClick(w, layout.Centre(Part::LabTeam, 0));
    EXPECT_TRUE(WaitChange(title, emptyTitle)) << "the title kept the empty team's name";
    EXPECT_TRUE(WaitChange(panel, emptyPanel)) << "the first team's items were not painted";
    ASSERT_TRUE(Settled(w));
    Shot(L"vt_team_open.png");

    PostClick(w, layout.Centre(Part::LabTeam, 1));
    HWND box = launcher_.WaitForDialog(L"密码确认");
    ASSERT_NE(box, nullptr) << "the protected team did not ask for its password";
    SetControlText(box, kPasswordEdit, L"不对");
    PostButton(box, IDOK);
    ASSERT_TRUE(launcher_.WaitGone(box));
    ASSERT_TRUE(Settled(w));
    EXPECT_TRUE(WaitSame(panel, emptyPanel)) << "a wrong password still showed items";
    Shot(L"vt_wrong_password.png");

    // The right password opens it.
    PostClick(w, layout.Centre(Part::LabTeam, 1));
    box = launcher_.WaitForDialog(L"密码确认");
    ASSERT_NE(box, nullptr);
    SetControlText(box, kPasswordEdit, L"abc");
    PostButton(box, IDOK);
    ASSERT_TRUE(launcher_.WaitGone(box));
    EXPECT_TRUE(WaitChange(panel, emptyPanel)) << "the right password showed no item";
    ASSERT_TRUE(launcher_.Close());
}

TEST_F(VtWindow, OrderSwapOfTwoCaptionsRewritesTheTeamFile) {
    UseDemoStore();
    UseClickLayout();
    const std::string app = launcher_.AppDir();
    const std::string first = TeamName(0), second = TeamName(1);
    const std::string firstPath = ReadTeamRecord(app, 0).Path;
    ASSERT_NE(first, second);
    WindowLayout layout(app, 0);
    ASSERT_TRUE(launcher_.Start());
    HWND w = launcher_.Main();

    launcher_.Command(kMenuChangePos);
    PostClick(w, layout.Centre(Part::LabTeam, 0));
    PostClick(w, layout.Centre(Part::LabTeam, 1));
    ASSERT_TRUE(Settled(w));
    FlushIniCache();
    EXPECT_TRUE(WaitFor(launcher_.Process(), kDialogTimeoutMs,
                        [&] {
                            FlushIniCache();
                            return TeamName(0) == second && TeamName(1) == first;
                        }))
        << "TEAM.SET still lists " << TeamName(0) << ", " << TeamName(1);
    EXPECT_EQ(ReadTeamRecord(app, 1).Path, firstPath) << "the folder must travel with its team";
    ASSERT_TRUE(launcher_.Close());
}

// Pictures only: each layout with the first demo team open, and every popup menu over the window.
TEST_F(VtWindow, ScreenshotsOfTheLayoutsAndMenus) {
    UseDemoStore();
    const std::string app = launcher_.AppDir();
    for (int type = 0; type < 3; ++type) {
        UseClickLayout(type);
        WindowLayout layout(app, type);
        layout.OpenTeam(0);
        ASSERT_TRUE(launcher_.Start());
        HWND w = launcher_.Main();
        ASSERT_TRUE(OpenTeamByClick(launcher_.Process(), w, layout, 0)) << "no items painted in layout " << type;
        Shot((L"vt_layout" + std::to_wstring(type) + L".png").c_str());
        if (type == 0) {
            const Scene& scene = layout.Model().GetScene();
            struct Opener {
                const wchar_t* name;
                std::function<void()> open;
            };
            // Empty spots: past the last caption, and below the last item.
            RECT bar = PixelRect(scene, Part::PicTeam), sheet = PixelRect(scene, Part::PicItem);
            POINT barEnd{bar.right - 4, (bar.top + bar.bottom) / 2};
            POINT sheetEnd{sheet.right - 8, sheet.bottom - 4};
            std::vector<Opener> openers = {
                {L"Menu0", [&] { PostClick(w, layout.Centre(Part::LabMenu, 0)); }},
                {L"Menu1", [&] { PostClick(w, layout.Centre(Part::LabMenu, 1)); }},
                {L"Menu2", [&] { PostClick(w, layout.Centre(Part::LabMenu, 2)); }},
                {L"Menu3", [&] { PostClick(w, layout.Centre(Part::LabMenu, 3)); }},
                {L"QuickTeam", [&] { PostClick(w, layout.Centre(Part::LabTeam, 0), true); }},
                {L"QuickItem", [&] { PostClick(w, layout.Centre(Part::PicIcon, 0), true); }},
                {L"QuickTeam2", [&] { PostClick(w, barEnd, true); }},
                {L"QuickItem2", [&] { PostClick(w, sheetEnd, true); }},
                {L"NMIcon", [&] { PostMessageW(w, WM_USER + 100, 1, WM_RBUTTONDOWN); }},
            };
            for (const auto& o : openers) {
                o.open();
                HWND menu = WaitForMenu(launcher_.Process());
                EXPECT_NE(menu, nullptr) << "no menu for " << Narrow(o.name);
                if (!menu) continue;
                RECT a{}, b{}, both{};
                GetWindowRect(w, &a);
                GetWindowRect(menu, &b);
                UnionRect(&both, &a, &b);
                EXPECT_TRUE(SaveScreenScreenshot(both, ScreenshotDir() + L"vt_menu_" + o.name + L".png"));
                ASSERT_TRUE(CloseMenu(launcher_.Process(), menu, w)) << Narrow(o.name) << " stayed open";
                ASSERT_TRUE(Settled(w));
            }
        }
        ASSERT_TRUE(launcher_.Close());
    }
}

}  // namespace
}  // namespace vt
