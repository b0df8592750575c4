#include "launcher/search/search_store.h"

#include <filesystem>
#include <utility>

#include "common/codepage.h"
#include "common/ini.h"
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
    out.items.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const ItemRecord item = ReadItemRecord(folder, i);
        SearchItemInput in;
        in.index = i;
        in.name = item.Name;
        in.password = item.Password;
        if (!item.Password) in.path = ReadItemTexts(folder, item, std::string()).Path;
        const LaunchStat s = stats.Get(folderName, i, item.Name);
        in.launches = s.count;
        in.lastLaunch = s.last;
        out.items.push_back(std::move(in));
    }
    return out;
}

SearchIndexLoader::SearchIndexLoader(std::string appDir) : appDir_(std::move(appDir)) {}

void SearchIndexLoader::Restart() { started_ = false; }

bool SearchIndexLoader::Step(SearchIndex& index, int maxTeams) {
    if (!started_) {
        SilentPrompts quiet;
        count_ = ReadTeamCount(appDir_, quiet, false);
        stats_ = LaunchStats::Load(appDir_);
        next_ = 0;
        started_ = true;
        index.KeepTeams(count_);
    }
    IniReadScope scope(TeamSetFile(appDir_));
    for (int n = 0; n < maxTeams && next_ < count_; ++n, ++next_) index.SetTeam(ReadSearchTeam(appDir_, next_, stats_));
    return next_ >= count_;
}

void SearchIndexLoader::RefreshTeam(SearchIndex& index, int team) {
    stats_ = LaunchStats::Load(appDir_);
    index.SetTeam(ReadSearchTeam(appDir_, team, stats_));
}

void LoadSearchIndex(SearchIndex& index, const std::string& appDir) {
    SearchIndexLoader loader(appDir);
    while (!loader.Step(index, 50)) {
    }
}

}  // namespace vt
