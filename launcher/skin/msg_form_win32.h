// The message popup window. At most one exists; ShowMessage replaces it.
#pragma once

#include <windows.h>

#include <string>

#include "platform/registry.h"

namespace vt {

// Shows text in a fresh popup that slides up at the bottom right of the work
// area; closes the one showing, if any. Returns at once.
void ShowMessagePopup(HINSTANCE instance, Registry& reg, const std::string& text);
// Closes the popup now, if one is showing (program exit).
void CloseMessagePopup();
// The popup window, or nullptr (tests and the exit step look at it).
HWND MessagePopupWindow();

}  // namespace vt
