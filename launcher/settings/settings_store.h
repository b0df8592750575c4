// Where the launcher's options live. Normally that is the registry; when the
// program folder holds a file named "Vantrel.ini" the launcher is portable and
// the values of the Setting and Data keys live in that file instead (sections
// "Setting" and "Data", same names and defaults), so the whole launcher can
// travel on a stick or in a synced folder.
//
// SettingsStore is the Registry every part of the launcher talks to. It sends
// the two option keys of HKEY_LOCAL_MACHINE to the file while portable and
// everything else (the autorun entry, registry writes of items, icon look-ups)
// to the real registry, so no caller needs to know which mode is on.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace vt {

class IniReadScope;

inline constexpr const char* kPortableFileName = "Vantrel.ini";
inline constexpr const char* kPortableSettingSection = "Setting";
inline constexpr const char* kPortableDataSection = "Data";

inline constexpr const char* kMsgSettingsNotSaved = "设置数据写入失败,修改只在本次运行中有效";
inline constexpr const char* kMsgPortableOnFailed = "便携模式开启失败,设置仍保存在注册表中";
inline constexpr const char* kMsgPortableOffFailed = "便携模式关闭失败,设置仍保存在Vantrel.ini中";

class SettingsStore final : public Registry {
public:
    // Portable when appDir + "Vantrel.ini" is there now. The mode is decided
    // once; only MoveToFile and MoveToRegistry change it afterwards.
    SettingsStore(Registry& system, const std::string& appDir);
    ~SettingsStore() override;
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    bool Portable() const { return portable_; }
    const std::string& IniFile() const { return iniFile_; }
    Registry& System() { return system_; }

    bool KeyExists(RegRoot root, const std::string& key) override;
    std::optional<uint32_t> QueryDword(RegRoot root, const std::string& key, const std::string& value) override;
    std::optional<std::string> QueryString(RegRoot root, const std::string& key, const std::string& value) override;
    long SetDword(RegRoot root, const std::string& key, const std::string& value, uint32_t data) override;
    long SetString(RegRoot root, const std::string& key, const std::string& value, const std::string& data) override;
    long SetBinary(RegRoot root, const std::string& key, const std::string& value, const std::string& bytes) override;
    long DeleteValue(RegRoot root, const std::string& key, const std::string& value) override;
    std::vector<std::string> EnumSubKeys(RegRoot root, const std::string& key) override;

    // Writes between BeginUpdate and the matching EndUpdate reach the file in
    // one replacement at the end (groups nest). True when nothing written so
    // far is still waiting for the file. With reportFailure the write-failed
    // handler hears of a failure; without, the caller reports it itself.
    void BeginUpdate();
    bool EndUpdate(bool reportFailure = true);

    // Values written while the file could not be: they stay in memory, are
    // read back from there, and go to the file with the next write that
    // succeeds (or to the registry when the user leaves portable mode).
    bool HasUnsavedChanges() const { return !pending_.empty(); }
    // Told when a write to the file fails; once, until one succeeds again, so
    // a folder that stays read-only does not repeat itself on every value.
    void SetWriteFailedHandler(std::function<void()> handler) { onWriteFailed_ = std::move(handler); }

    // Copies every option into Vantrel.ini in one write, reads it back and
    // only then becomes portable. The registry is left as it was. On any
    // failure nothing changes (a file this call made is removed) and the
    // result is false.
    [[nodiscard]] bool MoveToFile();
    // Writes every option (unsaved ones included) to the registry, reads it
    // back, then deletes Vantrel.ini and leaves portable mode. On any failure
    // the registry values are put back, the file stays and so does the mode.
    [[nodiscard]] bool MoveToRegistry();

private:
    struct Pending {
        std::string section;
        std::string name;
        std::optional<std::string> text;  // nullopt: deleted
    };

    // "Setting" or "Data" when this key lives in the file now, else null.
    const char* SectionFor(RegRoot root, const std::string& key) const;
    std::optional<std::string> Lookup(const char* section, const std::string& name) const;
    long Put(const char* section, const std::string& name, std::optional<std::string> text);
    bool Flush(bool reportFailure);
    // Every option of the table as file text, taken from the registry or the
    // file; a missing one has its default.
    std::map<std::string, std::string> GatherFromRegistry();
    std::map<std::string, std::string> GatherFromFile() const;

    Registry& system_;
    std::string iniFile_;
    bool portable_ = false;
    int updateDepth_ = 0;
    bool failureReported_ = false;
    std::map<std::string, Pending> pending_;  // by section + folded name
    // The file is looked at once per group of reads, not once per value.
    std::unique_ptr<IniReadScope> pin_;
    std::function<void()> onWriteFailed_;
};

// The store behind reg, or null when reg is a plain registry (tests, tools).
SettingsStore* AsSettingsStore(Registry& reg);

// One user action's option writes as one replacement of Vantrel.ini; does
// nothing more than the writes themselves on the registry.
class SettingsUpdate {
public:
    explicit SettingsUpdate(Registry& reg);
    ~SettingsUpdate();
    SettingsUpdate(const SettingsUpdate&) = delete;
    SettingsUpdate& operator=(const SettingsUpdate&) = delete;
    // Ends the group; true when every value written reached its store. A
    // failure is left to the caller to report.
    [[nodiscard]] bool FinishQuietly();

private:
    SettingsStore* store_;
};

// The text a DWORD is kept as in Vantrel.ini (signed decimal, so "LastTeam"
// reads -1), and the number a text of the file stands for: decimal with an
// optional sign or "0x" hexadecimal, blanks around it allowed; anything else
// is not a number, as a value of another type in the registry is not.
std::string DwordToIniText(uint32_t value);
std::optional<uint32_t> DwordFromIniText(std::string_view text);

}  // namespace vt
