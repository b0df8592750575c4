#include "launcher/settings/settings.h"

#include <array>
#include <filesystem>
#include <system_error>

#include "common/codepage.h"
#include "launcher/settings/settings_store.h"

namespace vt {

int32_t GetRegDword(Registry& reg, RegRoot root, const std::string& key, const std::string& value, int32_t def) {
    if (auto v = reg.QueryDword(root, key, value)) return static_cast<int32_t>(*v);
    // A failed write still leaves the caller with the default; the next read
    // simply tries again.
    (void)SetRegDword(reg, root, key, value, def);
    return def;
}

long SetRegDword(Registry& reg, RegRoot root, const std::string& key, const std::string& value, int32_t number) {
    return reg.SetDword(root, key, value, static_cast<uint32_t>(number));
}

std::string GetRegString(Registry& reg, RegRoot root, const std::string& key, const std::string& value,
                         const std::string& def) {
    std::optional<std::string> v = reg.QueryString(root, key, value);
    if (v) {
        size_t nul = v->find('\0');
        if (nul != std::string::npos) v->resize(nul);
        if (!v->empty()) return *v;
    }
    (void)SetRegString(reg, root, key, value, def);
    return def;
}

long SetRegString(Registry& reg, RegRoot root, const std::string& key, const std::string& value,
                  const std::string& text) {
    return reg.SetString(root, key, value, text);
}

long DeleteRegValue(Registry& reg, RegRoot root, const std::string& key, const std::string& value) {
    if (!reg.KeyExists(root, key)) return 0;
    return reg.DeleteValue(root, key, value);
}

namespace {

constexpr SettingDef Dw(const char* name, const char* key, int32_t def) {
    return {name, key, SettingType::Dword, def, ""};
}
constexpr SettingDef Str(const char* name, const char* key, const char* def) {
    return {name, key, SettingType::String, 0, def};
}

constexpr std::array kTable = {
    Dw("RememberMainPos", kSettingKey, 0),
    Dw("RememberLastTeam", kSettingKey, 0),
    Dw("ShowInMouse", kSettingKey, 0),
    Dw("AutoRollOnTeam", kSettingKey, 1),
    Dw("AutoRollOnItem", kSettingKey, 1),
    Dw("WarnOnError", kSettingKey, 1),
    Dw("WarnOnFormat", kSettingKey, 1),
    Dw("WarnBeforeLaunch", kSettingKey, 0),
    Dw("WarnOnDelete", kSettingKey, 1),
    Dw("WarnOnExit", kSettingKey, 0),
    Dw("WarnAfterDone", kSettingKey, 1),
    Dw("StandOnTop", kSettingKey, 1),
    Dw("HideInSide", kSettingKey, 1),
    Dw("LaunchMode", kSettingKey, 1),
    Dw("ShowItemType", kSettingKey, 0),
    Dw("UseHotKey", kSettingKey, 0),
    Dw("MinAfterLaunch", kSettingKey, 0),
    Dw("MinAfterClickClose", kSettingKey, 0),
    Dw("OnlyLaunchOne", kSettingKey, 0),
    Dw("LaunchOnStart", kSettingKey, 0),
    Dw("RememberPath", kSettingKey, 1),
    Dw("ShowItemExSetting", kSettingKey, 0),
    Str("SkinPath", kSettingKey, ""),

    Dw("mLeft", kDataKey, 0),
    Dw("mTop", kDataKey, 0),
    Dw("LastTeam", kDataKey, -1),
    Dw("RollTeamRate", kDataKey, 150),
    Dw("RollItemRate", kDataKey, 150),
    Dw("HKUseAlt", kDataKey, 0),
    Dw("HKUseCtrl", kDataKey, 0),
    Dw("HKUseShift", kDataKey, 0),
    Str("HKUseKey", kDataKey, ""),
    Dw("MainOpacity", kDataKey, 255),
    Dw("MsgFrameColor", kDataKey, 0x8000),
    Dw("MsgBackColor", kDataKey, 0xC0FFC0),
    Dw("MsgFontColor", kDataKey, 0xC00000),
    Dw("MsgFontSize", kDataKey, 9),
    Dw("MsgOpacity", kDataKey, 255),
    Str("rPath", kDataKey, ""),
};

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Status for a write to a name the table does not know (ERROR_FILE_NOT_FOUND).
constexpr long kUnknownSetting = 2;

// Reads a table value by name inside ApplySettings, where every name is known.
int32_t Dword(Registry& reg, const char* name) {
    return ReadSettingDword(reg, name);
}

bool EndsWithSeparator(std::string_view s) {
    return !s.empty() && (s.back() == '\\' || s.back() == '/');
}

// The folder with a trailing separator of the kind it already uses.
std::string WithTrailingSeparator(const std::string& dir) {
    if (EndsWithSeparator(dir)) return dir;
    size_t last = dir.find_last_of("\\/");
    char sep = (last != std::string::npos && dir[last] == '/') ? '/' : '\\';
    return dir + sep;
}

// Windows timers take intervals that fit in 16 bits without sign, as the
// window toolkit's timer interval does; anything else cannot be applied.
bool ValidInterval(int32_t ms) {
    return ms >= 0 && ms <= 65535;
}

// LaunchMode and ShowItemType are kept in one byte; a value that does not fit
// cannot be applied.
std::optional<uint8_t> AsByte(int32_t v) {
    if (v < 0 || v > 255) return std::nullopt;
    return static_cast<uint8_t>(v);
}

ApplyResult Fail(ApplyResult r) {
    r.ok = false;
    r.message = kMsgInitFailed;
    return r;
}

}  // namespace

std::span<const SettingDef> SettingTable() {
    return kTable;
}

const SettingDef* FindSetting(std::string_view name) {
    for (const SettingDef& d : kTable)
        if (SameName(d.name, name)) return &d;
    return nullptr;
}

int32_t ReadSettingDword(Registry& reg, std::string_view name) {
    const SettingDef* d = FindSetting(name);
    if (!d || d->type != SettingType::Dword) return 0;
    return GetRegDword(reg, kSettingsRoot, d->key, d->name, d->dwordDefault);
}

std::string ReadSettingString(Registry& reg, std::string_view name) {
    const SettingDef* d = FindSetting(name);
    if (!d || d->type != SettingType::String) return {};
    return GetRegString(reg, kSettingsRoot, d->key, d->name, d->stringDefault);
}

long WriteSettingDword(Registry& reg, std::string_view name, int32_t number) {
    const SettingDef* d = FindSetting(name);
    if (!d || d->type != SettingType::Dword) return kUnknownSetting;
    return SetRegDword(reg, kSettingsRoot, d->key, d->name, number);
}

long WriteSettingString(Registry& reg, std::string_view name, const std::string& text) {
    const SettingDef* d = FindSetting(name);
    if (!d || d->type != SettingType::String) return kUnknownSetting;
    return SetRegString(reg, kSettingsRoot, d->key, d->name, text);
}

void CreateMissingSettings(Registry& reg) {
    // A first start in portable mode writes Vantrel.ini once, not once per value.
    SettingsUpdate update(reg);
    for (const SettingDef& d : kTable) {
        if (d.type == SettingType::Dword)
            (void)GetRegDword(reg, kSettingsRoot, d.key, d.name, d.dwordDefault);
        else
            (void)GetRegString(reg, kSettingsRoot, d.key, d.name, d.stringDefault);
    }
}

long SetAutorun(Registry& reg, const std::string& appDir, bool on) {
    if (on) return SetRegString(reg, kSettingsRoot, kAutorunKey, kAutorunValue, appDir + kLauncherExe);
    return DeleteRegValue(reg, kSettingsRoot, kAutorunKey, kAutorunValue);
}

std::optional<uint32_t> HotKeyCodeFromText(std::string_view keyText) {
    if (keyText.empty()) return std::nullopt;
    unsigned char c = static_cast<unsigned char>(keyText.front());
    // Beyond ASCII there is no virtual key that types the character, so such
    // a key can never be registered.
    if (c < 0x20 || c >= 0x7F) return 0u;
    if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
    return c;
}

ApplyResult ApplySettings(Registry& reg, Settings& s, bool first, const ApplyEnvironment& env) {
    // Defaults of missing values reach Vantrel.ini in one write.
    SettingsUpdate update(reg);
    ApplyResult r;
    if (first) {
        s.CurrentTeam = -1;
        s.CurrentItem = -1;
        s.AppDir = WithTrailingSeparator(env.programDir);
        std::error_code ec;
        std::filesystem::path data = PathFromUtf8(s.AppDir) / "DATA";
        if (!std::filesystem::is_directory(data, ec)) {
            std::filesystem::create_directories(data, ec);
            if (ec || !std::filesystem::is_directory(data, ec)) return Fail(r);
        }
        if (Dword(reg, "RememberMainPos") == 1) {
            r.moveTo = WindowPosition{Dword(reg, "mLeft"), Dword(reg, "mTop")};
        } else {
            r.moveTo =
                WindowPosition{(env.screenWidth - env.windowWidth) / 2, (env.screenHeight - env.windowHeight) / 2};
        }
        if (Dword(reg, "RememberLastTeam") == 1) s.CurrentTeam = Dword(reg, "LastTeam");
    }

    s.ShowInMouse = Dword(reg, "ShowInMouse") != 0;
    s.AutoRollOnTeam = Dword(reg, "AutoRollOnTeam") != 0;
    int32_t teamRate = Dword(reg, "RollTeamRate");
    if (!ValidInterval(teamRate)) return Fail(r);
    s.RollTeamRate = teamRate;
    r.rollTeamInterval = teamRate;
    s.AutoRollOnItem = Dword(reg, "AutoRollOnItem") != 0;
    int32_t itemRate = Dword(reg, "RollItemRate");
    if (!ValidInterval(itemRate)) return Fail(r);
    s.RollItemRate = itemRate;
    r.rollItemInterval = itemRate;
    s.WarnOnError = Dword(reg, "WarnOnError") != 0;
    s.WarnOnFormat = Dword(reg, "WarnOnFormat") != 0;
    s.WarnBeforeLaunch = Dword(reg, "WarnBeforeLaunch") != 0;
    s.WarnOnDelete = Dword(reg, "WarnOnDelete") != 0;
    s.WarnOnExit = Dword(reg, "WarnOnExit") != 0;
    s.WarnAfterDone = Dword(reg, "WarnAfterDone") != 0;
    s.StandOnTop = Dword(reg, "StandOnTop") != 0;

    r.lockTooltip = s.StandOnTop ? kTipOnTopEnabled : kTipOnTopDisabled;

    s.HideInSide = Dword(reg, "HideInSide") != 0;
    r.hideTimerEnabled = s.HideInSide;

    auto launchMode = AsByte(Dword(reg, "LaunchMode"));
    if (!launchMode) return Fail(r);
    s.LaunchMode = *launchMode;
    auto showType = AsByte(Dword(reg, "ShowItemType"));
    if (!showType) return Fail(r);
    s.ShowItemType = *showType;

    // Read here too so the window, the launch step and the close button see
    // what the settings dialog just saved.
    s.MinAfterLaunch = Dword(reg, "MinAfterLaunch") != 0;
    s.MinAfterClickClose = Dword(reg, "MinAfterClickClose") != 0;
    s.RememberMainPos = Dword(reg, "RememberMainPos") == 1;
    s.RememberLastTeam = Dword(reg, "RememberLastTeam") == 1;

    s.UseHotKey = Dword(reg, "UseHotKey") == 1;
    if (s.UseHotKey) {
        r.unregisterHotKey = s.HotKeyRegistered;
        uint32_t mods = 0;
        if (Dword(reg, "HKUseAlt") == 1) mods |= 1;
        if (Dword(reg, "HKUseCtrl") == 1) mods |= 2;
        if (Dword(reg, "HKUseShift") == 1) mods |= 4;
        std::optional<uint32_t> key = HotKeyCodeFromText(ReadSettingString(reg, "HKUseKey"));
        if (!key) return Fail(r);
        s.HotKeyModifiers = mods;
        s.HotKeyCode = *key;
        // A character without a key code is refused by the system anyway:
        // no hotkey, no message, as for a combination already taken.
        if (*key != 0) r.registerHotKey = HotKeyRequest{mods, *key};
    }
    return r;
}

}  // namespace vt
