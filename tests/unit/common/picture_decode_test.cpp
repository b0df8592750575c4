#include "common/picture_decode.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace vt;

namespace {

void Put16(std::string& s, uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// A BITMAPINFOHEADER followed by optional bit-field masks and colour table.
std::string InfoHeader(int width, int height, int bpp, uint32_t compression = 0, uint32_t coloursUsed = 0) {
    std::string h;
    Put32(h, 40);
    Put32(h, static_cast<uint32_t>(width));
    Put32(h, static_cast<uint32_t>(height));
    Put16(h, 1);
    Put16(h, static_cast<uint32_t>(bpp));
    Put32(h, compression);
    Put32(h, 0);
    Put32(h, 2835);
    Put32(h, 2835);
    Put32(h, coloursUsed);
    Put32(h, 0);
    return h;
}

// A bitmap file around `dib` (header, tables and rows), pixels right after the tables.
std::string BmpFile(const std::string& headerAndTables, const std::string& rows) {
    std::string f = "BM";
    Put32(f, static_cast<uint32_t>(14 + headerAndTables.size() + rows.size()));
    Put32(f, 0);
    Put32(f, static_cast<uint32_t>(14 + headerAndTables.size()));
    return f + headerAndTables + rows;
}

std::string IcoFile(const std::string& image, int width, int height) {
    std::string f;
    Put16(f, 0);
    Put16(f, 1);
    Put16(f, 1);
    f += static_cast<char>(width);
    f += static_cast<char>(height);
    f += std::string(2, '\0');
    Put16(f, 1);
    Put16(f, 32);
    Put32(f, static_cast<uint32_t>(image.size()));
    Put32(f, 22);
    return f + image;
}

std::string Bgr(uint32_t rgb) {
    return {static_cast<char>(rgb & 0xFF), static_cast<char>((rgb >> 8) & 0xFF), static_cast<char>((rgb >> 16) & 0xFF)};
}

// The skins' usual picture: 24 bits, bottom-up, 3x2 (rows padded to 12 bytes).
std::string Sample24() {
    std::string bottom = Bgr(0x0000FF) + Bgr(0x00FF00) + Bgr(0xFF0000) + std::string(3, '\0');
    std::string top = Bgr(0xFAFAFA) + Bgr(0x123456) + Bgr(0xFFFFFF) + std::string(3, '\0');
    return BmpFile(InfoHeader(3, 2, 24), bottom + top);
}

}  // namespace

TEST(PictureDecode, TrueColourBitmapsKeepEveryColourExactAndOpaque) {
    auto p = DecodeBmpOrIco(Sample24());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->width, 3);
    EXPECT_EQ(p->height, 2);
    EXPECT_FALSE(p->alpha);
    // Top row first; the colour key 250,250,250 must survive untouched.
    EXPECT_EQ(p->pixels,
              (std::vector<uint32_t>{0xFFFAFAFA, 0xFF123456, 0xFFFFFFFF, 0xFF0000FF, 0xFF00FF00, 0xFFFF0000}));

    // 32 bits top-down: the fourth byte of a bitmap is padding, not alpha.
    std::string rows;
    for (uint32_t c : {0x00102030u, 0x7F405060u})
        Put32(rows, c);
    auto q = DecodeBmpOrIco(BmpFile(InfoHeader(1, -2, 32), rows));
    ASSERT_TRUE(q);
    EXPECT_FALSE(q->alpha);
    EXPECT_EQ(q->pixels, (std::vector<uint32_t>{0xFF102030, 0xFF405060}));
}

TEST(PictureDecode, PalettedAndBitFieldBitmaps) {
    // 8 bits with a two-colour table: an index past the table is black.
    std::string table = InfoHeader(3, 1, 8, 0, 2) + Bgr(0x112233) + '\0' + Bgr(0x445566) + '\0';
    auto p = DecodeBmpOrIco(BmpFile(table, std::string("\x01\x00\x07\x00", 4)));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->pixels, (std::vector<uint32_t>{0xFF445566, 0xFF112233, 0xFF000000}));

    // 4 bits: high nibble first. 1 bit: high bit first.
    std::string t4 = InfoHeader(3, 1, 4, 0, 3) + Bgr(0x000000) + '\0' + Bgr(0xFF0000) + '\0' + Bgr(0x00FF00) + '\0';
    auto p4 = DecodeBmpOrIco(BmpFile(t4, std::string("\x12\x00\x00\x00", 4)));
    ASSERT_TRUE(p4);
    EXPECT_EQ(p4->pixels, (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF000000}));
    std::string t1 = InfoHeader(9, 1, 1) + Bgr(0x000000) + '\0' + Bgr(0xFFFFFF) + '\0';
    auto p1 = DecodeBmpOrIco(BmpFile(t1, std::string("\xA0\x80\x00\x00", 4)));
    ASSERT_TRUE(p1);
    EXPECT_EQ(p1->pixels[0], 0xFFFFFFFFu);
    EXPECT_EQ(p1->pixels[1], 0xFF000000u);
    EXPECT_EQ(p1->pixels[2], 0xFFFFFFFFu);
    EXPECT_EQ(p1->pixels[8], 0xFFFFFFFFu);

    // 16 bits: 5-5-5 by default, 5-6-5 by bit fields; full channels widen to 255.
    std::string r16;
    Put16(r16, 0x7C00);
    Put16(r16, 0x0200);  // green 16 of 31
    auto p16 = DecodeBmpOrIco(BmpFile(InfoHeader(2, 1, 16), r16));
    ASSERT_TRUE(p16);
    EXPECT_EQ(p16->pixels, (std::vector<uint32_t>{0xFFFF0000, 0xFF008400}));
    std::string h565 = InfoHeader(2, 1, 16, 3);
    Put32(h565, 0xF800);
    Put32(h565, 0x07E0);
    Put32(h565, 0x001F);
    std::string r565;
    Put16(r565, 0x07E0);
    Put16(r565, 0x001F);
    auto p565 = DecodeBmpOrIco(BmpFile(h565, r565));
    ASSERT_TRUE(p565);
    EXPECT_EQ(p565->pixels, (std::vector<uint32_t>{0xFF00FF00, 0xFF0000FF}));
}

TEST(PictureDecode, IconsTakeAlphaFromPixelsOrElseFromTheirMask) {
    // 2x2, 32 bits with alpha: premultiplied, mask ignored.
    std::string rows;
    for (uint32_t c : {0xFF0000FFu, 0x80FF0000u, 0x00FFFFFFu, 0xFF00FF00u})
        Put32(rows, c);
    std::string mask(8, '\xFF');  // would hide everything if it were used
    auto p = DecodeBmpOrIco(IcoFile(InfoHeader(2, 4, 32) + rows + mask, 2, 2));
    ASSERT_TRUE(p);
    EXPECT_TRUE(p->alpha);
    // Bottom-up: the first two pixels stored are the lower row.
    EXPECT_EQ(p->pixels, (std::vector<uint32_t>{0x00000000, 0xFF00FF00, 0xFF0000FF, 0x80800000}));

    // 32 bits with every alpha byte zero (old tools): the AND mask decides.
    std::string old;
    for (uint32_t c : {0x00FF0000u, 0x0000FF00u})
        Put32(old, c);
    std::string oldMask = std::string("\x40\0\0\0", 4);  // second pixel transparent
    auto q = DecodeBmpOrIco(IcoFile(InfoHeader(2, 2, 32) + old + oldMask, 2, 1));
    ASSERT_TRUE(q);
    EXPECT_EQ(q->pixels, (std::vector<uint32_t>{0xFFFF0000, 0x00000000}));

    // 8 bits: opaque where the mask is clear.
    std::string t8 = InfoHeader(2, 2, 8, 0, 1) + Bgr(0x336699) + '\0';
    auto r = DecodeBmpOrIco(IcoFile(t8 + std::string("\0\0\0\0", 4) + std::string("\x80\0\0\0", 4), 2, 1));
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->alpha);
    EXPECT_EQ(r->pixels, (std::vector<uint32_t>{0x00000000, 0xFF336699}));
}

TEST(PictureDecode, LeavesOtherFormatsToTheGeneralDecoder) {
    EXPECT_FALSE(DecodeBmpOrIco(""));
    EXPECT_FALSE(DecodeBmpOrIco(std::string("\x89PNG\r\n\x1a\n", 8) + std::string(40, '\0')));
    EXPECT_FALSE(DecodeBmpOrIco("GIF89a"));
    // Run-length compressed.
    EXPECT_FALSE(DecodeBmpOrIco(BmpFile(InfoHeader(2, 1, 8, 1), std::string(8, '\0'))));
    // A PNG image inside an icon.
    EXPECT_FALSE(DecodeBmpOrIco(IcoFile(std::string("\x89PNG\r\n\x1a\n", 8) + std::string(32, '\0'), 16, 16)));
    // A version-5 header on 32 bits may carry alpha whose reading differs between decoders.
    std::string v5 = InfoHeader(1, 1, 32, 3);
    v5[0] = 124;
    v5 += std::string(124 - 40, '\0');
    EXPECT_FALSE(DecodeBmpOrIco(BmpFile(v5, std::string(4, '\0'))));
}

TEST(PictureDecode, BrokenFilesAreRefusedNotRead) {
    const std::string good = Sample24();
    ASSERT_TRUE(DecodeBmpOrIco(good));
    // Cut anywhere: refused (the rows are the last thing in the file).
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(DecodeBmpOrIco(good.substr(0, n))) << n;

    // Offsets and sizes that point outside the file.
    std::string farPixels = good;
    farPixels[10] = '\x7F';
    farPixels[13] = '\x7F';
    EXPECT_FALSE(DecodeBmpOrIco(farPixels));
    EXPECT_FALSE(DecodeBmpOrIco(BmpFile(InfoHeader(100000, 1, 24), std::string(16, '\0'))));
    EXPECT_FALSE(DecodeBmpOrIco(BmpFile(InfoHeader(0, 1, 24), "")));
    EXPECT_FALSE(DecodeBmpOrIco(BmpFile(InfoHeader(1, 1, 8, 0, 300), std::string(2000, '\0'))));
    std::string ico = IcoFile(InfoHeader(2, 4, 32) + std::string(16, '\0'), 2, 2);
    ico[18] = '\x70';  // image offset far past the end
    EXPECT_FALSE(DecodeBmpOrIco(ico));

    // Every single-byte change of a valid icon decodes or is refused, never crashes.
    std::string base = IcoFile(InfoHeader(2, 4, 8, 0, 2) + std::string(8, '\x10') + std::string(16, '\0'), 2, 2);
    for (size_t i = 0; i < base.size(); ++i)
        for (int v : {0x00, 0x7F, 0x80, 0xFF}) {
            std::string b = base;
            b[i] = static_cast<char>(v);
            auto d = DecodeBmpOrIco(b);
            if (d) {
                EXPECT_EQ(d->pixels.size(), static_cast<size_t>(d->width) * d->height);
            }
        }
}
