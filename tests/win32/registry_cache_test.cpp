// The registry adapter keeps keys open for reading; what another program does
// to those keys meanwhile must still show.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/registry_win32.h"

namespace vt {
namespace {

TEST(RegistryReadHandles, AKeyDeletedAndMadeAgainElsewhereIsReadAfresh) {
    // This process's own key: another test run may use the registry meanwhile.
    const std::string key = "Software\\VantrelTests\\" + std::to_string(GetCurrentProcessId()) + "_read_cache";
    const std::wstring wkey(key.begin(), key.end());
    Win32Registry reg;
    ASSERT_EQ(reg.SetDword(RegRoot::CurrentUser, key, "Value", 1), ERROR_SUCCESS);
    ASSERT_EQ(reg.SetString(RegRoot::CurrentUser, key, "Text", "one"), ERROR_SUCCESS);
    EXPECT_EQ(reg.QueryDword(RegRoot::CurrentUser, key, "Value"), 1u);
    EXPECT_EQ(reg.QueryString(RegRoot::CurrentUser, key, "Text"), "one");

    // Another program removes the key: the kept handle must not answer for it.
    ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, wkey.c_str()), ERROR_SUCCESS);
    EXPECT_FALSE(reg.KeyExists(RegRoot::CurrentUser, key));
    EXPECT_FALSE(reg.QueryDword(RegRoot::CurrentUser, key, "Value"));

    // ... and makes it again with other values.
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, wkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    DWORD two = 2;
    RegSetValueExW(k, L"Value", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&two), sizeof(two));
    RegSetValueExW(k, L"Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"two"), 4 * sizeof(wchar_t));
    RegCloseKey(k);
    EXPECT_TRUE(reg.KeyExists(RegRoot::CurrentUser, key));
    EXPECT_EQ(reg.QueryDword(RegRoot::CurrentUser, key, "Value"), 2u);
    EXPECT_EQ(reg.QueryString(RegRoot::CurrentUser, key, "Text"), "two");

    RegDeleteTreeW(HKEY_CURRENT_USER, wkey.c_str());
}

}  // namespace
}  // namespace vt
