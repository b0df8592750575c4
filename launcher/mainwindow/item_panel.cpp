// Item panel: ShowItems in its three layouts, selection, launching by click
// or double click, and the item picks of the order swap.
#include "launcher/mainwindow/item_panel.h"

#include <algorithm>

#include "common/ini.h"
#include "common/line_file.h"
#include "common/text.h"
#include "launcher/mainwindow/main_model.h"
#include "launcher/scene/pixel_map.h"
#include "launcher/store/password.h"
#include "launcher/store/store.h"

namespace vt {

int StockIconFor(const std::string& icon) {
    if (icon == "[LINK]") return kStockLink;
    if (icon.empty() || icon == "[FILE]") return kStockFile;
    if (icon == "[DIRECTORY]") return kStockDirectory;
    if (icon == "[EXITEM]") return kStockExItem;
    return -1;
}

int ItemColumnLeft(int index, int columns) {
    return kItemFirstLeft + (index % std::max(1, columns)) * kItemColumnPitch;
}

int ItemRow(int index, int columns) {
    return index / std::max(1, columns);
}

void MainModel::CommandsEnabled(bool team, bool item) {
    if (actions.setCommandsEnabled) actions.setCommandsEnabled(team, item);
}

void MainModel::PaintItem(int index, bool selected) {
    if (index < 0 || index >= itemCount_) return;
    Element& lab = scene_.At(Part::LabItem, index);
    lab.backColor = skin_.SkinItemColors[selected ? kItemBackSelected : kItemBackNormal];
    lab.foreColor = skin_.SkinItemColors[selected ? kItemTextSelected : kItemTextNormal];
    scene_.At(Part::PicIcon, index).border = selected;
}

void MainModel::LayOutIconsWithCaptions(int count) {
    Element& sheet = scene_.At(Part::PicItemIn);
    const int columns = std::max<int>(1, skin_.SkinItemColumns);
    const int fontSize = skin_.SkinItemFontSize;
    const int height = TextHeightTwips(fontSize);
    for (int i = 0; i < count; ++i) {
        ItemRecord item = ReadItemRecord(TeamFolder, i);
        Element& lab = scene_.At(Part::LabItem, i);
        lab.fontSize = fontSize;
        lab.text = item.Name;
        lab.align =
            services_.measure.TextWidthTwips(item.Name, fontSize) > kItemCellWidth ? Align::Left : Align::Center;
        const int rowTop = kCaptionRowFirst + ItemRow(i, columns) * kCaptionRowPitch;
        if (i % columns == 0) sheet.height = rowTop + height + 200;
        lab.left = ItemColumnLeft(i, columns);
        lab.top = rowTop;
        lab.width = kItemCellWidth;
        lab.height = height;
        lab.transparent = false;
        lab.tooltip = item.Note;
        lab.visible = true;
        PaintItem(i, false);
        Element& icon = scene_.At(Part::PicIcon, i);
        icon.tooltip = item.Note;
        icon.top = rowTop - kCaptionIconRise;  // left follows the picture's width (SetItemIcons)
        icon.left = lab.left;
    }
}

void MainModel::LayOutIconsOnly(int count) {
    Element& sheet = scene_.At(Part::PicItemIn);
    const int columns = std::max<int>(1, skin_.SkinItemColumns);
    for (int i = 0; i < count; ++i) {
        ItemRecord item = ReadItemRecord(TeamFolder, i);
        const int base = kIconRowFirst + ItemRow(i, columns) * kIconRowPitch;
        if (i % columns == 0) sheet.height = base + 100;
        Element& lab = scene_.At(Part::LabItem, i);
        lab.visible = false;
        lab.text = item.Name;
        PaintItem(i, false);
        Element& icon = scene_.At(Part::PicIcon, i);
        icon.left = ItemColumnLeft(i, columns);
        icon.top = base - kIconRise;
        icon.tooltip = "[" + item.Name + "]" + item.Note;
    }
}

void MainModel::LayOutTextList(int count) {
    Element& sheet = scene_.At(Part::PicItemIn);
    const int fontSize = skin_.SkinItemFontSize;
    const int height = TextHeightTwips(fontSize);
    int top = kListFirstTop;
    for (int i = 0; i < count; ++i) {
        ItemRecord item = ReadItemRecord(TeamFolder, i);
        Element& lab = scene_.At(Part::LabItem, i);
        lab.fontSize = fontSize;
        lab.text = item.Name;
        lab.align = Align::Left;
        lab.left = kListLeft;
        lab.top = top;
        lab.width = sheet.width - 200;
        lab.height = height;
        lab.transparent = false;
        lab.tooltip = item.Note;
        lab.visible = true;
        PaintItem(i, false);
        scene_.At(Part::PicIcon, i).visible = false;
        sheet.height = top + height + 150;
        top += height + kListGap;
    }
}

// The file whose icon an item's stored picture shows, when it is one the
// shell can draw again at a larger size: an icon of a program, library or
// icon file. A protected item's lines stay unread (no key is at hand) and
// keep their 32-pixel picture.
// `iconLines`, when given, is the team's ICON.SET already read: a panel of
// 500 items must not open the file 500 times.
static std::string SharperIconSource(const std::string& teamFolder, const ItemRecord& item, int& index,
                                     const std::vector<std::string>* iconLines) {
    if (item.Password || item.IconPath <= 0) return {};
    std::string source =
        iconLines ? (static_cast<size_t>(item.IconPath) <= iconLines->size() ? (*iconLines)[item.IconPath - 1]
                                                                             : std::string())
                  : ReadDataLine(IconSetFile(teamFolder), item.IconPath);
    // The kinds the item editor draws as icons (see PlanForIconFile).
    const std::string ext = source.size() >= 4 ? AsciiLower(source.substr(source.size() - 4)) : std::string();
    if (ext == ".dll" || ext == ".exe" || ext == ".ocx") {
        index = item.IconIndex;
        return source;
    }
    if (ext == ".ico") {
        index = 0;
        return source;
    }
    return {};
}

void MainModel::SetIconPicture(Element& icon, const std::string& teamFolder, const ItemRecord& item,
                               const std::vector<std::string>* iconLines) {
    int stock = StockIconFor(item.Icon);
    std::optional<PictureSize> size;
    if (stock < 0) {
        std::string file = ResolveItemPicture(settings_.AppDir, teamFolder, item.Icon);
        if (!file.empty()) size = services_.pictures.Probe(file);
        if (size) {
            icon.picture = file;
            icon.iconFile = SharperIconSource(teamFolder, item, icon.iconIndex, iconLines);
            icon.width = size->width * kTwipsPerPicturePixel;
            icon.height = size->height * kTwipsPerPicturePixel;
        } else {
            stock = kStockFile;  // missing or unreadable picture: the file picture
        }
    }
    if (stock >= 0) {
        icon.iconFile.clear();
        const Element& holder = scene_.At(Part::ImgInside, stock);
        icon.picture = holder.picture;
        icon.width = holder.width;
        icon.height = holder.height;
    }
}

void MainModel::SetItemIcons(int count) {
    const std::vector<std::string> iconLines =
        count > 0 ? ReadDataLines(IconSetFile(TeamFolder)) : std::vector<std::string>();
    for (int i = 0; i < count; ++i) {
        ItemRecord item = ReadItemRecord(TeamFolder, i);
        Element& icon = scene_.At(Part::PicIcon, i);
        const int cellLeft = icon.left;
        icon.border = false;
        icon.visible = true;
        SetIconPicture(icon, TeamFolder, item, &iconLines);
        icon.left = cellLeft + (kItemCellWidth - icon.width) / 2;
    }
}

void MainModel::ShowItems(int team) {
    if (ReorderState != 0) return;
    if (CurrentTeam >= 0) roller_.StopNameRoll(RollKind::Team, CurrentTeam);
    if (CurrentItem >= 0) roller_.StopNameRoll(RollKind::Item, CurrentItem);

    if (team < 0) {
        HideFindLine();
        scene_.Resize(Part::PicIcon, 1);
        scene_.Resize(Part::LabItem, 1);
        scene_.At(Part::PicIcon, 0).visible = false;
        scene_.At(Part::LabItem, 0).visible = false;
        itemCount_ = 0;
        CommandsEnabled(false, false);
        return;
    }

    TeamFolder = AskTeamFolder(settings_.AppDir, team, services_.prompts, kPromptOpenTeam);
    LayOutItems();
}

void MainModel::LayOutItems() {
    // Whatever rebuilds the panel ends a search shown in it.
    HideFindLine();
    Element& sheet = scene_.At(Part::PicItemIn);
    const Element& view = scene_.At(Part::PicItem);
    // One look at ITEM.SET for the whole rebuild instead of one per key.
    IniReadScope itemsScope(ItemSetFile(TeamFolder));
    int count = ReadItemCount(TeamFolder, services_.prompts, settings_.WarnOnError);
    itemCount_ = count;
    scene_.Resize(Part::PicIcon, count);
    scene_.Resize(Part::LabItem, count);
    // A selection that no longer exists (the item was deleted, or another team
    // has fewer items) would paint and launch a stranger.
    if (CurrentItem >= count) CurrentItem = -1;

    sheet.top = 0;
    sheet.height = 0;
    if (count == 0) {
        scene_.At(Part::PicIcon, 0).visible = false;
        scene_.At(Part::LabItem, 0).visible = false;
    } else {
        switch (settings_.ShowItemType) {
            case 1:
                LayOutIconsOnly(count);
                break;
            case 2:
                LayOutTextList(count);
                break;
            default:
                LayOutIconsWithCaptions(count);
                break;
        }
        if (settings_.ShowItemType != 2) SetItemIcons(count);
    }

    sheet.height = std::max(sheet.height, view.height);
    if (CurrentTeam >= 0) roller_.StartNameRoll(RollKind::Team, CurrentTeam, settings_.ShowItemType);
    if (CurrentItem < 0) {
        CommandsEnabled(true, false);
    } else {
        CommandsEnabled(true, true);
        if (settings_.ShowItemType != 1)
            PaintItem(CurrentItem, true);
        else
            scene_.At(Part::PicIcon, CurrentItem).border = true;
        roller_.StartNameRoll(RollKind::Item, CurrentItem, settings_.ShowItemType);
    }
}

void MainModel::ItemClick(int index) {
    if (index < 0 || index >= itemCount_) return;
    if (CurrentItem >= 0) {
        PaintItem(CurrentItem, false);
        roller_.StopNameRoll(RollKind::Item, CurrentItem);
    }
    PaintItem(index, true);
    CommandsEnabled(true, true);
    CurrentItem = index;
    roller_.StartNameRoll(RollKind::Item, index, settings_.ShowItemType);

    if (settings_.LaunchMode == 0 && actions.launchItem) actions.launchItem(TeamFolder, CurrentItem);

    if (ReorderState == 1) {
        ReorderState = 3;
        ReorderFirst = index;
        reorderFirstFolder_ = TeamFolder;
        reorderFirstName_ = ReadItemRecord(TeamFolder, index).Name;
        services_.prompts.ShowMessage(std::string(kMsgItemPicked) + reorderFirstName_ + kMsgOrderSuffix);
    } else if (ReorderState == 3) {
        ReorderState = 0;
        StoreResult swapped = SwapItems(reorderFirstFolder_, ReorderFirst, TeamFolder, index);
        ShowItems(CurrentTeam);
        if (!swapped.ok()) {
            if (settings_.WarnOnError) services_.prompts.ShowMessage(kMsgSwapFailed);
        } else if (settings_.WarnAfterDone) {
            services_.prompts.ShowMessage(std::string(kMsgItemSwapped) + reorderFirstName_ + kMsgSwappedSuffix);
        }
    }
}

void MainModel::ItemDoubleClick(int index) {
    if (index < 0 || index >= itemCount_) return;
    if (settings_.LaunchMode == 1 && CurrentItem >= 0 && actions.launchItem)
        actions.launchItem(TeamFolder, CurrentItem);
}

void MainModel::ItemMouseDown(int index, MouseButton button) {
    if (button != MouseButton::Right) return;
    ItemClick(index);
    if (actions.repaintNow) actions.repaintNow();
    if (actions.popupMenu) actions.popupMenu("QuickItem", std::nullopt);
}

void MainModel::EmptySheetClick() {
    if (CurrentItem < 0) return;
    PaintItem(CurrentItem, false);
    roller_.StopNameRoll(RollKind::Item, CurrentItem);
    CurrentItem = -1;
    CommandsEnabled(CurrentTeam >= 0, false);
}

}  // namespace vt
