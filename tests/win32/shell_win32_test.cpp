// The shell adapter, and a launch carried out through the real adapters,
// inside the test prefix. Registry writes stay under a key of this test's own.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/codepage.h"
#include "common/ini.h"
#include "common/line_file.h"
#include "launcher/mainwindow/launch.h"
#include "platform/fake/fakes.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/win_text.h"

namespace vt {
namespace {

std::string ClipboardText() {
    if (!OpenClipboard(nullptr)) return "<not open>";
    std::string out = "<no text>";
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
            out = Narrow(p);
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return out;
}

TEST(ShellWin32, ClipboardHoldsUnicodeText) {
    ShellWin32 shell;
    ASSERT_TRUE(shell.SetClipboardText("D:\\工具\\程序.exe"));
    EXPECT_EQ(ClipboardText(), "D:\\工具\\程序.exe");
    ASSERT_TRUE(shell.SetClipboardText(""));
    EXPECT_EQ(ClipboardText(), "");
}

TEST(ShellWin32, ExecuteReportsWhetherTheShellStartedIt) {
    ShellWin32 shell;
    EXPECT_FALSE(shell.Execute("open", "C:\\no\\such\\program_f.exe", "", "", ShowCmd::Normal));
    EXPECT_FALSE(shell.Execute("open", "", "", "", ShowCmd::Normal));
    wchar_t sys[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryW(sys, MAX_PATH), 0u);
    EXPECT_TRUE(shell.Execute("open", "cmd.exe", "/c exit 0", Narrow(sys), ShowCmd::Hidden));
}

TEST(ShellWin32, RegistryItemLaunchWritesTheRealValue) {
    const std::string key = "Software\\VantrelTests\\" + std::to_string(GetCurrentProcessId()) + "_launch\\Test";
    wchar_t tmp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, tmp), 0u);
    const std::string folder = Narrow(tmp) + "vt_launch_" + std::to_string(GetCurrentProcessId());
    std::filesystem::create_directories(PathFromUtf8(folder));
    const std::string set = folder + "\\ITEM.SET";
    WriteIniString(set, "ITEM", "Count", 1);
    WriteIniString(set, "0", "Type", 5);
    WriteIniString(set, "0", "Path", WriteDataLine(folder + "\\PATH.SET", "[regctrl]", 0));
    WriteIniString(set, "0", "Para", WriteDataLine(folder + "\\PARA.SET", "1|" + key + "|Flag|1|5", 0));

    ShellWin32 shell;
    Win32Registry registry;
    FakePrompts prompts;
    LaunchResult r = LaunchItem(folder, 0, LaunchOptions{}, LaunchServices{shell, registry, prompts});
    EXPECT_EQ(r.outcome, LaunchOutcome::Started);
    EXPECT_TRUE(prompts.messages.empty());

    DWORD data = 0, size = sizeof(data), type = 0;
    LSTATUS st = RegGetValueW(HKEY_CURRENT_USER, Widen(key).c_str(), L"Flag", RRF_RT_ANY, &type, &data, &size);
    EXPECT_EQ(st, ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data, 5u);

    RegDeleteTreeW(HKEY_CURRENT_USER,
                   Widen("Software\\VantrelTests\\" + std::to_string(GetCurrentProcessId()) + "_launch").c_str());
    std::error_code ec;
    std::filesystem::remove_all(PathFromUtf8(folder), ec);
}

}  // namespace
}  // namespace vt
