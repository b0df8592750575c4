#include "launcher/dialogs/drop_items.h"

#include "launcher/dialogs/folder_form.h"
#include "launcher/dialogs/item_form.h"

#include <vector>

namespace vt {

namespace {

// Holds the editor's messages back: a refusal meant for a dialog the user
// sees ("请修改") is told differently for a drop.
class HeldMessages : public Prompts {
public:
    explicit HeldMessages(Prompts& inner) : inner_(inner) {}
    bool Confirm(const std::string& text, const std::string& caption) override { return inner_.Confirm(text, caption); }
    std::string AskPassword(const std::string& prompt) override { return inner_.AskPassword(prompt); }
    void ShowMessage(const std::string& text) override { held_.push_back(text); }
    void Release() {
        for (const std::string& text : held_)
            inner_.ShowMessage(text);
        held_.clear();
    }

private:
    Prompts& inner_;
    std::vector<std::string> held_;
};

}  // namespace

DropResult DropItems(const std::vector<DroppedPath>& paths, int currentTeam, const std::string& teamFolder,
                     Registry& reg, EditorShared& shared, const Settings& settings, Prompts& prompts,
                     const PreviewRenderer& render, const ShortPathFn& shortPath) {
    DropResult result;
    if (currentTeam < 0) return result;
    for (const DroppedPath& dropped : paths) {
        if (dropped.path.empty()) continue;
        // A fresh editor per path, so nothing typed for one item leaks into
        // the next.
        ItemForm form(reg, shared);
        form.shortPath = shortPath;
        form.OnLoad();
        form.OpenForAdd(currentTeam, teamFolder);
        form.cboType = -1;
        form.SetPath(dropped.isFolder ? FolderAsItemPath(dropped.path) : dropped.path);
        form.cboMode = 0;
        std::optional<std::string> picture;
        if (render) picture = render(form.preview);
        HeldMessages held(prompts);
        FormOutcome out = form.OnOk(settings, held, picture);
        if (!out.close && !form.refusedChars.empty()) {
            // Nothing of this one was written; the other files still go in.
            if (settings.WarnOnFormat)
                prompts.ShowMessage(std::string(kCaptionAddItem) + form.txtPath + kMsgDropUnstorable +
                                    form.refusedChars);
            ++result.skipped;
            continue;
        }
        held.Release();
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
