// Files dropped on the item panel: one item each, through the item editor's
// rules, with the icon picture drawn as the editor's preview would draw it.
#include <windows.h>

#include "launcher/dialogs/dialog_host_win32.h"
#include "launcher/dialogs/dialogs_win32.h"
#include "launcher/dialogs/drop_items.h"
#include "launcher/dialogs/item_form_win32.h"
#include "launcher/mainwindow/main_model.h"
#include "platform/win32/win_text.h"

namespace vt {

namespace {

bool OnItemPanel(ElementId target) {
    switch (target.part) {
        case Part::PicItem:
        case Part::PicItemIn:
        case Part::PicIcon:
        case Part::LabItem:
            return true;
        default:
            return false;
    }
}

}  // namespace

void AddDroppedFiles(DialogHost& main, const std::vector<std::string>& files, ElementId target) {
    if (!OnItemPanel(target)) return;
    MainModel& model = main.Model();
    if (model.CurrentTeam < 0) return;
    std::vector<DroppedPath> paths;
    paths.reserve(files.size());
    for (const std::string& f : files) {
        DWORD attr = ::GetFileAttributesW(Widen(f).c_str());
        paths.push_back({f, attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0});
    }
    // A copy of the shared editor state: an item editor the user has open
    // keeps its icon index while the drop works with its own.
    EditorShared shared = ItemEditorShared();
    DropResult r = DropItems(
        paths, model.CurrentTeam, model.TeamFolder, main.GetRegistry(), shared, main.GetSettings(), main.GetPrompts(),
        [&main](const IconPlan& plan) -> std::optional<std::string> { return RenderIconPlanBmp(main, plan); });
    if (r.showItems && model.CurrentTeam == r.showItemsTeam) {
        model.ShowItems(r.showItemsTeam);
        main.Refresh();
    }
}

}  // namespace vt
