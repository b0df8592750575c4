// The demo store a newcomer sees on the first start: read through the same
// profile and line-file functions the launcher uses, under the Chinese code
// page, every team must open and every item must point at something Wine has.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/ini.h"
#include "common/line_file.h"
#include "launcher/store/password.h"
#include "platform/win32/win_text.h"

namespace vt {
namespace {

const std::string kData = std::string(VT_DEMO_DIR) + "/DATA/";

bool IsFolderName(const std::string& s) {
    if (s.size() != 10) return false;
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) return false;
    return true;
}

DWORD Attributes(const std::string& windowsPath) {
    return GetFileAttributesW(Widen(windowsPath).c_str());
}

bool FileExists(const std::string& path) {
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string SystemFolder() {
    wchar_t buf[MAX_PATH];
    UINT n = GetSystemDirectoryW(buf, MAX_PATH);
    return Narrow(std::wstring(buf, n)) + "\\";
}

TEST(DemoStore, FilesAreCrLfText) {
    for (const char* rel : {"TEAM.SET", "K7Q2M9X4TA/ITEM.SET", "K7Q2M9X4TA/PATH.SET", "R8D1W5N3PZ/PARA.SET"}) {
        auto bytes = ReadFileBytes(PathFromUtf8(kData + rel));
        ASSERT_TRUE(bytes) << rel;
        ASSERT_FALSE(bytes->empty()) << rel;
        for (size_t i = 0; i < bytes->size(); ++i) {
            if ((*bytes)[i] == '\n') {
                ASSERT_TRUE(i > 0 && (*bytes)[i - 1] == '\r') << rel << " has a bare LF at " << i;
            }
        }
        EXPECT_EQ(bytes->back(), '\n') << rel;
    }
}

TEST(DemoStore, TeamsHaveChineseNamesAndOpenWithoutPassword) {
    const std::string teams = kData + "TEAM.SET";
    int count = ReadIniInt(teams, "TEAM", "Count", 0);
    ASSERT_GE(count, 3);
    ASSERT_LE(count, 32) << "the team bar lays out 32 captions";
    std::set<std::string> names;
    std::set<std::string> folders;
    for (int t = 0; t < count; ++t) {
        std::string sec = std::to_string(t);
        names.insert(ReadIniString(teams, sec, "Name", ""));
        EXPECT_EQ(ReadIniString(teams, sec, "Password", ""), "False") << sec;
        std::string folder = ReadIniString(teams, sec, "Path", "");
        EXPECT_TRUE(IsFolderName(folder)) << folder;
        EXPECT_TRUE(folders.insert(folder).second) << "two teams share " << folder;
        EXPECT_GT(ReadIniInt(kData + folder + "/ITEM.SET", "ITEM", "Count", 0), 0) << "team " << sec << " is empty";
    }
    for (const char* expected : {"常用工具", "系统", "网络"})
        EXPECT_TRUE(names.count(expected)) << expected;
}

// What the launcher would do with each item: decode its lines and check that
// what it starts exists on this system.
TEST(DemoStore, EveryItemStartsSomethingThatExists) {
    const std::string teams = kData + "TEAM.SET";
    const std::string system = SystemFolder();
    const std::set<std::string> stockIcons = {"[FILE]", "[LINK]", "[DIRECTORY]", "[EXITEM]"};
    int count = ReadIniInt(teams, "TEAM", "Count", 0);
    int protectedItems = 0;
    std::set<int> typesSeen;
    for (int t = 0; t < count; ++t) {
        std::string folder = kData + ReadIniString(teams, std::to_string(t), "Path", "") + "/";
        std::string items = folder + "ITEM.SET";
        int n = ReadIniInt(items, "ITEM", "Count", 0);
        for (int i = 0; i < n; ++i) {
            std::string sec = std::to_string(i);
            std::string name = ReadIniString(items, sec, "Name", "");
            SCOPED_TRACE("team " + std::to_string(t) + " item " + name);
            EXPECT_FALSE(name.empty());
            int type = ReadIniInt(items, sec, "Type", -1);
            int mode = ReadIniInt(items, sec, "Mode", -1);
            ASSERT_TRUE(type >= 0 && type <= 5);
            EXPECT_TRUE(mode >= 0 && mode <= 3);
            typesSeen.insert(type);
            // A stock picture, or the program's own icon saved beside the item at build time.
            std::string icon = ReadIniString(items, sec, "Icon", "");
            if (!stockIcons.count(icon)) {
                ASSERT_TRUE(icon.size() > 5 && icon[0] == '\\' && icon.ends_with(".img")) << icon;
                EXPECT_TRUE(FileExists(folder + icon.substr(1))) << icon;
            }

            std::string key;
            if (ReadIniString(items, sec, "Password", "") == "True") {
                key = "123";  // the password the manual gives for the demo
                ++protectedItems;
            }
            int pathLine = ReadIniInt(items, sec, "Path", 0);
            ASSERT_GT(pathLine, 0);
            std::string path = DecodePassword(ReadDataLine(folder + "PATH.SET", pathLine), key);
            std::string para =
                DecodePassword(ReadDataLine(folder + "PARA.SET", ReadIniInt(items, sec, "Para", 0)), key);
            std::string iconSource =
                DecodePassword(ReadDataLine(folder + "ICON.SET", ReadIniInt(items, sec, "IconPath", 0)), key);
            EXPECT_FALSE(iconSource.empty());
            ASSERT_FALSE(path.empty());

            switch (type) {
                case 0:
                    EXPECT_TRUE(FileExists(path)) << path;
                    break;
                case 1: {  // rundll32 gets "file.dll," followed by the function
                    auto comma = path.find(',');
                    ASSERT_NE(comma, std::string::npos) << path;
                    EXPECT_TRUE(FileExists(system + path.substr(0, comma))) << path;
                    EXPECT_FALSE(para.empty());
                    break;
                }
                case 2:
                    EXPECT_TRUE(path.rfind("http:", 0) == 0 || path.rfind("mailto:", 0) == 0) << path;
                    break;
                case 3:
                    EXPECT_EQ(path.back(), '\\');
                    EXPECT_TRUE(FolderExists(path)) << path;
                    break;
                case 4:
                    EXPECT_TRUE(FileExists(path)) << path;
                    break;
                case 5:
                    if (path == "[CONTROL]") {
                        ASSERT_EQ(para.size(), 1u);
                        EXPECT_TRUE(para[0] >= '0' && para[0] <= '9');
                    } else {
                        EXPECT_EQ(path, "[RECYCLE]");
                    }
                    break;
            }
        }
    }
    EXPECT_EQ(typesSeen.size(), 6u) << "the demo shows every item type";
    EXPECT_GE(protectedItems, 1) << "the demo shows a protected item";
}

}  // namespace
}  // namespace vt
