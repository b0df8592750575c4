#include "launcher/skin/skin_package.h"

#include "common/text.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/codepage.h"
#include "common/ini.h"

namespace vt {

namespace {

#ifdef _WIN32
constexpr char kSep = '\\';
#else
constexpr char kSep = '/';
#endif

std::string Join(const std::string& folder, const std::string& name) {
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder + name;
    return folder + kSep + name;
}

struct NumericKey {
    const char* section;
    const char* key;
    int SkinPackage::*field;
    SkinValueKind kind;
};

// Every numeric key and where it lands. The team bar's rectangle is read under
// "Team", as the launcher always has; profile names ignore case, so it is the
// same section the builder writes as "TEAM".
constexpr NumericKey kNumeric[] = {
    {"SKIN", "Width", &SkinPackage::width, SkinValueKind::Twips},
    {"SKIN", "Height", &SkinPackage::height, SkinValueKind::Twips},
    {"TITLE", "Left", &SkinPackage::titleLeft, SkinValueKind::Twips},
    {"TITLE", "Top", &SkinPackage::titleTop, SkinValueKind::Twips},
    {"TITLE", "Width", &SkinPackage::titleWidth, SkinValueKind::Twips},
    {"TITLE", "Height", &SkinPackage::titleHeight, SkinValueKind::Twips},
    {"TITLE", "TextColor", &SkinPackage::titleTextColor, SkinValueKind::Colour},
    {"MENU", "Left", &SkinPackage::menuLeft, SkinValueKind::Twips},
    {"MENU", "Top", &SkinPackage::menuTop, SkinValueKind::Twips},
    {"MENU", "FontSize", &SkinPackage::menuFontSize, SkinValueKind::Points},
    {"MENU", "TextColor1", &SkinPackage::menuTextColor1, SkinValueKind::Colour},
    {"MENU", "TextColor2", &SkinPackage::menuTextColor2, SkinValueKind::Colour},
    {"MENU", "TextColor3", &SkinPackage::menuTextColor3, SkinValueKind::Colour},
    {"MENU", "BackColor", &SkinPackage::menuBackColor, SkinValueKind::Colour},
    {"MENU", "FrameColor", &SkinPackage::menuFrameColor, SkinValueKind::Colour},
    {"Team", "Left", &SkinPackage::teamLeft, SkinValueKind::Twips},
    {"Team", "Top", &SkinPackage::teamTop, SkinValueKind::Twips},
    {"Team", "Width", &SkinPackage::teamWidth, SkinValueKind::Twips},
    {"Team", "Height", &SkinPackage::teamHeight, SkinValueKind::Twips},
    {"TEAM", "BackColor", &SkinPackage::teamBackColor, SkinValueKind::Colour},
    {"TEAM", "Frame", &SkinPackage::teamFrame, SkinValueKind::Flag},
    {"TEAM", "FontSize", &SkinPackage::teamFontSize, SkinValueKind::Points},
    {"TEAM", "BackColor1", &SkinPackage::teamBackColor1, SkinValueKind::Colour},
    {"TEAM", "TextColor1", &SkinPackage::teamTextColor1, SkinValueKind::Colour},
    {"TEAM", "BackColor2", &SkinPackage::teamBackColor2, SkinValueKind::Colour},
    {"TEAM", "TextColor2", &SkinPackage::teamTextColor2, SkinValueKind::Colour},
    {"TEAM", "BackColor3", &SkinPackage::teamBackColor3, SkinValueKind::Colour},
    {"TEAM", "TextColor3", &SkinPackage::teamTextColor3, SkinValueKind::Colour},
    {"ITEM", "Left", &SkinPackage::itemLeft, SkinValueKind::Twips},
    {"ITEM", "Top", &SkinPackage::itemTop, SkinValueKind::Twips},
    {"ITEM", "Width", &SkinPackage::itemColumns, SkinValueKind::Count},
    {"ITEM", "Height", &SkinPackage::itemHeight, SkinValueKind::Twips},
    {"ITEM", "Frame", &SkinPackage::itemFrame, SkinValueKind::Flag},
    {"ITEM", "FontSize", &SkinPackage::itemFontSize, SkinValueKind::Points},
    {"ITEM", "BackColor1", &SkinPackage::itemBackColor1, SkinValueKind::Colour},
    {"ITEM", "TextColor1", &SkinPackage::itemTextColor1, SkinValueKind::Colour},
    {"ITEM", "BackColor2", &SkinPackage::itemBackColor2, SkinValueKind::Colour},
    {"ITEM", "TextColor2", &SkinPackage::itemTextColor2, SkinValueKind::Colour},
    {"CLOSE_BUTTON", "Left", &SkinPackage::closeLeft, SkinValueKind::Twips},
    {"CLOSE_BUTTON", "Top", &SkinPackage::closeTop, SkinValueKind::Twips},
    {"MIN_BUTTON", "Left", &SkinPackage::minLeft, SkinValueKind::Twips},
    {"MIN_BUTTON", "Top", &SkinPackage::minTop, SkinValueKind::Twips},
    {"LOCK_BUTTON", "Left", &SkinPackage::lockLeft, SkinValueKind::Twips},
    {"LOCK_BUTTON", "Top", &SkinPackage::lockTop, SkinValueKind::Twips},
    {"LEFT_BUTTON", "Left", &SkinPackage::leftLeft, SkinValueKind::Twips},
    {"LEFT_BUTTON", "Top", &SkinPackage::leftTop, SkinValueKind::Twips},
    {"RIGHT_BUTTON", "Left", &SkinPackage::rightLeft, SkinValueKind::Twips},
    {"RIGHT_BUTTON", "Top", &SkinPackage::rightTop, SkinValueKind::Twips},
    {"UP_BUTTON", "Left", &SkinPackage::upLeft, SkinValueKind::Twips},
    {"UP_BUTTON", "Top", &SkinPackage::upTop, SkinValueKind::Twips},
    {"DOWN_BUTTON", "Left", &SkinPackage::downLeft, SkinValueKind::Twips},
    {"DOWN_BUTTON", "Top", &SkinPackage::downTop, SkinValueKind::Twips},
};

std::string KeyName(const NumericKey& k) {
    return "[" + AsciiUpper(k.section) + "] " + k.key;
}

}  // namespace

std::string SkinDescriptionPath(const std::string& folder) {
    return Join(folder, kSkinDescriptionFile);
}

std::string SkinPicturePath(const std::string& folder, const std::string& file) {
    return Join(Join(folder, kSkinImageFolder), file);
}

std::string SkinDoublePicturePath(const std::string& picturePath) {
    const size_t nameAt = picturePath.find_last_of("\\/");
    if (nameAt == std::string::npos || nameAt + 1 >= picturePath.size()) return {};
    const std::string parent = picturePath.substr(0, nameAt);
    const size_t parentAt = parent.find_last_of("\\/");
    const std::string parentName = parentAt == std::string::npos ? parent : parent.substr(parentAt + 1);
    if (AsciiLower(parentName) != kSkinImageFolder) return {};
    return Join(Join(parent, kSkinDoubleFolder), picturePath.substr(nameAt + 1));
}

std::string SkinPictureForDpi(const std::string& picturePath, int dpi, Pictures& pictures) {
    if (dpi < kSkinDoubleFromDpi) return picturePath;
    std::string twice = SkinDoublePicturePath(picturePath);
    if (twice.empty()) return picturePath;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(PathFromUtf8(twice), ec)) return picturePath;
    const auto normal = pictures.Probe(picturePath);
    const auto big = pictures.Probe(twice);
    if (!normal || !big) return picturePath;
    auto fits = [](int n, int b) { return b >= 2 * n - 1 && b <= 2 * n + 1; };
    // A picture of another shape would be drawn squeezed into the normal one's place.
    if (!fits(normal->width, big->width) || !fits(normal->height, big->height)) return picturePath;
    return twice;
}

std::vector<std::string> SkinPictureFiles(const std::string& folder) {
    std::vector<std::string> files;
    for (const SkinPicture& picture : kSkinPictures)
        files.push_back(SkinPicturePath(folder, picture.file));
    return files;
}

int SkinPictureIndex(const std::string& file) {
    for (size_t i = 0; i < kSkinPictureCount; ++i) {
        if (file == kSkinPictures[i].file) return static_cast<int>(i);
    }
    return -1;
}

SkinPackage ReadSkinPackage(const std::string& folder) {
    SkinPackage skin;
    skin.folder = folder;
    std::string file = SkinDescriptionPath(folder);
    std::error_code ec;
    skin.hasDescription = std::filesystem::is_regular_file(PathFromUtf8(file), ec);
    skin.name = ReadIniString(file, "SKIN", "Name", "");
    skin.version = ReadIniString(file, "SKIN", "Version", "");
    skin.author = ReadIniString(file, "SKIN", "Author", "");
    skin.homePage = ReadIniString(file, "SKIN", "HomePage", "");
    skin.email = ReadIniString(file, "SKIN", "Email", "");
    skin.note = ReadIniString(file, "SKIN", "Note", "");
    for (const NumericKey& k : kNumeric)
        skin.*k.field = ReadIniInt(file, k.section, k.key, 0);
    return skin;
}

void FallbackSkinValues(SkinPackage& s) {
    s.width = 4800;
    s.height = 7200;
    s.titleLeft = 0, s.titleTop = 0, s.titleWidth = 4800, s.titleHeight = 450;
    s.titleTextColor = 0xFFFFFF;
    s.menuLeft = 240, s.menuTop = 510, s.menuFontSize = 9;
    s.menuTextColor1 = 0x000000, s.menuTextColor2 = 0x8B0000, s.menuTextColor3 = 0x0000C0;
    s.menuBackColor = 0xF5E6D8, s.menuFrameColor = 0x8B0000;
    s.teamLeft = 420, s.teamTop = 960, s.teamWidth = 3960, s.teamHeight = 420;
    s.teamBackColor = 0xF0F0F0, s.teamFrame = 1, s.teamFontSize = 9;
    s.teamBackColor1 = 0xF0F0F0, s.teamTextColor1 = 0x000000;
    s.teamBackColor2 = 0xF5E6D8, s.teamTextColor2 = 0x8B0000;
    s.teamBackColor3 = 0x8B0000, s.teamTextColor3 = 0xFFFFFF;
    s.itemLeft = 250, s.itemTop = 1500, s.itemColumns = 4, s.itemHeight = 5280;
    s.itemFrame = 1, s.itemFontSize = 9;
    s.itemBackColor1 = 0xFFFFFF, s.itemTextColor1 = 0x000000;
    s.itemBackColor2 = 0x8B0000, s.itemTextColor2 = 0xFFFFFF;
    s.closeLeft = 4440, s.closeTop = 105;
    s.minLeft = 4140, s.minTop = 105;
    s.lockLeft = 3840, s.lockTop = 105;
    s.leftLeft = 120, s.leftTop = 1050;
    s.rightLeft = 4455, s.rightTop = 1050;
    s.upLeft = 2040, s.upTop = 6870;
    s.downLeft = 2535, s.downTop = 6870;
}

std::vector<std::string> CheckSkinPackage(SkinPackage& skin, Pictures& pictures) {
    std::vector<std::string> problems;
    std::error_code ec;
    if (!std::filesystem::is_directory(PathFromUtf8(skin.folder), ec)) {
        problems.push_back("皮肤文件夹不存在:" + skin.folder + ",已使用简易布局");
        FallbackSkinValues(skin);
    } else if (!skin.hasDescription) {
        problems.emplace_back("皮肤描述文件skin.vsu缺失,已使用简易布局");
        FallbackSkinValues(skin);
    }

    for (const NumericKey& k : kNumeric) {
        int& v = skin.*k.field;
        switch (k.kind) {
            case SkinValueKind::Colour:
                if (v < 0 || v > 0xFFFFFF) {
                    problems.push_back(KeyName(k) + "=" + std::to_string(v) + " 不是有效的颜色值");
                    v &= 0xFFFFFF;
                }
                break;
            case SkinValueKind::Points:
                if (v < 0 || v > 255) {
                    problems.push_back(KeyName(k) + "=" + std::to_string(v) + " 超出范围0-255,已按9号字处理");
                    v = 9;
                }
                break;
            case SkinValueKind::Flag:
                if (v != 0 && v != 1) {
                    problems.push_back(KeyName(k) + "=" + std::to_string(v) + " 应为0或1,已按1处理");
                    v = 1;
                }
                break;
            case SkinValueKind::Count:
                if (v < 1 || v > 31) {
                    int fixed = v < 1 ? 1 : 31;
                    problems.push_back(KeyName(k) + "=" + std::to_string(v) + " 超出范围1-31,已按" +
                                       std::to_string(fixed) + "处理");
                    v = fixed;
                }
                break;
            case SkinValueKind::Twips:
            case SkinValueKind::Text:
                break;
        }
    }
    if (skin.width <= 0 || skin.height <= 0) {
        problems.push_back("[SKIN] Width/Height=" + std::to_string(skin.width) + "/" + std::to_string(skin.height) +
                           " 窗口尺寸无效,已使用默认尺寸");
        SkinPackage plain;
        FallbackSkinValues(plain);
        if (skin.width <= 0) skin.width = plain.width;
        if (skin.height <= 0) skin.height = plain.height;
    }

    for (size_t i = 0; i < kSkinPictureCount; ++i) {
        const SkinPicture& pic = kSkinPictures[i];
        std::string path = SkinPicturePath(skin.folder, pic.file);
        bool exists = std::filesystem::exists(PathFromUtf8(path), ec);
        skin.pictures[i] = exists ? pictures.Probe(path) : std::nullopt;
        if (skin.pictures[i]) continue;
        if (!exists && !pic.required) continue;
        problems.push_back(std::string(exists ? "皮肤图片无法读取:" : "皮肤图片缺失:") + kSkinImageFolder + "\\" +
                           pic.file);
    }
    return problems;
}

std::string SkinProblemsMessage(const std::string& folder, const std::vector<std::string>& problems) {
    if (problems.empty()) return {};
    std::string name = folder;
    size_t cut = name.find_last_of("\\/");
    if (cut != std::string::npos) name = name.substr(cut + 1);
    std::string text = "皮肤\"" + name + "\"有误:";
    size_t shown = std::min<size_t>(problems.size(), 3);
    for (size_t i = 0; i < shown; ++i)
        text += (i ? ";" : "") + problems[i];
    if (problems.size() > shown) text += " 等" + std::to_string(problems.size()) + "处问题";
    return text;
}

}  // namespace vt
