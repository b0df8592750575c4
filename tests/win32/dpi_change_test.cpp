// Windows moved from a 100 % monitor to a 150 % one while open: the system
// sends WM_DPICHANGED (Wine does not, so the tests send it as the system
// would). Each window must then look as if it had been opened at 150 %:
// where the system suggests, every control inside its parent, clear of its
// neighbours and wide enough for its caption in the new font.
#include "tests/win32/vt_harness.h"

#include "launcher/menus/menu_ids.h"
#include "tests/win32/layout_check.h"

namespace vt::harness {
namespace {

constexpr int kIdCanvas = 600;

// The rectangle the system suggests: the window grown from its corner.
RECT Grown(HWND w, int from, int to) {
    RECT r{};
    ::GetWindowRect(w, &r);
    return {r.left, r.top, r.left + ::MulDiv(r.right - r.left, to, from), r.top + ::MulDiv(r.bottom - r.top, to, from)};
}

RECT WindowRect(HWND w) {
    RECT r{};
    ::GetWindowRect(w, &r);
    return r;
}

void ExpectAt(HWND w, const RECT& suggested) {
    const RECT now = WindowRect(w);
    EXPECT_EQ(now.left, suggested.left);
    EXPECT_EQ(now.top, suggested.top);
    EXPECT_EQ(now.right, suggested.right);
    EXPECT_EQ(now.bottom, suggested.bottom);
}

class DpiChange : public DemoDialogTest {
protected:
    // Moves the dialog to 150 % and back; its layout must hold at both.
    void MoveAcross(HWND dlg, const std::wstring& shot) {
        ASSERT_NE(dlg, nullptr) << "the dialog did not open";
        const RECT at96 = WindowRect(dlg);
        const RECT big = Grown(dlg, 96, 144);
        ASSERT_TRUE(SendDpiChanged(launcher_.Process(), dlg, 144, big));
        ExpectAt(dlg, big);
        EXPECT_TRUE(SaveSteadyScreenshot(launcher_.Process(), dlg, shot + L"_moved_to_144dpi"));
        auto faults = CheckLayout(dlg, 144);
        EXPECT_TRUE(faults.empty()) << "at 144 dpi: " << JoinFaults(faults);
        // Back on the first monitor it is the size it was, give or take the rounding.
        const RECT back{big.left, big.top, big.left + (at96.right - at96.left), big.top + (at96.bottom - at96.top)};
        ASSERT_TRUE(SendDpiChanged(launcher_.Process(), dlg, 96, back));
        faults = CheckLayout(dlg, 96);
        EXPECT_TRUE(faults.empty()) << "back at 96 dpi: " << JoinFaults(faults);
        PostButton(dlg, IDCANCEL);
        EXPECT_TRUE(launcher_.WaitGone(dlg));
    }
};

// One dialog laid out at run time, one from a template with fonts of its own,
// one with pages of controls of which only one shows.
TEST_F(DpiChange, DialogsFollowTheirWindowToAnotherScale) {
    SelectFirstDemoItem(launcher_.Main());
    launcher_.Command(kMenuAddItem);
    MoveAcross(launcher_.WaitForDialog(L"添加项目"), L"item_editor_add");
    launcher_.Command(kMenuAbout);
    MoveAcross(launcher_.WaitForDialog(L"关于\"Vantrel\""), L"about");
    launcher_.Command(kMenuSet);
    MoveAcross(launcher_.WaitForDialog(L"软件设置"), L"settings");
}

TEST_F(EditorTest, TheSkinEditorFollowsItsWindowToAnotherScale) {
    ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    HWND canvas = FindControl(main_, kIdCanvas);
    ASSERT_NE(canvas, nullptr);
    const RECT big = Grown(main_, 96, 144);
    ASSERT_TRUE(SendDpiChanged(editor_.Handle(), main_, 144, big));
    ExpectAt(main_, big);
    const auto faults = CheckLayout(main_, 144);
    EXPECT_TRUE(faults.empty()) << JoinFaults(faults);
    // The canvas frame is laid out in twips like the rest: 7215 wide.
    const RECT c = WindowRect(canvas);
    EXPECT_NEAR(c.right - c.left, ::MulDiv(7215, 144, 1440), 1);
    EXPECT_TRUE(SaveSteadyScreenshot(editor_.Handle(), main_, L"skin_editor_moved_to_144dpi"));
}

}  // namespace
}  // namespace vt::harness
