// The item editor family under Wine: icons pulled out of real program files
// and kept as bitmap pictures (in-process), and VT.exe adding items from a
// drop and from its editor (out of process, checked on disk afterwards).
#include <windows.h>

#include <gtest/gtest.h>
#include <shlobj.h>
#include <shellapi.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "launcher/dialogs/item_form_win32.h"
#include "platform/win32/icon_extract_win32.h"
#include "platform/win32/pictures_win32.h"
#include "platform/win32/win_text.h"
#include "tests/win32/wine_ui.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

const char kNotepad[] = "C:\\windows\\notepad.exe";

fs::path FreshDir(const char* prefix) {
    std::random_device rd;
    fs::path dir = fs::temp_directory_path() / (std::string(prefix) + std::to_string(rd()));
    fs::create_directories(dir);
    return dir;
}

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

TEST(IconExtract, IndexesAndFilesWithoutAnIconLeaveThePictureEmpty) {
    fs::path dir = FreshDir("vt-icon-");
    WriteBytes(dir / "plain.txt", "no icon in here");
    const struct {
        std::string file;
        int index;
    } cases[] = {
        {kNotepad, -1},                            // the previous-icon arrow at index 0
        {kNotepad, 100000},                        // far past the last icon
        {PathToUtf8(dir / "plain.txt"), 0},        // not a program
        {PathToUtf8(dir / "missing.exe"), 0},      // not there at all
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
    fs::remove_all(dir);
}

TEST(IconExtract, SavedPicturesLoadBackWhateverTheirNameAndBadOnesAreRefused) {
    fs::path dir = FreshDir("vt-pic-");
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
    fs::remove_all(dir);
}

// ---- VT.exe from outside ----------------------------------------------------

constexpr wchar_t kSettingKey[] = L"SOFTWARE\\Oskarn\\Vantrel\\Setting";
constexpr wchar_t kDataKey[] = L"SOFTWARE\\Oskarn\\Vantrel\\Data";
constexpr DWORD kTimeoutMs = 60000;

struct SavedValue {
    const wchar_t* key;
    const wchar_t* name;
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> bytes;
};

SavedValue Save(const wchar_t* key, const wchar_t* name) {
    SavedValue v{key, name};
    DWORD size = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_ANY | RRF_NOEXPAND, &v.type, nullptr, &size) ==
        ERROR_SUCCESS) {
        v.bytes.resize(size);
        v.present = RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_ANY | RRF_NOEXPAND, &v.type, v.bytes.data(),
                                 &size) == ERROR_SUCCESS;
        v.bytes.resize(size);
    }
    return v;
}

void Restore(const SavedValue& v) {
    HKEY k = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, v.key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS)
        return;
    if (v.present)
        RegSetValueExW(k, v.name, 0, v.type, v.bytes.data(), static_cast<DWORD>(v.bytes.size()));
    else
        RegDeleteValueW(k, v.name);
    RegCloseKey(k);
}

void SetDword(const wchar_t* key, const wchar_t* name, DWORD value) {
    HKEY k = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(k);
}

HWND FindWindowOf(DWORD pid, const wchar_t* cls, const wchar_t* title) {
    struct Search {
        DWORD pid;
        const wchar_t* cls;
        const wchar_t* title;
        HWND found;
    } s{pid, cls, title, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner != s->pid) return TRUE;
            wchar_t text[128] = {};
            if (s->cls) {
                GetClassNameW(w, text, 128);
                if (wcscmp(text, s->cls) != 0) return TRUE;
            }
            if (s->title) {
                GetWindowTextW(w, text, 128);
                if (wcscmp(text, s->title) != 0) return TRUE;
            }
            s->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

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

class VtItemEditing : public ::testing::Test {
protected:
    void SetUp() override {
        fs::path dist = PathFromUtf8(VT_DIST_DIR);
        ASSERT_TRUE(fs::exists(dist / "VT.exe")) << "build VT first";
        ASSERT_TRUE(fs::exists(dist / "DATA" / "TEAM.SET")) << "build the demo store first";
        dir_ = FreshDir("vt-items-");
        fs::copy_file(dist / "VT.exe", dir_ / "VT.exe");
        fs::copy(dist / "SKIN", dir_ / "SKIN", fs::copy_options::recursive);
        fs::copy(dist / "DATA", dir_ / "DATA", fs::copy_options::recursive);
        for (auto [key, name] : kTouched) saved_.push_back(Save(key, name));
        // Team 0 of the demo store is open at start.
        SetDword(kSettingKey, L"OnlyLaunchOne", 0);
        SetDword(kSettingKey, L"RememberLastTeam", 1);
        SetDword(kDataKey, L"LastTeam", 0);
        team_ = dir_ / "DATA" / PathFromUtf8(TeamPath(0));
    }
    void TearDown() override {
        if (pi_.hProcess) {
            if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(pi_.hProcess, 99);
                WaitForSingleObject(pi_.hProcess, 10000);
            }
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
        for (const SavedValue& v : saved_) Restore(v);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    std::string TeamPath(int team) {
        wchar_t buf[260] = {};
        GetPrivateProfileStringW(std::to_wstring(team).c_str(), L"Path", L"", buf, 260,
                                 (dir_ / "DATA" / "TEAM.SET").wstring().c_str());
        return Narrow(buf);
    }
    // "Count" of the team's ITEM.SET, read with every sharing mode allowed:
    // VT replaces the file by renaming over it, which a reader that does not
    // share deletion would make fail while it polls.
    int ItemCount() {
        HANDLE h = CreateFileW((team_ / "ITEM.SET").wstring().c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                               nullptr);
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

    HWND Start() {
        std::wstring exe = (dir_ / "VT.exe").wstring();
        std::wstring cmd = L"\"" + exe + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir_.wstring().c_str(), &si,
                            &pi_))
            return nullptr;
        HWND w = nullptr;
        WaitFor(pi_.hProcess, kTimeoutMs, [&] {
            w = FindWindowOf(pi_.dwProcessId, L"VantrelMainForm", nullptr);
            return w && IsWindowVisible(w);
        });
        return w;
    }

    void CloseVt(HWND main) {
        PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_EQ(WaitForSingleObject(pi_.hProcess, 30000), WAIT_OBJECT_0) << "VT.exe did not end";
    }

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
        void* remote = VirtualAllocEx(pi_.hProcess, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!remote) return false;
        SIZE_T written = 0;
        if (!WriteProcessMemory(pi_.hProcess, remote, block.data(), block.size(), &written)) return false;
        return PostMessageW(main, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0) != FALSE;
    }

    // Opens the add-item editor through its accelerator (Ctrl+F4); null when
    // it did not open.
    HWND OpenAddEditor(HWND main) {
        SetForegroundWindow(main);
        INPUT keys[4] = {};
        for (INPUT& k : keys) k.type = INPUT_KEYBOARD;
        keys[0].ki.wVk = VK_CONTROL;
        keys[1].ki.wVk = VK_F4;
        keys[2].ki.wVk = VK_F4;
        keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
        keys[3].ki.wVk = VK_CONTROL;
        keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(4, keys, sizeof(INPUT));
        return WaitForWindow(L"添加项目");
    }
    HWND WaitForWindow(const wchar_t* title) {
        HWND w = nullptr;
        WaitFor(pi_.hProcess, 10000, [&] {
            w = FindWindowOf(pi_.dwProcessId, nullptr, title);
            return w != nullptr && IsWindowVisible(w);
        });
        return w;
    }

    static constexpr std::pair<const wchar_t*, const wchar_t*> kTouched[] = {
        {kSettingKey, L"OnlyLaunchOne"},     {kSettingKey, L"RememberLastTeam"}, {kDataKey, L"LastTeam"},
        {kSettingKey, L"ShowItemExSetting"}, {kDataKey, L"rPath"},               {kDataKey, L"mLeft"},
        {kDataKey, L"mTop"},
    };
    fs::path dir_;
    fs::path team_;
    PROCESS_INFORMATION pi_{};
    std::vector<SavedValue> saved_;
};

TEST_F(VtItemEditing, DroppedProgramFolderAndFileBecomeItemsInDropOrder) {
    fs::path drop = FreshDir("vt-drop-");
    fs::create_directories(drop / "Tools");
    WriteBytes(drop / "readme.txt", "text");
    const int before = ItemCount();

    HWND main = Start();
    ASSERT_NE(main, nullptr) << "no main window";
    // A point well inside the default skin's item panel.
    int dpi = 96;
    if (HDC dc = GetDC(nullptr)) {
        dpi = GetDeviceCaps(dc, LOGPIXELSX);
        ReleaseDC(nullptr, dc);
    }
    POINT at{MulDiv(150, dpi, 96), MulDiv(250, dpi, 96)};
    ASSERT_TRUE(PostDrop(main, at, {Widen(kNotepad), (drop / "Tools").wstring(), (drop / "readme.txt").wstring()}));
    EXPECT_TRUE(WaitFor(pi_.hProcess, kTimeoutMs, [&] { return ItemCount() == before + 3; }))
        << "items after the drop: " << ItemCount() - before;
    CloseVt(main);

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
    fs::remove_all(drop);
}

TEST_F(VtItemEditing, DropOutsideTheItemPanelAddsNothing) {
    const int before = ItemCount();
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    // The title area, then a real drop to know both were handled.
    ASSERT_TRUE(PostDrop(main, POINT{60, 12}, {Widen(kNotepad)}));
    int dpi = 96;
    if (HDC dc = GetDC(nullptr)) {
        dpi = GetDeviceCaps(dc, LOGPIXELSX);
        ReleaseDC(nullptr, dc);
    }
    ASSERT_TRUE(PostDrop(main, POINT{MulDiv(150, dpi, 96), MulDiv(250, dpi, 96)}, {L"C:\\windows\\win.ini"}));
    EXPECT_TRUE(WaitFor(pi_.hProcess, kTimeoutMs, [&] { return ItemCount() > before; }));
    CloseVt(main);
    EXPECT_EQ(ItemCount(), before + 1);
    EXPECT_EQ(Item(before).name, "win.ini");
}

// The editor opens through the add-item command's accelerator (Ctrl+F4).
TEST_F(VtItemEditing, EditorFilledThroughItsControlsWritesTheItem) {
    const int before = ItemCount();
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    HWND editor = OpenAddEditor(main);
    if (!editor) {
        CloseVt(main);
        GTEST_SKIP() << "the add-item command did not open the editor (no accelerator, or input went elsewhere)";
    }

    auto set = [&](int id, const std::wstring& text) {
        SendMessageW(GetDlgItem(editor, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    };
    auto get = [&](int id) {
        wchar_t buf[512] = {};
        SendMessageW(GetDlgItem(editor, id), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf));
        return std::wstring(buf);
    };
    set(item_ids::kPath, L"C:\\windows\\notepad.exe");
    // The path proposes name, type and icon source.
    EXPECT_EQ(get(item_ids::kName), L"notepad.exe");
    EXPECT_EQ(get(item_ids::kIcon), L"C:\\windows\\notepad.exe");
    EXPECT_EQ(SendMessageW(GetDlgItem(editor, item_ids::kType), CB_GETCURSEL, 0, 0), 0);
    set(item_ids::kName, L"Pad");
    set(item_ids::kNote, L"note");
    SendMessageW(GetDlgItem(editor, item_ids::kMode), CB_SETCURSEL, 1, 0);
    PostMessageW(editor, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(editor, IDOK)));
    EXPECT_TRUE(WaitFor(pi_.hProcess, kTimeoutMs, [&] { return !IsWindow(editor); })) << "OK left the editor open";
    EXPECT_EQ(ItemCount(), before + 1);
    CloseVt(main);

    StoredItem item = Item(before);
    EXPECT_EQ(item.name, "Pad");
    EXPECT_EQ(item.type, 0);
    EXPECT_EQ(item.path, kNotepad);
    EXPECT_TRUE(fs::exists(team_ / PathFromUtf8(item.icon.substr(item.icon.empty() ? 0 : 1))));
    EXPECT_EQ(GetPrivateProfileIntW(std::to_wstring(before).c_str(), L"Mode", -1, (team_ / "ITEM.SET").wstring().c_str()),
              1u);
}

std::wstring TextOf(HWND w) {
    wchar_t buf[512] = {};
    SendMessageW(w, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf));
    return buf;
}

void ClickPictureButton(HWND editor, int index) {
    // Posted: the folder picker is modal and would hold a sent message.
    HWND button = GetDlgItem(editor, item_ids::kPictureButtonFirst + index);
    PostMessageW(editor, WM_COMMAND, MAKEWPARAM(item_ids::kPictureButtonFirst + index, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

TEST_F(VtItemEditing, FolderPickerAndExtendedItemEditorFillTheEditor) {
    auto savedRememberPath = Save(kSettingKey, L"RememberPath");
    SetDword(kSettingKey, L"RememberPath", 1);
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    HWND editor = OpenAddEditor(main);
    if (!editor) {
        CloseVt(main);
        Restore(savedRememberPath);
        GTEST_SKIP() << "the add-item command did not open the editor";
    }

    // The picker opens at VT's current folder, the program folder.
    ClickPictureButton(editor, 1);
    HWND picker = WaitForWindow(L"选择文件夹");
    ASSERT_NE(picker, nullptr) << "no folder picker";
    PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(picker, IDOK)));
    ASSERT_TRUE(WaitFor(pi_.hProcess, 10000, [&] { return !IsWindow(picker); }));
    const std::wstring folder = dir_.wstring() + L"\\";
    EXPECT_TRUE(WaitFor(pi_.hProcess, 10000, [&] { return TextOf(GetDlgItem(editor, item_ids::kPath)) == folder; }))
        << Narrow(TextOf(GetDlgItem(editor, item_ids::kPath)));
    EXPECT_EQ(TextOf(GetDlgItem(editor, item_ids::kName)), dir_.filename().wstring());
    EXPECT_EQ(TextOf(GetDlgItem(editor, item_ids::kIcon)), L"[DIRECTORY]");
    EXPECT_EQ(SendMessageW(GetDlgItem(editor, item_ids::kType), CB_GETCURSEL, 0, 0), 3);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, item_ids::kPara)));

    // Extended item: the first control-panel page is chosen with the kind.
    ClickPictureButton(editor, 2);
    HWND ex = WaitForWindow(L"扩展项目设置");
    ASSERT_NE(ex, nullptr) << "no extended item editor";
    HWND kinds = GetDlgItem(ex, exitem_ids::kKinds);
    SendMessageW(kinds, LB_SETCURSEL, 1, 0);
    SendMessageW(ex, WM_COMMAND, MAKEWPARAM(exitem_ids::kKinds, LBN_SELCHANGE), reinterpret_cast<LPARAM>(kinds));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(ex, IDOK))) << "registry kind needs its three texts first";
    SendMessageW(kinds, LB_SETCURSEL, 2, 0);
    SendMessageW(ex, WM_COMMAND, MAKEWPARAM(exitem_ids::kKinds, LBN_SELCHANGE), reinterpret_cast<LPARAM>(kinds));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(ex, IDOK)));
    EXPECT_EQ(SendMessageW(GetDlgItem(ex, exitem_ids::kControls), LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(TextOf(GetDlgItem(ex, exitem_ids::kSelected)), L"选中项:Internet选项");
    SendMessageW(ex, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(ex, IDOK)));
    EXPECT_FALSE(IsWindow(ex));
    EXPECT_EQ(TextOf(GetDlgItem(editor, item_ids::kPath)), L"[CONTROL]");
    EXPECT_EQ(TextOf(GetDlgItem(editor, item_ids::kName)), L"控制面板:Internet选项");
    EXPECT_EQ(TextOf(GetDlgItem(editor, item_ids::kPara)), L"0");
    EXPECT_EQ(TextOf(GetDlgItem(editor, item_ids::kIcon)), L"[EXITEM]");
    EXPECT_EQ(SendMessageW(GetDlgItem(editor, item_ids::kType), CB_GETCURSEL, 0, 0), 5);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(editor, item_ids::kPara)));

    // Cancel writes nothing.
    const int before = ItemCount();
    SendMessageW(editor, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(editor));
    CloseVt(main);
    EXPECT_EQ(ItemCount(), before);
    // The chosen folder is remembered for the next pick.
    SavedValue rPath = Save(kDataKey, L"rPath");
    ASSERT_TRUE(rPath.present);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(rPath.bytes.data())), folder);
    Restore(savedRememberPath);
}

}  // namespace
}  // namespace vt
