#include <gtest/gtest.h>

#include <filesystem>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "launcher/search/search_store.h"
#include "launcher/store/launch_stats.h"
#include "launcher/store/store.h"
#include "tests/unit/temp_dir.h"

using namespace vt;
namespace fs = std::filesystem;

namespace {

class LaunchStatsTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = dir.Dir();
        fs::create_directories(PathFromUtf8(DataDir(app)));
        a = AddTeamFolder("A");
        b = AddTeamFolder("B");
        for (const char* name : {"记事本", "计算器", "画图"})
            ASSERT_TRUE(AddItem(app, a, Input(name)).ok());
        for (const char* name : {"微信", "QQ"})
            ASSERT_TRUE(AddItem(app, b, Input(name)).ok());
    }

    std::string AddTeamFolder(const std::string& name) {
        StoreResult r = AddTeam(app, {name, "", ""});
        EXPECT_TRUE(r.ok());
        return DataDir(app) + r.name;
    }
    static ItemInput Input(const std::string& name) {
        ItemInput in;
        in.Name = name;
        in.Path = "C:\\" + name + ".exe";
        in.IconText = "[FILE]";
        return in;
    }
    static std::string Folder(const std::string& path) { return PathToUtf8(PathFromUtf8(path).filename()); }
    // The count the stats give the item that is now at index of folder.
    uint32_t Count(const std::string& folder, int index) {
        const ItemRecord item = ReadItemRecord(folder, index);
        return LaunchStats::Load(app).Get(Folder(folder), index, item.Name).count;
    }
    void Launch(const std::string& folder, int index, int times, int64_t when = 1000) {
        const std::string name = ReadItemRecord(folder, index).Name;
        for (int i = 0; i < times; ++i)
            ASSERT_TRUE(RecordLaunch(folder, index, name, when + i));
    }

    TempDir dir;
    std::string app, a, b;
};

}  // namespace

TEST_F(LaunchStatsTest, CountsFollowTheirItems) {
    Launch(a, 0, 3);  // 记事本
    Launch(a, 2, 1);  // 画图
    Launch(b, 1, 5);  // QQ
    EXPECT_EQ(LaunchStats::Load(app).Get(Folder(a), 0, "记事本").last, 1002);

    // Reordered within the team.
    ASSERT_TRUE(SwapItems(a, 0, 2).ok());
    EXPECT_EQ(ReadItemRecord(a, 2).Name, "记事本");
    EXPECT_EQ(Count(a, 2), 3u);
    EXPECT_EQ(Count(a, 0), 1u);

    // Moved to another team (the reorder across teams exchanges two items).
    ASSERT_TRUE(SwapItems(a, 2, b, 1).ok());
    EXPECT_EQ(ReadItemRecord(b, 1).Name, "记事本");
    EXPECT_EQ(Count(b, 1), 3u);
    EXPECT_EQ(Count(a, 2), 5u);

    // Renamed: the counts stay with the item.
    ItemInput renamed = Input("Windows 记事本");
    ASSERT_TRUE(EditItem(app, b, 1, renamed).ok());
    EXPECT_EQ(Count(b, 1), 3u);

    // Deleted: its counts go, the later items keep theirs at their new place.
    ASSERT_TRUE(DeleteItem(a, 1).ok());  // 计算器, never launched
    EXPECT_EQ(ReadItemRecord(a, 1).Name, "QQ");
    EXPECT_EQ(Count(a, 1), 5u);
    ASSERT_TRUE(DeleteItem(a, 1).ok());
    EXPECT_EQ(Count(a, 1), 0u);
    ASSERT_TRUE(AddItem(app, a, Input("QQ")).ok());  // a new item at the freed index starts from nothing
    EXPECT_EQ(Count(a, 1), 0u);
    EXPECT_EQ(Count(a, 0), 1u);

    // A deleted team takes its lines along; the other team's stay.
    ASSERT_TRUE(DeleteTeam(app, 1, "").ok());
    EXPECT_EQ(LaunchStats::Load(app).size(), 1u);
    EXPECT_EQ(Count(a, 0), 1u);
}

TEST_F(LaunchStatsTest, NamesChangedBehindTheStoreCountForNothing) {
    Launch(a, 0, 2);
    // ITEM.SET edited by hand: another item now sits at index 0.
    const ItemRecord other = ReadItemRecord(a, 1);
    EXPECT_EQ(LaunchStats::Load(app).Get(Folder(a), 0, other.Name).count, 0u);
    // Its first launch starts a fresh count instead of inheriting one.
    ASSERT_TRUE(RecordLaunch(a, 0, other.Name, 5000));
    EXPECT_EQ(LaunchStats::Load(app).Get(Folder(a), 0, other.Name).count, 1u);
    EXPECT_EQ(LaunchStats::Load(app).Get(Folder(a), 0, "记事本").count, 0u);
    // A rename of an item whose counts were not its own does not adopt them.
    ASSERT_TRUE(RecordLaunch(a, 1, "计算器", 5000));
    LaunchStatsItemRenamed(a, 1, "某个别的名字", "计算器 Pro");
    EXPECT_EQ(LaunchStats::Load(app).Get(Folder(a), 1, "计算器 Pro").count, 0u);
}

TEST_F(LaunchStatsTest, DamagedFilesAreIgnoredAndRebuilt) {
    const std::string file = LaunchSetFile(app);
    const std::string folder = Folder(a);
    for (const std::string& bytes :
         {std::string("garbage"), std::string("\xff\xfe\x00\x01", 4),
          std::string("VANTREL LAUNCH 1\r\n") + folder + " 0 zz 1 2\r\n" + folder + " -1 0 1 2\r\n" +
              "..%2 0 0 1 2\r\n" + folder + " 0 1 2\r\n" + folder + " 99999999999 0 1 2\r\nCON 0 0 1 2\r\n",
          std::string("VANTREL LAUNCH 1\r\n") + folder + " 0 0 99999999999 2\r\n"}) {
        ASSERT_TRUE(WriteFileAtomic(PathFromUtf8(file), bytes));
        EXPECT_EQ(LaunchStats::Load(app).size(), 0u);
        Launch(a, 0, 1);
        EXPECT_EQ(Count(a, 0), 1u);
    }
    // A folder name that is not plain ASCII survives the round trip.
    const std::string odd = DataDir(app) + "我的 类别";
    fs::create_directories(PathFromUtf8(odd));
    ASSERT_TRUE(RecordLaunch(odd, 4, "x", 7));
    EXPECT_EQ(LaunchStats::Load(app).Get("我的 类别", 4, "x").count, 1u);
    // No team folder, no stats (and nothing written outside DATA).
    EXPECT_FALSE(RecordLaunch("", 0, "x", 1));
    EXPECT_FALSE(RecordLaunch(DataDir(app) + "ICON", 0, "x", 1));
}

TEST_F(LaunchStatsTest, TheIndexRanksByStoredCounts) {
    ASSERT_TRUE(AddItem(app, b, Input("记事本")).ok());
    Launch(b, 2, 2);
    SearchIndex index;
    LoadSearchIndex(index, app);
    EXPECT_EQ(index.ItemCount(), 6u);
    std::vector<SearchHit> hits = Search(index, "jsb");
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].team, 1);
    EXPECT_EQ(hits[0].item, 2);
    // The file name of the path counts too, with its extension when typed.
    EXPECT_EQ(Search(index, "QQ.exe").size(), 1u);
    EXPECT_EQ(Search(index, "计算器").size(), 1u);
    // A team with a password never reaches the index.
    ASSERT_TRUE(EditTeam(app, 0, Folder(a), {"A", "", "secret"}).ok());
    SearchIndexLoader loader(app);
    loader.RefreshTeam(index, 0);
    EXPECT_FALSE(index.HasTeam(0));
    EXPECT_TRUE(Search(index, "jisuanqi").empty());
    EXPECT_EQ(ReadSearchTeam(app, 0, LaunchStats()).items.size(), 0u);
}
