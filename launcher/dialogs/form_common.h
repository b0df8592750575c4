// What the editing dialogs share: the state that outlives a single dialog and
// the result an OK step hands back to the main window.
#pragma once

#include <string>

namespace vt {

// Lives as long as the program: the icon index shown in the item editor's
// preview, and the folder of the last file or folder the user picked (with a
// trailing backslash; empty until the first pick).
struct EditorShared {
    int EditIconIndex = 0;
    std::string RememberedFolder;
};

// What the main window must do after a dialog's OK or Cancel step.
struct FormOutcome {
    bool close = false;          // the dialog is done (false: it stays open)
    bool showTeams = false;      // rebuild the team bar
    bool showItems = false;      // rebuild the item panel of showItemsTeam
    int showItemsTeam = -1;
    bool applySettings = false;  // ApplySettings(not first), with name scrolling stopped around it
    bool applySkin = false;      // hide the window, ApplySkin(skinFolder), show the window
    std::string skinFolder;      // full path of the skin folder for applySkin
    bool applyMainOpacity = false;  // set the main window's alpha to mainOpacity at once
    int mainOpacity = 255;
    // Shown by the window once it has done the above (empty: nothing).
    std::string messageAfter;
};

// Dialog captions and button texts.
inline constexpr const char* kCaptionOk = "确定(&O)";
inline constexpr const char* kCaptionCancel = "取消(&C)";

}  // namespace vt
