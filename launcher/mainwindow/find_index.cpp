#include "launcher/mainwindow/find_index.h"

namespace vt {

void FindIndex::Sync() {
    // A changed team list gives -1 and starts the reading over.
    if (loader_.Started() && loader_.RefreshChanged(index_) >= 0) return;
    Step();
}

bool FindIndex::Step() {
    if (loader_.Started() && loader_.Done()) return false;
    if (!loader_.Started()) loader_.Step(index_, 0);  // the count and the stats, an empty index
    // Counted in items rather than timed, so a slice reads the same teams
    // however busy the machine is.
    const size_t before = index_.ItemCount();
    while (!loader_.Step(index_, 1) && index_.ItemCount() - before < sliceItems_) {
    }
    return true;
}

void FindIndex::NoteLaunch(int team, int item, int64_t when) {
    // The teams still to come read the counts afresh, this launch included.
    if (Loading()) loader_.StatsChanged();
    if (team >= 0) index_.NoteLaunch(team, item, when);
}

}  // namespace vt
