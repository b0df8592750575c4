// The boundary every window, dialog and subclass procedure runs through: what
// escapes a handler is logged with its text, the procedure answers as if the
// message had not been handled, and a dialog's OK that fails tells the user.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/dialog_template.h"
#include "platform/win32/guarded_proc.h"
#include "platform/win32/win_log.h"
#include "platform/win32/win_text.h"
#include "tests/win32/screenshot.h"
#include "tests/win32/wine_ui.h"

namespace vt {
namespace {

constexpr WORD kIdThrowOther = 200;

// Every log line while the test runs.
class LogCapture {
public:
    LogCapture() {
        lines_ = &lines;
        SetLogListener([](const std::wstring& line) { lines_->push_back(line); });
    }
    ~LogCapture() {
        SetLogListener(nullptr);
        lines_ = nullptr;
    }
    bool Has(const std::wstring& a, const std::wstring& b) const {
        for (const std::wstring& l : lines)
            if (l.find(a) != std::wstring::npos && l.find(b) != std::wstring::npos) return true;
        return false;
    }
    std::string All() const {
        std::string all;
        for (const std::wstring& l : lines)
            all += Narrow(l);
        return all;
    }
    std::vector<std::wstring> lines;

private:
    static inline std::vector<std::wstring>* lines_ = nullptr;
};

// A dialog whose OK fails as a full disk would, and whose other button throws
// something that is not a std::exception.
INT_PTR CALLBACK FailingProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    return GuardProc(
        ProcKind::Dialog, "test dialog", dlg, msg, wp,
        [&]() -> INT_PTR {
            if (msg == WM_INITDIALOG) return TRUE;
            if (msg == WM_COMMAND && LOWORD(wp) == IDOK) throw std::runtime_error("the disk is full");
            if (msg == WM_COMMAND && LOWORD(wp) == kIdThrowOther) throw 42;
            return FALSE;
        },
        [] { return INT_PTR{FALSE}; });
}

std::vector<std::wstring> ChildTexts(HWND w) {
    std::vector<std::wstring> texts;
    EnumChildWindows(
        w,
        [](HWND c, LPARAM lp) -> BOOL {
            wchar_t buf[256] = {};
            GetWindowTextW(c, buf, 256);
            reinterpret_cast<std::vector<std::wstring>*>(lp)->push_back(buf);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

// Answers every message box of this process other than `dialog` with OK, as
// a user would, and keeps what each said.
class BoxAnswerer {
public:
    explicit BoxAnswerer(HWND dialog) : dialog_(dialog), thread_([this] { Run(); }) {}
    ~BoxAnswerer() {
        stop_ = true;
        thread_.join();
    }
    struct Box {
        std::wstring title;
        std::vector<std::wstring> texts;
    };
    std::vector<Box> Seen() {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_;
    }

private:
    void Run() {
        while (!stop_) {
            HWND box = nullptr;
            WaitFor(200, [&] {
                box = FindWindowExW(nullptr, nullptr, L"#32770", nullptr);
                while (box) {
                    DWORD pid = 0;
                    GetWindowThreadProcessId(box, &pid);
                    if (box != dialog_ && pid == GetCurrentProcessId() && IsWindowVisible(box)) return true;
                    box = FindWindowExW(nullptr, box, L"#32770", nullptr);
                }
                return false;
            });
            if (!box) continue;
            wchar_t title[256] = {};
            GetWindowTextW(box, title, 256);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                seen_.push_back({title, ChildTexts(box)});
            }
            RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            SaveWindowScreenshot(box, ScreenshotDir() + L"save_failed_box.png");
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            WaitFor(5000, [&] { return !IsWindow(box); });
        }
    }

    HWND dialog_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<Box> seen_;
    std::thread thread_;
};

TEST(GuardedProc, FailedOkTellsTheUserLogsWhatFailedAndKeepsTheDialog) {
    LogCapture log;
    DialogTemplate t(L"保存测试", 160, 60, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME);
    t.Add(DialogTemplate::kButton, IDOK, L"确定", 10, 40, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP);
    HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, FailingProc, 0);
    ASSERT_NE(dlg, nullptr);
    BoxAnswerer user(dlg);

    // The box is modal: this returns once the user has answered it.
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    std::vector<BoxAnswerer::Box> boxes = user.Seen();
    ASSERT_EQ(boxes.size(), 1u) << "a failed OK must say so once";
    bool said = false;
    for (const std::wstring& text : boxes[0].texts)
        said = said || text == L"发生错误，无法保存!";
    EXPECT_TRUE(said) << "the box does not show the system's error message";
    EXPECT_EQ(boxes[0].title, L"vt_win32_tests") << "the box has a title of its own";
    EXPECT_TRUE(log.Has(L"test dialog", L"the disk is full")) << log.All();
    EXPECT_TRUE(IsWindow(dlg)) << "what was typed went with the dialog";

    // Anything else that fails is logged only; the user is not interrupted.
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(kIdThrowOther, BN_CLICKED), 0);
    EXPECT_EQ(user.Seen().size(), 1u) << "a failure outside OK showed a box";
    EXPECT_TRUE(log.Has(L"test dialog", L"not a std::exception"));
    EXPECT_TRUE(log.Has(L"message 0x0111", L"")) << "the log does not name the message";
    DestroyWindow(dlg);
}

TEST(GuardedProc, WindowProceduresOnlyLogAndFallBack) {
    LogCapture log;
    const LRESULT r = GuardProc(
        ProcKind::Window, "test window", nullptr, WM_COMMAND, MAKEWPARAM(IDOK, 0),
        []() -> LRESULT { throw std::length_error("a name too long"); }, [] { return LRESULT{3}; });
    EXPECT_EQ(r, 3);
    EXPECT_TRUE(log.Has(L"test window", L"a name too long"));
    // A handler that does not fail answers for itself, and nothing is logged.
    log.lines.clear();
    EXPECT_EQ(GuardProc(
                  ProcKind::Dialog, "test window", nullptr, WM_COMMAND, MAKEWPARAM(IDOK, 0), [] { return 5; },
                  [] { return 3; }),
              5);
    EXPECT_TRUE(log.lines.empty());
}

}  // namespace
}  // namespace vt
