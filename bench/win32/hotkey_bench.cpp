// Time from a posted hot key message to the launcher's window painted on the
// screen, against the same for a plain window of this process shown by a
// posted message: the difference is what the launcher does on the way (the
// store of 32 teams and 500 items in the team shown). Run with tools/bench.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/win32/bench_support.h"
#include "common/codepage.h"
#include "common/ini.h"
#include "launcher/mainwindow/hotkey.h"
#include "launcher/menus/menu_ids.h"
#include "launcher/store/store.h"

namespace {

namespace fs = std::filesystem;
using Clock = BenchClock;

constexpr int kTeams = 32;
constexpr int kItems = 500;
constexpr int kRuns = 9;
constexpr UINT kShowReference = WM_APP + 1;

// Lets this thread's windows run while waiting.
void Pump(DWORD ms) {
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    do {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&m);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
    } while (Clock::now() < until);
}

// Posts `show` and returns the milliseconds until the window's screen shows
// what it shows once settled; hides it again with `hide`.
template <typename Show, typename Hide, typename Visible>
double TimeToShown(HWND w, Show show, Hide hide, Visible visible) {
    hide();
    for (int i = 0; i < 2000 && visible(); ++i)
        Pump(5);
    Pump(200);
    ScreenSamples samples;
    const Clock::time_point start = Clock::now();
    show();
    while (Clock::now() - start < std::chrono::milliseconds(4000)) {
        Pump(3);
        if (visible()) samples.Take(w);
    }
    if (samples.Empty()) std::fprintf(stderr, "hotkey_bench: the window did not show within 4 s\n");
    return samples.SettledAfter(start);
}

LRESULT CALLBACK ReferenceProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kShowReference) {
        ShowWindow(w, SW_SHOW);
        SetForegroundWindow(w);
        return 0;
    }
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_HIGHLIGHT));
        EndPaint(w, &ps);
        return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

}  // namespace

int main() {
    const fs::path dist = OwnFolder() / "Vantrel";
    if (!fs::exists(dist / "VT.exe")) {
        std::fprintf(stderr, "hotkey_bench: build VT first\n");
        return 1;
    }
    const fs::path dir = fs::temp_directory_path() / ("vt-hotkey-bench-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(dir);
    fs::copy_file(dist / "VT.exe", dir / "VT.exe");
    fs::copy(dist / "SKIN", dir / "SKIN", fs::copy_options::recursive);
    const std::string app = vt::PathToUtf8(dir.wstring() + L"\\");
    for (int t = 0; t < kTeams; ++t)
        if (!vt::AddTeam(app, vt::TeamInput{"类别" + std::to_string(t), "", ""})) return 1;
    const std::string folder = vt::ResolveTeamFolder(app, 0, "");
    for (int i = 0; i < kItems; ++i) {
        vt::ItemInput item;
        item.Name = "项目" + std::to_string(i);
        item.Path = "C:\\windows\\notepad.exe";
        item.IconText = "[FILE]";
        if (!vt::AddItem(app, folder, item)) return 1;
    }
    vt::FlushIniCache();

    // Opens on the first team with its 500 items, wherever the skin puts the window.
    SavedValue once(L"SOFTWARE\\Oskarn\\Vantrel\\Setting", L"OnlyLaunchOne"),
        remember(L"SOFTWARE\\Oskarn\\Vantrel\\Setting", L"RememberLastTeam"),
        mouse(L"SOFTWARE\\Oskarn\\Vantrel\\Setting", L"ShowInMouse"),
        last(L"SOFTWARE\\Oskarn\\Vantrel\\Data", L"LastTeam");
    once.Set(0);
    remember.Set(1);
    mouse.Set(0);
    last.Set(0);
    std::wstring cmd = L"\"" + (dir / "VT.exe").wstring() + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) return 1;
    // The main window by its class: the process has other top-level windows (the message popup).
    HWND vtw = nullptr;
    for (int i = 0; i < 3000 && !vtw; ++i) {
        HWND w = FindWindowW(L"VantrelMainForm", nullptr);
        DWORD pid = 0;
        if (w) GetWindowThreadProcessId(w, &pid);
        if (w && pid == pi.dwProcessId && IsWindowVisible(w)) vtw = w;
        Pump(10);
    }
    if (!vtw) {
        std::fprintf(stderr, "hotkey_bench: VT.exe showed no window\n");
        TerminateProcess(pi.hProcess, 1);
        return 1;
    }
    Pump(2000);
    SetCursorPos(0, 0);

    WNDCLASSW wc{};
    wc.lpfnWndProc = ReferenceProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VtHotkeyBenchReference";
    RegisterClassW(&wc);
    RECT r{};
    GetWindowRect(vtw, &r);
    HWND ref = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);

    std::vector<double> vt, plain;
    for (int run = 0; run < kRuns; ++run) {
        vt.push_back(TimeToShown(
            vtw, [&] { PostMessageW(vtw, WM_HOTKEY, vt::kHotkeyId, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'Q')); },
            [&] { PostMessageW(vtw, WM_COMMAND, MAKEWPARAM(vt::kNMHideMain, 0), 0); },
            [&] { return IsWindowVisible(vtw) != FALSE; }));
        plain.push_back(TimeToShown(
            ref, [&] { PostMessageW(ref, kShowReference, 0, 0); }, [&] { ShowWindow(ref, SW_HIDE); },
            [&] { return IsWindowVisible(ref) != FALSE; }));
    }
    const double v = Median(vt), p = Median(plain);
    std::printf("hot key to painted window (median of %d, %d teams, %d items in the team shown):\n", kRuns, kTeams,
                kItems);
    std::printf("  VT.exe         %8.1f ms (worst %.1f)\n", v, *std::max_element(vt.begin(), vt.end()));
    std::printf("  plain window   %8.1f ms (worst %.1f)\n", p, *std::max_element(plain.begin(), plain.end()));
    if (p > 0) std::printf("  ratio          %8.2f\n", v / p);

    PostMessageW(vtw, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    DestroyWindow(ref);
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
