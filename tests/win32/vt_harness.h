// Drives the programs from outside, the way the Wine UI tests meet them: a
// fresh copy of the program folder, the launcher's registry values saved and
// put back, a process started there, its windows found by class and title,
// and its dialogs filled through their controls.
#pragma once

#include <windows.h>

#include "tests/win32/log_pixels.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "platform/win32/win_text.h"
#include "tests/win32/wine_ui.h"

namespace vt::harness {

namespace fs = std::filesystem;

inline constexpr wchar_t kSettingKeyW[] = L"SOFTWARE\\Oskarn\\Vantrel\\Setting";
inline constexpr wchar_t kDataKeyW[] = L"SOFTWARE\\Oskarn\\Vantrel\\Data";
inline constexpr wchar_t kRunKeyW[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr DWORD kTimeoutMs = 60000;        // start-up under a cold Wine
inline constexpr DWORD kDialogTimeoutMs = 30000;  // a dialog after its command

// ---- Registry values under HKEY_LOCAL_MACHINE -------------------------------

std::optional<DWORD> ReadDword(const wchar_t* key, const wchar_t* name);
std::optional<std::wstring> ReadString(const wchar_t* key, const wchar_t* name, HKEY root = HKEY_LOCAL_MACHINE);
void WriteDword(const wchar_t* key, const wchar_t* name, DWORD value);
void WriteString(const wchar_t* key, const wchar_t* name, const std::wstring& text);
void DeleteValue(const wchar_t* key, const wchar_t* name);
// The key with everything below it, as on a machine that never had it.
void DeleteKey(const wchar_t* key);

// Every value of a key, put back exactly on destruction (values added
// meanwhile go; a key deleted meanwhile comes back).
class KeySnapshot {
public:
    explicit KeySnapshot(const wchar_t* key);
    ~KeySnapshot();
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

// One value alone, for keys shared with other programs (the autorun entries).
class ValueSnapshot {
public:
    ValueSnapshot(const wchar_t* key, const wchar_t* name);
    ~ValueSnapshot();
    ValueSnapshot(const ValueSnapshot&) = delete;
    ValueSnapshot& operator=(const ValueSnapshot&) = delete;

private:
    const wchar_t* key_;
    const wchar_t* name_;
    bool had_ = false;
    DWORD type_ = 0;
    std::vector<BYTE> bytes_;
};

// ---- Folders, processes and their windows -----------------------------------

// A new folder under the temporary folder, removed with its contents.
class TempDir {
public:
    explicit TempDir(const char* prefix);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

// A top-level window of the process with this class and title (either may be
// null for any), other than `skip`.
HWND FindProcessWindow(DWORD pid, const wchar_t* cls, const wchar_t* title = nullptr, bool visible = true,
                       HWND skip = nullptr);

// A program started by a test; one still running at destruction is ended
// and waited for, so its single-instance mutex is gone for the next test.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess() { End(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Ends whatever this object started before. An empty `dir` keeps the
    // test's current folder.
    bool Start(const fs::path& exe, const fs::path& dir = {});
    HANDLE Handle() const { return pi_.hProcess; }
    DWORD Id() const { return pi_.dwProcessId; }
    bool Exited() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; }
    bool WaitExit(DWORD timeoutMs = 30000) const {
        return WaitForSingleObject(pi_.hProcess, timeoutMs) == WAIT_OBJECT_0;
    }
    DWORD ExitCode() const;
    // WM_CLOSE to `w`, then waits for the process to end.
    bool Close(HWND w) const;

    // A visible window of the process (see FindProcessWindow); null when none
    // came in time or the process ended.
    HWND WaitForWindow(const wchar_t* cls, const wchar_t* title = nullptr, DWORD timeoutMs = kDialogTimeoutMs,
                       HWND skip = nullptr) const;
    bool WaitGone(HWND w, DWORD timeoutMs = kDialogTimeoutMs) const;
    // Ends the process if it still runs, and lets go of it.
    void End();

private:
    PROCESS_INFORMATION pi_{};
};

// VT.exe in a temporary copy of the program folder (the program and its skins).
class Launcher {
public:
    Launcher();
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // Adds the build's demo store; false when it was not built.
    bool UseDemoStore();
    const fs::path& Dir() const { return dir_.Path(); }
    // The program folder as the launcher writes it (backslashes, trailing one).
    std::string AppDir() const;

    // Starts one more VT.exe from this folder.
    bool Spawn(ChildProcess& p) const;
    // The main window of a started VT.exe once shown, its load step done; or,
    // with shown false, once it exists (a password prompt of the load step
    // keeps it hidden).
    static HWND WaitForMain(const ChildProcess& p, bool shown = true);
    // Spawn and WaitForMain for the launcher these calls below talk to.
    bool Start(bool shown = true);

    HWND Main() const { return main_; }
    HANDLE Process() const { return proc_.Handle(); }
    ChildProcess& Proc() { return proc_; }
    bool Alive() const { return !proc_.Exited() && IsWindow(main_); }

    // A menu command, as the menus and accelerators send it.
    void Command(WORD id) const { PostMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    HWND WaitForDialog(const wchar_t* title) const { return proc_.WaitForWindow(L"#32770", title); }
    bool WaitGone(HWND w) const { return proc_.WaitGone(w); }
    // Closes the main window and waits for the process to end.
    bool Close() const { return proc_.Close(main_); }
    DWORD ExitCode() const { return proc_.ExitCode(); }

private:
    TempDir dir_{"vt-ui-"};
    ChildProcess proc_;  // after dir_: ends before its folder goes
    HWND main_ = nullptr;
};

// Both keys of the launcher put back exactly after the test, once the
// launcher has ended (it writes some values at exit). More than one launcher
// may run unless a test says otherwise: one left over from elsewhere must not
// end the test's own at its start.
class LauncherTest : public ::testing::Test {
protected:
    LauncherTest() { WriteDword(kSettingKeyW, L"OnlyLaunchOne", 0); }

    KeySnapshot settingKey_{kSettingKeyW};
    KeySnapshot dataKey_{kDataKeyW};
    Launcher launcher_;
};

// VTSkinEditor.exe started from the program folder (SetUp) or from a copy,
// with its main window shown; it must end when that window is closed.
class EditorTest : public ::testing::Test {
protected:
    void SetUp() override { StartEditor(PathFromUtf8(VT_DIST_DIR)); }
    void TearDown() override;
    void StartEditor(const fs::path& folder);
    // The editor's main window other than `skip`.
    HWND WaitForMain(HWND skip = nullptr) const;

    ChildProcess editor_;
    HWND main_ = nullptr;
};

// The common file dialog the program opens next: the full path typed into
// its file name box, then its OK button; true once the dialog is gone.
bool DriveOpenDialog(const ChildProcess& program, const std::wstring& path);

// The screen's DPI as Wine reads it when a program starts, for one test.
using ::vt::ScopedLogPixels;

// The default skin, one click to select an item, items shown as `showItemType`
// and started without a question: the layout the tests click at.
void UseClickLayout(int showItemType = 0);

// The launcher on the demo store, for tests that open its dialogs: their
// rectangles read in their own pixels, the item editor's advanced part folded.
class DemoDialogTest : public LauncherTest {
protected:
    void SetUp() override {
        ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
        ASSERT_TRUE(launcher_.UseDemoStore()) << "build the demo store first";
        UseClickLayout();
        WriteDword(kSettingKeyW, L"ShowItemExSetting", 0);
        ASSERT_TRUE(launcher_.Start());
    }
    void TearDown() override { EXPECT_TRUE(launcher_.Close()); }
};

// ---- Input posted to windows and dialogs ------------------------------------

// True once the window's thread takes a sent message: it is not stuck. Sent
// messages overtake posted ones, so this says nothing about posted input;
// wait on what that input changes instead.
bool Settled(HWND w);

void PostClick(HWND w, POINT at, bool right = false);
// What the system sends a window of `process` that moved to a monitor of
// another DPI: WM_DPICHANGED with the rectangle it suggests, put into the
// program's own memory as the system would pass it. False when it could not.
bool SendDpiChanged(HANDLE process, HWND w, int dpi, const RECT& suggested);
void PostDoubleClick(HWND w, POINT at);
// A left click at a point of the window given in twips, then Settled. `dpi`
// is the window's (0: this process's screen, where both started alike).
bool ClickAtTwips(HWND w, int xTwips, int yTwips, int dpi = 0);
// The first demo team's caption, then its first item, in the default skin.
bool SelectFirstDemoItem(HWND main, int dpi = 0);

// A button press that does not wait for its effect: the buttons that open a
// modal window would hold a sent message.
void PostButton(HWND dlg, int id);

std::wstring ControlText(HWND dlg, int id);
void SetControlText(HWND dlg, int id, const std::wstring& text);
bool IsChecked(HWND dlg, int id);
// A user's click: the button changes its state and tells the dialog.
void Click(HWND dlg, int id);
void SetChecked(HWND dlg, int id, bool on);
// Selects a list box entry and tells the dialog, as a click on it would.
void SelectListEntry(HWND dlg, int listId, int index);
// One press of a scroll bar's arrow (SB_LINEUP / SB_LINEDOWN).
void ScrollArrow(HWND dlg, int scrollId, WORD code);

}  // namespace vt::harness
