// Pictures that the built-in bitmap and icon decoder leaves to GDI+.
#include <windows.h>

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vt
