// What the team editor, the settings dialog and the skin chooser share beyond
// LauncherDialog: their window style, the number-box arrows, and the
// per-dialog hooks the family's PreTranslate/Close entry points call.
#pragma once

#include <windows.h>

#include "launcher/dialogs/launcher_dialog_win32.h"

namespace vt {

// Window style of the family's dialogs.
inline constexpr DWORD kTeamDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;

// The small vertical arrow pair beside a number box: the step a scroll
// notification asks for (up raises the value), 0 for a drag or an end.
int ArrowStep(WORD scrollCode);
// Gives such an arrow pair a range with room on both sides, so neither arrow
// is ever greyed: the value lives in the box, not in the bar.
void PrepareArrows(HWND scrollBar);

bool PreTranslateSettingsDialog(MSG& msg);
void CloseSettingsDialog();
bool PreTranslateSkinChooser(MSG& msg);
void CloseSkinChooser();

}  // namespace vt
