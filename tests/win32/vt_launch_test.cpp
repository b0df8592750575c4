// Starting items from VT.exe for real: a program that leaves a file behind, a
// registry item, the path on the clipboard, deleting an item in the middle,
// and the tray menu and hot key that bring a hidden window back.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/ini.h"
#include "launcher/mainwindow/hotkey.h"
#include "launcher/menus/menu_ids.h"
#include "launcher/store/store.h"
#include "tests/win32/screenshot.h"
#include "tests/win32/vt_ui_layout.h"

namespace vt {
namespace {

using namespace harness;
using namespace ui_test;

// The registry item's key, one per test process: test runs side by side (the
// code-page runs, two developers in one prefix) must not share it.
const std::string& TestKey() {
    static const std::string key = "Software\\VantrelTests\\" + std::to_string(GetCurrentProcessId()) + "_launch";
    return key;
}
std::wstring TestKeyW() {
    return Widen(TestKey());
}
constexpr UINT kTray = WM_USER + 100;

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return L"<clipboard busy>";
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
            text = p;
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return text;
}

void ClearClipboard() {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    CloseClipboard();
}

// Text rows of an open popup menu, top to bottom: true for an entry drawn in
// dark ink, false for one drawn greyed (whose darkest pixels stay mid-grey).
// Separators are too thin to count as rows.
std::vector<bool> EntryRowsEnabled(HWND menu) {
    RECT client{};
    GetClientRect(menu, &client);
    const int width = client.right, height = client.bottom;
    std::vector<uint32_t> px = ClientPixels(menu, client);
    std::vector<bool> entries;
    int bandHeight = 0;
    bool ink = false;
    auto endBand = [&] {
        if (bandHeight >= 5) entries.push_back(ink);
        bandHeight = 0;
        ink = false;
    };
    for (int y = 0; y < height; ++y) {
        int darkest = 765;
        for (int x = 3; x < width - 3; ++x) {
            uint32_t p = px[static_cast<size_t>(y * width + x)];
            darkest = std::min(darkest, static_cast<int>(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)));
        }
        if (darkest < 600) {
            ++bandHeight;
            ink = ink || darkest < 150;
        } else {
            endBand();
        }
    }
    endBand();
    return entries;
}

// The demo store with one more team in front: five items, the first two of which really do something.
class VtLaunch : public LauncherTest {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, TestKeyW().c_str());
        ClearClipboard();
        ASSERT_TRUE(launcher_.UseDemoStore()) << "build the demo store first";
        app_ = launcher_.AppDir();
        marker_ = PathToUtf8((launcher_.Dir() / "ran.txt").wstring());

        StoreResult team = AddTeam(app_, TeamInput{"测试", "", ""});
        ASSERT_TRUE(team);
        ASSERT_TRUE(SwapTeams(app_, 0, team.index));
        folder_ = ResolveTeamFolder(app_, 0, "");
        ItemInput run;
        run.Name = "写文件";
        run.Path = "C:\\windows\\system32\\cmd.exe";
        run.Para = "/c echo ran> \"" + marker_ + "\"";
        run.Mode = 2;
        run.IconText = "[FILE]";
        ItemInput reg;
        reg.Name = "写注册表";
        reg.Type = 5;
        reg.Path = "[REGCTRL]";
        reg.Para = "1|" + TestKey() + "|Launched|0|已启动";
        reg.IconText = "[EXITEM]";
        std::vector<ItemInput> items = {run, reg};
        for (const char* name : {"二号", "三号", "四号"}) {
            ItemInput plain;
            plain.Name = name;
            plain.Path = std::string("C:\\") + name + ".exe";
            plain.IconText = "[FILE]";
            items.push_back(plain);
        }
        for (const auto& i : items)
            ASSERT_TRUE(AddItem(app_, folder_, i));
        FlushIniCache();

        UseClickLayout();
        WriteDword(kSettingKeyW, L"WarnAfterDone", 1);
        WriteDword(kSettingKeyW, L"WarnOnDelete", 1);
        layout_ = std::make_unique<WindowLayout>(app_, 0);
        layout_->OpenTeam(0);
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, TestKeyW().c_str()); }

    void StartWithTeamOpen() {
        ASSERT_TRUE(launcher_.Start());
        ASSERT_TRUE(OpenTeamByClick(launcher_.Process(), launcher_.Main(), *layout_, 0))
            << "the team's items were not painted";
    }
    POINT Item(int index) const { return layout_->Centre(Part::PicIcon, index); }

    // The tray menu's two show/hide entries, read while the menu is open; then closed with Escape.
    struct TrayEntries {
        bool showEnabled = false;
        bool hideEnabled = false;
    };
    TrayEntries OpenTrayMenu(const wchar_t* shot) {
        TrayEntries e;
        PostMessageW(launcher_.Main(), kTray, 1, WM_RBUTTONDOWN);
        HWND menu = WaitForMenu(launcher_.Process());
        EXPECT_NE(menu, nullptr) << "no tray menu";
        if (!menu) return e;
        // Menus belong to their process, so their item states cannot be asked
        // for from here: the entries are read off the screen instead, a greyed
        // one being drawn in the grey-text colour and an enabled one in dark ink.
        // The menu window shows before its entries are painted.
        std::vector<bool> rows;
        WaitFor(launcher_.Process(), kDialogTimeoutMs, [&] { return (rows = EntryRowsEnabled(menu)).size() >= 2; });
        EXPECT_GE(rows.size(), 2u) << "the tray menu shows fewer than two entries";
        if (rows.size() >= 2) {
            e.showEnabled = rows[0];
            e.hideEnabled = rows[1];
        }
        RECT r{};
        GetWindowRect(menu, &r);
        SaveScreenScreenshot(r, ScreenshotDir() + shot);
        EXPECT_TRUE(CloseMenu(launcher_.Process(), menu, launcher_.Main()));
        EXPECT_TRUE(Settled(launcher_.Main()));
        return e;
    }

    std::string app_, folder_, marker_;
    std::unique_ptr<WindowLayout> layout_;
};

TEST_F(VtLaunch, DoubleClicksStartTheProgramAndWriteTheRegistry) {
    StartWithTeamOpen();
    HWND w = launcher_.Main();
    PostDoubleClick(w, Item(0));
    EXPECT_TRUE(WaitFor(launcher_.Process(), kTimeoutMs, [&] {
        std::error_code ec;
        return fs::exists(PathFromUtf8(marker_), ec) && fs::file_size(PathFromUtf8(marker_), ec) > 0;
    })) << "the program item did not run";

    PostDoubleClick(w, Item(1));
    EXPECT_TRUE(WaitFor(launcher_.Process(), kDialogTimeoutMs, [&] {
        return ReadString(TestKeyW().c_str(), L"Launched", HKEY_CURRENT_USER) == std::optional<std::wstring>(L"已启动");
    })) << "the registry item wrote nothing";
    EXPECT_TRUE(IsWindowVisible(w));
    ASSERT_TRUE(launcher_.Close());
}

TEST_F(VtLaunch, CopyPathPutsTheUnscrambledPathOnTheClipboardAndSaysSo) {
    StartWithTeamOpen();
    HWND w = launcher_.Main();
    PostClick(w, Item(0));
    ASSERT_TRUE(Settled(w));
    launcher_.Command(kMenuCopyPath);
    EXPECT_TRUE(WaitFor(launcher_.Process(), kDialogTimeoutMs, [&] {
        return ClipboardText() == L"C:\\windows\\system32\\cmd.exe";
    })) << Narrow(ClipboardText());
    HWND popup = nullptr;
    EXPECT_TRUE(WaitFor(launcher_.Process(), kDialogTimeoutMs, [&] {
        return (popup = FindProcessWindow(launcher_.Proc().Id(), L"VantrelMsgForm"));
    })) << "no message after copying";
    if (popup) {
        // Let it finish sliding in before the picture.
        WaitFor(launcher_.Process(), 5000, [&] {
            RECT r{}, work{};
            GetWindowRect(popup, &r);
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
            return r.bottom <= work.bottom;
        });
        SaveWindowScreenshot(popup, ScreenshotDir() + L"vt_message_popup.png");
    }
    ASSERT_TRUE(launcher_.Close());
}

TEST_F(VtLaunch, DeletingTheMiddleOfFiveItemsClosesTheGap) {
    std::vector<ItemTexts> before;
    for (int i = 0; i < 5; ++i)
        before.push_back(ReadItemTexts(folder_, ReadItemRecord(folder_, i), ""));
    StartWithTeamOpen();
    HWND w = launcher_.Main();
    PostClick(w, Item(2));
    ASSERT_TRUE(Settled(w));
    launcher_.Command(kMenuDeleteItem);
    HWND box = launcher_.WaitForDialog(L"删除确认");
    ASSERT_NE(box, nullptr) << "no confirmation";
    PostButton(box, IDOK);
    ASSERT_TRUE(launcher_.WaitGone(box));
    ASSERT_TRUE(Settled(w));
    ASSERT_TRUE(launcher_.Close());

    FlushIniCache();
    FakePrompts quiet;
    EXPECT_EQ(ReadItemCount(folder_, quiet, false), 4);
    const std::vector<int> kept = {0, 1, 3, 4};
    for (int i = 0; i < 4; ++i) {
        ItemRecord r = ReadItemRecord(folder_, i);
        ItemTexts t = ReadItemTexts(folder_, r, "");
        EXPECT_EQ(t.Path, before[kept[i]].Path) << "item " << i;
        EXPECT_EQ(t.Para, before[kept[i]].Para) << "item " << i;
    }
    EXPECT_EQ(ReadItemRecord(folder_, 2).Name, "三号");
    EXPECT_EQ(ReadItemRecord(folder_, 3).Name, "四号");
}

TEST_F(VtLaunch, TrayMenuOffersShowOnlyWhileHiddenAndTheHotKeyBringsTheWindowBack) {
    WriteDword(kSettingKeyW, L"UseHotKey", 1);
    WriteDword(kDataKeyW, L"HKUseCtrl", 1);
    WriteDword(kDataKeyW, L"HKUseAlt", 1);
    WriteDword(kDataKeyW, L"HKUseShift", 0);
    WriteString(kDataKeyW, L"HKUseKey", L"Q");
    ASSERT_EQ(ReadString(kDataKeyW, L"HKUseKey"), L"Q");

    ASSERT_TRUE(launcher_.Start());
    HWND w = launcher_.Main();
    TrayEntries shown = OpenTrayMenu(L"vt_tray_menu_shown.png");
    EXPECT_FALSE(shown.showEnabled);
    EXPECT_TRUE(shown.hideEnabled);

    launcher_.Command(kNMHideMain);
    ASSERT_TRUE(WaitFor(launcher_.Process(), kDialogTimeoutMs, [&] { return !IsWindowVisible(w); }))
        << "隐藏主窗口 left the window shown";
    TrayEntries hidden = OpenTrayMenu(L"vt_tray_menu_hidden.png");
    EXPECT_TRUE(hidden.showEnabled);
    EXPECT_FALSE(hidden.hideEnabled);
    EXPECT_FALSE(IsWindowVisible(w)) << "closing the menu must not show the window";

    PostMessageW(w, WM_HOTKEY, kHotkeyId, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'Q'));
    EXPECT_TRUE(WaitFor(launcher_.Process(), kDialogTimeoutMs, [&] { return IsWindowVisible(w) != FALSE; }))
        << "the hot key did not show the window";
    ASSERT_TRUE(launcher_.Close());
}

}  // namespace
}  // namespace vt
