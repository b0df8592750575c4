#include <gtest/gtest.h>

#include <filesystem>

#include "common/codepage.h"
#include "common/ini.h"
#include "launcher/search/search_store.h"
#include "launcher/store/store.h"
#include "tests/unit/temp_dir.h"

using namespace vt;
namespace fs = std::filesystem;

namespace {

ItemInput Input(const std::string& name, const std::string& path, const std::string& password = "") {
    ItemInput in;
    in.Name = name;
    in.Path = path;
    in.IconText = "[FILE]";
    in.Password = password;
    return in;
}

}  // namespace

TEST(SearchStore, LoadsTeamByTeamAndFollowsChanges) {
    TempDir dir;
    const std::string app = dir.Dir();
    fs::create_directories(PathFromUtf8(DataDir(app)));
    std::string folders[3];
    const char* teams[] = {"常用", "私密", "工具"};
    for (int t = 0; t < 3; ++t) {
        StoreResult r = AddTeam(app, {teams[t], "", t == 1 ? "pw" : ""});
        ASSERT_TRUE(r.ok());
        folders[t] = DataDir(app) + r.name;
    }
    ASSERT_TRUE(AddItem(app, folders[0], Input("记事本", "C:\\Windows\\notepad.exe")).ok());
    ASSERT_TRUE(AddItem(app, folders[0], Input("网银", "C:\\bank\\bank.exe", "secret")).ok());
    ASSERT_TRUE(AddItem(app, folders[1], Input("日记本", "C:\\diary.exe")).ok());
    ASSERT_TRUE(AddItem(app, folders[2], Input("计算器", "calc.exe")).ok());

    SearchIndex index;
    SearchIndexLoader loader(app);
    EXPECT_FALSE(loader.Step(index, 2));  // a few teams at a time
    EXPECT_EQ(index.ItemCount(), 2u);
    EXPECT_TRUE(loader.Step(index, 2));
    EXPECT_TRUE(loader.Done());
    EXPECT_EQ(index.ItemCount(), 3u);
    EXPECT_EQ(index.TeamName(2), "工具");
    // The protected team's items never; the protected item by name, not by its path.
    EXPECT_TRUE(Search(index, "rjb").empty());
    EXPECT_EQ(Search(index, "wy").size(), 1u);
    EXPECT_TRUE(Search(index, "bank").empty());
    EXPECT_EQ(Search(index, "notepad").size(), 1u);

    // Items added and renamed behind the index's back are found after a look.
    ASSERT_TRUE(AddItem(app, folders[2], Input("画图", "mspaint.exe")).ok());
    ASSERT_TRUE(EditItem(app, folders[0], 0, Input("Windows 记事本", "C:\\Windows\\notepad.exe")).ok());
    FlushIniCache();
    // The changed teams are read again; when the team list was written too
    // recently to trust its stamp, everything is.
    const int refreshed = loader.RefreshChanged(index);
    if (refreshed < 0) {
        while (!loader.Step(index, 1)) {
        }
    } else {
        EXPECT_GE(refreshed, 2);
    }
    EXPECT_EQ(Search(index, "ht").size(), 1u);
    EXPECT_EQ(Search(index, "jsb")[0].kind, MatchKind::PinyinContains);

    // A changed team list starts over.
    ASSERT_TRUE(SwapTeams(app, 0, 2).ok());
    EXPECT_EQ(loader.RefreshChanged(index), -1);
    EXPECT_FALSE(loader.Done());
    while (!loader.Step(index, 1)) {
    }
    EXPECT_EQ(Search(index, "ht")[0].team, 0);
    EXPECT_EQ(Search(index, "jsb")[0].team, 2);
    ASSERT_TRUE(DeleteTeam(app, 0, "").ok());
    EXPECT_EQ(loader.RefreshChanged(index), -1);
    LoadSearchIndex(index, app);
    EXPECT_TRUE(loader.Step(index, 10));
    EXPECT_FALSE(index.HasTeam(2));
    EXPECT_EQ(Search(index, "jsb")[0].team, 1);
}
