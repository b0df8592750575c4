#include "launcher/store/store.h"

#include <array>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <limits>
#include <string_view>
#include <system_error>
#include <vector>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/ini.h"
#include "common/line_file.h"
#include "common/random_name.h"
#include "launcher/store/launch_stats.h"
#include "launcher/store/password.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

constexpr char kSep = static_cast<char>(fs::path::preferred_separator);

// Default that no stored value can equal, to tell a missing key from an empty one.
constexpr const char* kMissing = "\x7f<missing>\x7f";

constexpr const char* kTeamSection = "TEAM";
constexpr const char* kItemSection = "ITEM";

constexpr std::array<const char*, 4> kTeamKeys = {"Name", "Note", "Password", "Path"};
constexpr std::array<const char*, 12> kItemKeys = {"Name",      "Type",     "Mode",        "Note",
                                                   "Path",      "Para",     "StartMethod", "MethodIndex",
                                                   "IconIndex", "IconPath", "Icon",        "Password"};
// Keys that travel with an item when it changes folders; its three line
// numbers are rewritten instead.
constexpr std::array<const char*, 9> kItemPlainKeys = {"Name",     "Type", "Mode",        "Note",       "IconIndex",
                                                       "Password", "Icon", "StartMethod", "MethodIndex"};

bool Exists(const std::string& utf8) {
    std::error_code ec;
    return fs::exists(PathFromUtf8(utf8), ec);
}

bool IsDirectory(const std::string& utf8) {
    std::error_code ec;
    return fs::is_directory(PathFromUtf8(utf8), ec);
}

bool IsFile(const std::string& utf8) {
    std::error_code ec;
    return fs::is_regular_file(PathFromUtf8(utf8), ec);
}

std::string Section(int index) {
    return std::to_string(index);
}

std::optional<std::string> ReadRaw(const std::string& file, const std::string& section, const char* key) {
    std::string v = ReadIniString(file, section, key, kMissing);
    if (v == kMissing) return std::nullopt;
    return v;
}

// Copies a value as stored; a missing value is removed from the target so the
// target ends up exactly like the source.
bool WriteRaw(const std::string& file, const std::string& section, const char* key,
              const std::optional<std::string>& value) {
    return value ? WriteIniString(file, section, key, *value) : DeleteIniKey(file, section, key);
}

// Leading whole number of a stored count, saturated instead of wrapping so
// that values beyond 16 bits are recognised as such.
long long ReadWideCount(const std::string& file, const char* section) {
    std::string v = ReadIniString(file, section, "Count", "");
    size_t i = 0;
    bool neg = false;
    if (i < v.size() && (v[i] == '-' || v[i] == '+')) neg = v[i++] == '-';
    long long n = 0;
    for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i) {
        if (n <= std::numeric_limits<int>::max()) n = n * 10 + (v[i] - '0');
    }
    return neg ? -n : n;
}

int LimitCount(long long raw, int limit, Prompts& prompts, bool warnOnError, const char* overMsg,
               const char* damagedMsg) {
    if (raw > limit || raw < std::numeric_limits<int16_t>::min()) {
        if (warnOnError) prompts.ShowMessage(overMsg);
        return limit;
    }
    if (raw < 0) {
        if (warnOnError) prompts.ShowMessage(damagedMsg);
        return 0;
    }
    return static_cast<int>(raw);
}

// A count read from a file that someone holds open gave its default: the
// operation failed to read, whatever the index looked like against it.
StoreError HeldOr(const std::string& file, StoreError otherwise) {
    return IniFileUnreadable(file) ? StoreError::WriteFailed : otherwise;
}

// The count writers work from: what is stored, a damaged (negative) value as 0.
int StoredCount(const std::string& file, const char* section) {
    long long raw = ReadWideCount(file, section);
    if (raw < 0) return 0;
    return raw > std::numeric_limits<int16_t>::max() ? std::numeric_limits<int16_t>::max() : static_cast<int>(raw);
}

// Where a new record goes: right after the last one shown. Nothing is shown
// past the limit, so a count at or beyond it (or beyond 16 bits either way,
// which reads as the limit) leaves no place for one.
std::optional<int> NextRecordIndex(const std::string& file, const char* section, int limit) {
    long long raw = ReadWideCount(file, section);
    if (raw >= limit || raw < std::numeric_limits<int16_t>::min()) return std::nullopt;
    return raw < 0 ? 0 : static_cast<int>(raw);
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

// What Windows opens for a name: trailing dots and blanks dropped.
std::string_view Effective(std::string_view name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.remove_suffix(1);
    return name;
}

std::string FreshPictureName(const std::string& folder) {
    std::string name;
    do {
        name = MakeRandomName();
    } while (Exists(folder + kSep + name + ".img"));
    return name;
}

// Moves a picture to another folder, under a new name when the old one is
// taken there; returns the "Icon" value it now answers to.
std::string MovePicture(const std::string& from, const std::string& to, const std::string& icon) {
    std::string file = ItemPictureFile(icon);
    if (file.empty() || !IsFile(from + kSep + file)) return icon;
    std::string target = file;
    std::string value = icon;
    if (Exists(to + kSep + target)) {
        std::string name = FreshPictureName(to);
        target = name + ".img";
        value = "\\" + target;
    }
    std::error_code ec;
    fs::path src = PathFromUtf8(from + kSep + file);
    fs::path dst = PathFromUtf8(to + kSep + target);
    fs::rename(src, dst, ec);
    if (ec) {
        // Another volume: copy, then drop the original only once the copy is there.
        if (!fs::copy_file(src, dst, ec) || ec) return icon;
        fs::remove(src, ec);
    }
    return value;
}

}  // namespace

// ---- Paths ---------------------------------------------------------------

std::string DataDir(const std::string& appDir) {
    return appDir + "DATA" + kSep;
}

std::string TeamSetFile(const std::string& appDir) {
    return DataDir(appDir) + "TEAM.SET";
}

std::string SharedIconDir(const std::string& appDir) {
    return DataDir(appDir) + "ICON" + kSep;
}

bool IsDeviceName(const std::string& name) {
    // "CON.txt" and "CON .img" open the console as surely as "CON" does.
    std::string_view base = name;
    base = base.substr(0, base.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (SameName(base, device)) return true;
    if (base.size() < 4) return false;
    std::string_view stem = base.substr(0, 3);
    if (!SameName(stem, "COM") && !SameName(stem, "LPT")) return false;
    std::string_view digit = base.substr(3);
    // Windows also reserves the superscript digits one to three.
    return (digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9') || digit == "\xC2\xB9" || digit == "\xC2\xB2" ||
           digit == "\xC2\xB3";
}

bool IsSafeFolderName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
            c == '|')
            return false;
    }
    // Windows drops trailing dots and blanks, which would alias another name.
    if (name.back() == '.' || name.back() == ' ') return false;
    return !IsDeviceName(name);
}

bool IsTeamFolderName(const std::string& name) {
    return IsSafeFolderName(name) && !SameName(name, "ICON");
}

bool IsPictureFileName(const std::string& name) {
    constexpr std::string_view kExt = ".img";
    if (name.size() <= kExt.size() || !IsSafeFolderName(name)) return false;
    // The ending alone keeps the store's own ".SET" files out.
    return SameName(std::string_view(name).substr(name.size() - kExt.size()), kExt);
}

std::string ItemPictureFile(const std::string& icon) {
    if (icon.size() < 2 || icon[0] != '\\') return {};
    std::string name = icon.substr(1);
    return IsPictureFileName(name) ? name : std::string();
}

std::string TeamFolderPath(const std::string& appDir, const std::string& folderName) {
    if (!IsTeamFolderName(folderName)) return {};
    return DataDir(appDir) + folderName;
}

std::string ItemSetFile(const std::string& teamFolder) {
    return teamFolder + kSep + "ITEM.SET";
}
std::string PathSetFile(const std::string& teamFolder) {
    return teamFolder + kSep + "PATH.SET";
}
std::string ParaSetFile(const std::string& teamFolder) {
    return teamFolder + kSep + "PARA.SET";
}
std::string IconSetFile(const std::string& teamFolder) {
    return teamFolder + kSep + "ICON.SET";
}

std::string ResolveItemPicture(const std::string& appDir, const std::string& teamFolder, const std::string& icon) {
    std::string file = ItemPictureFile(icon);
    if (file.empty()) return {};
    if (!teamFolder.empty() && IsFile(teamFolder + kSep + file)) return teamFolder + kSep + file;
    if (IsFile(SharedIconDir(appDir) + file)) return SharedIconDir(appDir) + file;
    return {};
}

// ---- Reading -------------------------------------------------------------

int ReadTeamCount(const std::string& appDir, Prompts& prompts, bool warnOnError) {
    return LimitCount(ReadWideCount(TeamSetFile(appDir), kTeamSection), kMaxTeams, prompts, warnOnError,
                      kMsgTeamsOverLimit, kMsgTeamsDamaged);
}

int ReadItemCount(const std::string& teamFolder, Prompts& prompts, bool warnOnError) {
    if (teamFolder.empty()) return 0;
    return LimitCount(ReadWideCount(ItemSetFile(teamFolder), kItemSection), kMaxItems, prompts, warnOnError,
                      kMsgItemsOverLimit, kMsgItemsDamaged);
}

TeamRecord ReadTeamRecord(const std::string& appDir, int index) {
    const std::string file = TeamSetFile(appDir);
    const std::string sec = Section(index);
    TeamRecord r;
    r.Name = ReadIniString(file, sec, "Name", "");
    r.Note = ReadIniString(file, sec, "Note", "");
    r.Path = ReadIniString(file, sec, "Path", "");
    r.Password = ReadIniString(file, sec, "Password", "") == "True";
    return r;
}

ItemRecord ReadItemRecord(const std::string& teamFolder, int index) {
    ItemRecord r;
    if (teamFolder.empty()) return r;
    const std::string file = ItemSetFile(teamFolder);
    const std::string sec = Section(index);
    r.Name = ReadIniString(file, sec, "Name", kDefaultItemName);
    r.Type = ReadIniInt(file, sec, "Type", 0);
    r.Mode = ReadIniInt(file, sec, "Mode", 0);
    r.Note = ReadIniString(file, sec, "Note", "");
    r.Path = ReadIniInt(file, sec, "Path", 0);
    r.Para = ReadIniInt(file, sec, "Para", 0);
    r.IconIndex = ReadIniInt(file, sec, "IconIndex", 0);
    r.IconPath = ReadIniInt(file, sec, "IconPath", 0);
    r.Icon = ReadIniString(file, sec, "Icon", "");
    r.StartMethod = ReadIniString(file, sec, "StartMethod", "");
    r.MethodIndex = ReadIniInt(file, sec, "MethodIndex", -1);
    r.Password = ReadIniString(file, sec, "Password", "") == "True";
    return r;
}

ItemTexts ReadItemTexts(const std::string& teamFolder, const ItemRecord& item, const std::string& password) {
    ItemTexts t;
    if (teamFolder.empty()) return t;
    // An unprotected item's lines are plain whatever key the caller holds.
    const std::string key = item.Password ? password : std::string();
    t.Path = DecodePassword(ReadDataLine(PathSetFile(teamFolder), item.Path), key);
    t.Para = DecodePassword(ReadDataLine(ParaSetFile(teamFolder), item.Para), key);
    t.Icon = DecodePassword(ReadDataLine(IconSetFile(teamFolder), item.IconPath), key);
    return t;
}

std::string ResolveTeamFolder(const std::string& appDir, int index, const std::string& password) {
    TeamRecord r = ReadTeamRecord(appDir, index);
    return TeamFolderPath(appDir, DecodePassword(r.Path, r.Password ? password : std::string()));
}

std::string AskTeamFolder(const std::string& appDir, int index, Prompts& prompts, const std::string& prompt) {
    TeamRecord r = ReadTeamRecord(appDir, index);
    std::string password = r.Password ? prompts.AskPassword(prompt) : std::string();
    return TeamFolderPath(appDir, DecodePassword(r.Path, password));
}

// ---- Teams ---------------------------------------------------------------

namespace {

StoreResult Fail(StoreError e, int index = -1) {
    StoreResult r;
    r.error = e;
    r.index = index;
    return r;
}

// A batch that reaches the file only through Commit: leaving the scope any
// other way (an early return, an exception unwinding) drops what is pending,
// so a record is never written half.
class Batch {
public:
    explicit Batch(const std::string& file) : batch_(file) {}
    ~Batch() { batch_.Discard(); }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;
    [[nodiscard]] bool Commit() { return batch_.Commit(); }

private:
    IniWriteBatch batch_;
};

bool WriteTeamKeys(const std::string& file, const std::string& sec, const std::string& folderName,
                   const TeamInput& team) {
    return WriteIniString(file, sec, "Path", EncodePassword(folderName, team.Password)) &&
           WriteIniString(file, sec, "Name", team.Name) && WriteIniString(file, sec, "Note", team.Note) &&
           WriteIniString(file, sec, "Password", team.Password.empty() ? "False" : "True");
}

// Shifts the keys of sections index+1..count-1 down by one and writes
// Count = count - 1, all in one replacement of the file.
bool ShiftDown(const std::string& file, const char* countSection, int index, int count, const char* const* keys,
               size_t keyCount) {
    Batch batch(file);
    for (int i = index; i <= count - 2; ++i) {
        const std::string from = Section(i + 1);
        const std::string to = Section(i);
        for (size_t k = 0; k < keyCount; ++k)
            if (!WriteRaw(file, to, keys[k], ReadRaw(file, from, keys[k]))) return false;
    }
    return WriteIniString(file, countSection, "Count", static_cast<long long>(count - 1)) && batch.Commit();
}

bool SwapSections(const std::string& file, int first, int second, const char* const* keys, size_t keyCount) {
    if (first == second) return true;
    const std::string a = Section(first);
    const std::string b = Section(second);
    Batch batch(file);
    std::vector<std::optional<std::string>> kept;
    for (size_t k = 0; k < keyCount; ++k)
        kept.push_back(ReadRaw(file, a, keys[k]));
    for (size_t k = 0; k < keyCount; ++k)
        if (!WriteRaw(file, a, keys[k], ReadRaw(file, b, keys[k]))) return false;
    for (size_t k = 0; k < keyCount; ++k)
        if (!WriteRaw(file, b, keys[k], kept[k])) return false;
    return batch.Commit();
}

}  // namespace

StoreResult AddTeam(const std::string& appDir, const TeamInput& team) {
    const std::string file = TeamSetFile(appDir);
    std::error_code ec;
    fs::create_directories(PathFromUtf8(DataDir(appDir)), ec);
    const std::optional<int> next = NextRecordIndex(file, kTeamSection, kMaxTeams);
    if (!next) return Fail(StoreError::LimitReached);
    const int index = *next;
    if (!WriteIniString(file, kTeamSection, "Count", static_cast<long long>(index) + 1))
        return Fail(StoreError::WriteFailed);
    std::string name;
    do {
        name = MakeRandomName();
    } while (Exists(DataDir(appDir) + name));
    if (!fs::create_directory(PathFromUtf8(DataDir(appDir) + name), ec) || ec) {
        // No folder, no team: take the count back so no empty record shows up.
        (void)WriteIniString(file, kTeamSection, "Count", static_cast<long long>(index));
        return Fail(StoreError::WriteFailed);
    }
    if (!WriteTeamKeys(file, Section(index), name, team)) return Fail(StoreError::WriteFailed, index);
    StoreResult r;
    r.index = index;
    r.name = name;
    return r;
}

StoreResult EditTeam(const std::string& appDir, int index, const std::string& folderName, const TeamInput& team) {
    const std::string file = TeamSetFile(appDir);
    if (index < 0 || index >= StoredCount(file, kTeamSection)) return Fail(HeldOr(file, StoreError::BadIndex), index);
    // A name decoded with a wrong password would be re-scrambled and the real
    // folder lost for good; only an unchanged stored path is safe then.
    const std::string folder = TeamFolderPath(appDir, folderName);
    if (folder.empty() || !IsDirectory(folder)) {
        if (EncodePassword(folderName, team.Password) != ReadTeamRecord(appDir, index).Path)
            return Fail(StoreError::FolderMissing, index);
    }
    if (!WriteTeamKeys(file, Section(index), folderName, team)) return Fail(StoreError::WriteFailed, index);
    StoreResult r;
    r.index = index;
    r.name = folderName;
    return r;
}

namespace {

// A folder name that can only come from hand-made damage: it names
// something shared (the pictures, a device, DATA or its parent), never a
// folder made for the team.
bool IsReservedName(const std::string& name) {
    std::string_view n = Effective(name);
    return n.empty() || SameName(n, "ICON") || IsDeviceName(name);
}

}  // namespace

bool IsOwnTeamFolder(const std::string& appDir, int index, const std::string& folderName, const std::string& password) {
    if (!IsTeamFolderName(folderName)) return false;
    const std::string file = TeamSetFile(appDir);
    const int count = StoredCount(file, kTeamSection);
    IniReadScope scope(file);
    // Only the counted sections: the last one stays behind after a delete as a
    // copy of its neighbour and names nobody's folder any more.
    for (int i = 0; i < count; ++i) {
        if (i == index) continue;
        const TeamRecord other = ReadTeamRecord(appDir, i);
        if (SameName(Effective(other.Path), folderName)) return false;
        if (other.Password && !password.empty() &&
            SameName(Effective(DecodePassword(other.Path, password)), folderName))
            return false;
    }
    return true;
}

StoreResult DeleteTeam(const std::string& appDir, int index, const std::string& password) {
    const std::string file = TeamSetFile(appDir);
    const int count = StoredCount(file, kTeamSection);
    if (index < 0 || index >= count) return Fail(HeldOr(file, StoreError::BadIndex), index);
    const TeamRecord team = ReadTeamRecord(appDir, index);
    const std::string key = team.Password ? password : std::string();
    const std::string name = DecodePassword(team.Path, key);
    // A wrong password decodes to a name that leads nowhere and deletes
    // nothing, as it should; a name that leads to somebody else's files must
    // not delete them either.
    const bool foreign = IsReservedName(name) || (IsTeamFolderName(name) && !IsOwnTeamFolder(appDir, index, name, key));
    const std::string folder = foreign ? std::string() : TeamFolderPath(appDir, name);
    if (!folder.empty() && IsDirectory(folder)) {
        std::error_code ec;
        const fs::path dir = PathFromUtf8(folder);
        std::vector<fs::path> files;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_regular_file(ec)) files.push_back(it->path());
        for (const auto& f : files)
            fs::remove(f, ec);
        fs::remove(dir, ec);  // stays when something other than files is left in it
    }
    if (!ShiftDown(file, kTeamSection, index, count, kTeamKeys.data(), kTeamKeys.size()))
        return Fail(StoreError::WriteFailed, index);
    // A folder that is not the team's own keeps its owner's launch counts.
    if (!folder.empty()) LaunchStatsTeamDeleted(folder);
    StoreResult r;
    r.index = index;
    r.foreignFolder = foreign;
    return r;
}

StoreResult SwapTeams(const std::string& appDir, int first, int second) {
    const std::string file = TeamSetFile(appDir);
    const int count = StoredCount(file, kTeamSection);
    if (first < 0 || first >= count || second < 0 || second >= count) return Fail(HeldOr(file, StoreError::BadIndex));
    if (!SwapSections(file, first, second, kTeamKeys.data(), kTeamKeys.size())) return Fail(StoreError::WriteFailed);
    StoreResult r;
    r.index = second;
    return r;
}

// ---- Items ---------------------------------------------------------------

namespace {

// Lines in a line file as ReadDataLine counts them: a last line without its
// line end counts too.
int CountLines(const std::string& bytes) {
    long long n = 0;
    for (char c : bytes)
        if (c == '\n') ++n;
    if (!bytes.empty() && bytes.back() != '\n') ++n;
    return n > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : static_cast<int>(n);
}

// The line files of one item save. A line is replaced in place only when it
// exists; the files' old contents are kept so a save that fails later can
// give them back.
class LineWrites {
public:
    // Writes text at the item's old line (0: a new line); the line number
    // now holding it, 0 for an empty text, -1 on failure.
    int Write(const std::string& file, const std::string& text, int oldLine) {
        if (text.empty()) return 0;
        std::optional<std::string> before = ReadFileBytes(PathFromUtf8(file));
        // A number past the end names a line that is not there: the text is
        // a new value, as if the key were 0, never a reason to pad the file.
        if (oldLine > CountLines(before.value_or(std::string()))) oldLine = 0;
        if (oldLine > 0) replaced_.push_back({file, *before});
        return WriteDataLine(file, text, oldLine);
    }
    // Puts back every file in which a line was replaced. Appended lines
    // stay: no key refers to them, and lines are never removed.
    void Undo() noexcept {
        for (auto it = replaced_.rbegin(); it != replaced_.rend(); ++it) {
            try {
                (void)WriteFileAtomic(PathFromUtf8(it->file), it->bytes);
            } catch (...) {
            }
        }
        replaced_.clear();
    }

private:
    struct Replaced {
        std::string file;
        std::string bytes;
    };
    std::vector<Replaced> replaced_;
};

// One item save: line files and picture first, then the record, Count
// included for a new item, in one replacement of ITEM.SET.
StoreResult WriteItem(const std::string& appDir, const std::string& teamFolder, int index, bool isNew,
                      const ItemInput& item, int oldPath, int oldPara, int oldIconPath) {
    const std::string file = ItemSetFile(teamFolder);
    const std::string sec = Section(index);
    const std::string& pw = item.Password;
    LineWrites lines;
    std::string ownPicture;  // written by this save, removed again when it fails
    auto failed = [&] {
        lines.Undo();
        if (!ownPicture.empty()) {
            std::error_code ec;
            fs::remove(PathFromUtf8(ownPicture), ec);
        }
        return Fail(StoreError::WriteFailed, index);
    };

    try {
        const int path = lines.Write(PathSetFile(teamFolder), EncodePassword(item.Path, pw), oldPath);
        if (path < 0) return failed();
        const int para = lines.Write(ParaSetFile(teamFolder), EncodePassword(item.Para, pw), oldPara);
        if (para < 0) return failed();
        const int iconPath = lines.Write(IconSetFile(teamFolder), EncodePassword(item.IconText, pw), oldIconPath);
        if (iconPath < 0) return failed();

        std::string icon;
        if (item.IconText.empty() || item.IconText[0] != '[') {
            std::string name = FreshPictureName(teamFolder);
            if (item.Picture) {
                const std::string picture = teamFolder + kSep + name + ".img";
                if (!WriteFileAtomic(PathFromUtf8(picture), *item.Picture)) return failed();
                ownPicture = picture;
            }
            icon = "\\" + name + ".img";
        } else if (item.IconText == "[ICON]") {
            const std::string shared = item.SharedIconName + ".img";
            if (IsPictureFileName(shared)) {
                const std::string dir = SharedIconDir(appDir);
                std::error_code ec;
                fs::create_directories(PathFromUtf8(dir), ec);
                const std::string picture = dir + shared;
                // Shared with other items once it is there: never removed here.
                if (item.Picture && !Exists(picture) && !WriteFileAtomic(PathFromUtf8(picture), *item.Picture))
                    return failed();
                icon = "\\" + shared;
            } else {
                // No extension that can name a picture file (none at all, or
                // one like ".con" that names a device): the file picture.
                icon = "[FILE]";
            }
        } else {
            icon = item.IconText;
        }

        Batch batch(file);
        bool ok = !isNew || WriteIniString(file, kItemSection, "Count", static_cast<long long>(index) + 1);
        ok = ok && WriteIniString(file, sec, "Name", item.Name) &&
             WriteIniString(file, sec, "Type", static_cast<long long>(item.Type)) &&
             WriteIniString(file, sec, "Mode", static_cast<long long>(item.Mode)) &&
             WriteIniString(file, sec, "Note", item.Note) &&
             WriteIniString(file, sec, "Path", static_cast<long long>(path)) &&
             WriteIniString(file, sec, "Para", static_cast<long long>(para)) &&
             WriteIniString(file, sec, "IconIndex", static_cast<long long>(item.IconIndex)) &&
             WriteIniString(file, sec, "IconPath", static_cast<long long>(iconPath));
        if (ok && item.StartMethod) {
            ok = WriteIniString(file, sec, "StartMethod", *item.StartMethod) &&
                 WriteIniString(file, sec, "MethodIndex", static_cast<long long>(item.MethodIndex));
        }
        ok = ok && WriteIniString(file, sec, "Password", pw.empty() ? "False" : "True") &&
             WriteIniString(file, sec, "Icon", icon) && batch.Commit();
        if (!ok) return failed();
        StoreResult r;
        r.index = index;
        r.name = icon;
        return r;
    } catch (const std::exception&) {
        // Out of memory or the like: the batch has dropped its writes while
        // unwinding; the line files and the picture go back here.
        return failed();
    }
}

}  // namespace

StoreResult AddItem(const std::string& appDir, const std::string& teamFolder, const ItemInput& item) {
    if (teamFolder.empty() || !IsDirectory(teamFolder)) return Fail(StoreError::FolderMissing);
    const std::optional<int> next = NextRecordIndex(ItemSetFile(teamFolder), kItemSection, kMaxItems);
    if (!next) return Fail(StoreError::LimitReached);
    StoreResult r = WriteItem(appDir, teamFolder, *next, true, item, 0, 0, 0);
    if (r.ok()) LaunchStatsItemAdded(teamFolder, r.index);
    return r;
}

StoreResult EditItem(const std::string& appDir, const std::string& teamFolder, int index, const ItemInput& item) {
    if (teamFolder.empty() || !IsDirectory(teamFolder)) return Fail(StoreError::FolderMissing, index);
    if (index < 0 || index >= StoredCount(ItemSetFile(teamFolder), kItemSection))
        return Fail(HeldOr(ItemSetFile(teamFolder), StoreError::BadIndex), index);
    ItemRecord old = ReadItemRecord(teamFolder, index);
    StoreResult r = WriteItem(appDir, teamFolder, index, false, item, old.Path, old.Para, old.IconPath);
    if (r.ok()) LaunchStatsItemRenamed(teamFolder, index, old.Name, item.Name);
    return r;
}

StoreResult DeleteItem(const std::string& teamFolder, int index) {
    if (teamFolder.empty() || !IsDirectory(teamFolder)) return Fail(StoreError::FolderMissing, index);
    const std::string file = ItemSetFile(teamFolder);
    const int count = StoredCount(file, kItemSection);
    if (index < 0 || index >= count) return Fail(HeldOr(file, StoreError::BadIndex), index);
    if (!ShiftDown(file, kItemSection, index, count, kItemKeys.data(), kItemKeys.size()))
        return Fail(StoreError::WriteFailed, index);
    LaunchStatsItemDeleted(teamFolder, index);
    StoreResult r;
    r.index = index;
    return r;
}

StoreResult SwapItems(const std::string& teamFolder, int first, int second) {
    if (teamFolder.empty() || !IsDirectory(teamFolder)) return Fail(StoreError::FolderMissing);
    const std::string file = ItemSetFile(teamFolder);
    const int count = StoredCount(file, kItemSection);
    if (first < 0 || first >= count || second < 0 || second >= count) return Fail(HeldOr(file, StoreError::BadIndex));
    if (!SwapSections(file, first, second, kItemKeys.data(), kItemKeys.size())) return Fail(StoreError::WriteFailed);
    LaunchStatsItemsSwapped(teamFolder, first, teamFolder, second);
    StoreResult r;
    r.index = second;
    return r;
}

StoreResult SwapItems(const std::string& firstFolder, int firstIndex, const std::string& secondFolder,
                      int secondIndex) {
    if (firstFolder == secondFolder) return SwapItems(firstFolder, firstIndex, secondIndex);
    if (firstFolder.empty() || secondFolder.empty() || !IsDirectory(firstFolder) || !IsDirectory(secondFolder))
        return Fail(StoreError::FolderMissing);
    const std::string fileA = ItemSetFile(firstFolder);
    const std::string fileB = ItemSetFile(secondFolder);
    if (firstIndex < 0 || firstIndex >= StoredCount(fileA, kItemSection) || secondIndex < 0 ||
        secondIndex >= StoredCount(fileB, kItemSection))
        return Fail(HeldOr(fileB, HeldOr(fileA, StoreError::BadIndex)));
    const std::string secA = Section(firstIndex);
    const std::string secB = Section(secondIndex);
    const ItemRecord a = ReadItemRecord(firstFolder, firstIndex);
    const ItemRecord b = ReadItemRecord(secondFolder, secondIndex);
    auto failed = [] { return Fail(StoreError::WriteFailed); };

    // Each item's lines are appended to the other folder's files; the old
    // lines stay where they were, unreferenced.
    struct Lines {
        std::string (*file)(const std::string&);
        const char* key;
        int a, b;
    };
    const std::array<Lines, 3> lines = {{{PathSetFile, "Path", a.Path, b.Path},
                                         {ParaSetFile, "Para", a.Para, b.Para},
                                         {IconSetFile, "IconPath", a.IconPath, b.IconPath}}};
    for (const Lines& l : lines) {
        // A line file someone holds open must not be copied as an empty line.
        const std::optional<std::string> lineB = TryReadDataLine(l.file(secondFolder), l.b);
        const std::optional<std::string> lineA = TryReadDataLine(l.file(firstFolder), l.a);
        if (!lineA || !lineB) return failed();
        int intoA = WriteDataLine(l.file(firstFolder), *lineB, 0);
        int intoB = WriteDataLine(l.file(secondFolder), *lineA, 0);
        if (intoA < 0 || intoB < 0) return failed();
        if (!WriteIniString(fileA, secA, l.key, static_cast<long long>(intoA)) ||
            !WriteIniString(fileB, secB, l.key, static_cast<long long>(intoB)))
            return failed();
    }

    std::array<std::optional<std::string>, kItemPlainKeys.size()> keptA, keptB;
    for (size_t k = 0; k < kItemPlainKeys.size(); ++k) {
        keptA[k] = ReadRaw(fileA, secA, kItemPlainKeys[k]);
        keptB[k] = ReadRaw(fileB, secB, kItemPlainKeys[k]);
    }
    // Own pictures follow their items; a name already taken in the other
    // folder is replaced by a fresh one rather than overwriting that file.
    constexpr size_t kIcon = 6;
    static_assert(std::string_view(kItemPlainKeys[kIcon]) == "Icon");
    if (keptA[kIcon]) keptA[kIcon] = MovePicture(firstFolder, secondFolder, *keptA[kIcon]);
    if (keptB[kIcon]) keptB[kIcon] = MovePicture(secondFolder, firstFolder, *keptB[kIcon]);
    for (size_t k = 0; k < kItemPlainKeys.size(); ++k) {
        if (!WriteRaw(fileA, secA, kItemPlainKeys[k], keptB[k]) || !WriteRaw(fileB, secB, kItemPlainKeys[k], keptA[k]))
            return failed();
    }
    LaunchStatsItemsSwapped(firstFolder, firstIndex, secondFolder, secondIndex);
    StoreResult r;
    r.index = secondIndex;
    return r;
}

}  // namespace vt
