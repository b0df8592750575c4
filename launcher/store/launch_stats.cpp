#include "launcher/store/launch_stats.h"

#include <charconv>
#include <exception>
#include <filesystem>
#include <limits>
#include <optional>
#include <vector>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "launcher/store/store.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kHeader = "VANTREL LAUNCH 1";

// Folder names are written with every byte outside [0-9A-Za-z_.-] as %XX,
// so a hand-made name with blanks or Chinese in it stays one field of plain
// ASCII whatever the code page.
std::string Escape(std::string_view s) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '.' ||
            c == '-') {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool Unescape(std::string_view s, std::string& out) {
    out.clear();
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out += s[i];
            continue;
        }
        if (s.size() - i < 3) return false;
        const int hi = HexDigit(s[i + 1]), lo = HexDigit(s[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return !out.empty();
}

template <typename T>
bool ParseNumber(std::string_view s, T& v, int base = 10) {
    if (s.empty()) return false;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    return ec == std::errc() && p == s.data() + s.size();
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const size_t from = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > from) out.push_back(line.substr(from, i - from));
    }
    return out;
}

void Parse(std::string_view bytes, LaunchStats& stats) {
    bool first = true;
    while (!bytes.empty()) {
        const size_t nl = bytes.find('\n');
        std::string_view line = bytes.substr(0, nl);
        bytes = nl == std::string_view::npos ? std::string_view() : bytes.substr(nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (first) {
            if (line != kHeader) return;  // not ours, or a later format: nothing counted
            first = false;
            continue;
        }
        const std::vector<std::string_view> f = Fields(line);
        if (f.size() != 5) continue;
        std::string folder;
        int item = 0;
        LaunchStats::Line l;
        if (!Unescape(f[0], folder) || !IsTeamFolderName(folder) || !ParseNumber(f[1], item) || item < 0 ||
            !ParseNumber(f[2], l.nameHash, 16) || !ParseNumber(f[3], l.stat.count) || !ParseNumber(f[4], l.stat.last))
            continue;
        stats.lines()[{folder, item}] = l;
    }
}

std::string Format(const LaunchStats& stats) {
    std::string out(kHeader);
    out += "\r\n";
    char hash[17];
    for (const auto& [key, l] : stats.lines()) {
        const auto [end, ec] = std::to_chars(hash, hash + 16, l.nameHash, 16);
        out += Escape(key.first) + ' ' + std::to_string(key.second) + ' ' + std::string(hash, end) + ' ' +
               std::to_string(l.stat.count) + ' ' + std::to_string(l.stat.last) + "\r\n";
    }
    return out;
}

// The DATA folder and the folder's own name for a team folder path.
struct Where {
    std::string file;    // DATA/LAUNCH.SET
    std::string folder;  // the team folder's name
};

std::optional<Where> Locate(const std::string& teamFolder) {
    if (teamFolder.empty()) return std::nullopt;
    const fs::path p = PathFromUtf8(teamFolder);
    Where w;
    w.folder = PathToUtf8(p.filename());
    if (!IsTeamFolderName(w.folder)) return std::nullopt;
    w.file = PathToUtf8(p.parent_path() / kLaunchSetName);
    return w;
}

// Reads, changes and writes back the stats next to teamFolder. change gets
// the folder name and returns whether it changed anything. A file that is
// there but cannot be read is left alone rather than rewritten from nothing.
template <typename Change>
bool Rewrite(const std::string& teamFolder, Change change) {
    try {
        const std::optional<Where> w = Locate(teamFolder);
        if (!w) return false;
        const fs::path file = PathFromUtf8(w->file);
        const FileContents now = ReadFileForRewrite(file);
        if (now.state == FileContents::Unreadable) return false;
        LaunchStats stats;
        if (now.state == FileContents::Read) Parse(now.bytes, stats);
        if (!change(w->folder, stats)) return true;
        return WriteFileAtomic(file, Format(stats));
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

std::string LaunchSetFile(const std::string& appDir) {
    return DataDir(appDir) + kLaunchSetName;
}

uint64_t LaunchNameHash(std::string_view itemName) {
    // FNV-1a: stable across builds and machines, which std::hash is not.
    uint64_t h = 14695981039346656037ull;
    for (char c : itemName) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

LaunchStats LaunchStats::Load(const std::string& appDir) {
    LaunchStats stats;
    try {
        const std::optional<std::string> bytes = ReadFileBytes(PathFromUtf8(LaunchSetFile(appDir)));
        if (bytes) Parse(*bytes, stats);
    } catch (const std::exception&) {
        stats.lines_.clear();
    }
    return stats;
}

LaunchStat LaunchStats::Get(const std::string& folderName, int item, std::string_view itemName) const {
    const auto it = lines_.find({folderName, item});
    if (it == lines_.end() || it->second.nameHash != LaunchNameHash(itemName)) return {};
    return it->second.stat;
}

bool RecordLaunch(const std::string& teamFolder, int item, std::string_view itemName, int64_t when) {
    if (item < 0) return false;
    return Rewrite(teamFolder, [&](const std::string& folder, LaunchStats& stats) {
        LaunchStats::Line& l = stats.lines()[{folder, item}];
        const uint64_t hash = LaunchNameHash(itemName);
        // Counts left by another item at this index (edited by hand) start over.
        if (l.nameHash != hash) l = LaunchStats::Line{hash, {}};
        if (l.stat.count < std::numeric_limits<uint32_t>::max()) ++l.stat.count;
        if (when > l.stat.last) l.stat.last = when;
        return true;
    });
}

void LaunchStatsItemAdded(const std::string& teamFolder, int item) {
    (void)Rewrite(teamFolder, [&](const std::string& folder, LaunchStats& stats) {
        return stats.lines().erase({folder, item}) > 0;
    });
}

void LaunchStatsItemRenamed(const std::string& teamFolder, int item, std::string_view oldName,
                            std::string_view newName) {
    if (oldName == newName) return;
    (void)Rewrite(teamFolder, [&](const std::string& folder, LaunchStats& stats) {
        const auto it = stats.lines().find({folder, item});
        if (it == stats.lines().end() || it->second.nameHash != LaunchNameHash(oldName)) return false;
        it->second.nameHash = LaunchNameHash(newName);
        return true;
    });
}

void LaunchStatsItemDeleted(const std::string& teamFolder, int item) {
    (void)Rewrite(teamFolder, [&](const std::string& folder, LaunchStats& stats) {
        auto& lines = stats.lines();
        bool changed = lines.erase({folder, item}) > 0;
        // Later items of the folder move down one, their lines with them.
        std::vector<std::pair<int, LaunchStats::Line>> moved;
        for (auto it = lines.lower_bound({folder, item + 1}); it != lines.end() && it->first.first == folder;) {
            moved.emplace_back(it->first.second - 1, it->second);
            it = lines.erase(it);
        }
        for (const auto& [index, l] : moved)
            lines[{folder, index}] = l;
        return changed || !moved.empty();
    });
}

void LaunchStatsItemsSwapped(const std::string& firstFolder, int first, const std::string& secondFolder, int second) {
    const std::optional<Where> a = Locate(firstFolder);
    const std::optional<Where> b = Locate(secondFolder);
    if (!a || !b) return;
    (void)Rewrite(firstFolder, [&](const std::string&, LaunchStats& stats) {
        auto& lines = stats.lines();
        const LaunchStats::Key ka{a->folder, first}, kb{b->folder, second};
        if (ka == kb) return false;
        auto na = lines.extract(ka);
        auto nb = lines.extract(kb);
        if (!na && !nb) return false;
        if (na) {
            na.key() = kb;
            lines.insert(std::move(na));
        }
        if (nb) {
            nb.key() = ka;
            lines.insert(std::move(nb));
        }
        return true;
    });
}

void LaunchStatsTeamDeleted(const std::string& teamFolder) {
    (void)Rewrite(teamFolder, [&](const std::string& folder, LaunchStats& stats) {
        auto& lines = stats.lines();
        const auto from = lines.lower_bound({folder, std::numeric_limits<int>::min()});
        auto to = from;
        while (to != lines.end() && to->first.first == folder)
            ++to;
        if (from == to) return false;
        lines.erase(from, to);
        return true;
    });
}

}  // namespace vt
