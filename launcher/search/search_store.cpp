#include "launcher/search/search_store.h"

#include <filesystem>
#include <utility>

#include "common/codepage.h"
#include "common/file_stamp.h"
#include "common/ini.h"
#include "common/line_file.h"
#include "launcher/store/password.h"
#include "launcher/store/store.h"

namespace vt {
namespace {

// Store reads here are silent: the team bar and the item panel show the
// store's messages; the index takes what can be read.
class SilentPrompts : public Prompts {
public:
    void ShowMessage(const std::string&) override {}
    bool Confirm(const std::string&, const std::string&) override { return false; }
    std::string AskPassword(const std::string&) override { return {}; }
};

}  // namespace

SearchTeamInput ReadSearchTeam(const std::string& appDir, int team, const LaunchStats& stats) {
    SearchTeamInput out;
    out.index = team;
    const TeamRecord record = ReadTeamRecord(appDir, team);
    out.name = record.Name;
    out.password = record.Password;
    if (record.Password) return out;
    const std::string folder = ResolveTeamFolder(appDir, team, std::string());
    if (folder.empty()) return out;
    const std::string folderName = PathToUtf8(PathFromUtf8(folder).filename());
    SilentPrompts quiet;
    const int count = ReadItemCount(folder, quiet, false);
    IniReadScope scope(ItemSetFile(folder));
    // PATH.SET once for the whole team, not once per item.
    const std::vector<std::string> paths = ReadDataLines(PathSetFile(folder));
    out.items.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const ItemRecord item = ReadItemRecord(folder, i);
        SearchItemInput in;
        in.index = i;
        in.name = item.Name;
        in.password = item.Password;
        if (!item.Password && item.Path > 0 && static_cast<size_t>(item.Path) <= paths.size())
            in.path = DecodePassword(paths[static_cast<size_t>(item.Path) - 1], std::string());
        const LaunchStat s = stats.Get(folderName, i, item.Name);
        in.launches = s.count;
        in.lastLaunch = s.last;
        out.items.push_back(std::move(in));
    }
    return out;
}

SearchIndexLoader::SearchIndexLoader(std::string appDir) : appDir_(std::move(appDir)) {}

void SearchIndexLoader::Restart() {
    started_ = false;
}

SearchIndexLoader::Stamps SearchIndexLoader::Look(int team) const {
    Stamps s;
    const std::string folder = ResolveTeamFolder(appDir_, team, std::string());
    if (folder.empty()) return s;
    s.items = GetFileStamp(ItemSetFile(folder));
    s.paths = GetFileStamp(PathSetFile(folder));
    const int64_t now = FileClockNow();
    const int64_t tick = StampTick(ItemSetFile(folder));
    s.settled = (!s.items.exists || StampIsSettled(s.items, now, tick)) &&
                (!s.paths.exists || StampIsSettled(s.paths, now, tick));
    return s;
}

void SearchIndexLoader::Read(SearchIndex& index, int team) {
    // Stamps first: a write between the look and the read shows next time.
    const Stamps s = Look(team);
    index.SetTeam(ReadSearchTeam(appDir_, team, stats_));
    if (static_cast<size_t>(team) >= stamps_.size()) stamps_.resize(static_cast<size_t>(team) + 1);
    stamps_[static_cast<size_t>(team)] = s;
}

bool SearchIndexLoader::Step(SearchIndex& index, int maxTeams) {
    if (!started_) {
        const std::string list = TeamSetFile(appDir_);
        teamList_ = GetFileStamp(list);
        teamListSettled_ = StampIsSettled(teamList_, FileClockNow(), StampTick(list));
        SilentPrompts quiet;
        count_ = ReadTeamCount(appDir_, quiet, false);
        stats_ = LaunchStats::Load(appDir_);
        next_ = 0;
        stamps_.clear();
        started_ = true;
        statsStale_ = false;
        index.Clear();
    }
    if (statsStale_ && next_ < count_ && maxTeams > 0) {
        stats_ = LaunchStats::Load(appDir_);
        statsStale_ = false;
    }
    IniReadScope scope(TeamSetFile(appDir_));
    for (int n = 0; n < maxTeams && next_ < count_; ++n, ++next_)
        Read(index, next_);
    return next_ >= count_;
}

void SearchIndexLoader::Forget(int team) {
    if (team >= 0 && static_cast<size_t>(team) < stamps_.size()) stamps_[static_cast<size_t>(team)].settled = false;
}

void SearchIndexLoader::RefreshTeam(SearchIndex& index, int team) {
    stats_ = LaunchStats::Load(appDir_);
    Read(index, team);
}

int SearchIndexLoader::RefreshChanged(SearchIndex& index) {
    if (!started_) return 0;
    const std::string list = TeamSetFile(appDir_);
    if (!teamListSettled_ || !(GetFileStamp(list) == teamList_)) {
        Restart();
        return -1;
    }
    int refreshed = 0;
    bool statsRead = false;
    for (int t = 0; t < next_ && static_cast<size_t>(t) < stamps_.size(); ++t) {
        const Stamps& was = stamps_[static_cast<size_t>(t)];
        const Stamps now = Look(t);
        if (was.settled && now.items == was.items && now.paths == was.paths) continue;
        if (!statsRead) {
            stats_ = LaunchStats::Load(appDir_);
            statsRead = true;
        }
        Read(index, t);
        ++refreshed;
    }
    return refreshed;
}

void LoadSearchIndex(SearchIndex& index, const std::string& appDir) {
    SearchIndexLoader loader(appDir);
    while (!loader.Step(index, 50)) {
    }
}

}  // namespace vt
