#include "launcher/dialogs/item_form.h"

#include <gtest/gtest.h>

#include "launcher/store/password.h"
#include "tests/unit/dialogs/dialog_fixture.h"

namespace vt {
namespace {

class ItemFormTest : public ::testing::Test, public DialogFixture {
protected:
    void SetUp() override {
        team = MakeTeam();
        form.OnLoad();
        form.OpenForAdd(0, team);
    }
    void RegisterTxt() {
        reg.SetString(RegRoot::ClassesRoot, ".txt", "", "txtfile");
        reg.SetString(RegRoot::ClassesRoot, "txtfile\\DefaultIcon", "", "C:\\Windows\\notepad.exe,2");
        reg.SetString(RegRoot::ClassesRoot, "txtfile\\shell\\open", "", "打开");
        reg.SetString(RegRoot::ClassesRoot, "txtfile\\shell\\print", "", "打印");
    }
    std::string team;
    ItemForm form{reg, shared};
};

TEST_F(ItemFormTest, PathProposesNameTypeAndIcon) {
    struct Case {
        const char* path;
        const char* name;
        int type;
        const char* icon;
        bool para;
    } cases[] = {
        {"C:\\Tools\\Editor\\", "Editor", kTypeFolder, "[DIRECTORY]", false},
        {"C:\\Tools\\EDIT.EXE", "EDIT.EXE", kTypeProgram, "C:\\Tools\\EDIT.EXE", true},
        {"C:\\Win\\shell32.Dll", "shell32.Dll", kTypeDllFunction, "C:\\Win\\shell32.Dll", true},
        {"mailto:someone@example.com", "mailto:someone@example.com", kTypeLink, "[LINK]", false},
        {"HTTP://example.com", "HTTP://example.com", kTypeLink, "[LINK]", false},
        {"https://example.com/a", "https://example.com/a", kTypeLink, "[LINK]", false},
        {"[RECYCLE]", "[RECYCLE]", kTypeExtended, "[EXITEM]", true},
        {"D:\\notes\\README", "README", kTypeFile, "[FILE]", false},  // no registered icon
        {"C:\\", "C:\\", kTypeFolder, "[DIRECTORY]", false},
    };
    for (const auto& c : cases) {
        ItemForm f(reg, shared);
        f.OpenForAdd(0, team);
        f.SetPath(c.path);
        SCOPED_TRACE(c.path);
        EXPECT_EQ(f.txtName, c.name);
        EXPECT_EQ(f.cboType, c.type);
        EXPECT_EQ(f.txtIcon, c.icon);
        EXPECT_EQ(f.paraEnabled, c.para);
        EXPECT_EQ(f.paraBackColor, c.para ? kParaEnabledColor : kParaDisabledColor);
    }
}

TEST_F(ItemFormTest, FolderPathShowsStockFolderAndProgramShowsFirstIcon) {
    form.SetPath("C:\\Tools\\Editor\\");
    EXPECT_EQ(form.preview, (IconPlan{IconPlan::Kind::Stock, StockIcon::Directory, {}, 0}));
    form.SetPath("C:\\Tools\\EDIT.EXE");
    EXPECT_EQ(form.preview, (IconPlan{IconPlan::Kind::ExtractIcon, StockIcon::File, "C:\\Tools\\EDIT.EXE", 0}));
    EXPECT_EQ(form.IconIndexText(), "(序号:0)");
}

TEST_F(ItemFormTest, TypedNameNoLongerFollowsThePath) {
    form.SetPath("C:\\a\\one.exe");
    EXPECT_EQ(form.txtName, "one.exe");
    form.SetPath("C:\\a\\two.exe");
    EXPECT_EQ(form.txtName, "two.exe");  // still the proposal: follows
    form.txtName = "我的程序";
    form.SetPath("C:\\a\\three.exe");
    EXPECT_EQ(form.txtName, "我的程序");
    form.txtName.clear();
    form.SetPath("C:\\a\\four.exe");
    EXPECT_EQ(form.txtName, "four.exe");
}

TEST_F(ItemFormTest, LockedFieldsRunNoHandlers) {
    form.tLock = true;
    form.SetPath("C:\\x\\y.exe");
    form.SelectType(kTypeLink);
    EXPECT_EQ(form.txtName, "");
    EXPECT_EQ(form.txtIcon, "");
}

TEST_F(ItemFormTest, RegisteredIconGivesVerbsAndSharedName) {
    RegisterTxt();
    form.SetPath("D:\\notes\\todo.txt");
    EXPECT_EQ(form.cboType, kTypeFile);
    EXPECT_EQ(form.txtIcon, "[ICON]");
    EXPECT_EQ(form.tIcon, ".txt");
    EXPECT_EQ(form.preview.kind, IconPlan::Kind::ExtractIcon);
    EXPECT_EQ(form.preview.file, "C:\\Windows\\notepad.exe");
    EXPECT_EQ(form.preview.index, 2);
    EXPECT_EQ(form.IconIndexText(), "(序号:0)");
    EXPECT_EQ(form.verbList, (std::vector<std::string>{"open", "print"}));
    EXPECT_EQ(form.cboMethodList, (std::vector<std::string>{"打开", "打印"}));
    // Choosing the type again resolves again and the verbs accumulate; a new
    // path starts the list afresh.
    form.SelectType(kTypeFile);
    EXPECT_EQ(form.verbList.size(), 4u);
    form.SetPath("D:\\notes\\other.txt");
    EXPECT_EQ(form.verbList.size(), 2u);
}

TEST_F(ItemFormTest, IconButtonsStepTheIndex) {
    form.SetPath("C:\\a\\b.exe");
    form.OnPreviousIcon();
    EXPECT_EQ(form.preview.index, -1);
    EXPECT_EQ(form.IconIndexText(), "(序号:-1)");
    form.OnNextIcon();
    form.OnNextIcon();
    EXPECT_EQ(form.preview.index, 1);
    form.OnStockIcon(StockIcon::Link);
    EXPECT_EQ(form.txtIcon, "[LINK]");
    EXPECT_EQ(shared.EditIconIndex, 0);
}

TEST_F(ItemFormTest, ValidationMessagesInOrderAndOnlyWithWarnOnFormat) {
    struct Case {
        const char* name;
        const char* path;
        const char* icon;
        const char* msg;
    } cases[] = {
        {"", "", "", kMsgItemNameEmpty},
        {"n", "", "", kMsgItemPathEmpty},
        {"n", "p", "", kMsgItemIconEmpty},
    };
    for (bool warn : {true, false}) {
        settings.WarnOnFormat = warn;
        for (const auto& c : cases) {
            prompts.messages.clear();
            form.txtName = c.name;
            form.txtPath = c.path;
            form.txtIcon = c.icon;
            FormOutcome out = form.OnOk(settings, prompts, std::nullopt);
            EXPECT_FALSE(out.close);
            EXPECT_EQ(prompts.messages, warn ? std::vector<std::string>{c.msg} : std::vector<std::string>{});
        }
    }
    EXPECT_EQ(Ini(ItemSetFile(team), "ITEM", "Count"), -99);  // nothing written
}

TEST_F(ItemFormTest, AddWritesTheRecordAndOwnPicture) {
    reg.SetDword(kSettingsRoot, kSettingKey, "ShowItemExSetting", 1);
    form.OnLoad();
    form.SetPath("C:\\Tools\\EDIT.EXE");
    form.txtPara = "-n";
    form.txtNote = "编辑器";
    form.cboMode = 1;
    FormOutcome out = form.OnOk(settings, prompts, std::string("BMDATA"));
    ASSERT_TRUE(out.close);
    EXPECT_TRUE(out.showItems);
    EXPECT_EQ(out.showItemsTeam, 0);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"添加项目EDIT.EXE成功"});

    const std::string set = ItemSetFile(team);
    EXPECT_EQ(Ini(set, "ITEM", "Count"), 1);
    EXPECT_EQ(IniText(set, "0", "Name"), "EDIT.EXE");
    EXPECT_EQ(Ini(set, "0", "Type"), kTypeProgram);
    EXPECT_EQ(Ini(set, "0", "Mode"), 1);
    EXPECT_EQ(IniText(set, "0", "Password"), "False");
    EXPECT_EQ(IniText(set, "0", "StartMethod"), "<missing>");  // no verb chosen
    EXPECT_EQ(ReadDataLine(PathSetFile(team), Ini(set, "0", "Path")), "C:\\Tools\\EDIT.EXE");
    EXPECT_EQ(ReadDataLine(ParaSetFile(team), Ini(set, "0", "Para")), "-n");
    EXPECT_EQ(ReadDataLine(IconSetFile(team), Ini(set, "0", "IconPath")), "C:\\Tools\\EDIT.EXE");
    const std::string icon = IniText(set, "0", "Icon");
    ASSERT_EQ(icon.size(), 15u);  // "\" + 10 characters + ".img"
    EXPECT_EQ(*ReadFileBytes(PathFromUtf8(team + "/" + icon.substr(1))), "BMDATA");
    EXPECT_EQ(reg.QueryDword(kSettingsRoot, kSettingKey, "ShowItemExSetting"), 1u);
}

TEST_F(ItemFormTest, EditClearingParametersStoresZeroAndKeepsTheOldLine) {
    form.SetPath("C:\\a\\tool.exe");
    form.txtPara = "/old";
    ASSERT_TRUE(form.OnOk(settings, prompts, std::nullopt).close);

    ItemForm edit(reg, shared);
    edit.OpenForEdit(0, team, 0, "");
    EXPECT_EQ(edit.caption, kCaptionEditItem);
    EXPECT_EQ(edit.txtPara, "/old");
    EXPECT_EQ(edit.txtName, "tool.exe");
    edit.txtPara.clear();
    edit.txtName = "工具";
    prompts.messages.clear();
    ASSERT_TRUE(edit.OnOk(settings, prompts, std::nullopt).close);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"编辑项目工具成功"});
    EXPECT_EQ(Ini(ItemSetFile(team), "0", "Para"), 0);
    EXPECT_EQ(Ini(ItemSetFile(team), "ITEM", "Count"), 1);
    EXPECT_EQ(ReadDataLine(ParaSetFile(team), 1), "/old");
}

TEST_F(ItemFormTest, ProtectedItemIsScrambledAndReadsBackWithItsPassword) {
    form.SetPath("C:\\secret\\app.exe");
    form.txtPara = "--key";
    form.txtPassword = "pw";
    ASSERT_TRUE(form.OnOk(settings, prompts, std::nullopt).close);
    const std::string set = ItemSetFile(team);
    EXPECT_EQ(IniText(set, "0", "Password"), "True");
    const std::string stored = ReadDataLine(PathSetFile(team), Ini(set, "0", "Path"));
    EXPECT_NE(stored, "C:\\secret\\app.exe");
    EXPECT_EQ(DecodePassword(stored, "pw"), "C:\\secret\\app.exe");

    ItemForm edit(reg, shared);
    edit.OpenForEdit(0, team, 0, "pw");
    EXPECT_EQ(edit.txtPath, "C:\\secret\\app.exe");
    EXPECT_EQ(edit.txtPara, "--key");
    EXPECT_EQ(edit.txtPassword, "pw");
    EXPECT_FALSE(edit.PasswordDoubtful());
}

TEST_F(ItemFormTest, WrongPasswordEditLeavesTheProtectedItemAlone) {
    form.SetPath("C:\\secret\\app.exe");
    form.txtPassword = "pw";
    ASSERT_TRUE(form.OnOk(settings, prompts, std::nullopt).close);
    const std::string before = ReadDataLine(PathSetFile(team), 1);
    for (const char* typed : {"wrong", ""}) {
        ItemForm edit(reg, shared);
        edit.OpenForEdit(0, team, 0, typed);
        EXPECT_TRUE(edit.PasswordDoubtful()) << typed;
        edit.txtName = "改名";
        edit.txtPassword = "";
        prompts.messages.clear();
        FormOutcome out = edit.OnOk(settings, prompts, std::nullopt);
        EXPECT_TRUE(out.close);
        EXPECT_FALSE(out.showItems);
        EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgItemPasswordWrong});
        EXPECT_EQ(IniText(ItemSetFile(team), "0", "Name"), "app.exe");
        EXPECT_EQ(IniText(ItemSetFile(team), "0", "Password"), "True");
        EXPECT_EQ(ReadDataLine(PathSetFile(team), 1), before);
    }
}

TEST_F(ItemFormTest, SharedIconPerExtensionIsWrittenOnce) {
    RegisterTxt();
    form.SetPath("D:\\a.txt");
    form.cboMethod = 1;
    ASSERT_TRUE(form.OnOk(settings, prompts, std::string("FIRST")).close);
    ItemForm second(reg, shared);
    second.OpenForAdd(0, team);
    second.SetPath("D:\\b.txt");
    ASSERT_TRUE(second.OnOk(settings, prompts, std::string("SECOND")).close);

    const std::string set = ItemSetFile(team);
    EXPECT_EQ(IniText(set, "0", "Icon"), "\\txt.img");
    EXPECT_EQ(IniText(set, "1", "Icon"), "\\txt.img");
    EXPECT_EQ(*ReadFileBytes(PathFromUtf8(SharedIconDir(settings.AppDir) + "txt.img")), "FIRST");
    EXPECT_EQ(IniText(set, "0", "StartMethod"), "print");
    EXPECT_EQ(Ini(set, "0", "MethodIndex"), 1);
    EXPECT_EQ(IniText(set, "1", "StartMethod"), "<missing>");
}

TEST_F(ItemFormTest, EditKeepsTheItemItWasOpenedForAndMethodIndex) {
    RegisterTxt();
    form.SetPath("D:\\a.txt");
    form.cboMethod = 1;
    ASSERT_TRUE(form.OnOk(settings, prompts, std::nullopt).close);
    ItemForm edit(reg, shared);
    edit.OpenForEdit(0, team, 0, "");
    EXPECT_EQ(edit.txtIcon, "[ICON]");
    EXPECT_EQ(edit.cboMethod, 1);
    EXPECT_EQ(edit.paraEnabled, false);
}

TEST_F(ItemFormTest, MissingTeamFolderWritesNothingAndSaysSo) {
    ItemForm f(reg, shared);
    f.OpenForAdd(0, DataDir(settings.AppDir) + "NOSUCHDIR0");
    f.SetPath("C:\\a.exe");
    FormOutcome out = f.OnOk(settings, prompts, std::nullopt);
    EXPECT_FALSE(out.close);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgItemNoTeamFolder});
    EXPECT_FALSE(Exists(DataDir(settings.AppDir) + "NOSUCHDIR0"));
}

TEST_F(ItemFormTest, ChosenFilesAreRememberedWhileRememberPathIsOn) {
    EXPECT_EQ(form.ChooserInitialFolder(), "");
    form.OnItemFileChosen("");  // cancelled
    EXPECT_EQ(form.txtPath, "");
    form.OnItemFileChosen("E:\\Games\\play.exe");
    EXPECT_EQ(form.txtPath, "E:\\Games\\play.exe");
    EXPECT_EQ(shared.RememberedFolder, "E:\\Games\\");
    EXPECT_EQ(reg.QueryString(kSettingsRoot, kDataKey, "rPath"), "E:\\Games\\");
    EXPECT_EQ(form.ChooserInitialFolder(), "E:\\Games\\");
    form.OnIconFileChosen("F:\\Icons\\a.ico");
    EXPECT_EQ(form.preview.kind, IconPlan::Kind::PictureFile);
    EXPECT_EQ(shared.RememberedFolder, "F:\\Icons\\");
    reg.SetDword(kSettingsRoot, kSettingKey, "RememberPath", 0);
    EXPECT_EQ(form.ChooserInitialFolder(), "");
}

}  // namespace
}  // namespace vt

namespace vt {
namespace {

TEST(PictureButtons, HoverPressAndReleaseWithinARow) {
    PictureButtons b;
    b.OnHover(PictureButton::File, false);
    b.OnHover(PictureButton::Icon, false);
    EXPECT_EQ(b.Image(PictureButton::File), 1);  // other row untouched
    b.OnHover(PictureButton::Dir, false);
    EXPECT_EQ(b.Image(PictureButton::File), 0);
    EXPECT_EQ(b.Image(PictureButton::Dir), 1);
    b.OnPress(PictureButton::Dir);
    b.OnHover(PictureButton::Ex, true);  // dragging with the button down changes nothing
    EXPECT_EQ(b.Image(PictureButton::Dir), 2);
    EXPECT_EQ(b.Image(PictureButton::Ex), 0);
    b.OnRelease(PictureButton::Dir);
    EXPECT_EQ(b.Image(PictureButton::Dir), 1);
    b.OnBackground();
    for (int i = 0; i < kPictureButtonCount; ++i) EXPECT_EQ(b.Image(static_cast<PictureButton>(i)), 0);
}

}  // namespace
}  // namespace vt
