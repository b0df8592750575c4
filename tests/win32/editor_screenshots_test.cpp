// The skin editor's window on each of its pages and its About box,
// photographed for people to look at and checked for controls off the edge,
// on top of each other, or too narrow for their caption.
#include "tests/win32/layout_check.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

using namespace harness;

constexpr int kPageButtonFirst = 100;  // the six page buttons, in order
constexpr int kAboutButton = 504;

// VTSkinEditor.exe started from a copy of itself in a temporary folder, so
// whatever it keeps beside itself stays out of the build.
class EditorScreenshots : public EditorTest {
protected:
    void SetUp() override {
        const fs::path exe = PathFromUtf8(VT_DIST_DIR) / "VTSkinEditor.exe";
        ASSERT_TRUE(fs::exists(exe)) << "build VTSkinEditor first";
        fs::copy_file(exe, dir_.Path() / "VTSkinEditor.exe");
        StartEditor(dir_.Path());
    }

    void Look(HWND w, const std::wstring& shot) {
        SCOPED_TRACE(Narrow(shot));
        EXPECT_TRUE(SaveSteadyScreenshot(editor_.Handle(), w, shot)) << "no steady picture";
        const auto faults = CheckLayout(w);
        EXPECT_TRUE(faults.empty()) << JoinFaults(faults);
    }

    TempDir dir_{"vt-edshot-"};
};

TEST_F(EditorScreenshots, EveryPageAndTheAboutBox) {
    for (int page = 0; page < 6; ++page) {
        HWND button = FindControl(main_, kPageButtonFirst + page);
        ASSERT_NE(button, nullptr) << "page button " << page;
        SendMessageW(button, BM_CLICK, 0, 0);
        Look(main_, L"skin_editor_page_" + std::to_wstring(page + 1));
    }

    // The About box runs its own message loop: its button is pressed by a posted click.
    HWND about = FindControl(main_, kAboutButton);
    ASSERT_NE(about, nullptr);
    PostMessageW(about, BM_CLICK, 0, 0);
    HWND box = editor_.WaitForWindow(L"VTSkinEditorAbout");
    ASSERT_NE(box, nullptr) << "关于 opened no About box";
    Look(box, L"skin_editor_about");
    PostMessageW(box, WM_CLOSE, 0, 0);
    EXPECT_TRUE(editor_.WaitGone(box)) << "the About box stayed open";
}

}  // namespace
}  // namespace vt
