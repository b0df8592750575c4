// VT.exe as a user starts it: from a fresh copy of the program folder, as a
// separate process, looked at from outside through its window.
//
// The launcher keeps its options under HKEY_LOCAL_MACHINE of the test prefix;
// both of its keys are put back afterwards.
#include <cmath>

#include "platform/win32/ui_font.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

using namespace harness;

class VtStartup : public LauncherTest {
protected:
    void CloseAndExpectExit(const ChildProcess& p, HWND w) {
        ASSERT_TRUE(p.Close(w)) << "VT.exe did not end after WM_CLOSE";
        EXPECT_EQ(p.ExitCode(), 0u);
    }
};

TEST_F(VtStartup, FirstStartShowsTheSkinnedLayeredWindowAndEndsOnClose) {
    ASSERT_TRUE(launcher_.Start()) << "no main window";
    HWND w = launcher_.Main();

    wchar_t title[64] = {};
    GetWindowTextW(w, title, 64);
    EXPECT_STREQ(title, L"Vantrel");
    EXPECT_TRUE(IsWindowVisible(w));

    LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
    LONG_PTR ex = GetWindowLongPtrW(w, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_TRUE(ex & WS_EX_LAYERED);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(w, &key, &alpha, &flags));
    EXPECT_EQ(key, RGB(250, 250, 250));
    EXPECT_EQ(flags & (LWA_COLORKEY | LWA_ALPHA), static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));

    // The default skin sizes the window: 5400 x 6900 twips, centred on the screen.
    int dpi = ScreenDpi();
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, MulDiv(5400, dpi, 1440));
    EXPECT_EQ(r.bottom - r.top, MulDiv(6900, dpi, 1440));
    EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 2);
    EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 2);

    EXPECT_TRUE(fs::is_directory(launcher_.Dir() / "DATA"));
    CloseAndExpectExit(launcher_.Proc(), w);
}

TEST_F(VtStartup, OnlyLaunchOneEndsASecondStartAtOnce) {
    // Any launcher already running in this prefix would make our first start the second.
    if (HANDLE other = OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\Oskarn.Vantrel.VT")) {
        CloseHandle(other);
        GTEST_SKIP() << "another VT.exe is running in this prefix";
    }
    WriteDword(kSettingKeyW, L"OnlyLaunchOne", 1);
    ASSERT_TRUE(launcher_.Start());

    ChildProcess second;
    ASSERT_TRUE(launcher_.Spawn(second));
    ASSERT_TRUE(second.WaitExit()) << "the second start kept running";
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(FindProcessWindow(second.Id(), L"VantrelMainForm", nullptr, false), nullptr);
    EXPECT_FALSE(launcher_.Proc().Exited());

    CloseAndExpectExit(launcher_.Proc(), launcher_.Main());
}

TEST_F(VtStartup, WithoutOnlyLaunchOneASecondStartRuns) {
    WriteDword(kSettingKeyW, L"OnlyLaunchOne", 0);
    ASSERT_TRUE(launcher_.Start());
    HWND w1 = launcher_.Main();
    ChildProcess second;
    ASSERT_TRUE(launcher_.Spawn(second));
    HWND w2 = Launcher::WaitForMain(second);
    ASSERT_NE(w2, nullptr);
    EXPECT_NE(w1, w2);
    CloseAndExpectExit(second, w2);
    CloseAndExpectExit(launcher_.Proc(), w1);
}

TEST_F(VtStartup, TrayClickTogglesTheWindowAndTheHotkeyOnlyShowsIt) {
    ASSERT_TRUE(launcher_.Start());
    HWND w = launcher_.Main();
    const UINT tray = WM_USER + 100;
    SendMessageW(w, tray, 1, WM_LBUTTONDOWN);
    EXPECT_FALSE(IsWindowVisible(w));
    SendMessageW(w, WM_HOTKEY, 0x5654, 0);
    EXPECT_TRUE(IsWindowVisible(w));
    SendMessageW(w, WM_HOTKEY, 0x5654, 0);
    EXPECT_TRUE(IsWindowVisible(w)) << "the hotkey must never hide the window";
    SendMessageW(w, tray, 1, WM_LBUTTONDOWN);
    EXPECT_FALSE(IsWindowVisible(w));
    SendMessageW(w, tray, 1, WM_LBUTTONDOWN);
    EXPECT_TRUE(IsWindowVisible(w));
    // Other mouse messages of the icon do nothing.
    SendMessageW(w, tray, 1, WM_MOUSEMOVE);
    EXPECT_TRUE(IsWindowVisible(w));
    CloseAndExpectExit(launcher_.Proc(), w);
}

TEST_F(VtStartup, ClosingSavesThePositionOnlyWhenRemembered) {
    const double tpp = 1440.0 / ScreenDpi();
    for (DWORD remember : {1u, 0u}) {
        WriteDword(kSettingKeyW, L"RememberMainPos", remember);
        WriteDword(kDataKeyW, L"mLeft", 7);
        WriteDword(kDataKeyW, L"mTop", 9);
        ASSERT_TRUE(launcher_.Start());
        HWND w = launcher_.Main();
        SetWindowPos(w, nullptr, 100, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        CloseAndExpectExit(launcher_.Proc(), w);
        if (remember) {
            EXPECT_EQ(ReadDword(kDataKeyW, L"mLeft"), static_cast<DWORD>(std::lround(100 * tpp)));
            EXPECT_EQ(ReadDword(kDataKeyW, L"mTop"), static_cast<DWORD>(std::lround(120 * tpp)));
        } else {
            EXPECT_EQ(ReadDword(kDataKeyW, L"mLeft"), 7u);
            EXPECT_EQ(ReadDword(kDataKeyW, L"mTop"), 9u);
        }
    }
    // Remembered: the next start opens where the last one was left.
    WriteDword(kSettingKeyW, L"RememberMainPos", 1);
    WriteDword(kDataKeyW, L"mLeft", static_cast<DWORD>(std::lround(200 * tpp)));
    WriteDword(kDataKeyW, L"mTop", static_cast<DWORD>(std::lround(50 * tpp)));
    ASSERT_TRUE(launcher_.Start());
    HWND w = launcher_.Main();
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 50);
    CloseAndExpectExit(launcher_.Proc(), w);
}

TEST_F(VtStartup, AMissingSkinIsReportedInThePopupAndTheWindowStaysUsable) {
    WriteString(kSettingKeyW, L"SkinPath", L"没有这个皮肤");
    ASSERT_TRUE(launcher_.Start());
    HWND w = launcher_.Main();
    HWND popup = nullptr;
    WaitFor(launcher_.Process(), 20000,
            [&] { return (popup = FindProcessWindow(launcher_.Proc().Id(), L"VantrelMsgForm", nullptr, false)); });
    ASSERT_NE(popup, nullptr) << "no message about the missing skin";
    LONG_PTR ex = GetWindowLongPtrW(popup, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_LAYERED);
    EXPECT_TRUE(ex & WS_EX_NOACTIVATE);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    RECT pr{}, work{};
    GetWindowRect(popup, &pr);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int dpi = ScreenDpi();
    EXPECT_EQ(pr.right - pr.left, MulDiv(2655, dpi, 1440));
    EXPECT_EQ(pr.bottom - pr.top, MulDiv(1830, dpi, 1440));
    EXPECT_NEAR(pr.right, work.right - MulDiv(200, dpi, 1440), 1);
    // A click sends it away: it slides out and is destroyed.
    PostMessageW(popup, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(WaitFor(launcher_.Process(), 20000, [&] { return !IsWindow(popup); }))
        << "the popup stayed after a click";

    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_GT(r.right - r.left, 0);
    EXPECT_GT(r.bottom - r.top, 0);
    CloseAndExpectExit(launcher_.Proc(), w);
}

}  // namespace
}  // namespace vt
