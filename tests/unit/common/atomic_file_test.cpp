#include "common/atomic_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "tests/unit/temp_dir.h"

using namespace vt;
namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& p, std::chrono::minutes age) {
    std::ofstream(p) << "partial";
    fs::last_write_time(p, fs::file_time_type::clock::now() - age);
}

}  // namespace

TEST(AtomicFile, AWriteClearsWhatKilledWritersLeftInItsFolder) {
    TempDir dir;
    const fs::path team = dir.Path() / "TEAM.SET";
    const fs::path oldTemp = AtomicTempName(team, 4711), freshTemp = AtomicTempName(team, 815),
                   otherOld = AtomicTempName(dir.Path() / "ITEM.SET", 99);
    Touch(oldTemp, std::chrono::minutes(60));
    Touch(otherOld, std::chrono::minutes(60));
    Touch(freshTemp, std::chrono::minutes(0));  // may be a write in progress elsewhere
    // Names that only look alike are somebody else's files.
    Touch(dir.Path() / "notes.~draft.tmp", std::chrono::minutes(60));
    Touch(dir.Path() / ".~1.tmp", std::chrono::minutes(60));

    ASSERT_TRUE(WriteFileAtomic(team, "[Team]\r\nCount=0\r\n"));
    EXPECT_EQ(ReadFileBytes(team), "[Team]\r\nCount=0\r\n");
    EXPECT_FALSE(fs::exists(oldTemp));
    EXPECT_FALSE(fs::exists(otherOld));
    EXPECT_TRUE(fs::exists(freshTemp));
    EXPECT_TRUE(fs::exists(dir.Path() / "notes.~draft.tmp"));
    EXPECT_TRUE(fs::exists(dir.Path() / ".~1.tmp"));

    // Once per folder and process: the folder is not listed on every write.
    const fs::path later = AtomicTempName(team, 1234);
    Touch(later, std::chrono::minutes(60));
    ASSERT_TRUE(WriteFileAtomic(team, "x"));
    EXPECT_TRUE(fs::exists(later));
}
