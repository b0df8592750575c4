// Finding items: any bytes as names, paths and typed text (invalid UTF-8
// included) never fail, and typing a query letter by letter, then taking it
// back, gives at every step exactly what a fresh search for that text gives.
// The launch counts file, whatever it holds, loads without failing.
#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

#include "launcher/search/search_index.h"
#include "launcher/store/launch_stats.h"
#include "launcher/store/store.h"
#include "tests/fuzz/fuzz_support.h"

using namespace vt;
using namespace vt::fuzz;

namespace {

std::string Describe(const std::vector<SearchHit>& hits) {
    std::string out;
    for (const SearchHit& h : hits)
        out += std::to_string(h.team) + "/" + std::to_string(h.item) + ":" + std::to_string(int(h.kind)) + " ";
    return out;
}

// Bytes outside printable ASCII as \xNN, so the report shows the query whole.
std::string Printable(std::string_view s) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out += ch;
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

bool Same(const std::vector<SearchHit>& a, const std::vector<SearchHit>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].team != b[i].team || a[i].item != b[i].item || a[i].kind != b[i].kind) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    SearchIndex index;
    const int teams = in.ConsumeIntegralInRange(1, 3);
    for (int t = 0; t < teams; ++t) {
        SearchTeamInput team;
        team.index = t;
        team.name = "T";
        team.password = in.ConsumeIntegralInRange(0, 7) == 0;
        const int items = in.ConsumeIntegralInRange(0, 8);
        for (int i = 0; i < items; ++i) {
            SearchItemInput item;
            item.index = in.ConsumeIntegralInRange(0, 10);
            item.name = in.ConsumeRandomLengthString(40);
            item.path = in.ConsumeRandomLengthString(40);
            item.password = in.ConsumeBool();
            item.launches = in.ConsumeIntegralInRange<uint32_t>(0, 3);
            item.lastLaunch = in.ConsumeIntegralInRange<int64_t>(0, 3);
            team.items.push_back(std::move(item));
        }
        index.SetTeam(team);
    }
    const std::string query = in.ConsumeRandomLengthString(80);

    IncrementalSearch typing;
    std::vector<size_t> lengths;
    for (size_t n = 1; n <= query.size(); ++n)
        lengths.push_back(n);
    for (size_t n = query.size(); n-- > 1;)
        lengths.push_back(n);
    for (size_t n : lengths) {
        const std::string typed = query.substr(0, n);
        const std::vector<SearchHit>& step = typing.Update(index, typed);
        const std::vector<SearchHit> fresh = Search(index, typed);
        VT_FUZZ_CHECK(Same(step, fresh),
                      "query [" + Printable(typed) + "] typed: " + Describe(step) + " fresh: " + Describe(fresh));
        for (const SearchHit& h : step) {
            VT_FUZZ_CHECK(index.HasItem(h.team, h.item), "a hit the index does not hold");
            // Only the file name is not kept apart from the index: the rest
            // is what matching the name alone says.
            if (h.kind != MatchKind::FileName) {
                const std::string_view name = index.ItemName(h.team, h.item);
                VT_FUZZ_CHECK(MatchItem(name, "", typed) == h.kind,
                              "a hit its name does not match so: [" + Printable(typed) + "]");
                // What is marked lies in the name, in order, and is there.
                const auto ranges = MatchedRanges(name, typed);
                VT_FUZZ_CHECK(!ranges.empty(), "nothing marked for [" + Printable(typed) + "]");
                size_t last = 0;
                for (const auto& [from, to] : ranges) {
                    VT_FUZZ_CHECK(last <= from && from < to && to <= name.size(),
                                  "marks out of order or place for [" + Printable(typed) + "]");
                    last = to;
                }
            }
        }
    }

    // What is left is a launch counts file.
    const std::string app = FreshScratch();
    WriteFile(DataDir(app) + kLaunchSetName, in.ConsumeRemainingBytesAsString());
    const LaunchStats stats = LaunchStats::Load(app);
    for (const auto& [key, line] : stats.lines()) {
        VT_FUZZ_CHECK(IsTeamFolderName(key.first), "a line for [" + key.first + "]");
        (void)stats.Get(key.first, key.second, "x");
    }
    return 0;
}
