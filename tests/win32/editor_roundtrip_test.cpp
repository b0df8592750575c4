// The skin editor as a user works with it, driven from outside its process:
// pictures typed into the value boxes, an element dragged on the scrolled
// mock-up, the project saved through the save dialog, reopened through the
// open dialog, built through the folder dialog, and the package loaded by
// VT.exe from a copy of the program folder.
//
// Registry: the launcher's keys under HKLM\SOFTWARE\Oskarn\Vantrel are put
// back afterwards.
#include <windows.h>  // first: the other Windows headers build on it

#include <objidl.h>  // before GDI+, which needs its property types

#include <gdiplus.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/ui_font.h"
#include "skineditor/skin_builder.h"
#include "tests/win32/editor_drive.h"
#include "tests/win32/screen_picture.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

using namespace harness;

constexpr wchar_t kEditorClass[] = L"VTSkinEditorMain";
constexpr DWORD kEditorTimeoutMs = 30000;
constexpr int kIdTxtCon = 200, kIdCmdNew = 500, kIdCmdOpen = 501, kIdCmdSave = 502, kIdCmdMake = 503, kIdCanvas = 600;
constexpr wchar_t kSkinName[] = L"往返测试";

// The project's pictures come from a copy of a bundled skin; the package is
// built into the launcher's copy of the program folder.
class EditorRoundTrip : public LauncherTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(dist_ / "VTSkinEditor.exe")) << "build VTSkinEditor first";
        fs::copy(dist_ / "SKIN" / L"蓝色卷轴" / "image", root_ / "image", fs::copy_options::recursive);
        Gdiplus::GdiplusStartupInput in;
        Gdiplus::GdiplusStartup(&gdiplus_, &in, nullptr);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(gdiplus_); }

    const fs::path dist_ = PathFromUtf8(VT_DIST_DIR);
    TempDir src_{"vt-editor-rt-"};
    const fs::path& root_ = src_.Path();
    ULONG_PTR gdiplus_ = 0;
};

using harness::ScreenMatch;
using Picture = harness::ScreenPicture;
constexpr auto LoadPicture = harness::LoadScreenPicture;

TEST_F(EditorRoundTrip, DraggedElementSurvivesSaveOpenBuildAndShowsInTheLauncher) {
    const int dpi = ScreenDpi();
    auto px = [&](int twips) { return ::MulDiv(twips, dpi, 1440); };
    const fs::path images = root_ / "image";

    ChildProcess ed;
    ASSERT_TRUE(ed.Start(dist_ / "VTSkinEditor.exe", dist_));
    HWND main = ed.WaitForWindow(kEditorClass, nullptr, kEditorTimeoutMs);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Text(main), L"VT Skin Editor");
    HWND canvas = FindControl(main, kIdCanvas);
    ASSERT_NE(canvas, nullptr);
    EXPECT_FALSE(::GetWindowLongW(canvas, GWL_STYLE) & WS_VSCROLL) << "the start-up mock-up fits its frame";

    // Every picture of the package typed into its box, each applied by Enter.
    for (const auto& p : kPackagePictures) {
        HWND box = FindControl(main, kIdTxtCon + p.slot);
        ASSERT_NE(box, nullptr) << p.slot;
        SetText(box, (images / std::wstring(p.file.begin(), p.file.end())).wstring());
        DWORD_PTR r = 0;
        ::SendMessageTimeoutW(box, WM_CHAR, L'\r', 0, SMTO_ABORTIFHUNG, 5000, &r);
    }
    SetText(FindControl(main, kIdTxtCon + 44), kSkinName);

    // Where the default skin's background is taller than the frame (the
    // frame is as tall as the editor's pages), a vertical bar appears; never
    // a horizontal one.
    const Picture backdrop = LoadPicture(images / "backdrop.img");
    ASSERT_GT(backdrop.height, 0);
    RECT client{};
    ::GetClientRect(canvas, &client);
    const bool taller = backdrop.height > client.bottom;
    if (taller) {
        ASSERT_TRUE(WaitFor(ed.Handle(), kEditorTimeoutMs,
                            [&] { return (::GetWindowLongW(canvas, GWL_STYLE) & WS_VSCROLL) != 0; }));
    }
    EXPECT_FALSE(::GetWindowLongW(canvas, GWL_STYLE) & WS_HSCROLL);
    ::GetClientRect(canvas, &client);
    const int scrolled = std::max(0, backdrop.height - static_cast<int>(client.bottom));

    // Scrolled to the bottom, the down button (start 360, 4800) is pressed a
    // few pixels inside its corner and dragged 30 right, 40 down.
    ::PostMessageW(canvas, WM_VSCROLL, SB_BOTTOM, 0);
    const int x0 = px(360) + 4, y0 = px(4800) - scrolled + 4;
    ::PostMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x0, y0));
    ::PostMessageW(canvas, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x0 + 15, y0 + 20));
    ::PostMessageW(canvas, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x0 + 30, y0 + 40));
    ::PostMessageW(canvas, WM_LBUTTONUP, 0, MAKELPARAM(x0 + 30, y0 + 40));
    const int wantLeft = 360 + static_cast<int>(30 * 1440.0 / dpi + 0.5);
    const int wantTop = 4800 + static_cast<int>(40 * 1440.0 / dpi + 0.5);

    // Save through the save dialog; ".vse" is added to the typed name.
    const fs::path project = root_ / "rt.vse";
    ::PostMessageW(FindControl(main, kIdCmdSave), BM_CLICK, 0, 0);
    ASSERT_TRUE(DriveFileDialog(ed, (root_ / "rt").wstring()));
    const std::wstring vse = project.wstring();
    // Keys are written one by one; the last one ends the save.
    ASSERT_TRUE(WaitFor(ed.Handle(), kEditorTimeoutMs, [&] {
        return fs::exists(project) &&
               static_cast<int>(::GetPrivateProfileIntW(L"ITEM", L"DownTop", -1, vse.c_str())) != -1;
    })) << Narrow(DescribeDialogs(ed.Id()));
    EXPECT_EQ(static_cast<int>(::GetPrivateProfileIntW(L"ITEM", L"DownLeft", -1, vse.c_str())), wantLeft);
    EXPECT_EQ(static_cast<int>(::GetPrivateProfileIntW(L"ITEM", L"DownTop", -1, vse.c_str())), wantTop);
    wchar_t stored[256] = {};
    ::GetPrivateProfileStringW(L"MAIN", L"Backdrop", L"", stored, 256, vse.c_str());
    EXPECT_STREQ(stored, L"\\image\\backdrop.img");  // beside the project: stored relative

    // New gives a fresh window; Open through the open dialog restores it all.
    ::PostMessageW(FindControl(main, kIdCmdNew), BM_CLICK, 0, 0);
    HWND fresh = ed.WaitForWindow(kEditorClass, nullptr, kEditorTimeoutMs, main);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(Text(FindControl(fresh, kIdTxtCon + 44)), L"");
    ::PostMessageW(FindControl(fresh, kIdCmdOpen), BM_CLICK, 0, 0);
    ASSERT_TRUE(DriveFileDialog(ed, vse));
    ASSERT_TRUE(WaitFor(ed.Handle(), kEditorTimeoutMs,
                        [&] { return Text(fresh) == std::wstring(L"VT Skin Editor - ") + kSkinName; }));
    EXPECT_EQ(Text(FindControl(fresh, kIdTxtCon + 0)), (images / "backdrop.img").wstring());
    EXPECT_EQ((::GetWindowLongW(FindControl(fresh, kIdCanvas), GWL_STYLE) & WS_VSCROLL) != 0, taller);

    // Build into the program folder's SKIN\<name>\ through the folder dialog.
    const fs::path package = launcher_.Dir() / "SKIN" / kSkinName;
    fs::create_directories(package);
    ::PostMessageW(FindControl(fresh, kIdCmdMake), BM_CLICK, 0, 0);
    ASSERT_EQ(DriveFolderDialog(ed, package), "");
    const std::wstring vsu = (package / "skin.vsu").wstring();
    ASSERT_TRUE(WaitFor(ed.Handle(), kEditorTimeoutMs, [&] { return fs::exists(package / "skin.vsu"); }))
        << Narrow(DescribeDialogs(ed.Id()));
    EXPECT_EQ(static_cast<int>(::GetPrivateProfileIntW(L"DOWN_BUTTON", L"Left", -1, vsu.c_str())), wantLeft);
    EXPECT_EQ(static_cast<int>(::GetPrivateProfileIntW(L"DOWN_BUTTON", L"Top", -1, vsu.c_str())), wantTop);
    const int skinWidth = static_cast<int>(::GetPrivateProfileIntW(L"SKIN", L"Width", -1, vsu.c_str()));
    const int skinHeight = static_cast<int>(::GetPrivateProfileIntW(L"SKIN", L"Height", -1, vsu.c_str()));
    EXPECT_EQ(px(skinHeight), backdrop.height);

    ::PostMessageW(fresh, WM_CLOSE, 0, 0);
    EXPECT_TRUE(ed.WaitExit(kEditorTimeoutMs));

    // VT.exe with the new skin: its window takes the package's size and shows
    // the down button where it was dragged.
    WriteString(kSettingKeyW, L"SkinPath", kSkinName);
    WriteDword(kSettingKeyW, L"RememberMainPos", 0);
    ASSERT_TRUE(launcher_.Start());
    HWND launcher = launcher_.Main();
    RECT wr{};
    ::GetWindowRect(launcher, &wr);
    EXPECT_EQ(wr.right - wr.left, px(skinWidth));
    EXPECT_EQ(wr.bottom - wr.top, px(skinHeight));

    const Picture down = LoadPicture(images / "down1.img");
    ASSERT_GT(down.width, 0);
    ::SetForegroundWindow(launcher);
    ::SetWindowPos(launcher, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    double match = 0;
    // Painting follows showing; the picture is looked for until it is there.
    WaitFor(launcher_.Process(), 10000, [&] {
        ::GetWindowRect(launcher, &wr);
        match = ScreenMatch(down, wr.left + px(wantLeft), wr.top + px(wantTop));
        return match > 0.9;
    });
    EXPECT_GT(match, 0.9) << "the down button is not where it was dragged";
    EXPECT_LT(ScreenMatch(down, wr.left + px(360), wr.top + px(4800)), 0.5) << "the down button stayed at its start";

    EXPECT_TRUE(launcher_.Close());
}

}  // namespace
}  // namespace vt
