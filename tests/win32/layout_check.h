// Checks a window of another process the way a user looks at it: every shown
// control inside its parent, no two shown neighbours on top of each other,
// and every caption wide and tall enough for its text in the control's font.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vt {

// One line per fault found in `top` and its shown child controls, naming the
// control by class, id and caption. Empty when the layout is sound. `dpi` is
// the one the window was laid out for (0: the window's own, as this process
// can tell it); captions are measured in the program's font at that dpi when
// the control's own font cannot be read.
//
// The window must fit the screen's work area; on a screen smaller than any
// sold for that scale (the tests' 1280 x 800 display at 200 %) it must fit
// the work area of a 1024 x 720 display at that scale instead.
std::vector<std::string> CheckLayout(HWND top, int dpi = 0);

// Saves a picture of the window into ScreenshotDir() as `name`.png once two
// pictures in a row agree (under Wine a paint reaches the screen a little
// after it is done); gives up when `process` ends or after a few seconds.
bool SaveSteadyScreenshot(HANDLE process, HWND w, const std::wstring& name);

// The faults as one message for a test's failure output.
std::string JoinFaults(const std::vector<std::string>& faults);

}  // namespace vt
