#include "launcher/mainwindow/find_index.h"

#include "launcher/store/store.h"

namespace vt {

FindIndex::Seen FindIndex::Look(const std::string& file, const std::string& more) const {
    Seen s;
    s.stamp = GetFileStamp(file);
    if (!more.empty()) s.more = GetFileStamp(more);
    const int64_t now = FileClockNow(), tick = StampTick(file);
    s.settled = StampIsSettled(s.stamp, now, tick) && (more.empty() || StampIsSettled(s.more, now, tick));
    return s;
}

void FindIndex::Remember(int team) {
    // The folder as the index read it: a protected team has none to watch,
    // and its name and flag live in TEAM.SET.
    const std::string folder = ResolveTeamFolder(appDir_, team, std::string());
    if (folder.empty() || ReadTeamRecord(appDir_, team).Password) {
        stamps_[team] = Seen{};
        stamps_[team].settled = true;
        return;
    }
    stamps_[team] = Look(ItemSetFile(folder), PathSetFile(folder));
}

void FindIndex::Sync(Prompts& prompts) {
    const Seen teams = Look(TeamSetFile(appDir_));
    const int count = ReadTeamCount(appDir_, prompts, false);
    if (!teamSet_ || !Unchanged(*teamSet_, teams)) {
        // The list itself changed (a team added, deleted, renamed, moved,
        // protected): every team is read again.
        teamSet_ = teams;
        stamps_.clear();
        loader_.Restart();
        while (!loader_.Step(index_, 50)) {
        }
        for (int t = 0; t < count; ++t)
            Remember(t);
        return;
    }
    for (int t = 0; t < count; ++t) {
        auto it = stamps_.find(t);
        if (it != stamps_.end()) {
            const std::string folder = ResolveTeamFolder(appDir_, t, std::string());
            if (folder.empty() || Unchanged(it->second, Look(ItemSetFile(folder), PathSetFile(folder)))) continue;
        }
        loader_.RefreshTeam(index_, t);
        Remember(t);
    }
}

}  // namespace vt
