#include "launcher/mainwindow/main_model.h"

#include "launcher/mainwindow/item_panel.h"
#include "launcher/mainwindow/team_bar.h"

namespace vt {

namespace {

struct ChromePart {
    Part label;
    Part pictures;
    ChromeButton button;
};

constexpr ChromePart kChromeParts[] = {
    {Part::LabClose, Part::ImgClose, ChromeButton::Close}, {Part::LabMin, Part::ImgMin, ChromeButton::Min},
    {Part::LabLeft, Part::ImgLeft, ChromeButton::Left},    {Part::LabRight, Part::ImgRight, ChromeButton::Right},
    {Part::LabUp, Part::ImgUp, ChromeButton::Up},          {Part::LabDown, Part::ImgDown, ChromeButton::Down},
};

const ChromePart* ChromeFor(Part label) {
    for (const ChromePart& c : kChromeParts) {
        if (c.label == label) return &c;
    }
    return nullptr;
}

bool IsScrollButton(ChromeButton b) {
    return b != ChromeButton::Close && b != ChromeButton::Min;
}

bool IsItemPart(Part p) {
    return p == Part::PicIcon || p == Part::LabItem;
}

}  // namespace

MainModel::MainModel(MainModelServices services, const Settings& settings)
    : services_(services), settings_(settings), roller_(*this) {
    // The lock starts with its off picture whatever the setting; only the tooltip follows it.
    scene_.At(Part::LabLock).tooltip = settings.StandOnTop ? kTipOnTopEnabled : kTipOnTopDisabled;
}

// ---- Rebuilds ----------------------------------------------------------------

void MainModel::ApplySkin(const std::string& skinFolder) {
    std::vector<std::string> problems =
        ApplySkinToScene(skinFolder, scene_, skin_, services_.measure, services_.pictures);
    if (!problems.empty() && settings_.WarnOnError) {
        services_.prompts.ShowMessage(SkinProblemsMessage(skinFolder, problems));
    }
    ShowTeams();
    ShowItems(CurrentTeam);
}

// ---- Caption access for the name roller ---------------------------------------

int MainModel::LabelCount(RollKind kind) const {
    return kind == RollKind::Team ? teamCount_ : itemCount_;
}

bool MainModel::IsLeftAligned(RollKind kind, int index) const {
    if (index < 0 || index >= LabelCount(kind)) return false;
    return scene_.At(kind == RollKind::Team ? Part::LabTeam : Part::LabItem, index).align == Align::Left;
}

std::string MainModel::Caption(RollKind kind, int index) const {
    if (index < 0 || index >= LabelCount(kind)) return {};
    return scene_.At(kind == RollKind::Team ? Part::LabTeam : Part::LabItem, index).text;
}

void MainModel::SetCaption(RollKind kind, int index, const std::string& text, int widthTwips) {
    if (index < 0 || index >= LabelCount(kind)) return;
    Element& lab = scene_.At(kind == RollKind::Team ? Part::LabTeam : Part::LabItem, index);
    lab.text = text;
    lab.width = widthTwips;
}

// ---- Chrome -------------------------------------------------------------------

void MainModel::PaintMenus(int highlighted, int colour) {
    for (int i = 0; i < 4; ++i)
        scene_.At(Part::LabMenu, i).foreColor = skin_.SkinMenuColors[0];
    if (highlighted >= 0 && highlighted < 4)
        scene_.At(Part::LabMenu, highlighted).foreColor = skin_.SkinMenuColors[colour];
}

void MainModel::ApplyButtonPictures() {
    for (const ChromePart& c : kChromeParts) {
        auto visible = chrome_.Button(c.button).Visible();
        for (int i = 0; i < 3; ++i)
            scene_.At(c.pictures, i).visible = visible[i];
    }
}

StripGeometry MainModel::Strips() const {
    StripGeometry g;
    g.teamLeft = scene_.At(Part::PicTeamIn).left;
    g.teamViewWidth = scene_.At(Part::PicTeam).width;
    g.teamStripWidth = scene_.At(Part::PicTeamIn).width;
    g.itemTop = scene_.At(Part::PicItemIn).top;
    g.itemViewHeight = scene_.At(Part::PicItem).height;
    g.itemStripHeight = scene_.At(Part::PicItemIn).height;
    return g;
}

void MainModel::ApplyStrips(const StripGeometry& g) {
    scene_.At(Part::PicTeamIn).left = g.teamLeft;
    scene_.At(Part::PicItemIn).top = g.itemTop;
}

void MainModel::ResetHover() {
    HoverResetAction a = chrome_.ResetHover(HoverTeam, CurrentTeam, teamCount_);
    if (a.hideMenuHighlight) {
        scene_.At(Part::ShpMenu).visible = false;
        PaintMenus(-1, 0);
    }
    if (a.teamCaptionToRepaint >= 0) PaintTeam(a.teamCaptionToRepaint, 0);
    ApplyButtonPictures();
}

// Only the element under the pointer may look hovered. The window reports a
// move only where the pointer lands, so a quick move from a menu caption onto
// a team caption, or from one button onto another, never crosses the empty
// parts whose hover reset would have cleared the first one.
void MainModel::LeaveOtherHovers(ElementId under) {
    if (under.part != Part::LabMenu) {
        scene_.At(Part::ShpMenu).visible = false;
        PaintMenus(-1, 0);
    }
    if (under.part != Part::LabTeam && HoverTeam != CurrentTeam && HoverTeam >= 0 && HoverTeam < teamCount_)
        PaintTeam(HoverTeam, 0);
    const ChromePart* c = ChromeFor(under.part);
    chrome_.PointerOver(c ? &c->button : nullptr);
    ApplyButtonPictures();
}

// ---- Input --------------------------------------------------------------------

void MainModel::OnMouseMove(ElementId id, int xTwips, int yTwips, MouseButtons buttons) {
    LeaveOtherHovers(id);
    switch (id.part) {
        case Part::ImgForm:
        case Part::PicTeam:
        case Part::PicTeamIn:
        case Part::PicItem:
        case Part::PicItemIn:
            ResetHover();
            return;
        case Part::LabTeam:
            TeamMouseMove(id.index);
            return;
        case Part::ImgTitle:
            if (buttons.Any() && actions.moveWindowBy) {
                actions.moveWindowBy(xTwips - titleGrabX_, yTwips - titleGrabY_);
            }
            chrome_.ResetCloseAndMin();
            ApplyButtonPictures();
            return;
        case Part::LabMenu: {
            const Element& cap = scene_.At(id);
            Element& shp = scene_.At(Part::ShpMenu);
            shp.left = cap.left - 60;
            shp.top = cap.top - 60;
            shp.width = cap.width + 120;
            shp.height = cap.height + 120;
            shp.visible = true;
            if (!buttons.Any()) PaintMenus(id.index, 1);
            return;
        }
        default:
            break;
    }
    if (const ChromePart* c = ChromeFor(id.part)) {
        if (IsScrollButton(c->button)) {
            chrome_.OnScrollButtonHover(c->button, buttons.Any(), settings_.AutoRollOnTeam, settings_.AutoRollOnItem);
        } else {
            chrome_.Button(c->button).OnMouseMove(buttons.Any());
        }
        ApplyButtonPictures();
    }
}

void MainModel::OnMouseDown(ElementId id, MouseButton button, int xTwips, int yTwips) {
    // A result belongs to another team: the current team's item menus do not apply to it.
    if (finding_ && IsItemPart(id.part)) return;
    if (id.part == Part::LabTeam) return TeamMouseDown(id.index, button);
    if (IsItemPart(id.part)) return ItemMouseDown(id.index, button);
    if (id.part == Part::ImgTitle) {
        titleGrabX_ = xTwips;
        titleGrabY_ = yTwips;
        return;
    }
    if (id.part == Part::LabMenu) return PaintMenus(id.index, 2);
    if (const ChromePart* c = ChromeFor(id.part)) {
        chrome_.Button(c->button).OnMouseDown();
        ApplyButtonPictures();
    }
}

void MainModel::OnMouseUp(ElementId id, MouseButton button, int xTwips, int yTwips) {
    if (button == MouseButton::Right && actions.popupMenu) {
        if (id.part == Part::PicTeamIn) return actions.popupMenu("QuickTeam2", std::nullopt);
        if (id.part == Part::PicItemIn && !finding_) return actions.popupMenu("QuickItem2", std::nullopt);
    }
    if (id.part == Part::LabMenu) {
        scene_.At(id).foreColor = skin_.SkinMenuColors[1];
        return;
    }
    if (const ChromePart* c = ChromeFor(id.part)) {
        chrome_.Button(c->button).OnMouseUp();
        ApplyButtonPictures();
    }
}

void MainModel::OnClick(ElementId id) {
    if (finding_ && IsItemPart(id.part)) return FindClick(id.index, false);
    switch (id.part) {
        case Part::LabTeam:
            return TeamClick(id.index);
        case Part::PicIcon:
        case Part::LabItem:
            return ItemClick(id.index);
        case Part::PicItem:
        case Part::PicItemIn:
            return EmptySheetClick();
        case Part::LabMenu: {
            const Element& shp = scene_.At(Part::ShpMenu);
            if (actions.popupMenu) {
                actions.popupMenu("Menu" + std::to_string(id.index),
                                  std::make_pair(shp.left, shp.top + shp.height + 20));
            }
            return;
        }
        case Part::LabMin:
            if (actions.hideWindow) actions.hideWindow();
            chrome_.Button(ChromeButton::Min).Reset();
            ApplyButtonPictures();
            return;
        case Part::LabClose:
            // Read afresh: the settings dialog may have changed it since start-up.
            if (ReadSettingDword(services_.registry, "MinAfterClickClose") != 0) {
                if (actions.hideWindow) actions.hideWindow();
                chrome_.Button(ChromeButton::Min).Reset();
                ApplyButtonPictures();
            } else if (actions.closeWindow) {
                actions.closeWindow();
            }
            return;
        case Part::LabLock: {
            Element& off = scene_.At(Part::ImgLock, 0);
            Element& on = scene_.At(Part::ImgLock, 1);
            bool nowOn = off.visible;
            on.visible = nowOn;
            off.visible = !nowOn;
            scene_.At(Part::LabLock).tooltip = nowOn ? kTipOnTopEnabled : kTipOnTopDisabled;
            if (actions.setTopmost) actions.setTopmost(nowOn);
            return;
        }
        default:
            break;
    }
    if (const ChromePart* c = ChromeFor(id.part); c && IsScrollButton(c->button)) {
        ApplyStrips(
            chrome_.OnScrollButtonClick(c->button, Strips(), settings_.AutoRollOnTeam, settings_.AutoRollOnItem));
    }
}

void MainModel::OnDoubleClick(ElementId id) {
    if (finding_ && IsItemPart(id.part)) return FindClick(id.index, true);
    if (IsItemPart(id.part)) return ItemDoubleClick(id.index);
    // A quick second click on a scroll button is still a step.
    if (const ChromePart* c = ChromeFor(id.part); c && IsScrollButton(c->button)) OnClick(id);
}

void MainModel::OnMouseLeave() {
    ResetHover();
}

void MainModel::OnNameRollTick(RollKind kind) {
    roller_.OnTick(kind, CurrentTeam, CurrentItem);
}

void MainModel::OnTeamRollTick() {
    Element& strip = scene_.At(Part::PicTeamIn);
    strip.left = chrome_.OnTeamRollTick(strip.left, scene_.At(Part::PicTeam).width, strip.width);
}

void MainModel::OnItemRollTick() {
    Element& sheet = scene_.At(Part::PicItemIn);
    sheet.top = chrome_.OnItemRollTick(sheet.top, scene_.At(Part::PicItem).height, sheet.height);
}

}  // namespace vt
