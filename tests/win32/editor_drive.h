// Driving the skin editor's dialogs from outside its process: the common
// file dialogs, the folder browser and its message boxes.
#pragma once

#include <windows.h>

#include <string>

#include "tests/win32/vt_harness.h"

namespace vt::harness {

inline constexpr DWORD kEditorDialogMs = 30000;

// WM_SETTEXT that gives up on a hung window.
void SetText(HWND h, const std::wstring& text);
// The common file dialog of the editor: types the full path into its file
// name box and presses the OK button (打开 or 保存).
bool DriveFileDialog(const ChildProcess& ed, const std::wstring& path);
// The shell's folder browser led to `folder`, then OK. Empty when done, else
// what went wrong.
std::string DriveFolderDialog(const ChildProcess& ed, const fs::path& folder);
// Captions and texts of the dialogs the editor shows, for failure messages.
std::wstring DescribeDialogs(DWORD pid);

// A message box of the editor with this caption, and its text.
HWND WaitForMessageBox(const ChildProcess& ed, const wchar_t* caption);
std::wstring MessageBoxText(HWND box);
// Closes the editor's window, answering No when it asks whether to save.
bool CloseEditorDiscarding(const ChildProcess& ed, HWND main);

}  // namespace vt::harness
