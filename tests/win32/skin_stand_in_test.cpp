// A skin that lacks one of its button pictures still shows that button: the
// launcher draws a plain stand-in where the picture would be, instead of an
// area that takes clicks but cannot be seen.
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "launcher/skin/skin_package.h"
#include "platform/win32/ui_font.h"
#include "tests/win32/screen_pixels.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

using namespace harness;

// The stand-in's fill, as the launcher draws it.
constexpr COLORREF kStandInFill = RGB(111, 166, 230);

// Share of the pixels in a rectangle of the screen that have exactly this colour.
double ShareOfColour(const RECT& r, COLORREF colour) {
    const std::vector<uint32_t> pixels = ScreenPixels(r);
    if (pixels.empty()) return 0;
    const uint32_t rgb = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    return static_cast<double>(std::count(pixels.begin(), pixels.end(), rgb)) / static_cast<double>(pixels.size());
}

class SkinStandIn : public LauncherTest {};

TEST_F(SkinStandIn, ButtonWithoutItsNormalPictureIsStillSeen) {
    const fs::path skins = launcher_.Dir() / L"SKIN";
    const fs::path copy = skins / L"缺图";
    fs::copy(skins / L"蓝色卷轴", copy, fs::copy_options::recursive);
    ASSERT_TRUE(fs::remove(copy / L"image" / L"close1.img"));
    WriteString(kSettingKeyW, L"SkinPath", L"缺图");
    WriteDword(kSettingKeyW, L"RememberMainPos", 0);
    ASSERT_TRUE(launcher_.Start());

    const SkinPackage skin = ReadSkinPackage(PathToUtf8(copy));
    RECT wr{};
    ::GetWindowRect(launcher_.Main(), &wr);
    const int dpi = ScreenDpi();
    const int left = wr.left + MulDiv(skin.closeLeft, dpi, 1440);
    const int top = wr.top + MulDiv(skin.closeTop, dpi, 1440);
    // A corner of the button inside its frame, clear of the symbol in its middle.
    const RECT corner{left + 2, top + 2, left + 6, top + 6};

    // The window paints once it is shown; give it the time a cold Wine needs.
    double share = 0;
    WaitFor(launcher_.Process(), 10000, [&] {
        share = ShareOfColour(corner, kStandInFill);
        return share > 0.9;
    });
    EXPECT_GT(share, 0.9) << "the close button shows the skin's backdrop, not a button";
    EXPECT_TRUE(launcher_.Close());
}

}  // namespace
}  // namespace vt
