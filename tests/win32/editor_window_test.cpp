// Starts the real VTSkinEditor.exe and talks to its window.
#include "platform/win32/ui_font.h"
#include "tests/win32/editor_drive.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

using namespace harness;

using EditorWindow = EditorTest;

TEST_F(EditorWindow, StartsWithItsDefaultsAndCloses) {
    EXPECT_EQ(Text(main_), L"VT Skin Editor");

    RECT rc;
    ::GetClientRect(main_, &rc);
    const int dpi = ScreenDpi();
    EXPECT_EQ(rc.right, ::MulDiv(10575, dpi, 1440));
    // At least as tall as that; taller where a page needs the room.
    EXPECT_GE(rc.bottom, ::MulDiv(7335, dpi, 1440));

    struct Want {
        int slot;
        const wchar_t* text;
    };
    for (const Want& w : {Want{47, L"http://"}, Want{31, L"3255"}, Want{43, L"4"}, Want{29, L"16777215"}, Want{0, L""},
                          Want{15, L"9"}}) {
        HWND box = FindControl(main_, 200 + w.slot);
        ASSERT_NE(box, nullptr) << w.slot;
        EXPECT_EQ(Text(box), w.text) << w.slot;
    }
    EXPECT_EQ(FindControl(main_, 201), nullptr);  // there is no slot 1
    HWND frame0 = FindControl(main_, 400);
    ASSERT_NE(frame0, nullptr);
    EXPECT_EQ(::SendMessageW(frame0, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Text(FindControl(main_, 503)), L"生成(&M)");

    EXPECT_TRUE(editor_.Close(main_));
}

TEST_F(EditorWindow, NewWithChangesAsksAndCancelKeepsEverything) {
    HWND name = FindControl(main_, 200 + 44);
    ASSERT_NE(name, nullptr);
    ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"edited"));
    EXPECT_TRUE(WaitFor(editor_.Handle(), 20000, [&] { return Text(main_) == L"*VT Skin Editor"; }))
        << Narrow(Text(main_));

    // Cancel: the window, its values and the mark stay.
    ::PostMessageW(FindControl(main_, 500), BM_CLICK, 0, 0);
    HWND ask = WaitForMessageBox(editor_, L"保存提示");
    ASSERT_NE(ask, nullptr) << "New threw unsaved work away without asking";
    EXPECT_EQ(MessageBoxText(ask), L"是否保存对皮肤文件的修改?");
    PostButton(ask, IDCANCEL);
    ASSERT_TRUE(editor_.WaitGone(ask));
    EXPECT_TRUE(::IsWindow(main_));
    EXPECT_EQ(Text(name), L"edited");
    EXPECT_EQ(Text(main_), L"*VT Skin Editor");

    // No: a fresh window in its place.
    ::PostMessageW(FindControl(main_, 500), BM_CLICK, 0, 0);
    ask = WaitForMessageBox(editor_, L"保存提示");
    ASSERT_NE(ask, nullptr);
    PostButton(ask, IDNO);
    HWND fresh = WaitForMain(main_);
    ASSERT_NE(fresh, nullptr);
    EXPECT_FALSE(::IsWindow(main_));
    EXPECT_EQ(Text(fresh), L"VT Skin Editor");
    EXPECT_EQ(Text(FindControl(fresh, 200 + 44)), L"");
    EXPECT_FALSE(editor_.Exited());

    // Nothing unsaved: 退出 ends at once.
    main_ = fresh;
    ::PostMessageW(FindControl(fresh, 506), BM_CLICK, 0, 0);  // 退出
    EXPECT_TRUE(editor_.WaitExit(20000));
}

TEST_F(EditorWindow, ButtonMnemonicsNeedAltAndLettersReachTheValueBoxes) {
    HWND canvas = FindControl(main_, 600);
    ASSERT_NE(canvas, nullptr);

    // A plain "m" outside a value box must not build (which would open the
    // folder dialog); Alt+A opens the About box. Both are queued in this
    // order, so once the About box shows, the "m" has been handled.
    ::PostMessageW(canvas, WM_CHAR, L'm', 0);
    ::PostMessageW(canvas, WM_SYSCHAR, L'a', 1 << 29);
    HWND about = editor_.WaitForWindow(L"VTSkinEditorAbout", nullptr, 20000);
    ASSERT_NE(about, nullptr) << "Alt+A did not open the About box";
    EXPECT_EQ(FindProcessWindow(editor_.Id(), L"#32770"), nullptr) << "a plain letter pressed a button";
    ::PostMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor(editor_.Handle(), 20000, [&] { return !::IsWindow(about); }));

    // Letters still go into a value box, mnemonic or not.
    HWND name = FindControl(main_, 200 + 44);
    ASSERT_NE(name, nullptr);
    for (wchar_t c : std::wstring(L"mao"))
        ::PostMessageW(name, WM_CHAR, c, 0);
    EXPECT_TRUE(WaitFor(editor_.Handle(), 20000, [&] { return Text(name) == L"mao"; })) << Narrow(Text(name));

    EXPECT_TRUE(CloseEditorDiscarding(editor_, main_));
}

}  // namespace
}  // namespace vt
