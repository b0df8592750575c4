// How often and when each item was launched, for ranking what the find line
// shows. Kept in "DATA\LAUNCH.SET", one line per launched item:
//   <team folder> <item index> <name check> <count> <last launch>
// keyed by the team's folder (which never changes while the team lives) and
// the item's index in it. The store's own item operations (delete, swap,
// swap across teams, rename, add) and team deletion move or drop the lines
// with their items, so reordering and moving never hand one item's counts to
// another. The name check (a hash of the item's name) catches what the store
// never saw, such as ITEM.SET edited by hand: a line whose name does not
// match counts for nothing.
//
// The file is written whole and atomically. A damaged line is skipped, a file
// without the expected first line is taken as empty and rewritten at the
// next launch; none of this ever fails a launch or a store operation.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace vt {

inline constexpr const char* kLaunchSetName = "LAUNCH.SET";

struct LaunchStat {
    uint32_t count = 0;
    int64_t last = 0;  // seconds since 1970, 0 never
};

// appDir + "DATA/LAUNCH.SET".
std::string LaunchSetFile(const std::string& appDir);

// The stats of every launched item, as read once (for building the search
// index).
class LaunchStats {
public:
    // What DATA/LAUNCH.SET holds now; empty when it is missing or damaged.
    static LaunchStats Load(const std::string& appDir);
    // The stats of item index of the team whose folder is named folderName
    // (the folder's own name, "K3J9..."), when itemName is still the name
    // they were counted under; zero otherwise.
    LaunchStat Get(const std::string& folderName, int item, std::string_view itemName) const;
    size_t size() const { return lines_.size(); }

    struct Line {
        uint64_t nameHash = 0;
        LaunchStat stat;
    };
    using Key = std::pair<std::string, int>;  // folder name, item index
    std::map<Key, Line>& lines() { return lines_; }
    const std::map<Key, Line>& lines() const { return lines_; }

private:
    std::map<Key, Line> lines_;
};

// The hash LaunchStats checks names with.
uint64_t LaunchNameHash(std::string_view itemName);

// One more launch, at when, of item index (named itemName) of teamFolder (the
// folder's full path, as the store's item functions take it). False when the
// file could not be written; the launch itself is not affected.
bool RecordLaunch(const std::string& teamFolder, int item, std::string_view itemName, int64_t when);

// Called by the store after its item operations succeeded. Each rewrites
// LAUNCH.SET next to the team folder only when a line is affected.
void LaunchStatsItemAdded(const std::string& teamFolder, int item);  // stale lines at a fresh index go
// Counts follow a rename only when they were counted under oldName.
void LaunchStatsItemRenamed(const std::string& teamFolder, int item, std::string_view oldName,
                            std::string_view newName);
void LaunchStatsItemDeleted(const std::string& teamFolder, int item);  // later items move down one
void LaunchStatsItemsSwapped(const std::string& firstFolder, int first, const std::string& secondFolder, int second);
void LaunchStatsTeamDeleted(const std::string& teamFolder);

}  // namespace vt
