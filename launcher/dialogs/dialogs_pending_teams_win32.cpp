// Temporary: the team editor, settings and skin chooser windows are not there
// yet; their menu entries open nothing.
#include "launcher/dialogs/dialogs_win32.h"

namespace vt {

void ShowTeamEditorForAdd(MainWindow&) {}
void ShowTeamEditorForEdit(MainWindow&, const std::string&) {}
void ShowSettingsDialog(MainWindow&) {}
void ShowSkinChooser(MainWindow&) {}
bool PreTranslateTeamDialogs(MSG&) { return false; }
void CloseTeamDialogs() {}

}  // namespace vt
