// VT.exe driven through its menu commands and shortcut keys, as a separate
// process started from a fresh copy of the program folder with its demo data.
#include "launcher/menus/menu_ids.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

using namespace harness;

class VtMenu : public LauncherTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(launcher_.UseDemoStore()) << "build the demo store first";
        UseClickLayout();
        ASSERT_TRUE(launcher_.Start()) << "no main window";
        main_ = launcher_.Main();
    }

    // Posted messages are handled in order: once this returns, everything
    // posted before it has run (or the program is stuck in a modal box).
    bool Settled() { return harness::Settled(main_); }
    void Command(unsigned id) { launcher_.Command(static_cast<WORD>(id)); }
    HWND WaitForBox(const wchar_t* title) { return launcher_.WaitForDialog(title); }

    std::wstring Ini(const fs::path& file, const wchar_t* section, const wchar_t* key) {
        wchar_t buf[256] = {};
        GetPrivateProfileStringW(section, key, L"<missing>", buf, 256, file.wstring().c_str());
        return buf;
    }
    fs::path FirstTeamItems() {
        const fs::path data = launcher_.Dir() / "DATA";
        return data / Ini(data / "TEAM.SET", L"0", L"Path") / "ITEM.SET";
    }

    void ExitAndExpectEnd() {
        Command(kMenuExit);
        ASSERT_TRUE(launcher_.Proc().WaitExit()) << "VT.exe did not end after 退出";
        EXPECT_EQ(launcher_.ExitCode(), 0u);
    }

    HWND main_ = nullptr;
};

TEST_F(VtMenu, RefreshSwapHelpAndEditorCommandsLeaveTheLauncherRunningAndExitEndsIt) {
    // help.chm and the skin editor are not in this copy: the shell's failures must go unreported and harmless.
    for (unsigned id : {kMenuRefurbish, kQuickReTeam2, kQuickReItem2, kMenuChangePos, kMenuHelp, kMenuSkinEditor}) {
        Command(id);
        ASSERT_TRUE(Settled()) << id;
        ASSERT_TRUE(launcher_.Alive()) << id;
    }
    // The swap prompt went to the message popup, not to a box that would block.
    EXPECT_EQ(FindProcessWindow(launcher_.Proc().Id(), L"#32770"), nullptr);
    // An id that is no command does nothing; F1 is help's key.
    Command(kLastMenuId);
    PostMessageW(main_, WM_KEYDOWN, VK_F1, 0);
    ASSERT_TRUE(Settled());
    ExitAndExpectEnd();
}

TEST_F(VtMenu, DeleteItemAsksAndCancelKeepsWhileOkRemovesTheRecord) {
    fs::path items = FirstTeamItems();
    std::wstring count = Ini(items, L"ITEM", L"Count");
    ASSERT_NE(count, L"<missing>");
    int before = std::stoi(count);
    ASSERT_GE(before, 2);
    std::wstring second = Ini(items, L"1", L"Name");
    ASSERT_TRUE(SelectFirstDemoItem(main_));

    Command(kQuickDeleteItem);
    HWND box = WaitForBox(L"删除确认");
    ASSERT_NE(box, nullptr) << "no confirmation box";
    PostButton(box, IDCANCEL);
    // Until the cancelled box is gone, looking for the next one would find it.
    ASSERT_TRUE(WaitFor(launcher_.Process(), kTimeoutMs, [&] { return !IsWindow(box); }));
    ASSERT_TRUE(Settled());
    EXPECT_EQ(Ini(items, L"ITEM", L"Count"), std::to_wstring(before));

    Command(kMenuDeleteItem);
    box = WaitForBox(L"删除确认");
    ASSERT_NE(box, nullptr) << "no confirmation box";
    PostButton(box, IDOK);
    // The posted OK reaches the box after any sent probe, so wait for the
    // effect itself rather than for the window to answer.
    EXPECT_TRUE(WaitFor(launcher_.Process(), kTimeoutMs,
                        [&] { return Ini(items, L"ITEM", L"Count") == std::to_wstring(before - 1); }));
    EXPECT_EQ(Ini(items, L"0", L"Name"), second);

    ASSERT_TRUE(launcher_.Alive());
    ExitAndExpectEnd();
}

TEST_F(VtMenu, AboutBoxOpensOnceFromMenuAndKeyAndClosesWithOk) {
    Command(kMenuAbout);
    HWND about = WaitForBox(L"关于\"Vantrel\"");
    ASSERT_NE(about, nullptr) << "no About box";
    wchar_t text[64] = {};
    GetDlgItemTextW(about, IDOK, text, 64);
    EXPECT_STREQ(text, L"确定(&O)");

    // F2 with the main window focused asks for the same single box.
    SetForegroundWindow(main_);
    PostMessageW(main_, WM_KEYDOWN, VK_F2, 0);
    Command(kNMAbout);
    ASSERT_TRUE(Settled());
    int boxes = 0;
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            wchar_t title[64] = {};
            GetWindowTextW(w, title, 64);
            if (IsWindowVisible(w) && wcscmp(title, L"关于\"Vantrel\"") == 0) ++*reinterpret_cast<int*>(p);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&boxes));
    EXPECT_EQ(boxes, 1);

    PostButton(about, IDOK);
    ASSERT_TRUE(Settled());
    EXPECT_TRUE(WaitFor(launcher_.Process(), kTimeoutMs, [&] { return !IsWindow(about); }));

    // The F2 key alone brings it back.
    PostMessageW(main_, WM_KEYDOWN, VK_F2, 0);
    EXPECT_NE(WaitForBox(L"关于\"Vantrel\""), nullptr);
    ExitAndExpectEnd();
}

}  // namespace
}  // namespace vt
