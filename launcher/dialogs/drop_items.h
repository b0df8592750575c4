// Files and folders dropped on the item panel become items of the open team,
// each through the item editor's own rules, without showing the editor.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "launcher/dialogs/form_common.h"
#include "launcher/dialogs/icon_rules.h"
#include "launcher/settings/settings.h"
#include "platform/prompts.h"
#include "platform/registry.h"

namespace vt {

struct DroppedPath {
    std::string path;
    bool isFolder = false;  // the file attributes carry the directory bit
};

// Draws an icon plan into a picture file (bitmap bytes) the way the editor's
// preview would; nullopt when nothing could be drawn.
using PreviewRenderer = std::function<std::optional<std::string>(const IconPlan&)>;

// A dropped file whose path the ANSI code page cannot hold and that has no
// short name: "添加项目" + path + this + the characters.
inline constexpr const char* kMsgDropUnstorable = "失败,路径中含有无法保存的字符:";

struct DropResult {
    int added = 0;           // items written
    int skipped = 0;         // paths that could not be stored (each reported)
    bool showItems = false;  // the item panel must be rebuilt
    int showItemsTeam = -1;
};

// Adds one item per path, in the order given, to team currentTeam whose
// folder is teamFolder. Nothing happens when no team is open. A path with
// characters the code page cannot hold is stored by its short name, or
// skipped with a message when it has none. Stops at the first item that
// cannot be written (its message has been shown).
DropResult DropItems(const std::vector<DroppedPath>& paths, int currentTeam, const std::string& teamFolder,
                     Registry& reg, EditorShared& shared, const Settings& settings, Prompts& prompts,
                     const PreviewRenderer& render, const ShortPathFn& shortPath = ShortPathName);

}  // namespace vt
