// The search index of the find line and what keeps it true to the store.
// The first opening of the line starts reading the store a slice at a time,
// so the key that opened it never waits for a big store: the shell ticks
// Step between messages while Loading(), and the line's results grow as the
// teams come in. Every later opening looks at the files behind what was read
// (one look per file when nothing changed) and reads again what changed; a
// changed team list starts the reading over.
#pragma once

#include <cstdint>
#include <string>

#include "launcher/search/search_index.h"
#include "launcher/search/search_store.h"

namespace vt {

class FindIndex {
public:
    // Items read per slice: about ten milliseconds of reading, and more than
    // most stores hold, which the first key then reads whole.
    static constexpr size_t kSliceItems = 500;

    // sliceItems: teams are read until at least this many items came in
    // (a team is never split).
    explicit FindIndex(std::string appDir, size_t sliceItems = kSliceItems)
        : loader_(std::move(appDir)), sliceItems_(sliceItems) {}

    // At an opening of the line: the first slice of a fresh reading (the
    // first time, after Invalidate, or when the team list changed), else the
    // teams whose files changed read again.
    void Sync();
    // One more slice of a reading under way; true when the index changed.
    bool Step();
    bool Loading() const { return loader_.Started() && !loader_.Done(); }
    // The team's items changed through the program: read again at the next
    // Sync even when a write within one clock tick left its stamps as they were.
    void TeamChanged(int team) { loader_.Forget(team); }
    // Everything is read again from the next Sync on.
    void Invalidate() { loader_.Restart(); }
    // One launch, for the ranking of the results shown until the next read
    // (team -1: of a team not read yet, which then reads it with the others).
    void NoteLaunch(int team, int item, int64_t when);

    const SearchIndex& Index() const { return index_; }
    bool Built() const { return loader_.Started(); }

private:
    SearchIndexLoader loader_;
    SearchIndex index_;
    size_t sliceItems_;
};

}  // namespace vt
