// The picture cache beyond plain bitmaps: formats left to GDI+, and pictures
// read ahead on a worker thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "common/codepage.h"
#include "platform/win32/pictures_win32.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

TEST(PicturesFallback, PngGoesThroughGdiplusAndKeepsItsAlphaPremultiplied) {
    // 2x1: opaque red, then blue at half alpha.
    static const char kPng[] =
        "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x02\x00\x00\x00\x01"
        "\x08\x06\x00\x00\x00\xf4\x22\x7f\x8a\x00\x00\x00\x0e\x49\x44\x41\x54\x78\x9c\x63\xf8\xcf\xc0\x00"
        "\x42\x0d\x00\x0f\x7a\x03\x7e\x77\xe9\x7f\x97\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82";
    const fs::path file = fs::temp_directory_path() / ("vt-png-" + std::to_string(GetCurrentProcessId()) + ".img");
    std::ofstream(file, std::ios::binary).write(kPng, sizeof(kPng) - 1);

    PicturesWin32 pics;
    const PicturesWin32::Dib* png = pics.GetDib(PathToUtf8(file));
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(png->width, 2);
    EXPECT_EQ(png->height, 1);
    EXPECT_TRUE(png->alpha);
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectW(png->bitmap, sizeof(ds), &ds), static_cast<int>(sizeof(ds)));
    uint32_t px[2] = {};
    std::memcpy(px, ds.dsBm.bmBits, sizeof(px));
    EXPECT_EQ(px[0], 0xFFFF0000u);
    EXPECT_EQ(px[1] >> 24, 128u);
    EXPECT_NEAR(static_cast<int>(px[1] & 0xFF), 128, 1);
    EXPECT_EQ((px[1] >> 16) & 0xFF, 0u);
    // The same picture as a GDI+ bitmap, for the callers that draw with GDI+.
    Gdiplus::Bitmap* bitmap = pics.Get(PathToUtf8(file));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->GetWidth(), 2u);

    std::error_code ec;
    fs::remove(file, ec);
}

// A one-colour 24-bit bitmap of w x h.
void WriteBmp(const fs::path& file, int w, int h, uint8_t blue) {
    const int stride = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof(ih);
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + stride * h;
    std::string rows(static_cast<size_t>(stride) * h, '\0');
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            rows[static_cast<size_t>(y) * stride + x * 3] = static_cast<char>(blue);
    std::ofstream f(file, std::ios::binary);
    f.write(reinterpret_cast<const char*>(&fh), sizeof(fh));
    f.write(reinterpret_cast<const char*>(&ih), sizeof(ih));
    f << rows;
}

TEST(PicturesPrefetch, ReadAheadPicturesAnswerLikeLoadedOnesAndStillNoticeChanges) {
    const fs::path dir = fs::temp_directory_path() / ("vt-prefetch-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(dir);
    WriteBmp(dir / "a.img", 3, 2, 10);
    WriteBmp(dir / "b.img", 5, 4, 20);
    std::ofstream(dir / "bad.img") << "not a picture";
    const std::string a = PathToUtf8(dir / "a.img"), b = PathToUtf8(dir / "b.img"),
                      bad = PathToUtf8(dir / "bad.img"), missing = PathToUtf8(dir / "missing.img");

    PicturesWin32 pics;
    pics.Prefetch({a, b, bad, missing});
    auto sa = pics.Probe(a);
    ASSERT_TRUE(sa);
    EXPECT_EQ(sa->width, 3);
    EXPECT_EQ(sa->height, 2);
    EXPECT_FALSE(pics.Probe(bad));
    EXPECT_FALSE(pics.Probe(missing));
    const PicturesWin32::Dib* db = pics.GetDib(b);
    ASSERT_NE(db, nullptr);
    EXPECT_EQ(db->width, 5);

    // Replaced on disk after it was read ahead: the next probe loads it again.
    WriteBmp(dir / "b.img", 7, 1, 30);
    fs::last_write_time(dir / "b.img", fs::last_write_time(dir / "b.img") + std::chrono::seconds(5));
    auto sb = pics.Probe(b);
    ASSERT_TRUE(sb);
    EXPECT_EQ(sb->width, 7);

    // A cache dropped while a read-ahead runs neither crashes nor keeps stale pictures.
    pics.Prefetch({a});
    pics.Clear();
    EXPECT_TRUE(pics.Probe(a));

    std::error_code ec;
    fs::remove_all(dir, ec);
}

}  // namespace
}  // namespace vt
