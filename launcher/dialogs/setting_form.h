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

    // Writes every value (and the autorun entry) in the dialog's fixed order.
    // A rate text that is not a whole number from 0 to 32767 leaves that rate
    // as it was. The outcome asks the window to stop name scrolling, run
    // ApplySettings(not first), restart name scrolling and then show
    // messageAfter.
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
    // "操作设置"
    int optLaunch = 1;  // 0 single click, 1 double click
    std::array<bool, 2> chkMin{};   // MinAfterLaunch, MinAfterClickClose
    std::array<bool, 2> chkRoll{};  // AutoRollOnTeam, AutoRollOnItem
    std::array<std::string, 2> txtRoll;
    std::array<int, 2> vscrRoll{};
};

// The whole number a rate box holds, or nullopt when it holds something else
// or a number outside 0..32767.
std::optional<int> ParseRollRate(const std::string& text);

}  // namespace vt
