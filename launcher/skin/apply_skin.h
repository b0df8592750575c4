// Laying out the main window's scene from a skin package, and the colours,
// font sizes and column count the team bar, item panel and menu captions
// use afterwards.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "launcher/scene/scene.h"
#include "launcher/skin/skin_package.h"
#include "platform/pictures.h"
#include "platform/text_measure.h"

namespace vt {

struct SkinState {
    // MENU TextColor1..3: caption normal, under the mouse, pressed.
    std::array<uint32_t, 3> SkinMenuColors{};
    // TEAM BackColor1, TextColor1 (normal), BackColor2, TextColor2 (under the mouse),
    // BackColor3, TextColor3 (current team).
    std::array<uint32_t, 6> SkinTeamColors{};
    // ITEM BackColor1, TextColor1 (normal), BackColor2, TextColor2 (selected).
    std::array<uint32_t, 4> SkinItemColors{};
    uint8_t SkinItemColumns = 1;
    uint8_t SkinItemFontSize = 9;
    uint8_t SkinTeamFontSize = 9;
};

// Indices into SkinTeamColors / SkinItemColors.
enum TeamColor {
    kTeamBackNormal = 0,
    kTeamTextNormal,
    kTeamBackHover,
    kTeamTextHover,
    kTeamBackCurrent,
    kTeamTextCurrent
};
enum ItemColor { kItemBackNormal = 0, kItemTextNormal, kItemBackSelected, kItemTextSelected };

// Width of one item column and of the panel's margins.
inline constexpr int kItemColumnPitch = 1025;
inline constexpr int kItemPanelMargin = 200;

// Height of one line of the program's font at a point size, in twips (an
// auto-sized label is this high).
int TextHeightTwips(int fontSizePt);

// Picture sizes are given in pixels of the 96 dpi they are made for, which
// is 15 twips each whatever the screen: the window scales the pictures with
// the rest of the layout.
struct SkinLayoutContext {
    TextMeasure& measure;
};

// Lays out the scene from an already checked package: window size and
// backdrop, title area and text, menu captions and highlight box, team bar,
// item panel, the seven buttons with their pictures, and the stock icons.
// Leaves the team captions and item entries alone (the team bar and item
// panel rebuild them afterwards) and does not change which picture of a
// button is showing.
void LayOutSkin(const SkinPackage& skin, Scene& scene, SkinState& state, const SkinLayoutContext& ctx);

// Reads and checks the skin folder (no trailing separator), then lays it out.
// Returns the problems found (see CheckSkinPackage); the caller reports them.
std::vector<std::string> ApplySkinToScene(const std::string& folder, Scene& scene, SkinState& state,
                                          TextMeasure& measure, Pictures& pictures);

}  // namespace vt
