// Reading a skin folder: the values of "skin.vsu" and the sizes of the
// pictures under "image". Reading never fails: missing keys read as 0, as the
// profile functions give them. CheckSkinPackage then finds what would leave the
// window broken (missing pictures, values the layout cannot use), replaces it
// with something usable and says what it found in plain Chinese.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "launcher/skin/skin_format.h"
#include "platform/pictures.h"

namespace vt {

struct SkinPackage {
    std::string folder;           // without a trailing separator
    bool hasDescription = false;  // skin.vsu was found

    // SKIN
    std::string name, version, author, homePage, email, note;
    int width = 0, height = 0;
    // TITLE
    int titleLeft = 0, titleTop = 0, titleWidth = 0, titleHeight = 0;
    int titleTextColor = 0;
    // MENU
    int menuLeft = 0, menuTop = 0, menuFontSize = 0;
    int menuTextColor1 = 0, menuTextColor2 = 0, menuTextColor3 = 0;
    int menuBackColor = 0, menuFrameColor = 0;
    // TEAM (the position is read under "Team", the colours under "TEAM": one section either way)
    int teamLeft = 0, teamTop = 0, teamWidth = 0, teamHeight = 0;
    int teamBackColor = 0, teamFrame = 0, teamFontSize = 0;
    int teamBackColor1 = 0, teamTextColor1 = 0;
    int teamBackColor2 = 0, teamTextColor2 = 0;
    int teamBackColor3 = 0, teamTextColor3 = 0;
    // ITEM (Width is the number of columns)
    int itemLeft = 0, itemTop = 0, itemColumns = 0, itemHeight = 0;
    int itemFrame = 0, itemFontSize = 0;
    int itemBackColor1 = 0, itemTextColor1 = 0;
    int itemBackColor2 = 0, itemTextColor2 = 0;
    // Button corners
    int closeLeft = 0, closeTop = 0;
    int minLeft = 0, minTop = 0;
    int lockLeft = 0, lockTop = 0;
    int leftLeft = 0, leftTop = 0;
    int rightLeft = 0, rightTop = 0;
    int upLeft = 0, upTop = 0;
    int downLeft = 0, downTop = 0;

    // Sizes of the pictures in the order of kSkinPictures, filled by CheckSkinPackage;
    // nullopt for a picture that is missing or cannot be loaded.
    std::array<std::optional<PictureSize>, kSkinPictureCount> pictures{};
};

// folder + separator + "skin.vsu".
std::string SkinDescriptionPath(const std::string& folder);
// folder + separator + "image" + separator + file.
std::string SkinPicturePath(const std::string& folder, const std::string& file);
// The double-resolution picture of a picture path that lies in a skin's
// "image" folder (any letter case): image + separator + "2x" + separator +
// the same name. Empty for a picture elsewhere (an item's own picture).
std::string SkinDoublePicturePath(const std::string& picturePath);
// The file to draw for the picture `picturePath` at `dpi`: its double-
// resolution picture from kSkinDoubleFromDpi on when there is one exactly
// twice its size (a pixel either way tolerated, as odd sizes round), the
// picture itself otherwise. Decided picture by picture: a skin may bring
// only some of them. The natural size to lay the picture out at stays the
// normal picture's.
std::string SkinPictureForDpi(const std::string& picturePath, int dpi, Pictures& pictures);
// Every picture a skin in `folder` may have, as SkinPicturePath names them.
std::vector<std::string> SkinPictureFiles(const std::string& folder);
// Position of a picture file name in kSkinPictures, -1 when unknown.
int SkinPictureIndex(const std::string& file);

// Reads every key of skin.vsu (numbers with default 0). Pictures are not touched.
SkinPackage ReadSkinPackage(const std::string& folder);

// Loads the picture sizes and puts right what the window cannot live with:
// - no skin.vsu: the built-in plain layout (FallbackSkinValues) is used;
// - window width or height not positive: the plain layout's size;
// - ITEM Width outside 1..31: clamped (0 would divide the item rows by zero,
//   32 and more overflow the panel width);
// - font sizes outside 0..255: 9 points;
// - colours outside 0..16777215: the low 24 bits;
// - Frame other than 0/1: any non-zero value is a border;
// - a required picture missing or unreadable: reported; the window shows nothing
//   there and a button keeps a clickable area of 15 x 15 pixels.
// Returns one line per problem, empty when the skin is sound.
std::vector<std::string> CheckSkinPackage(SkinPackage& skin, Pictures& pictures);

// One popup text for the problems of a skin (the first three, then a count).
std::string SkinProblemsMessage(const std::string& folder, const std::vector<std::string>& problems);

// A plain, complete layout used when a skin has no description file: every
// element on the window, neutral colours, four item columns.
void FallbackSkinValues(SkinPackage& skin);

}  // namespace vt
