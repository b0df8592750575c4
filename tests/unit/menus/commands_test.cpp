#include "launcher/menus/commands.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "common/ini.h"
#include "common/line_file.h"
#include "launcher/store/password.h"
#include "launcher/store/store.h"
#include "tests/unit/skin/skin_fixture.h"
#include "tests/unit/temp_dir.h"

using namespace vt;

namespace {

class RecordingHost : public CommandHost {
public:
    void ShowMain() override { calls.push_back("ShowMain"); }
    void HideMain() override { calls.push_back("HideMain"); }
    void Exit() override { calls.push_back("Exit"); }
    void Repaint() override {}
    void ShowItemEditorForAdd() override { calls.push_back("ItemAdd"); }
    void ShowItemEditorForEdit(const std::string& password) override { calls.push_back("ItemEdit:" + password); }
    void ShowTeamEditorForAdd() override { calls.push_back("TeamAdd"); }
    void ShowTeamEditorForEdit(const std::string& password) override { calls.push_back("TeamEdit:" + password); }
    void ShowSettingsDialog() override { calls.push_back("Settings"); }
    void ShowSkinChooser() override { calls.push_back("Skin"); }
    void ShowAboutBox() override { calls.push_back("About"); }
    void HideAfterLaunch() override { calls.push_back("HideAfterLaunch"); }
    std::vector<std::string> calls;
};

// A launcher folder with a skin, a model over it, and the fakes the commands talk to.
class CommandsTest : public ::testing::Test {
protected:
    CommandsTest() {
        settings.AppDir = dir.Dir();
        settings.WarnOnError = true;
        settings.WarnAfterDone = true;
        settings.WarnBeforeLaunch = false;
        settings.AutoRollOnTeam = false;
        settings.AutoRollOnItem = false;
        std::filesystem::create_directories(PathFromUtf8(DataDir(settings.AppDir)));
        std::string skin = dir.File("SKIN/test");
        test::WriteSkin(skin, test::SoundSkinValues(), pictures, 20);
        model = std::make_unique<MainModel>(MainModelServices{registry, prompts, measure, pictures, shell}, settings);
        model->actions.setCommandsEnabled = [this](bool team, bool item) {
            enabling.teamCommands = team;
            enabling.itemCommands = item;
        };
        model->ApplySkin(skin);
        ctx = std::make_unique<CommandContext>(CommandContext{*model, settings, registry, prompts, shell, host});
    }

    // A team with `count` items named 项目0.. whose paths are "C:\dir<i>\prog<i>.exe".
    std::string MakeTeam(int count, const std::string& teamPassword = "", const std::string& itemPassword = "") {
        StoreResult t = AddTeam(settings.AppDir, TeamInput{"工具", "", teamPassword});
        std::string folder = TeamFolderPath(settings.AppDir, t.name);
        for (int i = 0; i < count; ++i) {
            ItemInput item;
            item.Name = "项目" + std::to_string(i);
            item.Path = "C:\\dir" + std::to_string(i) + "\\prog" + std::to_string(i) + ".exe";
            item.IconText = "[FILE]";
            item.Password = itemPassword;
            EXPECT_TRUE(AddItem(settings.AppDir, folder, item).ok());
        }
        FlushIniCache();
        model->ShowTeams();
        return folder;
    }

    void Select(int team, int item) {
        model->TeamClick(team);
        if (item >= 0) model->ItemClick(item);
    }

    std::string Key(const std::string& file, const std::string& section, const std::string& key) {
        FlushIniCache();
        return ReadIniString(file, section, key, "<missing>");
    }

    void Run(unsigned id) { ASSERT_TRUE(RunCommand(id, *ctx)); }

    TempDir dir;
    FakeRegistry registry;
    FakePrompts prompts;
    FakeTextMeasure measure{90};
    FakePictures pictures;
    FakeShell shell;
    Settings settings;
    RecordingHost host;
    MenuEnabling enabling;
    std::unique_ptr<MainModel> model;
    std::unique_ptr<CommandContext> ctx;
};

// ---- Menus ---------------------------------------------------------------------

TEST(MenuModel, EveryIdIsUniqueAndEveryPopupHasItsEntries) {
    std::set<unsigned> ids;
    size_t entries = 0;
    for (int m = 0; m <= static_cast<int>(PopupMenu::NMIcon); ++m) {
        const auto& menu = MenuEntries(static_cast<PopupMenu>(m));
        ASSERT_FALSE(menu.empty());
        EXPECT_NE(menu.front().id, 0u) << "popup " << m << " starts with a separator";
        EXPECT_NE(menu.back().id, 0u) << "popup " << m << " ends with a separator";
        for (const MenuEntry& e : menu) {
            if (e.id == 0) continue;
            ++entries;
            EXPECT_TRUE(ids.insert(e.id).second) << e.caption;
            EXPECT_GE(e.id, kFirstMenuId);
            EXPECT_LE(e.id, kLastMenuId);
        }
    }
    EXPECT_EQ(entries, 41u);
    PopupMenu p;
    EXPECT_TRUE(PopupFromName("Menu1", p));
    EXPECT_EQ(p, PopupMenu::Manage);
    EXPECT_TRUE(PopupFromName("QuickItem2", p));
    EXPECT_EQ(p, PopupMenu::QuickItem2);
    EXPECT_FALSE(PopupFromName("Menu4", p));
    EXPECT_EQ(MenuEntries(PopupMenu::Info).back().caption, std::string("关于..."));
    EXPECT_EQ(MenuEntries(PopupMenu::Manage)[2].shortcut, std::string("Ctrl+F3"));
}

TEST(MenuModel, ShortcutsComeFromTheShownTexts) {
    struct Case {
        unsigned id;
        bool ctrl;
        unsigned key;
    };
    const Case cases[] = {
        {kMenuLaunch, true, 'L'},     {kMenuCopyPath, true, 'C'},   {kMenuExit, true, 'E'},
        {kMenuAddTeam, true, 0x70},   {kMenuChangePos, true, 0x76}, {kMenuSet, true, 'S'},
        {kMenuChangeSkin, true, 'K'}, {kMenuHelp, false, 0x70},     {kMenuAbout, false, 0x71},
    };
    std::vector<MenuShortcut> keys = MenuShortcuts();
    EXPECT_EQ(keys.size(), 17u);
    for (const Case& c : cases) {
        auto it = std::find_if(keys.begin(), keys.end(), [&](const MenuShortcut& k) { return k.id == c.id; });
        ASSERT_NE(it, keys.end()) << c.id;
        EXPECT_EQ(it->ctrl, c.ctrl) << c.id;
        EXPECT_EQ(it->virtualKey, c.key) << c.id;
    }
    // No two entries answer the same key.
    std::set<std::pair<bool, unsigned>> seen;
    for (const MenuShortcut& k : keys)
        EXPECT_TRUE(seen.insert({k.ctrl, k.virtualKey}).second) << k.id;
}

TEST_F(CommandsTest, MainMenuEntriesFollowTeamAndItemWhileRightClickMenusStayEnabled) {
    MakeTeam(2);
    model->ShowItems(-1);
    for (unsigned id : {kMenuEditTeam, kMenuDeleteTeam, kMenuAddItem, kMenuEditItem, kMenuDeleteItem, kMenuCopyPath,
                        kMenuLaunch, kMenuLaunchNoPara, kMenuItemDir})
        EXPECT_FALSE(enabling.IsEnabled(id)) << id;
    for (unsigned id : {kMenuAddTeam, kMenuRefurbish, kMenuExit, kQuickEditTeam, kQuickDeleteItem, kQuickLaunch,
                        kQuickAddItem2, kMenuChangePos})
        EXPECT_TRUE(enabling.IsEnabled(id)) << id;

    Select(0, -1);
    EXPECT_TRUE(enabling.IsEnabled(kMenuEditTeam));
    EXPECT_TRUE(enabling.IsEnabled(kMenuAddItem));
    EXPECT_FALSE(enabling.IsEnabled(kMenuDeleteItem));
    EXPECT_FALSE(enabling.IsEnabled(kMenuLaunch));

    model->ItemClick(1);
    for (unsigned id : {kMenuEditItem, kMenuDeleteItem, kMenuCopyPath, kMenuLaunch, kMenuLaunchNoPara, kMenuItemDir})
        EXPECT_TRUE(enabling.IsEnabled(id)) << id;

    MenuEnabling tray;
    tray.showMain = false;
    tray.hideMain = true;
    EXPECT_FALSE(tray.IsEnabled(kNMShowMain));
    EXPECT_TRUE(tray.IsEnabled(kNMHideMain));
    EXPECT_TRUE(tray.IsEnabled(kNMExit));
}

// ---- Deleting --------------------------------------------------------------------

TEST_F(CommandsTest, DeletingTheMiddleOfFiveItemsShiftsTheLaterOnesDown) {
    std::string folder = MakeTeam(5);
    Select(0, 2);
    Run(kMenuDeleteItem);

    ASSERT_EQ(prompts.confirms.size(), 1u);
    EXPECT_EQ(prompts.confirms[0], kConfirmDeleteItem);
    std::string set = ItemSetFile(folder);
    EXPECT_EQ(Key(set, "ITEM", "Count"), "4");
    const char* names[] = {"项目0", "项目1", "项目3", "项目4"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Key(set, std::to_string(i), "Name"), names[i]) << i;
    EXPECT_EQ(Key(set, "4", "Name"), "项目4");  // the old last section stays behind Count
    // The shifted item still finds its own path line.
    EXPECT_EQ(ReadItemTexts(folder, ReadItemRecord(folder, 2), "").Path, "C:\\dir3\\prog3.exe");
    EXPECT_EQ(model->CurrentItem, -1);
    EXPECT_EQ(model->ItemCount(), 4);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgItemDeleted});
    EXPECT_TRUE(prompts.passwordPrompts.empty());
}

TEST_F(CommandsTest, CancelledDeletesChangeNothing) {
    std::string folder = MakeTeam(3);
    Select(0, 1);
    prompts.confirmAnswers = {false, false};
    Run(kQuickDeleteItem);
    Run(kQuickDeleteTeam);
    EXPECT_EQ(prompts.confirms, (std::vector<std::string>{kConfirmDeleteItem, kConfirmDeleteTeam}));
    EXPECT_EQ(Key(ItemSetFile(folder), "ITEM", "Count"), "3");
    EXPECT_EQ(Key(TeamSetFile(settings.AppDir), "TEAM", "Count"), "1");
    EXPECT_EQ(model->CurrentItem, 1);
    EXPECT_EQ(model->CurrentTeam, 0);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(CommandsTest, ProtectedItemIsDeletedWhateverThePasswordAnswer) {
    for (const char* answer : {"wrong", ""}) {  // "" is also what Cancel gives
        std::string folder = MakeTeam(2, "", "secret");
        Select(model->TeamCount() - 1, 0);
        prompts.passwordAnswers = {answer};
        prompts.passwordPrompts.clear();
        Run(kMenuDeleteItem);
        EXPECT_EQ(prompts.passwordPrompts, std::vector<std::string>{kPromptDeleteItem}) << answer;
        EXPECT_EQ(Key(ItemSetFile(folder), "ITEM", "Count"), "1") << answer;
        EXPECT_EQ(Key(ItemSetFile(folder), "0", "Name"), "项目1") << answer;
    }
}

TEST_F(CommandsTest, DeletingATeamRemovesItsFolderAndLeavesNoTeamCurrent) {
    std::string first = MakeTeam(1);
    std::string second = MakeTeam(1);
    model->ShowTeams();
    Select(0, 0);
    Run(kMenuDeleteTeam);
    EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(first)));
    EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(second)));
    EXPECT_EQ(Key(TeamSetFile(settings.AppDir), "TEAM", "Count"), "1");
    EXPECT_EQ(model->CurrentTeam, -1);
    EXPECT_EQ(model->CurrentItem, -1);
    EXPECT_TRUE(model->TeamFolder.empty());
    EXPECT_FALSE(enabling.IsEnabled(kMenuEditTeam));
    EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgTeamDeleted});

    // With a wrong password the folder stays, the record goes all the same.
    std::string locked = MakeTeam(1, "pw");
    model->ShowTeams();
    Select(1, -1);
    prompts.passwordAnswers = {"nope", "nope"};  // one for opening the team, one for deleting
    Run(kMenuDeleteTeam);
    EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(locked)));
    EXPECT_EQ(Key(TeamSetFile(settings.AppDir), "TEAM", "Count"), "1");
}

TEST_F(CommandsTest, DeletingATeamWhoseFolderIsNotItsOwnKeepsTheFiles) {
    std::string owner = MakeTeam(2);
    MakeTeam(1);
    // Hand-made damage: the second team names the first one's folder.
    ASSERT_TRUE(WriteIniString(TeamSetFile(settings.AppDir), "1", "Path", ReadTeamRecord(settings.AppDir, 0).Path));
    FlushIniCache();
    model->ShowTeams();
    Select(1, -1);
    Run(kMenuDeleteTeam);
    EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(ItemSetFile(owner))));
    EXPECT_EQ(Key(TeamSetFile(settings.AppDir), "TEAM", "Count"), "1");
    EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgTeamsDamaged});
    model->TeamClick(0);
    EXPECT_EQ(model->GetScene().Count(Part::PicIcon), 2) << "the first team still shows its items";

    // The same with the shared pictures' folder; the message waits for WarnOnError.
    MakeTeam(0);
    ASSERT_TRUE(WriteIniString(TeamSetFile(settings.AppDir), "1", "Path", "ICON"));
    std::filesystem::create_directories(PathFromUtf8(SharedIconDir(settings.AppDir)));
    ASSERT_TRUE(WriteDataLine(SharedIconDir(settings.AppDir) + "txt.img", "picture", 0) > 0);
    FlushIniCache();
    model->ShowTeams();
    Select(1, -1);
    settings.WarnOnError = false;
    prompts.messages.clear();
    Run(kMenuDeleteTeam);
    EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(SharedIconDir(settings.AppDir) + "txt.img")));
    EXPECT_EQ(Key(TeamSetFile(settings.AppDir), "TEAM", "Count"), "1");
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(CommandsTest, DeleteCommandsWithNothingSelectedAskNothing) {
    MakeTeam(2);
    Run(kMenuDeleteItem);
    Run(kMenuDeleteTeam);
    Select(0, -1);
    Run(kQuickDeleteItem);
    EXPECT_TRUE(prompts.confirms.empty());
}

// ---- Item folder and path ------------------------------------------------------

TEST(CommandPaths, FolderIsCutAfterTheLastBackslash) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Program Files\\App\\app.exe", "C:\\Program Files\\App\\"},
        {"C:\\app.exe", "C:\\"},
        {"D:\\folder\\", "D:\\folder\\"},
        {"https://vantrel.example/page", "https://vantrel.example/page"},
        {"mailto:someone@vantrel.example", "mailto:someone@vantrel.example"},
        {"", ""},
    };
    for (const auto& [path, folder] : cases)
        EXPECT_EQ(FolderOfPath(path), folder) << path;
}

TEST_F(CommandsTest, OpenFolderHandsTheCutPathToTheShell) {
    MakeTeam(2, "", "key");
    Select(0, 1);  // selecting asks nothing: the password is asked by the command
    prompts.passwordAnswers = {"key"};
    Run(kMenuItemDir);
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].verb, "open");
    EXPECT_EQ(shell.calls[0].file, "C:\\dir1\\");
    EXPECT_EQ(prompts.passwordPrompts, std::vector<std::string>{kPromptItemDir});
    EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgItemDirOpened});

    shell.result = false;
    prompts.messages.clear();
    prompts.passwordAnswers = {"key"};
    Run(kQuickItemDir);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgItemDirFailed});
}

TEST_F(CommandsTest, OpenFolderAsksFirstWhenLaunchesAreConfirmed) {
    MakeTeam(1);
    Select(0, 0);
    settings.WarnBeforeLaunch = true;
    prompts.confirmAnswers = {false};
    Run(kMenuItemDir);
    EXPECT_EQ(prompts.confirms, std::vector<std::string>{kConfirmItemDir});
    EXPECT_TRUE(shell.calls.empty());
}

TEST_F(CommandsTest, CopyPathPutsTheDecodedPathOnTheClipboard) {
    MakeTeam(1, "", "key");
    Select(0, 0);
    prompts.passwordAnswers = {"key"};
    Run(kMenuCopyPath);
    EXPECT_EQ(shell.clipboard, "C:\\dir0\\prog0.exe");
    EXPECT_EQ(prompts.passwordPrompts, std::vector<std::string>{kPromptCopyPath});
    EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgPathCopied});
}

TEST_F(CommandsTest, WithoutATeamFolderFolderAndCopyReportDamage) {
    MakeTeam(1);
    Select(0, 0);
    model->TeamFolder.clear();
    Run(kMenuItemDir);
    Run(kMenuCopyPath);
    EXPECT_EQ(prompts.messages, (std::vector<std::string>{kMsgItemDirDamaged, kMsgCopyPathDamaged}));
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_TRUE(shell.clipboard.empty());
}

TEST_F(CommandsTest, WarningSwitchesSilenceOutcomes) {
    std::string folder = MakeTeam(3);
    Select(0, 0);
    settings.WarnAfterDone = false;
    Run(kMenuCopyPath);
    Run(kMenuItemDir);
    Run(kMenuDeleteItem);
    EXPECT_EQ(shell.clipboard, "C:\\dir0\\prog0.exe");
    EXPECT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(Key(ItemSetFile(folder), "ITEM", "Count"), "2");
    EXPECT_TRUE(prompts.messages.empty());

    settings.WarnOnError = false;
    Select(0, 0);
    shell.result = false;
    Run(kMenuItemDir);
    model->TeamFolder.clear();
    Run(kMenuCopyPath);
    EXPECT_TRUE(prompts.messages.empty());
}

// ---- The rest ------------------------------------------------------------------

TEST_F(CommandsTest, OrderSwapStartsWithAPromptAndFreezesTheItemPanel) {
    MakeTeam(2);
    Select(0, -1);
    settings.WarnAfterDone = false;  // the prompt is shown whatever the switches say
    settings.WarnOnError = false;
    Run(kMenuChangePos);
    EXPECT_EQ(model->ReorderState, 1);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgChooseReorder});
}

TEST_F(CommandsTest, CommandsReachTheHostAndTheShell) {
    MakeTeam(1, "tp", "ip");
    prompts.passwordAnswers = {"tp"};
    Select(0, 0);
    struct Case {
        unsigned id;
        std::vector<std::string> answers;
        std::string call;
    };
    const Case cases[] = {
        {kNMShowMain, {}, "ShowMain"},
        {kNMHideMain, {}, "HideMain"},
        {kMenuExit, {}, "Exit"},
        {kNMExit, {}, "Exit"},
        {kMenuSet, {}, "Settings"},
        {kNMSet, {}, "Settings"},
        {kMenuChangeSkin, {}, "Skin"},
        {kMenuAbout, {}, "About"},
        {kNMAbout, {}, "About"},
        {kQuickAddTeam2, {}, "TeamAdd"},
        {kQuickAddItem2, {}, "ItemAdd"},
        {kMenuEditTeam, {"typed"}, "TeamEdit:typed"},
        {kQuickEditItem, {"ip"}, "ItemEdit:ip"},
    };
    for (const Case& c : cases) {
        host.calls.clear();
        prompts.passwordAnswers = {c.answers.begin(), c.answers.end()};
        Run(c.id);
        EXPECT_EQ(host.calls, std::vector<std::string>{c.call}) << c.id;
    }
    EXPECT_FALSE(RunCommand(12345, *ctx));

    shell.calls.clear();
    for (unsigned id : {kMenuHelp, kMenuSkinEditor, kMenuConnect, kMenuWeb})
        Run(id);
    ASSERT_EQ(shell.calls.size(), 4u);
    EXPECT_EQ(shell.calls[0].file, settings.AppDir + "help.chm");
    EXPECT_EQ(shell.calls[1].file, settings.AppDir + "VTSkinEditor.exe");
    EXPECT_EQ(shell.calls[2].file, "mailto:support@vantrel.example");
    EXPECT_EQ(shell.calls[3].file, "https://vantrel.example/");
    for (const auto& c : shell.calls)
        EXPECT_EQ(c.verb, "open");
}

TEST_F(CommandsTest, LaunchWithoutParametersStartsThePathAlone) {
    std::string folder = MakeTeam(0);
    ItemInput item;
    item.Name = "带参数";
    item.Path = "C:\\tools\\run.exe";
    item.Para = "--fast";
    item.IconText = "[FILE]";
    ASSERT_TRUE(AddItem(settings.AppDir, folder, item).ok());
    model->ShowTeams();
    Select(0, 0);
    Run(kMenuLaunch);
    Run(kQuickNotPara);
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[0].params, "--fast");
    EXPECT_EQ(shell.calls[1].file, "C:\\tools\\run.exe");
    EXPECT_EQ(shell.calls[1].params, "");
}

TEST_F(CommandsTest, RefreshPicksUpTeamsAddedOnDisk) {
    auto addOnDisk = [this] { ASSERT_TRUE(AddTeam(settings.AppDir, TeamInput{"新类别", "", ""}).ok()); };
    MakeTeam(1);
    EXPECT_EQ(model->TeamCount(), 1);
    addOnDisk();
    Run(kQuickReItem);
    EXPECT_EQ(model->TeamCount(), 1);
    Run(kQuickReTeam2);
    EXPECT_EQ(model->TeamCount(), 2);
    addOnDisk();
    Run(kMenuRefurbish);
    EXPECT_EQ(model->TeamCount(), 3);
}

}  // namespace
