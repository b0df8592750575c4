// What the editing dialogs share: the state that outlives a single dialog and
// the result an OK step hands back to the main window.
#pragma once

#include <cstddef>
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
    bool close = false;      // the dialog is done (false: it stays open)
    bool showTeams = false;  // rebuild the team bar
    bool showItems = false;  // rebuild the item panel of showItemsTeam
    int showItemsTeam = -1;
    bool applySettings = false;     // ApplySettings(not first), with name scrolling stopped around it
    bool applySkin = false;         // hide the window, ApplySkin(skinFolder), show the window
    std::string skinFolder;         // full path of the skin folder for applySkin
    bool applyMainOpacity = false;  // set the main window's alpha to mainOpacity at once
    int mainOpacity = 255;
    // Shown by the window once it has done the above (empty: nothing).
    std::string messageAfter;
};

// A profile value reads back at most 254 bytes of the ANSI code page: names
// and notes are held to that, so what is saved reads back unchanged.
inline constexpr size_t kProfileTextMaxBytes = 254;

// Input-check messages for a field (named as its label, without the colon)
// whose text the ANSI code page cannot hold, or that is longer than can be
// stored.
inline std::string UnstorableCharsMessage(const std::string& field, const std::string& chars) {
    return field + "中含有无法保存的字符:" + chars + ",请修改";
}
inline std::string TooLongMessage(const std::string& field, size_t maxBytes) {
    return field + "太长,最多只能保存" + std::to_string(maxBytes) + "个字节,请修改";
}

// Dialog captions and button texts.
inline constexpr const char* kCaptionOk = "确定(&O)";
inline constexpr const char* kCaptionCancel = "取消(&C)";

}  // namespace vt
