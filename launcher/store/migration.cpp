#include "launcher/store/migration.h"

#include <filesystem>
#include <system_error>

#include "common/codepage.h"
#include "common/ini.h"
#include "common/line_file.h"
#include "common/random_name.h"
#include "launcher/store/password.h"
#include "launcher/store/store.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

constexpr char kSep = static_cast<char>(fs::path::preferred_separator);
constexpr const char* kSettingsKey = "SOFTWARE\\Oskarn\\Vantrel\\Setting";
constexpr const char* kDataKey = "SOFTWARE\\Oskarn\\Vantrel\\Data";
constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kMissing = "\x7f<missing>\x7f";

struct OptionMap {
    const char* section;
    const char* key;
    int def;
    const char* value;
    bool settingsKey;  // false: data key
    bool flag;         // on/off: written as 0 or 1
};

constexpr OptionMap kOptions[] = {
    {"Roll", "OnTeam", 1, "AutoRollOnTeam", true, true},
    {"Roll", "TeamTick", 150, "RollTeamRate", false, false},
    {"Roll", "OnItem", 1, "AutoRollOnItem", true, true},
    {"Roll", "ItemTick", 150, "RollItemRate", false, false},
    {"Min", "AfterStart", 0, "MinAfterLaunch", true, true},
    {"Min", "ClickClose", 0, "MinAfterClickClose", true, true},
    {"Run", "RememberXY", 0, "RememberMainPos", true, true},
    {"Warn", "OnError", 1, "WarnOnError", true, true},
    {"Warn", "OnDelete", 1, "WarnOnDelete", true, true},
    {"Warn", "OnFormat", 1, "WarnOnFormat", true, true},
    {"Warn", "OnStart", 0, "WarnBeforeLaunch", true, true},
    {"Warn", "OnExit", 0, "WarnOnExit", true, true},
    {"Warn", "OnRun", 1, "WarnAfterDone", true, true},
    {"Interface", "AllOnTop", 1, "StandOnTop", true, true},
    {"Interface", "RememberPath", 1, "RememberPath", true, true},
    {"XY", "X", 0, "mLeft", false, false},
    {"XY", "Y", 0, "mTop", false, false},
    {"Interface", "RememberTeam", 0, "RememberLastTeam", true, true},
    {"Path", "Team", 0, "LastTeam", false, false},
    {"Interface", "HideInSide", 1, "HideInSide", true, true},
};

bool IsFile(const std::string& utf8) {
    std::error_code ec;
    return fs::is_regular_file(PathFromUtf8(utf8), ec);
}

bool Exists(const std::string& utf8) {
    std::error_code ec;
    return fs::exists(PathFromUtf8(utf8), ec);
}

bool HasKey(const std::string& file, const std::string& section, const char* key) {
    return ReadIniString(file, section, key, kMissing) != kMissing;
}

// The old "Count", when it is a plain non-negative number. Otherwise (missing,
// garbage, negative) the records are counted: sections "1", "2", ... for as
// long as they hold one of the record keys, so damaged lists still convert.
int OldCount(const std::string& file, const char* countSection, const char* keyA, const char* keyB) {
    std::string v = ReadIniString(file, countSection, "Count", "");
    bool number = !v.empty();
    long long n = 0;
    for (char c : v) {
        if (c < '0' || c > '9') {
            number = false;
            break;
        }
        if (n <= kMaxTeams) n = n * 10 + (c - '0');
    }
    if (number) return n > kMaxTeams ? kMaxTeams : static_cast<int>(n);
    int count = 0;
    while (count < kMaxTeams) {
        const std::string sec = std::to_string(count + 1);
        if (!HasKey(file, sec, "Name") && !HasKey(file, sec, keyA) && !HasKey(file, sec, keyB)) break;
        ++count;
    }
    return count;
}

// First free name among "pDATA", "pDATA1", "pDATA2", ...: an old-data folder
// left by an earlier run is never written over.
std::string FreeOldDataName(const std::string& appDir) {
    if (!Exists(appDir + "pDATA")) return "pDATA";
    for (int i = 1; i < 1000; ++i) {
        std::string name = "pDATA" + std::to_string(i);
        if (!Exists(appDir + name)) return name;
    }
    return {};
}

int MapType(int oldType) {
    switch (oldType) {
        case 1: return 0;
        case 2: return 1;
        case 3:
        case 4: return 2;
        case 5: return 3;
        case 6: return 4;
        case 7: return 5;
        default: return -1;
    }
}

bool CopyIfPresent(const std::string& from, const std::string& fromSec, const std::string& to,
                   const std::string& toSec, const char* key) {
    std::string v = ReadIniString(from, fromSec, key, kMissing);
    return v == kMissing || WriteIniString(to, toSec, key, v);
}

// Converts the items of one old team folder; false when a write failed.
bool MigrateItems(const std::string& oldFolder, const std::string& newFolder) {
    const std::string oldFile = oldFolder.empty() ? std::string() : oldFolder + kSep + "ITEM.QRD";
    const std::string newFile = ItemSetFile(newFolder);
    const int m = oldFile.empty() ? 0 : OldCount(oldFile, "Item", "Path", "Type");
    bool ok = WriteIniString(newFile, "ITEM", "Count", static_cast<long long>(m));
    for (int j = 1; j <= m && ok; ++j) {
        const std::string o = std::to_string(j);
        const std::string n = std::to_string(j - 1);
        ok = CopyIfPresent(oldFile, o, newFile, n, "Name");
        int type = MapType(ReadIniInt(oldFile, o, "Type", 0));
        if (ok && type >= 0) ok = WriteIniString(newFile, n, "Type", static_cast<long long>(type));
        // Old modes run 1..4; a missing or odd one becomes the normal window.
        int oldMode = ReadIniInt(oldFile, o, "Mode", 1);
        int mode = (oldMode >= 1 && oldMode <= 4) ? oldMode - 1 : 0;
        ok = ok && WriteIniString(newFile, n, "Mode", static_cast<long long>(mode));
        ok = ok && CopyIfPresent(oldFile, o, newFile, n, "Note");

        const std::string key = ReadIniString(oldFile, o, "Code", "");
        int path = WriteDataLine(PathSetFile(newFolder), EncodePassword(ReadIniString(oldFile, o, "Path", ""), key), 0);
        ok = ok && path >= 0 && WriteIniString(newFile, n, "Path", static_cast<long long>(path));
        int para =
            WriteDataLine(ParaSetFile(newFolder), EncodePassword(ReadIniString(oldFile, o, "Command", ""), key), 0);
        ok = ok && para >= 0 && WriteIniString(newFile, n, "Para", static_cast<long long>(para));

        const std::string iconOld = ReadIniString(oldFile, o, "IconOld", "");
        size_t comma = iconOld.rfind(',');
        if (ok && comma != std::string::npos) {
            std::string source = iconOld.substr(0, comma);
            if (source == "[WEB]" || source == "[MAIL]") source = "[LINK]";
            ok = WriteIniString(newFile, n, "IconIndex", iconOld.substr(comma + 1));
            int iconPath = WriteDataLine(IconSetFile(newFolder), EncodePassword(source, key), 0);
            ok = ok && iconPath >= 0 && WriteIniString(newFile, n, "IconPath", static_cast<long long>(iconPath));
        }
        ok = ok && WriteIniString(newFile, n, "Password", key.empty() ? "False" : "True");

        std::string name;
        do {
            name = MakeRandomName();
        } while (Exists(newFolder + kSep + name + ".img"));
        const std::string oldIcon = ReadIniString(oldFile, o, "Icon", "");
        if (ok && !oldFolder.empty() && IsSafeFolderName(oldIcon) && IsFile(oldFolder + kSep + oldIcon)) {
            std::error_code ec;
            fs::copy_file(PathFromUtf8(oldFolder + kSep + oldIcon), PathFromUtf8(newFolder + kSep + name + ".img"),
                          ec);
            ok = !ec;
        }
        ok = ok && WriteIniString(newFile, n, "Icon", "\\" + name + ".img");
    }
    return ok;
}

}  // namespace

MigrationReport MigrateOldData(const std::string& appDir, Registry& registry, Prompts& prompts, bool warnOnError) {
    MigrationReport report;
    if (!IsFile(DataDir(appDir) + "TEAM.QRD")) return report;

    auto fail = [&] {
        report.result = MigrationResult::Failed;
        if (warnOnError) prompts.ShowMessage(kMsgMigrationFailed);
        return report;
    };
    const std::string oldName = FreeOldDataName(appDir);
    if (oldName.empty()) return fail();
    std::error_code ec;
    const fs::path data = PathFromUtf8(appDir + "DATA");
    const fs::path oldData = PathFromUtf8(appDir + oldName);
    fs::rename(data, oldData, ec);
    if (ec) return fail();
    if (!fs::create_directory(data, ec) || ec) {
        std::error_code back;
        fs::rename(oldData, data, back);
        return fail();
    }
    report.oldDataFolder = oldName;
    const std::string old = appDir + oldName + kSep;

    // Options.
    const std::string set = old + "SET.QRD";
    for (const OptionMap& o : kOptions) {
        long long v = ReadIniInt(set, o.section, o.key, o.def);
        if (o.flag && v < 0) v = -v;
        registry.SetDword(RegRoot::LocalMachine, o.settingsKey ? kSettingsKey : kDataKey, o.value,
                          static_cast<uint32_t>(v));
    }
    registry.SetString(RegRoot::LocalMachine, kDataKey, "rPath", ReadIniString(set, "Path", "Dir", ""));
    if (ReadIniInt(set, "Run", "AutoRun", 0) == -1) {
        registry.DeleteValue(RegRoot::LocalMachine, kRunKey, "Qrd");
        registry.SetString(RegRoot::LocalMachine, kRunKey, "Vantrel", appDir + "VT.exe");
        registry.SetDword(RegRoot::LocalMachine, kSettingsKey, "LaunchOnStart", 1);
    }

    // Teams and their items.
    const std::string oldTeams = old + "TEAM.QRD";
    const std::string teams = TeamSetFile(appDir);
    const int n = OldCount(oldTeams, "Team", "Team", "Note");
    bool ok = WriteIniString(teams, "TEAM", "Count", static_cast<long long>(n));
    for (int t = 1; t <= n && ok; ++t) {
        const std::string o = std::to_string(t);
        const std::string sec = std::to_string(t - 1);
        ok = WriteIniString(teams, sec, "Name", ReadIniString(oldTeams, o, "Name", "")) &&
             WriteIniString(teams, sec, "Note", ReadIniString(oldTeams, o, "Note", ""));
        std::string name;
        do {
            name = MakeRandomName();
        } while (Exists(DataDir(appDir) + name));
        ok = ok && fs::create_directory(PathFromUtf8(DataDir(appDir) + name), ec) && !ec;
        ok = ok && WriteIniString(teams, sec, "Path", name) && WriteIniString(teams, sec, "Password", "False");
        std::string team = ReadIniString(oldTeams, o, "Team", "");
        std::string oldFolderName = "TEAM" + (team.empty() ? o : team);
        std::string oldFolder = IsSafeFolderName(oldFolderName) ? old + oldFolderName : std::string();
        ok = ok && MigrateItems(oldFolder, DataDir(appDir) + name);
    }
    report.result = MigrationResult::Done;
    prompts.ShowMessage(ok ? kMsgMigrationDone : kMsgMigrationIncomplete);
    return report;
}

}  // namespace vt
