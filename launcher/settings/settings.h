// The launcher's options and remembered state, kept in the registry under
// HKEY_LOCAL_MACHINE (or, in portable mode, in Vantrel.ini beside the program:
// see settings_store.h), and the step that reads them into the running program.
//
// Every value the program stores is listed once in SettingTable(); readers,
// the settings dialog and first-start creation all go through that table, so
// a value's key, type and default live in exactly one place.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace vt {

inline constexpr RegRoot kSettingsRoot = RegRoot::LocalMachine;
inline constexpr const char* kSettingKey = "SOFTWARE\\Oskarn\\Vantrel\\Setting";
inline constexpr const char* kDataKey = "SOFTWARE\\Oskarn\\Vantrel\\Data";
inline constexpr const char* kAutorunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kAutorunValue = "Vantrel";
inline constexpr const char* kLauncherExe = "VT.exe";

inline constexpr const char* kMsgInitFailed = "程序初始化失败";
inline constexpr const char* kTipOnTopEnabled = "置于顶层(已启用)";
inline constexpr const char* kTipOnTopDisabled = "置于顶层(未启用)";

// ---- Registry operations --------------------------------------------------
// Keys are opened and closed inside each call; nothing is kept open.

// The stored number; a missing key or value (or one of another type) is
// created with def, and def is returned.
int32_t GetRegDword(Registry& reg, RegRoot root, const std::string& key, const std::string& value, int32_t def);
// 0 on success, else the system status; nothing is written on failure.
long SetRegDword(Registry& reg, RegRoot root, const std::string& key, const std::string& value, int32_t number);
// The stored text up to its first NUL. A missing or empty value is written
// with def and def is returned.
std::string GetRegString(Registry& reg, RegRoot root, const std::string& key, const std::string& value,
                         const std::string& def);
long SetRegString(Registry& reg, RegRoot root, const std::string& key, const std::string& value,
                  const std::string& text);
// The system status of the delete; 0 also when the key does not exist.
long DeleteRegValue(Registry& reg, RegRoot root, const std::string& key, const std::string& value);

// ---- Settings as data -----------------------------------------------------

enum class SettingType { Dword, String };

struct SettingDef {
    const char* name;  // registry value name
    const char* key;   // kSettingKey or kDataKey
    SettingType type;
    int32_t dwordDefault;
    const char* stringDefault;
};

// Every value of the settings key, then every value of the data key.
std::span<const SettingDef> SettingTable();
// nullptr when the name is not a stored setting (names compare
// case-insensitively, as the registry does).
const SettingDef* FindSetting(std::string_view name);

// Reads and writes by name through the table (HKEY_LOCAL_MACHINE). Reading a
// missing value creates it with the table's default. An unknown name reads as
// 0 / empty and is not written; writing it returns a non-zero status.
int32_t ReadSettingDword(Registry& reg, std::string_view name);
std::string ReadSettingString(Registry& reg, std::string_view name);
long WriteSettingDword(Registry& reg, std::string_view name, int32_t number);
long WriteSettingString(Registry& reg, std::string_view name, const std::string& text);

// Writes every missing value of the table with its default; existing values
// are left alone.
void CreateMissingSettings(Registry& reg);

// The autorun entry: AppDir + "VT.exe" under the Run key, or removed.
long SetAutorun(Registry& reg, const std::string& appDir, bool on);

// ---- In-memory copies -----------------------------------------------------

struct Settings {
    std::string AppDir;  // ends with a separator
    int CurrentTeam = -1;
    int CurrentItem = -1;

    bool ShowInMouse = false;
    bool AutoRollOnTeam = true;
    bool AutoRollOnItem = true;
    bool WarnOnError = true;
    bool WarnOnFormat = true;
    bool WarnBeforeLaunch = false;
    bool WarnOnDelete = true;
    bool WarnOnExit = false;
    bool WarnAfterDone = true;
    bool StandOnTop = true;
    bool HideInSide = true;
    uint8_t LaunchMode = 1;    // 0 single click, 1 double click, anything else: menu only
    uint8_t ShowItemType = 0;  // item panel layout 0, 1, 2
    bool MinAfterLaunch = false;
    bool MinAfterClickClose = false;
    bool RememberMainPos = false;
    bool RememberLastTeam = false;

    int RollTeamRate = 150;  // milliseconds
    int RollItemRate = 150;

    bool UseHotKey = false;
    uint32_t HotKeyModifiers = 0;  // MOD_ALT 1 | MOD_CONTROL 2 | MOD_SHIFT 4
    uint32_t HotKeyCode = 0;       // virtual key
    // Set by the window from RegisterHotKey's answer.
    bool HotKeyRegistered = false;
};

// What the window needs to know that the registry does not hold.
struct ApplyEnvironment {
    std::string programDir;  // the launcher's folder, with or without trailing separator
    int screenWidth = 0;     // twips
    int screenHeight = 0;
    int windowWidth = 0;
    int windowHeight = 0;
};

struct WindowPosition {
    int left = 0;  // twips
    int top = 0;
    bool operator==(const WindowPosition&) const = default;
};

struct HotKeyRequest {
    uint32_t modifiers = 0;
    uint32_t key = 0;
    bool operator==(const HotKeyRequest&) const = default;
};

// What the window must do after ApplySettings. Only the steps reached before
// a failure are filled in; the rest stay empty and must be left as they are.
struct ApplyResult {
    bool ok = true;
    std::string message;                     // kMsgInitFailed when !ok
    std::optional<WindowPosition> moveTo;    // first start only
    std::optional<int> rollTeamInterval;     // TmrRollTeam, ms
    std::optional<int> rollItemInterval;     // TmrRollItem, ms
    std::optional<std::string> lockTooltip;  // LabLock tool tip
    std::optional<bool> hideTimerEnabled;    // TmrHide
    bool unregisterHotKey = false;           // drop the earlier registration first
    std::optional<HotKeyRequest> registerHotKey;
};

// Reads the options into s, in the launcher's fixed order, creating missing
// values with their defaults. first = true at start-up: also sets AppDir,
// creates AppDir + "DATA", decides the window position and the last team.
// Stops at the first failure; what was read before it stays in s.
ApplyResult ApplySettings(Registry& reg, Settings& s, bool first, const ApplyEnvironment& env);

// The hotkey's virtual key for the stored key text: the upper-case code of its
// first character for letters, digits and other printable ASCII; nullopt when
// the text is empty (no key), 0 when its first character has no key code.
std::optional<uint32_t> HotKeyCodeFromText(std::string_view keyText);

}  // namespace vt
