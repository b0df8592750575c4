// Store files held open by another program: virus scanners, backup and sync
// tools open a file without sharing for a moment. A write must then wait or
// fail; it must never read the held file as empty and write that back.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/ini.h"
#include "common/line_file.h"
#include "launcher/store/store.h"
#include "platform/fake/fakes.h"
#include "platform/win32/win_text.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

constexpr int kTeams = 40;
constexpr int kItems = 12;

// Opens a file the way a scanner does: no sharing at all, so every other
// open fails with a sharing violation until it is closed.
class Holder {
public:
    explicit Holder(const std::string& file)
        : h_(CreateFileW(PathFromUtf8(file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr)) {}
    ~Holder() { Release(); }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;
    bool held() const { return h_ != INVALID_HANDLE_VALUE; }
    void Release() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE h_;
};

class LockedStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        FlushIniCache();
        appDir = PathToUtf8(dir_.Path()) + "\\";
        for (int i = 0; i < kTeams; ++i) {
            StoreResult r = AddTeam(appDir, {"类别" + std::to_string(i), "说明", ""});
            ASSERT_TRUE(r.ok());
            if (i == 0) folder = TeamFolderPath(appDir, r.name);
        }
        for (int i = 0; i < kItems; ++i) {
            ItemInput item;
            item.Name = "项目" + std::to_string(i);
            item.Path = "C:\\Program Files\\App" + std::to_string(i) + "\\app.exe";
            item.Para = "/x " + std::to_string(i);
            item.IconText = "[LINK]";
            ASSERT_TRUE(AddItem(appDir, folder, item).ok());
        }
        teamSet = TeamSetFile(appDir);
        teamBytes = Bytes(teamSet);
        ASSERT_GT(teamBytes.size(), 1000u);
    }
    void TearDown() override { FlushIniCache(); }

    static std::string Bytes(const std::string& file) {
        return ReadFileBytes(PathFromUtf8(file)).value_or("<unreadable>");
    }

    void ExpectEveryTeam() {
        FlushIniCache();
        FakePrompts prompts;
        ASSERT_EQ(ReadTeamCount(appDir, prompts, true), kTeams);
        for (int i = 0; i < kTeams; ++i)
            EXPECT_EQ(ReadTeamRecord(appDir, i).Name.rfind("类别", 0), 0u) << "team " << i;
    }

    harness::TempDir dir_{"vt-locked-"};
    std::string appDir, folder, teamSet, teamBytes;
};

TEST_F(LockedStoreTest, AHeldTeamListFailsTheWriteAndKeepsEveryTeam) {
    const std::string folderName = ReadTeamRecord(appDir, 3).Path;
    {
        Holder holder(teamSet);
        ASSERT_TRUE(holder.held());
        EXPECT_FALSE(WriteIniString(teamSet, "3", "Name", "改名"));
        EXPECT_TRUE(IniFileUnreadable(teamSet));
        // Renaming a team: its count cannot be read either, so the store
        // refuses before writing; what matters is that it says it failed.
        EXPECT_FALSE(EditTeam(appDir, 3, folderName, {"改名", "", ""}).ok());
        EXPECT_EQ(AddTeam(appDir, {"新类别", "", ""}).error, StoreError::WriteFailed);
    }
    EXPECT_FALSE(IniFileUnreadable(teamSet));
    EXPECT_EQ(Bytes(teamSet), teamBytes);
    ExpectEveryTeam();
    // Let go, and the same write goes through with everything else kept.
    EXPECT_TRUE(WriteIniString(teamSet, "3", "Name", "改名"));
    FlushIniCache();
    EXPECT_EQ(ReadTeamRecord(appDir, 3).Name, "改名");
    EXPECT_EQ(ReadTeamRecord(appDir, kTeams - 1).Name, "类别" + std::to_string(kTeams - 1));
}

TEST_F(LockedStoreTest, AHolderThatLetsGoDuringTheWriteNeverShrinksTheList) {
    // Whether the write outlasts the holder depends on the machine; either
    // way it reports truthfully and no team is lost.
    for (DWORD holdMs : {50u, 200u}) {
        FlushIniCache();
        Holder holder(teamSet);
        ASSERT_TRUE(holder.held());
        std::thread letGo([&] {
            // The scanner's moment: a hold of this length, not a wait for anything.
            Sleep(holdMs);
            holder.Release();
        });
        const bool ok = WriteIniString(teamSet, "0", "Note", "held " + std::to_string(holdMs));
        letGo.join();
        FlushIniCache();
        EXPECT_EQ(ReadIniString(teamSet, "0", "Note", ""), ok ? "held " + std::to_string(holdMs) : "说明");
        ExpectEveryTeam();
        teamBytes = Bytes(teamSet);
    }
}

TEST_F(LockedStoreTest, AHolderThatLetsGoDuringALineWriteNeverShrinksTheFile) {
    const std::string pathSet = PathSetFile(folder);
    for (DWORD holdMs : {50u, 200u}) {
        const std::string before = Bytes(pathSet);
        Holder holder(pathSet);
        ASSERT_TRUE(holder.held());
        std::thread letGo([&] {
            Sleep(holdMs);
            holder.Release();
        });
        const int line = WriteDataLine(pathSet, "E:\\held.exe", 0);
        letGo.join();
        if (line == kLineWriteFailed) {
            EXPECT_EQ(Bytes(pathSet), before);
        } else {
            EXPECT_EQ(Bytes(pathSet), before + "E:\\held.exe\r\n");
            EXPECT_EQ(ReadDataLine(pathSet, line), "E:\\held.exe");
        }
    }
}

TEST_F(LockedStoreTest, AHeldLineFileFailsTheEditAndKeepsEveryLine) {
    const std::string pathSet = PathSetFile(folder), itemSet = ItemSetFile(folder);
    const std::string pathBytes = Bytes(pathSet), itemBytes = Bytes(itemSet);
    {
        Holder holder(pathSet);
        ASSERT_TRUE(holder.held());
        EXPECT_EQ(WriteDataLine(pathSet, "D:\\new.exe", 0), kLineWriteFailed);
        EXPECT_EQ(WriteDataLine(pathSet, "D:\\new.exe", 2), kLineWriteFailed);
        EXPECT_FALSE(TryReadDataLine(pathSet, 2));
        ItemInput item;
        item.Name = "改名";
        item.Path = "D:\\new.exe";
        item.IconText = "[LINK]";
        EXPECT_EQ(EditItem(appDir, folder, 1, item).error, StoreError::WriteFailed);
    }
    EXPECT_EQ(Bytes(pathSet), pathBytes);
    EXPECT_EQ(Bytes(itemSet), itemBytes);  // no half item: old name with old path
    FlushIniCache();
    EXPECT_EQ(ReadItemRecord(folder, 1).Name, "项目1");
    EXPECT_EQ(ReadDataLine(pathSet, ReadItemRecord(folder, kItems - 1).Path),
              "C:\\Program Files\\App" + std::to_string(kItems - 1) + "\\app.exe");
}

TEST(AtomicFileWin32, WritesOfOneFileInTheSameTickNeverCollide) {
    harness::TempDir dir{"vt-tmpname-"};
    const auto file = dir.Path() / "PATH.SET";
    std::atomic<int> failures{0};
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([&, t] {
            for (int i = 0; i < 25; ++i)
                if (!WriteFileAtomic(file, std::string(64, static_cast<char>('a' + t)))) ++failures;
        });
    for (auto& w : writers)
        w.join();
    EXPECT_EQ(failures.load(), 0);
    const auto bytes = ReadFileBytes(file);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, std::string(64, bytes->front()));
}

// A save cut off between removing TEAM.SET and renaming its new version in
// (a power cut on a FAT stick) leaves only the temporary file: the next
// start asks, and OK brings it back before the team bar is read.
class UnfinishedSaveStart : public harness::LauncherTest {};

TEST_F(UnfinishedSaveStart, OffersBackATeamListLeftAsATemporaryFile) {
    namespace fs = std::filesystem;
    const fs::path data = launcher_.Dir() / "DATA";
    fs::create_directories(data / "K3J9Q0ZP2M");
    const std::string list = Utf8ToAnsi("[TEAM]\r\nCount=1\r\n[0]\r\nName=恢复的类别\r\nPath=K3J9Q0ZP2M\r\n");
    ASSERT_TRUE(WriteFileAtomic(data / "scratch", list));
    fs::rename(data / "scratch", AtomicTempName(data / "TEAM.SET", 77));

    harness::ChildProcess& vt = launcher_.Proc();
    ASSERT_TRUE(launcher_.Spawn(vt));
    HWND ask = vt.WaitForWindow(L"#32770", L"恢复确认");
    ASSERT_NE(ask, nullptr) << "no question at start-up";
    wchar_t text[256] = {};
    GetDlgItemTextW(ask, 0xFFFF, text, 256);
    EXPECT_EQ(Narrow(text), "发现未完成的保存:DATA\\TEAM.SET,是否恢复?");
    PostMessageW(ask, WM_COMMAND, IDOK, 0);
    HWND main = harness::Launcher::WaitForMain(vt);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(ReadFileBytes(data / "TEAM.SET"), list);
    EXPECT_FALSE(fs::exists(AtomicTempName(data / "TEAM.SET", 77)));
    EXPECT_TRUE(vt.Close(main));
}

}  // namespace
}  // namespace vt
