// Entry points of the launcher's dialogs, called by the menu commands and the
// main window. Each dialog is a single instance: opening it again closes the
// open one first and refills it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "launcher/scene/scene.h"

namespace vt {

class DialogHost;

// Item editor (caption "添加项目" / "编辑项目"); the edit form is filled from
// item CurrentItem of TeamFolder, decoded with the password already asked.
void ShowItemEditorForAdd(DialogHost& main);
void ShowItemEditorForEdit(DialogHost& main, const std::string& password);
// Team editor (caption "添加类别" / "编辑类别").
void ShowTeamEditorForAdd(DialogHost& main);
void ShowTeamEditorForEdit(DialogHost& main, const std::string& password);
void ShowSettingsDialog(DialogHost& main);
void ShowSkinChooser(DialogHost& main);
void ShowAboutBox(DialogHost& main);
// Files dropped on the item panel become items of the current team.
void AddDroppedFiles(DialogHost& main, const std::vector<std::string>& files, ElementId target);

// Modeless dialogs need their keyboard messages; true when msg was consumed.
bool PreTranslateDialogMessage(MSG& msg);
// The unload step closes every other launcher window.
void CloseAllDialogs();

// Per dialog family (item editor, extended item editor and folder picker;
// team editor, settings and skin chooser), used by the two above.
bool PreTranslateItemDialogs(MSG& msg);
bool PreTranslateTeamDialogs(MSG& msg);
void CloseItemDialogs();
void CloseTeamDialogs();

}  // namespace vt
