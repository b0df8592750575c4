// VT.exe as a user starts it: from a fresh copy of the program folder, as a
// separate process, looked at from outside through its window.
//
// The launcher keeps its options under HKEY_LOCAL_MACHINE of the test prefix;
// the one value these tests change ("OnlyLaunchOne") is put back afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "platform/win32/win_text.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kSettingKey[] = L"SOFTWARE\\Oskarn\\Vantrel\\Setting";
constexpr DWORD kStartTimeoutMs = 60000;

// Waits until cond() holds, pumping nothing and sleeping on the process handle
// (which also ends the wait early when the process dies).
bool WaitFor(HANDLE process, DWORD timeoutMs, const std::function<bool()>& cond) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!cond()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        if (process && WaitForSingleObject(process, 50) == WAIT_OBJECT_0) return cond();
        if (!process) WaitForSingleObject(GetCurrentProcess(), 50);  // times out: a pause without Sleep
    }
    return true;
}

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

// The launcher's main window of one process.
HWND FindMainWindow(DWORD pid) {
    struct Search {
        DWORD pid;
        HWND found;
    } s{pid, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            wchar_t cls[64] = {};
            GetClassNameW(w, cls, 64);
            if (owner == s->pid && wcscmp(cls, L"VantrelMainForm") == 0) {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::optional<DWORD> ReadSetting(const wchar_t* name) {
    DWORD v = 0, size = sizeof(v), type = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kSettingKey, name, RRF_RT_REG_DWORD, &type, &v, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return v;
}

void WriteSetting(const wchar_t* name, std::optional<DWORD> v) {
    HKEY k = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSettingKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) !=
        ERROR_SUCCESS)
        return;
    if (v)
        RegSetValueExW(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*v), sizeof(DWORD));
    else
        RegDeleteValueW(k, name);
    RegCloseKey(k);
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
        savedOnlyOne_ = ReadSetting(L"OnlyLaunchOne");
    }
    void TearDown() override {
        WriteSetting(L"OnlyLaunchOne", savedOnlyOne_);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    void Start(Process& p) {
        std::wstring exe = (dir_ / "VT.exe").wstring();
        std::wstring cmd = L"\"" + exe + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        ASSERT_TRUE(CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   dir_.wstring().c_str(), &si, &p.pi))
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
    std::optional<DWORD> savedOnlyOne_;
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

    // The default skin sizes the window: 5400 x 6900 twips.
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, MulDiv(5400, dpi, 1440));
    EXPECT_EQ(r.bottom - r.top, MulDiv(6900, dpi, 1440));

    EXPECT_TRUE(fs::is_directory(dir_ / "DATA"));
    CloseAndExpectExit(p, w);
}

TEST_F(VtStartup, OnlyLaunchOneEndsASecondStartAtOnce) {
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

}  // namespace
}  // namespace vt
