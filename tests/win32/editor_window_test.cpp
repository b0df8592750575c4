// Starts the real VTSkinEditor.exe and talks to its window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win32/wine_ui.h"

namespace {

constexpr wchar_t kMainClass[] = L"VTSkinEditorMain";

struct Editor {
    PROCESS_INFORMATION pi{};
    bool Start() {
        std::wstring exe = std::wstring(L"" VT_DIST_DIR) + L"/VTSkinEditor.exe";
        for (auto& c : exe)
            if (c == L'/') c = L'\\';
        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring cmd = L"\"" + exe + L"\"";
        return ::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    }
    ~Editor() {
        if (pi.hProcess) {
            if (::WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(pi.hProcess, 1);
            ::CloseHandle(pi.hProcess);
            ::CloseHandle(pi.hThread);
        }
    }
    // The editor's main window other than `not`, waiting up to 20 s for it.
    HWND WaitForWindow(HWND not_ = nullptr) const {
        for (int i = 0; i < 400; ++i) {
            HWND found = nullptr;
            struct Ctx {
                DWORD pid;
                HWND skip;
                HWND* out;
            } ctx{pi.dwProcessId, not_, &found};
            ::EnumWindows(
                [](HWND h, LPARAM lp) -> BOOL {
                    auto* c = reinterpret_cast<Ctx*>(lp);
                    wchar_t cls[64];
                    DWORD pid = 0;
                    ::GetWindowThreadProcessId(h, &pid);
                    if (pid == c->pid && h != c->skip && ::GetClassNameW(h, cls, 64) &&
                        std::wstring(cls) == kMainClass && ::IsWindowVisible(h)) {
                        *c->out = h;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&ctx));
            if (found) return found;
            // Wait on the process itself, so an early exit ends the wait.
            if (::WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
        }
        return nullptr;
    }
};

TEST(EditorWindow, StartsWithItsDefaultsAndCloses) {
    Editor ed;
    ASSERT_TRUE(ed.Start());
    HWND main = ed.WaitForWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Text(main), L"VT Skin Editor");

    RECT rc;
    ::GetClientRect(main, &rc);
    const int dpi = ::GetDeviceCaps(::GetDC(nullptr), LOGPIXELSX);
    EXPECT_EQ(rc.right, ::MulDiv(10575, dpi, 1440));
    EXPECT_EQ(rc.bottom, ::MulDiv(7335, dpi, 1440));

    struct Want {
        int slot;
        const wchar_t* text;
    };
    for (const Want& w : {Want{47, L"http://"}, Want{31, L"3255"}, Want{43, L"4"}, Want{29, L"16777215"}, Want{0, L""},
                          Want{15, L"9"}}) {
        HWND box = FindControl(main, 200 + w.slot);
        ASSERT_NE(box, nullptr) << w.slot;
        EXPECT_EQ(Text(box), w.text) << w.slot;
    }
    EXPECT_EQ(FindControl(main, 201), nullptr);  // there is no slot 1
    HWND frame0 = FindControl(main, 400);
    ASSERT_NE(frame0, nullptr);
    EXPECT_EQ(::SendMessageW(frame0, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Text(FindControl(main, 503)), L"生成(&M)");

    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(ed.pi.hProcess, 20000), WAIT_OBJECT_0);
}

TEST(EditorWindow, NewReplacesTheWindowWithAFreshOne) {
    Editor ed;
    ASSERT_TRUE(ed.Start());
    HWND main = ed.WaitForWindow();
    ASSERT_NE(main, nullptr);
    HWND name = FindControl(main, 200 + 44);
    ASSERT_NE(name, nullptr);
    ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"edited"));

    ::PostMessageW(FindControl(main, 500), BM_CLICK, 0, 0);
    HWND fresh = ed.WaitForWindow(main);
    ASSERT_NE(fresh, nullptr);
    EXPECT_FALSE(::IsWindow(main));
    EXPECT_EQ(Text(fresh), L"VT Skin Editor");
    EXPECT_EQ(Text(FindControl(fresh, 200 + 44)), L"");
    EXPECT_EQ(::WaitForSingleObject(ed.pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    ::PostMessageW(FindControl(fresh, 506), BM_CLICK, 0, 0);  // 退出
    EXPECT_EQ(::WaitForSingleObject(ed.pi.hProcess, 20000), WAIT_OBJECT_0);
}

// A visible window of the editor's process with the given class.
HWND FindOwnWindow(DWORD pid, const wchar_t* cls) {
    struct Ctx {
        DWORD pid;
        const wchar_t* cls;
        HWND out;
    } ctx{pid, cls, nullptr};
    ::EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            DWORD pid = 0;
            wchar_t name[64] = {};
            ::GetWindowThreadProcessId(h, &pid);
            ::GetClassNameW(h, name, 64);
            if (pid == c->pid && std::wstring(name) == c->cls && ::IsWindowVisible(h)) {
                c->out = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.out;
}

TEST(EditorWindow, ButtonMnemonicsNeedAltAndLettersReachTheValueBoxes) {
    Editor ed;
    ASSERT_TRUE(ed.Start());
    HWND main = ed.WaitForWindow();
    ASSERT_NE(main, nullptr);
    HWND canvas = FindControl(main, 600);
    ASSERT_NE(canvas, nullptr);

    // A plain "m" outside a value box must not build (which would open the
    // folder dialog); Alt+A opens the About box. Both are queued in this
    // order, so once the About box shows, the "m" has been handled.
    ::PostMessageW(canvas, WM_CHAR, L'm', 0);
    ::PostMessageW(canvas, WM_SYSCHAR, L'a', 1 << 29);
    HWND about = nullptr;
    for (int i = 0; i < 400 && !about; ++i) {
        about = FindOwnWindow(ed.pi.dwProcessId, L"VTSkinEditorAbout");
        if (!about && ::WaitForSingleObject(ed.pi.hProcess, 50) == WAIT_OBJECT_0) break;
    }
    ASSERT_NE(about, nullptr) << "Alt+A did not open the About box";
    EXPECT_EQ(FindOwnWindow(ed.pi.dwProcessId, L"#32770"), nullptr) << "a plain letter pressed a button";
    ::PostMessageW(about, WM_CLOSE, 0, 0);
    for (int i = 0; i < 400 && ::IsWindow(about); ++i)
        ::WaitForSingleObject(ed.pi.hProcess, 50);
    EXPECT_FALSE(::IsWindow(about));

    // Letters still go into a value box, mnemonic or not.
    HWND name = FindControl(main, 200 + 44);
    ASSERT_NE(name, nullptr);
    for (wchar_t c : std::wstring(L"mao"))
        ::PostMessageW(name, WM_CHAR, c, 0);
    for (int i = 0; i < 400 && Text(name) != L"mao"; ++i)
        ::WaitForSingleObject(ed.pi.hProcess, 50);
    EXPECT_EQ(Text(name), L"mao");

    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(ed.pi.hProcess, 20000), WAIT_OBJECT_0);
}

}  // namespace
