#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <new>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/ini.h"
#include "common/line_file.h"
#include "common/random_name.h"
#include "tests/unit/temp_dir.h"

using namespace vt;

namespace {

void WriteRaw(const std::string& file, const std::string& bytes) {
    std::ofstream(PathFromUtf8(file), std::ios::binary) << bytes;
    FlushIniCache();
}

std::string Raw(const std::string& file) {
    return ReadFileBytes(PathFromUtf8(file)).value_or("<missing>");
}

}  // namespace

TEST(Ini, ReadsLikeTheProfileFunctions) {
    TempDir dir;
    std::string f = dir.File("a.ini");
    WriteRaw(f,
             "; comment\r\n"
             "garbage line\r\n"
             "[ Team ]\r\n"
             "  Count = 12 \r\n"
             "Name=\"quoted\"\r\n"
             "Half='x\r\n"
             "Num=1234.5\r\n"
             "Bad=abc\r\n"
             "Empty=\r\n"
             "count=99\r\n"
             "[team]\r\n"
             "Other=1\r\n");
    EXPECT_EQ(ReadIniInt(f, "TEAM", "count", 7), 12);           // case and blanks
    EXPECT_EQ(ReadIniString(f, "team", "Name", ""), "quoted");  // matching quotes go
    EXPECT_EQ(ReadIniString(f, "team", "Half", ""), "'x");
    EXPECT_EQ(ReadIniInt(f, "team", "Num", 0), 1234);
    EXPECT_EQ(ReadIniInt(f, "team", "Bad", 5), 0);
    EXPECT_EQ(ReadIniInt(f, "team", "Empty", 5), 5);
    EXPECT_EQ(ReadIniInt(f, "team", "Missing", -1), -1);
    EXPECT_EQ(ReadIniString(f, "team", "Other", "dflt"), "dflt");  // only the first duplicate section counts
    EXPECT_EQ(ReadIniString(dir.File("none.ini"), "a", "b", "d"), "d");
}

TEST(Ini, LongValuesStopAt254BytesWithoutSplittingACharacter) {
    TempDir dir;
    std::string f = dir.File("long.ini");
    std::string ascii(300, 'x');
    ASSERT_TRUE(WriteIniString(f, "S", "K", ascii));
    EXPECT_EQ(ReadIniString(f, "S", "K", "").size(), 254u);
    std::string han;
    for (int i = 0; i < 130; ++i)
        han += "汉";              // 260 GBK bytes
    std::string odd = "x" + han;  // a character would straddle byte 254
    ASSERT_TRUE(WriteIniString(f, "S", "Odd", odd));
    std::string back = Utf8ToAnsi(ReadIniString(f, "S", "Odd", ""));
    EXPECT_EQ(back.size(), 253u);
    EXPECT_EQ(AnsiToUtf8(back), AnsiToUtf8(Utf8ToAnsi(odd).substr(0, 253)));
}

TEST(Ini, WritesKeepEveryUntouchedLine) {
    TempDir dir;
    std::string f = dir.File("w.ini");
    WriteRaw(f, "; keep me\r\n[A]\r\nx = 1\r\n\r\n[B]\r\ny=2\r\n");
    ASSERT_TRUE(WriteIniString(f, "a", "X", "10"));
    ASSERT_TRUE(WriteIniString(f, "A", "z", "3"));
    ASSERT_TRUE(WriteIniString(f, "C", "k", "汉字"));
    EXPECT_EQ(Raw(f), "; keep me\r\n[A]\r\nx=10\r\nz=3\r\n\r\n[B]\r\ny=2\r\n[C]\r\nk=" + Utf8ToAnsi("汉字") + "\r\n");
    EXPECT_EQ(ReadIniString(f, "c", "K", ""), "汉字");
    EXPECT_TRUE(DeleteIniKey(f, "A", "z"));
    EXPECT_EQ(ReadIniString(f, "A", "z", "gone"), "gone");
}

TEST(Ini, MissingFileIsCreatedOnFirstWriteAndCacheSeesOutsideChanges) {
    TempDir dir;
    std::string f = dir.File("new.ini");
    EXPECT_EQ(ReadIniInt(f, "S", "K", 3), 3);
    ASSERT_TRUE(WriteIniString(f, "S", "K", 4LL));
    EXPECT_EQ(Raw(f), "[S]\r\nK=4\r\n");
    EXPECT_EQ(ReadIniInt(f, "S", "K", 3), 4);
    // A different size is noticed without flushing the cache.
    std::ofstream(PathFromUtf8(f), std::ios::binary) << "[S]\r\nK=456\r\n";
    EXPECT_EQ(ReadIniInt(f, "S", "K", 3), 456);
}

TEST(LineFile, AppendReplaceAndRead) {
    TempDir dir;
    std::string f = dir.File("PATH.SET");
    EXPECT_EQ(ReadDataLine(f, 1), "");
    EXPECT_EQ(WriteDataLine(f, "", 0), 0);
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(WriteDataLine(f, "line" + std::to_string(i), 0), i);
    EXPECT_EQ(WriteDataLine(f, "路径三", 3), 3);
    EXPECT_EQ(Raw(f), "line1\r\nline2\r\n" + Utf8ToAnsi("路径三") + "\r\nline4\r\nline5\r\n");
    EXPECT_EQ(ReadDataLine(f, 3), "路径三");
    EXPECT_EQ(ReadDataLine(f, 0), "");
    EXPECT_EQ(ReadDataLine(f, 9), "");
    // The line just past the end is the next line; one further on is a line
    // that is not there, and nothing is padded up to it.
    const std::string five = Raw(f);
    EXPECT_EQ(WriteDataLine(f, "eight", 8), kLineBeyondEnd);
    EXPECT_EQ(WriteDataLine(f, "huge", 2147483647), kLineBeyondEnd);
    EXPECT_EQ(Raw(f), five);
    EXPECT_EQ(WriteDataLine(f, "six", 6), 6);
    EXPECT_EQ(ReadDataLine(f, 6), "six");
    EXPECT_EQ(ReadDataLine(f, 5), "line5");
    EXPECT_EQ(WriteDataLine(dir.File("NEW.SET"), "first", 1), 1);
    // All lines at once read as one by one.
    const std::vector<std::string> all = ReadDataLines(f);
    ASSERT_EQ(all.size(), 6u);
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(all[static_cast<size_t>(i) - 1], ReadDataLine(f, i));
    EXPECT_TRUE(ReadDataLines(dir.File("NONE.SET")).empty());
}

TEST(Common, RandomNamesAreTenUpperAlnum) {
    std::string a = MakeRandomName();
    ASSERT_EQ(a.size(), 10u);
    for (char c : a)
        EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'));
    EXPECT_NE(a, MakeRandomName());
}

TEST(Ini, WriteBatchReplacesTheFileOnceAtCommit) {
    TempDir dir;
    std::string f = dir.File("batch.ini");
    ASSERT_TRUE(WriteIniString(f, "ITEM", "Count", 3LL));
    const std::string before = Raw(f);
    {
        IniWriteBatch batch(f);
        for (int i = 0; i < 50; ++i)
            ASSERT_TRUE(WriteIniString(f, std::to_string(i), "Name", "n" + std::to_string(i)));
        // This thread sees its own pending writes; the disk still holds the old file.
        EXPECT_EQ(ReadIniString(f, "49", "Name", ""), "n49");
        EXPECT_EQ(Raw(f), before);
        {
            IniWriteBatch nested(f);  // joins the outer batch
            ASSERT_TRUE(WriteIniString(f, "ITEM", "Count", 50LL));
            ASSERT_TRUE(nested.Commit());
        }
        EXPECT_EQ(Raw(f), before);
        ASSERT_TRUE(batch.Commit());
    }
    FlushIniCache();
    EXPECT_EQ(ReadIniInt(f, "ITEM", "Count", 0), 50);
    EXPECT_EQ(ReadIniString(f, "7", "Name", ""), "n7");
}

TEST(Ini, FailedBatchLeavesTheOldFileAndForgetsThePendingWrites) {
    TempDir dir;
    std::string sub = dir.File("gone");
    std::filesystem::create_directories(PathFromUtf8(sub));
    std::string f = sub + "/x.ini";
    ASSERT_TRUE(WriteIniString(f, "S", "K", "old"));
    {
        IniWriteBatch batch(f);
        ASSERT_TRUE(WriteIniString(f, "S", "K", "new"));
        std::filesystem::remove_all(PathFromUtf8(sub));  // the folder vanishes before the commit
        EXPECT_FALSE(batch.Commit());
    }
    EXPECT_EQ(ReadIniString(f, "S", "K", "none"), "none");
}

TEST(Ini, QuotedValuesKeepTheirBlanksAndNamesWithLineBreaksReadBack) {
    TempDir dir;
    std::string f = dir.File("q.ini");
    WriteRaw(f, "[S]\r\nk=\" sp \"\r\nu=  plain  \r\ns=' x'\r\n");
    EXPECT_EQ(ReadIniString(f, "S", "k", ""), " sp ");
    EXPECT_EQ(ReadIniString(f, "S", "u", ""), "plain");
    EXPECT_EQ(ReadIniString(f, "S", "s", ""), " x");

    ASSERT_TRUE(WriteIniString(f, "line\r\nbreak", "a\nb", "v1"));
    ASSERT_TRUE(WriteIniString(f, "S", "key\n", "v2"));
    EXPECT_EQ(ReadIniString(f, "line\r\nbreak", "a\nb", ""), "v1");
    EXPECT_EQ(ReadIniString(f, "S", "key\n", ""), "v2");
    FlushIniCache();  // and from the file itself
    EXPECT_EQ(ReadIniString(f, "line\r\nbreak", "a\nb", ""), "v1");
    EXPECT_EQ(ReadIniString(f, "S", "key\n", ""), "v2");
    EXPECT_EQ(ReadIniString(f, "S", "k", ""), " sp ");
}

TEST(Ini, AFileThatIsThereButCannotBeReadIsNeverRewrittenFromNothing) {
    TempDir dir;
    // A folder and a self-referring link stand where the file should be:
    // both are there, neither can be read.
    std::filesystem::create_directory(dir.Path() / "TEAM.SET");
    std::filesystem::create_symlink("ITEM.SET", dir.Path() / "ITEM.SET");
    for (const char* name : {"TEAM.SET", "ITEM.SET"}) {
        const std::string f = dir.File(name);
        EXPECT_EQ(ReadIniInt(f, "TEAM", "Count", 7), 7) << name;
        EXPECT_TRUE(IniFileUnreadable(f)) << name;
        EXPECT_FALSE(WriteIniString(f, "TEAM", "Count", 1LL)) << name;
        EXPECT_FALSE(DeleteIniKey(f, "TEAM", "Count")) << name;
        EXPECT_FALSE(DeleteIniSection(f, "TEAM")) << name;
        {
            IniWriteBatch batch(f);
            EXPECT_FALSE(WriteIniString(f, "0", "Name", "x")) << name;
            (void)batch.Commit();  // nothing pending: the failed write left nothing to commit
        }
    }
    EXPECT_FALSE(IniFileUnreadable(dir.File("none.ini")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "TEAM.SET"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "ITEM.SET"));
}

TEST(Ini, ABatchEndedByAnExceptionWritesNothing) {
    TempDir dir;
    std::string f = dir.File("ITEM.SET");
    ASSERT_TRUE(WriteIniString(f, "0", "Name", "old"));
    ASSERT_TRUE(WriteIniString(f, "0", "Path", 1LL));
    const std::string before = Raw(f);
    try {
        IniWriteBatch batch(f);
        ASSERT_TRUE(WriteIniString(f, "0", "Name", "new"));
        throw std::bad_alloc();  // the line file's write ran out of memory
    } catch (const std::bad_alloc&) {
    }
    {
        IniWriteBatch batch(f);
        ASSERT_TRUE(WriteIniString(f, "0", "Name", "early return"));
    }
    EXPECT_EQ(Raw(f), before);
    EXPECT_EQ(ReadIniString(f, "0", "Name", ""), "old");
}

TEST(Ini, AChangeByAnotherProgramIsSeenEvenWithTheSameSizeAndTime) {
    TempDir dir;
    std::string f = dir.File("TEAM.SET");
    WriteRaw(f, "[TEAM]\r\nCount=1\r\n");
    const auto path = PathFromUtf8(f);
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    std::filesystem::last_write_time(path, old);
    EXPECT_EQ(ReadIniInt(f, "TEAM", "Count", 0), 1);
    // Written in place, same length, its write time put back: only the
    // change time tells.
    std::ofstream(path, std::ios::binary | std::ios::in | std::ios::out) << "[TEAM]\r\nCount=2\r\n";
    std::filesystem::last_write_time(path, old);
    EXPECT_EQ(ReadIniInt(f, "TEAM", "Count", 0), 2);

    // A file written a moment ago: two writes within one tick of the clock
    // may leave every time the same, so the content itself is compared.
    ASSERT_TRUE(WriteIniString(f, "TEAM", "Count", 3LL));
    EXPECT_EQ(ReadIniInt(f, "TEAM", "Count", 0), 3);
    const auto written = std::filesystem::last_write_time(path);
    std::ofstream(path, std::ios::binary | std::ios::in | std::ios::out) << "[TEAM]\r\nCount=4\r\n";
    std::filesystem::last_write_time(path, written);
    EXPECT_EQ(ReadIniInt(f, "TEAM", "Count", 0), 4);
}

TEST(LineFile, AFileThatCannotBeReadIsLeftAlone) {
    TempDir dir;
    std::filesystem::create_symlink("PATH.SET", dir.Path() / "PATH.SET");
    const std::string f = dir.File("PATH.SET");
    EXPECT_EQ(WriteDataLine(f, "c:\\a.exe", 0), kLineWriteFailed);
    EXPECT_EQ(WriteDataLine(f, "c:\\a.exe", 1), kLineWriteFailed);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "PATH.SET"));
    EXPECT_EQ(ReadDataLine(f, 1), "");
    EXPECT_FALSE(TryReadDataLine(f, 1));
    EXPECT_EQ(TryReadDataLine(dir.File("none"), 1), "");
}
