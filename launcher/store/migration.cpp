#include "launcher/store/migration.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <string_view>
#include <system_error>
#include <vector>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/ini.h"
#include "common/random_name.h"
#include "launcher/settings/settings.h"
#include "launcher/store/password.h"
#include "launcher/store/store.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

constexpr char kSep = static_cast<char>(fs::path::preferred_separator);
constexpr const char* kBlanks = " \t\v\f\r";
constexpr int kMaxOldDataFolders = 1000;

// Steps named in the marker. "Move": the old DATA is being set aside and the
// options are still to be written. "Teams": the options are written, the
// teams and items are being built.
constexpr const char* kStepMove = "Move";
constexpr const char* kStepTeams = "Teams";

struct OptionMap {
    const char* section;
    const char* key;
    int def;
    const char* value;  // the setting's name
    bool flag;          // on/off: written as 0 or 1
};

constexpr OptionMap kOptions[] = {
    {"Roll", "OnTeam", 1, "AutoRollOnTeam", true},
    {"Roll", "TeamTick", 150, "RollTeamRate", false},
    {"Roll", "OnItem", 1, "AutoRollOnItem", true},
    {"Roll", "ItemTick", 150, "RollItemRate", false},
    {"Min", "AfterStart", 0, "MinAfterLaunch", true},
    {"Min", "ClickClose", 0, "MinAfterClickClose", true},
    {"Run", "RememberXY", 0, "RememberMainPos", true},
    {"Warn", "OnError", 1, "WarnOnError", true},
    {"Warn", "OnDelete", 1, "WarnOnDelete", true},
    {"Warn", "OnFormat", 1, "WarnOnFormat", true},
    {"Warn", "OnStart", 0, "WarnBeforeLaunch", true},
    {"Warn", "OnExit", 0, "WarnOnExit", true},
    {"Warn", "OnRun", 1, "WarnAfterDone", true},
    {"Interface", "AllOnTop", 1, "StandOnTop", true},
    {"Interface", "RememberPath", 1, "RememberPath", true},
    {"XY", "X", 0, "mLeft", false},
    {"XY", "Y", 0, "mTop", false},
    {"Interface", "RememberTeam", 0, "RememberLastTeam", true},
    {"Path", "Team", 0, "LastTeam", false},
    {"Interface", "HideInSide", 1, "HideInSide", true},
};

bool IsFile(const std::string& utf8) {
    std::error_code ec;
    return fs::is_regular_file(PathFromUtf8(utf8), ec);
}

bool Exists(const std::string& utf8) {
    std::error_code ec;
    return fs::exists(PathFromUtf8(utf8), ec);
}

std::string_view Trim(std::string_view s) {
    size_t b = s.find_first_not_of(kBlanks);
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(kBlanks) - b + 1);
}

// A plain decimal number without sign or leading zero, capped above limit.
std::optional<long long> PlainNumber(std::string_view s, long long limit) {
    if (s.empty() || (s.size() > 1 && s[0] == '0')) return std::nullopt;
    long long n = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        if (n <= limit) n = n * 10 + (c - '0');
    }
    return n;
}

// The highest record section ("1", "2", ...) the file really holds, up to
// limit. Counts are never trusted beyond it, so the work done stays in
// proportion to the file, whatever its "Count" claims.
int HighestRecordSection(const std::string& file, int limit) {
    auto bytes = ReadFileBytes(PathFromUtf8(file));
    if (!bytes) return 0;
    std::string_view all = *bytes;
    int highest = 0;
    size_t pos = 0;
    while (pos < all.size()) {
        size_t nl = all.find('\n', pos);
        std::string_view line = Trim(all.substr(pos, nl == std::string_view::npos ? all.npos : nl - pos));
        pos = nl == std::string_view::npos ? all.size() : nl + 1;
        if (line.size() < 3 || line.front() != '[') continue;
        size_t close = line.rfind(']');
        if (close == std::string_view::npos || close == 0) continue;
        if (auto n = PlainNumber(Trim(line.substr(1, close - 1)), limit); n && *n <= limit)
            highest = std::max(highest, static_cast<int>(*n));
    }
    return highest;
}

// Records to convert: the old "Count" when it is a plain number, but never
// past the last record section present; a missing or damaged "Count" takes
// that section's number alone.
int RecordCount(const std::string& file, const char* countSection, int limit) {
    const int highest = HighestRecordSection(file, limit);
    auto declared = PlainNumber(ReadIniString(file, countSection, "Count", ""), limit);
    if (!declared) return highest;
    return static_cast<int>(std::min<long long>(*declared, highest));
}

// "pDATA", "pDATA1", "pDATA2", ... in the order they are handed out.
std::string OldDataName(int i) {
    return i == 0 ? std::string("pDATA") : "pDATA" + std::to_string(i);
}

bool IsOldDataName(const std::string& name) {
    if (name.rfind("pDATA", 0) != 0) return false;
    return name.size() == 5 || PlainNumber(std::string_view(name).substr(5), kMaxOldDataFolders).has_value();
}

// An INI file built in memory and written once.
class IniText {
public:
    void Section(const std::string& name) { bytes_ += "[" + name + "]\r\n"; }
    void Key(const char* key, std::string_view utf8) {
        bytes_ += key;
        bytes_ += '=';
        bytes_ += OneLine(Utf8ToAnsi(utf8));
        bytes_ += "\r\n";
    }
    void Key(const char* key, long long n) { Key(key, std::to_string(n)); }
    const std::string& Bytes() const { return bytes_; }

    // A line break inside a value would end the line early.
    static std::string OneLine(std::string s) {
        std::replace_if(
            s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        return s;
    }

private:
    std::string bytes_;
};

// A line file built in memory: Add returns the new line's number, 0 (and
// no line) for an empty text.
class LineText {
public:
    int Add(const std::string& utf8) {
        if (utf8.empty()) return 0;
        bytes_ += IniText::OneLine(Utf8ToAnsi(utf8));
        bytes_ += "\r\n";
        return ++lines_;
    }
    bool Empty() const { return lines_ == 0; }
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
    int lines_ = 0;
};

struct Marker {
    std::string from;
    std::string step;
};

std::optional<Marker> ReadMarker(const std::string& file) {
    auto bytes = ReadFileBytes(PathFromUtf8(file));
    if (!bytes) return std::nullopt;
    Marker m;
    std::string_view all = *bytes;
    size_t pos = 0;
    while (pos < all.size()) {
        size_t nl = all.find('\n', pos);
        std::string_view line = Trim(all.substr(pos, nl == std::string_view::npos ? all.npos : nl - pos));
        pos = nl == std::string_view::npos ? all.size() : nl + 1;
        size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        std::string_view key = Trim(line.substr(0, eq)), value = Trim(line.substr(eq + 1));
        if (key == "From") m.from = value;
        if (key == "Step") m.step = value;
    }
    if (!IsOldDataName(m.from)) return std::nullopt;
    return m;
}

// What a start finds.
struct Situation {
    enum Kind { Nothing, Fresh, Resume, MarkerInOld } kind = Nothing;
    Marker marker;
};

std::string DataRoot(const std::string& appDir) {
    return appDir + "DATA";
}

// DATA holds no team list: whatever else is in it cannot be reached.
bool DataHasNoTeams(const std::string& appDir) {
    return !Exists(TeamSetFile(appDir));
}

Situation Look(const std::string& appDir) {
    Situation s;
    if (IsFile(DataDir(appDir) + "TEAM.QRD")) {
        s.kind = Situation::Fresh;
        return s;
    }
    if (auto m = ReadMarker(DataDir(appDir) + kMigrationMarker)) {
        s.kind = Situation::Resume;
        s.marker = *m;
        return s;
    }
    // Killed between setting the old DATA aside and carrying the marker over
    // to the new one: the marker is still among the old files. A DATA that
    // already has teams is never rebuilt on that ground alone.
    for (int i = 0; i < kMaxOldDataFolders; ++i) {
        const std::string name = OldDataName(i);
        if (!Exists(appDir + name)) break;
        auto m = ReadMarker(appDir + name + kSep + kMigrationMarker);
        if (m && m->from == name && IsFile(appDir + name + kSep + "TEAM.QRD")) {
            if (!DataHasNoTeams(appDir)) break;
            s.kind = Situation::MarkerInOld;
            s.marker = *m;
            return s;
        }
    }
    return s;
}

int MapType(int oldType) {
    switch (oldType) {
        case 1:
            return 0;
        case 2:
            return 1;
        case 3:
        case 4:
            return 2;
        case 5:
            return 3;
        case 6:
            return 4;
        case 7:
            return 5;
        default:
            return -1;
    }
}

// "TEAM" + name folders inside the old-data folder are its own; a name that
// would lead anywhere else gives no folder.
std::string OldTeamFolder(const std::string& old, const std::string& teamValue, int section) {
    std::string name = "TEAM" + (teamValue.empty() ? std::to_string(section) : teamValue);
    return IsSafeFolderName(name) ? old + name : std::string();
}

// Names the conversion gives team folders: ten of 0-9, A-Z.
bool IsTeamFolderName(const std::string& name) {
    return name.size() == 10 && std::all_of(name.begin(), name.end(),
                                            [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'); });
}

class Migrator {
public:
    Migrator(const std::string& appDir, Registry& registry, const MigrationHooks& hooks)
        : appDir_(appDir), registry_(registry), hooks_(hooks) {}

    MigrationReport Run() {
        Situation s = Look(appDir_);
        switch (s.kind) {
            case Situation::Nothing:
                return report_;
            case Situation::Fresh:
                return Fresh();
            case Situation::MarkerInOld:
                report_.resumed = true;
                report_.oldDataFolder = s.marker.from;
                // ApplySettings made a new, empty DATA already, or nothing did.
                if (!MakeDir(DataRoot(appDir_)) ||
                    !Rename(OldFile(kMigrationMarker), DataDir(appDir_) + kMigrationMarker))
                    return Finish(MigrationResult::Incomplete);
                return Convert(s.marker.step);
            case Situation::Resume:
                report_.resumed = true;
                report_.oldDataFolder = s.marker.from;
                if (!IsFile(OldFile("TEAM.QRD"))) {
                    // The old files are gone: nothing left to finish from.
                    (void)Remove(DataDir(appDir_) + kMigrationMarker);
                    return Finish(MigrationResult::Incomplete);
                }
                return Convert(s.marker.step);
        }
        return report_;
    }

private:
    // ---- Changes, each one asked of the hooks first ----------------------

    bool Allow() {
        if (stopped_) return false;
        MigrationChange c = hooks_.beforeChange ? hooks_.beforeChange(change_++) : MigrationChange::Make;
        if (c == MigrationChange::Stop) stopped_ = true;
        return c == MigrationChange::Make;
    }
    bool Write(const std::string& file, std::string_view bytes) {
        return Allow() && WriteFileAtomic(PathFromUtf8(file), bytes);
    }
    bool Rename(const std::string& from, const std::string& to) {
        if (!Allow()) return false;
        std::error_code ec;
        fs::rename(PathFromUtf8(from), PathFromUtf8(to), ec);
        return !ec;
    }
    bool MakeDir(const std::string& dir) {
        if (!Allow()) return false;
        std::error_code ec;
        fs::create_directory(PathFromUtf8(dir), ec);
        return !ec && fs::is_directory(PathFromUtf8(dir), ec);
    }
    bool Remove(const std::string& path) {
        if (!Allow()) return false;
        std::error_code ec;
        fs::remove_all(PathFromUtf8(path), ec);
        return !ec;
    }
    // Copied under a temporary name first: a picture is either whole or absent.
    bool Copy(const std::string& from, const std::string& to) {
        if (!Allow()) return false;
        const fs::path dest = PathFromUtf8(to);
        const fs::path tmp = AtomicTempName(dest, 0);
        std::error_code ec;
        if (fs::copy_file(PathFromUtf8(from), tmp, fs::copy_options::overwrite_existing, ec) && !ec) {
            fs::rename(tmp, dest, ec);
            if (!ec) return true;
        }
        fs::remove(tmp, ec);
        return false;
    }
    bool WriteMarker(const std::string& folder, const char* step) {
        return Write(folder + kSep + kMigrationMarker,
                     "[Migrate]\r\nFrom=" + report_.oldDataFolder + "\r\nStep=" + step + "\r\n");
    }

    std::string OldDir() const { return appDir_ + report_.oldDataFolder + kSep; }
    std::string OldFile(const char* name) const { return OldDir() + name; }

    MigrationReport Finish(MigrationResult r) {
        report_.result = stopped_ ? MigrationResult::Stopped : r;
        if (report_.result == MigrationResult::Failed) report_.oldDataFolder.clear();
        return report_;
    }

    // ---- The run ---------------------------------------------------------

    MigrationReport Fresh() {
        for (int i = 0; i < kMaxOldDataFolders && report_.oldDataFolder.empty(); ++i)
            if (!Exists(appDir_ + OldDataName(i))) report_.oldDataFolder = OldDataName(i);
        if (report_.oldDataFolder.empty()) return Finish(MigrationResult::Failed);

        // The marker goes in first and travels with the rename, so there is no
        // moment at which the old folder is set aside without it.
        const std::string data = DataRoot(appDir_);
        const std::string marker = DataDir(appDir_) + kMigrationMarker;
        if (!WriteMarker(data, kStepMove)) {
            if (!stopped_) (void)Remove(marker);
            return Finish(MigrationResult::Failed);
        }
        if (!Rename(data, appDir_ + report_.oldDataFolder)) {
            if (stopped_) return Finish(MigrationResult::Stopped);
            return Finish(Remove(marker) ? MigrationResult::Failed : MigrationResult::Incomplete);
        }
        if (!MakeDir(data) || !Rename(OldFile(kMigrationMarker), marker)) return Undo();
        return Convert(kStepMove);
    }

    // From a new DATA that holds the marker (and perhaps part of an earlier
    // try) to the finished store.
    MigrationReport Convert(const std::string& step) {
        if (!ClearEarlierTry()) return Undo();
        if (step != kStepTeams) {
            if (!WriteOptions() || !WriteMarker(DataRoot(appDir_), kStepTeams)) return Undo();
        }
        if (!ConvertTeams()) return Undo();
        if (!Remove(DataDir(appDir_) + kMigrationMarker)) return Undo();
        return Finish(MigrationResult::Done);
    }

    // What an interrupted conversion left in DATA: the team list, its
    // temporary files and the team folders it made. Nothing else is touched.
    bool ClearEarlierTry() {
        std::vector<std::string> ours;
        std::error_code ec;
        for (fs::directory_iterator it(PathFromUtf8(DataRoot(appDir_)), ec), end; !ec && it != end; it.increment(ec)) {
            std::string name = PathToUtf8(it->path().filename());
            bool dir = it->is_directory(ec);
            if ((dir && IsTeamFolderName(name)) || (!dir && name.rfind("TEAM.SET", 0) == 0)) ours.push_back(name);
        }
        if (ec) return false;
        // The team list first: a DATA without one is never taken for a store in use.
        std::stable_partition(ours.begin(), ours.end(),
                              [](const std::string& n) { return n.rfind("TEAM.SET", 0) == 0; });
        for (const std::string& name : ours)
            if (!Remove(DataDir(appDir_) + name)) return false;
        return true;
    }

    // Old options into the settings. Writing them again gives the same values,
    // so a run cut short here simply writes them all once more. A value the
    // settings store refuses (no right to the key, say) stays at its default
    // and does not hold up the data.
    bool WriteOptions() {
        const std::string set = OldFile("SET.QRD");
        IniReadScope scope(set);
        for (const OptionMap& o : kOptions) {
            long long v = ReadIniInt(set, o.section, o.key, o.def);
            if (o.flag && v < 0) v = -v;
            if (Allow()) (void)WriteSettingDword(registry_, o.value, static_cast<int32_t>(v));
        }
        if (Allow()) (void)WriteSettingString(registry_, "rPath", ReadIniString(set, "Path", "Dir", ""));
        if (ReadIniInt(set, "Run", "AutoRun", 0) == -1) {
            if (Allow()) (void)DeleteRegValue(registry_, kSettingsRoot, kAutorunKey, "Qrd");
            if (Allow()) (void)SetAutorun(registry_, appDir_, true);
            if (Allow()) (void)WriteSettingDword(registry_, "LaunchOnStart", 1);
        }
        return !stopped_;
    }

    struct OldTeam {
        std::string folder;  // empty: no usable folder
        int items = 0;
    };

    bool ConvertTeams() {
        const std::string oldTeams = OldFile("TEAM.QRD");
        IniReadScope teamScope(oldTeams);
        const int n = RecordCount(oldTeams, "Team", kMaxTeams);
        // Item counts first, for the progress bar.
        std::vector<OldTeam> teams(static_cast<size_t>(n));
        int total = 0;
        for (int t = 1; t <= n; ++t) {
            OldTeam& ot = teams[static_cast<size_t>(t - 1)];
            ot.folder = OldTeamFolder(OldDir(), ReadIniString(oldTeams, std::to_string(t), "Team", ""), t);
            if (!ot.folder.empty()) ot.items = RecordCount(ot.folder + kSep + "ITEM.QRD", "Item", kMaxItems);
            total += ot.items;
        }
        done_ = 0;
        total_ = total;
        Progress();

        IniText list;
        list.Section("TEAM");
        list.Key("Count", n);
        std::set<std::string> taken;
        for (int t = 1; t <= n; ++t) {
            const std::string o = std::to_string(t);
            std::string name;
            do {
                name = MakeRandomName();
            } while (taken.count(name) > 0 || Exists(DataDir(appDir_) + name));
            taken.insert(name);
            const std::string folder = DataDir(appDir_) + name;
            if (!MakeDir(folder)) return false;
            if (!ConvertItems(teams[static_cast<size_t>(t - 1)], folder)) return false;
            list.Section(std::to_string(t - 1));
            list.Key("Name", ReadIniString(oldTeams, o, "Name", ""));
            list.Key("Note", ReadIniString(oldTeams, o, "Note", ""));
            list.Key("Path", name);
            list.Key("Password", "False");
        }
        // Last: until the team list is there, the new store shows nothing.
        return Write(TeamSetFile(appDir_), list.Bytes());
    }

    bool ConvertItems(const OldTeam& ot, const std::string& folder) {
        const std::string oldFile = ot.folder.empty() ? std::string() : ot.folder + kSep + "ITEM.QRD";
        IniReadScope scope(oldFile);
        IniText items;
        LineText paths, paras, icons;
        items.Section("ITEM");
        items.Key("Count", ot.items);
        std::set<std::string> pictures;
        for (int j = 1; j <= ot.items; ++j) {
            const std::string o = std::to_string(j);
            auto read = [&](const char* key) { return ReadIniString(oldFile, o, key, ""); };
            items.Section(std::to_string(j - 1));
            constexpr const char* kAbsent = "\x7f";
            if (std::string v = ReadIniString(oldFile, o, "Name", kAbsent); v != kAbsent) items.Key("Name", v);
            if (int type = MapType(ReadIniInt(oldFile, o, "Type", 0)); type >= 0) items.Key("Type", type);
            // Old modes run 1..4; a missing or odd one becomes the normal window.
            const int oldMode = ReadIniInt(oldFile, o, "Mode", 1);
            items.Key("Mode", oldMode >= 1 && oldMode <= 4 ? oldMode - 1 : 0);
            if (std::string v = ReadIniString(oldFile, o, "Note", kAbsent); v != kAbsent) items.Key("Note", v);

            const std::string key = read("Code");
            items.Key("Path", paths.Add(EncodePassword(read("Path"), key)));
            items.Key("Para", paras.Add(EncodePassword(read("Command"), key)));
            const std::string iconOld = read("IconOld");
            if (size_t comma = iconOld.rfind(','); comma != std::string::npos) {
                std::string source = iconOld.substr(0, comma);
                if (source == "[WEB]" || source == "[MAIL]") source = "[LINK]";
                items.Key("IconIndex", iconOld.substr(comma + 1));
                items.Key("IconPath", icons.Add(EncodePassword(source, key)));
            }
            items.Key("Password", key.empty() ? "False" : "True");

            // The folder is new: a name is free when this run has not used it.
            std::string name;
            do {
                name = MakeRandomName();
            } while (!pictures.insert(name).second);
            const std::string oldIcon = read("Icon");
            if (IsSafeFolderName(oldIcon) && IsFile(ot.folder + kSep + oldIcon) &&
                !Copy(ot.folder + kSep + oldIcon, (folder + kSep).append(name).append(".img")))
                return false;
            items.Key("Icon", "\\" + name + ".img");
            ++done_;
            Progress();
        }
        if (!paths.Empty() && !Write(PathSetFile(folder), paths.Bytes())) return false;
        if (!paras.Empty() && !Write(ParaSetFile(folder), paras.Bytes())) return false;
        if (!icons.Empty() && !Write(IconSetFile(folder), icons.Bytes())) return false;
        return Write(ItemSetFile(folder), items.Bytes());
    }

    void Progress() {
        if (hooks_.progress) hooks_.progress(done_, total_);
    }

    // A write failed: back to the old DATA as it was, in an order that a kill
    // at any point leaves something the next start can finish from (the
    // marker is always in DATA or in the old folder while it matters).
    MigrationReport Undo() {
        if (stopped_) return Finish(MigrationResult::Stopped);
        const std::string data = DataRoot(appDir_);
        const std::string marker = DataDir(appDir_) + kMigrationMarker;
        // Our work goes while the marker still says what it is; the marker
        // may not have reached the new DATA at all yet.
        bool ok = !Exists(data) || ClearEarlierTry();
        ok = ok && (!IsFile(marker) || Rename(marker, OldFile(kMigrationMarker)));
        if (ok && Exists(data)) {
            std::error_code ec;
            // Only when nothing but our own work was in it.
            ok = Allow() && fs::remove(PathFromUtf8(data), ec) && !ec;
        }
        ok = ok && Rename(appDir_ + report_.oldDataFolder, data) && Remove(marker);
        return Finish(ok ? MigrationResult::Failed : MigrationResult::Incomplete);
    }

    const std::string& appDir_;
    Registry& registry_;
    const MigrationHooks& hooks_;
    MigrationReport report_;
    int change_ = 0;
    bool stopped_ = false;
    int done_ = 0;
    int total_ = 0;
};

}  // namespace

bool MigrationPending(const std::string& appDir) {
    return Look(appDir).kind != Situation::Nothing;
}

MigrationReport ConvertOldData(const std::string& appDir, Registry& registry, const MigrationHooks& hooks) {
    return Migrator(appDir, registry, hooks).Run();
}

std::string MigrationMessage(const MigrationReport& report, bool warnOnError) {
    switch (report.result) {
        case MigrationResult::Done:
            return kMsgMigrationDone;
        case MigrationResult::Failed:
            return warnOnError ? kMsgMigrationFailed : "";
        case MigrationResult::Incomplete:
            return warnOnError ? kMsgMigrationIncomplete : "";
        default:
            return {};
    }
}

MigrationReport MigrateOldData(const std::string& appDir, Registry& registry, Prompts& prompts, bool warnOnError) {
    MigrationReport r = ConvertOldData(appDir, registry, {});
    if (std::string text = MigrationMessage(r, warnOnError); !text.empty()) prompts.ShowMessage(text);
    return r;
}

}  // namespace vt
