#include "launcher/skin/apply_skin.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "launcher/scene/pixel_map.h"

namespace vt {

namespace {

// A button with none of its pictures keeps this much clickable area
// (15 x 15 picture pixels), so the close and menu paths stay usable.
constexpr int kFallbackButtonPixels = 15;

// Stand-ins for missing button pictures, in the skin editor's colours:
// normal, under the mouse, pressed (and the lock's on state).
constexpr uint32_t kStandInFill[3] = {111 + 256 * 166 + 65536 * 230, 151 + 256 * 194 + 65536 * 240,
                                      30 + 256 * 74 + 65536 * 140};
constexpr uint32_t kStandInFrame = 30 + 256 * 74 + 65536 * 140;
constexpr uint32_t kStandInText = 0xFFFFFF;

uint32_t Colour(int v) {
    return static_cast<uint32_t>(v) & 0xFFFFFFu;
}

struct ButtonSpec {
    Part label;
    Part pictures;
    int SkinPackage::*left;
    int SkinPackage::*top;
    const char* files[3];
    int count;
    const char* symbols[3];  // what each stand-in shows
};

constexpr ButtonSpec kFirstButtons[] = {
    {Part::LabClose,
     Part::ImgClose,
     &SkinPackage::closeLeft,
     &SkinPackage::closeTop,
     {"close1.img", "close2.img", "close3.img"},
     3,
     {"×", "×", "×"}},
    {Part::LabMin,
     Part::ImgMin,
     &SkinPackage::minLeft,
     &SkinPackage::minTop,
     {"min1.img", "min2.img", "min3.img"},
     3,
     {"－", "－", "－"}},
    {Part::LabLock,
     Part::ImgLock,
     &SkinPackage::lockLeft,
     &SkinPackage::lockTop,
     {"lock1.img", "lock2.img", ""},
     2,
     {"○", "●", ""}},
};

constexpr ButtonSpec kScrollButtons[] = {
    {Part::LabLeft,
     Part::ImgLeft,
     &SkinPackage::leftLeft,
     &SkinPackage::leftTop,
     {"left1.img", "left2.img", "left3.img"},
     3,
     {"◀", "◀", "◀"}},
    {Part::LabRight,
     Part::ImgRight,
     &SkinPackage::rightLeft,
     &SkinPackage::rightTop,
     {"right1.img", "right2.img", "right3.img"},
     3,
     {"▶", "▶", "▶"}},
    {Part::LabUp,
     Part::ImgUp,
     &SkinPackage::upLeft,
     &SkinPackage::upTop,
     {"up1.img", "up2.img", "up3.img"},
     3,
     {"▲", "▲", "▲"}},
    {Part::LabDown,
     Part::ImgDown,
     &SkinPackage::downLeft,
     &SkinPackage::downTop,
     {"down1.img", "down2.img", "down3.img"},
     3,
     {"▼", "▼", "▼"}},
};

std::optional<PictureSize> SizeOf(const SkinPackage& skin, const char* file) {
    int i = SkinPictureIndex(file);
    return i < 0 ? std::nullopt : skin.pictures[i];
}

// Points a picture element at a skin picture and sizes it to the picture;
// a picture that did not load leaves the element empty.
void SetPicture(Element& e, const SkinPackage& skin, const char* file) {
    auto size = SizeOf(skin, file);
    e.standIn = false;
    e.text.clear();
    if (size) {
        e.picture = SkinPicturePath(skin.folder, file);
        e.width = size->width * kTwipsPerPicturePixel;
        e.height = size->height * kTwipsPerPicturePixel;
    } else {
        e.picture.clear();
        e.width = 0;
        e.height = 0;
    }
}

void PlaceButton(const ButtonSpec& b, const SkinPackage& skin, Scene& scene) {
    Element& label = scene.At(b.label);
    label.left = skin.*b.left;
    label.top = skin.*b.top;
    // The clickable area is the new skin's first picture, loaded before sizing;
    // without it, the size the skin gave the button's other pictures.
    std::optional<PictureSize> size;
    for (int i = 0; i < b.count && !size; ++i)
        size = SizeOf(skin, b.files[i]);
    label.width = (size ? size->width : kFallbackButtonPixels) * kTwipsPerPicturePixel;
    label.height = (size ? size->height : kFallbackButtonPixels) * kTwipsPerPicturePixel;
    for (int i = 0; i < b.count; ++i) {
        Element& pic = scene.At(b.pictures, i);
        pic.left = label.left;
        pic.top = label.top;
        if (!pic.picture.empty()) continue;
        // A missing picture (already reported) would leave a button that
        // reacts to clicks but cannot be seen: a plain one takes its place.
        pic.standIn = true;
        pic.width = label.width;
        pic.height = label.height;
        pic.text = b.symbols[i];
        // The lock's second picture is its "on" state: shown pressed.
        pic.backColor = kStandInFill[b.pictures == Part::ImgLock && i == 1 ? 2 : i];
        pic.borderColor = kStandInFrame;
        pic.foreColor = kStandInText;
        // About two thirds of the button's height, in points (20 twips each).
        pic.fontSize = std::max(7, label.height * 2 / 3 / 20);
    }
}

}  // namespace

int TextHeightTwips(int fontSizePt) {
    if (fontSizePt <= 0) fontSizePt = 9;
    int em = (fontSizePt * 96 + 71) / 72;  // pixels at 96 dpi, rounded up
    int line = em + (em + 3) / 4;          // plus internal leading
    return line * kTwipsPerPicturePixel;
}

void LayOutSkin(const SkinPackage& skin, Scene& scene, SkinState& state, const SkinLayoutContext& ctx) {
    // 1. State read by the team bar, item panel and menu captions later.
    state.SkinMenuColors = {Colour(skin.menuTextColor1), Colour(skin.menuTextColor2), Colour(skin.menuTextColor3)};
    state.SkinTeamColors = {Colour(skin.teamBackColor1), Colour(skin.teamTextColor1), Colour(skin.teamBackColor2),
                            Colour(skin.teamTextColor2), Colour(skin.teamBackColor3), Colour(skin.teamTextColor3)};
    state.SkinItemColors = {Colour(skin.itemBackColor1), Colour(skin.itemTextColor1), Colour(skin.itemBackColor2),
                            Colour(skin.itemTextColor2)};
    state.SkinItemColumns = static_cast<uint8_t>(skin.itemColumns);
    state.SkinItemFontSize = static_cast<uint8_t>(skin.itemFontSize);
    state.SkinTeamFontSize = static_cast<uint8_t>(skin.teamFontSize);

    // 2. Window size.
    scene.width = skin.width;
    scene.height = skin.height;

    // 3. Menu captions size themselves to their text.
    for (int i = 0; i < 4; ++i) {
        Element& m = scene.At(Part::LabMenu, i);
        m.fontSize = skin.menuFontSize;
        m.foreColor = Colour(skin.menuTextColor1);
        m.transparent = true;
        m.width = ctx.measure.TextWidthTwips(m.text, skin.menuFontSize);
        m.height = TextHeightTwips(skin.menuFontSize);
    }

    // 4. Highlight box, hidden until the mouse enters a caption.
    Element& shp = scene.At(Part::ShpMenu);
    const Element& menu0 = scene.At(Part::LabMenu, 0);
    shp.visible = false;
    shp.width = menu0.width + 100;
    shp.height = menu0.height + 100;
    shp.backColor = Colour(skin.menuBackColor);
    shp.transparent = false;
    shp.borderColor = Colour(skin.menuFrameColor);
    shp.border = true;

    // 5. Title text colour.
    scene.At(Part::LabTitle).foreColor = Colour(skin.titleTextColor);

    // 6. Team bar look.
    Element& picTeam = scene.At(Part::PicTeam);
    Element& picTeamIn = scene.At(Part::PicTeamIn);
    picTeam.backColor = Colour(skin.teamBackColor);
    picTeam.border = skin.teamFrame != 0;
    picTeamIn.backColor = Colour(skin.teamBackColor);

    // 7. Item panel look. The panel has no colour of its own in a skin; it takes
    // the normal caption background so captions sit flush on it.
    Element& picItem = scene.At(Part::PicItem);
    Element& picItemIn = scene.At(Part::PicItemIn);
    picItem.border = skin.itemFrame != 0;
    picItem.backColor = Colour(skin.itemBackColor1);
    picItemIn.backColor = Colour(skin.itemBackColor1);

    // 8. The whole-window mouse catcher.
    Element& form = scene.At(Part::ImgForm);
    form.left = 0;
    form.top = 0;
    form.width = skin.width;
    form.height = skin.height;

    // 9. Title area and its text, centred vertically, 200 in from the left.
    Element& imgTitle = scene.At(Part::ImgTitle);
    imgTitle.left = skin.titleLeft;
    imgTitle.top = skin.titleTop;
    imgTitle.width = skin.titleWidth;
    imgTitle.height = skin.titleHeight;
    Element& labTitle = scene.At(Part::LabTitle);
    labTitle.left = imgTitle.left + 200;
    labTitle.top = imgTitle.top + (imgTitle.height - labTitle.height) / 2;

    // 16, 17, 18 before 10 and 14: pictures first, so each button's clickable
    // area follows the new skin's first picture.
    for (const ButtonSpec* group : {kFirstButtons, kScrollButtons}) {
        size_t n = group == kFirstButtons ? std::size(kFirstButtons) : std::size(kScrollButtons);
        for (size_t b = 0; b < n; ++b) {
            for (int i = 0; i < group[b].count; ++i) {
                SetPicture(scene.At(group[b].pictures, i), skin, group[b].files[i]);
            }
        }
    }
    const char* stock[4] = {"link.img", "file.img", "dir.img", "exitem.img"};
    for (int i = 0; i < 4; ++i)
        SetPicture(scene.At(Part::ImgInside, i), skin, stock[i]);
    scene.backdrop = SizeOf(skin, "backdrop.img") ? SkinPicturePath(skin.folder, "backdrop.img") : std::string();

    // 10. Close, minimise, lock.
    for (const ButtonSpec& b : kFirstButtons)
        PlaceButton(b, skin, scene);

    // 11. Menu captions at equal steps of the first caption's width + 180.
    Element& m0 = scene.At(Part::LabMenu, 0);
    m0.left = skin.menuLeft;
    m0.top = skin.menuTop;
    for (int k = 1; k < 4; ++k) {
        Element& m = scene.At(Part::LabMenu, k);
        m.left = scene.At(Part::LabMenu, k - 1).left + m0.width + 180;
        m.top = m0.top;
    }

    // 12. Team bar; the strip is widened by the team bar rebuild.
    picTeam.left = skin.teamLeft;
    picTeam.top = skin.teamTop;
    picTeam.width = skin.teamWidth;
    picTeam.height = skin.teamHeight;
    picTeamIn.left = 0;
    picTeamIn.top = 0;
    picTeamIn.width = 0;
    picTeamIn.height = picTeam.height;

    // 13. Item panel: columns x 1025 + 200 wide; the sheet is made taller by the item rebuild.
    picItem.left = skin.itemLeft;
    picItem.top = skin.itemTop;
    picItem.width = state.SkinItemColumns * kItemColumnPitch + kItemPanelMargin;
    picItem.height = skin.itemHeight;
    picItemIn.left = 0;
    picItemIn.top = 0;
    picItemIn.width = picItem.width;
    picItemIn.height = 0;

    // 14. Left, right, up, down.
    for (const ButtonSpec& b : kScrollButtons)
        PlaceButton(b, skin, scene);

    // 15. Team bar picture. A skin without one shows the plain team colour;
    // the previous skin's picture is not kept, it would belong to another layout.
    picTeamIn.picture = SizeOf(skin, "teamback.img") ? SkinPicturePath(skin.folder, "teamback.img") : std::string();
}

std::vector<std::string> ApplySkinToScene(const std::string& folder, Scene& scene, SkinState& state,
                                          TextMeasure& measure, Pictures& pictures) {
    SkinPackage skin = ReadSkinPackage(folder);
    std::vector<std::string> problems = CheckSkinPackage(skin, pictures);
    LayOutSkin(skin, scene, state, SkinLayoutContext{measure});
    return problems;
}

}  // namespace vt
