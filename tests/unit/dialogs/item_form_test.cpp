#include "launcher/dialogs/item_form.h"

#include <gtest/gtest.h>

#include "launcher/store/password.h"
#include "tests/unit/common/codepage_scope.h"
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

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

TEST_F(ItemFormTest, TextTheCodePageLacksIsNamedAndNothingIsWritten) {
    // GBK has no Korean letters and no emoji.
    struct Case {
        const char* name;
        const char* path;
        const char* para;
        const char* password;
        const char* note;
        ItemField field;
        const char* message;
    } cases[] = {
        {"报告😀", "C:\\a\\b.exe", "", "", "", ItemField::Name, "项目名称中含有无法保存的字符:😀,请修改"},
        {"报告", "C:\\자료\\b.exe", "", "", "", ItemField::Path, "项目路径中含有无法保存的字符:자료,请修改"},
        {"报告", "C:\\a\\b.exe", "--문서 --문서", "", "", ItemField::Para, "运行参数中含有无法保存的字符:문서,请修改"},
        {"报告", "C:\\a\\b.exe", "", "键🔑", "", ItemField::Password, "启动密码中含有无法保存的字符:🔑,请修改"},
        {"报告", "C:\\a\\b.exe", "", "", "注释😀", ItemField::Note, "注释中含有无法保存的字符:😀,请修改"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        ItemForm f(reg, shared);
        f.shortPath = [](const std::string&) { return std::string(); };  // a volume without short names
        f.OpenForAdd(0, team);
        f.SetPath(c.path);
        f.txtName = c.name;
        f.txtPara = c.para;
        f.txtPassword = c.password;
        f.txtNote = c.note;
        prompts.messages.clear();
        EXPECT_FALSE(f.OnOk(settings, prompts, std::string("BM")).close);
        EXPECT_EQ(prompts.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(f.refusedField, c.field);
        EXPECT_EQ(f.txtPath, c.path);  // the field keeps what was typed
    }
    EXPECT_EQ(Ini(ItemSetFile(team), "ITEM", "Count"), -99);
    EXPECT_FALSE(Exists(PathSetFile(team)));

    // An icon source of its own is a path like the item's.
    form.shortPath = nullptr;
    form.SetPath("C:\\a\\b.exe");
    form.SetIcon("C:\\아이콘\\i.ico");
    EXPECT_FALSE(form.OnOk(settings, prompts, std::nullopt).close);
    EXPECT_EQ(form.refusedField, ItemField::Icon);
    EXPECT_EQ(form.refusedChars, "아이콘");
}

TEST_F(ItemFormTest, PathTheCodePageLacksIsStoredByItsShortName) {
    std::vector<std::string> asked;
    form.shortPath = [&](const std::string& p) {
        asked.push_back(p);
        return p == "C:\\자료\\보고서.exe" ? std::string("C:\\F3A1~1\\B2C4~1.EXE") : std::string();
    };
    form.SetPath("C:\\자료\\보고서.exe");
    EXPECT_EQ(form.txtName, "보고서.exe");  // proposed from the long path while typing
    ASSERT_TRUE(form.OnOk(settings, prompts, std::string("BM")).close);
    const std::string set = ItemSetFile(team);
    // The proposal could not be stored; the short name names the item instead.
    EXPECT_EQ(IniText(set, "0", "Name"), "B2C4~1.EXE");
    EXPECT_EQ(ReadDataLine(PathSetFile(team), Ini(set, "0", "Path")), "C:\\F3A1~1\\B2C4~1.EXE");
    EXPECT_EQ(ReadDataLine(IconSetFile(team), Ini(set, "0", "IconPath")), "C:\\F3A1~1\\B2C4~1.EXE");
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"添加项目B2C4~1.EXE成功"});
    EXPECT_EQ(asked, std::vector<std::string>{"C:\\자료\\보고서.exe"});  // asked once for path and icon

    // A name the user typed is kept when it can be stored, and refused when not.
    ItemForm typed(reg, shared);
    typed.shortPath = form.shortPath;
    typed.OpenForAdd(0, team);
    typed.SetPath("C:\\자료\\보고서.exe");
    typed.txtName = "周报";
    ASSERT_TRUE(typed.OnOk(settings, prompts, std::nullopt).close);
    EXPECT_EQ(IniText(set, "1", "Name"), "周报");
    typed.OpenForAdd(0, team);
    typed.SetPath("C:\\자료\\보고서.exe");
    typed.txtName = "보고";
    EXPECT_FALSE(typed.OnOk(settings, prompts, std::nullopt).close);
    EXPECT_EQ(typed.refusedField, ItemField::Name);
    EXPECT_EQ(Ini(set, "ITEM", "Count"), 2);
}

// Names and notes are profile values: 254 bytes of the code page come back.
class ItemFormBytes : public ItemFormTest, public ::testing::WithParamInterface<CodePageCase> {
protected:
    CodePageScope scope{GetParam().iconvName};
};

TEST_P(ItemFormBytes, LongNameIsHeldToWhatReadsBackUnchanged) {
    const std::string& wide = GetParam().wide;
    const std::string longName = Repeat(wide, 310);
    const std::string fits = Repeat(wide, static_cast<int>(254 / GetParam().wideBytes));

    // Typed or pasted into the box: what the box keeps is cut to fit.
    FittedText typed = FitTypedText("", longName, kItemNameMaxBytes);
    EXPECT_TRUE(typed.cut);
    EXPECT_EQ(typed.text, fits);
    EXPECT_EQ(typed.caret, fits.size());
    // Pasted between two characters: the paste is cut, both neighbours stay,
    // and the caret ends after what was kept.
    FittedText pasted = FitTypedText("ab", "a" + longName + "b", kItemNameMaxBytes);
    const std::string inner = Repeat(wide, static_cast<int>(252 / GetParam().wideBytes));
    EXPECT_EQ(pasted.text, "a" + inner + "b");
    EXPECT_EQ(pasted.caret, 1 + inner.size());
    // A change that fits is left alone.
    FittedText small = FitTypedText(fits.substr(0, fits.size() - std::string(wide).size()), fits, kItemNameMaxBytes);
    EXPECT_FALSE(small.cut);
    EXPECT_EQ(small.text, fits);

    // Set from outside, past the box: OK refuses it and writes nothing.
    form.SetPath("C:\\a\\tool.exe");
    form.txtName = longName;
    prompts.messages.clear();
    EXPECT_FALSE(form.OnOk(settings, prompts, std::nullopt).close);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"项目名称太长,最多只能保存254个字节,请修改"});
    EXPECT_EQ(form.refusedField, ItemField::Name);
    form.txtName = fits;
    form.txtNote = "x" + longName;
    EXPECT_FALSE(form.OnOk(settings, prompts, std::nullopt).close);
    EXPECT_EQ(form.refusedField, ItemField::Note);
    EXPECT_EQ(Ini(ItemSetFile(team), "ITEM", "Count"), -99);

    // What is accepted reads back byte for byte.
    form.txtNote = "x" + FitAnsiBytes(longName, 253);
    ASSERT_TRUE(form.OnOk(settings, prompts, std::nullopt).close);
    EXPECT_EQ(IniText(ItemSetFile(team), "0", "Name"), fits);
    EXPECT_EQ(IniText(ItemSetFile(team), "0", "Note"), form.txtNote);
    ItemForm edit(reg, shared);
    edit.OpenForEdit(0, team, 0, "");
    EXPECT_EQ(edit.txtName, fits);
}

TEST_P(ItemFormBytes, NameProposedFromALongPathIsCutToFit) {
    const std::string& wide = GetParam().wide;
    form.SetPath("D:\\docs\\" + Repeat(wide, 300) + ".txt");
    EXPECT_EQ(form.txtName, Repeat(wide, static_cast<int>(254 / GetParam().wideBytes)));
    ASSERT_TRUE(form.OnOk(settings, prompts, std::nullopt).close);
    EXPECT_EQ(IniText(ItemSetFile(team), "0", "Name"), form.txtName);
    // The path itself lives in a line file and is kept whole.
    EXPECT_EQ(ReadDataLine(PathSetFile(team), 1), "D:\\docs\\" + Repeat(wide, 300) + ".txt");
}

INSTANTIATE_TEST_SUITE_P(Pages, ItemFormBytes, ::testing::ValuesIn(kCodePageCases), CodePageCaseName);

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
    for (int i = 0; i < kPictureButtonCount; ++i)
        EXPECT_EQ(b.Image(static_cast<PictureButton>(i)), 0);
}

}  // namespace
}  // namespace vt
