// The skin editor's window on each of its pages and its About box, at 100,
// 125, 150 and 200 % display scale, photographed for people to look at and
// checked for controls off the edge, on top of each other, or too narrow for
// their caption.
#include "tests/win32/layout_check.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

using namespace harness;

constexpr int kPageButtonFirst = 100;  // the six page buttons, in order
constexpr int kAboutButton = 504;

// VTSkinEditor.exe started at the scale of the test from a copy of itself in
// a temporary folder, so whatever it keeps beside itself stays out of the build.
class EditorScreenshots : public EditorTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        // The editor's pixels as they are, not as a 96 dpi program would see them.
        ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
        const fs::path exe = PathFromUtf8(VT_DIST_DIR) / "VTSkinEditor.exe";
        ASSERT_TRUE(fs::exists(exe)) << "build VTSkinEditor first";
        fs::copy_file(exe, dir_.Path() / "VTSkinEditor.exe");
        StartEditor(dir_.Path());
    }

    // Pictures at 100 % keep their old names; the others carry their dpi.
    std::wstring Name(const std::wstring& base) const {
        return GetParam() == 96 ? base : base + L"_" + std::to_wstring(GetParam());
    }

    void Look(HWND w, const std::wstring& shot) {
        SCOPED_TRACE(Narrow(shot));
        EXPECT_TRUE(SaveSteadyScreenshot(editor_.Handle(), w, shot)) << "no steady picture";
        const auto faults = CheckLayout(w);
        EXPECT_TRUE(faults.empty()) << JoinFaults(faults);
    }

    ScopedLogPixels dpi_{static_cast<DWORD>(GetParam())};
    TempDir dir_{"vt-edshot-"};
};

TEST_P(EditorScreenshots, EveryPageAndTheAboutBox) {
    // The window took the screen's scale: its width in twips, at this dpi.
    RECT client{};
    ::GetClientRect(main_, &client);
    EXPECT_NEAR(client.right, ::MulDiv(10575, GetParam(), 1440), 1) << "the editor did not start at this dpi";
    for (int page = 0; page < 6; ++page) {
        HWND button = FindControl(main_, kPageButtonFirst + page);
        ASSERT_NE(button, nullptr) << "page button " << page;
        SendMessageW(button, BM_CLICK, 0, 0);
        Look(main_, Name(L"skin_editor_page_" + std::to_wstring(page + 1)));
    }

    // The About box runs its own message loop: its button is pressed by a posted click.
    HWND about = FindControl(main_, kAboutButton);
    ASSERT_NE(about, nullptr);
    PostMessageW(about, BM_CLICK, 0, 0);
    HWND box = editor_.WaitForWindow(L"VTSkinEditorAbout");
    ASSERT_NE(box, nullptr) << "关于 opened no About box";
    Look(box, Name(L"skin_editor_about"));
    PostMessageW(box, WM_CLOSE, 0, 0);
    EXPECT_TRUE(editor_.WaitGone(box)) << "the About box stayed open";
}

INSTANTIATE_TEST_SUITE_P(Dpi, EditorScreenshots, ::testing::Values(96, 120, 144, 192),
                         [](const ::testing::TestParamInfo<int>& p) { return std::to_string(p.param); });

}  // namespace
}  // namespace vt
