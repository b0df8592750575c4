// What the editor shows is what the launcher gets: a project started with
// New and built without choosing a single picture loads in VT.exe with every
// element in sight, and a skin whose team bar lies over the item panel looks
// the same in the launcher's window and on the editor's mock-up.
#include <windows.h>  // first: the other Windows headers build on it

#include <objidl.h>  // before GDI+, which needs its property types

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "launcher/scene/pixel_map.h"
#include "launcher/skin/skin_package.h"
#include "platform/win32/pictures_win32.h"
#include "platform/win32/text_measure_win32.h"
#include "platform/win32/ui_font.h"
#include "skineditor/editor_model.h"
#include "skineditor/editor_project.h"
#include "skineditor/skin_builder.h"
#include "tests/win32/screen_picture.h"
#include "tests/win32/screenshot.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

using namespace harness;

constexpr int kIdCmdOpen = 501, kIdCanvas = 600;

// Mean difference of the colour channels of two pictures of one size, 0..255.
double MeanDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size() || a.empty()) return 255;
    double total = 0;
    for (size_t i = 0; i < a.size(); ++i)
        for (int shift : {0, 8, 16})
            total += std::abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF));
    return total / (3.0 * static_cast<double>(a.size()));
}

class EditorLauncherMatch : public LauncherTest {
protected:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput in;
        Gdiplus::GdiplusStartup(&gdiplus_, &in, nullptr);
        WriteDword(kSettingKeyW, L"RememberMainPos", 0);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(gdiplus_); }

    // Builds the model into SKIN\<name> of the launcher's folder and makes it
    // the launcher's skin.
    fs::path Build(const std::wstring& name) {
        const fs::path folder = launcher_.Dir() / L"SKIN" / name;
        fs::create_directories(folder);
        const BuildResult r = BuildSkinPackage(model_, PathToUtf8(folder));
        EXPECT_TRUE(r.ok) << r.detail;
        WriteString(kSettingKeyW, L"SkinPath", name);
        return folder;
    }

    // The launcher window's pixels once two looks in a row agree.
    std::vector<uint32_t> SteadyWindow(HWND w, RECT& rect) {
        std::vector<uint32_t> last, now;
        WaitFor(nullptr, 10000, [&] {
            ::GetWindowRect(w, &rect);
            now = ScreenPixels(rect);
            const bool same = now == last;
            last = now;
            return same;
        });
        return now;
    }

    ULONG_PTR gdiplus_ = 0;
    PicturesWin32 pictures_;
    TextMeasureWin32 measure_;
    EditorModel model_{pictures_, measure_, ScreenDpi()};
};

TEST_F(EditorLauncherMatch, NewProjectBuiltWithoutPicturesShowsEveryElement) {
    model_.SetSlotText(44, "替代图片");
    const fs::path folder = Build(L"替代图片");
    ASSERT_TRUE(launcher_.Start());

    const SkinPackage skin = ReadSkinPackage(PathToUtf8(folder));
    const PixelMap map(ScreenDpi());
    RECT wr{};
    ::GetWindowRect(launcher_.Main(), &wr);
    EXPECT_EQ(wr.right - wr.left, map.Px(skin.width)) << "the window is not the stand-in backdrop's size";
    EXPECT_EQ(wr.bottom - wr.top, map.Px(skin.height));

    // Every button shows the stand-in the build wrote for it, where the skin
    // puts it; painting follows the start, so each is looked for a while.
    struct Button {
        const char* picture;
        int left, top;
    };
    const Button buttons[] = {
        {"close1.img", skin.closeLeft, skin.closeTop}, {"min1.img", skin.minLeft, skin.minTop},
        {"lock1.img", skin.lockLeft, skin.lockTop},    {"left1.img", skin.leftLeft, skin.leftTop},
        {"right1.img", skin.rightLeft, skin.rightTop}, {"up1.img", skin.upLeft, skin.upTop},
        {"down1.img", skin.downLeft, skin.downTop},
    };
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.picture);
        const ScreenPicture p = LoadScreenPicture(folder / "image" / b.picture);
        ASSERT_GT(p.width, 0) << "the build wrote no readable picture";
        // The lock shows its "on" picture while the window stays on top.
        const ScreenPicture on = LoadScreenPicture(folder / "image" / "lock2.img");
        const bool lock = std::string(b.picture) == "lock1.img";
        double match = 0;
        WaitFor(nullptr, 10000, [&] {
            const int x = wr.left + map.Px(b.left), y = wr.top + map.Px(b.top);
            match = std::max(ScreenMatch(p, x, y), lock ? ScreenMatch(on, x, y) : 0.0);
            return match > 0.9;
        });
        EXPECT_GT(match, 0.9) << "the button is not seen as the build drew it";
    }

    // The backdrop shows beside the item panel and in the title band.
    const ScreenPicture backdrop = LoadScreenPicture(folder / "image" / "backdrop.img");
    ASSERT_EQ(backdrop.width, wr.right - wr.left);
    std::vector<uint32_t> seen = ScreenPixels(wr);
    int same = 0, counted = 0;
    for (int y = 2; y < backdrop.height - 2; y += 7) {
        const int x = 2;  // left of the item panel, which starts 90 twips in
        const uint32_t want = backdrop.pixels[static_cast<size_t>(y) * backdrop.width + x] & 0xFFFFFF;
        const uint32_t got = seen[static_cast<size_t>(y) * backdrop.width + x];
        ++counted;
        same += MeanDifference({want}, {got}) < 8;
    }
    EXPECT_GT(same, counted * 8 / 10) << "the stand-in backdrop is not what the window shows";
    SaveWindowScreenshot(launcher_.Main(), ScreenshotDir() + L"vt_stand_in_skin.png");
    EXPECT_TRUE(launcher_.Close());
}

TEST_F(EditorLauncherMatch, OverlappingTeamBarAndItemPanelLookAlikeInBoth) {
    // A red team bar reaching down into the item panel, the panel's
    // background a pale yellow: painted in the wrong order, the overlap shows
    // the other colour.
    for (auto [slot, text] : {std::pair{44, "重叠"}, {29, "255"}, {41, "13434879"}, {31, "4000"}, {48, "1500"}})
        model_.SetSlotText(slot, text);
    for (int slot : {29, 41, 31, 48})
        ASSERT_TRUE(model_.ApplyProperty(slot)) << slot;
    model_.MoveTo(El::PicTeam, 150, 1260);
    const fs::path folder = Build(L"重叠");
    TempDir projectDir("vt-overlap-");
    const fs::path project = projectDir.Path() / L"重叠.vse";
    ASSERT_TRUE(SaveProject(model_, PathToUtf8(project)));

    // The launcher first, alone on the screen.
    ASSERT_TRUE(launcher_.Start());
    RECT wr{};
    const std::vector<uint32_t> launcher = SteadyWindow(launcher_.Main(), wr);
    SaveWindowScreenshot(launcher_.Main(), ScreenshotDir() + L"vt_overlap.png");
    ASSERT_TRUE(launcher_.Close());
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;

    // Then the editor with the project open.
    ChildProcess editor;
    ASSERT_TRUE(editor.Start(PathFromUtf8(VT_DIST_DIR) / "VTSkinEditor.exe"));
    HWND main = editor.WaitForWindow(L"VTSkinEditorMain", nullptr, kTimeoutMs);
    ASSERT_NE(main, nullptr);
    ::PostMessageW(FindControl(main, kIdCmdOpen), BM_CLICK, 0, 0);
    ASSERT_TRUE(DriveOpenDialog(editor, project.wstring()));
    ASSERT_TRUE(WaitFor(editor.Handle(), kDialogTimeoutMs, [&] { return Text(main) == L"VT Skin Editor - 重叠"; }));
    HWND canvas = FindControl(main, kIdCanvas);
    ASSERT_NE(canvas, nullptr);
    ::SetForegroundWindow(main);
    POINT origin{0, 0};
    ::ClientToScreen(canvas, &origin);
    // The mock-up window stands at the canvas' top-left corner, drawn at the
    // same scale as the launcher's window, so the two compare pixel for pixel.
    const RECT mock{origin.x, origin.y, origin.x + w, origin.y + h};
    std::vector<uint32_t> editorPixels;
    double mean = 255;
    WaitFor(editor.Handle(), 10000, [&] {
        editorPixels = ScreenPixels(mock);
        mean = MeanDifference(launcher, editorPixels);
        return mean < 4;
    });
    SaveScreenScreenshot(mock, ScreenshotDir() + L"skin_editor_overlap.png");

    // What the other order would cost: the overlap in the other colour.
    const PixelMap map(ScreenDpi());
    const MockRect team = model_.Get(El::PicTeam).rect, item = model_.Get(El::PicItem).rect;
    const int overlapW = map.Px(static_cast<int>(std::min(team.Right(), item.Right()))) -
                         map.Px(static_cast<int>(std::max(team.left, item.left)));
    const int overlapH = map.Px(static_cast<int>(std::min(team.Bottom(), item.Bottom()))) -
                         map.Px(static_cast<int>(std::max(team.top, item.top)));
    const double swapped = MeanDifference({0xFF0000}, {0xFFFFCC}) * overlapW * overlapH / static_cast<double>(w * h);
    std::printf("mock-up against the launcher's window: mean difference %.2f, the other order would add %.2f\n", mean,
                swapped);
    // Measured at 96 dpi: 3.95. It comes from what only one side draws: the
    // mock-up's sample captions and icons, its red title outline and black
    // handles, the menu highlight, the lock's off picture (the launcher
    // starts on top), a title text of another size. The team bar painted over
    // the item panel instead adds the whole overlap in the other colour,
    // 28 here. 8 stands twice the measured noise off it and over three
    // times under the fault.
    EXPECT_LT(mean, 8.0) << "the mock-up does not look like the launcher's window (the other order would give "
                         << swapped << ")";
    EXPECT_GT(swapped, 8.0 * 2);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(editor.WaitExit());
}

}  // namespace
}  // namespace vt
