#include "launcher/store/unfinished_saves.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "platform/fake/fakes.h"
#include "tests/unit/temp_dir.h"

using namespace vt;
namespace fs = std::filesystem;

TEST(UnfinishedSaves, StartUpOffersEachMissingFileBackAndOnlyOkRestoresIt) {
    TempDir dir;
    const fs::path data = dir.Path() / "DATA", team = data / PathFromUtf8("K3J9Q0ZP2M");
    fs::create_directories(team);
    std::ofstream(AtomicTempName(data / "TEAM.SET", 7), std::ios::binary) << "[TEAM]\r\nCount=2\r\n";
    std::ofstream(AtomicTempName(team / "PATH.SET", 8), std::ios::binary) << "c:\\a.exe\r\n";
    std::ofstream(team / "ITEM.SET") << "[ITEM]\r\nCount=1\r\n";
    std::ofstream(AtomicTempName(team / "ITEM.SET", 9)) << "older";  // its file is there: not asked about

    FakePrompts prompts;
    prompts.confirmAnswers = {true, false};
    EXPECT_EQ(OfferUnfinishedSaves(dir.Dir(), prompts), 1);
    ASSERT_EQ(prompts.confirms.size(), 2u);
    EXPECT_EQ(prompts.confirms[0], "发现未完成的保存:DATA\\TEAM.SET,是否恢复?");
    EXPECT_EQ(prompts.confirms[1], "发现未完成的保存:DATA\\K3J9Q0ZP2M\\PATH.SET,是否恢复?");
    EXPECT_EQ(ReadFileBytes(data / "TEAM.SET"), "[TEAM]\r\nCount=2\r\n");
    // Cancel keeps the leftover for the next start.
    EXPECT_FALSE(fs::exists(team / "PATH.SET"));
    EXPECT_TRUE(fs::exists(AtomicTempName(team / "PATH.SET", 8)));

    FakePrompts again;
    again.confirmAnswers = {false};
    EXPECT_EQ(OfferUnfinishedSaves(dir.Dir(), again), 0);
    EXPECT_EQ(again.confirms.size(), 1u);
}
