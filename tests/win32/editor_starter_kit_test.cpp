// The editable projects of the bundled skins, shipped in the program folder's
// SkinProjects\ with the pictures they name, as the starting point for a skin
// designer: each opens in the editor with every picture, from wherever the
// folder has been copied to, and builds its bundled skin again unchanged.
#include <windows.h>  // first: the other Windows headers build on it

#include <objidl.h>  // before GDI+, which needs its property types

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "common/ini.h"
#include "launcher/skin/skin_format.h"
#include "platform/win32/pictures_win32.h"
#include "platform/win32/text_measure_win32.h"
#include "platform/win32/ui_font.h"
#include "skineditor/editor_model.h"
#include "skineditor/editor_project.h"
#include "skineditor/skin_builder.h"
#include "tests/win32/layout_check.h"
#include "tests/win32/screen_picture.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

using namespace harness;

constexpr int kIdTxtCon = 200, kIdCmdOpen = 501, kIdCanvas = 600, kIdPageFirst = 100;

fs::path Dist() {
    return PathFromUtf8(VT_DIST_DIR).make_preferred();
}
fs::path ProjectsDir() {
    return Dist() / "SkinProjects";
}

std::vector<std::wstring> SubFolders(const fs::path& dir) {
    std::vector<std::wstring> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec))
        if (e.is_directory()) out.push_back(e.path().filename().wstring());
    std::sort(out.begin(), out.end());
    return out;
}

TEST(EditorStarterKit, EveryShippedSkinHasItsProjectBesideItsPictures) {
    const std::vector<std::wstring> skins = SubFolders(Dist() / "SKIN");
    ASSERT_FALSE(skins.empty()) << "build the bundled skins first";
    EXPECT_EQ(SubFolders(ProjectsDir()), skins);
    for (const wchar_t* bundled : {L"蓝色卷轴", L"墨绿简约"})
        EXPECT_NE(std::find(skins.begin(), skins.end(), bundled), skins.end()) << Narrow(bundled);
    for (const auto& skin : skins) {
        const fs::path folder = ProjectsDir() / skin;
        EXPECT_TRUE(fs::is_regular_file(folder / (skin + L".vse"))) << Narrow(skin);
        // The project names its pictures relative to itself, so it can be moved.
        wchar_t stored[256] = {};
        ::GetPrivateProfileStringW(L"MAIN", L"Backdrop", L"", stored, 256, (folder / (skin + L".vse")).c_str());
        EXPECT_STREQ(stored, L"\\image\\backdrop.img") << Narrow(skin);
    }
}

// The project is opened from a copy in a new place, the way a designer starts
// a variant, through the editor's own project reader and the program's own
// picture loader.
TEST(EditorStarterKit, EachProjectOpensFromACopyWithEveryPictureAndRebuildsItsSkin) {
    GdiplusSession gdiplus;
    PicturesWin32 pictures;
    TextMeasureWin32 measure;
    const std::vector<std::wstring> skins = SubFolders(ProjectsDir());
    ASSERT_FALSE(skins.empty()) << "build the bundled skins first";
    for (const auto& skin : skins) {
        SCOPED_TRACE(Narrow(skin));
        TempDir tmp("vt-kit-");
        const fs::path copy = tmp.Path() / L"我的皮肤" / skin;
        fs::create_directories(copy.parent_path());
        fs::copy(ProjectsDir() / skin, copy, fs::copy_options::recursive);
        const fs::path vse = copy / (skin + L".vse");

        // Stored in the ANSI code page, as the editor itself writes projects:
        // Windows' own profile reader gives the Chinese name back.
        wchar_t name[256] = {};
        ::GetPrivateProfileStringW(L"SKIN", L"Name", L"", name, 256, vse.c_str());
        EXPECT_EQ(std::wstring(name), skin);

        EditorModel model(pictures, measure);
        LoadProject(model, PathToUtf8(vse));
        EXPECT_EQ(model.windowTitle, "VT Skin Editor - " + Narrow(skin));

        const std::string inCopy = PathToUtf8(copy) + "\\";
        for (const auto& p : kPackagePictures) {
            const std::string& path = model.SlotText(p.slot);
            SCOPED_TRACE(std::string(p.file));
            ASSERT_FALSE(path.empty()) << "the project names no picture, or one the editor could not load";
            EXPECT_EQ(path.rfind(inCopy, 0), 0u) << path << " is not in the copied folder";
            EXPECT_TRUE(fs::is_regular_file(PathFromUtf8(path))) << path;
            auto size = pictures.Probe(path);
            ASSERT_TRUE(size.has_value()) << path << " does not decode";
            EXPECT_GT(size->width, 0);
            EXPECT_GT(size->height, 0);
        }
        // The mock-up shows the project's own background, at its size.
        const MockElement& window = model.Get(El::PicEditIn);
        EXPECT_EQ(window.picture, PictureSource::File);
        auto backdrop = pictures.Probe(model.SlotText(0));
        ASSERT_TRUE(backdrop.has_value());
        EXPECT_EQ(window.rect.width, backdrop->width * 15.0);
        EXPECT_EQ(window.rect.height, backdrop->height * 15.0);

        // Built as it stands, the project gives the bundled skin back.
        const fs::path out = tmp.Path() / L"SKIN" / skin;
        fs::create_directories(out);
        BuildResult built = BuildSkinPackage(model, PathToUtf8(out));
        ASSERT_TRUE(built.ok) << built.detail;
        const std::string shippedVsu = PathToUtf8(Dist() / "SKIN" / skin / "skin.vsu");
        const std::string builtVsu = PathToUtf8(out / "skin.vsu");
        for (const auto& k : kSkinKeys)
            EXPECT_EQ(ReadIniString(builtVsu, k.section, k.key, "<missing>"),
                      ReadIniString(shippedVsu, k.section, k.key, "<missing>"))
                << "[" << k.section << "] " << k.key;
        for (const auto& p : kPackagePictures) {
            const fs::path name = PathFromUtf8(std::string(p.file));
            EXPECT_EQ(ReadFileBytes(out / "image" / name), ReadFileBytes(Dist() / "SKIN" / skin / "image" / name))
                << p.file;
        }
    }
}

// ---- In the editor's window -------------------------------------------------

using harness::ScreenMatch;
using Picture = harness::ScreenPicture;
constexpr auto LoadPicture = harness::LoadScreenPicture;

class EditorStarterKitWindow : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        Gdiplus::GdiplusStartupInput in;
        Gdiplus::GdiplusStartup(&gdiplus_, &in, nullptr);
    }
    void TearDown() override {
        EditorTest::TearDown();
        Gdiplus::GdiplusShutdown(gdiplus_);
    }
    ULONG_PTR gdiplus_ = 0;
};

// Opened straight from the program folder, 墨绿简约's project puts its own
// pictures on the mock-up: each button where the project places it.
TEST_F(EditorStarterKitWindow, ProjectFromTheProgramFolderShowsItsPicturesOnTheMockUp) {
    const std::wstring skin = L"墨绿简约";
    const fs::path folder = ProjectsDir() / skin;
    const fs::path vse = folder / (skin + L".vse");
    ASSERT_TRUE(fs::exists(vse)) << "build the bundled skins first";

    ::PostMessageW(FindControl(main_, kIdCmdOpen), BM_CLICK, 0, 0);
    ASSERT_TRUE(DriveOpenDialog(editor_, vse.wstring())) << "the open dialog did not take the project";
    ASSERT_TRUE(WaitFor(editor_.Handle(), kDialogTimeoutMs, [&] { return Text(main_) == L"VT Skin Editor - " + skin; }))
        << Narrow(Text(main_));
    std::error_code ec;
    EXPECT_TRUE(
        fs::equivalent(fs::path(Text(FindControl(main_, kIdTxtCon + 0))), folder / "image" / "backdrop.img", ec))
        << Narrow(Text(FindControl(main_, kIdTxtCon + 0)));

    HWND canvas = FindControl(main_, kIdCanvas);
    ASSERT_NE(canvas, nullptr);
    ::SetForegroundWindow(main_);
    ::SetWindowPos(main_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    const int dpi = ScreenDpi();
    const std::wstring file = vse.wstring();
    struct Shown {
        const wchar_t* picture;
        const wchar_t* section;
        const wchar_t* leftKey;
        const wchar_t* topKey;
    };
    const Shown shown[] = {
        {L"close1.img", L"TITLE", L"CloseLeft", L"CloseTop"}, {L"min1.img", L"TITLE", L"MinLeft", L"MinTop"},
        {L"lock1.img", L"TITLE", L"LockLeft", L"LockTop"},    {L"left1.img", L"TEAM", L"LeftLeft", L"LeftTop"},
        {L"right1.img", L"TEAM", L"RightLeft", L"RightTop"},  {L"up1.img", L"ITEM", L"UpLeft", L"UpTop"},
        {L"down1.img", L"ITEM", L"DownLeft", L"DownTop"},
    };
    for (const auto& s : shown) {
        SCOPED_TRACE(Narrow(s.picture));
        const Picture p = LoadPicture(folder / "image" / s.picture);
        ASSERT_GT(p.width, 0);
        const int left =
            ::MulDiv(static_cast<int>(::GetPrivateProfileIntW(s.section, s.leftKey, 0, file.c_str())), dpi, 1440);
        const int top =
            ::MulDiv(static_cast<int>(::GetPrivateProfileIntW(s.section, s.topKey, 0, file.c_str())), dpi, 1440);
        double match = 0;
        // Painting follows the open; the picture is looked for until it is there.
        WaitFor(editor_.Handle(), 10000, [&] {
            POINT origin{0, 0};
            ::ClientToScreen(canvas, &origin);
            match = ScreenMatch(p, origin.x + left, origin.y + top);
            return match > 0.9;
        });
        EXPECT_GT(match, 0.9) << "the mock-up does not show the project's picture where the project places it";
    }
    EXPECT_TRUE(SaveSteadyScreenshot(editor_.Handle(), main_, L"skin_editor_starter_kit"));
    // Every page with the project's values, its picture boxes naming their files.
    for (int page = 1; page < 6; ++page) {
        ::SendMessageW(FindControl(main_, kIdPageFirst + page), BM_CLICK, 0, 0);
        EXPECT_TRUE(SaveSteadyScreenshot(editor_.Handle(), main_,
                                         L"skin_editor_starter_kit_page_" + std::to_wstring(page + 1)));
    }
}

}  // namespace
}  // namespace vt
