#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "common/ini.h"
#include "launcher/mainwindow/item_panel.h"
#include "launcher/mainwindow/main_model.h"
#include "launcher/mainwindow/team_bar.h"
#include "launcher/store/password.h"
#include "launcher/store/store.h"
#include "tests/unit/skin/skin_fixture.h"
#include "tests/unit/temp_dir.h"

using namespace vt;

namespace {

// Defaults spelled out so {"name"} leaves the rest empty without a
// missing-initializer warning.
struct TeamSpec {
    std::string name;
    std::string note = {};
    std::string password = {};
};

struct ItemSpec {
    std::string name;  // empty: no "Name" key
    std::string icon = "[LINK]";
    std::string note = {};
};

// A launcher folder with a skin and data written straight to disk (the
// profile writer syncs every key, too slow for hundreds of records).
class MainModelTest : public ::testing::Test {
protected:
    MainModelTest() {
        settings.AppDir = dir.Dir();
        settings.LaunchMode = 0;
        settings.ShowItemType = 0;
        settings.WarnOnError = true;
        settings.WarnAfterDone = true;
        settings.AutoRollOnTeam = false;
        settings.AutoRollOnItem = false;
        std::filesystem::create_directories(PathFromUtf8(DataDir(settings.AppDir)));
        skinFolder = dir.File("SKIN/test");
        test::WriteSkin(skinFolder, test::SoundSkinValues(), pictures, 20);
        model = std::make_unique<MainModel>(MainModelServices{registry, prompts, measure, pictures, shell}, settings);
        model->actions.launchItem = [this](const std::string& folder, int index) {
            events.push_back("launch " + std::to_string(index));
            launchFolders.push_back(folder);
        };
        model->actions.popupMenu = [this](const std::string& menu, std::optional<std::pair<int, int>>) {
            events.push_back("menu " + menu);
        };
        model->actions.repaintNow = [this] { events.push_back("repaint"); };
        model->actions.setCommandsEnabled = [this](bool team, bool item) {
            teamCommands = team;
            itemCommands = item;
        };
    }

    // Writes TEAM.SET and one folder per team; returns the folders.
    std::vector<std::string> WriteTeams(const std::vector<TeamSpec>& teams) {
        std::string text = "[TEAM]\r\nCount=" + std::to_string(teams.size()) + "\r\n";
        std::vector<std::string> folders;
        for (size_t i = 0; i < teams.size(); ++i) {
            std::string name = "TEAMFOLD" + std::to_string(10 + i);
            std::filesystem::create_directories(PathFromUtf8(TeamFolderPath(settings.AppDir, name)));
            folders.push_back(TeamFolderPath(settings.AppDir, name));
            text += "[" + std::to_string(i) + "]\r\nName=" + teams[i].name + "\r\nNote=" + teams[i].note +
                    "\r\nPath=" + EncodePassword(name, teams[i].password) +
                    "\r\nPassword=" + (teams[i].password.empty() ? "False" : "True") + "\r\n";
        }
        Write(TeamSetFile(settings.AppDir), text);
        return folders;
    }

    void WriteItems(const std::string& folder, const std::vector<ItemSpec>& items) {
        std::string text = "[ITEM]\r\nCount=" + std::to_string(items.size()) + "\r\n";
        for (size_t i = 0; i < items.size(); ++i) {
            text += "[" + std::to_string(i) + "]\r\n";
            if (!items[i].name.empty()) text += "Name=" + items[i].name + "\r\n";
            text +=
                "Type=2\r\nMode=0\r\nNote=" + items[i].note + "\r\nIcon=" + items[i].icon + "\r\nPassword=False\r\n";
        }
        Write(ItemSetFile(folder), text);
    }

    static void Write(const std::string& file, const std::string& text) {
        std::ofstream(PathFromUtf8(file), std::ios::binary) << Utf8ToAnsi(text);
        FlushIniCache();
    }

    std::vector<ItemSpec> Items(int n) {
        std::vector<ItemSpec> v;
        for (int i = 0; i < n; ++i)
            v.push_back({"项目" + std::to_string(i)});
        return v;
    }

    void Start() { model->ApplySkin(skinFolder); }
    const Element& Team(int i) { return model->GetScene().At(Part::LabTeam, i); }
    const Element& Caption(int i) { return model->GetScene().At(Part::LabItem, i); }
    const Element& Icon(int i) { return model->GetScene().At(Part::PicIcon, i); }
    std::string Title() { return model->GetScene().At(Part::LabTitle).text; }
    void Click(Part p, int i) { model->OnClick(ElementId{p, i}); }

    TempDir dir;
    FakeRegistry registry;
    FakePrompts prompts;
    FakeTextMeasure measure{90};
    FakePictures pictures;
    FakeShell shell;
    Settings settings;
    std::string skinFolder;
    std::unique_ptr<MainModel> model;
    std::vector<std::string> events;
    std::vector<std::string> launchFolders;
    bool teamCommands = false;
    bool itemCommands = false;
};

// ---- Team bar ------------------------------------------------------------------

TEST_F(MainModelTest, TeamCaptionsStandAtTheirPitchCentredUnlessTooLong) {
    WriteTeams({{"工具"}, {"游戏"}, {"文档"}, {"一个非常非常长的类别名称", "长名字的说明"}, {"网络"}});
    Start();
    ASSERT_EQ(model->TeamCount(), 5);
    const Element& c3 = Team(3);
    EXPECT_EQ(c3.left, 3080);
    EXPECT_EQ(c3.width, 1000);
    EXPECT_EQ(c3.top, (420 - TextHeightTwips(9)) / 2);
    EXPECT_EQ(c3.align, Align::Left);  // 24 bytes x 90 > 1000
    EXPECT_EQ(c3.tooltip, "长名字的说明");
    EXPECT_EQ(Team(2).align, Align::Center);
    EXPECT_TRUE(Team(4).visible);
    EXPECT_EQ(Team(0).backColor, 11u);
    EXPECT_EQ(Team(0).foreColor, 12u);
    EXPECT_EQ(model->GetScene().At(Part::PicTeamIn).width, 5 * 1020 + 20);

    // Fewer teams than fit: the strip is as wide as the bar.
    WriteTeams({{"一"}});
    model->ShowTeams();
    EXPECT_EQ(model->GetScene().Count(Part::LabTeam), 1);
    EXPECT_EQ(model->GetScene().At(Part::PicTeamIn).width, 4200);
}

TEST_F(MainModelTest, NoTeamsHidesCaptionZeroAndKeepsTheTitle) {
    Start();
    EXPECT_EQ(model->TeamCount(), 0);
    EXPECT_FALSE(Team(0).visible);
    EXPECT_EQ(Title(), "Vantrel");
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_FALSE(teamCommands);
}

TEST_F(MainModelTest, OutOfRangeCurrentTeamIsReset) {
    WriteTeams({{"一"}, {"二"}});
    model->CurrentTeam = 3;
    Start();
    EXPECT_EQ(model->CurrentTeam, -1);
    EXPECT_EQ(Title(), "Vantrel");
}

TEST_F(MainModelTest, HoverPaintsOneCaptionAtATimeAndSparesTheCurrentTeam) {
    WriteTeams({{"一"}, {"二"}, {"三"}});
    model->CurrentTeam = 0;
    Start();
    model->OnMouseMove({Part::LabTeam, 1}, 0, 0, {});
    EXPECT_EQ(Team(1).backColor, 21u);
    EXPECT_EQ(Team(1).foreColor, 22u);
    model->OnMouseMove({Part::LabTeam, 2}, 0, 0, {});
    EXPECT_EQ(Team(1).backColor, 11u);
    EXPECT_EQ(Team(2).backColor, 21u);
    model->OnMouseMove({Part::LabTeam, 0}, 0, 0, {});
    EXPECT_EQ(Team(0).backColor, 31u);  // the current team keeps its colours
    EXPECT_EQ(Team(2).backColor, 11u);
    model->OnMouseMove({Part::LabTeam, 2}, 0, 0, {});
    model->OnMouseMove({Part::ImgForm, 0}, 0, 0, {});  // empty part of the window
    EXPECT_EQ(Team(2).backColor, 11u);
    EXPECT_EQ(Team(0).backColor, 31u);
}

TEST_F(MainModelTest, TeamClickOpensTheTeamAndClearsTheSelection) {
    auto folders = WriteTeams({{"工具"}, {"游戏"}});
    WriteItems(folders[0], Items(3));
    WriteItems(folders[1], Items(1));
    Start();
    Click(Part::LabTeam, 0);
    Click(Part::PicIcon, 2);
    ASSERT_EQ(model->CurrentItem, 2);
    Click(Part::LabTeam, 1);
    EXPECT_EQ(model->CurrentTeam, 1);
    EXPECT_EQ(model->CurrentItem, -1);
    EXPECT_EQ(model->TeamFolder, folders[1]);
    EXPECT_EQ(model->ItemCount(), 1);
    EXPECT_EQ(Title(), "Vantrel - 游戏");
    EXPECT_EQ(Team(1).backColor, 31u);
    EXPECT_EQ(Team(1).foreColor, 32u);
    EXPECT_EQ(Team(0).backColor, 11u);
    EXPECT_TRUE(teamCommands);
    EXPECT_FALSE(itemCommands);
}

TEST_F(MainModelTest, RightClickOnCaptionOpensTheTeamBeforeItsMenu) {
    auto folders = WriteTeams({{"工具"}, {"游戏"}});
    WriteItems(folders[1], Items(2));
    Start();
    model->OnMouseDown({Part::LabTeam, 1}, MouseButton::Right, 0, 0);
    EXPECT_EQ(model->CurrentTeam, 1);
    EXPECT_EQ(model->ItemCount(), 2);
    // The new selection is on screen before the menu opens over it.
    EXPECT_EQ(events, (std::vector<std::string>{"repaint", "menu QuickTeam"}));
}

TEST_F(MainModelTest, ProtectedTeamAsksWithTheExactPromptAndAWrongPasswordShowsNothing) {
    auto folders = WriteTeams({{"私人", "", "secret"}});
    WriteItems(folders[0], Items(2));
    Start();

    prompts.passwordAnswers = {"wrong"};
    Click(Part::LabTeam, 0);
    ASSERT_EQ(prompts.passwordPrompts.size(), 1u);
    EXPECT_EQ(prompts.passwordPrompts[0], "你想打开的类别带有密码,请输入启动密码!");
    EXPECT_EQ(model->ItemCount(), 0);
    EXPECT_FALSE(Icon(0).visible);
    EXPECT_FALSE(Caption(0).visible);
    EXPECT_TRUE(prompts.messages.empty());

    prompts.passwordAnswers = {"secret"};
    Click(Part::LabTeam, 0);
    EXPECT_EQ(model->TeamFolder, folders[0]);
    EXPECT_EQ(model->ItemCount(), 2);
}

// ---- Item panel ----------------------------------------------------------------

TEST_F(MainModelTest, ItemIconsNameTheFileTheirPictureWasDrawnFromForLargerScreens) {
    auto folders = WriteTeams({{"工具"}});
    const std::string& f = folders[0];
    // Lines of ICON.SET: a program, an icon file, a bitmap, and one for a protected item.
    Write(IconSetFile(f), "C:\\Tools\\App.EXE\r\nD:\\pics\\star.ico\r\nD:\\pics\\photo.bmp\r\nC:\\x.exe\r\n");
    std::string text = "[ITEM]\r\nCount=5\r\n";
    const char* items[][4] = {{"\\ITEM0.img", "1", "3", "False"},
                              {"\\ITEM1.img", "2", "0", "False"},
                              {"\\ITEM2.img", "3", "0", "False"},
                              {"\\ITEM3.img", "4", "0", "True"},
                              {"[LINK]", "1", "3", "False"}};
    for (int i = 0; i < 5; ++i) {
        text += "[" + std::to_string(i) + "]\r\nName=n\r\nType=0\r\nIcon=" + items[i][0] +
                "\r\nIconPath=" + items[i][1] + "\r\nIconIndex=" + items[i][2] + "\r\nPassword=" + items[i][3] + "\r\n";
        std::ofstream(PathFromUtf8(f + "/ITEM" + std::to_string(i) + ".img"), std::ios::binary) << "bmp";
    }
    Write(ItemSetFile(f), text);
    model->CurrentTeam = 0;
    Start();
    ASSERT_EQ(model->ItemCount(), 5);
    EXPECT_EQ(Icon(0).iconFile, "C:\\Tools\\App.EXE");
    EXPECT_EQ(Icon(0).iconIndex, 3);
    EXPECT_EQ(Icon(1).iconFile, "D:\\pics\\star.ico");
    EXPECT_EQ(Icon(1).iconIndex, 0);
    // A bitmap has one size only; a protected item's line cannot be read
    // without its password; a stock picture is the skin's.
    EXPECT_EQ(Icon(2).iconFile, "");
    EXPECT_EQ(Icon(3).iconFile, "");
    EXPECT_EQ(Icon(4).iconFile, "");
    EXPECT_EQ(Icon(4).picture, SkinPicturePath(skinFolder, "link.img"));
    // Showing the team again with the icon changed to a stock one forgets the file.
    Write(ItemSetFile(f), "[ITEM]\r\nCount=1\r\n[0]\r\nName=n\r\nIcon=[FILE]\r\nIconPath=1\r\nPassword=False\r\n");
    model->ShowItems(0);
    EXPECT_EQ(Icon(0).iconFile, "");
}

TEST_F(MainModelTest, IconsWithCaptionsFillRowsOfTheSkinsColumns) {
    auto folders = WriteTeams({{"工具"}});
    auto items = Items(6);
    items[1].name = "";                      // no Name key
    items[5].name = "一个很长的项目名称啊";  // 20 bytes x 90 > 900
    WriteItems(folders[0], items);
    model->CurrentTeam = 0;
    Start();
    const int h = TextHeightTwips(9);
    // Item 5: second row, second column of four.
    EXPECT_EQ(Caption(5).left, 100 + 1025);
    EXPECT_EQ(Caption(5).top, 650 + 1000);
    EXPECT_EQ(Caption(5).width, 900);
    EXPECT_EQ(Caption(5).align, Align::Left);
    EXPECT_EQ(Caption(4).align, Align::Center);
    EXPECT_EQ(Caption(1).text, "未命名项目");
    // Link icons are the skin's 32-pixel link picture, centred in the cell.
    EXPECT_EQ(Icon(5).width, 480);
    EXPECT_EQ(Icon(5).left, 1125 + (900 - 480) / 2);
    EXPECT_EQ(Icon(5).top, 1650 - 580);
    EXPECT_EQ(Icon(5).picture, SkinPicturePath(skinFolder, "link.img"));
    EXPECT_FALSE(Icon(5).border);
    EXPECT_EQ(Caption(0).backColor, 41u);
    EXPECT_EQ(Caption(0).foreColor, 42u);
    // Sheet: last row top + caption + 200, but never lower than the viewport.
    EXPECT_EQ(model->GetScene().At(Part::PicItemIn).height, std::max(1650 + h + 200, 4800));
}

TEST_F(MainModelTest, IconsOnlyAndTextListLayouts) {
    auto folders = WriteTeams({{"工具"}});
    auto items = Items(6);
    items[5].note = "说明";
    WriteItems(folders[0], items);
    model->CurrentTeam = 0;

    settings.ShowItemType = 1;
    Start();
    EXPECT_EQ(Icon(5).top, 660 + 720 - 520);
    EXPECT_EQ(Icon(5).left, 1125 + (900 - 480) / 2);
    EXPECT_EQ(Icon(5).tooltip, "[项目5]说明");
    EXPECT_FALSE(Caption(5).visible);
    EXPECT_TRUE(Icon(5).visible);

    settings.ShowItemType = 2;
    model->ShowItems(0);
    const int h = TextHeightTwips(9);
    EXPECT_FALSE(Icon(0).visible);
    EXPECT_EQ(Caption(0).left, 120);
    EXPECT_EQ(Caption(0).top, 120);
    EXPECT_EQ(Caption(5).top, 120 + 5 * (h + 60));
    EXPECT_EQ(Caption(5).width, 4300 - 200);
    EXPECT_EQ(Caption(5).align, Align::Left);
    EXPECT_EQ(Caption(5).tooltip, "说明");
    EXPECT_TRUE(Caption(5).visible);
}

TEST_F(MainModelTest, IconPicturesComeFromTheTeamFolderThenTheSharedFolder) {
    auto folders = WriteTeams({{"工具"}});
    std::filesystem::create_directories(PathFromUtf8(SharedIconDir(settings.AppDir)));
    std::string own = folders[0] + "/OWN.img";
    std::string shared = SharedIconDir(settings.AppDir) + "txt.img";
    Write(own, "x");
    Write(shared, "x");
    pictures.sizes[own] = {24, 24};
    WriteItems(folders[0], {{"a", "\\OWN.img"},
                            {"b", "\\txt.img"},
                            {"c", "\\gone.img"},
                            {"d", "[DIRECTORY]"},
                            {"e", "[EXITEM]"},
                            {"f", "[FILE]"},
                            {"g", ""}});
    model->CurrentTeam = 0;
    Start();
    EXPECT_EQ(Icon(0).picture, own);
    EXPECT_EQ(Icon(0).width, 360);
    EXPECT_EQ(Icon(1).picture, shared);
    EXPECT_EQ(Icon(2).picture, SkinPicturePath(skinFolder, "file.img"));
    EXPECT_EQ(Icon(3).picture, SkinPicturePath(skinFolder, "dir.img"));
    EXPECT_EQ(Icon(4).picture, SkinPicturePath(skinFolder, "exitem.img"));
    EXPECT_EQ(Icon(5).picture, SkinPicturePath(skinFolder, "file.img"));
    EXPECT_EQ(Icon(6).picture, SkinPicturePath(skinFolder, "file.img"));
}

TEST_F(MainModelTest, ClickAndDoubleClickLaunchByLaunchMode) {
    struct Case {
        int mode;
        std::vector<std::string> afterClick;
        std::vector<std::string> afterDouble;
    };
    const Case cases[] = {
        {0, {"launch 2"}, {"launch 2"}},
        {1, {}, {"launch 2"}},
        {7, {}, {}},
    };
    auto folders = WriteTeams({{"工具"}});
    WriteItems(folders[0], Items(4));
    model->CurrentTeam = 0;
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        settings.LaunchMode = static_cast<uint8_t>(c.mode);
        events.clear();
        Click(Part::PicIcon, 2);
        EXPECT_EQ(model->CurrentItem, 2);
        EXPECT_EQ(events, c.afterClick);
        model->OnDoubleClick({Part::LabItem, 2});
        EXPECT_EQ(events, c.afterDouble);
        EXPECT_TRUE(launchFolders.empty() || launchFolders.back() == folders[0]);
    }
}

TEST_F(MainModelTest, SelectionMovesAndAnEmptyClickClearsIt) {
    auto folders = WriteTeams({{"工具"}});
    WriteItems(folders[0], Items(4));
    model->CurrentTeam = 0;
    settings.LaunchMode = 1;
    Start();
    Click(Part::LabItem, 1);
    EXPECT_TRUE(Icon(1).border);
    EXPECT_EQ(Caption(1).backColor, 51u);
    EXPECT_EQ(Caption(1).foreColor, 52u);
    EXPECT_TRUE(itemCommands);
    Click(Part::PicIcon, 3);
    EXPECT_FALSE(Icon(1).border);
    EXPECT_EQ(Caption(1).backColor, 41u);
    EXPECT_TRUE(Icon(3).border);
    Click(Part::PicItemIn, 0);
    EXPECT_EQ(model->CurrentItem, -1);
    EXPECT_FALSE(Icon(3).border);
    EXPECT_EQ(Caption(3).foreColor, 42u);
    EXPECT_FALSE(itemCommands);
}

TEST_F(MainModelTest, RightClickOnItemRunsTheClickFirstThenTheMenu) {
    auto folders = WriteTeams({{"工具"}});
    WriteItems(folders[0], Items(2));
    model->CurrentTeam = 0;
    Start();
    model->OnMouseDown({Part::PicIcon, 1}, MouseButton::Right, 0, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"launch 1", "repaint", "menu QuickItem"}));
    events.clear();
    model->OnMouseUp({Part::PicItemIn, 0}, MouseButton::Right, 0, 0);
    model->OnMouseUp({Part::PicTeamIn, 0}, MouseButton::Right, 0, 0);
    model->OnMouseUp({Part::PicTeamIn, 0}, MouseButton::Left, 0, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"menu QuickItem2", "menu QuickTeam2"}));
}

TEST_F(MainModelTest, SelectionBeyondARebuiltPanelIsDropped) {
    auto folders = WriteTeams({{"工具"}});
    WriteItems(folders[0], Items(6));
    model->CurrentTeam = 0;
    settings.LaunchMode = 7;
    Start();
    Click(Part::PicIcon, 5);
    WriteItems(folders[0], Items(3));
    model->ShowItems(0);
    EXPECT_EQ(model->CurrentItem, -1);
    EXPECT_FALSE(itemCommands);
    model->OnDoubleClick({Part::PicIcon, 5});  // no such element any more: ignored
    EXPECT_TRUE(events.empty());
}

TEST_F(MainModelTest, SelectionSurvivesARebuildInIconsOnlyWithBorderButNoCaptionColours) {
    auto folders = WriteTeams({{"工具"}});
    WriteItems(folders[0], Items(3));
    model->CurrentTeam = 0;
    settings.LaunchMode = 7;
    settings.ShowItemType = 1;
    Start();
    Click(Part::PicIcon, 1);
    model->ShowItems(0);
    EXPECT_EQ(model->CurrentItem, 1);
    EXPECT_TRUE(Icon(1).border);
    EXPECT_EQ(Caption(1).backColor, 41u);
    EXPECT_TRUE(itemCommands);
}

// ---- Order swaps ---------------------------------------------------------------

TEST_F(MainModelTest, TwoTeamPicksSwapTheTeamsOnDisk) {
    WriteTeams({{"甲", "注甲"}, {"乙"}, {"丙", "注丙"}});
    Start();
    model->ReorderState = 1;
    Click(Part::LabTeam, 0);
    EXPECT_EQ(model->ReorderState, 2);
    EXPECT_EQ(model->ReorderFirst, 0);
    EXPECT_EQ(prompts.messages.back(), "准备调整类别甲的顺序");
    Click(Part::LabTeam, 2);
    EXPECT_EQ(model->ReorderState, 0);
    EXPECT_EQ(ReadTeamRecord(settings.AppDir, 0).Name, "丙");
    EXPECT_EQ(ReadTeamRecord(settings.AppDir, 0).Note, "注丙");
    EXPECT_EQ(ReadTeamRecord(settings.AppDir, 2).Name, "甲");
    EXPECT_EQ(Team(0).text, "丙");
    EXPECT_EQ(prompts.messages.back(), "类别甲的顺序已经调换");

    // The same team twice leaves the data as it was; no success text when WarnAfterDone is off.
    settings.WarnAfterDone = false;
    prompts.messages.clear();
    model->ReorderState = 1;
    Click(Part::LabTeam, 1);
    Click(Part::LabTeam, 1);
    EXPECT_EQ(ReadTeamRecord(settings.AppDir, 1).Name, "乙");
    EXPECT_EQ(prompts.messages, (std::vector<std::string>{"准备调整类别乙的顺序"}));
}

TEST_F(MainModelTest, TeamClickWhileASwapWaitsLeavesThePanelAlone) {
    auto folders = WriteTeams({{"甲"}, {"乙"}});
    WriteItems(folders[0], Items(3));
    WriteItems(folders[1], Items(1));
    model->CurrentTeam = 0;
    settings.LaunchMode = 7;
    Start();
    model->ReorderState = 1;
    Click(Part::PicIcon, 0);
    ASSERT_EQ(model->ReorderState, 3);
    Click(Part::LabTeam, 1);
    EXPECT_EQ(model->CurrentTeam, 1);
    EXPECT_EQ(model->ItemCount(), 3);
    EXPECT_EQ(model->TeamFolder, folders[0]);
}

TEST_F(MainModelTest, TwoItemPicksSwapTheItems) {
    auto folders = WriteTeams({{"甲"}});
    WriteItems(folders[0], {{"一", "[LINK]"}, {"二", "[FILE]"}, {"三", "[DIRECTORY]"}});
    model->CurrentTeam = 0;
    settings.LaunchMode = 7;
    Start();
    model->ReorderState = 1;
    Click(Part::LabItem, 0);
    EXPECT_EQ(model->ReorderState, 3);
    EXPECT_EQ(prompts.messages.back(), "准备调整项目一的顺序");
    Click(Part::PicIcon, 2);
    EXPECT_EQ(model->ReorderState, 0);
    EXPECT_EQ(ReadItemRecord(folders[0], 0).Name, "三");
    EXPECT_EQ(ReadItemRecord(folders[0], 0).Icon, "[DIRECTORY]");
    EXPECT_EQ(ReadItemRecord(folders[0], 2).Name, "一");
    EXPECT_EQ(Caption(0).text, "三");
    EXPECT_EQ(Icon(0).picture, SkinPicturePath(skinFolder, "dir.img"));
    EXPECT_EQ(prompts.messages.back(), "项目一的顺序已经调换");
}

// ---- Many teams and items ------------------------------------------------------

TEST_F(MainModelTest, TeamsBeyondThirtyTwoAreReachableByScrolling) {
    std::vector<TeamSpec> teams;
    for (int i = 0; i < 40; ++i)
        teams.push_back({"类" + std::to_string(i)});
    WriteTeams(teams);
    Start();
    const Scene& s = model->GetScene();
    EXPECT_EQ(Team(39).left, 20 + 39 * 1020);
    EXPECT_EQ(s.At(Part::PicTeamIn).width, 40 * 1020 + 20);
    EXPECT_EQ(s.VisibleRect({Part::LabTeam, 39}).width, 0);
    int clicks = 0;
    while (clicks < 1000) {
        int before = s.At(Part::PicTeamIn).left;
        Click(Part::LabRight, 0);
        if (s.At(Part::PicTeamIn).left == before) break;
        ++clicks;
    }
    EXPECT_EQ(s.At(Part::PicTeamIn).left, 4200 - (40 * 1020 + 20));
    Rect r = s.VisibleRect({Part::LabTeam, 39});
    ASSERT_GT(r.width, 0);
    EXPECT_EQ(HitTest(s, r.left + 10, r.top + 10), (std::optional<ElementId>{ElementId{Part::LabTeam, 39}}));
}

TEST_F(MainModelTest, HundredsOfItemsAreLaidOutPastSixteenBitPositions) {
    auto folders = WriteTeams({{"甲"}});
    WriteItems(folders[0], Items(500));
    model->CurrentTeam = 0;
    Start();
    EXPECT_EQ(model->ItemCount(), 500);
    EXPECT_EQ(Caption(499).top, 650 + 124 * 1000);
    EXPECT_GT(model->GetScene().At(Part::PicItemIn).height, Caption(499).top + Caption(499).height);
}

TEST_F(MainModelTest, BrokenSkinIsReportedOnceAndTheWindowStaysUsable) {
    WriteTeams({{"甲"}});
    model->ApplySkin(dir.File("SKIN/none"));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].rfind("皮肤\"none\"有误:", 0), 0u);
    EXPECT_GT(model->GetScene().width, 0);
    EXPECT_TRUE(Team(0).visible);

    settings.WarnOnError = false;
    model->ApplySkin(dir.File("SKIN/none"));
    EXPECT_EQ(prompts.messages.size(), 1u);
}

// ---- Window chrome -------------------------------------------------------------

TEST_F(MainModelTest, ButtonPicturesFollowTheMouseAndResetOnEmptyParts) {
    Start();
    const Scene& s = model->GetScene();
    auto shown = [&](Part p) {
        std::string r;
        for (int i = 0; i < s.Count(p); ++i)
            r += s.At(p, i).visible ? '1' : '0';
        return r;
    };
    model->OnMouseMove({Part::LabClose, 0}, 0, 0, {});
    EXPECT_EQ(shown(Part::ImgClose), "010");
    model->OnMouseDown({Part::LabClose, 0}, MouseButton::Left, 0, 0);
    EXPECT_EQ(shown(Part::ImgClose), "001");
    model->OnMouseUp({Part::LabClose, 0}, MouseButton::Left, 0, 0);
    EXPECT_EQ(shown(Part::ImgClose), "010");
    model->OnMouseMove({Part::LabMin, 0}, 0, 0, {});
    EXPECT_EQ(shown(Part::ImgClose), "100");  // only one button is under the mouse
    EXPECT_EQ(shown(Part::ImgMin), "010");
    model->OnMouseMove({Part::PicItemIn, 0}, 0, 0, {});
    EXPECT_EQ(shown(Part::ImgClose), "100");
    EXPECT_EQ(shown(Part::ImgMin), "100");

    EXPECT_EQ(shown(Part::ImgLock), "10");
    EXPECT_EQ(s.At(Part::LabLock).tooltip, "置于顶层(已启用)");  // StandOnTop is on by default
    Click(Part::LabLock, 0);
    EXPECT_EQ(shown(Part::ImgLock), "01");
    EXPECT_EQ(s.At(Part::LabLock).tooltip, "置于顶层(已启用)");
    Click(Part::LabLock, 0);
    EXPECT_EQ(shown(Part::ImgLock), "10");
    EXPECT_EQ(s.At(Part::LabLock).tooltip, "置于顶层(未启用)");
}

TEST_F(MainModelTest, MenuCaptionsHighlightAndDropTheirMenuUnderTheBox) {
    Start();
    const Scene& s = model->GetScene();
    model->OnMouseMove({Part::LabMenu, 2}, 0, 0, {});
    const Element& shp = s.At(Part::ShpMenu);
    EXPECT_TRUE(shp.visible);
    EXPECT_EQ(shp.left, s.At(Part::LabMenu, 2).left - 60);
    EXPECT_EQ(shp.width, s.At(Part::LabMenu, 2).width + 120);
    EXPECT_EQ(s.At(Part::LabMenu, 2).foreColor, 2u);
    EXPECT_EQ(s.At(Part::LabMenu, 0).foreColor, 1u);
    model->OnMouseDown({Part::LabMenu, 2}, MouseButton::Left, 0, 0);
    EXPECT_EQ(s.At(Part::LabMenu, 2).foreColor, 3u);
    Click(Part::LabMenu, 2);
    EXPECT_EQ(events, (std::vector<std::string>{"menu Menu2"}));
    model->OnMouseLeave();
    EXPECT_FALSE(shp.visible);
    EXPECT_EQ(s.At(Part::LabMenu, 2).foreColor, 1u);
}

// A quick move lands straight on the next element without crossing an empty
// part: whatever looked hovered before must look normal afterwards.
TEST_F(MainModelTest, QuickMovesLeaveNoStaleHover) {
    WriteTeams({{"一"}, {"二"}, {"三"}});
    model->CurrentTeam = 0;
    settings.AutoRollOnTeam = true;
    settings.AutoRollOnItem = true;
    Start();
    const Scene& s = model->GetScene();
    auto hoverLeft = [&]() {
        std::string r;
        if (s.At(Part::ShpMenu).visible) r += "box ";
        for (int i = 0; i < 4; ++i)
            if (s.At(Part::LabMenu, i).foreColor != 1u) r += "menu" + std::to_string(i) + " ";
        for (int i = 1; i < 3; ++i)
            if (s.At(Part::LabTeam, i).backColor != 11u) r += "team" + std::to_string(i) + " ";
        for (Part p : {Part::ImgClose, Part::ImgMin, Part::ImgLeft, Part::ImgRight, Part::ImgUp, Part::ImgDown})
            if (!s.At(p, 0).visible || s.At(p, 1).visible || s.At(p, 2).visible) r += std::string(PartName(p)) + " ";
        if (model->Chrome().TeamRollRunning() || model->Chrome().ItemRollRunning()) r += "rolling";
        return r;
    };
    const ElementId froms[] = {{Part::LabMenu, 1}, {Part::LabTeam, 2}, {Part::LabClose, 0},
                               {Part::LabMin, 0},  {Part::LabLeft, 0}, {Part::LabDown, 0}};
    const ElementId tos[] = {
        {Part::LabTeam, 0}, {Part::PicIcon, 0}, {Part::LabLock, 0}, {Part::ImgTitle, 0}, {Part::LabTitle, 0}};
    for (const ElementId& from : froms) {
        for (const ElementId& to : tos) {
            model->OnMouseMove(from, 0, 0, {});
            ASSERT_NE(hoverLeft(), "") << PartName(from.part);
            model->OnMouseMove(to, 0, 0, {});
            EXPECT_EQ(hoverLeft(), "") << PartName(from.part) << " -> " << PartName(to.part);
        }
    }
    EXPECT_EQ(Team(0).backColor, 31u);  // the current team never loses its colours

    // Between two elements of the same kind only the new one looks hovered.
    model->OnMouseMove({Part::LabMenu, 1}, 0, 0, {});
    model->OnMouseMove({Part::LabMenu, 3}, 0, 0, {});
    EXPECT_EQ(s.At(Part::LabMenu, 1).foreColor, 1u);
    EXPECT_EQ(s.At(Part::LabMenu, 3).foreColor, 2u);
    model->OnMouseMove({Part::LabLeft, 0}, 0, 0, {});
    model->OnMouseMove({Part::LabUp, 0}, 0, 0, {});
    EXPECT_FALSE(model->Chrome().TeamRollRunning());
    EXPECT_TRUE(model->Chrome().ItemRollRunning());

    // A held button keeps its pressed picture while the pointer drags over others.
    model->OnMouseDown({Part::LabClose, 0}, MouseButton::Left, 0, 0);
    model->OnMouseMove({Part::LabClose, 0}, 0, 0, MouseButtons{true, false, false});
    EXPECT_TRUE(s.At(Part::ImgClose, 2).visible);
}

TEST_F(MainModelTest, TitleDragMovesTheWindowByThePointersTravel) {
    Start();
    std::vector<std::pair<int, int>> moves;
    model->actions.moveWindowBy = [&](int dx, int dy) { moves.emplace_back(dx, dy); };
    model->OnMouseDown({Part::ImgTitle, 0}, MouseButton::Right, 300, 150);
    model->OnMouseMove({Part::ImgTitle, 0}, 450, 90, MouseButtons{false, true, false});
    model->OnMouseMove({Part::ImgTitle, 0}, 500, 500, MouseButtons{});
    EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{150, -60}}));
}

}  // namespace

// ---- Keys ------------------------------------------------------------------------

TEST_F(MainModelTest, ArrowKeysSelectWithoutLaunchingAndScrollTheItemIntoView) {
    auto folders = WriteTeams({{"工具"}});
    WriteItems(folders[0], Items(60));
    model->CurrentTeam = 0;
    settings.LaunchMode = 0;  // one click launches; a key never does
    Start();
    const int columns = model->Skin().SkinItemColumns;
    model->OnNavKey(NavKey::Right);
    EXPECT_EQ(model->CurrentItem, 0);
    model->OnNavKey(NavKey::Right);
    model->OnNavKey(NavKey::Down);
    EXPECT_EQ(model->CurrentItem, 1 + columns);
    EXPECT_EQ(Caption(1 + columns).backColor, model->Skin().SkinItemColors[kItemBackSelected]);
    EXPECT_EQ(Caption(0).backColor, model->Skin().SkinItemColors[kItemBackNormal]);
    EXPECT_TRUE(itemCommands);
    EXPECT_TRUE(events.empty());

    model->OnNavKey(NavKey::End);
    EXPECT_EQ(model->CurrentItem, 59);
    const Scene& scene = model->GetScene();
    Rect shown = scene.VisibleRect({Part::LabItem, 59});
    EXPECT_EQ(shown.height, Caption(59).height) << "the last caption is scrolled fully into view";
    EXPECT_LT(scene.ItemScroll(), 0);
    model->OnNavKey(NavKey::Home);
    EXPECT_EQ(scene.ItemScroll(), 0);
    model->OnNavKey(NavKey::PageDown);
    EXPECT_GT(model->CurrentItem, 0);
    EXPECT_GT(scene.VisibleRect({Part::LabItem, model->CurrentItem}).height, 0);

    model->LaunchCurrent();
    EXPECT_EQ(events, std::vector<std::string>{"launch " + std::to_string(model->CurrentItem)});
    settings.LaunchMode = 5;  // menu only
    model->LaunchCurrent();
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(MainModelTest, TeamKeysGoRoundAndAskForAPasswordAsAClickDoes) {
    auto folders = WriteTeams({{"一"}, {"二", "", "pw"}, {"三"}});
    for (const auto& f : folders)
        WriteItems(f, Items(2));
    model->CurrentTeam = 0;
    Start();
    prompts.passwordAnswers = {"pw"};
    model->SwitchTeam(true);
    EXPECT_EQ(model->CurrentTeam, 1);
    ASSERT_EQ(prompts.passwordPrompts.size(), 1u);
    EXPECT_EQ(model->ItemCount(), 2);
    model->SwitchTeam(true);
    model->SwitchTeam(true);
    EXPECT_EQ(model->CurrentTeam, 0);
    model->SwitchTeam(false);
    EXPECT_EQ(model->CurrentTeam, 2);
    EXPECT_EQ(Title(), std::string(kTitlePrefix) + "三");
}

TEST_F(MainModelTest, MenuKeyOpensTheItemMenuOrThePanelMenu) {
    auto folders = WriteTeams({{"工具"}});
    WriteItems(folders[0], Items(3));
    model->CurrentTeam = 0;
    Start();
    model->ItemMenuFromKeyboard();
    model->OnNavKey(NavKey::Down);
    model->ItemMenuFromKeyboard();
    EXPECT_EQ(events, (std::vector<std::string>{"menu QuickItem2", "menu QuickItem"}));
}

// ---- Find as you type ------------------------------------------------------------

TEST_F(MainModelTest, TypingListsMatchesOfOpenTeamsAndEscapeBringsTheTeamBack) {
    auto folders = WriteTeams({{"工具"}, {"私人", "", "pw"}, {"文档"}});
    WriteItems(folders[0], {{"画图"}, {"记事本"}});
    WriteItems(folders[1], {{"记事簿"}});
    WriteItems(folders[2], {{"计算器"}, {"笔记"}});
    model->CurrentTeam = 2;
    Start();
    Click(Part::PicIcon, 1);
    events.clear();

    model->FindType("j");
    model->FindType("s");
    ASSERT_TRUE(model->Finding());
    EXPECT_EQ(model->GetScene().At(Part::LabFind).text, " 查找: js");
    model->FindType("b");
    ASSERT_EQ(model->FoundCount(), 1) << "the protected team's 记事簿 is never listed";
    EXPECT_EQ(Caption(0).text, "记事本");
    EXPECT_EQ(model->GetScene().At(Part::LabHit, 0).text, "工具");
    EXPECT_EQ(model->GetScene().At(Part::LabHit, 0).foreColor, model->Skin().SkinTeamColors[kTeamTextNormal]);
    EXPECT_EQ(Caption(0).backColor, model->Skin().SkinItemColors[kItemBackSelected]) << "the best result is selected";
    EXPECT_FALSE(itemCommands) << "the current team's item commands do not apply to a result";
    EXPECT_TRUE(prompts.passwordPrompts.empty());

    for (int i = 0; i < 3; ++i)
        model->FindBackspace();
    EXPECT_FALSE(model->Finding());
    model->FindType("记");
    EXPECT_EQ(model->FoundCount(), 2) << "记事本 and 笔记";
    model->OnNavKey(NavKey::Down);
    EXPECT_EQ(model->FoundSelected(), 1);

    model->CloseFind();
    EXPECT_FALSE(model->Finding());
    EXPECT_FALSE(model->GetScene().At(Part::LabFind).visible);
    EXPECT_EQ(model->CurrentTeam, 2);
    EXPECT_EQ(model->CurrentItem, 1);
    EXPECT_EQ(Caption(1).text, "笔记");
    EXPECT_TRUE(itemCommands);
    EXPECT_TRUE(prompts.passwordPrompts.empty());
    EXPECT_TRUE(events.empty());
}

TEST_F(MainModelTest, EnterLaunchesTheResultInItsOwnTeamAndAnEmptiedLineCloses) {
    auto folders = WriteTeams({{"工具"}, {"文档"}});
    WriteItems(folders[0], {{"画图"}, {"记事本"}});
    WriteItems(folders[1], {{"计算器"}});
    model->CurrentTeam = 1;
    Start();
    model->FindType("jishiben");
    model->LaunchCurrent();
    EXPECT_EQ(events, std::vector<std::string>{"launch 1"});
    EXPECT_EQ(launchFolders, std::vector<std::string>{folders[0]});
    EXPECT_FALSE(model->Finding()) << "a launch closes the line";
    EXPECT_EQ(model->CurrentTeam, 1);

    model->FindType("x");
    model->FindBackspace();
    EXPECT_FALSE(model->Finding());
    EXPECT_EQ(Caption(0).text, "计算器");

    // Edits made while the line was closed show at its next opening.
    WriteItems(folders[1], {{"计算器"}, {"记事本二号"}});
    model->TeamContentChanged(1);
    model->FindType("jsb");
    EXPECT_EQ(model->FoundCount(), 2);
    // Rebuilding the panel (a team click, a menu command) ends the search.
    Click(Part::LabTeam, 0);
    EXPECT_FALSE(model->Finding());
    EXPECT_EQ(Caption(1).text, "记事本");
}

TEST_F(MainModelTest, ABigStoreComesInAfterTheFirstKeyAndTheChosenResultStays) {
    // A slice of reading in the first team: the first key lists what came in.
    auto folders = WriteTeams({{"工具"}, {"文档"}});
    std::vector<ItemSpec> big = Items(static_cast<int>(FindIndex::kSliceItems));
    big[0].name = "记事本";
    big[1].name = "记事簿";
    WriteItems(folders[0], big);
    WriteItems(folders[1], {{"记事本二号"}});
    model->CurrentTeam = 1;
    Start();
    model->FindType("jsb");
    EXPECT_EQ(model->FoundCount(), 2);
    ASSERT_TRUE(model->FindLoading());
    model->OnNavKey(NavKey::Down);
    ASSERT_EQ(model->FoundSelected(), 1);
    EXPECT_EQ(Caption(1).text, "记事簿");

    while (model->FindLoading())
        model->OnFindLoadTick();
    ASSERT_EQ(model->FoundCount(), 3);
    EXPECT_EQ(Caption(2).text, "记事本二号");
    EXPECT_EQ(model->FoundSelected(), 1) << "the result chosen while the store was read stays chosen";
    model->LaunchCurrent();
    EXPECT_EQ(events, std::vector<std::string>{"launch 1"});
}
