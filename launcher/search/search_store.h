// Feeding the search index from the store, one team at a time, so the shell
// can spread the reading over idle moments after the first frame and read
// one team again when it changes.
#pragma once

#include <string>
#include <vector>

#include "common/file_stamp.h"
#include "launcher/search/search_index.h"
#include "launcher/store/launch_stats.h"

namespace vt {

// Team index as the index wants it: name, password flag and, for a team
// without a password, every item shown (up to 500) with its path and launch
// stats. A protected team comes back with password set and no items.
SearchTeamInput ReadSearchTeam(const std::string& appDir, int team, const LaunchStats& stats);

// Reads the store into an index a few teams at a time.
class SearchIndexLoader {
public:
    explicit SearchIndexLoader(std::string appDir);
    // Starts over: the team count and the launch stats are read again at the
    // next Step, and every team is read anew.
    void Restart();
    // Reads up to maxTeams more teams into index; true when every team has
    // been read. The first call empties the index: what it held under a
    // team's place may be another team's now, and a search made while the
    // rest is read must not offer it.
    bool Step(SearchIndex& index, int maxTeams);
    bool Started() const { return started_; }
    bool Done() const { return started_ && next_ >= count_; }
    // The team's items changed through the program: the next RefreshChanged
    // reads it again even when a write within one clock tick left its stamps
    // as they were.
    void Forget(int team);
    // An item was launched: the teams still to read take the counts afresh.
    void StatsChanged() { statsStale_ = true; }
    // Reads one team again (its items changed, through the program or on
    // disk), with launch stats read afresh.
    void RefreshTeam(SearchIndex& index, int team);
    // Looks at the files behind what was read (one look per file, nothing
    // read when nothing changed): a changed team list starts over as Restart
    // does and gives -1 (Step then reads the teams again); otherwise every
    // team whose ITEM.SET or PATH.SET changed is read again, and the result
    // is how many were.
    int RefreshChanged(SearchIndex& index);

private:
    struct Stamps {
        FileStamp items, paths;
        bool settled = false;  // a write in the same clock tick would not show
    };
    Stamps Look(int team) const;
    void Read(SearchIndex& index, int team);

    std::string appDir_;
    LaunchStats stats_;
    bool started_ = false;
    bool statsStale_ = false;
    int count_ = 0;
    int next_ = 0;
    FileStamp teamList_;
    bool teamListSettled_ = false;
    std::vector<Stamps> stamps_;  // per team read
};

// The whole store at once (tests, benchmarks).
void LoadSearchIndex(SearchIndex& index, const std::string& appDir);

}  // namespace vt
