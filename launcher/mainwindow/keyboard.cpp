// The main window's keys on the model: moving the current item, switching
// teams, launching and the menu key. Each goes through the path the mouse
// uses, so passwords, launch rules and menus behave the same.
#include <algorithm>

#include "launcher/mainwindow/item_panel.h"
#include "launcher/mainwindow/main_model.h"

namespace vt {

std::pair<int, int> MainModel::ItemBand(int index) const {
    int top = 0, bottom = 0;
    bool any = false;
    for (Part p : {Part::PicIcon, Part::LabItem}) {
        const Element& e = scene_.At(p, index);
        if (!e.visible) continue;
        top = any ? std::min(top, e.top) : e.top;
        bottom = any ? std::max(bottom, e.top + e.height) : e.top + e.height;
        any = true;
    }
    return {top, bottom};
}

NavGrid MainModel::Grid() const {
    NavGrid g;
    g.count = itemCount_;
    const int view = scene_.At(Part::PicItem).height;
    if (settings_.ShowItemType == 2) {
        g.columns = 1;
        const int pitch = itemCount_ > 1 ? scene_.At(Part::LabItem, 1).top - scene_.At(Part::LabItem, 0).top : 0;
        g.rowsPerPage = RowsPerPage(view, pitch);
    } else {
        g.columns = std::max<int>(1, skin_.SkinItemColumns);
        g.rowsPerPage = RowsPerPage(view, settings_.ShowItemType == 1 ? kIconRowPitch : kCaptionRowPitch);
    }
    return g;
}

void MainModel::SelectItem(int index) {
    if (index < 0 || index >= itemCount_) return;
    if (index != CurrentItem) {
        if (CurrentItem >= 0) {
            PaintItem(CurrentItem, false);
            roller_.StopNameRoll(RollKind::Item, CurrentItem);
        }
        CurrentItem = index;
        PaintItem(index, true);
        CommandsEnabled(true, true);
        roller_.StartNameRoll(RollKind::Item, index, settings_.ShowItemType);
    }
    auto [top, bottom] = ItemBand(index);
    Element& sheet = scene_.At(Part::PicItemIn);
    // The first row shows the sheet's top margin, the last its bottom one.
    const NavGrid grid = Grid();
    if (index < grid.columns) top = 0;
    if (index / grid.columns == (itemCount_ - 1) / grid.columns) bottom = sheet.height;
    sheet.top = ScrollToShow(sheet.top, top, bottom, scene_.At(Part::PicItem).height, sheet.height);
}

void MainModel::OnNavKey(NavKey key) {
    if (ReorderState != 0) return;  // a swap waits for clicks
    if (finding_) {
        // The results are one column; the line has no caret to move.
        if (key == NavKey::Left || key == NavKey::Right || found_.empty()) return;
        const int view = scene_.At(Part::PicItem).height - FindLineHeight();
        NavGrid g{static_cast<int>(found_.size()), 1, RowsPerPage(view, foundRowPitch_)};
        return SelectFound(NextItem(key, foundSelected_, g));
    }
    Element& sheet = scene_.At(Part::PicItemIn);
    if (key == NavKey::PageUp || key == NavKey::PageDown)
        sheet.top = ScrollPage(sheet.top, key == NavKey::PageDown, scene_.At(Part::PicItem).height, sheet.height);
    const int next = NextItem(key, CurrentItem, Grid());
    if (next >= 0) SelectItem(next);
}

void MainModel::SwitchTeam(bool forward) {
    const int next = NextTeam(CurrentTeam, teamCount_, forward);
    if (next < 0) return;
    TeamClick(next);
    // The caption comes into sight in the team bar, as the item does in the panel.
    const Element& cap = scene_.At(Part::LabTeam, next);
    Element& strip = scene_.At(Part::PicTeamIn);
    const int view = scene_.At(Part::PicTeam).width;
    if (cap.left + strip.left < 0) strip.left = -cap.left + kTeamFirstLeft;
    if (cap.left + cap.width + strip.left > view) strip.left = view - cap.left - cap.width - kTeamFirstLeft;
    strip.left = std::clamp(strip.left, std::min(0, view - strip.width), 0);
}

void MainModel::LaunchCurrent() {
    if (finding_) return LaunchFound();
    // "Menu only" launching starts nothing from the panel, by mouse or by key.
    if (settings_.LaunchMode > 1) return;
    if (CurrentItem < 0 || CurrentItem >= itemCount_ || !actions.launchItem) return;
    actions.launchItem(TeamFolder, CurrentItem);
}

void MainModel::ItemMenuFromKeyboard() {
    if (!actions.popupMenu || finding_) return;
    if (CurrentItem >= 0 && CurrentItem < itemCount_) {
        SelectItem(CurrentItem);
        auto [top, bottom] = ItemBand(CurrentItem);
        const Rect sheet = scene_.WindowRect(ElementId{Part::PicItemIn, 0});
        const Element& lab = scene_.At(Part::LabItem, CurrentItem);
        const Element& icon = scene_.At(Part::PicIcon, CurrentItem);
        const int left = lab.visible ? lab.left : icon.left;
        actions.popupMenu("QuickItem", std::make_pair(sheet.left + left, sheet.top + bottom));
        return;
    }
    const Rect view = scene_.WindowRect(ElementId{Part::PicItem, 0});
    actions.popupMenu("QuickItem2", std::make_pair(view.left + 100, view.top + 100));
}

}  // namespace vt
