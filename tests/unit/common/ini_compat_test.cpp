// Cases where the system's profile functions were found (by the differential
// test under Wine) to read or write differently from a naive parser.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/ini.h"
#include "tests/unit/temp_dir.h"

namespace vt {
namespace {

void WriteRaw(const std::string& file, const std::string& bytes) {
    std::ofstream(PathFromUtf8(file), std::ios::binary) << bytes;
    FlushIniCache();
}

TEST(IniCompat, IntegersReadLikeTheSystem) {
    TempDir dir;
    std::string f = dir.File("n.ini");
    WriteRaw(f,
             "[N]\r\nHex=0x1F\r\nHexUpper=0XfF\r\nOct=0o17\r\nBin=0b101\r\nBadHex=0xg\r\nLeadZero=010\r\n"
             "Neg=-12x\r\nPlus=+7\r\nNegHex=-0x10\r\nWrap=4294967297\r\nMax=4294967295\r\nZero=0\r\nJunk=x1\r\n"
             "Quoted=\"42\"\r\nBinTwo=0b102\r\n");
    const struct {
        const char* key;
        int expect;
    } cases[] = {
        {"Hex", 31},      {"HexUpper", 255}, {"Oct", 15}, {"Bin", 5},      {"BadHex", 0},
        {"LeadZero", 10}, {"Neg", -12},      {"Plus", 7}, {"NegHex", -16}, {"Wrap", 1},
        {"Max", -1},      {"Zero", 0},       {"Junk", 0}, {"Quoted", 42},  {"BinTwo", 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadIniInt(f, "N", c.key, -99), c.expect) << c.key;
}

TEST(IniCompat, BlanksAroundRequestedNamesAreIgnored) {
    TempDir dir;
    std::string f = dir.File("s.ini");
    WriteRaw(f, "[TEAM]\r\nCount=3\r\n");
    EXPECT_EQ(ReadIniInt(f, " TEAM ", "\tCount ", 0), 3);
    EXPECT_EQ(ReadIniString(f, "TEAM ", " Count", ""), "3");

    // Writes and deletes find the same lines instead of adding look-alikes.
    ASSERT_TRUE(WriteIniString(f, " team", "count ", "4"));
    EXPECT_EQ(ReadFileBytes(PathFromUtf8(f)), "[TEAM]\r\nCount=4\r\n");
    ASSERT_TRUE(WriteIniString(f, " New ", " Key ", "v"));
    EXPECT_EQ(ReadFileBytes(PathFromUtf8(f)), "[TEAM]\r\nCount=4\r\n[New]\r\nKey=v\r\n");
    ASSERT_TRUE(DeleteIniKey(f, "new ", " key"));
    ASSERT_TRUE(DeleteIniSection(f, " NEW"));
    EXPECT_EQ(ReadFileBytes(PathFromUtf8(f)), "[TEAM]\r\nCount=4\r\n");
}

}  // namespace
}  // namespace vt

namespace vt {
namespace {

TEST(IniCompat, LineBreaksInWrittenTextCannotAddLines) {
    TempDir dir;
    std::string f = dir.File("b.ini");
    ASSERT_TRUE(WriteIniString(f, "0", "Name", "evil\r\n[TEAM]\r\nCount=999"));
    EXPECT_EQ(ReadIniInt(f, "TEAM", "Count", 0), 0);
    EXPECT_EQ(ReadIniString(f, "0", "Name", ""), "evil  [TEAM]  Count=999");
    EXPECT_EQ(ReadFileBytes(PathFromUtf8(f)), "[0]\r\nName=evil  [TEAM]  Count=999\r\n");
}

TEST(IniCompat, CaseFoldingLeavesDoubleByteCharactersAlone) {
    // GBK 0x81 0x41 and 0x81 0x61 are two different characters whose second
    // bytes happen to be 'A' and 'a'.
    TempDir dir;
    std::string f = dir.File("g.ini");
    WriteRaw(f, "[S]\r\n\x81\x41=first\r\n\x81\x61=second\r\nKey=k\r\n");
    EXPECT_EQ(ReadIniString(f, "S", AnsiToUtf8("\x81\x41"), ""), "first");
    EXPECT_EQ(ReadIniString(f, "S", AnsiToUtf8("\x81\x61"), ""), "second");
    EXPECT_EQ(ReadIniString(f, "s", "KEY", ""), "k");
}

TEST(IniCompat, ChangesByOtherWritersAreSeenAtOnce) {
    TempDir dir;
    std::string f = dir.File("c.ini");
    ASSERT_TRUE(WriteIniString(f, "S", "K", "1"));
    EXPECT_EQ(ReadIniString(f, "S", "K", ""), "1");
    // Same size, written right away without flushing the cache: another
    // program replacing the file between two reads.
    {
        std::filesystem::path tmp = PathFromUtf8(f + ".new");
        std::ofstream(tmp, std::ios::binary) << "[S]\r\nK=2\r\n";
        std::filesystem::rename(tmp, PathFromUtf8(f));
    }
    EXPECT_EQ(ReadIniString(f, "S", "K", ""), "2");
    std::ofstream(PathFromUtf8(f), std::ios::binary | std::ios::trunc) << "[S]\r\nK=3\r\n";
    EXPECT_EQ(ReadIniString(f, "S", "K", ""), "3");
    std::filesystem::remove(PathFromUtf8(f));
    EXPECT_EQ(ReadIniString(f, "S", "K", "gone"), "gone");
}

}  // namespace
}  // namespace vt

namespace vt {
namespace {

TEST(IniCompat, ReadScopeGivesOneVersionThenChecksAgain) {
    TempDir dir;
    std::string f = dir.File("scope.ini");
    std::string other = dir.File("other.ini");
    ASSERT_TRUE(WriteIniString(f, "S", "K", "1"));
    ASSERT_TRUE(WriteIniString(other, "S", "K", "a"));
    auto replace = [](const std::string& file, const std::string& bytes) {
        std::filesystem::path tmp = PathFromUtf8(file + ".new");
        std::ofstream(tmp, std::ios::binary) << bytes;
        std::filesystem::rename(tmp, PathFromUtf8(file));
    };
    {
        IniReadScope scope(f);
        EXPECT_EQ(ReadIniString(f, "S", "K", ""), "1");
        replace(f, "[S]\r\nK=2\r\n");
        replace(other, "[S]\r\nK=b\r\n");
        EXPECT_EQ(ReadIniString(f, "S", "K", ""), "1");      // the batch's version
        EXPECT_EQ(ReadIniString(other, "S", "K", ""), "b");  // files not pinned are checked as always
        { IniReadScope nested(f); }
        EXPECT_EQ(ReadIniString(f, "S", "K", ""), "1");  // still pinned by the outer scope
        ASSERT_TRUE(WriteIniString(f, "S", "W", "mine"));
        EXPECT_EQ(ReadIniString(f, "S", "W", ""), "mine");  // own writes are seen
    }
    // Out of the scope: the file on disk is what counts again. Our write
    // above went over the pinned version, as any writer's would.
    EXPECT_EQ(ReadIniString(f, "S", "W", ""), "mine");
    replace(f, "[S]\r\nK=3\r\n");
    EXPECT_EQ(ReadIniString(f, "S", "K", ""), "3");
}

}  // namespace
}  // namespace vt
