#include <gtest/gtest.h>

#include <filesystem>

#include "common/ini.h"
#include "common/line_file.h"
#include "launcher/mainwindow/launch.h"
#include "launcher/store/password.h"
#include "platform/fake/fakes.h"
#include "tests/unit/temp_dir.h"

using namespace vt;

namespace {

struct StoredItem {
    int type = 0;
    int mode = 0;
    std::string path;
    std::string para;
    std::string verb;
    std::string password;
};

// Writes one item the way the item editor stores it.
void PutItem(const std::string& folder, int index, const StoredItem& it) {
    const std::string set = folder + "/ITEM.SET";
    const std::string sec = std::to_string(index);
    if (ReadIniInt(set, "ITEM", "Count", 0) <= index) WriteIniString(set, "ITEM", "Count", index + 1);
    WriteIniString(set, sec, "Name", "item");
    WriteIniString(set, sec, "Type", it.type);
    WriteIniString(set, sec, "Mode", it.mode);
    WriteIniString(set, sec, "Path", WriteDataLine(folder + "/PATH.SET", EncodePassword(it.path, it.password), 0));
    WriteIniString(set, sec, "Para", WriteDataLine(folder + "/PARA.SET", EncodePassword(it.para, it.password), 0));
    if (!it.verb.empty()) WriteIniString(set, sec, "StartMethod", it.verb);
    WriteIniString(set, sec, "Password", it.password.empty() ? "False" : "True");
}

class Launch : public ::testing::Test {
protected:
    void SetUp() override {
        folder = dir.File("TEAMFOLDER");
        std::filesystem::create_directories(PathFromUtf8(folder));
    }
    LaunchResult Run(int index, LaunchParameters p = LaunchParameters::Stored) {
        return LaunchItem(folder, index, options, LaunchServices{shell, registry, prompts}, p);
    }

    TempDir dir;
    std::string folder;
    LaunchOptions options;
    FakeShell shell;
    FakeRegistry registry;
    FakePrompts prompts;
};

}  // namespace

TEST(LaunchPlan, ShellItemsRunTheirPathWithVerbParametersAndShowMode) {
    struct Case {
        int type, mode;
        std::string verb, path, para;
        std::string program, params, dirExpected;
        ShowCmd show;
    };
    const Case cases[] = {
        {0, 0, "", "C:\\Tools\\app.exe", "-x", "C:\\Tools\\app.exe", "-x", "C:\\Tools", ShowCmd::Normal},
        {0, 1, "runas", "C:\\app.exe", "", "C:\\app.exe", "", "C:\\", ShowCmd::Maximized},
        {0, 2, "", "notepad.exe", "a.txt", "notepad.exe", "a.txt", "", ShowCmd::Minimized},
        {2, 3, "", "http://example.org/", "", "http://example.org/", "", "", ShowCmd::Hidden},
        {2, 0, "", "mailto:a@b.c", "", "mailto:a@b.c", "", "", ShowCmd::Normal},
        {3, 0, "explore", "D:\\照片", "", "D:\\照片", "", "", ShowCmd::Normal},
        {4, 0, "print", "D:\\doc.txt", "", "D:\\doc.txt", "", "", ShowCmd::Normal},
        // The DLL example: path and parameters glued together, no blank.
        {1, 0, "", "shell32.dll,", "Control_RunDLL", "rundll32.exe", "shell32.dll,Control_RunDLL", "", ShowCmd::Normal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        LaunchPlan plan = PlanLaunch(c.type, c.mode, c.verb, c.path, c.para);
        const auto* run = std::get_if<ExecuteStep>(&plan);
        ASSERT_NE(run, nullptr);
        EXPECT_EQ(run->verb, c.verb.empty() ? "open" : c.verb);
        EXPECT_EQ(run->program, c.program);
        EXPECT_EQ(run->parameters, c.params);
        EXPECT_EQ(run->directory, c.dirExpected);
        EXPECT_EQ(run->show, c.show);
    }
}

TEST(LaunchPlan, BadFieldsAreRefusedWithTheirOwnMessage) {
    struct Case {
        int type, mode;
        std::string path;
        const char* message;
    };
    const Case cases[] = {
        {0, 0, "", kMsgLaunchBadPath},
        {9, 9, "", kMsgLaunchBadPath},  // the path is checked first
        {6, 0, "a.exe", kMsgLaunchBadType},
        {-1, 0, "a.exe", kMsgLaunchBadType},  // a byte: -1 is 255
        {0, 4, "a.exe", kMsgLaunchBadMode},
        {0, -3, "a.exe", kMsgLaunchBadMode},
        {5, 0, "[NOSUCHKIND]", kMsgLaunchFailed},
    };
    for (const Case& c : cases) {
        LaunchPlan plan = PlanLaunch(c.type, c.mode, "", c.path, "");
        ASSERT_TRUE(std::holds_alternative<LaunchRefused>(plan)) << c.type << "/" << c.mode;
        EXPECT_STREQ(std::get<LaunchRefused>(plan).message, c.message);
    }
}

TEST(LaunchPlan, ControlPanelCodesRunTheirPage) {
    const char* pages[] = {
        "shell32.dll,Control_RunDLL inetcpl.cpl,,0",     "shell32.dll,Control_RunDLL access.cpl,,0",
        "shell32.dll,Control_RunDLL appwiz.cpl,,0",      "shell32.dll,Control_RunDLL main.cpl",
        "shell32.dll,Control_RunDLL access.cpl,,1",      "shell32.dll,Control_RunDLL desk.cpl,,0",
        "shell32.dll,Control_RunDLL timedate.cpl",       "diskcopy.dll,DiskCopyRunDll",
        "shell32.dll,SHHelpShortcuts_RunDLL AddPrinter", "shell32.dll,Control_RunDLL sysdm.cpl,,0",
    };
    for (int code = 0; code < 10; ++code) {
        LaunchPlan plan = PlanLaunch(5, 2, "", "[CONTROL]", std::to_string(code));
        const auto* run = std::get_if<ExecuteStep>(&plan);
        ASSERT_NE(run, nullptr) << code;
        EXPECT_EQ(run->program, "rundll32.exe");
        EXPECT_EQ(run->parameters, pages[code]);
        EXPECT_EQ(run->show, ShowCmd::Minimized);
    }
    // An unknown code would start rundll32 with garbage and call it a success.
    for (const char* bad : {"10", "", "x", "-1"})
        EXPECT_TRUE(std::holds_alternative<LaunchRefused>(PlanLaunch(5, 0, "", "[CONTROL]", bad))) << bad;
}

TEST(LaunchPlan, RegistryItemsDecodeTheirFields) {
    struct Case {
        std::string para;
        bool ok;
        RegRoot root;
        bool dword;
        uint32_t number;
        std::string text;
    };
    const Case cases[] = {
        {"1|Software\\Test|Flag|1|5", true, RegRoot::CurrentUser, true, 5, ""},
        {"0|.txt|Kind|0|文本", true, RegRoot::ClassesRoot, false, 0, "文本"},
        {"2|Software\\X|Bin|2|01 02", true, RegRoot::LocalMachine, false, 0, "01 02"},
        {"3|S|V|1|-1", true, RegRoot::Users, true, 0xFFFFFFFFu, ""},
        {"1|S|V|0|a|b", true, RegRoot::CurrentUser, false, 0, "a|b"},  // a bar inside the value survives
        {"4|S|V|1|5", false, {}, false, 0, ""},                        // no such root
        {"1|S|V|7|5", false, {}, false, 0, ""},                        // no such type
        {"1|S|V|1|five", false, {}, false, 0, ""},
        {"1|S|V|1|99999999999", false, {}, false, 0, ""},
        {"1|S|V|1", false, {}, false, 0, ""},  // a field short
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.para);
        LaunchPlan plan = PlanLaunch(5, 0, "", "[REGCTRL]", c.para);
        const auto* reg = std::get_if<RegistryStep>(&plan);
        ASSERT_EQ(reg != nullptr, c.ok);
        if (!reg) {
            EXPECT_STREQ(std::get<LaunchRefused>(plan).message, kMsgLaunchFailed);
            continue;
        }
        EXPECT_EQ(reg->root, c.root);
        EXPECT_EQ(reg->dword, c.dword);
        if (c.dword)
            EXPECT_EQ(reg->number, c.number);
        else
            EXPECT_EQ(reg->text, c.text);
    }
}

TEST_F(Launch, StartsAProgramAndReportsDoneOnlyWhenAsked) {
    PutItem(folder, 0, {0, 1, "C:\\Tools\\app.exe", "-v", "runas", ""});
    LaunchResult r = Run(0);
    EXPECT_EQ(r.outcome, LaunchOutcome::Started);
    EXPECT_FALSE(r.hideWindow);
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].verb, "runas");
    EXPECT_EQ(shell.calls[0].file, "C:\\Tools\\app.exe");
    EXPECT_EQ(shell.calls[0].params, "-v");
    EXPECT_EQ(shell.calls[0].show, ShowCmd::Maximized);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"启动项目完成"});

    options.warnAfterDone = false;
    prompts.messages.clear();
    EXPECT_EQ(Run(0).outcome, LaunchOutcome::Started);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(Launch, FailuresAreReportedOnlyWithWarnOnError) {
    PutItem(folder, 0, {0, 0, "C:\\missing.exe", "", "", ""});
    PutItem(folder, 1, {0, 0, "", "", "", ""});
    PutItem(folder, 2, {7, 0, "C:\\a.exe", "", "", ""});
    shell.result = false;
    options.minAfterLaunch = true;

    LaunchResult r = Run(0);
    EXPECT_EQ(r.outcome, LaunchOutcome::Failed);
    EXPECT_FALSE(r.hideWindow);  // the user has to see what went wrong
    Run(1);
    Run(2);
    Run(5);  // no such item: no path
    EXPECT_EQ(prompts.messages,
              (std::vector<std::string>{"项目启动出错,无法启动项目,请检查项目设置", "项目路径错误,无法启动项目",
                                        "项目类型错误,无法启动项目", "项目路径错误,无法启动项目"}));
    EXPECT_EQ(shell.calls.size(), 1u);

    options.warnOnError = false;
    prompts.messages.clear();
    EXPECT_EQ(Run(0).outcome, LaunchOutcome::Failed);
    EXPECT_EQ(Run(1).outcome, LaunchOutcome::Failed);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(Launch, SkippingParametersLastsOneLaunch) {
    PutItem(folder, 0, {0, 0, "C:\\app.exe", "--big", "", ""});
    Run(0, LaunchParameters::Skip);
    Run(0);
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[0].params, "");
    EXPECT_EQ(shell.calls[1].params, "--big");

    PutItem(folder, 1, {1, 0, "shell32.dll,", "Control_RunDLL", "", ""});
    Run(1, LaunchParameters::Skip);
    EXPECT_EQ(shell.calls.back().params, "shell32.dll,");
}

TEST_F(Launch, CancelledConfirmationReadsAndStartsNothing) {
    PutItem(folder, 0, {0, 0, "C:\\app.exe", "", "", "secret"});
    options.warnBeforeLaunch = true;
    prompts.confirmAnswers = {false, true};
    prompts.passwordAnswers = {"secret"};

    EXPECT_EQ(Run(0).outcome, LaunchOutcome::Cancelled);
    EXPECT_EQ(prompts.confirms, std::vector<std::string>{"是否要启动项目?"});
    EXPECT_TRUE(prompts.passwordPrompts.empty());
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_TRUE(prompts.messages.empty());

    EXPECT_EQ(Run(0).outcome, LaunchOutcome::Started);
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].file, "C:\\app.exe");
}

TEST_F(Launch, PasswordUnscramblesPathAndParameters) {
    PutItem(folder, 0, {0, 0, "C:\\秘密\\app.exe", "-p 1", "", "pw"});
    prompts.passwordAnswers = {"", "pw", "wrong"};
    EXPECT_EQ(Run(0).outcome, LaunchOutcome::Cancelled);  // Cancel in the password box
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_TRUE(prompts.messages.empty());
    prompts.passwordPrompts.clear();

    Run(0);
    EXPECT_EQ(prompts.passwordPrompts, std::vector<std::string>{"你想启动的项目带有密码,请输入启动密码!"});
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].file, "C:\\秘密\\app.exe");
    EXPECT_EQ(shell.calls[0].params, "-p 1");

    // A wrong key gives some other path, which the shell cannot start.
    shell.result = false;
    Run(0);
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_NE(shell.calls[1].file, "C:\\秘密\\app.exe");
    EXPECT_EQ(prompts.messages.back(), "项目启动出错,无法启动项目,请检查项目设置");
}

TEST_F(Launch, RegistryItemWritesItsValueSilently) {
    PutItem(folder, 0, {5, 0, "[REGCTRL]", "1|Software\\Test|Flag|1|5", "", ""});
    PutItem(folder, 1, {5, 0, "[regctrl]", "1|Software\\Test|Name|0|值", "", ""});
    options.minAfterLaunch = true;
    LaunchResult r = Run(0);
    EXPECT_EQ(r.outcome, LaunchOutcome::Started);
    EXPECT_TRUE(r.hideWindow);
    EXPECT_EQ(registry.QueryDword(RegRoot::CurrentUser, "Software\\Test", "Flag"), 5u);
    EXPECT_EQ(Run(1).outcome, LaunchOutcome::Started);
    EXPECT_EQ(registry.QueryString(RegRoot::CurrentUser, "Software\\Test", "Name"), "值");
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(shell.calls.empty());

    registry.failStatus = 5;
    EXPECT_EQ(Run(0).outcome, LaunchOutcome::Failed);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"项目启动出错,无法启动项目,请检查项目设置"});
}

TEST_F(Launch, RecycleAndControlItemsRecogniseLowerCaseTokens) {
    PutItem(folder, 0, {5, 0, "[recycle]", "", "", ""});
    PutItem(folder, 1, {5, 0, "[Control]", "9", "", ""});
    EXPECT_EQ(Run(0).outcome, LaunchOutcome::Started);
    EXPECT_EQ(shell.recycleCalls, 1);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(Run(1).outcome, LaunchOutcome::Started);
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].file, "rundll32.exe");
    EXPECT_EQ(shell.calls[0].params, "shell32.dll,Control_RunDLL sysdm.cpl,,0");
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"启动项目完成"});
}

TEST_F(Launch, NothingHappensWithoutAnItemOrDuringAnOrderSwap) {
    PutItem(folder, 0, {0, 0, "C:\\app.exe", "", "", ""});
    options.warnBeforeLaunch = true;
    EXPECT_EQ(Run(-1).outcome, LaunchOutcome::NotAttempted);
    options.reorderInProgress = true;
    EXPECT_EQ(Run(0).outcome, LaunchOutcome::NotAttempted);
    EXPECT_TRUE(prompts.confirms.empty());
    EXPECT_TRUE(shell.calls.empty());
}

TEST_F(Launch, MinAfterLaunchHidesAfterAStart) {
    PutItem(folder, 0, {3, 0, "D:\\", "", "", ""});
    options.minAfterLaunch = true;
    EXPECT_TRUE(Run(0).hideWindow);
    options.minAfterLaunch = false;
    EXPECT_FALSE(Run(0).hideWindow);
}
