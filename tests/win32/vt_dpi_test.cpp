// The launcher on a 150 % screen (144 dpi): the window grows by half and so
// does everything in it, the backdrop included, which reaches the window's
// far edges. A launcher that drew its pictures at their 96 dpi size left the
// right and bottom third of the window see-through.
#include <windows.h>

#include <filesystem>
#include <vector>

#include "launcher/mainwindow/pixel_map.h"
#include "launcher/skin/skin_format.h"
#include "launcher/skin/skin_package.h"
#include "platform/win32/pictures_win32.h"
#include "tests/win32/screen_picture.h"
#include "tests/win32/screenshot.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

using namespace harness;

// A picture's pixels, top-down, 0x00RRGGBB.
std::vector<uint32_t> DibPixels(const PicturesWin32::Dib& dib) {
    std::vector<uint32_t> out(static_cast<size_t>(dib.width) * dib.height);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = dib.width;
    bi.bmiHeader.biHeight = -dib.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC dc = ::GetDC(nullptr);
    ::GetDIBits(dc, dib.bitmap, 0, dib.height, out.data(), &bi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, dc);
    for (uint32_t& p : out) p &= 0xFFFFFF;
    return out;
}

bool Near(uint32_t a, uint32_t b) {
    for (int shift : {0, 8, 16}) {
        int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d < -8 || d > 8) return false;
    }
    return true;
}

class VtDpi : public LauncherTest {};

TEST_F(VtDpi, At144DpiTheBackdropIsScaledAndReachesTheWindowsFarEdges) {
    // Window rectangles of the 144 dpi launcher in its own pixels.
    ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    ScopedLogPixels dpi(144);
    ASSERT_TRUE(launcher_.UseDemoStore());
    WriteString(kSettingKeyW, L"SkinPath", Widen(kDefaultSkinFolder));
    WriteDword(kSettingKeyW, L"RememberMainPos", 0);
    ASSERT_TRUE(launcher_.Start());

    const fs::path skinDir = launcher_.Dir() / L"SKIN" / Widen(kDefaultSkinFolder);
    const SkinPackage skin = ReadSkinPackage(PathToUtf8(skinDir));
    const PixelMap map(144);
    RECT wr{};
    ::GetWindowRect(launcher_.Main(), &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    // The window itself is one and a half times its 96 dpi size...
    ASSERT_EQ(w, map.Px(skin.width)) << "the launcher did not start at 144 dpi";
    ASSERT_EQ(h, map.Px(skin.height));

    // ...and so is its backdrop, resized to the pixels the window has.
    PicturesWin32 pictures;
    const std::string backdropFile = SkinPicturePath(PathToUtf8(skinDir), "backdrop.img");
    const PicturesWin32::Dib* natural = pictures.GetDib(backdropFile);
    ASSERT_NE(natural, nullptr);
    const PixelBox box = map.PictureBox(0, 0, natural->width, natural->height);
    ASSERT_EQ(box.right, w) << "the skin's backdrop is not the window's size";
    const PicturesWin32::Dib* scaled = pictures.GetScaledDib(backdropFile, box.Width(), box.Height());
    ASSERT_NE(scaled, nullptr);
    const std::vector<uint32_t> want = DibPixels(*scaled);

    // Samples in the bands along the right and bottom edges, where an
    // unscaled backdrop would have left the window see-through. Buttons and
    // panels stand on the backdrop here and there; most samples must match.
    std::vector<POINT> samples;
    for (int y = 1; y < h; y += 5)
        for (int x = 1; x < w; x += 5)
            if (x >= w - w / 8 || y >= h - h / 8) samples.push_back({x, y});
    double share = 0;
    int counted = 0;
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 10000; ::Sleep(100)) {
        const std::vector<uint32_t> seen = ScreenPixels(wr);
        int hits = 0;
        counted = 0;
        for (POINT p : samples) {
            const uint32_t expected = want[static_cast<size_t>(p.y) * w + p.x];
            if (expected == 0xFAFAFA) continue;  // see-through in the skin itself
            ++counted;
            hits += Near(seen[static_cast<size_t>(p.y) * w + p.x], expected);
        }
        share = counted ? static_cast<double>(hits) / counted : 0;
        if (share > 0.7) break;
    }
    ASSERT_GT(counted, 100);
    EXPECT_GT(share, 0.7) << "the window's far edges do not show the scaled backdrop";
    SaveWindowScreenshot(launcher_.Main(), ScreenshotDir() + L"vt_144dpi.png");
    EXPECT_TRUE(launcher_.Close());
}

}  // namespace
}  // namespace vt
