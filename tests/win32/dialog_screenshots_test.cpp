// Every dialog of VT.exe opened the way a user opens it, photographed for
// people to look at, and checked for what they would notice at once: a
// control off the dialog's edge, two controls on top of each other, or a
// caption too long for its control (Chinese text is cut, not wrapped). All
// of it at 100, 125, 150 and 200 % display scaling, where a layout in fixed
// pixels or a font made for 96 dpi shows at once.
#include "tests/win32/vt_harness.h"

#include "launcher/dialogs/item_form_win32.h"
#include "launcher/dialogs/team_dialog_ids.h"
#include "launcher/menus/menu_ids.h"
#include "platform/win32/ui_font.h"
#include "tests/win32/dpi_scope.h"
#include "tests/win32/layout_check.h"
#include "tests/win32/screenshot.h"

namespace vt::harness {
namespace {

class DialogScreenshots : public DemoDialogTest, public ::testing::WithParamInterface<int> {
protected:
    const int dpi_ = GetParam();
    ScopedLogPixels screen_{static_cast<DWORD>(dpi_)};

    HWND Open(WORD command, const wchar_t* title) {
        launcher_.Command(command);
        return launcher_.WaitForDialog(title);
    }

    // Photographs the dialog as it is now and checks its layout.
    void Look(HWND dlg, const std::wstring& shot) {
        SCOPED_TRACE(Narrow(shot) + " at " + std::to_string(dpi_) + " dpi");
        ASSERT_NE(dlg, nullptr) << "the dialog did not open";
        EXPECT_TRUE(SaveSteadyScreenshot(launcher_.Process(), dlg, shot + DpiSuffix(dpi_))) << "no steady picture";
        const auto faults = CheckLayout(dlg, dpi_);
        EXPECT_TRUE(faults.empty()) << JoinFaults(faults);
    }

    void Dismiss(HWND dlg) {
        PostButton(dlg, IDCANCEL);
        EXPECT_TRUE(launcher_.WaitGone(dlg));
    }
};

// The checker itself, on windows of this process with faults put in on purpose:
// a checker that finds nothing would let every dialog above pass.
TEST(LayoutCheck, FindsEachKindOfFaultAndPassesASoundLayout) {
    struct Child {
        const wchar_t* cls;
        const wchar_t* text;
        DWORD style;
        RECT at;  // x, y, width, height in pixels of the parent's client area
    };
    struct Case {
        const char* name;
        std::vector<Child> children;
        const char* fault;  // part of the one fault expected; nullptr when none
    };
    const DWORD kStatic = SS_LEFT, kPush = BS_PUSHBUTTON, kCheck = BS_AUTOCHECKBOX, kGroup = BS_GROUPBOX;
    const Case cases[] = {
        {"sound",
         {{L"STATIC", L"名称:", kStatic, {10, 10, 80, 20}},
          {L"EDIT", L"x", WS_BORDER, {90, 10, 100, 20}},
          {L"BUTTON", L"选项", kGroup, {5, 40, 200, 60}},
          {L"BUTTON", L"记忆主窗口的位置", kCheck, {12, 60, 180, 20}},
          {L"BUTTON", L"确定(&O)", kPush, {120, 110, 80, 26}}},
         nullptr},
        {"narrow caption", {{L"STATIC", L"主窗口靠近桌面边缘时缩入隐藏", kStatic, {10, 10, 60, 20}}}, "is cut off"},
        {"narrow check box", {{L"BUTTON", L"在启动计算机时自动运行", kCheck, {10, 10, 60, 20}}}, "is cut off"},
        {"short line", {{L"STATIC", L"名称", kStatic, {10, 10, 80, 4}}}, "is cut off"},
        {"overlap",
         {{L"BUTTON", L"确定", kPush, {10, 10, 80, 26}}, {L"BUTTON", L"取消", kPush, {60, 20, 80, 26}}},
         "overlaps"},
        {"off the edge", {{L"EDIT", L"", WS_BORDER, {150, 10, 100, 20}}}, "outside its parent"},
        {"across a frame",
         {{L"BUTTON", L"框", kGroup, {5, 5, 100, 50}}, {L"EDIT", L"", WS_BORDER, {60, 20, 80, 20}}},
         "crosses the edge"},
    };
    UniqueHfont font = CreateUiFont(9, ScreenDpi());
    // One window for all cases (showing and hiding a window costs seconds
    // under Wine); its client area is all of it, a popup without a frame.
    HWND top = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 220, 150, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(top, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        while (HWND child = GetWindow(top, GW_CHILD))
            DestroyWindow(child);
        for (const Child& ch : c.children) {
            HWND w = CreateWindowExW(0, ch.cls, ch.text, WS_CHILD | WS_VISIBLE | ch.style, ch.at.left, ch.at.top,
                                     ch.at.right, ch.at.bottom, top, nullptr, GetModuleHandleW(nullptr), nullptr);
            SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        }
        const auto faults = CheckLayout(top);
        if (!c.fault) {
            EXPECT_TRUE(faults.empty()) << JoinFaults(faults);
        } else {
            ASSERT_EQ(faults.size(), 1u) << JoinFaults(faults);
            EXPECT_NE(faults[0].find(c.fault), std::string::npos) << faults[0];
        }
    }
    while (HWND child = GetWindow(top, GW_CHILD))
        DestroyWindow(child);
    EXPECT_TRUE(CheckLayout(top).empty());
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(top, MONITOR_DEFAULTTONEAREST), &monitor);
    SetWindowPos(top, nullptr, monitor.rcWork.right - 100, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const auto offScreen = CheckLayout(top);
    ASSERT_EQ(offScreen.size(), 1u) << JoinFaults(offScreen);
    EXPECT_NE(offScreen[0].find("past the screen"), std::string::npos) << offScreen[0];
    DestroyWindow(top);
}

TEST_P(DialogScreenshots, ItemEditorAndItsPickers) {
    SelectFirstDemoItem(launcher_.Main(), dpi_);

    HWND editor = Open(kMenuAddItem, L"添加项目");
    Look(editor, L"item_editor_add");
    ASSERT_NE(editor, nullptr);
    // The advanced part, once unfolded, must fit as well.
    Click(editor, item_ids::kShowAdvanced);
    Look(editor, L"item_editor_add_advanced");

    PostButton(editor, item_ids::kPictureButtonFirst + 1);
    HWND picker = launcher_.WaitForDialog(L"选择文件夹");
    Look(picker, L"folder_picker");
    if (picker) Dismiss(picker);

    PostButton(editor, item_ids::kPictureButtonFirst + 2);
    HWND ex = launcher_.WaitForDialog(L"扩展项目设置");
    Look(ex, L"extended_item_editor");
    if (ex) {
        // Each kind shows its own page of controls.
        const wchar_t* pages[] = {L"extended_item_editor_recycle", L"extended_item_editor_registry",
                                  L"extended_item_editor_control_panel"};
        for (int kind = 0; kind < 3; ++kind) {
            SelectListEntry(ex, exitem_ids::kKinds, kind);
            Look(ex, pages[kind]);
        }
        Dismiss(ex);
    }
    Dismiss(editor);

    editor = Open(kMenuEditItem, L"编辑项目");
    Look(editor, L"item_editor_edit");
    if (editor) Dismiss(editor);
}

TEST_P(DialogScreenshots, TeamEditorSettingsSkinChooserAndAbout) {
    SelectFirstDemoItem(launcher_.Main(), dpi_);

    HWND dlg = Open(kMenuAddTeam, L"添加类别");
    Look(dlg, L"team_editor_add");
    if (dlg) Dismiss(dlg);
    dlg = Open(kMenuEditTeam, L"编辑类别");
    Look(dlg, L"team_editor_edit");
    if (dlg) Dismiss(dlg);

    dlg = Open(kMenuSet, L"软件设置");
    ASSERT_NE(dlg, nullptr);
    const wchar_t* pages[] = {L"settings_1_operation", L"settings_2_running", L"settings_3_prompts",
                              L"settings_4_interface"};
    for (int page = 0; page < 4; ++page) {
        Click(dlg, kIdOptSet + page);
        Look(dlg, pages[page]);
    }
    Dismiss(dlg);

    dlg = Open(kMenuChangeSkin, L"皮肤设置");
    Look(dlg, L"skin_chooser");
    if (dlg) {
        // Each bundled skin's details, whatever their length, must show whole.
        HWND list = GetDlgItem(dlg, kIdLstSkin);
        const int skins = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        EXPECT_GE(skins, 2) << "both bundled skins should be listed";
        for (int i = 0; i < skins; ++i) {
            SelectListEntry(dlg, kIdLstSkin, i);
            Look(dlg, L"skin_chooser_skin_" + std::to_wstring(i + 1));
        }
        Click(dlg, kIdOptPage + 1);
        Look(dlg, L"skin_chooser_effects");
        Dismiss(dlg);
    }

    dlg = Open(kMenuAbout, L"关于\"Vantrel\"");
    Look(dlg, L"about");
    if (dlg) {
        // The links are wider than their text: the rest of them shows the
        // dialog's face, not a white bar.
        int links = 0;
        for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (!(GetWindowLongW(c, GWL_STYLE) & SS_NOTIFY)) continue;
            ++links;
            RECT r{};
            GetWindowRect(c, &r);
            HDC screen = GetDC(nullptr);
            const COLORREF at = GetPixel(screen, r.right - 2, (r.top + r.bottom) / 2);
            ReleaseDC(nullptr, screen);
            EXPECT_EQ(at, GetSysColor(COLOR_BTNFACE)) << "link " << links;
        }
        EXPECT_EQ(links, 2);
        Dismiss(dlg);
    }
}

TEST_P(DialogScreenshots, MessagePopupRisesWholeAtTheScreensScale) {
    WriteDword(kSettingKeyW, L"WarnAfterDone", 1);
    HWND dlg = Open(kMenuChangeSkin, L"皮肤设置");
    ASSERT_NE(dlg, nullptr);
    Click(dlg, kIdOptPage + 1);
    PostButton(dlg, IDOK);  // "界面效果设置成功"
    HWND popup = nullptr;
    ASSERT_TRUE(WaitFor(launcher_.Process(), kDialogTimeoutMs, [&] {
        return (popup = FindProcessWindow(launcher_.Proc().Id(), L"VantrelMsgForm"));
    })) << "no message after saving the effects";
    RECT r{}, work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(WaitFor(launcher_.Process(), 5000, [&] {
        GetWindowRect(popup, &r);
        return r.bottom <= work.bottom;
    })) << "it never finished rising";
    // Its 2655 x 1830 twips at this dpi, a pixel either way.
    EXPECT_NEAR(r.right - r.left, MulDiv(2655, dpi_, 1440), 1);
    EXPECT_NEAR(r.bottom - r.top, MulDiv(1830, dpi_, 1440), 1);
    EXPECT_LE(r.right, work.right);
    EXPECT_GE(r.top, work.top);
    SaveWindowScreenshot(popup, ScreenshotDir() + L"message_popup" + DpiSuffix(dpi_) + L".png");
}

INSTANTIATE_TEST_SUITE_P(Dpi, DialogScreenshots, ::testing::ValuesIn(kCheckedDpis),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param); });

}  // namespace
}  // namespace vt::harness
