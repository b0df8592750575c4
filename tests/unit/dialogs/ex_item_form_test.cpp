#include "launcher/dialogs/ex_item_form.h"

#include <gtest/gtest.h>

#include "tests/unit/dialogs/dialog_fixture.h"

namespace vt {
namespace {

class ExItemFormTest : public ::testing::Test, public DialogFixture {
protected:
    ItemForm item{reg, shared};
    ExItemForm ex;
};

TEST_F(ExItemFormTest, RegistryOkNeedsAllThreeTexts) {
    ex.OnKindClicked(kExRegistry);
    EXPECT_EQ(ex.visibleFrame, 1);
    EXPECT_FALSE(ex.cmdOkEnabled);
    ex.txtKey = "Software\\Test";
    ex.txtKeyName = "Flag";
    ex.OnRegistryTextChanged();
    EXPECT_FALSE(ex.cmdOkEnabled);
    ex.txtValue = "1";
    ex.OnRegistryTextChanged();
    EXPECT_TRUE(ex.cmdOkEnabled);
    ex.txtKeyName.clear();
    ex.OnRegistryTextChanged();
    EXPECT_FALSE(ex.cmdOkEnabled);
}

TEST_F(ExItemFormTest, RegistryItemFillsTheItemEditor) {
    item.OpenForAdd(0, "");
    ex.OnKindClicked(kExRegistry);
    ex.cboMainKey = 1;
    ex.txtKey = "Software\\Test";
    ex.txtKeyName = "Flag";
    ex.cboType = 1;
    ex.txtValue = "1";
    FormOutcome out = ex.OnOk(settings, prompts, item);
    EXPECT_TRUE(out.close);
    EXPECT_EQ(item.txtPath, "[REGCTRL]");
    EXPECT_EQ(item.txtPara, "1|Software\\Test|Flag|1|1");
    EXPECT_EQ(item.txtName, "修改注册表项:Flag");
    EXPECT_EQ(item.cboType, kTypeExtended);
    EXPECT_EQ(item.txtIcon, "[EXITEM]");
    // The name was set over the path's proposal, so it stays put.
    item.SetPath("[RECYCLE]");
    EXPECT_EQ(item.txtName, "修改注册表项:Flag");
}

TEST_F(ExItemFormTest, RegistryChecksInOrderAndRefusesTheSeparator) {
    struct Case {
        const char *key, *name, *value, *msg;
    } cases[] = {
        {"", "n", "v", kMsgRegKeyEmpty},     {"k", "", "v", kMsgRegNameEmpty},    {"k", "n", "", kMsgRegValueEmpty},
        {"k", "n", "a|b", kMsgRegBarInText}, {"k|x", "n", "v", kMsgRegBarInText}, {"k", "n|x", "v", kMsgRegBarInText},
    };
    for (const auto& c : cases) {
        prompts.messages.clear();
        item.txtPara = "keep";
        ex.OnKindClicked(kExRegistry);
        ex.txtKey = c.key;
        ex.txtKeyName = c.name;
        ex.txtValue = c.value;
        FormOutcome out = ex.OnOk(settings, prompts, item);
        EXPECT_FALSE(out.close) << c.msg;
        EXPECT_EQ(prompts.messages, std::vector<std::string>{c.msg});
        EXPECT_EQ(item.txtPara, "keep");
    }
    settings.WarnOnFormat = false;
    prompts.messages.clear();
    EXPECT_FALSE(ex.OnOk(settings, prompts, item).close);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ExItemFormTest, RegistryTextsTheCodePageLacksAreRefusedByField) {
    struct Case {
        const char* key;
        const char* name;
        const char* value;
        ExField field;
        const char* message;
    } cases[] = {
        {"Software\\키", "Flag", "1", ExField::Key, "注册表项中含有无法保存的字符:키,请修改"},
        {"Software\\Test", "旗😀", "1", ExField::KeyName, "键名称中含有无法保存的字符:😀,请修改"},
        {"Software\\Test", "Flag", "값", ExField::Value, "键值中含有无法保存的字符:값,请修改"},
        {"Software\\Test", "A|B", "1", ExField::KeyName, kMsgRegBarInText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        item.OpenForAdd(0, "");
        ex.OnKindClicked(kExRegistry);
        ex.txtKey = c.key;
        ex.txtKeyName = c.name;
        ex.txtValue = c.value;
        prompts.messages.clear();
        EXPECT_FALSE(ex.OnOk(settings, prompts, item).close);
        EXPECT_EQ(ex.refusedField, c.field);
        EXPECT_EQ(prompts.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(item.txtPath, "");  // the item editor is left alone
        EXPECT_EQ(item.txtPara, "");
    }
}

TEST_F(ExItemFormTest, LongValueNameGivesANameCutToWhatAnItemNameHolds) {
    std::string longName;
    for (int i = 0; i < 200; ++i)
        longName += "键";
    item.OpenForAdd(0, "");
    ex.OnKindClicked(kExRegistry);
    ex.txtKey = "Software\\Test";
    ex.txtKeyName = longName;
    ex.txtValue = "1";
    ASSERT_TRUE(ex.OnOk(settings, prompts, item).close);
    // "修改注册表项:" takes 13 GBK bytes, leaving 241: 120 whole characters.
    EXPECT_EQ(item.txtName, std::string(kExNameRegistryPrefix) + longName.substr(0, 120 * 3));
    EXPECT_LE(AnsiByteCount(item.txtName), kItemNameMaxBytes);
    // The parameters keep the whole value name: they live in a line file.
    EXPECT_EQ(item.txtPara, "0|Software\\Test|" + longName + "|0|1");
}

TEST_F(ExItemFormTest, ControlPanelAndRecycleBin) {
    ex.OnKindClicked(kExControlPanel);
    EXPECT_EQ(ex.lstCtrl, 0);
    EXPECT_EQ(ex.labSelected, "选中项:Internet选项");
    EXPECT_TRUE(ex.OnOk(settings, prompts, item).close);
    EXPECT_EQ(item.txtPath, "[CONTROL]");
    EXPECT_EQ(item.txtPara, "0");
    EXPECT_EQ(item.txtName, "控制面板:Internet选项");

    ex.OnControlClicked(9);
    EXPECT_TRUE(ex.OnOk(settings, prompts, item).close);
    EXPECT_EQ(item.txtPara, "9");
    EXPECT_EQ(item.txtName, "控制面板:系统属性");

    ex.OnKindClicked(kExRecycle);
    item.txtPara = "untouched";
    EXPECT_TRUE(ex.OnOk(settings, prompts, item).close);
    EXPECT_EQ(item.txtPath, "[RECYCLE]");
    EXPECT_EQ(item.txtName, "清空回收站");
    EXPECT_EQ(item.txtPara, "untouched");
}

TEST_F(ExItemFormTest, NothingChosenClosesWithoutWriting) {
    item.txtPath = "C:\\x.exe";
    EXPECT_TRUE(ex.OnOk(settings, prompts, item).close);
    EXPECT_EQ(item.txtPath, "C:\\x.exe");
    EXPECT_TRUE(prompts.messages.empty());
}

}  // namespace
}  // namespace vt
