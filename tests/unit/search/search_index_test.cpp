#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/search/pinyin.h"
#include "launcher/search/search_index.h"

using namespace vt;

namespace {

std::optional<MatchKind> Match(const std::string& name, const std::string& query, const std::string& file = "") {
    return MatchItem(name, file, query);
}

std::vector<std::string> Readings(char32_t c) {
    std::vector<std::string> out;
    for (uint16_t s : PinyinReadings(c))
        out.emplace_back(PinyinSyllable(s));
    return out;
}

SearchItemInput Item(int index, std::string name, std::string path = "", uint32_t launches = 0, int64_t last = 0) {
    SearchItemInput in;
    in.index = index;
    in.name = std::move(name);
    in.path = std::move(path);
    in.launches = launches;
    in.lastLaunch = last;
    return in;
}

std::vector<std::string> Names(const SearchIndex& index, const std::vector<SearchHit>& hits) {
    std::vector<std::string> out;
    for (const SearchHit& h : hits)
        out.emplace_back(index.ItemName(h.team, h.item));
    return out;
}

}  // namespace

TEST(PinyinTable, HoldsEveryReadingWithoutTones) {
    EXPECT_EQ(Readings(U'记'), (std::vector<std::string>{"ji"}));
    EXPECT_EQ(Readings(U'行'), (std::vector<std::string>{"xing", "hang", "heng"}));
    EXPECT_EQ(Readings(U'重'), (std::vector<std::string>{"zhong", "chong", "tong"}));
    EXPECT_EQ(Readings(U'乐'), (std::vector<std::string>{"le", "yue"}));
    EXPECT_EQ(Readings(U'绿'), (std::vector<std::string>{"lv", "lu"}));
    EXPECT_EQ(Readings(U'嗯').front(), "n");
    // Not Chinese, or not in GBK: nothing.
    EXPECT_TRUE(Readings(U'a').empty());
    EXPECT_TRUE(Readings(U'。').empty());
    EXPECT_TRUE(Readings(0x20000).empty());
    EXPECT_TRUE(PinyinSyllable(60000).empty());
}

TEST(SearchMatch, PinyinByFullSyllablesInitialsAndPrefixes) {
    for (const char* q : {"jishiben", "jsb", "jisb", "jshib", "JSB", "jish", "j", "ji s b"})
        EXPECT_TRUE(Match("记事本", q)) << q;
    EXPECT_EQ(Match("记事本", "jsb"), MatchKind::InitialsPrefix);
    EXPECT_EQ(Match("记事本", "jishiben"), MatchKind::PinyinPrefix);
    EXPECT_EQ(Match("记事本", "shib"), MatchKind::PinyinContains);
    EXPECT_EQ(Match("记事本", "sb"), MatchKind::PinyinContains);
    // In order, whole characters: no skipping, no reordering, no letters past a syllable.
    for (const char* q : {"jb", "sjb", "jishibenx", "jix", "ib", "jsbb"})
        EXPECT_FALSE(Match("记事本", q)) << q;
}

TEST(SearchMatch, EveryReadingOfPolyphonicCharacters) {
    EXPECT_TRUE(Match("银行", "yinhang"));
    EXPECT_TRUE(Match("银行", "yinxing"));
    EXPECT_TRUE(Match("重启", "chongqi"));
    EXPECT_TRUE(Match("重启", "zhongqi"));
    EXPECT_TRUE(Match("重启", "zhq"));
    EXPECT_TRUE(Match("QQ音乐", "qqyinyue"));
    EXPECT_TRUE(Match("QQ音乐", "qqyy"));
    EXPECT_TRUE(Match("快乐", "kuaile"));
    EXPECT_EQ(Match("绿色软件", "lvse"), MatchKind::PinyinPrefix);
    EXPECT_EQ(Match("绿色软件", "lsrj"), MatchKind::InitialsPrefix);
    EXPECT_FALSE(Match("女", "nu"));  // nü is typed "nv"
    EXPECT_TRUE(Match("女", "nv"));
    EXPECT_TRUE(Match("女", "nü"));
    EXPECT_EQ(Match("Müller", "MÜ"), MatchKind::NamePrefix);
}

TEST(SearchMatch, LatinWordsAndMixedNames) {
    EXPECT_EQ(Match("Photo Shop", "ps"), MatchKind::InitialsPrefix);
    EXPECT_EQ(Match("PhotoShop", "ps"), MatchKind::InitialsPrefix);
    EXPECT_EQ(Match("PDFReader", "pr"), MatchKind::InitialsPrefix);
    EXPECT_EQ(Match("Photo Shop", "phsh"), MatchKind::PinyinPrefix);
    EXPECT_EQ(Match("Adobe Photo Shop", "ps"), MatchKind::PinyinContains);
    EXPECT_EQ(Match("7-Zip 文件管理器", "7zwjglq"), MatchKind::InitialsPrefix);
    EXPECT_EQ(Match("微信-PC版", "wxpb"), MatchKind::InitialsPrefix);
    EXPECT_EQ(Match("微信-PC版", "wxpcb"), MatchKind::PinyinPrefix);
    EXPECT_EQ(Match("腾讯QQ", "txqq"), MatchKind::PinyinPrefix);
    // Chinese typed next to pinyin: each character is itself or its pinyin.
    EXPECT_EQ(Match("记事本", "记sb"), MatchKind::InitialsPrefix);
    EXPECT_EQ(Match("记事本", "jishi本"), MatchKind::PinyinPrefix);
    EXPECT_FALSE(Match("记事本", "记b"));
}

TEST(SearchMatch, PlainTextAndItsKinds) {
    EXPECT_EQ(Match("记事本", "记事本"), MatchKind::Exact);
    EXPECT_EQ(Match("Notepad++", "NOTEPAD++"), MatchKind::Exact);
    EXPECT_EQ(Match("记事本", "记事"), MatchKind::NamePrefix);
    EXPECT_EQ(Match("Windows 记事本", "记事"), MatchKind::NameContains);
    EXPECT_EQ(Match("记事本", "  记事本  "), MatchKind::Exact);
    // Full-width letters as typed in a Chinese input method's full-width mode.
    EXPECT_EQ(Match("Word", "ｗｏｒｄ"), MatchKind::Exact);
    EXPECT_EQ(Match("记事本", "notepad", "notepad.exe"), MatchKind::FileName);
    EXPECT_EQ(Match("记事本", "NOTEPAD.EXE", "notepad.exe"), MatchKind::FileName);
    EXPECT_FALSE(Match("记事本", "exe", "notepad.exe"));
    EXPECT_FALSE(Match("记事本", "notepad"));
    EXPECT_FALSE(Match("记事本", ""));
    EXPECT_FALSE(Match("记事本", "   "));
    EXPECT_EQ(PathFileName("C:\\Windows\\notepad.exe"), "notepad.exe");
    EXPECT_EQ(PathFileName("https://example.com/tools/"), "tools");
    EXPECT_EQ(PathFileName("notepad"), "notepad");
}

TEST(SearchMatch, InvalidUtf8NeverFails) {
    const std::string bad[] = {"\xff",         "\xe8\xae",         "\xe8\xae\xb0\xff\xe4", "\xc0\x80",
                               "\xed\xa0\x80", "\xf4\x90\x80\x80", std::string("a\0b", 3)};
    for (const std::string& name : bad) {
        for (const std::string& query : bad)
            (void)Match(name, query, name);
        (void)Match(name, "jsb", name);
        (void)Match("记事本", name, name);
    }
    // A very long name of bad bytes (each folds to three) is cut, not overrun.
    SearchIndex index;
    index.SetTeam({0, "A", false, {Item(0, std::string(10000, '\xff') + "记事本", std::string(70000, 'x'))}});
    EXPECT_TRUE(Search(index, "jsb").empty());
    EXPECT_EQ(Search(index, "\xff").size(), 1u);
    // Bytes around the bad ones still count.
    EXPECT_EQ(Match("\xff记事本", "jsb"), MatchKind::InitialsPrefix);
    EXPECT_EQ(Match("ab\xff"
                    "cd",
                    "cd"),
              MatchKind::NameContains);
}

TEST(SearchMatch, MarksWhatMatched) {
    using Ranges = std::vector<std::pair<size_t, size_t>>;
    EXPECT_EQ(MatchedRanges("记事本", "jsb"), (Ranges{{0, 9}}));
    EXPECT_EQ(MatchedRanges("记事本", "jis"), (Ranges{{0, 6}}));
    EXPECT_EQ(MatchedRanges("Windows 记事本", "记事"), (Ranges{{8, 14}}));
    EXPECT_EQ(MatchedRanges("Windows 记事本", "shib"), (Ranges{{11, 17}}));
    EXPECT_EQ(MatchedRanges("Photo Shop", "phsh"), (Ranges{{0, 2}, {6, 8}}));
    EXPECT_EQ(MatchedRanges("Adobe Photo Shop", "ps"), (Ranges{{6, 7}, {12, 13}}));
    EXPECT_EQ(MatchedRanges("ｗｏｒｄ", "WO"), (Ranges{{0, 6}}));
    EXPECT_EQ(MatchedRanges("QQ音乐", "qqyy"), (Ranges{{0, 8}}));
    EXPECT_TRUE(MatchedRanges("记事本", "notepad").empty());
    EXPECT_TRUE(MatchedRanges("\xff\xfe", "\xff").size() == 1);
}

TEST(SearchIndexTest, ProtectedTeamsAreNeverFound) {
    SearchIndex index;
    index.SetTeam({0, "常用", false, {Item(0, "记事本", "C:\\Windows\\notepad.exe")}});
    index.SetTeam({1, "私密", true, {Item(0, "记事本私密版")}});
    SearchItemInput locked = Item(1, "计算器", "C:\\Windows\\calc.exe");
    locked.password = true;
    index.SetTeam({2, "工具", false, {locked}});
    EXPECT_EQ(Names(index, Search(index, "jsb")), (std::vector<std::string>{"记事本"}));
    EXPECT_EQ(Names(index, Search(index, "记事本")), (std::vector<std::string>{"记事本"}));
    EXPECT_FALSE(index.HasTeam(1));
    // A protected item is found by its name but never by its path.
    EXPECT_EQ(Names(index, Search(index, "jsq")), (std::vector<std::string>{"计算器"}));
    EXPECT_TRUE(Search(index, "calc").empty());
    EXPECT_EQ(Names(index, Search(index, "notepad")), (std::vector<std::string>{"记事本"}));
    // A team that gets a password loses what the index held of it.
    index.SetTeam({0, "常用", true, {Item(0, "记事本")}});
    EXPECT_TRUE(Search(index, "jsb").empty());
}

TEST(SearchIndexTest, RanksByKindThenLaunchesThenRecency) {
    SearchIndex index;
    index.SetTeam(
        {0,
         "A",
         false,
         {Item(0, "网页浏览器jsb"), Item(1, "计算机设备"), Item(2, "jsb"), Item(3, "jsb工具"), Item(4, "记事本"),
          Item(5, "极速版", "", 9, 100), Item(6, "JiShiBen工具"), Item(7, "加速包", "", 9, 200)}});
    EXPECT_EQ(Names(index, Search(index, "jsb")),
              (std::vector<std::string>{"jsb", "jsb工具", "加速包", "极速版", "记事本", "JiShiBen工具", "网页浏览器jsb",
                                        "计算机设备"}));
    // Within one group launches decide, then the later launch.
    index.SetTeam({1, "B", false, {Item(0, "记事本", "", 3, 50), Item(1, "记事本", "", 3, 60)}});
    const std::vector<SearchHit> hits = Search(index, "记事本");
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[0].team, 1);
    EXPECT_EQ(hits[0].item, 1);
    EXPECT_EQ(hits[1].item, 0);
    EXPECT_EQ(hits[2].team, 0);
    index.NoteLaunch(0, 4, 70);
    index.NoteLaunch(0, 4, 71);
    index.NoteLaunch(0, 4, 72);
    index.NoteLaunch(0, 4, 73);
    EXPECT_EQ(Search(index, "记事本").front().team, 0);
}

TEST(SearchIndexTest, TypingNarrowsAndBackspaceReturns) {
    SearchIndex index;
    index.SetTeam({0, "A", false, {Item(0, "记事本"), Item(1, "计算器"), Item(2, "Java"), Item(3, "画图")}});
    IncrementalSearch search;
    EXPECT_EQ(search.Update(index, "j").size(), 3u);
    EXPECT_EQ(Names(index, search.Update(index, "js")), (std::vector<std::string>{"记事本", "计算器"}));
    EXPECT_EQ(Names(index, search.Update(index, "jsb")), (std::vector<std::string>{"记事本"}));
    EXPECT_EQ(search.Update(index, "js").size(), 2u);
    EXPECT_EQ(search.Update(index, "jq").size(), 0u);
    EXPECT_EQ(search.Update(index, "").size(), 0u);
    EXPECT_EQ(search.Update(index, "ht").size(), 1u);
    // A change of the index is seen at the next key, not hidden by kept results.
    index.SetTeam({1, "B", false, {Item(0, "火头")}});
    EXPECT_EQ(search.Update(index, "ht").size(), 2u);
    index.SwapTeams(0, 1);
    EXPECT_EQ(search.Update(index, "ht")[0].team, 0);
    index.EraseTeam(0);
    EXPECT_EQ(Names(index, search.Update(index, "ht")), (std::vector<std::string>{"画图"}));
    EXPECT_EQ(search.Hits()[0].team, 0);
    index.KeepTeams(0);
    EXPECT_TRUE(search.Update(index, "ht").empty());
}

TEST(SearchIndexTest, PunctuationFirstStillFindsByPinyinLater) {
    SearchIndex index;
    index.SetTeam({0, "A", false, {Item(0, "画图")}});
    IncrementalSearch search;
    // "-" alone gives pinyin nothing; "-h" must not be narrowed from its empty result.
    EXPECT_TRUE(search.Update(index, "-").empty());
    EXPECT_EQ(search.Update(index, "-h").size(), 1u);
    EXPECT_EQ(search.Update(index, "-ht").size(), 1u);
}
