#include "tests/win32/vt_harness.h"

#include <random>

#include "launcher/scene/pixel_map.h"
#include "platform/win32/ui_font.h"
#include "tests/win32/editor_drive.h"

namespace vt::harness {

// ---- Registry ---------------------------------------------------------------

namespace {

// The key opened (created when missing) for writing; null when that failed.
HKEY OpenForWrite(const wchar_t* key, REGSAM access = KEY_SET_VALUE) {
    HKEY k = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, access, nullptr, &k, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return k;
}

void WriteRaw(const wchar_t* key, const wchar_t* name, DWORD type, const void* data, size_t size) {
    if (HKEY k = OpenForWrite(key)) {
        RegSetValueExW(k, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
        RegCloseKey(k);
    }
}

}  // namespace

std::optional<DWORD> ReadDword(const wchar_t* key, const wchar_t* name) {
    DWORD v = 0, size = sizeof(v);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_DWORD, nullptr, &v, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return v;
}

std::optional<std::wstring> ReadString(const wchar_t* key, const wchar_t* name, HKEY root) {
    wchar_t buf[1024] = {};
    DWORD size = sizeof(buf);
    if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) return std::nullopt;
    return std::wstring(buf);
}

void WriteDword(const wchar_t* key, const wchar_t* name, DWORD value) {
    WriteRaw(key, name, REG_DWORD, &value, sizeof(value));
}

void WriteString(const wchar_t* key, const wchar_t* name, const std::wstring& text) {
    WriteRaw(key, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

void DeleteValue(const wchar_t* key, const wchar_t* name) {
    HKEY k = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS) return;
    RegDeleteValueW(k, name);
    RegCloseKey(k);
}

void DeleteKey(const wchar_t* key) {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, key);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, key);
}

KeySnapshot::KeySnapshot(const wchar_t* key) : key_(key) {
    HKEY k = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key_, 0, KEY_READ, &k) != ERROR_SUCCESS) return;
    existed_ = true;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLen = 256, type = 0, size = 0;
        if (RegEnumValueW(k, i, name, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        Value v{name, type, std::vector<BYTE>(size)};
        nameLen = 256;
        RegEnumValueW(k, i, name, &nameLen, nullptr, &type, v.bytes.data(), &size);
        v.bytes.resize(size);
        values_.push_back(std::move(v));
    }
    RegCloseKey(k);
}

KeySnapshot::~KeySnapshot() {
    if (!existed_) {
        DeleteKey(key_);
        return;
    }
    HKEY k = OpenForWrite(key_, KEY_ALL_ACCESS);
    if (!k) return;
    std::vector<std::wstring> now;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLen = 256;
        if (RegEnumValueW(k, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        now.emplace_back(name, nameLen);
    }
    for (const auto& n : now)
        RegDeleteValueW(k, n.c_str());
    for (const auto& v : values_)
        RegSetValueExW(k, v.name.c_str(), 0, v.type, v.bytes.data(), static_cast<DWORD>(v.bytes.size()));
    RegCloseKey(k);
}

ValueSnapshot::ValueSnapshot(const wchar_t* key, const wchar_t* name) : key_(key), name_(name) {
    DWORD size = 0;
    const DWORD flags = RRF_RT_ANY | RRF_NOEXPAND;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key_, name_, flags, &type_, nullptr, &size) != ERROR_SUCCESS) return;
    bytes_.resize(size);
    had_ = RegGetValueW(HKEY_LOCAL_MACHINE, key_, name_, flags, &type_, bytes_.data(), &size) == ERROR_SUCCESS;
    bytes_.resize(size);
}

ValueSnapshot::~ValueSnapshot() {
    if (had_)
        WriteRaw(key_, name_, type_, bytes_.data(), bytes_.size());
    else
        DeleteValue(key_, name_);
}

// ---- Folders, processes and windows -------------------------------------------

TempDir::TempDir(const char* prefix) {
    std::random_device rd;
    path_ = fs::temp_directory_path() / (std::string(prefix) + std::to_string(rd()));
    fs::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

HWND FindProcessWindow(DWORD pid, const wchar_t* cls, const wchar_t* title, bool visible, HWND skip) {
    struct Search {
        DWORD pid;
        const wchar_t* cls;
        const wchar_t* title;
        bool visible;
        HWND skip, found;
    } s{pid, cls, title, visible, skip, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner != s->pid || w == s->skip || (s->visible && !IsWindowVisible(w))) return TRUE;
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

bool ChildProcess::Start(const fs::path& exe, const fs::path& dir) {
    End();
    const std::wstring file = fs::path(exe).make_preferred().wstring();
    const std::wstring folder = fs::path(dir).make_preferred().wstring();
    std::wstring cmd = L"\"" + file + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    return CreateProcessW(file.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &si, &pi_) != FALSE;
}

void ChildProcess::End() {
    if (!pi_.hProcess) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(pi_.hProcess, 99);
        WaitForSingleObject(pi_.hProcess, 10000);
    }
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
    pi_ = {};
}

DWORD ChildProcess::ExitCode() const {
    DWORD code = 12345;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

bool ChildProcess::Close(HWND w) const {
    PostMessageW(w, WM_CLOSE, 0, 0);
    return WaitExit();
}

HWND ChildProcess::WaitForWindow(const wchar_t* cls, const wchar_t* title, DWORD timeoutMs, HWND skip) const {
    HWND w = nullptr;
    WaitFor(pi_.hProcess, timeoutMs, [&] { return (w = FindProcessWindow(pi_.dwProcessId, cls, title, true, skip)); });
    return w;
}

bool ChildProcess::WaitGone(HWND w, DWORD timeoutMs) const {
    return WaitFor(pi_.hProcess, timeoutMs, [&] { return !IsWindow(w) || !IsWindowVisible(w); });
}

Launcher::Launcher() {
    const fs::path dist = PathFromUtf8(VT_DIST_DIR);
    if (!fs::exists(dist / "VT.exe")) {
        ADD_FAILURE() << "build VT first";
        return;
    }
    fs::copy_file(dist / "VT.exe", Dir() / "VT.exe");
    fs::copy(dist / "SKIN", Dir() / "SKIN", fs::copy_options::recursive);
}

bool Launcher::UseDemoStore() {
    const fs::path data = PathFromUtf8(VT_DIST_DIR) / "DATA";
    if (!fs::exists(data / "TEAM.SET")) return false;
    fs::copy(data, Dir() / "DATA", fs::copy_options::recursive);
    return true;
}

std::string Launcher::AppDir() const {
    return PathToUtf8(Dir().wstring() + L"\\");
}

bool Launcher::Spawn(ChildProcess& p) const {
    return p.Start(Dir() / "VT.exe", Dir());
}

HWND Launcher::WaitForMain(const ChildProcess& p, bool shown) {
    HWND w = nullptr;
    WaitFor(p.Handle(), kTimeoutMs, [&] {
        w = FindProcessWindow(p.Id(), L"VantrelMainForm", nullptr, false);
        return w && (!shown || IsWindowVisible(w));
    });
    return w && (!shown || IsWindowVisible(w)) ? w : nullptr;
}

bool Launcher::Start(bool shown) {
    main_ = Spawn(proc_) ? WaitForMain(proc_, shown) : nullptr;
    return main_ != nullptr;
}

void EditorTest::StartEditor(const fs::path& folder) {
    ASSERT_TRUE(fs::exists(folder / "VTSkinEditor.exe")) << "build VTSkinEditor first";
    ASSERT_TRUE(editor_.Start(folder / "VTSkinEditor.exe", folder));
    main_ = WaitForMain();
    ASSERT_NE(main_, nullptr) << "the editor's window did not appear";
}

void EditorTest::TearDown() {
    // Whatever a test left unsaved is dropped: No to the question.
    if (editor_.Handle() && !editor_.Exited() && main_ && !CloseEditorDiscarding(editor_, main_))
        ADD_FAILURE() << "the editor did not end on WM_CLOSE";
    editor_.End();
}

HWND EditorTest::WaitForMain(HWND skip) const {
    return editor_.WaitForWindow(L"VTSkinEditorMain", nullptr, kDialogTimeoutMs, skip);
}

void UseClickLayout(int showItemType) {
    WriteDword(kSettingKeyW, L"RememberLastTeam", 0);
    WriteDword(kSettingKeyW, L"LaunchMode", 1);
    WriteDword(kSettingKeyW, L"ShowItemType", static_cast<DWORD>(showItemType));
    WriteDword(kSettingKeyW, L"WarnBeforeLaunch", 0);
    DeleteValue(kSettingKeyW, L"SkinPath");
}

// ---- Input --------------------------------------------------------------------

bool Settled(HWND w) {
    return SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 20000, nullptr) != 0;
}

bool SendDpiChanged(HANDLE process, HWND w, int dpi, const RECT& suggested) {
    void* remote = ::VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    if (!remote) return false;
    const bool written = ::WriteProcessMemory(process, remote, &suggested, sizeof(suggested), nullptr) != FALSE;
    if (written) ::SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote));
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return written;
}

void PostClick(HWND w, POINT at, bool right) {
    LPARAM lp = MAKELPARAM(at.x, at.y);
    PostMessageW(w, WM_MOUSEMOVE, 0, lp);
    PostMessageW(w, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, lp);
    PostMessageW(w, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, lp);
}

void PostDoubleClick(HWND w, POINT at) {
    LPARAM lp = MAKELPARAM(at.x, at.y);
    PostClick(w, at);
    PostMessageW(w, WM_LBUTTONDBLCLK, MK_LBUTTON, lp);
    PostMessageW(w, WM_LBUTTONUP, 0, lp);
}

bool ClickAtTwips(HWND w, int xTwips, int yTwips, int dpi) {
    const PixelMap map(dpi > 0 ? dpi : ScreenDpi());
    PostClick(w, POINT{map.Px(xTwips), map.Px(yTwips)});
    return Settled(w);
}

bool SelectFirstDemoItem(HWND main, int dpi) {
    return ClickAtTwips(main, 1110, 1290, dpi) && ClickAtTwips(main, 915, 2025, dpi);
}

void PostButton(HWND dlg, int id) {
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

std::wstring ControlText(HWND dlg, int id) {
    wchar_t buf[512] = {};
    SendDlgItemMessageW(dlg, id, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf));
    return buf;
}

void SetControlText(HWND dlg, int id, const std::wstring& text) {
    SendDlgItemMessageW(dlg, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool IsChecked(HWND dlg, int id) {
    return SendDlgItemMessageW(dlg, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Click(HWND dlg, int id) {
    SendDlgItemMessageW(dlg, id, BM_CLICK, 0, 0);
}

void SetChecked(HWND dlg, int id, bool on) {
    if (IsChecked(dlg, id) != on) Click(dlg, id);
}

void SelectListEntry(HWND dlg, int listId, int index) {
    HWND list = GetDlgItem(dlg, listId);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void ScrollArrow(HWND dlg, int scrollId, WORD code) {
    SendMessageW(dlg, WM_VSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(GetDlgItem(dlg, scrollId)));
}

bool DriveOpenDialog(const ChildProcess& program, const std::wstring& path) {
    HWND dlg = program.WaitForWindow(L"#32770", nullptr, kDialogTimeoutMs);
    if (!dlg) return false;
    HWND name = nullptr;
    // Explorer-style dialogs name the box cmb13 (a combo box) or edt1.
    WaitFor(program.Handle(), kDialogTimeoutMs,
            [&] { return (name = FindControl(dlg, 0x47c)) || (name = FindControl(dlg, 0x480)); });
    if (!name) return false;
    DWORD_PTR r = 0;
    ::SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_ABORTIFHUNG, 5000, &r);
    ::PostMessageW(::GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
    return WaitFor(program.Handle(), kDialogTimeoutMs, [&] { return !::IsWindow(dlg); });
}

}  // namespace vt::harness
