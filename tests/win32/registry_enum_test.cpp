// Subkey enumeration of the registry adapter, as the item editor uses it to
// list the shell verbs of a file type.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "launcher/dialogs/icon_rules.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/win_text.h"

namespace vt {
namespace {

class RegistryEnumTest : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = "Software\\VantrelTests\\" + std::to_string(GetCurrentProcessId()) + "_enum";
        RegDeleteTreeW(HKEY_CURRENT_USER, Widen(base_).c_str());
        reg.RedirectRoot(RegRoot::ClassesRoot, RegRoot::CurrentUser, base_);
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, Widen(base_).c_str()); }
    std::string base_;
    Win32Registry reg;
};

TEST_F(RegistryEnumTest, ListsDirectSubkeysOnly) {
    ASSERT_EQ(reg.SetString(RegRoot::ClassesRoot, "vtfile\\shell\\open", "", "打开"), 0);
    ASSERT_EQ(reg.SetString(RegRoot::ClassesRoot, "vtfile\\shell\\编辑\\command", "", "x %1"), 0);
    std::vector<std::string> names = reg.EnumSubKeys(RegRoot::ClassesRoot, "vtfile\\shell");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"open", "编辑"}));
    EXPECT_TRUE(reg.EnumSubKeys(RegRoot::ClassesRoot, "vtfile\\missing").empty());
}

TEST_F(RegistryEnumTest, RegisteredIconLookUpThroughTheRealRegistry) {
    ASSERT_EQ(reg.SetString(RegRoot::ClassesRoot, ".vtx", "", "vtfile"), 0);
    ASSERT_EQ(reg.SetString(RegRoot::ClassesRoot, "vtfile\\DefaultIcon", "", "C:\\windows\\notepad.exe,1"), 0);
    ASSERT_EQ(reg.SetString(RegRoot::ClassesRoot, "vtfile\\shell\\open", "", ""), 0);
    RegisteredIcon r = LookUpRegisteredIcon(reg, "C:\\docs\\a.vtx");
    ASSERT_TRUE(r.icon);
    EXPECT_EQ(r.icon->file, "C:\\windows\\notepad.exe");
    EXPECT_EQ(r.icon->index, 1);
    EXPECT_EQ(r.verbs, std::vector<std::string>{"open"});
    EXPECT_EQ(r.verbCaptions, std::vector<std::string>{"open"});
}

}  // namespace
}  // namespace vt
