// The Win32 adapters the launcher's window uses: the "密码确认" box, the
// picture loader with its cache, and text measurement.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "common/codepage.h"
#include "platform/win32/pictures_win32.h"
#include "platform/win32/prompts_win32.h"
#include "platform/win32/text_measure_win32.h"
#include "platform/win32/win_text.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

// Finds the password box of this process (it appears when DialogBox runs).
HWND WaitForDialog(const wchar_t* title) {
    HWND found = nullptr;
    WaitFor(10000, [&] {
        found = harness::FindProcessWindow(GetCurrentProcessId(), L"#32770", title);
        return found != nullptr;
    });
    return found;
}

// Answers the box from another thread, as a user would: type, then press a button.
std::string AnswerPasswordBox(const std::string& prompt, const wchar_t* typed, int button, std::wstring* seenPrompt) {
    std::thread user([&] {
        HWND dlg = WaitForDialog(L"密码确认");
        if (!dlg) return;
        wchar_t buf[256] = {};
        GetDlgItemTextW(dlg, 100, buf, 256);
        if (seenPrompt) *seenPrompt = buf;
        SetDlgItemTextW(dlg, 101, typed);
        PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    });
    std::string answer = AskPasswordBox(GetModuleHandleW(nullptr), nullptr, prompt);
    user.join();
    return answer;
}

TEST(PasswordBox, ReturnsTypedTextOnOkAndNothingOnCancel) {
    struct Case {
        const wchar_t* typed;
        int button;
        std::string want;
    } cases[] = {
        {L"abc123", IDOK, "abc123"},
        {L"密码", IDOK, "密码"},
        {L"", IDOK, ""},
        {L"secret", IDCANCEL, ""},
    };
    for (const Case& c : cases) {
        std::wstring seen;
        std::string got = AnswerPasswordBox("你想启动的项目带有密码,请输入启动密码!", c.typed, c.button, &seen);
        EXPECT_EQ(got, c.want) << Narrow(c.typed);
        EXPECT_EQ(seen, L"你想启动的项目带有密码,请输入启动密码!");
    }
}

TEST(PasswordBox, HidesWhatIsTyped) {
    std::atomic<LONG_PTR> style{0};
    std::thread user([&] {
        HWND dlg = WaitForDialog(L"密码确认");
        if (!dlg) return;
        style = GetWindowLongPtrW(GetDlgItem(dlg, 101), GWL_STYLE);
        PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    AskPasswordBox(GetModuleHandleW(nullptr), nullptr, "x");
    user.join();
    EXPECT_TRUE(style.load() & ES_PASSWORD);
}

class PicturesTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) { return PathToUtf8(dir_ / PathFromUtf8(name)); }
    // A 24-bit bitmap file of one colour.
    void WriteBmp(const std::string& name, int w, int h, COLORREF c) {
        int stride = (w * 3 + 3) & ~3;
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
        std::string row(static_cast<size_t>(stride), '\0');
        for (int x = 0; x < w; ++x) {
            row[x * 3] = static_cast<char>(GetBValue(c));
            row[x * 3 + 1] = static_cast<char>(GetGValue(c));
            row[x * 3 + 2] = static_cast<char>(GetRValue(c));
        }
        std::ofstream f(dir_ / PathFromUtf8(name), std::ios::binary);
        f.write(reinterpret_cast<const char*>(&fh), sizeof(fh));
        f.write(reinterpret_cast<const char*>(&ih), sizeof(ih));
        for (int y = 0; y < h; ++y)
            f.write(row.data(), stride);
    }
    harness::TempDir tmp_{"vt-pic-"};
    const fs::path& dir_ = tmp_.Path();
};

TEST_F(PicturesTest, LoadsByContentWhateverTheNameAndRejectsNonPictures) {
    WriteBmp("按钮.img", 20, 12, RGB(1, 2, 3));
    std::ofstream(dir_ / "text.img") << "not a picture";
    std::ofstream(dir_ / "empty.img");
    PicturesWin32 pics;
    auto size = pics.Probe(Path("按钮.img"));
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 20);
    EXPECT_EQ(size->height, 12);
    EXPECT_FALSE(pics.Probe(Path("text.img")));
    EXPECT_FALSE(pics.Probe(Path("empty.img")));
    EXPECT_FALSE(pics.Probe(Path("missing.img")));
}

TEST_F(PicturesTest, OpaqueBitmapKeepsExactColoursAndAFileChangedOnDiskIsReloaded) {
    // The colour key of the main window must survive loading unchanged.
    WriteBmp("back.img", 4, 4, RGB(250, 250, 250));
    PicturesWin32 pics;
    const PicturesWin32::Dib* dib = pics.GetDib(Path("back.img"));
    ASSERT_NE(dib, nullptr);
    EXPECT_FALSE(dib->alpha);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib->bitmap);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(250, 250, 250));
    SelectObject(dc, old);
    DeleteDC(dc);

    WriteBmp("back.img", 8, 6, RGB(0, 0, 255));
    // Make sure the change is visible to the cache even on a coarse clock.
    auto t = fs::last_write_time(dir_ / "back.img");
    fs::last_write_time(dir_ / "back.img", t + std::chrono::seconds(5));
    auto size = pics.Probe(Path("back.img"));
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 8);
    EXPECT_EQ(size->height, 6);
}

TEST_F(PicturesTest, ReadAheadPicturesAnswerLikeLoadedOnesAndStillNoticeChanges) {
    WriteBmp("a.img", 3, 2, RGB(0, 0, 10));
    WriteBmp("b.img", 5, 4, RGB(0, 0, 20));
    std::ofstream(dir_ / "bad.img") << "not a picture";
    PicturesWin32 pics;
    pics.Prefetch({Path("a.img"), Path("b.img"), Path("bad.img"), Path("missing.img")});
    auto sa = pics.Probe(Path("a.img"));
    ASSERT_TRUE(sa);
    EXPECT_EQ(sa->width, 3);
    EXPECT_EQ(sa->height, 2);
    EXPECT_FALSE(pics.Probe(Path("bad.img")));
    EXPECT_FALSE(pics.Probe(Path("missing.img")));
    const PicturesWin32::Dib* db = pics.GetDib(Path("b.img"));
    ASSERT_NE(db, nullptr);
    EXPECT_EQ(db->width, 5);

    // Replaced on disk after it was read ahead: the next probe loads it again.
    WriteBmp("b.img", 7, 1, RGB(0, 0, 30));
    fs::last_write_time(dir_ / "b.img", fs::last_write_time(dir_ / "b.img") + std::chrono::seconds(5));
    auto sb = pics.Probe(Path("b.img"));
    ASSERT_TRUE(sb);
    EXPECT_EQ(sb->width, 7);

    // A cache dropped while a read-ahead runs neither crashes nor keeps stale pictures.
    pics.Prefetch({Path("a.img")});
    pics.Clear();
    EXPECT_TRUE(pics.Probe(Path("a.img")));
}

TEST(DefaultSkin, AllPicturesLoadAndButtonsMatchTheirFirstPicture) {
    fs::path image = PathFromUtf8(VT_DIST_DIR) / PathFromUtf8("SKIN/蓝色卷轴/image");
    ASSERT_TRUE(fs::is_directory(image)) << "build VT first";
    PicturesWin32 pics;
    const char* names[] = {"backdrop", "teamback", "close1", "close2", "close3", "min1",   "min2",   "min3",  "lock1",
                           "lock2",    "left1",    "left2",  "left3",  "right1", "right2", "right3", "up1",   "up2",
                           "up3",      "down1",    "down2",  "down3",  "link",   "file",   "dir",    "exitem"};
    for (const char* n : names)
        EXPECT_TRUE(pics.Probe(PathToUtf8(image / (std::string(n) + ".img")))) << n;
    for (const char* b : {"close", "min", "left", "right", "up", "down"}) {
        auto first = pics.Probe(PathToUtf8(image / (std::string(b) + "1.img")));
        for (int i = 2; i <= 3; ++i) {
            auto other = pics.Probe(PathToUtf8(image / (b + std::to_string(i) + ".img")));
            ASSERT_TRUE(first && other) << b << i;
            EXPECT_EQ(other->width, first->width) << b << i;
            EXPECT_EQ(other->height, first->height) << b << i;
        }
    }
    // The backdrop's corners are see-through: exactly the colour key.
    const PicturesWin32::Dib* back = pics.GetDib(PathToUtf8(image / "backdrop.img"));
    ASSERT_NE(back, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, back->bitmap);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(250, 250, 250));
    EXPECT_EQ(GetPixel(dc, back->width - 1, back->height - 1), RGB(250, 250, 250));
    EXPECT_NE(GetPixel(dc, back->width / 2, back->height / 2), RGB(250, 250, 250));
    SelectObject(dc, old);
    DeleteDC(dc);
}

TEST(TextMeasure, WidthGrowsWithTextAndSizeAndChineseIsMeasured) {
    TextMeasureWin32 m;
    EXPECT_EQ(m.TextWidthTwips("", 9), 0);
    int one = m.TextWidthTwips("操", 9);
    int two = m.TextWidthTwips("操作", 9);
    EXPECT_GT(one, 0);
    EXPECT_GT(two, one);
    EXPECT_GT(m.TextWidthTwips("操作", 18), two);
    // A CJK character in a CJK font is wider than a Latin "i".
    EXPECT_GT(one, m.TextWidthTwips("i", 9));
    EXPECT_GT(m.LineHeightTwips(9), 0);
    EXPECT_GT(m.LineHeightTwips(18), m.LineHeightTwips(9));
}

}  // namespace
}  // namespace vt
