// Team bar: ShowTeams, caption clicks, hovering and the team picks of the
// order swap.
#include "launcher/mainwindow/team_bar.h"

#include <algorithm>

#include "common/ini.h"
#include "launcher/mainwindow/main_model.h"
#include "launcher/store/store.h"

namespace vt {

int TeamCaptionLeft(int index) {
    return kTeamFirstLeft + index * kTeamCaptionPitch;
}

int TeamStripWidth(int count, int viewportWidth) {
    return std::max(count * kTeamCaptionPitch + kTeamFirstLeft, viewportWidth);
}

void MainModel::PaintTeam(int index, int colourSet) {
    if (index < 0 || index >= teamCount_ || index >= scene_.Count(Part::LabTeam)) return;
    Element& lab = scene_.At(Part::LabTeam, index);
    const size_t at = static_cast<size_t>(colourSet) * 2;
    lab.backColor = skin_.SkinTeamColors[at];
    lab.foreColor = skin_.SkinTeamColors[at + 1];
}

void MainModel::ShowTeams() {
    if (CurrentTeam >= 0) roller_.StopNameRoll(RollKind::Team, CurrentTeam);

    IniReadScope teamsScope(TeamSetFile(settings_.AppDir));
    int count = ReadTeamCount(settings_.AppDir, services_.prompts, settings_.WarnOnError);
    teamCount_ = count;
    if (CurrentTeam > count - 1) CurrentTeam = -1;
    if (HoverTeam >= count) HoverTeam = -1;

    scene_.Resize(Part::LabTeam, count);
    Element& strip = scene_.At(Part::PicTeamIn);
    const Element& view = scene_.At(Part::PicTeam);
    if (count == 0) scene_.At(Part::LabTeam, 0).visible = false;

    const int fontSize = skin_.SkinTeamFontSize;
    const int height = TextHeightTwips(fontSize);
    for (int i = 0; i < count; ++i) {
        TeamRecord team = ReadTeamRecord(settings_.AppDir, i);
        Element& lab = scene_.At(Part::LabTeam, i);
        lab.fontSize = fontSize;
        lab.text = team.Name;
        lab.tooltip = team.Note;
        // Measured in the caption's own font: a long name is left-aligned so
        // its start shows (and it scrolls when current), a short one centred.
        lab.align =
            services_.measure.TextWidthTwips(team.Name, fontSize) > kTeamCaptionWidth ? Align::Left : Align::Center;
        lab.left = TeamCaptionLeft(i);
        lab.top = (strip.height - height) / 2;
        lab.width = kTeamCaptionWidth;
        lab.height = height;
        lab.transparent = false;
        lab.visible = true;
        PaintTeam(i, 0);
    }

    strip.width = TeamStripWidth(count, view.width);
    // A shorter strip than before must not stay scrolled past its end.
    strip.left = std::clamp(strip.left, std::min(0, view.width - strip.width), 0);

    if (CurrentTeam >= 0) {
        PaintTeam(CurrentTeam, 2);
        scene_.At(Part::LabTitle).text = kTitlePrefix + scene_.At(Part::LabTeam, CurrentTeam).text;
    }
}

void MainModel::TeamClick(int index) {
    if (index < 0 || index >= teamCount_) return;
    if (CurrentTeam >= 0) {
        PaintTeam(CurrentTeam, 0);
        roller_.StopNameRoll(RollKind::Team, CurrentTeam);
    }
    if (CurrentItem >= 0) {
        roller_.StopNameRoll(RollKind::Item, CurrentItem);
        CurrentItem = -1;
    }
    CurrentTeam = index;
    ShowItems(index);

    PaintTeam(index, 2);
    const std::string name = scene_.At(Part::LabTeam, index).text;
    scene_.At(Part::LabTitle).text = kTitlePrefix + name;

    if (ReorderState == 1) {
        ReorderState = 2;
        ReorderFirst = index;
        reorderFirstName_ = name;
        services_.prompts.ShowMessage(std::string(kMsgTeamPicked) + name + kMsgOrderSuffix);
    } else if (ReorderState == 2) {
        ReorderState = 0;
        StoreResult swapped = SwapTeams(settings_.AppDir, ReorderFirst, index);
        ShowTeams();
        ShowItems(CurrentTeam);
        if (!swapped.ok()) {
            // The swap did not reach the disk; saying it did would be a lie.
            if (settings_.WarnOnError) services_.prompts.ShowMessage(kMsgSwapFailed);
        } else if (settings_.WarnAfterDone) {
            services_.prompts.ShowMessage(std::string(kMsgTeamSwapped) + reorderFirstName_ + kMsgSwappedSuffix);
        }
    }
}

void MainModel::TeamMouseDown(int index, MouseButton button) {
    if (button != MouseButton::Right) return;
    TeamClick(index);
    if (actions.repaintNow) actions.repaintNow();
    if (actions.popupMenu) actions.popupMenu("QuickTeam", std::nullopt);
}

void MainModel::TeamMouseMove(int index) {
    if (HoverTeam != CurrentTeam && HoverTeam >= 0 && HoverTeam < teamCount_) PaintTeam(HoverTeam, 0);
    if (index != CurrentTeam) PaintTeam(index, 1);
    HoverTeam = index;
}

}  // namespace vt
