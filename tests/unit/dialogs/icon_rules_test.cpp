#include "launcher/dialogs/icon_rules.h"

#include <gtest/gtest.h>

#include "platform/fake/fakes.h"

namespace vt {
namespace {

TEST(IconRules, StockTokensInAnyCase) {
    struct Case {
        const char* text;
        std::optional<StockIcon> want;
    } cases[] = {
        {"[LINK]", StockIcon::Link},     {"[link]", StockIcon::Link},
        {"[File]", StockIcon::File},     {"[DIRECTORY]", StockIcon::Directory},
        {"[exitem]", StockIcon::ExItem}, {"[ICON]", std::nullopt},
        {"[LINK", std::nullopt},         {"", std::nullopt},
        {"C:\\a.exe", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StockIconOf(c.text), c.want) << c.text;
    EXPECT_TRUE(IsRegisteredIconToken("[icon]"));
    EXPECT_FALSE(IsRegisteredIconToken("[ICON] "));
}

TEST(IconRules, ExtensionStopsAtTheLastFolder) {
    EXPECT_EQ(ExtensionOf("C:\\Docs\\report.TXT"), ".TXT");
    EXPECT_EQ(ExtensionOf("C:\\a.b\\c.tar.gz"), ".gz");
    EXPECT_EQ(ExtensionOf("C:\\my.folder\\README"), std::nullopt);  // dot only in a folder name
    EXPECT_EQ(ExtensionOf("README"), std::nullopt);
    EXPECT_EQ(ExtensionOf("C:\\Tools\\"), std::nullopt);
}

TEST(IconRules, DefaultIconValues) {
    auto loc = ParseDefaultIcon("C:\\Windows\\notepad.exe,2");
    ASSERT_TRUE(loc);
    EXPECT_EQ(loc->file, "C:\\Windows\\notepad.exe");
    EXPECT_EQ(loc->index, 2);

    loc = ParseDefaultIcon("\"C:\\Program Files\\Ed\\ed.exe\",-101");
    ASSERT_TRUE(loc);
    EXPECT_EQ(loc->file, "C:\\Program Files\\Ed\\ed.exe");
    EXPECT_EQ(loc->index, -101);

    EXPECT_FALSE(ParseDefaultIcon("C:\\Windows\\icon.ico"));  // no comma: no index
    EXPECT_FALSE(ParseDefaultIcon("C:\\a,b\\icon.ico"));      // comma only inside a folder name
    EXPECT_FALSE(ParseDefaultIcon(""));
    loc = ParseDefaultIcon("shell32.dll,abc");
    ASSERT_TRUE(loc);
    EXPECT_EQ(loc->index, 0);
}

// Beyond 96 dpi only a program file's icon can be drawn sharper than the
// saved 32-pixel picture; a picture file or a skin picture is enlarged.
TEST(IconRules, OnlyProgramIconsAreRedrawnLargerThanSaved) {
    const IconPlan icon = PlanForIconFile("C:\\Tools\\app.exe", 2);
    EXPECT_TRUE(PreviewRedrawnFromFile(icon, 48));
    EXPECT_FALSE(PreviewRedrawnFromFile(icon, kItemIconPixels));
    EXPECT_FALSE(PreviewRedrawnFromFile(PlanForIconFile("C:\\Pics\\a.ico", 0), 64));
    IconPlan stock;
    stock.kind = IconPlan::Kind::Stock;
    EXPECT_FALSE(PreviewRedrawnFromFile(stock, 64));
}

TEST(IconRules, FilePlansByExtension) {
    using K = IconPlan::Kind;
    struct Case {
        const char* path;
        K kind;
    } cases[] = {
        {"C:\\a\\prog.EXE", K::ExtractIcon},
        {"x.dll", K::ExtractIcon},
        {"x.ocx", K::ExtractIcon},
        {"pic.BMP", K::PictureFile},
        {"pic.ico", K::PictureFile},
        {"pic.gif", K::PictureFile},
        {"pic.jpg", K::PictureFile},
        {"pic.cur", K::PictureFile},
        {"pic.png", K::Empty},
        {"doc.txt", K::Empty},
        {"exe", K::Empty},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlanForIconFile(c.path, 3).kind, c.kind) << c.path;
    IconPlan p = PlanForIconFile("C:\\prog.exe", -1);
    EXPECT_EQ(p.file, "C:\\prog.exe");
    EXPECT_EQ(p.index, -1);
}

class RegisteredIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        reg.SetString(RegRoot::ClassesRoot, ".txt", "", "txtfile");
        reg.SetString(RegRoot::ClassesRoot, "txtfile\\DefaultIcon", "", "C:\\Windows\\notepad.exe,2");
        reg.SetString(RegRoot::ClassesRoot, "txtfile\\shell\\open", "", "打开(&O)");
        reg.SetString(RegRoot::ClassesRoot, "txtfile\\shell\\print\\command", "", "notepad /p %1");
        reg.SetString(RegRoot::ClassesRoot, ".bare", "", "barefile");
        reg.SetString(RegRoot::ClassesRoot, "barefile\\DefaultIcon", "", "C:\\Icons\\bare.ico");
    }
    FakeRegistry reg;
};

TEST_F(RegisteredIconTest, ReadsIconAndVerbs) {
    RegisteredIcon r = LookUpRegisteredIcon(reg, "D:\\notes\\todo.txt");
    EXPECT_EQ(r.ext, ".txt");
    ASSERT_TRUE(r.icon);
    EXPECT_EQ(r.icon->file, "C:\\Windows\\notepad.exe");
    EXPECT_EQ(r.icon->index, 2);
    EXPECT_EQ(r.verbs, (std::vector<std::string>{"open", "print"}));
    // A verb without a caption of its own shows its name.
    EXPECT_EQ(r.verbCaptions, (std::vector<std::string>{"打开(&O)", "print"}));
}

TEST_F(RegisteredIconTest, MissingPiecesGiveNoIcon) {
    EXPECT_FALSE(LookUpRegisteredIcon(reg, "D:\\x.bare").icon);     // DefaultIcon without index
    EXPECT_FALSE(LookUpRegisteredIcon(reg, "D:\\x.unknown").icon);  // no progid
    RegisteredIcon none = LookUpRegisteredIcon(reg, "D:\\x.y\\README");
    EXPECT_TRUE(none.ext.empty());
    EXPECT_TRUE(none.verbs.empty());
}

}  // namespace
}  // namespace vt
