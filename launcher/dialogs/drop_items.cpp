#include "launcher/dialogs/drop_items.h"

#include "launcher/dialogs/folder_form.h"
#include "launcher/dialogs/item_form.h"

namespace vt {

DropResult DropItems(const std::vector<DroppedPath>& paths, int currentTeam, const std::string& teamFolder,
                     Registry& reg, EditorShared& shared, const Settings& settings, Prompts& prompts,
                     const PreviewRenderer& render) {
    DropResult result;
    if (currentTeam < 0) return result;
    for (const DroppedPath& dropped : paths) {
        if (dropped.path.empty()) continue;
        // A fresh editor per path, so nothing typed for one item leaks into
        // the next.
        ItemForm form(reg, shared);
        form.OnLoad();
        form.OpenForAdd(currentTeam, teamFolder);
        form.cboType = -1;
        form.SetPath(dropped.isFolder ? FolderAsItemPath(dropped.path) : dropped.path);
        form.cboMode = 0;
        std::optional<std::string> picture;
        if (render) picture = render(form.preview);
        FormOutcome out = form.OnOk(settings, prompts, picture);
        if (out.showItems) {
            result.showItems = true;
            result.showItemsTeam = currentTeam;
        }
        if (!out.close) break;
        ++result.added;
    }
    return result;
}

}  // namespace vt
