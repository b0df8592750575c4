// The per-user overlay of the launcher's machine keys, against the real
// registry of the test prefix. Wine runs everyone as an administrator, so the
// refusal a normal user meets on HKEY_LOCAL_MACHINE is simulated; the machine
// and the user roots are both redirected into one throw-away key.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "launcher/settings/settings.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/win_text.h"

namespace vt {
namespace {

constexpr RegRoot kLM = RegRoot::LocalMachine;
constexpr RegRoot kCU = RegRoot::CurrentUser;

class RegistryOverlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = "Software\\VantrelTests\\" + std::to_string(GetCurrentProcessId()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RegDeleteTreeW(HKEY_CURRENT_USER, Widen(base_).c_str());
        Redirect(reg);
        Redirect(plain);
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, Widen(base_).c_str()); }

    void Redirect(Win32Registry& r) {
        r.RedirectRoot(kLM, kCU, base_ + "\\machine");
        r.RedirectRoot(kCU, kCU, base_ + "\\user");
    }

    std::string base_;
    Win32Registry reg;    // a user without administrator rights
    Win32Registry plain;  // the same registry seen with every write allowed
};

TEST_F(RegistryOverlayTest, RefusedMachineWritesLandPerUserAndReadBack) {
    reg.RefuseWrites(kLM);
    EXPECT_EQ(reg.SetDword(kLM, kSettingKey, "StandOnTop", 0), 0);
    EXPECT_EQ(reg.SetString(kLM, kDataKey, "SkinPath", "SKIN\\蓝色卷轴"), 0);
    EXPECT_EQ(reg.SetString(kLM, kAutorunKey, kAutorunValue, "C:\\VT\\VT.exe"), 0);
    EXPECT_EQ(reg.QueryDword(kLM, kSettingKey, "StandOnTop"), 0u);
    EXPECT_EQ(reg.QueryString(kLM, kDataKey, "SkinPath"), std::string("SKIN\\蓝色卷轴"));
    EXPECT_TRUE(reg.KeyExists(kLM, kSettingKey));
    // Nothing reached the machine key; all of it is the user's.
    Win32Registry raw;
    EXPECT_FALSE(raw.QueryDword(kCU, base_ + "\\machine\\" + kSettingKey, "StandOnTop"));
    EXPECT_EQ(raw.QueryDword(kCU, base_ + "\\user\\" + kSettingKey, "StandOnTop"), 0u);
    EXPECT_EQ(raw.QueryString(kCU, base_ + "\\user\\" + kAutorunKey, kAutorunValue), std::string("C:\\VT\\VT.exe"));

    // The whole settings start-up works for such a user.
    CreateMissingSettings(reg);
    for (const SettingDef& d : SettingTable()) {
        SCOPED_TRACE(d.name);
        if (d.type == SettingType::Dword)
            EXPECT_TRUE(reg.QueryDword(kLM, d.key, d.name).has_value());
        else
            EXPECT_TRUE(reg.QueryString(kLM, d.key, d.name).has_value());
    }
}

TEST_F(RegistryOverlayTest, PerUserValueOverridesTheMachineOneUntilTheMachineTakesAWrite) {
    plain.SetDword(kLM, kSettingKey, "WarnOnError", 1);  // set up by an administrator
    plain.SetDword(kLM, kSettingKey, "ShowInMouse", 1);
    reg.RefuseWrites(kLM);
    EXPECT_EQ(reg.QueryDword(kLM, kSettingKey, "WarnOnError"), 1u);  // machine value seen through
    EXPECT_EQ(reg.SetDword(kLM, kSettingKey, "WarnOnError", 0), 0);
    EXPECT_EQ(reg.QueryDword(kLM, kSettingKey, "WarnOnError"), 0u);
    EXPECT_EQ(reg.QueryDword(kLM, kSettingKey, "ShowInMouse"), 1u);  // untouched values still the machine's
    // The same value of another type in the overlay hides the machine's.
    EXPECT_EQ(reg.SetString(kLM, kSettingKey, "ShowInMouse", "x"), 0);
    EXPECT_FALSE(reg.QueryDword(kLM, kSettingKey, "ShowInMouse"));

    // Later run as an administrator: the write reaches the machine key and the
    // stale per-user copy no longer hides it.
    EXPECT_EQ(plain.SetDword(kLM, kSettingKey, "WarnOnError", 1), 0);
    EXPECT_EQ(reg.QueryDword(kLM, kSettingKey, "WarnOnError"), 1u);
    Win32Registry raw;
    EXPECT_FALSE(raw.QueryDword(kCU, base_ + "\\user\\" + kSettingKey, "WarnOnError"));
}

TEST_F(RegistryOverlayTest, DeletesRemoveTheUsersCopyAndReportAMachineCopyThatStays) {
    reg.RefuseWrites(kLM);
    EXPECT_EQ(SetAutorun(reg, "C:\\程序\\VT\\", true), 0);
    EXPECT_EQ(GetRegString(reg, kLM, kAutorunKey, kAutorunValue, ""), "C:\\程序\\VT\\VT.exe");
    EXPECT_EQ(SetAutorun(reg, "C:\\程序\\VT\\", false), 0);
    EXPECT_FALSE(reg.QueryString(kLM, kAutorunKey, kAutorunValue));
    EXPECT_EQ(reg.DeleteValue(kLM, kAutorunKey, kAutorunValue), 0);  // nothing left anywhere

    // An administrator's autorun entry cannot be removed by the user: say so
    // rather than report a success that the next start would contradict.
    plain.SetString(kLM, kAutorunKey, kAutorunValue, "C:\\VT\\VT.exe");
    EXPECT_EQ(reg.DeleteValue(kLM, kAutorunKey, kAutorunValue), static_cast<long>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(reg.QueryString(kLM, kAutorunKey, kAutorunValue), std::string("C:\\VT\\VT.exe"));
}

TEST_F(RegistryOverlayTest, OnlyTheLaunchersOwnKeysAreOverlaid) {
    struct Case {
        RegRoot root;
        const char* key;
        bool overlaid;
    };
    const Case cases[] = {
        {kLM, "SOFTWARE\\Oskarn\\Vantrel", true},
        {kLM, "software\\oskarn\\vantrel\\Setting", true},
        {kLM, "\\SOFTWARE\\Oskarn\\Vantrel\\Data\\", true},
        {kLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", true},
        {kLM, "SOFTWARE\\Oskarn\\VantrelOther", false},
        {kLM, "SOFTWARE\\Oskarn", false},
        {kLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce", false},
        {kCU, "SOFTWARE\\Oskarn\\Vantrel", false},
        {RegRoot::ClassesRoot, ".txt", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Win32Registry::HasUserOverlay(c.root, c.key), c.overlaid) << c.key;

    // Elsewhere a refusal is reported as it is and nothing is written for the user.
    reg.RefuseWrites(kLM);
    EXPECT_EQ(reg.SetDword(kLM, "SOFTWARE\\Other", "V", 1), static_cast<long>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(reg.KeyExists(kCU, "SOFTWARE\\Other"));
}

}  // namespace
}  // namespace vt
