// VT.exe started on a previous version's data: the conversion runs beside a
// small progress window while the window thread keeps answering, and the
// launcher comes up on the converted store.
#include <windows.h>

#include <commctrl.h>

#include <fstream>

#include "common/ini.h"
#include "launcher/mainwindow/migration_progress_win32.h"
#include "platform/win32/ui_font.h"
#include "tests/win32/screenshot.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

using namespace harness;

void Put(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

// An old store of teams x items, each item with its own picture. Written
// plainly: it is only the input.
void MakeOldStore(const fs::path& data, int teams, int items) {
    std::string list = "[Team]\r\nCount=" + std::to_string(teams) + "\r\n";
    const std::string picture(1024, 'P');
    for (int t = 1; t <= teams; ++t) {
        list += "[" + std::to_string(t) + "]\r\nName=T" + std::to_string(t) + "\r\n";
        std::string records = "[Item]\r\nCount=" + std::to_string(items) + "\r\n";
        for (int i = 1; i <= items; ++i) {
            const std::string n = std::to_string(i);
            records += "[" + n + "]\r\nName=I" + n + "\r\nType=1\r\nMode=1\r\nPath=C:\\a" + n +
                       ".exe\r\nIconOld=C:\\a" + n + ".exe,0\r\nIcon=p" + n + ".bmp\r\n";
            Put(data / ("TEAM" + std::to_string(t)) / ("p" + n + ".bmp"), picture);
        }
        Put(data / ("TEAM" + std::to_string(t)) / "ITEM.QRD", records);
    }
    Put(data / "TEAM.QRD", list);
}

std::wstring ChildText(HWND parent, const wchar_t* cls) {
    HWND child = FindWindowExW(parent, nullptr, cls, nullptr);
    wchar_t text[128] = {};
    if (child) GetWindowTextW(child, text, 128);
    return child ? text : L"<none>";
}

class VtMigration : public LauncherTest {};

TEST_F(VtMigration, ABigOldStoreShowsProgressAndTheLauncherComesUpOnTheConvertedStore) {
    const fs::path data = launcher_.Dir() / "DATA";
    fs::remove_all(data);
    MakeOldStore(data, 4, 500);

    ChildProcess p;
    ASSERT_TRUE(launcher_.Spawn(p));
    HWND progress = p.WaitForWindow(kMigrationProgressClass, L"Vantrel", kTimeoutMs);
    ASSERT_TRUE(progress) << "no progress window while converting 2000 items";
    EXPECT_EQ(ChildText(progress, L"Static"), Widen(kMsgMigrationProgress));
    HWND bar = FindWindowExW(progress, nullptr, PROGRESS_CLASSW, nullptr);
    ASSERT_TRUE(bar);
    // The window thread takes messages while the worker converts.
    EXPECT_TRUE(Settled(progress));
    EXPECT_TRUE(FindProcessWindow(p.Id(), L"VantrelMainForm", nullptr, false) != nullptr);
    // The whole bar and text inside the window, at this DPI.
    RECT client{}, barRect{};
    GetClientRect(progress, &client);
    GetWindowRect(bar, &barRect);
    MapWindowPoints(nullptr, progress, reinterpret_cast<POINT*>(&barRect), 2);
    EXPECT_GE(barRect.left, 0);
    EXPECT_LE(barRect.right, client.right);
    EXPECT_LE(barRect.bottom, client.bottom);
    EXPECT_GE(barRect.bottom - barRect.top, MulDiv(18, ScreenDpi(), 96) - 1);
    SaveWindowScreenshot(progress, ScreenshotDir() + L"migration_progress_" + std::to_wstring(ScreenDpi()) + L".png");

    EXPECT_TRUE(p.WaitGone(progress, 5 * kTimeoutMs));
    HWND main = Launcher::WaitForMain(p);
    ASSERT_TRUE(main);
    const std::string app = PathToUtf8(launcher_.Dir()) + "\\";
    FlushIniCache();
    EXPECT_EQ(ReadIniInt(app + "DATA\\TEAM.SET", "TEAM", "Count", -1), 4);
    EXPECT_FALSE(fs::exists(data / kMigrationMarker));
    EXPECT_TRUE(fs::exists(launcher_.Dir() / "pDATA" / "TEAM4" / "p500.bmp"));
    EXPECT_TRUE(p.Close(main));
}

TEST_F(VtMigration, AConversionCutShortIsFinishedByTheNextStart) {
    const fs::path data = launcher_.Dir() / "DATA";
    fs::remove_all(data);
    MakeOldStore(data, 2, 3);
    // What a kill right after setting the old data aside leaves: the old
    // folder with the marker in it, and no DATA.
    Put(data / kMigrationMarker, "[Migrate]\r\nFrom=pDATA\r\nStep=Move\r\n");
    fs::rename(data, launcher_.Dir() / "pDATA");

    ASSERT_TRUE(launcher_.Start());
    const std::string app = PathToUtf8(launcher_.Dir()) + "\\";
    FlushIniCache();
    EXPECT_EQ(ReadIniInt(app + "DATA\\TEAM.SET", "TEAM", "Count", -1), 2);
    EXPECT_FALSE(fs::exists(data / kMigrationMarker));
    EXPECT_FALSE(fs::exists(launcher_.Dir() / "pDATA" / kMigrationMarker));
    EXPECT_TRUE(fs::exists(launcher_.Dir() / "pDATA" / "TEAM.QRD"));
    EXPECT_TRUE(launcher_.Close());
}

}  // namespace
}  // namespace vt
