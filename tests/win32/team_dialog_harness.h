// Drives VT.exe from outside for the team editor, settings and skin chooser
// tests: a fresh copy of the program folder, the launcher's registry values
// saved and put back, its dialogs found by title and filled through their
// controls.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "platform/win32/win_text.h"

namespace vt::dialog_test {

namespace fs = std::filesystem;

inline constexpr wchar_t kSettingKeyW[] = L"SOFTWARE\\Oskarn\\Vantrel\\Setting";
inline constexpr wchar_t kDataKeyW[] = L"SOFTWARE\\Oskarn\\Vantrel\\Data";
inline constexpr wchar_t kRunKeyW[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr DWORD kTimeoutMs = 60000;        // start-up under a cold Wine
inline constexpr DWORD kDialogTimeoutMs = 30000;  // a dialog after its command

// Waits until cond() holds; the pause between checks waits on the process
// (so a crashed launcher ends the wait at once), never a bare sleep.
inline bool WaitFor(HANDLE process, DWORD timeoutMs, const std::function<bool()>& cond) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!cond()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        if (WaitForSingleObject(process ? process : GetCurrentProcess(), 50) == WAIT_OBJECT_0) return cond();
    }
    return true;
}

// Every value of a key, to be put back exactly (values added meanwhile go).
class KeySnapshot {
public:
    explicit KeySnapshot(const wchar_t* key) : key_(key) {
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
    ~KeySnapshot() {
        HKEY k = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key_, 0, KEY_ALL_ACCESS, &k) == ERROR_SUCCESS) {
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
    }
    KeySnapshot(const KeySnapshot&) = delete;
    KeySnapshot& operator=(const KeySnapshot&) = delete;

private:
    struct Value {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> bytes;
    };
    const wchar_t* key_;
    bool existed_ = false;
    std::vector<Value> values_;
};

// The autorun value alone: the Run key holds other programs' entries.
class RunValueSnapshot {
public:
    RunValueSnapshot() {
        DWORD size = 0;
        if (RegGetValueW(HKEY_LOCAL_MACHINE, kRunKeyW, L"Vantrel", RRF_RT_ANY, &type_, nullptr, &size) != ERROR_SUCCESS)
            return;
        bytes_.resize(size);
        if (RegGetValueW(HKEY_LOCAL_MACHINE, kRunKeyW, L"Vantrel", RRF_RT_ANY, &type_, bytes_.data(), &size) ==
            ERROR_SUCCESS) {
            bytes_.resize(size);
            had_ = true;
        }
    }
    ~RunValueSnapshot() {
        HKEY k = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunKeyW, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) !=
            ERROR_SUCCESS)
            return;
        if (had_)
            RegSetValueExW(k, L"Vantrel", 0, type_, bytes_.data(), static_cast<DWORD>(bytes_.size()));
        else
            RegDeleteValueW(k, L"Vantrel");
        RegCloseKey(k);
    }
    RunValueSnapshot(const RunValueSnapshot&) = delete;
    RunValueSnapshot& operator=(const RunValueSnapshot&) = delete;

private:
    bool had_ = false;
    DWORD type_ = 0;
    std::vector<BYTE> bytes_;
};

inline std::optional<DWORD> ReadDword(const wchar_t* key, const wchar_t* name) {
    DWORD v = 0, size = sizeof(v);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_DWORD, nullptr, &v, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return v;
}

inline std::optional<std::wstring> ReadString(const wchar_t* key, const wchar_t* name) {
    wchar_t buf[1024] = {};
    DWORD size = sizeof(buf);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buf);
}

inline void WriteDword(const wchar_t* key, const wchar_t* name, DWORD d) {
    HKEY k = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&d), sizeof(d));
    RegCloseKey(k);
}

inline void DeleteValue(const wchar_t* key, const wchar_t* name) {
    HKEY k = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS) return;
    RegDeleteValueW(k, name);
    RegCloseKey(k);
}

// A top-level window of the process with this class and (when given) title.
inline HWND FindProcessWindow(DWORD pid, const wchar_t* cls, const wchar_t* title = nullptr, bool visible = true) {
    struct Search {
        DWORD pid;
        const wchar_t* cls;
        const wchar_t* title;
        bool visible;
        HWND found;
    } s{pid, cls, title, visible, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner != s->pid || (s->visible && !IsWindowVisible(w))) return TRUE;
            wchar_t name[64] = {};
            GetClassNameW(w, name, 64);
            if (wcscmp(name, s->cls) != 0) return TRUE;
            if (s->title) {
                wchar_t text[128] = {};
                GetWindowTextW(w, text, 128);
                if (wcscmp(text, s->title) != 0) return TRUE;
            }
            s->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

inline std::wstring ControlText(HWND dlg, int id) {
    wchar_t buf[512] = {};
    SendDlgItemMessageW(dlg, id, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf));
    return buf;
}

inline void SetControlText(HWND dlg, int id, const std::wstring& text) {
    SendDlgItemMessageW(dlg, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

inline bool IsChecked(HWND dlg, int id) {
    return SendDlgItemMessageW(dlg, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// A user's click: the button changes its state and tells the dialog.
inline void Click(HWND dlg, int id) {
    SendDlgItemMessageW(dlg, id, BM_CLICK, 0, 0);
}

inline void SetChecked(HWND dlg, int id, bool on) {
    if (IsChecked(dlg, id) != on) Click(dlg, id);
}

// VT.exe in a temporary copy of the program folder.
class Launcher {
public:
    Launcher() {
        fs::path dist = PathFromUtf8(VT_DIST_DIR);
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("vt-dlg-" + std::to_string(rd()));
        fs::create_directories(dir_);
        fs::copy_file(dist / "VT.exe", dir_ / "VT.exe");
        fs::copy(dist / "SKIN", dir_ / "SKIN", fs::copy_options::recursive);
    }
    ~Launcher() {
        if (pi_.hProcess) {
            if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(pi_.hProcess, 99);
                WaitForSingleObject(pi_.hProcess, 10000);
            }
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    const fs::path& Dir() const { return dir_; }
    // The program folder as the launcher writes it (backslashes, trailing one).
    std::string AppDir() const { return PathToUtf8(dir_.wstring() + L"\\"); }

    // Starts the launcher and waits until its main window is shown, its load
    // step done; or, with shown false, only until the window exists (a
    // password prompt of the load step keeps it hidden).
    bool Start(bool shown = true) {
        std::wstring exe = (dir_ / "VT.exe").wstring();
        std::wstring cmd = L"\"" + exe + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir_.wstring().c_str(), &si,
                            &pi_))
            return false;
        WaitFor(pi_.hProcess, kTimeoutMs, [&] {
            main_ = FindProcessWindow(pi_.dwProcessId, L"VantrelMainForm", nullptr, false);
            return main_ != nullptr && (!shown || IsWindowVisible(main_));
        });
        return main_ != nullptr && (!shown || IsWindowVisible(main_));
    }

    HWND Main() const { return main_; }
    HANDLE Process() const { return pi_.hProcess; }

    // A menu command, as the menus and accelerators send it.
    void Command(WORD id) const { PostMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    HWND WaitForDialog(const wchar_t* title) const {
        HWND dlg = nullptr;
        WaitFor(pi_.hProcess, kDialogTimeoutMs, [&] {
            dlg = FindProcessWindow(pi_.dwProcessId, L"#32770", title);
            return dlg != nullptr;
        });
        return dlg;
    }

    bool WaitGone(HWND w) const {
        return WaitFor(pi_.hProcess, kDialogTimeoutMs, [&] { return !IsWindow(w) || !IsWindowVisible(w); });
    }

    // Closes the launcher and waits for the process to end.
    bool Close() {
        PostMessageW(main_, WM_CLOSE, 0, 0);
        return WaitForSingleObject(pi_.hProcess, 30000) == WAIT_OBJECT_0;
    }

private:
    fs::path dir_;
    PROCESS_INFORMATION pi_{};
    HWND main_ = nullptr;
};

}  // namespace vt::dialog_test
