// The item editor family under Wine: icons pulled out of real program files
// and kept as bitmap pictures (in-process), and VT.exe adding items from a
// drop and from its editor (out of process, checked on disk afterwards).
#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/ini.h"
#include "launcher/dialogs/item_form_win32.h"
#include "launcher/menus/menu_ids.h"
#include "platform/win32/icon_extract_win32.h"
#include "platform/win32/pictures_win32.h"
#include "platform/win32/ui_font.h"
#include "tests/win32/screenshot.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

using namespace harness;

const char kNotepad[] = "C:\\windows\\notepad.exe";

void WriteBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

// ---- Icons and pictures, in process ----------------------------------------

TEST(IconExtract, ProgramIconIsDrawnAndSavedAsA32PixelBitmap) {
    UniqueHicon icon = ExtractIconFromFile(kNotepad, 0);
    ASSERT_TRUE(icon) << "notepad.exe should carry an icon";
    EXPECT_GE(CountIconsInFile(kNotepad), 1);

    IconCanvas blank(32, 0xFFFFFF);
    IconCanvas canvas(32, 0xFFFFFF);
    ASSERT_TRUE(canvas.DrawIcon(icon.get()));
    EXPECT_TRUE(canvas.Drawn());
    std::string bmp = canvas.ToBmpBytes();
    ASSERT_EQ(bmp.size(), 54u + 32 * 32 * 3);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(bmp.data() + sizeof(BITMAPFILEHEADER));
    EXPECT_EQ(info->biWidth, 32);
    EXPECT_EQ(info->biHeight, 32);
    EXPECT_EQ(info->biBitCount, 24);
    EXPECT_NE(bmp, blank.ToBmpBytes()) << "the icon left no mark on the picture";

    // Clear goes back to the empty picture.
    canvas.Clear();
    EXPECT_FALSE(canvas.Drawn());
    EXPECT_EQ(canvas.ToBmpBytes(), blank.ToBmpBytes());
}

// The icon drawn at its size onto white, as 0x00RRGGBB pixels.
std::vector<uint32_t> IconPixels(HICON icon, int size) {
    return DrawnPixels(size, size, [&](HDC dc) {
        RECT all{0, 0, size, size};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    });
}

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return 0;
    BITMAP bm{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return bm.bmWidth;
}

TEST(IconExtract, LargerScreensGetTheFilesOwnImageOfTheirSizeNotAStretched32) {
    // VT.exe carries its icon at the small and large sizes of 100 to 200 %.
    const std::string vt = std::string(VT_DIST_DIR) + "/VT.exe";
    HMODULE module =
        LoadLibraryExW(Widen(vt).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    UniqueHicon at32 = ExtractIconFromFile(vt, 0, 32);
    ASSERT_TRUE(at32);
    for (int size : {16, 20, 24, 32, 40, 48, 64}) {
        SCOPED_TRACE(size);
        UniqueHicon extracted = ExtractIconFromFile(vt, 0, size);
        UniqueHicon loaded = LoadIconAtSize(module, 1, size);
        ASSERT_TRUE(extracted);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(IconWidth(extracted.get()), size);
        EXPECT_EQ(IconWidth(loaded.get()), size);
        // The resource's own image of that size, exactly.
        UniqueHicon own(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0)));
        const auto want = IconPixels(own.get(), size);
        EXPECT_EQ(IconPixels(extracted.get(), size), want);
        EXPECT_EQ(IconPixels(loaded.get(), size), want);
        if (size > 32) {
            EXPECT_NE(IconPixels(at32.get(), size), want) << "a stretched 32 would pass for it";
        }
    }
    // A size the file lacks is made from a larger image, at the size asked for.
    UniqueHicon odd = LoadIconAtSize(module, 1, 28);
    ASSERT_TRUE(odd);
    EXPECT_EQ(IconWidth(odd.get()), 28);
    FreeLibrary(module);
}

TEST(IconExtract, IndexesAndFilesWithoutAnIconLeaveThePictureEmpty) {
    TempDir tmp("vt-icon-");
    const fs::path& dir = tmp.Path();
    WriteBytes(dir / "plain.txt", "no icon in here");
    const struct {
        std::string file;
        int index;
    } cases[] = {
        {kNotepad, -1},                        // the previous-icon arrow at index 0
        {kNotepad, 100000},                    // far past the last icon
        {PathToUtf8(dir / "plain.txt"), 0},    // not a program
        {PathToUtf8(dir / "missing.exe"), 0},  // not there at all
        {"", 0},
    };
    IconCanvas blank(32, 0x336699);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + " #" + std::to_string(c.index));
        EXPECT_FALSE(ExtractIconFromFile(c.file, c.index));
        IconCanvas canvas(32, 0x336699);
        EXPECT_FALSE(canvas.DrawIconOf(c.file, c.index));
        EXPECT_FALSE(canvas.Drawn());
        EXPECT_EQ(canvas.ToBmpBytes(), blank.ToBmpBytes());
    }
    EXPECT_EQ(CountIconsInFile(PathToUtf8(dir / "plain.txt")), 0);
}

TEST(IconExtract, SavedPicturesLoadBackWhateverTheirNameAndBadOnesAreRefused) {
    TempDir tmp("vt-pic-");
    const fs::path& dir = tmp.Path();
    IconCanvas source(32, 0xFFFFFF);
    ASSERT_TRUE(source.DrawIconOf(kNotepad, 0));
    const std::string bmp = source.ToBmpBytes();
    // The launcher names its pictures *.img; the content decides the format.
    WriteBytes(dir / "saved.img", bmp);
    WriteBytes(dir / "saved.bmp", bmp);
    WriteBytes(dir / "broken.bmp", bmp.substr(0, 30));
    WriteBytes(dir / "text.jpg", "not a picture");
    GdiplusSession gdiplus;

    for (const char* name : {"saved.img", "saved.bmp"}) {
        SCOPED_TRACE(name);
        IconCanvas copy(32, 0x000000);
        ASSERT_TRUE(copy.DrawPictureFile(PathToUtf8(dir / name)));
        EXPECT_EQ(copy.ToBmpBytes(), bmp);
    }
    for (const char* name : {"broken.bmp", "text.jpg", "missing.gif"}) {
        SCOPED_TRACE(name);
        IconCanvas canvas(32, 0x000000);
        IconCanvas blank(32, 0x000000);
        EXPECT_FALSE(canvas.DrawPictureFile(PathToUtf8(dir / name)));
        EXPECT_EQ(canvas.ToBmpBytes(), blank.ToBmpBytes());
    }
}

// ---- Text the ANSI code page cannot hold, in process -----------------------
// These also run with Wine set to the ANSI code pages 65001 and 1252 (see
// cmake/windows_codepage.cmake), as on a Windows with the "Beta: Unicode
// UTF-8" option or a Western one.

AnsiKind KindOfSystemCodePage() {
    const UINT acp = GetACP();
    if (acp == CP_UTF8) return AnsiKind::Utf8;
    return acp == 936 || acp == 950 || acp == 949 || acp == 932 ? AnsiKind::DoubleByte : AnsiKind::SingleByte;
}

TEST(CodePageWin32, CuttingAndReadingBackFollowTheSystemCodePage) {
    std::printf("ANSI code page %u\n", GetACP());
    // The runs under other locales say which page they meant to get, so a Wine
    // that falls back to 936 cannot pass them unnoticed.
    if (const char* expected = std::getenv("VT_EXPECT_ACP")) {
        ASSERT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected)));
    }
    const AnsiKind kind = KindOfSystemCodePage();
    ASSERT_EQ(CurrentAnsiKind(), kind);
    // A character the page holds: in several bytes where it can.
    const std::string wide = kind == AnsiKind::SingleByte ? "\xC3\xA9" : "汉";  // é or 汉
    ASSERT_EQ(UnstorableChars(wide), "");
    const size_t n = Utf8ToAnsi(wide).size();
    EXPECT_EQ(n, kind == AnsiKind::Utf8 ? 3u : kind == AnsiKind::DoubleByte ? 2u : 1u);
    std::string text = "x", fits = "x";
    for (int i = 0; i < 300; ++i)
        text += wide;
    for (size_t i = 0; i < 253 / n; ++i)
        fits += wide;
    EXPECT_EQ(AnsiToUtf8(CutAnsi(Utf8ToAnsi(text), 254)), fits);
    EXPECT_EQ(FitAnsiBytes(text, 254), fits);

    TempDir tmp("vt-cut-");
    const std::string ini = PathToUtf8(tmp.Path() / "cut.ini");
    ASSERT_TRUE(WriteIniString(ini, "S", "K", text));
    FlushIniCache();
    EXPECT_EQ(ReadIniString(ini, "S", "K", ""), fits);

    // An emoji is in no ANSI code page but UTF-8; with no default-character
    // arguments the conversion works for 65001 too.
    EXPECT_EQ(UnstorableChars("a😀b"), kind == AnsiKind::Utf8 ? "" : "😀");
}

TEST(CodePageWin32, KoreanFileNameGetsAStorableShortNameOrItsCharactersNamed) {
    TempDir tmp("vt-short-");
    const fs::path file = tmp.Path() / L"\uBCF4\uACE0\uC11C.txt";  // 보고서.txt
    WriteBytes(file, "text");
    const std::string longPath = PathToUtf8(file);
    ASSERT_TRUE(UnstorableChars(PathToUtf8(tmp.Path())).empty()) << "the temporary folder itself is not storable";
    const StorablePath stored = MakeStorablePath(longPath, ShortPathName);
    if (KindOfSystemCodePage() == AnsiKind::Utf8) {
        // Every character can be stored: the path stays as it is.
        EXPECT_EQ(UnstorableChars(longPath), "");
        EXPECT_EQ(stored.text, longPath);
        return;
    }
    EXPECT_EQ(UnstorableChars(longPath), "보고서");
    const std::string shortPath = ShortPathName(longPath);
    if (!shortPath.empty() && UnstorableChars(shortPath).empty()) {
        // The volume keeps short names: that one is stored, and it names the same file.
        ASSERT_TRUE(stored.ok());
        EXPECT_EQ(stored.text, shortPath);
        std::ifstream in(PathFromUtf8(stored.text), std::ios::binary);
        std::string content;
        std::getline(in, content);
        EXPECT_EQ(content, "text");
    } else {
        // No short name (Wine on a Unix file system): the characters are named.
        EXPECT_FALSE(stored.ok());
        EXPECT_EQ(stored.unstorable, "보고서");
    }
    std::printf("short name of the Korean file: \"%s\"\n", Utf8ToAnsi(shortPath).c_str());
    EXPECT_EQ(ShortPathName(PathToUtf8(tmp.Path() / "missing.txt")), "");
}

// ---- VT.exe from outside ----------------------------------------------------

// One item record as read back from a team folder.
struct StoredItem {
    std::string name, path, icon;
    int type = -1;
};

std::string ReadLine(const fs::path& file, int line) {
    std::ifstream in(file, std::ios::binary);
    std::string text;
    for (int i = 1; std::getline(in, text); ++i) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (i == line) return AnsiToUtf8(text);
    }
    return {};
}

class VtItemEditing : public LauncherTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(launcher_.UseDemoStore()) << "build the demo store first";
        // Team 0 of the demo store is open at start.
        WriteDword(kSettingKeyW, L"RememberLastTeam", 1);
        WriteDword(kDataKeyW, L"LastTeam", 0);
        team_ = launcher_.Dir() / "DATA" / PathFromUtf8(TeamPath(0));
    }

    std::string TeamPath(int team) {
        wchar_t buf[260] = {};
        GetPrivateProfileStringW(std::to_wstring(team).c_str(), L"Path", L"", buf, 260,
                                 (launcher_.Dir() / "DATA" / "TEAM.SET").wstring().c_str());
        return Narrow(buf);
    }
    // "Count" of the team's ITEM.SET, read with every sharing mode allowed:
    // VT replaces the file by renaming over it, which a reader that does not
    // share deletion would make fail while it polls.
    int ItemCount() {
        HANDLE h =
            CreateFileW((team_ / "ITEM.SET").wstring().c_str(), GENERIC_READ,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return 0;
        std::string text(1 << 16, '\0');
        DWORD got = 0;
        ReadFile(h, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
        CloseHandle(h);
        text.resize(got);
        size_t section = text.find("[ITEM]");
        if (section == std::string::npos) return 0;
        size_t key = text.find("\nCount=", section);
        return key == std::string::npos ? 0 : std::atoi(text.c_str() + key + 7);
    }
    StoredItem Item(int index) {
        // Names are stored in the ANSI code page; read them as bytes.
        const std::string file = Utf8ToAnsi(PathToUtf8(team_ / "ITEM.SET"));
        const std::string section = std::to_string(index);
        auto text = [&](const char* key) {
            char buf[512] = {};
            GetPrivateProfileStringA(section.c_str(), key, "", buf, 512, file.c_str());
            return AnsiToUtf8(buf);
        };
        StoredItem item;
        item.name = text("Name");
        item.icon = text("Icon");
        item.type = static_cast<int>(GetPrivateProfileIntA(section.c_str(), "Type", -1, file.c_str()));
        int pathLine = static_cast<int>(GetPrivateProfileIntA(section.c_str(), "Path", 0, file.c_str()));
        item.path = ReadLine(team_ / "PATH.SET", pathLine);
        return item;
    }

    HWND Start() { return launcher_.Start() ? launcher_.Main() : nullptr; }
    // A point well inside the default skin's item panel.
    static POINT InPanel() { return POINT{MulDiv(150, ScreenDpi(), 96), MulDiv(250, ScreenDpi(), 96)}; }
    void CloseVt() { ASSERT_TRUE(launcher_.Close()) << "VT.exe did not end"; }

    // Posts a shell file drop onto the main window at a client point. The
    // drop handle must live in VT's own memory: Wine accepts a plain pointer
    // there as the global handle.
    bool PostDrop(HWND main, POINT at, const std::vector<std::wstring>& files) {
        std::vector<BYTE> block(sizeof(DROPFILES));
        auto* df = reinterpret_cast<DROPFILES*>(block.data());
        df->pFiles = sizeof(DROPFILES);
        df->pt = at;
        df->fNC = FALSE;
        df->fWide = TRUE;
        for (const std::wstring& f : files) {
            auto* p = reinterpret_cast<const BYTE*>(f.c_str());
            block.insert(block.end(), p, p + (f.size() + 1) * sizeof(wchar_t));
        }
        block.insert(block.end(), sizeof(wchar_t), 0);
        HANDLE process = launcher_.Process();
        void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!remote) return false;
        SIZE_T written = 0;
        if (!WriteProcessMemory(process, remote, block.data(), block.size(), &written)) return false;
        return PostMessageW(main, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0) != FALSE;
    }

    // Opens the add-item editor by its command, as the menu entry does.
    HWND OpenAddEditor() {
        launcher_.Command(kMenuAddItem);
        return WaitForWindow(L"添加项目");
    }
    // Presses the add-item command's accelerator (Ctrl+F4) on the main window.
    HWND OpenAddEditorByKey(HWND main) {
        if (!BringToFront(launcher_.Process(), main)) return nullptr;
        INPUT keys[4] = {};
        for (INPUT& k : keys)
            k.type = INPUT_KEYBOARD;
        keys[0].ki.wVk = VK_CONTROL;
        keys[1].ki.wVk = VK_F4;
        keys[2].ki.wVk = VK_F4;
        keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
        keys[3].ki.wVk = VK_CONTROL;
        keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(4, keys, sizeof(INPUT));
        return WaitForWindow(L"添加项目");
    }
    HWND WaitForWindow(const wchar_t* title) { return launcher_.Proc().WaitForWindow(nullptr, title, 10000); }

    fs::path team_;
};

TEST_F(VtItemEditing, DroppedProgramFolderAndFileBecomeItemsInDropOrder) {
    TempDir dropDir("vt-drop-");
    const fs::path& drop = dropDir.Path();
    fs::create_directories(drop / "Tools");
    WriteBytes(drop / "readme.txt", "text");
    const int before = ItemCount();

    HWND main = Start();
    ASSERT_NE(main, nullptr) << "no main window";
    ASSERT_TRUE(
        PostDrop(main, InPanel(), {Widen(kNotepad), (drop / "Tools").wstring(), (drop / "readme.txt").wstring()}));
    EXPECT_TRUE(WaitFor(launcher_.Process(), kTimeoutMs, [&] { return ItemCount() == before + 3; }))
        << "items after the drop: " << ItemCount() - before;
    CloseVt();

    StoredItem program = Item(before);
    EXPECT_EQ(program.name, "notepad.exe");
    EXPECT_EQ(program.type, 0);
    EXPECT_EQ(program.path, kNotepad);
    ASSERT_EQ(program.icon.size(), 15u) << program.icon;  // "\" + ten letters + ".img"
    EXPECT_EQ(program.icon.front(), '\\');
    fs::path picture = team_ / PathFromUtf8(program.icon.substr(1));
    ASSERT_TRUE(fs::exists(picture));
    {
        IconCanvas blank(32, 0);
        IconCanvas saved(32, 0);
        GdiplusSession gdiplus;
        ASSERT_TRUE(saved.DrawPictureFile(PathToUtf8(picture))) << "the saved icon is not a picture";
        EXPECT_NE(saved.ToBmpBytes(), blank.ToBmpBytes()) << "the saved icon is empty";
    }

    StoredItem folder = Item(before + 1);
    EXPECT_EQ(folder.name, "Tools");
    EXPECT_EQ(folder.type, 3);
    EXPECT_EQ(folder.icon, "[DIRECTORY]");
    EXPECT_EQ(folder.path, PathToUtf8(drop / "Tools") + "\\");

    StoredItem file = Item(before + 2);
    EXPECT_EQ(file.name, "readme.txt");
    EXPECT_EQ(file.type, 4);
}

TEST_F(VtItemEditing, DropOutsideTheItemPanelAddsNothing) {
    const int before = ItemCount();
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    // The title area, then a real drop to know both were handled.
    ASSERT_TRUE(PostDrop(main, POINT{60, 12}, {Widen(kNotepad)}));
    ASSERT_TRUE(PostDrop(main, InPanel(), {L"C:\\windows\\win.ini"}));
    EXPECT_TRUE(WaitFor(launcher_.Process(), kTimeoutMs, [&] { return ItemCount() > before; }));
    CloseVt();
    EXPECT_EQ(ItemCount(), before + 1);
    EXPECT_EQ(Item(before).name, "win.ini");
}

TEST_F(VtItemEditing, DroppedFileWhosePathCannotBeStoredIsNeverStoredAsQuestionMarks) {
    TempDir dropDir("vt-drop-");
    const fs::path korean = dropDir.Path() / L"\uC0AC\uC9C4.txt";  // 사진.txt
    WriteBytes(korean, "k");
    WriteBytes(dropDir.Path() / "plain.txt", "p");
    const int before = ItemCount();
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(PostDrop(main, InPanel(), {korean.wstring(), (dropDir.Path() / "plain.txt").wstring()}));
    // The plain file goes in whatever happens to the other one.
    EXPECT_TRUE(WaitFor(launcher_.Process(), kTimeoutMs, [&] { return Item(ItemCount() - 1).name == "plain.txt"; }))
        << "the plain file was not added";
    CloseVt();
    const int added = ItemCount() - before;
    ASSERT_GE(added, 1);
    ASSERT_LE(added, 2);
    for (int i = before; i < before + added; ++i) {
        StoredItem item = Item(i);
        SCOPED_TRACE(item.path);
        EXPECT_EQ(item.path.find('?'), std::string::npos);
        EXPECT_EQ(item.name.find('?'), std::string::npos);
        // Whatever was stored leads to a file that is there.
        EXPECT_NE(GetFileAttributesW(PathFromUtf8(item.path).c_str()), INVALID_FILE_ATTRIBUTES);
    }
    std::printf("items added from the drop: %d (2: the short name was stored, 1: it was skipped)\n", added);
}

TEST_F(VtItemEditing, NameBoxKeepsWhatAProfileValueReadsBack) {
    const int before = ItemCount();
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    HWND editor = OpenAddEditor();
    ASSERT_NE(editor, nullptr) << "the add-item command did not open the editor";
    SetControlText(editor, item_ids::kPath, L"C:\\windows\\notepad.exe");
    // 310 Chinese characters: 620 bytes in code page 936, of which 254 read back.
    std::wstring longName;
    for (int i = 0; i < 310; ++i)
        longName += L"\u540D";  // 名
    SetControlText(editor, item_ids::kName, longName);
    EXPECT_EQ(ControlText(editor, item_ids::kName), longName.substr(0, 127));
    // Adding one more character changes nothing; one ASCII byte still fits
    // after 126 characters.
    SetControlText(editor, item_ids::kName, longName.substr(0, 127) + L"x");
    EXPECT_EQ(ControlText(editor, item_ids::kName), longName.substr(0, 127));
    SetControlText(editor, item_ids::kName, longName.substr(0, 126) + L"xy");
    EXPECT_EQ(ControlText(editor, item_ids::kName), longName.substr(0, 126) + L"xy");
    PostButton(editor, IDOK);
    EXPECT_TRUE(WaitFor(launcher_.Process(), kTimeoutMs, [&] { return !IsWindow(editor); }))
        << "OK left the editor open";
    CloseVt();
    ASSERT_EQ(ItemCount(), before + 1);
    EXPECT_EQ(Item(before).name, Narrow(longName.substr(0, 126) + L"xy"));
}

TEST_F(VtItemEditing, PathThatCannotBeStoredKeepsTheEditorOpenOnThatField) {
    const int before = ItemCount();
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    HWND editor = OpenAddEditor();
    ASSERT_NE(editor, nullptr) << "the add-item command did not open the editor";
    // No such file, so no short name either.
    const std::wstring path = L"C:\\\uC5C6\uC74C\\tool.exe";  // C:\없음\tool.exe
    SetControlText(editor, item_ids::kPath, path);
    SetControlText(editor, item_ids::kName, L"工具");
    PostButton(editor, IDOK);
    HWND pathBox = GetDlgItem(editor, item_ids::kPath);
    // The path box gets its whole text selected for typing over.
    const auto selectedAll = [&] {
        const auto sel = static_cast<DWORD>(SendMessageW(pathBox, EM_GETSEL, 0, 0));
        return LOWORD(sel) == 0 && HIWORD(sel) == path.size();
    };
    EXPECT_TRUE(WaitFor(launcher_.Process(), 10000, selectedAll)) << "the path was not selected";
    EXPECT_TRUE(IsWindow(editor)) << "OK closed the editor";
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SaveScreenScreenshot(screen, ScreenshotDir() + L"item_editor_unstorable_path.png");
    EXPECT_EQ(ControlText(editor, item_ids::kPath), path);
    CloseVt();
    EXPECT_EQ(ItemCount(), before);
}

TEST_F(VtItemEditing, AddItemAcceleratorOpensTheEditor) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    HWND editor = OpenAddEditorByKey(main);
    ASSERT_NE(editor, nullptr) << "Ctrl+F4 on the main window did not open the add-item editor";
    PostButton(editor, IDCANCEL);
    EXPECT_TRUE(WaitFor(launcher_.Process(), kTimeoutMs, [&] { return !IsWindow(editor); }));
    CloseVt();
}

TEST_F(VtItemEditing, EditorFilledThroughItsControlsWritesTheItem) {
    const int before = ItemCount();
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    HWND editor = OpenAddEditor();
    ASSERT_NE(editor, nullptr) << "the add-item command did not open the editor";

    SetControlText(editor, item_ids::kPath, L"C:\\windows\\notepad.exe");
    // The path proposes name, type and icon source.
    EXPECT_EQ(ControlText(editor, item_ids::kName), L"notepad.exe");
    EXPECT_EQ(ControlText(editor, item_ids::kIcon), L"C:\\windows\\notepad.exe");
    EXPECT_EQ(SendMessageW(GetDlgItem(editor, item_ids::kType), CB_GETCURSEL, 0, 0), 0);
    SetControlText(editor, item_ids::kName, L"Pad");
    SetControlText(editor, item_ids::kNote, L"note");
    SendMessageW(GetDlgItem(editor, item_ids::kMode), CB_SETCURSEL, 1, 0);
    PostButton(editor, IDOK);
    EXPECT_TRUE(WaitFor(launcher_.Process(), kTimeoutMs, [&] { return !IsWindow(editor); }))
        << "OK left the editor open";
    EXPECT_EQ(ItemCount(), before + 1);
    CloseVt();

    StoredItem item = Item(before);
    EXPECT_EQ(item.name, "Pad");
    EXPECT_EQ(item.type, 0);
    EXPECT_EQ(item.path, kNotepad);
    EXPECT_TRUE(fs::exists(team_ / PathFromUtf8(item.icon.substr(item.icon.empty() ? 0 : 1))));
    EXPECT_EQ(
        GetPrivateProfileIntW(std::to_wstring(before).c_str(), L"Mode", -1, (team_ / "ITEM.SET").wstring().c_str()),
        1u);
}

// The file chooser runs its own message loop, in which the main window still
// takes commands: a second editor replaces the first one under it.
TEST_F(VtItemEditing, EditorSurvivesASecondEditorOpenedWhileItsFileChooserIsUp) {
    const int before = ItemCount();
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    HWND first = OpenAddEditor();
    ASSERT_NE(first, nullptr) << "the add-item command did not open the editor";
    PostButton(first, item_ids::kPictureButtonFirst);  // the path's file chooser
    HWND chooser = WaitForWindow(L"选择项目路径");
    ASSERT_NE(chooser, nullptr) << "no file chooser";

    launcher_.Command(kMenuAddItem);
    EXPECT_TRUE(WaitFor(launcher_.Process(), kTimeoutMs, [&] { return !IsWindow(first); }))
        << "the first editor stayed";
    HWND second = launcher_.Proc().WaitForWindow(nullptr, L"添加项目", kDialogTimeoutMs, first);
    ASSERT_NE(second, nullptr) << "no second editor";
    EXPECT_TRUE(WaitFor(launcher_.Process(), kTimeoutMs, [&] { return !IsWindow(chooser); }))
        << "the chooser outlived its editor";
    ASSERT_TRUE(launcher_.Alive()) << "VT.exe ended";

    // The new editor works as any other.
    SetControlText(second, item_ids::kPath, L"C:\\windows\\notepad.exe");
    EXPECT_EQ(ControlText(second, item_ids::kName), L"notepad.exe");
    PostButton(second, IDOK);
    EXPECT_TRUE(WaitFor(launcher_.Process(), kTimeoutMs, [&] { return !IsWindow(second); }))
        << "OK left the editor open";
    CloseVt();
    EXPECT_EQ(ItemCount(), before + 1);
}

TEST_F(VtItemEditing, FolderPickerAndExtendedItemEditorFillTheEditor) {
    WriteDword(kSettingKeyW, L"RememberPath", 1);
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    HWND editor = OpenAddEditor();
    ASSERT_NE(editor, nullptr) << "the add-item command did not open the editor";

    // The picker opens at VT's current folder, the program folder.
    PostButton(editor, item_ids::kPictureButtonFirst + 1);
    HWND picker = WaitForWindow(L"选择文件夹");
    ASSERT_NE(picker, nullptr) << "no folder picker";
    PostButton(picker, IDOK);
    ASSERT_TRUE(WaitFor(launcher_.Process(), 10000, [&] { return !IsWindow(picker); }));
    const std::wstring folder = launcher_.Dir().wstring() + L"\\";
    EXPECT_TRUE(WaitFor(launcher_.Process(), 10000, [&] { return ControlText(editor, item_ids::kPath) == folder; }))
        << Narrow(ControlText(editor, item_ids::kPath));
    EXPECT_EQ(ControlText(editor, item_ids::kName), launcher_.Dir().filename().wstring());
    EXPECT_EQ(ControlText(editor, item_ids::kIcon), L"[DIRECTORY]");
    EXPECT_EQ(SendMessageW(GetDlgItem(editor, item_ids::kType), CB_GETCURSEL, 0, 0), 3);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, item_ids::kPara)));

    // Extended item: the first control-panel page is chosen with the kind.
    PostButton(editor, item_ids::kPictureButtonFirst + 2);
    HWND ex = WaitForWindow(L"扩展项目设置");
    ASSERT_NE(ex, nullptr) << "no extended item editor";
    SelectListEntry(ex, exitem_ids::kKinds, 1);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(ex, IDOK))) << "registry kind needs its three texts first";
    SelectListEntry(ex, exitem_ids::kKinds, 2);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(ex, IDOK)));
    EXPECT_EQ(SendMessageW(GetDlgItem(ex, exitem_ids::kControls), LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(ControlText(ex, exitem_ids::kSelected), L"选中项:Internet选项");
    SendMessageW(ex, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(ex, IDOK)));
    EXPECT_FALSE(IsWindow(ex));
    EXPECT_EQ(ControlText(editor, item_ids::kPath), L"[CONTROL]");
    EXPECT_EQ(ControlText(editor, item_ids::kName), L"控制面板:Internet选项");
    EXPECT_EQ(ControlText(editor, item_ids::kPara), L"0");
    EXPECT_EQ(ControlText(editor, item_ids::kIcon), L"[EXITEM]");
    EXPECT_EQ(SendMessageW(GetDlgItem(editor, item_ids::kType), CB_GETCURSEL, 0, 0), 5);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(editor, item_ids::kPara)));

    // Cancel writes nothing.
    const int before = ItemCount();
    SendMessageW(editor, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(editor));
    CloseVt();
    EXPECT_EQ(ItemCount(), before);
    // The chosen folder is remembered for the next pick.
    const std::optional<std::wstring> rPath = ReadString(kDataKeyW, L"rPath");
    ASSERT_TRUE(rPath.has_value());
    EXPECT_EQ(*rPath, folder);
}

}  // namespace
}  // namespace vt
