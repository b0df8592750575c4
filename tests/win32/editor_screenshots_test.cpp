// The skin editor's window on each of its pages and its About box,
// photographed for people to look at and checked for controls off the edge,
// on top of each other, or too narrow for their caption.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "common/codepage.h"
#include "platform/win32/win_text.h"
#include "tests/win32/layout_check.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

constexpr int kPageButtonFirst = 100;  // the six page buttons, in order
constexpr int kAboutButton = 504;
constexpr DWORD kTimeoutMs = 30000;

HWND FindTopWindow(DWORD pid, const wchar_t* cls) {
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
            if (owner != s->pid || !IsWindowVisible(w) || wcscmp(name, s->cls) != 0) return TRUE;
            s->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND FindChild(HWND main, int id) {
    struct Search {
        int id;
        HWND found;
    } s{id, nullptr};
    EnumChildWindows(
        main,
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            if (GetDlgCtrlID(w) != s->id) return TRUE;
            s->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// VTSkinEditor.exe started from a copy of itself in a temporary folder, so
// whatever it keeps beside itself stays out of the build.
class EditorScreenshots : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path exe = PathFromUtf8(VT_DIST_DIR) / "VTSkinEditor.exe";
        ASSERT_TRUE(fs::exists(exe)) << "build VTSkinEditor first";
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("vt-edshot-" + std::to_string(rd()));
        fs::create_directories(dir_);
        fs::copy_file(exe, dir_ / "VTSkinEditor.exe");
        std::wstring path = (dir_ / "VTSkinEditor.exe").wstring();
        std::wstring cmd = L"\"" + path + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        ASSERT_TRUE(CreateProcessW(path.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   dir_.wstring().c_str(), &si, &pi_));
        main_ = WaitForWindow(L"VTSkinEditorMain");
        ASSERT_NE(main_, nullptr) << "the editor's window did not appear";
    }

    void TearDown() override {
        if (pi_.hProcess) {
            if (main_) PostMessageW(main_, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(pi_.hProcess, 20000) != WAIT_OBJECT_0) {
                ADD_FAILURE() << "the editor did not end on WM_CLOSE";
                TerminateProcess(pi_.hProcess, 99);
                WaitForSingleObject(pi_.hProcess, 10000);
            }
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // Waits on the process between looks, so an editor that dies ends the wait.
    HWND WaitForWindow(const wchar_t* cls) const {
        const ULONGLONG end = GetTickCount64() + kTimeoutMs;
        for (;;) {
            if (HWND w = FindTopWindow(pi_.dwProcessId, cls)) return w;
            if (GetTickCount64() >= end || WaitForSingleObject(pi_.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
        }
    }

    void Look(HWND w, const std::wstring& shot) {
        SCOPED_TRACE(Narrow(shot));
        EXPECT_TRUE(SaveSteadyScreenshot(pi_.hProcess, w, shot)) << "no steady picture";
        const auto faults = CheckLayout(w);
        EXPECT_TRUE(faults.empty()) << JoinFaults(faults);
    }

    fs::path dir_;
    PROCESS_INFORMATION pi_{};
    HWND main_ = nullptr;
};

TEST_F(EditorScreenshots, EveryPageAndTheAboutBox) {
    for (int page = 0; page < 6; ++page) {
        HWND button = FindChild(main_, kPageButtonFirst + page);
        ASSERT_NE(button, nullptr) << "page button " << page;
        SendMessageW(button, BM_CLICK, 0, 0);
        Look(main_, L"skin_editor_page_" + std::to_wstring(page + 1));
    }

    // The About box runs its own message loop: its button is pressed by a posted click.
    HWND about = FindChild(main_, kAboutButton);
    ASSERT_NE(about, nullptr);
    PostMessageW(about, BM_CLICK, 0, 0);
    HWND box = WaitForWindow(L"VTSkinEditorAbout");
    ASSERT_NE(box, nullptr) << "关于 opened no About box";
    Look(box, L"skin_editor_about");
    PostMessageW(box, WM_CLOSE, 0, 0);
    const ULONGLONG end = GetTickCount64() + kTimeoutMs;
    while (IsWindow(box) && IsWindowVisible(box) && GetTickCount64() < end)
        if (WaitForSingleObject(pi_.hProcess, 50) == WAIT_OBJECT_0) break;
    EXPECT_FALSE(IsWindow(box) && IsWindowVisible(box)) << "the About box stayed open";
}

}  // namespace
}  // namespace vt
