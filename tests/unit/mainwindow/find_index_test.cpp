#include "launcher/mainwindow/find_index.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/codepage.h"
#include "common/ini.h"
#include "launcher/store/launch_stats.h"
#include "launcher/store/store.h"
#include "tests/unit/temp_dir.h"

using namespace vt;

namespace {

struct Row {
    int team, item;
    MatchKind kind;
    bool operator==(const Row&) const = default;
};

std::vector<Row> Rows(const std::vector<SearchHit>& hits) {
    std::vector<Row> rows;
    for (const SearchHit& h : hits)
        rows.push_back({h.team, h.item, h.kind});
    return rows;
}

class FindIndexTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(PathFromUtf8(DataDir(app))); }

    // Teams of `count` items named 项目N, with 记事本 added to some.
    std::string AddTeamOf(const std::string& name, int count, bool notepad, const std::string& password = "") {
        StoreResult r = AddTeam(app, {name, "", password});
        EXPECT_TRUE(r.ok());
        const std::string folder = DataDir(app) + r.name;
        for (int i = 0; i < count; ++i)
            EXPECT_TRUE(AddItem(app, folder, Item("项目" + std::to_string(i))).ok());
        if (notepad) {
            EXPECT_TRUE(AddItem(app, folder, Item("记事本")).ok());
        }
        return folder;
    }
    static ItemInput Item(const std::string& name) {
        ItemInput in;
        in.Name = name;
        in.Path = "C:\\tools\\" + name + ".exe";
        in.IconText = "[FILE]";
        return in;
    }
    // What a search finds in the store read whole, at once.
    std::vector<Row> Whole(const std::string& query) {
        SearchIndex whole;
        LoadSearchIndex(whole, app);
        return Rows(Search(whole, query));
    }

    TempDir dir;
    const std::string app = dir.Dir();
};

TEST_F(FindIndexTest, ReadsASliceAtATimeAndEndsAsAWholeRead) {
    AddTeamOf("一", 3, true);
    AddTeamOf("私人", 3, true, "pw");
    AddTeamOf("二", 0, false);
    AddTeamOf("三", 2, true);
    AddTeamOf("四", 4, false);

    FindIndex find(app, 3);  // a slice ends with the team that brings the third item
    find.Sync();
    EXPECT_TRUE(find.Loading());
    EXPECT_TRUE(find.Index().HasTeam(0));
    EXPECT_FALSE(find.Index().HasTeam(3)) << "the first key read more than its slice";
    EXPECT_EQ(Rows(Search(find.Index(), "jsb")).size(), 1u) << "what has come in is found already";

    int steps = 0;
    while (find.Loading()) {
        EXPECT_TRUE(find.Step());
        ASSERT_LT(++steps, 10);
    }
    EXPECT_GE(steps, 2);
    EXPECT_FALSE(find.Step());
    for (const char* query : {"jsb", "xm", "项目1", "tools"})
        EXPECT_EQ(Rows(Search(find.Index(), query)), Whole(query)) << query;
}

TEST_F(FindIndexTest, ATeamListChangedWhileReadingStartsOverWithoutStaleTeams) {
    AddTeamOf("一", 2, true);
    AddTeamOf("二", 2, false);
    AddTeamOf("三", 2, true);
    FindIndex find(app, 1);
    find.Sync();
    ASSERT_TRUE(find.Index().HasTeam(0));
    ASSERT_TRUE(SwapTeams(app, 0, 2).ok());
    find.Sync();
    // Team 0 is 三 now; until it is read again nothing may be found under its place.
    for (const SearchHit& hit : Search(find.Index(), "jsb"))
        EXPECT_EQ(find.Index().TeamName(hit.team), hit.team == 0 ? "三" : "一");
    while (find.Step()) {
    }
    EXPECT_EQ(Rows(Search(find.Index(), "jsb")), Whole("jsb"));
    EXPECT_EQ(find.Index().TeamName(0), "三");

    // Invalidate reads everything again from the next opening on.
    find.Invalidate();
    EXPECT_FALSE(find.Loading());
    find.Sync();
    while (find.Step()) {
    }
    EXPECT_EQ(Rows(Search(find.Index(), "xm")), Whole("xm"));
}

TEST_F(FindIndexTest, ALaunchWhileReadingRanksTheTeamsStillToCome) {
    AddTeamOf("一", 1, true);
    const std::string later = AddTeamOf("二", 1, true);
    FindIndex find(app, 1);
    find.Sync();
    ASSERT_FALSE(find.Index().HasTeam(1));
    ASSERT_TRUE(RecordLaunch(later, 1, "记事本", 1700000000));
    find.NoteLaunch(-1, 1, 1700000000);
    while (find.Step()) {
    }
    const std::vector<Row> rows = Rows(Search(find.Index(), "jsb"));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].team, 1) << "the launched one comes first";
    EXPECT_EQ(rows, Whole("jsb"));
}

}  // namespace
