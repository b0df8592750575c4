#include "launcher/dialogs/setting_form.h"

#include <algorithm>
#include <optional>

#include "launcher/settings/settings_store.h"

namespace vt {

namespace {

const char* KeyOf(const char* name) {
    const SettingDef* def = FindSetting(name);
    return def ? def->key : kSettingKey;
}

bool ReadFlag(Registry& reg, const char* name, bool def) {
    return GetRegDword(reg, kSettingsRoot, KeyOf(name), name, def ? 1 : 0) == 1;
}

int ReadNumber(Registry& reg, const char* name, int def) {
    return GetRegDword(reg, kSettingsRoot, KeyOf(name), name, def);
}

void WriteFlag(Registry& reg, const char* name, bool on) {
    (void)WriteSettingDword(reg, name, on ? 1 : 0);
}

constexpr const char* kWarnNames[6] = {"WarnOnError",      "WarnOnDelete", "WarnOnFormat",
                                       "WarnBeforeLaunch", "WarnOnExit",   "WarnAfterDone"};

}  // namespace

std::optional<int> ParseRollRate(const std::string& text) {
    size_t b = text.find_first_not_of(' ');
    size_t e = text.find_last_not_of(' ');
    if (b == std::string::npos) return std::nullopt;
    long long n = 0;
    for (size_t i = b; i <= e; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        n = n * 10 + (text[i] - '0');
        if (n > kRollRateMax) return std::nullopt;
    }
    return static_cast<int>(n);
}

void SettingForm::OnLoad(Registry& reg, const Settings& cur) {
    // Values created with their defaults reach Vantrel.ini in one write.
    SettingsUpdate update(reg);
    const int showItem = ReadNumber(reg, "ShowItemType", cur.ShowItemType);
    optShowItem = (showItem >= 0 && showItem <= 2) ? showItem : -1;
    chkRunOne = ReadFlag(reg, "OnlyLaunchOne", false);
    chkHide = ReadFlag(reg, "HideInSide", cur.HideInSide);
    chkRmTeam = ReadFlag(reg, "RememberLastTeam", false);
    chkOpen = ReadFlag(reg, "RememberPath", false);
    chkWin = ReadFlag(reg, "StandOnTop", cur.StandOnTop);

    const bool warnNow[6] = {cur.WarnOnError,      cur.WarnOnDelete, cur.WarnOnFormat,
                             cur.WarnBeforeLaunch, cur.WarnOnExit,   cur.WarnAfterDone};
    for (int i = 0; i < 6; ++i)
        chkWarn[i] = ReadFlag(reg, kWarnNames[i], warnNow[i]);

    chkHot[0] = ReadFlag(reg, "UseHotKey", false);
    chkHot[1] = ReadFlag(reg, "HKUseCtrl", false);
    chkHot[2] = ReadFlag(reg, "HKUseAlt", false);
    chkHot[3] = ReadFlag(reg, "HKUseShift", false);
    txtHot = ReadSettingString(reg, "HKUseKey");
    chkShow = ReadFlag(reg, "ShowInMouse", false);
    chkOther[0] = ReadFlag(reg, "LaunchOnStart", false);
    chkOther[1] = ReadFlag(reg, "RememberMainPos", false);
    autorunAtLoad_ = chkOther[0];
    const SettingsStore* store = AsSettingsStore(reg);
    chkPortable = store && store->Portable();

    const int launch = ReadNumber(reg, "LaunchMode", cur.LaunchMode);
    optLaunch = (launch == 0 || launch == 1) ? launch : -1;
    chkMin[0] = ReadFlag(reg, "MinAfterLaunch", false);
    chkMin[1] = ReadFlag(reg, "MinAfterClickClose", false);
    chkRoll[0] = ReadFlag(reg, "AutoRollOnTeam", cur.AutoRollOnTeam);
    chkRoll[1] = ReadFlag(reg, "AutoRollOnItem", cur.AutoRollOnItem);
    const int rates[2] = {cur.RollTeamRate, cur.RollItemRate};
    for (int i = 0; i < 2; ++i) {
        vscrRoll[i] = std::clamp(rates[i], 0, kRollRateMax);
        txtRoll[i] = std::to_string(rates[i]);
    }
    optSet = 0;
}

void SettingForm::OnPageClicked(int page) {
    if (page >= 0 && page < 4) optSet = page;
}

void SettingForm::OnRollScrolled(int i, int value) {
    if (i < 0 || i > 1) return;
    vscrRoll[i] = std::clamp(value, 0, kRollRateMax);
    txtRoll[i] = std::to_string(vscrRoll[i]);
}

FormOutcome SettingForm::OnOk(Registry& reg, const std::string& appDir) {
    // The move comes first, so that the options of this OK are written only
    // to the store the user chose: ticking the box must not write them to the
    // registry on the way to the file.
    std::string failure;
    SettingsStore* store = AsSettingsStore(reg);
    if (store && chkPortable != store->Portable()) {
        if (chkPortable ? !store->MoveToFile() : !store->MoveToRegistry())
            failure = chkPortable ? kMsgPortableOnFailed : kMsgPortableOffFailed;
    }
    const bool portable = store && store->Portable();

    SettingsUpdate update(reg);
    WriteFlag(reg, "AutoRollOnTeam", chkRoll[0]);
    if (auto rate = ParseRollRate(txtRoll[0])) (void)WriteSettingDword(reg, "RollTeamRate", *rate);
    WriteFlag(reg, "AutoRollOnItem", chkRoll[1]);
    if (auto rate = ParseRollRate(txtRoll[1])) (void)WriteSettingDword(reg, "RollItemRate", *rate);
    WriteFlag(reg, "MinAfterLaunch", chkMin[0]);
    WriteFlag(reg, "MinAfterClickClose", chkMin[1]);
    (void)WriteSettingDword(reg, "LaunchMode", optLaunch == 0 ? 0 : 1);
    WriteFlag(reg, "UseHotKey", chkHot[0]);
    WriteFlag(reg, "ShowInMouse", chkShow);
    WriteFlag(reg, "HKUseCtrl", chkHot[1]);
    WriteFlag(reg, "HKUseAlt", chkHot[2]);
    WriteFlag(reg, "HKUseShift", chkHot[3]);
    (void)WriteSettingString(reg, "HKUseKey", txtHot);
    WriteFlag(reg, "LaunchOnStart", chkOther[0]);
    // A portable launcher touches the machine's autorun entry only when asked
    // to: a stick opened on another computer must not leave itself there.
    if (!portable || chkOther[0] != autorunAtLoad_) (void)SetAutorun(reg, appDir, chkOther[0]);
    WriteFlag(reg, "RememberMainPos", chkOther[1]);
    for (int i = 0; i < 6; ++i)
        WriteFlag(reg, kWarnNames[i], chkWarn[i]);
    WriteFlag(reg, "StandOnTop", chkWin);
    WriteFlag(reg, "RememberPath", chkOpen);
    WriteFlag(reg, "RememberLastTeam", chkRmTeam);
    WriteFlag(reg, "HideInSide", chkHide);
    WriteFlag(reg, "OnlyLaunchOne", chkRunOne);
    (void)WriteSettingDword(reg, "ShowItemType", optShowItem == 0 ? 0 : optShowItem == 1 ? 1 : 2);
    if (!update.FinishQuietly() && failure.empty()) failure = kMsgSettingsNotSaved;

    FormOutcome out;
    out.close = true;
    out.applySettings = true;
    // WarnOnError and WarnAfterDone as they are about to be applied.
    if (!failure.empty()) {
        if (chkWarn[0]) out.messageAfter = failure;
    } else if (chkWarn[5]) {
        out.messageAfter = kMsgSettingsSaved;
    }
    return out;
}

}  // namespace vt
