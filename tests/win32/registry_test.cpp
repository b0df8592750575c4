// The registry adapter against the real registry of the test prefix. Every
// test works inside its own key under HKEY_CURRENT_USER, to which
// HKEY_LOCAL_MACHINE is redirected; nothing outside it is touched.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "launcher/settings/settings.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/win_text.h"

namespace vt {
namespace {

constexpr RegRoot kLM = RegRoot::LocalMachine;

class Win32RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = "Software\\VantrelTests\\" + std::to_string(GetCurrentProcessId()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RegDeleteTreeW(HKEY_CURRENT_USER, Widen(base_).c_str());
        reg.RedirectRoot(RegRoot::LocalMachine, RegRoot::CurrentUser, base_);
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, Widen(base_).c_str()); }

    // Raw view of a value under the redirected HKEY_LOCAL_MACHINE.
    bool Raw(const std::string& key, const std::string& value, DWORD& type, std::string& bytes) {
        HKEY h = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(base_ + "\\" + key).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
            return false;
        BYTE buf[1024];
        DWORD size = sizeof(buf);
        LSTATUS st = RegQueryValueExW(h, Widen(value).c_str(), nullptr, &type, buf, &size);
        RegCloseKey(h);
        if (st != ERROR_SUCCESS) return false;
        bytes.assign(reinterpret_cast<char*>(buf), size);
        return true;
    }
    void RawSet(const std::string& key, const std::string& value, DWORD type, const void* data, DWORD size) {
        HKEY h = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Widen(base_ + "\\" + key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &h, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(h, Widen(value).c_str(), 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(h);
    }

    std::string base_;
    Win32Registry reg;
};

TEST(Win32Harness, RunsWithChineseAnsiCodePage) {
    // Profile files and registry strings are GBK only when Wine runs with
    // code page 936; everything else in these tests assumes it.
    EXPECT_EQ(GetACP(), 936u);
}

TEST_F(Win32RegistryTest, DwordRoundTripAndMissing) {
    EXPECT_FALSE(reg.KeyExists(kLM, kDataKey));
    EXPECT_FALSE(reg.QueryDword(kLM, kDataKey, "LastTeam"));
    EXPECT_EQ(reg.SetDword(kLM, kDataKey, "LastTeam", 0xFFFFFFFFu), 0);
    EXPECT_TRUE(reg.KeyExists(kLM, kDataKey));
    EXPECT_EQ(reg.QueryDword(kLM, kDataKey, "LastTeam"), 0xFFFFFFFFu);
    // Key and value names are case-insensitive.
    EXPECT_EQ(reg.QueryDword(kLM, "software\\oskarn\\vantrel\\data", "lastteam"), 0xFFFFFFFFu);
    EXPECT_FALSE(reg.QueryString(kLM, kDataKey, "LastTeam"));
}

TEST_F(Win32RegistryTest, StringsRoundTrip) {
    const std::string text = "蓝色卷轴";
    EXPECT_EQ(reg.SetString(kLM, kSettingKey, "SkinPath", text), 0);
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(Raw(kSettingKey, "SkinPath", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    // Written without a NUL; Wine hands one back on query, Windows does not.
    std::wstring w = Widen(text);
    std::string expect(reinterpret_cast<const char*>(w.data()), w.size() * sizeof(wchar_t));
    EXPECT_EQ(bytes.substr(0, expect.size()), expect);
    EXPECT_TRUE(bytes.size() == expect.size() || bytes == expect + std::string(2, '\0'));
    EXPECT_EQ(reg.QueryString(kLM, kSettingKey, "SkinPath"), text);

    EXPECT_EQ(reg.SetString(kLM, kSettingKey, "SkinPath", ""), 0);
    EXPECT_EQ(reg.QueryString(kLM, kSettingKey, "SkinPath"), std::string());
}

TEST_F(Win32RegistryTest, StringsFromOtherWritersReadCorrectly) {
    struct Case {
        const char* name;
        std::wstring stored;  // as written, NUL included or not
        std::string expect;
    };
    const Case cases[] = {
        {"with NUL", std::wstring(L"abc") + L'\0', "abc"},
        {"inner NUL", std::wstring(L"ab\0cd", 5), "ab"},
        {"long", std::wstring(700, L'x'), std::string(700, 'x')},
        {"Chinese", L"\x76AE\x80A4", "皮肤"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RawSet(kDataKey, "rPath", REG_SZ, c.stored.data(), static_cast<DWORD>(c.stored.size() * sizeof(wchar_t)));
        EXPECT_EQ(reg.QueryString(kLM, kDataKey, "rPath"), c.expect);
    }
}

TEST_F(Win32RegistryTest, AnsiWriterAndUnicodeReaderAgree) {
    // An earlier build stored GBK bytes through the A functions.
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Widen(base_ + "\\" + kSettingKey).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    const char gbk[] = "\xC6\xA4\xB7\xF4";  // 皮肤
    ASSERT_EQ(RegSetValueExA(h, "SkinPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(gbk), 4), ERROR_SUCCESS);
    RegCloseKey(h);
    EXPECT_EQ(reg.QueryString(kLM, kSettingKey, "SkinPath"), "皮肤");
}

TEST_F(Win32RegistryTest, TypeMismatchReadsAsMissing) {
    reg.SetString(kLM, kSettingKey, "LaunchMode", "0");
    EXPECT_FALSE(reg.QueryDword(kLM, kSettingKey, "LaunchMode"));
    reg.SetDword(kLM, kSettingKey, "SkinPath", 3);
    EXPECT_FALSE(reg.QueryString(kLM, kSettingKey, "SkinPath"));
    reg.SetBinary(kLM, kSettingKey, "Bin", std::string("\x01\x02\x03", 3));
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(Raw(kSettingKey, "Bin", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(bytes, std::string("\x01\x02\x03", 3));
    EXPECT_FALSE(reg.QueryDword(kLM, kSettingKey, "Bin"));
}

TEST_F(Win32RegistryTest, DeleteValue) {
    EXPECT_EQ(reg.DeleteValue(kLM, kAutorunKey, kAutorunValue), 0);  // no key
    reg.SetString(kLM, kAutorunKey, kAutorunValue, "C:\\VT\\VT.exe");
    reg.SetString(kLM, kAutorunKey, "Other", "keep");
    EXPECT_EQ(reg.DeleteValue(kLM, kAutorunKey, kAutorunValue), 0);
    EXPECT_FALSE(reg.QueryString(kLM, kAutorunKey, kAutorunValue));
    EXPECT_EQ(reg.QueryString(kLM, kAutorunKey, "Other"), std::string("keep"));
    EXPECT_EQ(reg.DeleteValue(kLM, kAutorunKey, kAutorunValue), static_cast<long>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Win32RegistryTest, RedirectLeavesTheRealRootAlone) {
    reg.SetDword(kLM, kSettingKey, "StandOnTop", 1);
    Win32Registry plain;
    EXPECT_FALSE(plain.QueryDword(RegRoot::CurrentUser, kSettingKey, "StandOnTop"));
    EXPECT_EQ(plain.QueryDword(RegRoot::CurrentUser, base_ + "\\" + kSettingKey, "StandOnTop"), 1u);
    // Other roots are not redirected.
    reg.SetDword(RegRoot::CurrentUser, base_ + "\\Direct", "V", 9);
    EXPECT_EQ(plain.QueryDword(RegRoot::CurrentUser, base_ + "\\Direct", "V"), 9u);
}

TEST_F(Win32RegistryTest, SettingsFirstStartAgainstRealRegistry) {
    CreateMissingSettings(reg);
    for (const SettingDef& d : SettingTable()) {
        SCOPED_TRACE(d.name);
        if (d.type == SettingType::Dword)
            EXPECT_EQ(reg.QueryDword(kLM, d.key, d.name), static_cast<uint32_t>(d.dwordDefault));
        else
            EXPECT_EQ(reg.QueryString(kLM, d.key, d.name), std::string(d.stringDefault));
    }
    EXPECT_EQ(GetRegDword(reg, kLM, kDataKey, "LastTeam", 5), -1);
    EXPECT_EQ(SetAutorun(reg, "C:\\程序\\VT\\", true), 0);
    EXPECT_EQ(GetRegString(reg, kLM, kAutorunKey, kAutorunValue, ""), "C:\\程序\\VT\\VT.exe");
}

}  // namespace
}  // namespace vt
