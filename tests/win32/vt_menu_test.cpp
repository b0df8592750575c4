// VT.exe driven through its menu commands and shortcut keys, as a separate
// process started from a fresh copy of the program folder with its demo data.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "launcher/dialogs/menu_ids.h"
#include "tests/win32/wine_ui.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kSettingKey[] = L"SOFTWARE\\Oskarn\\Vantrel\\Setting";
constexpr DWORD kTimeoutMs = 60000;

struct SavedValue {
    const wchar_t* name;
    std::optional<std::pair<DWORD, std::vector<BYTE>>> value;
};

std::optional<std::pair<DWORD, std::vector<BYTE>>> ReadValue(const wchar_t* name) {
    DWORD type = 0, size = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kSettingKey, name, RRF_RT_ANY, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<BYTE> bytes(size);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kSettingKey, name, RRF_RT_ANY, &type, bytes.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    bytes.resize(size);
    return std::make_pair(type, bytes);
}

void WriteValue(const wchar_t* name, const std::optional<std::pair<DWORD, std::vector<BYTE>>>& v) {
    HKEY k = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSettingKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) !=
        ERROR_SUCCESS)
        return;
    if (v)
        RegSetValueExW(k, name, 0, v->first, v->second.data(), static_cast<DWORD>(v->second.size()));
    else
        RegDeleteValueW(k, name);
    RegCloseKey(k);
}

void WriteDword(const wchar_t* name, DWORD d) {
    auto* p = reinterpret_cast<const BYTE*>(&d);
    WriteValue(name, std::make_pair(DWORD{REG_DWORD}, std::vector<BYTE>(p, p + sizeof(d))));
}

// A top-level window of the process by class and (optionally) title.
HWND FindWindowOf(DWORD pid, const wchar_t* cls, const wchar_t* title) {
    struct Search {
        DWORD pid;
        const wchar_t* cls;
        const wchar_t* title;
        HWND found;
    } s{pid, cls, title, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            wchar_t name[64] = {}, text[128] = {};
            GetClassNameW(w, name, 64);
            GetWindowTextW(w, text, 128);
            if (owner == s->pid && wcscmp(name, s->cls) == 0 && (!s->title || wcscmp(text, s->title) == 0) &&
                IsWindowVisible(w)) {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

class VtMenu : public ::testing::Test {
protected:
    void SetUp() override {
        fs::path dist = fs::path(VT_DIST_DIR);
        ASSERT_TRUE(fs::exists(dist / "VT.exe")) << "build VT first";
        ASSERT_TRUE(fs::exists(dist / "DATA" / "TEAM.SET")) << "build the demo store first";
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("vt-menu-" + std::to_string(rd()));
        fs::create_directories(dir_);
        fs::copy_file(dist / "VT.exe", dir_ / "VT.exe");
        fs::copy(dist / "SKIN", dir_ / "SKIN", fs::copy_options::recursive);
        fs::copy(dist / "DATA", dir_ / "DATA", fs::copy_options::recursive);
        for (auto& s : saved_)
            s.value = ReadValue(s.name);
        // The layout the clicks below aim at, and single clicks that only select.
        WriteDword(L"OnlyLaunchOne", 0);
        WriteDword(L"LaunchMode", 1);
        WriteDword(L"ShowItemType", 0);
        WriteDword(L"WarnBeforeLaunch", 0);
        WriteDword(L"RememberLastTeam", 0);
        WriteValue(L"SkinPath", std::nullopt);
        Start();
    }

    void TearDown() override {
        if (pi_.hProcess) {
            if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(pi_.hProcess, 99);
                WaitForSingleObject(pi_.hProcess, 10000);
            }
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
        for (const auto& s : saved_)
            WriteValue(s.name, s.value);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    void Start() {
        std::wstring exe = (dir_ / "VT.exe").wstring();
        std::wstring cmd = L"\"" + exe + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        ASSERT_TRUE(CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir_.wstring().c_str(),
                                   &si, &pi_));
        WaitFor(pi_.hProcess, kTimeoutMs, [&] {
            main_ = FindWindowOf(pi_.dwProcessId, L"VantrelMainForm", nullptr);
            return main_ != nullptr;
        });
        ASSERT_NE(main_, nullptr) << "no main window";
    }

    bool Alive() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT && IsWindow(main_); }

    // Posted messages are handled in order: once this returns, everything
    // posted before it has run (or the program is stuck in a modal box).
    bool Settled() { return SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, 20000, nullptr) != 0; }

    void Command(unsigned id) { PostMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    // A left click at a point of the default skin, in twips from the window's corner.
    void ClickAt(int xTwips, int yTwips) {
        HDC screen = GetDC(nullptr);
        int dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        LPARAM at = MAKELPARAM(MulDiv(xTwips, dpi, 1440), MulDiv(yTwips, dpi, 1440));
        PostMessageW(main_, WM_MOUSEMOVE, 0, at);
        PostMessageW(main_, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(main_, WM_LBUTTONUP, 0, at);
        ASSERT_TRUE(Settled());
    }
    // First team caption, then the first item icon of the default skin.
    void SelectFirstItem() {
        ClickAt(1110, 1290);
        ClickAt(915, 2025);
    }

    HWND WaitForBox(const wchar_t* title) {
        HWND box = nullptr;
        WaitFor(pi_.hProcess, kTimeoutMs, [&] {
            box = FindWindowOf(pi_.dwProcessId, L"#32770", title);
            return box != nullptr;
        });
        return box;
    }

    std::wstring Ini(const fs::path& file, const wchar_t* section, const wchar_t* key) {
        wchar_t buf[256] = {};
        GetPrivateProfileStringW(section, key, L"<missing>", buf, 256, file.wstring().c_str());
        return buf;
    }
    fs::path FirstTeamItems() { return dir_ / "DATA" / Ini(dir_ / "DATA" / "TEAM.SET", L"0", L"Path") / "ITEM.SET"; }

    void ExitAndExpectEnd() {
        Command(kMenuExit);
        ASSERT_EQ(WaitForSingleObject(pi_.hProcess, 30000), WAIT_OBJECT_0) << "VT.exe did not end after 退出";
        DWORD code = 99;
        GetExitCodeProcess(pi_.hProcess, &code);
        EXPECT_EQ(code, 0u);
    }

    fs::path dir_;
    PROCESS_INFORMATION pi_{};
    HWND main_ = nullptr;
    std::vector<SavedValue> saved_ = {{L"OnlyLaunchOne", {}},    {L"LaunchMode", {}},       {L"ShowItemType", {}},
                                      {L"WarnBeforeLaunch", {}}, {L"RememberLastTeam", {}}, {L"SkinPath", {}}};
};

TEST_F(VtMenu, RefreshSwapHelpAndEditorCommandsLeaveTheLauncherRunningAndExitEndsIt) {
    // help.chm and the skin editor are not in this copy: the shell's failures must go unreported and harmless.
    for (unsigned id : {kMenuRefurbish, kQuickReTeam2, kQuickReItem2, kMenuChangePos, kMenuHelp, kMenuSkinEditor}) {
        Command(id);
        ASSERT_TRUE(Settled()) << id;
        ASSERT_TRUE(Alive()) << id;
    }
    // The swap prompt went to the message popup, not to a box that would block.
    EXPECT_EQ(FindWindowOf(pi_.dwProcessId, L"#32770", nullptr), nullptr);
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
    SelectFirstItem();

    Command(kQuickDeleteItem);
    HWND box = WaitForBox(L"删除确认");
    ASSERT_NE(box, nullptr) << "no confirmation box";
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    // Until the cancelled box is gone, looking for the next one would find it.
    ASSERT_TRUE(WaitFor(pi_.hProcess, kTimeoutMs, [&] { return !IsWindow(box); }));
    ASSERT_TRUE(Settled());
    EXPECT_EQ(Ini(items, L"ITEM", L"Count"), std::to_wstring(before));

    Command(kMenuDeleteItem);
    box = WaitForBox(L"删除确认");
    ASSERT_NE(box, nullptr) << "no confirmation box";
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    // The posted OK reaches the box after any sent probe, so wait for the
    // effect itself rather than for the window to answer.
    EXPECT_TRUE(WaitFor(pi_.hProcess, kTimeoutMs,
                          [&] { return Ini(items, L"ITEM", L"Count") == std::to_wstring(before - 1); }));
    EXPECT_EQ(Ini(items, L"0", L"Name"), second);

    ASSERT_TRUE(Alive());
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

    PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(Settled());
    EXPECT_TRUE(WaitFor(pi_.hProcess, kTimeoutMs, [&] { return !IsWindow(about); }));

    // The F2 key alone brings it back.
    PostMessageW(main_, WM_KEYDOWN, VK_F2, 0);
    EXPECT_NE(WaitForBox(L"关于\"Vantrel\""), nullptr);
    ExitAndExpectEnd();
}

}  // namespace
}  // namespace vt
