#include "common/codepage.h"

#include <gtest/gtest.h>

#include "common/ini.h"
#include "tests/unit/common/codepage_scope.h"
#include "tests/unit/temp_dir.h"

namespace vt {
namespace {

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

class CodePageRules : public ::testing::TestWithParam<CodePageCase> {
protected:
    CodePageScope scope{GetParam().iconvName};
};

TEST_P(CodePageRules, CuttingAtNBytesKeepsWholeCharacters) {
    const CodePageCase& cp = GetParam();
    EXPECT_EQ(CurrentAnsiKind(), cp.kind);
    // With one ASCII byte in front, a multi-byte character straddles every
    // limit that is not a multiple of its size.
    const std::string text = "x" + Repeat(cp.wide, 300);
    const std::string ansi = Utf8ToAnsi(text);
    ASSERT_EQ(ansi.size(), 1 + 300 * cp.wideBytes);
    for (size_t limit :
         {size_t{0}, size_t{1}, size_t{2}, size_t{3}, size_t{4}, size_t{100}, size_t{253}, size_t{254}}) {
        SCOPED_TRACE(limit);
        const std::string_view cut = CutAnsi(ansi, limit);
        const size_t whole = limit == 0 ? 0 : (limit - 1) / cp.wideBytes;
        EXPECT_EQ(cut.size(), limit == 0 ? 0 : 1 + whole * cp.wideBytes);
        EXPECT_EQ(AnsiToUtf8(cut), limit == 0 ? "" : "x" + Repeat(cp.wide, static_cast<int>(whole)));
    }
    EXPECT_EQ(CutAnsi(ansi, ansi.size() + 5), ansi);
    EXPECT_EQ(FitAnsiBytes(text, 254), "x" + Repeat(cp.wide, static_cast<int>(253 / cp.wideBytes)));
    EXPECT_EQ(AnsiByteCount(text), ansi.size());
}

TEST_P(CodePageRules, ProfileValueReadsBackAsItsFirstWholeCharacters) {
    // The profile reader's 254-byte limit goes through the same rule.
    TempDir dir;
    const std::string file = dir.File("cut.ini");
    const std::string& wide = GetParam().wide;
    ASSERT_TRUE(WriteIniString(file, "S", "Odd", "x" + Repeat(wide, 300)));
    ASSERT_TRUE(WriteIniString(file, "S", "Even", Repeat(wide, 300)));
    FlushIniCache();
    const size_t n = GetParam().wideBytes;
    EXPECT_EQ(ReadIniString(file, "S", "Odd", ""), "x" + Repeat(wide, static_cast<int>(253 / n)));
    EXPECT_EQ(ReadIniString(file, "S", "Even", ""), Repeat(wide, static_cast<int>(254 / n)));
}

TEST_P(CodePageRules, UnstorableCharactersAreNamedOnceEach) {
    const CodePageCase& cp = GetParam();
    EXPECT_EQ(UnstorableChars("C:\\plain\\ascii.exe"), "");
    EXPECT_EQ(UnstorableChars(std::string("a") + cp.wide + "b"), "");
    const std::string mixed = std::string("a") + cp.wide + "😀b😀" + cp.wide;
    if (cp.missing) {
        const std::string text = std::string(cp.missing) + mixed + cp.missing;
        EXPECT_EQ(UnstorableChars(text), std::string(cp.missing) + "😀");
    } else {
        EXPECT_EQ(UnstorableChars(mixed), "");  // UTF-8 holds every character
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, CodePageRules, ::testing::ValuesIn(kCodePageCases), CodePageCaseName);

TEST(CodePage, DoubleByteWalkTellsLeadFromTrail) {
    CodePageScope gbk("GBK");
    // Every trail byte here is also a lead byte: only a walk from the start
    // knows which is which.
    const std::string ansi = Utf8ToAnsi("汉字汉字");  // B A BA D7 D6 BA BA D7 D6
    EXPECT_EQ(CutAnsi(ansi, 3), ansi.substr(0, 2));
    EXPECT_EQ(CutAnsi(ansi, 5), ansi.substr(0, 4));
    // GB18030's four-byte form is one character; a lone lead byte at the end
    // counts by itself.
    const std::string four = "\x81\x30\x81\x30z";
    EXPECT_EQ(AnsiCharLength(four, 0), 4u);
    EXPECT_EQ(CutAnsi(four, 3), "");
    EXPECT_EQ(AnsiCharLength("a\x81", 1), 1u);
}

TEST(CodePage, Utf8WalkNeverEntersASequence) {
    CodePageScope utf8("UTF-8");
    const std::string text = "a😀é汉";  // 1 + 4 + 2 + 3 bytes
    EXPECT_EQ(CutAnsi(text, 4), "a");
    EXPECT_EQ(CutAnsi(text, 5), "a😀");
    EXPECT_EQ(CutAnsi(text, 8), "a😀é");
    EXPECT_EQ(CutAnsi(text, 9), "a😀é");
    // Broken sequences move on byte by byte instead of swallowing what follows.
    EXPECT_EQ(AnsiCharLength("\xE6\x41", 0), 1u);
    EXPECT_EQ(AnsiCharLength("\xF0\x9F", 0), 1u);
    EXPECT_FALSE(IsAnsiLeadByte(0xE6));
}

TEST(CodePage, PathFallsBackOnAShortNameThatCanBeStored) {
    CodePageScope gbk("GBK");
    const std::string korean = "C:\\자료\\보고서.doc";
    auto shortOf = [](std::string result) { return [result](const std::string&) { return result; }; };

    StorablePath plain = MakeStorablePath("C:\\工具\\编辑.exe", shortOf("never asked"));
    EXPECT_TRUE(plain.ok());
    EXPECT_EQ(plain.text, "C:\\工具\\编辑.exe");

    StorablePath viaShort = MakeStorablePath(korean, shortOf("C:\\F3A1~1\\B2C4~1.DOC"));
    EXPECT_TRUE(viaShort.ok());
    EXPECT_EQ(viaShort.text, "C:\\F3A1~1\\B2C4~1.DOC");

    // No short name (the volume keeps none), or one that still holds a
    // character the code page lacks: the characters are named.
    for (const ShortPathFn& fn :
         {ShortPathFn(), ShortPathFn(shortOf("")), ShortPathFn(shortOf("C:\\자료\\B2C4~1.DOC"))}) {
        StorablePath refused = MakeStorablePath(korean, fn);
        EXPECT_FALSE(refused.ok());
        EXPECT_EQ(refused.text, "");
        EXPECT_EQ(refused.unstorable, "자료보고서");
    }
    // Linux file systems keep no short names.
    EXPECT_EQ(ShortPathName("/tmp"), "");
}

}  // namespace
}  // namespace vt
