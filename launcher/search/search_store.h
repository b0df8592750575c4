// Feeding the search index from the store, one team at a time, so the shell
// can spread the reading over idle moments after the first frame and read
// one team again when it changes.
#pragma once

#include <string>

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
    // Reads up to maxTeams more teams into index (the first call also drops
    // teams past the stored count); true when every team has been read.
    bool Step(SearchIndex& index, int maxTeams);
    bool Done() const { return started_ && next_ >= count_; }
    // Reads one team again (its items changed, through the program or on
    // disk), with launch stats read afresh.
    void RefreshTeam(SearchIndex& index, int team);

private:
    std::string appDir_;
    LaunchStats stats_;
    bool started_ = false;
    int count_ = 0;
    int next_ = 0;
};

// The whole store at once (tests, benchmarks).
void LoadSearchIndex(SearchIndex& index, const std::string& appDir);

}  // namespace vt
