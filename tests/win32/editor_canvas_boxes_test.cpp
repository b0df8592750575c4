// The real VTSkinEditor.exe, driven from outside: an element dragged off the
// mock-up can be fetched back, and the colour boxes show their numbers whole.
#include "platform/win32/ui_font.h"
#include "tests/win32/layout_check.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

using namespace harness;

constexpr int kIdTxtCon = 200, kIdCanvas = 600;

class EditorUi : public EditorTest {
protected:
    // Waits for the posted mouse messages to show in the scroll bar.
    bool HorizontalBarBecomes(HWND w, bool shown) const {
        return WaitFor(editor_.Handle(), 5000,
                       [&] { return ((::GetWindowLongW(w, GWL_STYLE) & WS_HSCROLL) != 0) == shown; });
    }
};

TEST_F(EditorUi, ElementDraggedOffTheMockUpCanBeDraggedBack) {
    const int dpi = ScreenDpi();
    auto px = [&](int twips) { return ::MulDiv(twips, dpi, 1440); };
    HWND canvas = FindControl(main_, kIdCanvas);
    ASSERT_NE(canvas, nullptr);
    ASSERT_FALSE(::GetWindowLongW(canvas, GWL_STYLE) & WS_HSCROLL) << "the start-up mock-up fits its frame";

    // The close button (start 3960, 120) pressed inside and pulled far past
    // the left edge of the view, then let go there.
    const int x0 = px(3960) + 4, y0 = px(120) + 4;
    const int away = px(3960) + 300;
    ::PostMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x0, y0));
    ::PostMessageW(canvas, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x0 - away, y0));
    ::PostMessageW(canvas, WM_LBUTTONUP, 0, MAKELPARAM(x0 - away, y0));
    ASSERT_TRUE(HorizontalBarBecomes(canvas, true)) << "nothing lets the view reach the button left of the mock-up";

    // Scrolled to the start, the button is in view at the left, with the
    // editor's 120 twips of room before it; pressed in its middle and brought
    // back onto the mock-up, the bar goes again.
    ::PostMessageW(canvas, WM_HSCROLL, SB_LEFT, 0);
    EXPECT_TRUE(SaveSteadyScreenshot(editor_.Handle(), main_, L"skin_editor_dragged_off"));
    const int x1 = px(120) + px(150), y1 = px(120) + px(150);
    ::PostMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x1, y1));
    ::PostMessageW(canvas, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x1 + 200, y1));
    ::PostMessageW(canvas, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x1 + 400, y1));
    ::PostMessageW(canvas, WM_LBUTTONUP, 0, MAKELPARAM(x1 + 400, y1));
    EXPECT_TRUE(HorizontalBarBecomes(canvas, false)) << "the button was not fetched back onto the mock-up";
}

TEST_F(EditorUi, ColourBoxesShowTheLongestColourWhole) {
    // Colour slots on the pages 标题栏, 菜单栏, 类别栏 and 项目栏.
    for (int slot : {11, 12, 13, 14, 50, 9, 23, 24, 25, 26, 27, 28, 29, 39, 40, 41, 42}) {
        HWND box = FindControl(main_, kIdTxtCon + slot);
        ASSERT_NE(box, nullptr) << slot;
        // With the caret after the last digit, a box too narrow scrolls its
        // first digits out of sight.
        ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"16777215"));
        ::SendMessageW(box, EM_SETSEL, 8, 8);
        ::SendMessageW(box, EM_SCROLLCARET, 0, 0);
        EXPECT_EQ(::SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0)
            << "slot " << slot << " hides the first digits of 16777215";
    }
}

}  // namespace
}  // namespace vt
