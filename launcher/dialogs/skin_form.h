// The skin chooser ("皮肤设置") without its window: the list of installed
// skins with their info, and the message popup's and main window's look.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "launcher/dialogs/form_common.h"
#include "launcher/settings/settings.h"
#include "platform/prompts.h"
#include "platform/registry.h"

namespace vt {

inline constexpr const char* kCaptionSkinForm = "皮肤设置";
inline constexpr const char* kSkinPageCaptions[] = {"更换皮肤", "界面效果"};
inline constexpr const char* kSkinInfoFrame = "皮肤信息";
inline constexpr const char* kSkinInfoLabels[] = {"名称:", "版本:", "作者:", "主页:", "电邮:", "注释:"};
inline constexpr const char* kSkinMsgGroup = "信息框";
inline constexpr const char* kSkinMainGroup = "主窗口";
inline constexpr const char* kSkinFrameColorLabel = "边框颜色";
inline constexpr const char* kSkinBackColorLabel = "背景颜色";
inline constexpr const char* kSkinFontColorLabel = "字体颜色";
inline constexpr const char* kSkinFontSizeLabel = "字体大小";
inline constexpr const char* kSkinOpacityLabel = "透明度";

inline constexpr const char* kMsgSelectSkin = "请选择一个皮肤";
inline constexpr const char* kMsgSkinSaved = "皮肤设置成功";
inline constexpr const char* kMsgEffectsSaved = "界面效果设置成功";

// Swatch colours before any value is read.
inline constexpr uint32_t kInitialFrameColor = 16384;    // RGB(0, 64, 0)
inline constexpr uint32_t kInitialBackColor = 12648384;  // RGB(192, 255, 192)
inline constexpr uint32_t kInitialFontColor = 16384;

inline constexpr int kMsgFontSizeMin = 1;
inline constexpr int kMsgFontSizeMax = 72;

// Alpha 0..255 <-> per cent 0..100, both rounded to the nearest whole
// number with halves going to the even neighbour (50 % is 127.5: 128).
int PercentToAlpha(int percent);
int AlphaToPercent(int alpha);

enum class Swatch { Frame, Back, Font };

class SkinForm {
public:
    // Lists the skins under appDir + "SKIN" (sub-folders whose skin.vsu has
    // a SKIN Name, sorted by folder name) and reads the appearance values.
    void OnLoad(Registry& reg, const std::string& appDir);
    void OnPageClicked(int page);
    // LstSkin entry chosen: the info labels show that skin's description.
    void OnSkinSelected(int entry);
    // Scroll bars and typed values; typed text that is not a number in the
    // bar's range leaves the bar as it is (the box shows the bar again).
    void OnSizeScrolled(int value);
    void OnMsgOpacityScrolled(int percent);
    void OnMainOpacityScrolled(int percent);
    void OnSizeTyped(const std::string& text);
    void OnMsgOpacityTyped(const std::string& text);
    void OnMainOpacityTyped(const std::string& text);
    // Result of the colour dialog: -1 (cancelled) leaves the swatch alone.
    void OnColorPicked(Swatch swatch, long long color);

    // Page "更换皮肤": stores "SkinPath", announces success, then asks the
    // window to apply the skin. Page "界面效果": stores the popup values and
    // both opacities and asks the window to apply the main opacity.
    FormOutcome OnOk(Registry& reg, const Settings& settings, Prompts& prompts);

    int optPage = 0;
    std::vector<std::string> lstSkin;  // shown names
    std::vector<std::string> folders;  // folder names, parallel to lstSkin
    int selected = -1;
    std::string labName, labVersion, labAuthor, labHomePage, labEmail, labNote;

    uint32_t picFrame = kInitialFrameColor;
    uint32_t picBack = kInitialBackColor;
    uint32_t picFont = kInitialFontColor;
    std::string txtSize = "9";
    int vscrSize = 9;
    int vscrMO = 100;
    std::string txtMO = "100%";
    int vscrFO = 100;
    std::string txtFO = "100%";

private:
    std::string appDir_;
};

}  // namespace vt
