// Our profile engine against kernel32's profile functions, on the same files:
// the same reads must give the same answers, and the same write sequences
// must leave files that read the same and hold the same lines.
//
// Wine rewrites a whole profile file on every write (blank lines dropped,
// blanks around "=" removed), where Windows and our engine touch only the
// changed line; files are therefore compared after normalising those two
// things. Known differences are listed in kKnownDifferences with the reason.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "common/codepage.h"
#include "common/ini.h"
#include "platform/win32/win_text.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

// ---- Files ------------------------------------------------------------------

class Folder {
public:
    std::string File(const std::string& name) const { return PathToUtf8(dir_.Path()) + "\\" + name; }

private:
    harness::TempDir dir_{"vt-inidiff-"};
};

void WriteBytes(const std::string& file, const std::string& bytes) {
    std::ofstream out(PathFromUtf8(file), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string ReadBytes(const std::string& file) {
    std::ifstream in(PathFromUtf8(file), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string TrimBlanks(std::string_view s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    size_t e = s.find_last_not_of(" \t");
    return std::string(s.substr(b, e - b + 1));
}

// Lines of a profile file as Wine would write them: no blank lines, no blanks
// around the first "=" of a key line or inside a section's brackets, no blanks
// at either end.
std::vector<std::string> Normalised(const std::string& bytes) {
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos <= bytes.size()) {
        size_t nl = bytes.find('\n', pos);
        std::string line = bytes.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        pos = nl == std::string::npos ? bytes.size() + 1 : nl + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        line = TrimBlanks(line);
        if (line.empty()) continue;
        size_t eq = line.find('=');
        if (line.front() == '[' && line.back() == ']')
            line = "[" + TrimBlanks(line.substr(1, line.size() - 2)) + "]";
        else if (eq != std::string::npos)
            line = TrimBlanks(line.substr(0, eq)) + "=" + TrimBlanks(line.substr(eq + 1));
        out.push_back(line);
    }
    return out;
}

// ---- kernel32, the way the launcher has always called it -------------------

// The profile function's answer as it is: it trims blanks around a value
// itself and keeps those inside quotes, and so does ReadIniString.
std::string K32Raw(const std::string& file, const std::string& sec, const std::string& key, const std::string& def) {
    char buf[255] = {};
    GetPrivateProfileStringA(Utf8ToAnsi(sec).c_str(), Utf8ToAnsi(key).c_str(), Utf8ToAnsi(def).c_str(), buf,
                             sizeof(buf), Utf8ToAnsi(file).c_str());
    return AnsiToUtf8(buf);
}

// With the blanks a default keeps trimmed, as ReadIniString returns defaults.
std::string K32String(const std::string& file, const std::string& sec, const std::string& key, const std::string& def) {
    return AnsiToUtf8(TrimBlanks(Utf8ToAnsi(K32Raw(file, sec, key, def))));
}

int K32Int(const std::string& file, const std::string& sec, const std::string& key, int def) {
    return static_cast<int>(
        GetPrivateProfileIntA(Utf8ToAnsi(sec).c_str(), Utf8ToAnsi(key).c_str(), def, Utf8ToAnsi(file).c_str()));
}

void K32Flush(const std::string& file) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, Utf8ToAnsi(file).c_str());
}

// ---- Corpus -------------------------------------------------------------------

struct Sample {
    const char* name;
    std::string bytes;  // ANSI (GBK) bytes
};

std::string Gbk(const std::string& utf8) {
    return Utf8ToAnsi(utf8);
}

std::vector<Sample> Corpus() {
    std::string longValue(300, 'L');
    std::string longGbk;
    while (longGbk.size() < 300)
        longGbk += Gbk("中文");
    // 253 ASCII bytes, then a double-byte character across the 254 limit.
    std::string straddle = std::string(253, 'a') + Gbk("汉字");
    return {
        {"plain", "[TEAM]\r\nCount=2\r\n[0]\r\nName=Tools\r\nNote=n0\r\nPath=ABCDEFGHIJ\r\nPassword=False\r\n"},
        {"lf only", "[TEAM]\nCount=3\n[0]\nName=lf\n"},
        {"no final newline", "[TEAM]\r\nCount=4"},
        {"mixed case", "[Team]\r\ncOUNT=5\r\n[iTeM]\r\nname=x\r\n"},
        {"spaced names", "  [ TEAM ]  \r\n  Count  =  6  \r\n[0]\r\n Name = spaced value \r\n"},
        {"quotes", "[Q]\r\nA=\"quoted\"\r\nB='single'\r\nC=\"open\r\nD=\"\"\r\nE=\" inner \"\r\nF=\"a\"b\"\r\n"},
        {"comments", "; comment\r\n[TEAM]\r\n;Count=9\r\nCount=7\r\n# hash=1\r\n[0]\r\n;Name=hidden\r\nName=shown\r\n"},
        {"duplicate sections",
         "[TEAM]\r\nCount=1\r\n[0]\r\nName=first\r\n[TEAM]\r\nCount=2\r\nExtra=e\r\n[0]\r\nNote=second\r\n"},
        {"duplicate keys", "[TEAM]\r\nCount=1\r\nCount=2\r\ncount=3\r\n"},
        {"empty values", "[TEAM]\r\nCount=\r\n[0]\r\nName=\r\nNote=   \r\n"},
        {"no equals", "[TEAM]\r\nCount\r\nName\r\njunk line here\r\n[0]\r\n=novalue\r\nName=after\r\n"},
        {"keys before any section", "Count=8\r\nName=top\r\n[TEAM]\r\nCount=9\r\n"},
        {"odd headers", "[TEAM\r\nCount=1\r\n[]\r\nName=empty section\r\n[0] trailing\r\nName=t\r\n[[x]]\r\nK=v\r\n"},
        {"blank lines", "\r\n\r\n[TEAM]\r\n\r\nCount=10\r\n\r\n\r\n[0]\r\n\r\nName=b\r\n\r\n"},
        {"long values", "[L]\r\nLong=" + longValue + "\r\nGbk=" + longGbk + "\r\nStraddle=" + straddle + "\r\n"},
        {"gbk text", Gbk("[类别]\r\n名称=工具箱\r\n[0]\r\nName=系统工具\r\nNote=常用 程序\r\n")},
        {"numbers",
         "[N]\r\nA=12abc\r\nB=-5\r\nC=+7\r\nD=0x10\r\nE=abc\r\nF=4294967295\r\nG=99999999999\r\nH= 42 \r\n"
         "I=-0\r\nJ=2147483648\r\nK=\"13\"\r\nL=1 2\r\n"},
        {"tabs", "[T]\r\n\tKey\t=\tvalue\t\r\n"},
        {"empty file", ""},
    };
}

const std::vector<std::string> kSections = {"TEAM", "team", " TEAM ", "0",   "ITEM", "Q",           "L",      "N",
                                            "T",    "类别", "",       "[x]", "[x",   "0] trailing", "Missing"};
const std::vector<std::string> kKeys = {"Count", "count", "Name",     "Note",   "Path",  "Password", "Extra",
                                        "Long",  "Gbk",   "Straddle", "名称",   "A",     "B",        "C",
                                        "D",     "E",     "F",        "G",      "H",     "I",        "J",
                                        "K",     "L",     "Key",      ";Count", ";Name", "# hash",   "junk line here",
                                        "",      " Name", "Missing"};

// Reads where kernel32 (as Wine implements it) and our engine are known to
// answer differently, with the reason. A null key stands for every key.
struct KnownDifference {
    const char* sample;
    const char* section;
    const char* key;
    const char* reason;
};
const KnownDifference kKnownDifferences[] = {
    {"keys before any section", "", nullptr,
     "Wine files keys above the first header under a nameless section; our engine ignores them, as nothing "
     "the launcher writes has such lines and no caller reads a nameless section"},
    {"odd headers", "", nullptr,
     "Wine drops a header without ']' and files the keys below it under the nameless section, which also "
     "hides the later '[]' section; our engine keeps both out of reach of any real section name"},
};

bool IsKnown(const std::string& sample, const std::string& sec, const std::string& key) {
    for (const KnownDifference& k : kKnownDifferences)
        if (sample == k.sample && sec == k.section && (!k.key || key == k.key)) return true;
    return false;
}

TEST(IniDiff, ReadsAgreeOnEveryCorpusFile) {
    Folder dir;
    int compared = 0;
    for (const Sample& s : Corpus()) {
        std::string file = dir.File(std::string("r") + std::to_string(compared) + ".ini");
        WriteBytes(file, s.bytes);
        K32Flush(file);
        FlushIniCache();
        for (const std::string& sec : kSections) {
            for (const std::string& key : kKeys) {
                if (IsKnown(s.name, sec, key)) continue;
                SCOPED_TRACE(std::string(s.name) + " [" + sec + "] " + key);
                EXPECT_EQ(ReadIniString(file, sec, key, "dflt"), K32Raw(file, sec, key, "dflt"));
                EXPECT_EQ(ReadIniString(file, sec, key, ""), K32Raw(file, sec, key, ""));
                EXPECT_EQ(ReadIniInt(file, sec, key, -77), K32Int(file, sec, key, -77));
                ++compared;
            }
        }
        // Reading never changes the file.
        EXPECT_EQ(ReadBytes(file), s.bytes) << s.name;
    }
    EXPECT_GT(compared, 1000);
}

TEST(IniDiff, DefaultsAgree) {
    Folder dir;
    std::string file = dir.File("defaults.ini");
    std::string missing = dir.File("no such file.ini");
    // Wine also strips quotes around a default ("\"q\"" gives q); our engine
    // returns a default as given. No caller passes a quoted default.
    const std::string defaults[] = {"", "x", "  padded  ", std::string(300, 'd'), "默认值"};
    for (const std::string& f : {file, missing}) {
        WriteBytes(file, "[S]\r\nK=v\r\n");
        for (const std::string& d : defaults) {
            SCOPED_TRACE(f + " default '" + d + "'");
            EXPECT_EQ(ReadIniString(f, "S", "Missing", d), K32String(f, "S", "Missing", d));
            EXPECT_EQ(ReadIniString(f, "Missing", "K", d), K32String(f, "Missing", "K", d));
        }
        EXPECT_EQ(ReadIniInt(f, "S", "Missing", 12), K32Int(f, "S", "Missing", 12));
        EXPECT_EQ(ReadIniInt(f, "S", "Missing", -1), K32Int(f, "S", "Missing", -1));
    }
}

// ---- Write sequences --------------------------------------------------------

struct Op {
    enum Kind { Write, DeleteKey, DeleteSection } kind;
    std::string section, key, value;
};

Op W(std::string s, std::string k, std::string v) {
    return {Op::Write, std::move(s), std::move(k), std::move(v)};
}
Op DK(std::string s, std::string k) {
    return {Op::DeleteKey, std::move(s), std::move(k), {}};
}
Op DS(std::string s) {
    return {Op::DeleteSection, std::move(s), {}, {}};
}

void ApplyOurs(const std::string& file, const Op& op) {
    switch (op.kind) {
        case Op::Write:
            EXPECT_TRUE(WriteIniString(file, op.section, op.key, op.value));
            break;
        case Op::DeleteKey:
            EXPECT_TRUE(DeleteIniKey(file, op.section, op.key));
            break;
        case Op::DeleteSection:
            EXPECT_TRUE(DeleteIniSection(file, op.section));
            break;
    }
}

void ApplyK32(const std::string& file, const Op& op) {
    std::string f = Utf8ToAnsi(file), s = Utf8ToAnsi(op.section), k = Utf8ToAnsi(op.key), v = Utf8ToAnsi(op.value);
    switch (op.kind) {
        case Op::Write:
            WritePrivateProfileStringA(s.c_str(), k.c_str(), v.c_str(), f.c_str());
            break;
        case Op::DeleteKey:
            WritePrivateProfileStringA(s.c_str(), k.c_str(), nullptr, f.c_str());
            break;
        case Op::DeleteSection:
            WritePrivateProfileStringA(s.c_str(), nullptr, nullptr, f.c_str());
            break;
    }
}

struct Sequence {
    const char* name;
    std::optional<std::string> start;  // nullopt: the file does not exist
    std::vector<Op> ops;
};

std::vector<Sequence> Sequences() {
    const std::string team = "[TEAM]\r\nCount=2\r\n\r\n[0]\r\nName=Tools\r\nNote=n\r\n\r\n[1]\r\nName = Games \r\n";
    return {
        {"new file", std::nullopt, {W("TEAM", "Count", "1"), W("0", "Path", "ABCDEFGHIJ"), W("0", "Name", "工具")}},
        {"add team",
         team,
         {W("TEAM", "Count", "3"), W("2", "Path", "K"), W("2", "Name", "N"), W("2", "Password", "False")}},
        {"replace keeps other lines", team, {W("0", "Name", "Renamed"), W("1", "Name", "G2")}},
        {"case of existing names", "[Team]\r\ncount=1\r\n", {W("TEAM", "COUNT", "2"), W("team", "New", "v")}},
        {"duplicate section",
         "[A]\r\nK=1\r\n[B]\r\nX=0\r\n[a]\r\nK=2\r\nL=3\r\n",
         {W("A", "K", "9"), W("A", "L", "8")}},
        {"duplicate key", "[A]\r\nK=1\r\nK=2\r\n", {W("A", "K", "5")}},
        {"empty value", team, {W("0", "Note", ""), W("0", "Fresh", "")}},
        {"value blanks", team, {W("0", "Name", "  both  "), W("0", "Note", "tail  ")}},
        {"long value", team, {W("0", "Name", std::string(400, 'z'))}},
        {"gbk", "", {W("类别", "名称", "系统 工具"), W("类别", "名称", "改名")}},
        {"no final newline", "[TEAM]\r\nCount=4", {W("TEAM", "Count", "5"), W("TEAM", "Extra", "e"), W("X", "Y", "z")}},
        {"lf file", "[TEAM]\nCount=1\n[0]\nName=a\n", {W("0", "Name", "b"), W("0", "Note", "c"), W("1", "Name", "d")}},
        {"lines without equals", "[S]\r\njunk\r\nK=1\r\n", {W("S", "K", "2"), W("S", "M", "3")}},
        {"spaced names", "[ 0 ]\r\n Name = a \r\n", {W("0", " Name ", "b"), W(" 0 ", "Note", "c")}},
        // Wine does not trim the names given to a delete (" 0", "Note " deletes
        // nothing there); our engine trims them as for every other call.
        {"quoted value replaced", "[S]\r\nK=\"old\"\r\n", {W("S", "K", "\"new\""), W("S", "Q", "'x'")}},
        // Deleting a key that only a later duplicate of the section holds: Wine
        // deletes it there, our engine leaves it; reads see it in neither.
        {"delete in duplicate section", "[A]\r\nK=1\r\n[A]\r\nL=2\r\n", {DK("A", "K"), DK("a", "Missing")}},
        {"delete key and section", team, {DK("0", "Note"), DS("1"), DK("Missing", "K"), DS("Missing")}},
        {"shift down like delete", team, {W("0", "Name", "Games"), W("0", "Note", ""), W("TEAM", "Count", "1")}},
    };
}

TEST(IniDiff, WriteSequencesLeaveTheSameFiles) {
    Folder dir;
    int n = 0;
    for (const Sequence& seq : Sequences()) {
        SCOPED_TRACE(seq.name);
        std::string ours = dir.File("ours" + std::to_string(n) + ".ini");
        std::string theirs = dir.File("k32_" + std::to_string(n) + ".ini");
        ++n;
        if (seq.start) {
            WriteBytes(ours, Gbk(*seq.start));
            WriteBytes(theirs, Gbk(*seq.start));
        }
        FlushIniCache();
        for (const Op& op : seq.ops) {
            ApplyOurs(ours, op);
            ApplyK32(theirs, op);
        }
        K32Flush(theirs);
        EXPECT_EQ(Normalised(ReadBytes(ours)), Normalised(ReadBytes(theirs)));
        // Every key either side wrote reads back the same through both.
        for (const Op& op : seq.ops) {
            if (op.key.empty()) continue;
            EXPECT_EQ(ReadIniString(ours, op.section, op.key, "?"), K32String(theirs, op.section, op.key, "?"))
                << op.section << "/" << op.key;
        }
    }
}

TEST(IniDiff, UntouchedLinesStayByteForByte) {
    // Where Wine rewrites the file, our engine keeps comments, blank lines,
    // spacing and line ends of every line it does not change.
    Folder dir;
    std::string file = dir.File("keep.ini");
    const std::string start = "; settings\r\n\r\n[TEAM]\r\nCount = 2\r\n\r\n[0]\nName=x\n";
    WriteBytes(file, start);
    FlushIniCache();
    ASSERT_TRUE(WriteIniString(file, "0", "Name", "y"));
    EXPECT_EQ(ReadBytes(file), "; settings\r\n\r\n[TEAM]\r\nCount = 2\r\n\r\n[0]\nName=y\n");
}

}  // namespace
}  // namespace vt

namespace vt {
namespace {

// Worker threads (the migration, the picture read-ahead) read and write
// profile files inside scopes and batches, then end: the engine's per-thread
// tables must go with them without damaging the heap.
TEST(IniThreads, WorkerThreadsThatUseScopesAndBatchesEndCleanly) {
    Folder folder;
    const std::string file = folder.File("THREADS.SET");
    ASSERT_TRUE(WriteIniString(file, "a", "b", "1"));
    for (int round = 0; round < 8; ++round) {
        std::thread([&file, round] {
            IniReadScope scope(file);
            EXPECT_FALSE(ReadIniString(file, "a", "b", "").empty());
            IniWriteBatch batch(file);
            EXPECT_TRUE(WriteIniString(file, "w", "round", std::to_string(round)));
            EXPECT_TRUE(batch.Commit());
        }).join();
        ASSERT_TRUE(::HeapValidate(::GetProcessHeap(), 0, nullptr)) << "after thread " << round;
    }
    EXPECT_EQ(ReadIniString(file, "w", "round", ""), "7");
}

}  // namespace
}  // namespace vt
