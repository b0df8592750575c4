#include "common/atomic_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

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
    // ITEM.SET is missing: its temporary file may be all that is left of it.
    EXPECT_TRUE(fs::exists(otherOld));
    EXPECT_TRUE(fs::exists(freshTemp));
    EXPECT_TRUE(fs::exists(dir.Path() / "notes.~draft.tmp"));
    EXPECT_TRUE(fs::exists(dir.Path() / ".~1.tmp"));

    // Once per folder and process: the folder is not listed on every write.
    const fs::path later = AtomicTempName(team, 1234);
    Touch(later, std::chrono::minutes(60));
    ASSERT_TRUE(WriteFileAtomic(team, "x"));
    EXPECT_TRUE(fs::exists(later));
}

TEST(AtomicFile, ATempFileWhoseFileIsMissingIsOfferedBack) {
    TempDir dir;
    const fs::path team = dir.Path() / "TEAM.SET", item = dir.Path() / "ITEM.SET";
    ASSERT_TRUE(WriteFileAtomic(item, "kept"));
    Touch(AtomicTempName(team, 1), std::chrono::minutes(90));
    Touch(AtomicTempName(team, 2), std::chrono::minutes(30));  // the newer of two
    std::ofstream(AtomicTempName(team, 2), std::ios::binary) << "[TEAM]\r\nCount=3\r\n";
    fs::last_write_time(AtomicTempName(team, 2), fs::file_time_type::clock::now() - std::chrono::minutes(30));
    Touch(AtomicTempName(item, 3), std::chrono::minutes(90));  // ITEM.SET is there: a plain leftover

    const auto found = FindUnfinishedSaves(dir.Path());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].target, team);
    EXPECT_EQ(found[0].temp, AtomicTempName(team, 2));

    ASSERT_TRUE(RestoreUnfinishedSave(found[0]));
    EXPECT_EQ(ReadFileBytes(team), "[TEAM]\r\nCount=3\r\n");
    EXPECT_FALSE(fs::exists(AtomicTempName(team, 2)));
    EXPECT_TRUE(FindUnfinishedSaves(dir.Path()).empty());
    // A file that appeared meanwhile is never replaced by a leftover.
    EXPECT_FALSE(RestoreUnfinishedSave({AtomicTempName(team, 1), team}));
    EXPECT_EQ(ReadFileBytes(team), "[TEAM]\r\nCount=3\r\n");
}

TEST(AtomicFile, TempTagsAreUniqueAndConcurrentWritesAllLand) {
    EXPECT_NE(NextAtomicTempTag(), NextAtomicTempTag());
    TempDir dir;
    const fs::path file = dir.Path() / "PATH.SET";
    std::atomic<int> failures{0};
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([&, t] {
            for (int i = 0; i < 50; ++i)
                if (!WriteFileAtomic(file, std::string(100, static_cast<char>('a' + t)))) ++failures;
        });
    for (auto& w : writers)
        w.join();
    EXPECT_EQ(failures.load(), 0);
    const auto bytes = ReadFileBytes(file);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 100u);
    EXPECT_EQ(*bytes, std::string(100, bytes->front()));  // one writer's whole file
}

TEST(AtomicFile, ReadingForARewriteTellsMissingFromUnreadable) {
    TempDir dir;
    EXPECT_EQ(ReadFileForRewrite(dir.Path() / "none").state, FileContents::Missing);
    EXPECT_EQ(ReadFileForRewrite(dir.Path() / "no-folder" / "none").state, FileContents::Missing);
    std::ofstream(dir.Path() / "empty");
    EXPECT_EQ(ReadFileForRewrite(dir.Path() / "empty").state, FileContents::Read);
    // There, but no file to read: a folder, a link that leads nowhere but to itself.
    fs::create_directory(dir.Path() / "folder");
    fs::create_symlink("loop", dir.Path() / "loop");
    for (const char* name : {"folder", "loop"}) {
        EXPECT_EQ(ReadFileForRewrite(dir.Path() / name).state, FileContents::Unreadable) << name;
        EXPECT_FALSE(ReadFileBytes(dir.Path() / name)) << name;
    }
}
