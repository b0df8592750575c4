// At 200 % the launcher draws a skin's double-size pictures (image\2x) where
// it has them, and the normal ones made larger where it does not: one
// missing double picture changes only its own button.
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "launcher/scene/pixel_map.h"
#include "launcher/skin/skin_format.h"
#include "launcher/skin/skin_package.h"
#include "platform/win32/pictures_win32.h"
#include "tests/win32/dpi_scope.h"
#include "tests/win32/screenshot.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

using namespace harness;

int Distance(uint32_t a, uint32_t b) {
    int most = 0;
    for (int shift : {0, 8, 16}) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        most = std::max(most, d < 0 ? -d : d);
    }
    return most;
}

// Of the pixels where the two candidates clearly differ, how many the
// screen shows closer to `sharp` than to `enlarged`; -1 when too few differ
// to tell.
double ShareCloserTo(const std::vector<uint32_t>& seen, const std::vector<uint32_t>& sharp,
                     const std::vector<uint32_t>& enlarged, int width, const RECT& band) {
    int differing = 0, closer = 0;
    for (size_t i = 0; i < seen.size(); ++i) {
        const int x = static_cast<int>(i % width), y = static_cast<int>(i / width);
        if (x < band.left || x >= band.right || y < band.top || y >= band.bottom) continue;
        if (seen[i] == kOffScreenPixel) continue;
        if (sharp[i] == 0xFAFAFA || enlarged[i] == 0xFAFAFA) continue;  // see-through either way
        if (Distance(sharp[i], enlarged[i]) < 24) continue;
        ++differing;
        closer += Distance(seen[i], sharp[i]) < Distance(seen[i], enlarged[i]);
    }
    return differing < 20 ? -1 : static_cast<double>(closer) / differing;
}

class SkinDoublePictures : public LauncherTest {};

TEST_F(SkinDoublePictures, At200PercentTheDoubleSizePicturesAreDrawnAndAMissingOneFallsBack) {
    ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    ScopedLogPixels dpi(192);
    ASSERT_TRUE(launcher_.UseDemoStore());
    WriteString(kSettingKeyW, L"SkinPath", Widen(kDefaultSkinFolder));
    WriteDword(kSettingKeyW, L"RememberMainPos", 0);
    const fs::path skinDir = launcher_.Dir() / L"SKIN" / Widen(kDefaultSkinFolder);
    const std::string skin = PathToUtf8(skinDir);
    // This copy of the skin lacks the double-size close button.
    const std::string close = SkinPicturePath(skin, "close1.img");
    ASSERT_TRUE(fs::remove(PathFromUtf8(SkinDoublePicturePath(close))));
    ASSERT_TRUE(launcher_.Start());

    HWND w = launcher_.Main();
    // The tests' screen is lower than the window at 200 %: its top, with the
    // buttons, is brought onto it.
    SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(Settled(w));
    RECT wr{};
    GetWindowRect(w, &wr);
    const SkinPackage package = ReadSkinPackage(skin);
    ASSERT_EQ(wr.right - wr.left, package.width * 192 / 1440) << "the launcher did not start at 192 dpi";

    PicturesWin32 pictures;
    // What the backdrop and the close button look like from each source at 200 %.
    struct Candidate {
        std::string normal;
        int leftTwips, topTwips;
        bool hasDouble;
    };
    const Candidate candidates[] = {
        {SkinPicturePath(skin, "backdrop.img"), 0, 0, true},
        {close, package.closeLeft, package.closeTop, false},
    };
    const PixelMap map(192);
    for (const Candidate& c : candidates) {
        SCOPED_TRACE(c.normal);
        const PicturesWin32::Dib* natural = pictures.GetDib(c.normal);
        ASSERT_NE(natural, nullptr);
        const PixelBox box = map.PictureBox(c.leftTwips, c.topTwips, natural->width, natural->height);
        const int pw = box.Width(), ph = box.Height();
        ASSERT_EQ(pw, natural->width * 2);
        const PicturesWin32::Dib* enlarged = pictures.GetScaledDib(c.normal, pw, ph);
        const std::string twice = SkinDoublePicturePath(c.normal);
        const PicturesWin32::Dib* sharp = fs::exists(PathFromUtf8(twice)) ? pictures.GetDib(twice) : nullptr;
        ASSERT_NE(enlarged, nullptr);
        EXPECT_EQ(sharp != nullptr, c.hasDouble);
        if (!sharp) {
            // Drawn enlarged: the same pixels as the normal picture made larger.
            const RECT at{wr.left + box.left, wr.top + box.top, wr.left + box.left + pw, wr.top + box.top + ph};
            const auto seen = CaptureScreenPixels(at);
            const auto want = ReadBitmapPixels(enlarged->bitmap, pw, ph);
            int alike = 0, counted = 0;
            for (size_t i = 0; i < seen.size(); ++i) {
                if (want[i] == 0xFAFAFA || seen[i] == kOffScreenPixel) continue;
                ++counted;
                alike += Distance(seen[i], want[i]) <= 8;
            }
            ASSERT_GT(counted, 0);
            EXPECT_GT(static_cast<double>(alike) / counted, 0.9) << "the close button is not its enlarged picture";
            continue;
        }
        ASSERT_EQ(sharp->width, pw);
        // The backdrop: along the top roller, between the title and the
        // buttons, where nothing stands on it, the screen follows the
        // double-size picture (its highlight and edge lines one sharp pixel
        // pair each), not the enlarged one.
        const RECT band{300, 4, 530, 76};
        const RECT at{wr.left, wr.top, wr.left + pw, wr.top + ph};
        double share = -1;
        for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(100)) {
            share = ShareCloserTo(CaptureScreenPixels(at), ReadBitmapPixels(sharp->bitmap, pw, ph),
                                  ReadBitmapPixels(enlarged->bitmap, pw, ph), pw, band);
            if (share > 0.8) break;
        }
        EXPECT_GT(share, 0.8) << "the backdrop is not the double-size picture; window at " << wr.left << "," << wr.top;
    }
    // Only what the screen shows: Wine copies nothing for a rectangle past its edge.
    RECT shown = wr;
    shown.bottom = std::min<LONG>(shown.bottom, GetSystemMetrics(SM_CYSCREEN));
    SaveScreenScreenshot(shown, ScreenshotDir() + L"vt_192dpi_2x.png");
    // The first team's items, their icons drawn from their programs at 64 pixels, for people to look at.
    EXPECT_TRUE(SelectFirstDemoItem(w, 192));
    Sleep(500);
    SaveScreenScreenshot(shown, ScreenshotDir() + L"vt_192dpi_items.png");
    EXPECT_TRUE(launcher_.Close());
}

}  // namespace
}  // namespace vt
