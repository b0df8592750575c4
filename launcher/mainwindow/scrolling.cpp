#include "launcher/mainwindow/scrolling.h"

namespace vt {

std::array<bool, 3> ThreeStateButton::Visible() const {
    return {picture_ == ButtonPicture::Normal, picture_ == ButtonPicture::Hover, picture_ == ButtonPicture::Pressed};
}

int StepTowardsStart(int offset) {
    // Compared in wider arithmetic so that an absurd offset cannot wrap.
    long long next = static_cast<long long>(offset) + kScrollStepTwips;
    return next >= 0 ? 0 : static_cast<int>(next);
}

int StepTowardsEnd(int offset, int viewportExtent, int stripExtent) {
    long long end = static_cast<long long>(viewportExtent) - stripExtent;
    long long next = static_cast<long long>(offset) - kScrollStepTwips;
    return end >= next ? static_cast<int>(end) : static_cast<int>(next);
}

namespace {

bool IsTeamButton(ChromeButton b) {
    return b == ChromeButton::Left || b == ChromeButton::Right;
}
bool IsItemButton(ChromeButton b) {
    return b == ChromeButton::Up || b == ChromeButton::Down;
}

RollDirection DirectionOf(ChromeButton b) {
    switch (b) {
        case ChromeButton::Right:
            return RollDirection::TeamsRight;
        case ChromeButton::Up:
            return RollDirection::ItemsUp;
        case ChromeButton::Down:
            return RollDirection::ItemsDown;
        default:
            return RollDirection::TeamsLeft;
    }
}

}  // namespace

void ScrollChrome::OnScrollButtonHover(ChromeButton b, bool anyButtonDown, bool autoRollOnTeam, bool autoRollOnItem) {
    if (!IsTeamButton(b) && !IsItemButton(b)) return;
    Button(b).OnMouseMove(anyButtonDown);
    if (IsTeamButton(b) && autoRollOnTeam) {
        direction_ = DirectionOf(b);
        teamRoll_ = true;
    } else if (IsItemButton(b) && autoRollOnItem) {
        direction_ = DirectionOf(b);
        itemRoll_ = true;
    }
}

StripGeometry ScrollChrome::OnScrollButtonClick(ChromeButton b, StripGeometry g, bool autoRollOnTeam,
                                                bool autoRollOnItem) const {
    switch (b) {
        case ChromeButton::Left:
            if (!autoRollOnTeam) g.teamLeft = StepTowardsStart(g.teamLeft);
            break;
        case ChromeButton::Right:
            if (!autoRollOnTeam) g.teamLeft = StepTowardsEnd(g.teamLeft, g.teamViewWidth, g.teamStripWidth);
            break;
        case ChromeButton::Up:
            if (!autoRollOnItem) g.itemTop = StepTowardsStart(g.itemTop);
            break;
        case ChromeButton::Down:
            if (!autoRollOnItem) g.itemTop = StepTowardsEnd(g.itemTop, g.itemViewHeight, g.itemStripHeight);
            break;
        default:
            break;
    }
    return g;
}

int ScrollChrome::OnTeamRollTick(int teamLeft, int viewWidth, int stripWidth) const {
    if (direction_ == RollDirection::TeamsLeft) return StepTowardsStart(teamLeft);
    if (direction_ == RollDirection::TeamsRight) return StepTowardsEnd(teamLeft, viewWidth, stripWidth);
    return teamLeft;
}

int ScrollChrome::OnItemRollTick(int itemTop, int viewHeight, int stripHeight) const {
    if (direction_ == RollDirection::ItemsUp) return StepTowardsStart(itemTop);
    if (direction_ == RollDirection::ItemsDown) return StepTowardsEnd(itemTop, viewHeight, stripHeight);
    return itemTop;
}

HoverResetAction ScrollChrome::ResetHover(int hoverTeam, int currentTeam, int teamCaptionCount) {
    teamRoll_ = false;
    itemRoll_ = false;
    HoverResetAction action;
    if (hoverTeam != currentTeam && hoverTeam >= 0 && hoverTeam < teamCaptionCount)
        action.teamCaptionToRepaint = hoverTeam;
    for (auto& b : buttons_)
        b.Reset();
    return action;
}

void ScrollChrome::PointerOver(const ChromeButton* under) {
    for (int i = 0; i < kChromeButtonCount; ++i) {
        if (!under || static_cast<int>(*under) != i) buttons_[i].Reset();
    }
    if (!under || !IsTeamButton(*under)) teamRoll_ = false;
    if (!under || !IsItemButton(*under)) itemRoll_ = false;
}

void ScrollChrome::ResetCloseAndMin() {
    Button(ChromeButton::Close).Reset();
    Button(ChromeButton::Min).Reset();
}

}  // namespace vt
