// What the item editor's OK writes when the stored record is damaged.
#include <gtest/gtest.h>

#include "launcher/dialogs/item_form.h"
#include "tests/unit/dialogs/dialog_fixture.h"

namespace vt {
namespace {

class ItemFormSaveTest : public ::testing::Test, public DialogFixture {
protected:
    void SetUp() override {
        settings.WarnOnError = true;
        settings.WarnAfterDone = true;
        team = MakeTeam();
        form.OnLoad();
        form.OpenForAdd(0, team);
        form.SetPath("C:\\a\\tool.exe");
        ASSERT_TRUE(form.OnOk(settings, prompts, std::nullopt).close);
        prompts.messages.clear();
    }
    static std::string Bytes(const std::string& p) { return ReadFileBytes(PathFromUtf8(p)).value_or("<missing>"); }

    std::string team;
    ItemForm form{reg, shared};
};

TEST_F(ItemFormSaveTest, LineNumberPastTheEndIsSavedAsANewLine) {
    ASSERT_TRUE(WriteIniString(ItemSetFile(team), "0", "Path", "2147483647"));
    const std::string paths = Bytes(PathSetFile(team));

    ItemForm edit(reg, shared);
    edit.OpenForEdit(0, team, 0, "");
    EXPECT_EQ(edit.txtPath, "") << "a missing line reads as empty";
    edit.txtPath = "C:\\b\\other.exe";
    edit.txtName = "其他";
    FormOutcome out = edit.OnOk(settings, prompts, std::nullopt);
    EXPECT_TRUE(out.close);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"编辑项目其他成功"});
    EXPECT_EQ(Bytes(PathSetFile(team)), paths + "C:\\b\\other.exe\r\n");
    EXPECT_EQ(Ini(ItemSetFile(team), "0", "Path"), 2);
    EXPECT_EQ(IniText(ItemSetFile(team), "0", "Name"), "其他");
}

TEST_F(ItemFormSaveTest, NoItemIsAddedPastTheLimit) {
    ASSERT_TRUE(WriteIniString(ItemSetFile(team), "ITEM", "Count", "99999"));
    const std::string items = Bytes(ItemSetFile(team));
    ItemForm add(reg, shared);
    add.OpenForAdd(0, team);
    add.SetPath("C:\\c\\new.exe");
    FormOutcome out = add.OnOk(settings, prompts, std::nullopt);
    EXPECT_FALSE(out.close) << "the input stays in the dialog";
    EXPECT_EQ(prompts.messages, std::vector<std::string>{kMsgItemsOverLimit});
    EXPECT_EQ(Bytes(ItemSetFile(team)), items);
}

}  // namespace
}  // namespace vt
