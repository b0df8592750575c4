// Portable mode driven through VT.exe: the settings dialog's box moves the
// options into Vantrel.ini beside the program and back, a restart keeps to
// the file, and while portable the launcher's keys under HKEY_LOCAL_MACHINE
// and their per-user overlay are left exactly as they were.
#include "tests/win32/vt_harness.h"

#include <fstream>
#include <iterator>
#include <map>

#include "launcher/dialogs/team_dialog_ids.h"
#include "launcher/menus/menu_ids.h"

namespace vt::harness {
namespace {

// Every value of a key: name -> type and bytes. Empty when the key is missing.
using KeyValues = std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>>;

KeyValues ValuesOf(HKEY root, const wchar_t* key) {
    KeyValues out;
    HKEY k = nullptr;
    if (RegOpenKeyExW(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return out;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLen = 256, type = 0, size = 0;
        BYTE data[4096];
        size = sizeof(data);
        if (RegEnumValueW(k, i, name, &nameLen, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        out[std::wstring(name, nameLen)] = {type, std::vector<BYTE>(data, data + size)};
    }
    RegCloseKey(k);
    return out;
}

// The launcher's two option keys and their per-user overlay, all at once.
std::vector<KeyValues> OptionKeys() {
    return {ValuesOf(HKEY_LOCAL_MACHINE, kSettingKeyW), ValuesOf(HKEY_LOCAL_MACHINE, kDataKeyW),
            ValuesOf(HKEY_CURRENT_USER, kSettingKeyW), ValuesOf(HKEY_CURRENT_USER, kDataKeyW)};
}

class PortableModeTest : public LauncherTest {
protected:
    fs::path Ini() const { return launcher_.Dir() / L"Vantrel.ini"; }

    // Read by the system's own profile functions, not the launcher's engine.
    std::wstring IniValue(const wchar_t* section, const wchar_t* name) const {
        wchar_t buf[512];
        GetPrivateProfileStringW(section, name, L"<missing>", buf, 512, Ini().c_str());
        return buf;
    }

    HWND OpenSettings() {
        launcher_.Command(kMenuSet);
        return launcher_.WaitForDialog(L"软件设置");
    }

    // OK, and the dialog gone: its OK step has run by then.
    void Ok(HWND dlg) {
        PostButton(dlg, IDOK);
        ASSERT_TRUE(launcher_.WaitGone(dlg));
    }

    void WriteIni(const std::string& utf8) const {
        const std::string ansi = Utf8ToAnsi(utf8);
        HANDLE h = CreateFileW(Ini().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(h, ansi.data(), static_cast<DWORD>(ansi.size()), &written, nullptr);
        CloseHandle(h);
    }

    HWND Popup() {
        HWND popup = nullptr;
        WaitFor(launcher_.Process(), kDialogTimeoutMs,
                [&] { return (popup = FindProcessWindow(launcher_.Proc().Id(), L"VantrelMsgForm", nullptr, false)); });
        return popup;
    }

    ValueSnapshot run_{kRunKeyW, L"Vantrel"};
};

TEST_F(PortableModeTest, TickingTheBoxMovesTheOptionsIntoTheFileAndARestartStaysThere) {
    WriteDword(kSettingKeyW, L"MinAfterLaunch", 0);
    WriteDword(kSettingKeyW, L"WarnOnExit", 0);
    // The exit step then saves the window position: it must go to the file too.
    WriteDword(kSettingKeyW, L"RememberMainPos", 1);
    WriteDword(kDataKeyW, L"mLeft", 1500);
    WriteDword(kDataKeyW, L"mTop", 1500);
    DeleteValue(kRunKeyW, L"Vantrel");
    ASSERT_TRUE(launcher_.Start());
    ASSERT_FALSE(fs::exists(Ini()));

    HWND dlg = OpenSettings();
    ASSERT_NE(dlg, nullptr);
    Click(dlg, kIdOptSet + 1);
    ASSERT_TRUE(IsWindowVisible(GetDlgItem(dlg, kIdChkPortable)));
    EXPECT_EQ(ControlText(dlg, kIdChkPortable), L"便携模式(设置保存在程序文件夹)");
    EXPECT_FALSE(IsChecked(dlg, kIdChkPortable));
    const std::vector<KeyValues> before = OptionKeys();
    ASSERT_FALSE(before[0].empty()) << "the first start should have created the options";

    Click(dlg, kIdChkPortable);
    // An option changed in the same OK goes to the file only.
    Click(dlg, kIdOptSet);
    Click(dlg, kIdChkMin);
    Ok(dlg);

    ASSERT_TRUE(fs::exists(Ini()));
    EXPECT_EQ(IniValue(L"Setting", L"MinAfterLaunch"), L"1");
    EXPECT_EQ(IniValue(L"Setting", L"RememberMainPos"), L"1");
    EXPECT_EQ(IniValue(L"Setting", L"LaunchMode"), L"1");
    EXPECT_EQ(IniValue(L"Data", L"LastTeam"), L"-1");
    EXPECT_EQ(IniValue(L"Data", L"MsgBackColor"), L"12648384");
    EXPECT_EQ(OptionKeys(), before) << "ticking the box wrote to the registry";
    EXPECT_FALSE(ReadString(kRunKeyW, L"Vantrel")) << "no autorun entry was asked for";

    // The exit step saves the window position, moved meanwhile, into the file.
    ASSERT_EQ(IniValue(L"Data", L"mLeft"), L"1500");
    SetWindowPos(launcher_.Main(), nullptr, 300, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(Settled(launcher_.Main()));
    ASSERT_TRUE(launcher_.Close());
    EXPECT_NE(IniValue(L"Data", L"mLeft"), L"1500");
    EXPECT_NE(IniValue(L"Data", L"mLeft"), L"<missing>");
    EXPECT_EQ(OptionKeys(), before) << "the exit step wrote to the registry";

    // A restart finds the file and keeps to it.
    ASSERT_TRUE(launcher_.Start());
    dlg = OpenSettings();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(IsChecked(dlg, kIdChkMin)) << "the option was not read from the file";
    Click(dlg, kIdOptSet + 2);
    Click(dlg, kIdChkWarn + 4);  // "在退出"Vantrel"时确认"
    Ok(dlg);
    EXPECT_EQ(IniValue(L"Setting", L"WarnOnExit"), L"1");
    EXPECT_EQ(ReadDword(kSettingKeyW, L"WarnOnExit"), 0u);

    dlg = OpenSettings();
    ASSERT_NE(dlg, nullptr);
    Click(dlg, kIdOptSet + 1);
    EXPECT_TRUE(IsChecked(dlg, kIdChkPortable));
    PostButton(dlg, IDCANCEL);
    ASSERT_TRUE(launcher_.WaitGone(dlg));
    ASSERT_TRUE(launcher_.Close());
    EXPECT_EQ(OptionKeys(), before) << "the portable launcher wrote to the registry";
}

TEST_F(PortableModeTest, ClearingTheBoxPutsTheOptionsBackAndRemovesTheFile) {
    WriteDword(kSettingKeyW, L"MinAfterLaunch", 0);
    WriteString(kDataKeyW, L"rPath", L"C:\\旧的\\");
    // A file made by hand, as the README tells: options not in it get their defaults.
    WriteIni("[Setting]\r\nMinAfterLaunch=1\r\nWarnOnExit=0\r\n[Data]\r\nrPath=D:\\工具\\\r\n");
    ASSERT_TRUE(launcher_.Start());
    HWND dlg = OpenSettings();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(IsChecked(dlg, kIdChkMin));
    Click(dlg, kIdOptSet + 1);
    ASSERT_TRUE(IsChecked(dlg, kIdChkPortable));
    Click(dlg, kIdChkPortable);
    Ok(dlg);

    EXPECT_FALSE(fs::exists(Ini()));
    EXPECT_EQ(ReadDword(kSettingKeyW, L"MinAfterLaunch"), 1u);
    EXPECT_EQ(ReadString(kDataKeyW, L"rPath"), L"D:\\工具\\");
    EXPECT_EQ(ReadDword(kDataKeyW, L"MsgFontSize"), 9u);

    // Back in the registry for good: what the dialog saves now goes there.
    dlg = OpenSettings();
    ASSERT_NE(dlg, nullptr);
    Click(dlg, kIdChkMin);
    Ok(dlg);
    EXPECT_EQ(ReadDword(kSettingKeyW, L"MinAfterLaunch"), 0u);
    EXPECT_FALSE(fs::exists(Ini()));
    ASSERT_TRUE(launcher_.Close());
}

TEST_F(PortableModeTest, AFileThatCannotBeWrittenKeepsTheChangesForTheSessionAndSaysSo) {
    // No success message, so a popup after OK can only be the failure.
    WriteIni("[Setting]\r\nMinAfterLaunch=0\r\nWarnAfterDone=0\r\nWarnOnError=1\r\nRememberMainPos=0\r\n");
    ASSERT_TRUE(launcher_.Start());
    // Held open without leave to replace it, as a sync client or a scanner
    // may hold it (a read-only attribute would do on Windows; Wine run by
    // root replaces such a file anyway).
    HANDLE lock = CreateFileW(Ini().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    std::string before;
    {
        std::ifstream in(Ini(), std::ios::binary);
        before.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::vector<KeyValues> keys = OptionKeys();

    HWND dlg = OpenSettings();
    ASSERT_NE(dlg, nullptr);
    Click(dlg, kIdChkMin);
    Ok(dlg);
    EXPECT_NE(Popup(), nullptr) << "the failed write was not reported";
    {
        std::ifstream in(Ini(), std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), before);
    }
    EXPECT_EQ(OptionKeys(), keys) << "the options went to the registry instead";

    // The running launcher still has the change.
    dlg = OpenSettings();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(IsChecked(dlg, kIdChkMin));
    PostButton(dlg, IDCANCEL);
    ASSERT_TRUE(launcher_.WaitGone(dlg));
    CloseHandle(lock);
    ASSERT_TRUE(launcher_.Close());
}

}  // namespace
}  // namespace vt::harness
