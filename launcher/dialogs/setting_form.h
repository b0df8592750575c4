// The settings dialog ("软件设置") without its window: every control mirrors
// one registry value; OK writes them all and has the window apply them.
#pragma once

#include <array>
#include <string>

#include "launcher/dialogs/form_common.h"
#include "launcher/settings/settings.h"
#include "platform/registry.h"

namespace vt {

inline constexpr const char* kCaptionSetForm = "软件设置";
inline constexpr const char* kMsgSettingsSaved = "软件设置成功";
// OptSet(0..3).
inline constexpr const char* kSettingPageCaptions[] = {"操作设置", "运行设置", "提示设置", "界面设置"};
inline constexpr int kRollRateMax = 32767;

// Captions of the controls, indexed like the controls.
inline constexpr const char* kSettingSectionCaptions[] = {"项目显示方式", "界面设置", "提示设置",   "热键设置",
                                                          "其它设置",     "启动设置", "最小化设置", "滚动设置"};
inline constexpr const char* kOptShowItemCaptions[] = {"显示图标和项目名称", "只显示项目图标", "以列表方式显示项目"};
inline constexpr const char* kChkRunOneCaption = "只允许运行一个程序实例";
inline constexpr const char* kChkHideCaption = "主窗口靠近桌面边缘时缩入隐藏";
inline constexpr const char* kChkRmTeamCaption = "记忆最后一次展开的类别";
inline constexpr const char* kChkOpenCaption = "\"打开\"对话框记忆路径";
inline constexpr const char* kChkWinCaption = "窗口置于最上层";
inline constexpr const char* kChkWarnCaptions[] = {"在遇到错误时提示",        "在进行删除操作前确认",
                                                   "在填写格式错误时提示",    "在启动项目前确认",
                                                   "在退出\"Vantrel\"时确认", "在功能执行后提示"};
inline constexpr const char* kChkHotCaptions[] = {"使用全局热键", "Ctrl +", "Alt +", "Shift +"};
inline constexpr const char* kChkShowCaption = "按下热键后主窗口出现在鼠标处";
inline constexpr const char* kChkOtherCaptions[] = {"在启动计算机时自动运行", "记忆主窗口的位置"};
inline constexpr const char* kChkPortableCaption = "便携模式(设置保存在程序文件夹)";
inline constexpr const char* kOptLaunchCaptions[] = {"鼠标左键单击项目时启动项目", "鼠标左键双击项目时启动项目"};
inline constexpr const char* kChkMinCaptions[] = {"启动项目后自动最小化", "点击主窗口关闭按钮时最小化"};
inline constexpr const char* kChkRollCaptions[] = {"鼠标停在类别栏按钮上时自动滚动", "鼠标停在项目栏按钮上时自动滚动"};
inline constexpr const char* kRollSpeedLabel = "滚动速度:";

class SettingForm {
public:
    // Every control from its registry value; a missing value is created with
    // the dialog's read default (the in-memory copy where the dialog has one).
    // The two rates show the intervals the roll timers run at now.
    void OnLoad(Registry& reg, const Settings& current);
    // OptSet(i) clicked.
    void OnPageClicked(int page);
    // VScrRoll(i) moved: only its own text follows.
    void OnRollScrolled(int i, int value);

    // Moves the options between the registry and Vantrel.ini when ChkPortable
    // changed, then writes every value (and the autorun entry) in the
    // dialog's fixed order, in whichever store is now in use. A rate text
    // that is not a whole number from 0 to 32767 leaves that rate as it was.
    // The outcome asks the window to stop name scrolling, run
    // ApplySettings(not first), restart name scrolling and then show
    // messageAfter: "软件设置成功", or what went wrong when a move or a write
    // failed (error messages follow the new WarnOnError).
    FormOutcome OnOk(Registry& reg, const std::string& appDir);

    int optSet = 0;  // visible page

    // "界面设置"
    int optShowItem = 0;  // 0, 1, 2
    bool chkRunOne = false, chkHide = true, chkRmTeam = false, chkOpen = false, chkWin = true;
    // "提示设置": WarnOnError, WarnOnDelete, WarnOnFormat, WarnBeforeLaunch, WarnOnExit, WarnAfterDone
    std::array<bool, 6> chkWarn{};
    // "运行设置": UseHotKey, Ctrl, Alt, Shift
    std::array<bool, 4> chkHot{};
    std::string txtHot;
    bool chkShow = false;
    std::array<bool, 2> chkOther{};  // LaunchOnStart, RememberMainPos
    bool chkPortable = false;        // options in Vantrel.ini rather than the registry
    // "操作设置"
    int optLaunch = 1;              // 0 single click, 1 double click
    std::array<bool, 2> chkMin{};   // MinAfterLaunch, MinAfterClickClose
    std::array<bool, 2> chkRoll{};  // AutoRollOnTeam, AutoRollOnItem
    std::array<std::string, 2> txtRoll;
    std::array<int, 2> vscrRoll{};

private:
    bool autorunAtLoad_ = false;
};

// The whole number a rate box holds, or nullopt when it holds something else
// or a number outside 0..32767.
std::optional<int> ParseRollRate(const std::string& text);

}  // namespace vt
