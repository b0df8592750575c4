// The skin package as both programs see it: a folder holding "skin.vsu"
// (profile text) and the folder "image" with 26 pictures under fixed names.
// The launcher reads it; the skin editor's builder writes it. Both use these
// tables so the two sides can never disagree on a name.
#pragma once

#include <cstddef>

namespace vt {

inline constexpr const char* kSkinDescriptionFile = "skin.vsu";
inline constexpr const char* kSkinImageFolder = "image";
// Optional pictures of twice the size under the same names, in this folder
// inside "image", for screens of 175 % and more. Readers that do not know
// it never look inside.
inline constexpr const char* kSkinDoubleFolder = "2x";
// The screen dpi from which they are drawn (175 % of 96).
inline constexpr int kSkinDoubleFromDpi = 168;
// Used when no skin has been chosen.
inline constexpr const char* kDefaultSkinFolder = "蓝色卷轴";

enum class SkinValueKind {
    Text,    // free text shown in the skin chooser
    Twips,   // length or coordinate; a fractional part is ignored when read
    Colour,  // R + 256*G + 65536*B
    Points,  // font size
    Flag,    // "0" no border, "1" single-line border
    Count,   // number of item columns
};

struct SkinKey {
    const char* section;
    const char* key;
    SkinValueKind kind;
};

// Every key of skin.vsu, in the order the builder writes them (which is also
// the order the sections end up in the file). Section and key names match
// without regard to case when read.
inline constexpr SkinKey kSkinKeys[] = {
    {"SKIN", "Name", SkinValueKind::Text},          {"SKIN", "Version", SkinValueKind::Text},
    {"SKIN", "Author", SkinValueKind::Text},        {"SKIN", "HomePage", SkinValueKind::Text},
    {"SKIN", "Email", SkinValueKind::Text},         {"SKIN", "Note", SkinValueKind::Text},
    {"SKIN", "Width", SkinValueKind::Twips},        {"SKIN", "Height", SkinValueKind::Twips},
    {"TITLE", "TextColor", SkinValueKind::Colour},  {"MENU", "TextColor1", SkinValueKind::Colour},
    {"MENU", "TextColor2", SkinValueKind::Colour},  {"MENU", "TextColor3", SkinValueKind::Colour},
    {"MENU", "FontSize", SkinValueKind::Points},    {"MENU", "BackColor", SkinValueKind::Colour},
    {"MENU", "FrameColor", SkinValueKind::Colour},  {"TEAM", "FontSize", SkinValueKind::Points},
    {"TEAM", "TextColor1", SkinValueKind::Colour},  {"TEAM", "TextColor2", SkinValueKind::Colour},
    {"TEAM", "TextColor3", SkinValueKind::Colour},  {"TEAM", "BackColor1", SkinValueKind::Colour},
    {"TEAM", "BackColor2", SkinValueKind::Colour},  {"TEAM", "BackColor3", SkinValueKind::Colour},
    {"TEAM", "BackColor", SkinValueKind::Colour},   {"TEAM", "Width", SkinValueKind::Twips},
    {"TEAM", "Height", SkinValueKind::Twips},       {"TEAM", "Frame", SkinValueKind::Flag},
    {"ITEM", "FontSize", SkinValueKind::Points},    {"ITEM", "TextColor1", SkinValueKind::Colour},
    {"ITEM", "TextColor2", SkinValueKind::Colour},  {"ITEM", "BackColor1", SkinValueKind::Colour},
    {"ITEM", "BackColor2", SkinValueKind::Colour},  {"ITEM", "Width", SkinValueKind::Count},
    {"ITEM", "Height", SkinValueKind::Twips},       {"ITEM", "Frame", SkinValueKind::Flag},
    {"TITLE", "Left", SkinValueKind::Twips},        {"TITLE", "Top", SkinValueKind::Twips},
    {"TITLE", "Width", SkinValueKind::Twips},       {"TITLE", "Height", SkinValueKind::Twips},
    {"CLOSE_BUTTON", "Left", SkinValueKind::Twips}, {"CLOSE_BUTTON", "Top", SkinValueKind::Twips},
    {"MIN_BUTTON", "Left", SkinValueKind::Twips},   {"MIN_BUTTON", "Top", SkinValueKind::Twips},
    {"LOCK_BUTTON", "Left", SkinValueKind::Twips},  {"LOCK_BUTTON", "Top", SkinValueKind::Twips},
    {"MENU", "Left", SkinValueKind::Twips},         {"MENU", "Top", SkinValueKind::Twips},
    {"TEAM", "Left", SkinValueKind::Twips},         {"TEAM", "Top", SkinValueKind::Twips},
    {"LEFT_BUTTON", "Left", SkinValueKind::Twips},  {"LEFT_BUTTON", "Top", SkinValueKind::Twips},
    {"RIGHT_BUTTON", "Left", SkinValueKind::Twips}, {"RIGHT_BUTTON", "Top", SkinValueKind::Twips},
    {"ITEM", "Left", SkinValueKind::Twips},         {"ITEM", "Top", SkinValueKind::Twips},
    {"UP_BUTTON", "Left", SkinValueKind::Twips},    {"UP_BUTTON", "Top", SkinValueKind::Twips},
    {"DOWN_BUTTON", "Left", SkinValueKind::Twips},  {"DOWN_BUTTON", "Top", SkinValueKind::Twips},
};
inline constexpr size_t kSkinKeyCount = sizeof(kSkinKeys) / sizeof(kSkinKeys[0]);

// The 26 pictures under "image", in the order the builder copies them.
// Only teamback.img may be missing. The ".img" extension says nothing about
// the format; the picture loader goes by the content.
struct SkinPicture {
    const char* file;
    bool required;
};

inline constexpr SkinPicture kSkinPictures[] = {
    {"backdrop.img", true}, {"file.img", true},   {"dir.img", true},    {"link.img", true},   {"exitem.img", true},
    {"close1.img", true},   {"close2.img", true}, {"close3.img", true}, {"min1.img", true},   {"min2.img", true},
    {"min3.img", true},     {"lock1.img", true},  {"lock2.img", true},  {"left1.img", true},  {"left2.img", true},
    {"left3.img", true},    {"right1.img", true}, {"right2.img", true}, {"right3.img", true}, {"teamback.img", false},
    {"up1.img", true},      {"up2.img", true},    {"up3.img", true},    {"down1.img", true},  {"down2.img", true},
    {"down3.img", true},
};
inline constexpr size_t kSkinPictureCount = sizeof(kSkinPictures) / sizeof(kSkinPictures[0]);
static_assert(kSkinPictureCount == 26);
static_assert(kSkinKeyCount == 58);
}  // namespace vt
