// Temporary: About box; dispatch of dialog messages to each dialog family.
#include "launcher/dialogs/dialogs_win32.h"

namespace vt {

void ShowAboutBox(MainWindow&) {}

bool PreTranslateDialogMessage(MSG& msg) { return PreTranslateItemDialogs(msg) || PreTranslateTeamDialogs(msg); }

void CloseAllDialogs() {
    CloseItemDialogs();
    CloseTeamDialogs();
}

}  // namespace vt
