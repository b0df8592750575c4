// VT.exe as a user starts it: from a fresh copy of the program folder, as a
// separate process, looked at from outside through its window.
//
// The launcher keeps its options under HKEY_LOCAL_MACHINE of the test prefix;
// the one value these tests change ("OnlyLaunchOne") is put back afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "platform/win32/win_text.h"
#include "tests/win32/wine_ui.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kSettingKey[] = L"SOFTWARE\\Oskarn\\Vantrel\\Setting";
constexpr wchar_t kDataKey[] = L"SOFTWARE\\Oskarn\\Vantrel\\Data";
constexpr DWORD kStartTimeoutMs = 60000;

struct Process {
    PROCESS_INFORMATION pi{};
    ~Process() {
        if (pi.hProcess) {
            if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(pi.hProcess, 99);
                WaitForSingleObject(pi.hProcess, 10000);  // its mutex must be gone before the next test
            }
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }
    bool Exited() const { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }
    DWORD ExitCode() const {
        DWORD code = 12345;
        GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }
};

// A registry value as raw type and bytes, so that any value can be put back as it was.
struct RawValue {
    DWORD type = 0;
    std::vector<BYTE> bytes;
};

std::optional<RawValue> ReadRaw(const wchar_t* key, const wchar_t* name) {
    RawValue v;
    DWORD size = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_ANY | RRF_NOEXPAND, &v.type, nullptr, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    v.bytes.resize(size);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_ANY | RRF_NOEXPAND, &v.type, v.bytes.data(), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    v.bytes.resize(size);
    return v;
}

void WriteRaw(const wchar_t* key, const wchar_t* name, const std::optional<RawValue>& v) {
    HKEY k = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS)
        return;
    if (v)
        RegSetValueExW(k, name, 0, v->type, v->bytes.data(), static_cast<DWORD>(v->bytes.size()));
    else
        RegDeleteValueW(k, name);
    RegCloseKey(k);
}

std::optional<DWORD> ReadDword(const wchar_t* key, const wchar_t* name) {
    auto v = ReadRaw(key, name);
    if (!v || v->type != REG_DWORD || v->bytes.size() != sizeof(DWORD)) return std::nullopt;
    return *reinterpret_cast<const DWORD*>(v->bytes.data());
}

void WriteDword(const wchar_t* key, const wchar_t* name, DWORD d) {
    RawValue v{REG_DWORD, std::vector<BYTE>(reinterpret_cast<BYTE*>(&d), reinterpret_cast<BYTE*>(&d) + sizeof(d))};
    WriteRaw(key, name, v);
}

void WriteSetting(const wchar_t* name, DWORD d) {
    WriteDword(kSettingKey, name, d);
}

void WriteString(const wchar_t* key, const wchar_t* name, const std::wstring& text) {
    auto* p = reinterpret_cast<const BYTE*>(text.c_str());
    WriteRaw(key, name, RawValue{REG_SZ, std::vector<BYTE>(p, p + (text.size() + 1) * sizeof(wchar_t))});
}

// Windows of a class belonging to one process.
HWND FindProcessWindow(DWORD pid, const wchar_t* cls) {
    struct Search {
        DWORD pid;
        const wchar_t* cls;
        HWND found;
    } s{pid, cls, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            wchar_t name[64] = {};
            GetClassNameW(w, name, 64);
            if (owner == s->pid && wcscmp(name, s->cls) == 0) {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND FindMainWindow(DWORD pid) {
    return FindProcessWindow(pid, L"VantrelMainForm");
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

class VtStartup : public ::testing::Test {
protected:
    void SetUp() override {
        fs::path dist = PathFromUtf8(VT_DIST_DIR);
        ASSERT_TRUE(fs::exists(dist / "VT.exe")) << "build VT first";
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("vt-start-" + std::to_string(rd()));
        fs::create_directories(dir_);
        fs::copy_file(dist / "VT.exe", dir_ / "VT.exe");
        fs::copy(dist / "SKIN", dir_ / "SKIN", fs::copy_options::recursive);
        // Every value a test here changes, or the program writes at exit, is put back.
        for (const auto& [key, name] : touched_)
            saved_.push_back(ReadRaw(key, name));
    }
    void TearDown() override {
        for (size_t i = 0; i < touched_.size(); ++i)
            WriteRaw(touched_[i].first, touched_[i].second, saved_[i]);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    void Start(Process& p) {
        std::wstring exe = (dir_ / "VT.exe").wstring();
        std::wstring cmd = L"\"" + exe + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        ASSERT_TRUE(CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir_.wstring().c_str(),
                                   &si, &p.pi))
            << GetLastError();
    }

    HWND WaitForWindow(Process& p) {
        HWND w = nullptr;
        // The window exists before its load step ends; it is ready once shown.
        WaitFor(p.pi.hProcess, kStartTimeoutMs, [&] {
            w = FindMainWindow(p.pi.dwProcessId);
            return w && IsWindowVisible(w);
        });
        return w;
    }

    void CloseAndExpectExit(Process& p, HWND w) {
        PostMessageW(w, WM_CLOSE, 0, 0);
        ASSERT_EQ(WaitForSingleObject(p.pi.hProcess, 30000), WAIT_OBJECT_0) << "VT.exe did not end after WM_CLOSE";
        EXPECT_EQ(p.ExitCode(), 0u);
    }

    fs::path dir_;
    const std::vector<std::pair<const wchar_t*, const wchar_t*>> touched_ = {
        {kSettingKey, L"OnlyLaunchOne"},
        {kSettingKey, L"RememberMainPos"},
        {kSettingKey, L"SkinPath"},
        {kSettingKey, L"RememberLastTeam"},
        {kDataKey, L"mLeft"},
        {kDataKey, L"mTop"},
        {kDataKey, L"LastTeam"},
    };
    std::vector<std::optional<RawValue>> saved_;
};

TEST_F(VtStartup, FirstStartShowsTheSkinnedLayeredWindowAndEndsOnClose) {
    WriteSetting(L"OnlyLaunchOne", 0);
    Process p;
    Start(p);
    HWND w = WaitForWindow(p);
    ASSERT_NE(w, nullptr) << "no main window";

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

    EXPECT_TRUE(fs::is_directory(dir_ / "DATA"));
    CloseAndExpectExit(p, w);
}

TEST_F(VtStartup, OnlyLaunchOneEndsASecondStartAtOnce) {
    // Any launcher already running in this prefix would make our first start the second.
    if (HANDLE other = OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\Oskarn.Vantrel.VT")) {
        CloseHandle(other);
        GTEST_SKIP() << "another VT.exe is running in this prefix";
    }
    WriteSetting(L"OnlyLaunchOne", 1);
    Process first;
    Start(first);
    HWND w = WaitForWindow(first);
    ASSERT_NE(w, nullptr);

    Process second;
    Start(second);
    ASSERT_EQ(WaitForSingleObject(second.pi.hProcess, 30000), WAIT_OBJECT_0) << "the second start kept running";
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(FindMainWindow(second.pi.dwProcessId), nullptr);
    EXPECT_FALSE(first.Exited());

    CloseAndExpectExit(first, w);
}

TEST_F(VtStartup, WithoutOnlyLaunchOneASecondStartRuns) {
    WriteSetting(L"OnlyLaunchOne", 0);
    Process first, second;
    Start(first);
    HWND w1 = WaitForWindow(first);
    ASSERT_NE(w1, nullptr);
    Start(second);
    HWND w2 = WaitForWindow(second);
    ASSERT_NE(w2, nullptr);
    EXPECT_NE(w1, w2);
    CloseAndExpectExit(second, w2);
    CloseAndExpectExit(first, w1);
}

TEST_F(VtStartup, TrayClickTogglesTheWindowAndTheHotkeyOnlyShowsIt) {
    WriteSetting(L"OnlyLaunchOne", 0);
    Process p;
    Start(p);
    HWND w = WaitForWindow(p);
    ASSERT_NE(w, nullptr);
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
    CloseAndExpectExit(p, w);
}

TEST_F(VtStartup, ClosingSavesThePositionOnlyWhenRemembered) {
    WriteSetting(L"OnlyLaunchOne", 0);
    const double tpp = 1440.0 / ScreenDpi();
    for (DWORD remember : {1u, 0u}) {
        WriteSetting(L"RememberMainPos", remember);
        WriteDword(kDataKey, L"mLeft", 7);
        WriteDword(kDataKey, L"mTop", 9);
        Process p;
        Start(p);
        HWND w = WaitForWindow(p);
        ASSERT_NE(w, nullptr);
        SetWindowPos(w, nullptr, 100, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        CloseAndExpectExit(p, w);
        if (remember) {
            EXPECT_EQ(ReadDword(kDataKey, L"mLeft"), static_cast<DWORD>(std::lround(100 * tpp)));
            EXPECT_EQ(ReadDword(kDataKey, L"mTop"), static_cast<DWORD>(std::lround(120 * tpp)));
        } else {
            EXPECT_EQ(ReadDword(kDataKey, L"mLeft"), 7u);
            EXPECT_EQ(ReadDword(kDataKey, L"mTop"), 9u);
        }
    }
    // Remembered: the next start opens where the last one was left.
    WriteSetting(L"RememberMainPos", 1);
    WriteDword(kDataKey, L"mLeft", static_cast<DWORD>(std::lround(200 * tpp)));
    WriteDword(kDataKey, L"mTop", static_cast<DWORD>(std::lround(50 * tpp)));
    Process p;
    Start(p);
    HWND w = WaitForWindow(p);
    ASSERT_NE(w, nullptr);
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 50);
    CloseAndExpectExit(p, w);
}

TEST_F(VtStartup, AMissingSkinIsReportedInThePopupAndTheWindowStaysUsable) {
    WriteSetting(L"OnlyLaunchOne", 0);
    WriteString(kSettingKey, L"SkinPath", L"没有这个皮肤");
    Process p;
    Start(p);
    HWND w = WaitForWindow(p);
    ASSERT_NE(w, nullptr);
    HWND popup = nullptr;
    WaitFor(p.pi.hProcess, 20000, [&] { return (popup = FindProcessWindow(p.pi.dwProcessId, L"VantrelMsgForm")); });
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
    EXPECT_TRUE(WaitFor(p.pi.hProcess, 20000, [&] { return !IsWindow(popup); })) << "the popup stayed after a click";

    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_GT(r.right - r.left, 0);
    EXPECT_GT(r.bottom - r.top, 0);
    CloseAndExpectExit(p, w);
}

}  // namespace
}  // namespace vt
