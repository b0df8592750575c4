#include <gtest/gtest.h>

#include <fstream>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/ini.h"
#include "tests/unit/temp_dir.h"

using namespace vt;

// A hand-edited file may hold a key twice in one section; only the first one
// is read. Deleting the key must not bring the older copy back to life (a
// deleted item's "Path" would then point at a stale line).
TEST(IniDelete, RemovesEveryCopyOfTheKeyInItsSectionOnly) {
    TempDir dir;
    std::string f = dir.File("ITEM.SET");
    std::ofstream(PathFromUtf8(f), std::ios::binary)
        << "[3]\r\nPath=2\r\nName=a\r\npath=F4J8C1Y7UK\r\n[4]\r\nPath=5\r\n[3]\r\nPath=9\r\n";
    FlushIniCache();

    ASSERT_TRUE(DeleteIniKey(f, "3", "Path"));
    FlushIniCache();
    EXPECT_EQ(ReadIniString(f, "3", "Path", "-"), "-");
    EXPECT_EQ(ReadIniString(f, "3", "Name", "-"), "a");
    EXPECT_EQ(ReadIniString(f, "4", "Path", "-"), "5");
    // A second header of the same name is never read; it is left as it is.
    EXPECT_EQ(ReadFileBytes(PathFromUtf8(f)).value_or(""), "[3]\r\nName=a\r\n[4]\r\nPath=5\r\n[3]\r\nPath=9\r\n");
}
