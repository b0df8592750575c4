// Kills a writer at random points and checks that the store files are always
// whole: either what was there before or what was being written.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <new>
#include <random>
#include <string>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/ini.h"
#include "common/line_file.h"
#include "launcher/store/store.h"
#include "tests/unit/temp_dir.h"

using namespace vt;

namespace {

std::string Bytes(const std::string& file) {
    return ReadFileBytes(PathFromUtf8(file)).value_or("<missing>");
}

std::string Value(int v) {
    return v == 0 ? std::string(200, 'a') : std::string(100, 'b');
}

// One key of TEAM.SET and line 3 of the line file at version v (0 or 1).
void WriteVersion(const std::string& teams, const std::string& lines, int v) {
    (void)WriteIniString(teams, "7", "Name", Value(v));
    (void)WriteDataLine(lines, Value(v) + "中文", 3);
}

// Address space the process holds now, in bytes (0 when unknown).
size_t AddressSpace() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmSize:", 0) == 0) return std::stoull(line.substr(7)) * 1024;
    return 0;
}

}  // namespace

// An item save that runs out of memory half way must not leave the item half
// saved (the new name with the old path): the record reaches ITEM.SET whole or
// not at all, and the failure comes back as a result, not as an exception.
TEST(StoreInterruption, RunningOutOfMemoryLeavesNoHalfItem) {
    TempDir dir;
    const std::string team = dir.File("TEAM");
    std::filesystem::create_directories(PathFromUtf8(team));
    ItemInput item;
    item.Name = "old";
    item.Path = "C:\\old.exe";
    item.IconText = "[FILE]";
    ASSERT_TRUE(AddItem(dir.Dir(), team, item).ok());
    const std::string items = Bytes(ItemSetFile(team));
    const std::string paths = Bytes(PathSetFile(team));

    enum Outcome { kSaved = 10, kFailed, kThrew, kNoLimit };
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        FlushIniCache();
        ItemInput big = item;
        big.Name = "new";
        big.Path.assign(48u << 20, 'x');
        // Room for one more copy of the path, not for the copies a line write makes.
        const size_t used = AddressSpace();
        rlimit limit{used + (64u << 20), used + (64u << 20)};
        if (used == 0 || setrlimit(RLIMIT_AS, &limit) != 0) _exit(kNoLimit);
        try {
            _exit(EditItem(dir.Dir(), team, 0, big).ok() ? kSaved : kFailed);
        } catch (const std::bad_alloc&) {
            _exit(kThrew);
        }
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kNoLimit) GTEST_SKIP() << "no address space limit here";
    EXPECT_EQ(WEXITSTATUS(status), kFailed);
    FlushIniCache();
    EXPECT_EQ(Bytes(ItemSetFile(team)), items);
    EXPECT_EQ(Bytes(PathSetFile(team)), paths);
    EXPECT_EQ(ReadItemRecord(team, 0).Name, "old");
}

TEST(StoreInterruption, KilledWritersLeaveWholeFiles) {
    TempDir dir;
    const std::string app = dir.Dir();
    std::filesystem::create_directories(PathFromUtf8(DataDir(app)));
    const std::string teams = TeamSetFile(app);
    const std::string lines = dir.File("PATH.SET");
    for (int i = 1; i <= 5; ++i)
        ASSERT_GT(WriteDataLine(lines, std::string(500, static_cast<char>('0' + i)), 0), 0);

    // A file of some size around the key that changes.
    for (int sec = 0; sec < 40; ++sec)
        ASSERT_TRUE(WriteIniString(teams, std::to_string(sec), "Name", Value(0)));
    // The two states each file may be in.
    WriteVersion(teams, lines, 1);
    const std::string teams1 = Bytes(teams), lines1 = Bytes(lines);
    WriteVersion(teams, lines, 0);
    const std::string teams0 = Bytes(teams), lines0 = Bytes(lines);
    ASSERT_NE(teams0, teams1);
    ASSERT_NE(lines0, lines1);

    std::mt19937 rng(12345);
    int kills = 0;
    int seenNew = 0;
    for (int round = 0; round < 200; ++round) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(ready[0]);
            FlushIniCache();
            for (int v = 1;; v ^= 1) {
                WriteVersion(teams, lines, v);
                char c = 1;
                if (write(ready[1], &c, 1) != 1) _exit(0);
            }
        }
        close(ready[1]);
        // Let a random number of writes complete, then kill mid-way through the next.
        int done = static_cast<int>(rng() % 3);
        char c;
        for (int i = 0; i < done; ++i)
            ASSERT_EQ(read(ready[0], &c, 1), 1);
        volatile unsigned spin = 0;
        for (unsigned i = rng() % 200000; i > 0; --i)
            spin = spin + 1;
        kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        close(ready[0]);
        if (WIFSIGNALED(status)) ++kills;

        FlushIniCache();
        const std::string t = Bytes(teams);
        ASSERT_TRUE(t == teams0 || t == teams1) << "torn TEAM.SET, round " << round;
        const std::string l = Bytes(lines);
        ASSERT_TRUE(l == lines0 || l == lines1) << "torn line file, round " << round;
        seenNew += t == teams1;
        // Back to a known state for the next round.
        WriteVersion(teams, lines, 0);
    }
    EXPECT_GT(kills, 150);
    // The kills landed at different points of the write cycle.
    EXPECT_GT(seenNew, 0);
    EXPECT_LT(seenNew, 200);
}
