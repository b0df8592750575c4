// The search index of the find line and what keeps it true to the store:
// built on the first key (never before the first frame), then checked on
// every later opening of the line against the stamps of TEAM.SET and of
// each team's ITEM.SET, so edits through the program and edits on disk both
// show, while an unchanged store costs one look at each file.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "common/file_stamp.h"
#include "launcher/search/search_index.h"
#include "launcher/search/search_store.h"
#include "platform/prompts.h"

namespace vt {

class FindIndex {
public:
    explicit FindIndex(std::string appDir) : appDir_(std::move(appDir)), loader_(appDir_) {}

    // Brings the index up to date with the store: a full read the first
    // time or when the team list changed, else one team per changed ITEM.SET.
    // prompts: only for the store's reads, which report nothing here.
    void Sync(Prompts& prompts);
    // The team's items changed through the program: read it again at the next Sync.
    void TeamChanged(int team) { stamps_.erase(team); }
    // Everything is read again at the next Sync.
    void Invalidate() { teamSet_.reset(); }
    // One launch, for the ranking of the results shown until the next read.
    void NoteLaunch(int team, int item, int64_t when) { index_.NoteLaunch(team, item, when); }

    const SearchIndex& Index() const { return index_; }
    bool Built() const { return teamSet_.has_value(); }

private:
    struct Seen {
        FileStamp stamp, more;  // ITEM.SET and PATH.SET of a team; TEAM.SET alone
        bool settled = false;   // a later write is sure to change the stamps
    };
    Seen Look(const std::string& file, const std::string& more = {}) const;
    static bool Unchanged(const Seen& before, const Seen& now) {
        return before.settled && before.stamp == now.stamp && before.more == now.more;
    }
    void Remember(int team);

    std::string appDir_;
    SearchIndexLoader loader_;
    SearchIndex index_;
    std::optional<Seen> teamSet_;
    std::map<int, Seen> stamps_;  // ITEM.SET of each team read, by team index
};

}  // namespace vt
