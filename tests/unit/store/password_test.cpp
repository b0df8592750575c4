#include <gtest/gtest.h>

#include <string>

#include "launcher/store/password.h"

using namespace vt;

namespace {

int CountNumbers(const std::string& stored) {
    int n = 0;
    for (char c : stored)
        n += c == '|';
    return stored.empty() || stored[0] != '|' ? n : n - 1;
}

}  // namespace

TEST(Password, RoundTripsTextsOfEveryShape) {
    struct Case {
        const char* text;
        const char* key;
    } cases[] = {
        {"abc", "k"},                                // odd length, key shorter
        {"abcd", "key"},                             // even length, key wraps
        {"a", "a much longer key"},                  // key longer than text
        {"C:\\Program Files\\Tool\\run.exe", "pw"},  // path characters
        {"中文测试", "密码"},                        // double-byte text and key
        {"混合mixed文本", "p"},                      // mixed widths
        {"7Q2K9ZB0XA", "中"},                        // folder name, Chinese key
        {"啊啊啊", "啊"},                            // sums beyond 16 bits at odd positions
        {"齐|分隔", "x|y"},                          // the separator inside text and key
    };
    for (const Case& c : cases) {
        std::string stored = EncodePassword(c.text, c.key);
        EXPECT_NE(stored, c.text) << c.text;
        EXPECT_EQ(DecodePassword(stored, c.key), c.text) << c.text << " / " << c.key << " -> " << stored;
    }
}

TEST(Password, StoredFormIsExact) {
    // 'a'+'x'+10 at position 1, 'b'-'y'+10 at position 2, last key position 2.
    EXPECT_EQ(EncodePassword("ab", "xy"), "2|-13|227|");
    // Odd length: leading bar, key wraps back to position 1.
    EXPECT_EQ(EncodePassword("abc", "x"), "|1|229|-12|227|");
    // One character: a leading bar and exactly two numbers.
    std::string one = EncodePassword("A", "B");
    EXPECT_EQ(one, "|1|141|");
    EXPECT_EQ(CountNumbers(EncodePassword("Z", "密码")), 2);
    // GBK "中" is D6 D0, read as a signed 16-bit code -10544.
    EXPECT_EQ(EncodePassword("中", "a"), "|1|-10437|");
    // Beyond 16 bits the true value is written: "啊" is B0 A1 = -20319.
    EXPECT_EQ(EncodePassword("啊", "啊"), "|1|-40628|");
}

TEST(Password, EmptyKeyAndPlainNames) {
    EXPECT_EQ(EncodePassword("7Q2K9ZB0XA", ""), "7Q2K9ZB0XA");
    EXPECT_EQ(DecodePassword("2|-13|227|", ""), "2|-13|227|");
    EXPECT_EQ(DecodePassword("7Q2K9ZB0XA", "secret"), "");
    // An empty text stays empty, so a protected item without parameters stores no line;
    // the scrambled form of nothing that older writers produced still reads as nothing.
    EXPECT_EQ(EncodePassword("", "k"), "");
    EXPECT_EQ(DecodePassword("1|", "k"), "");
    EXPECT_EQ(DecodePassword("", "k"), "");
}

TEST(Password, WrongKeyGivesOtherText) {
    std::string stored = EncodePassword("7Q2K9ZB0XA", "right");
    EXPECT_NE(DecodePassword(stored, "wrong"), "7Q2K9ZB0XA");
    EXPECT_NE(DecodePassword(stored, "righ"), "7Q2K9ZB0XA");
}

TEST(Password, HandEditedKeyPositionWrapsIntoTheKey) {
    // Positions 0 and 4 name the same key character as 2 in a two-character key.
    EXPECT_EQ(DecodePassword("0|-13|227|", "xy"), "ab");
    EXPECT_EQ(DecodePassword("4|-13|227|", "xy"), "ab");
    EXPECT_EQ(DecodePassword("-2|-13|227|", "xy"), "ab");
}

TEST(Password, GarbageNeverFails) {
    const char* garbage[] = {
        "|",
        "||||",
        "abc|def|",
        "99999999999999999999999999|5|",
        "1|-99999999999999999999999|",
        "1|1e5|x|",
        "|2|  7|+8|",
        "-|--|",
        "1|0|",
        "1|65546|",
        "|1|-32778|",
        "trailing|text",
    };
    for (const char* g : garbage) {
        std::string out = DecodePassword(g, "密钥k");
        (void)out;
        std::string out2 = DecodePassword(g, "z");
        (void)out2;
    }
    // A zero code decodes to a NUL byte, which must not cut the result.
    EXPECT_EQ(DecodePassword("1|-87|", "a").size(), 1u);  // 97 + (-87) - 10 = 0
}
