// The manual both programs open from their own folder: it must be a compiled
// help file the Windows viewer accepts, marked Chinese (the viewer decodes the
// contents tree and the title with that language's code page), and it must
// hold every page the contents tree and the index point to.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "common/atomic_file.h"
#include "common/codepage.h"

namespace vt {
namespace {

// Little-endian reads bounded by the buffer; nullopt past the end.
std::optional<uint64_t> ReadLe(const std::string& b, size_t at, size_t width) {
    if (at > b.size() || width > b.size() - at) return std::nullopt;
    uint64_t v = 0;
    for (size_t i = 0; i < width; ++i)
        v |= uint64_t(static_cast<unsigned char>(b[at + i])) << (8 * i);
    return v;
}

// The directory's variable-length numbers: 7 bits per byte, high bit = more.
std::optional<uint64_t> ReadEncInt(const std::string& b, size_t& at, size_t end) {
    uint64_t v = 0;
    for (int i = 0; i < 9 && at < end; ++i) {
        auto byte = static_cast<unsigned char>(b[at++]);
        v = (v << 7) | (byte & 0x7F);
        if (!(byte & 0x80)) return v;
    }
    return std::nullopt;
}

struct ChmEntry {
    uint64_t section = 0;
    uint64_t offset = 0;
    uint64_t length = 0;
};

struct ChmFile {
    uint32_t version = 0;
    uint64_t contentOffset = 0;
    std::map<std::string, ChmEntry> entries;
    std::string bytes;
};

// Reads the header and walks every listing chunk of the directory. Returns
// an error text instead of throwing so a broken file fails with a reason.
std::string ParseChm(const std::string& bytes, ChmFile& out) {
    out.bytes = bytes;
    if (bytes.compare(0, 4, "ITSF") != 0) return "no ITSF signature";
    auto version = ReadLe(bytes, 4, 4);
    auto dirOffset = ReadLe(bytes, 0x48, 8);
    auto dirLength = ReadLe(bytes, 0x50, 8);
    if (!version || !dirOffset || !dirLength) return "header cut short";
    out.version = static_cast<uint32_t>(*version);
    if (out.version >= 3) {
        auto content = ReadLe(bytes, 0x58, 8);
        if (!content) return "header cut short";
        out.contentOffset = *content;
    } else {
        out.contentOffset = *dirOffset + *dirLength;
    }

    size_t dir = static_cast<size_t>(*dirOffset);
    if (bytes.compare(dir, 4, "ITSP") != 0) return "no ITSP directory header";
    auto headerLen = ReadLe(bytes, dir + 0x08, 4);
    auto chunkSize = ReadLe(bytes, dir + 0x10, 4);
    auto chunkCount = ReadLe(bytes, dir + 0x2C, 4);
    if (!headerLen || !chunkSize || !chunkCount || *chunkSize < 0x20) return "directory header cut short";

    for (uint64_t c = 0; c < *chunkCount; ++c) {
        size_t chunk = dir + static_cast<size_t>(*headerLen + c * *chunkSize);
        if (chunk + *chunkSize > bytes.size()) return "directory chunk past the end of the file";
        if (bytes.compare(chunk, 4, "PMGL") != 0) continue;  // index chunks repeat names only
        auto freeSpace = ReadLe(bytes, chunk + 4, 4);
        if (!freeSpace || *freeSpace > *chunkSize - 0x14) return "bad free space in a listing chunk";
        size_t at = chunk + 0x14;
        size_t end = chunk + static_cast<size_t>(*chunkSize - *freeSpace);
        while (at < end) {
            auto nameLen = ReadEncInt(bytes, at, end);
            if (!nameLen || *nameLen > end - at) return "bad name in a listing chunk";
            std::string name = bytes.substr(at, static_cast<size_t>(*nameLen));
            at += static_cast<size_t>(*nameLen);
            ChmEntry e;
            auto s = ReadEncInt(bytes, at, end);
            auto o = ReadEncInt(bytes, at, end);
            auto l = ReadEncInt(bytes, at, end);
            if (!s || !o || !l) return "entry cut short: " + name;
            e.section = *s;
            e.offset = *o;
            e.length = *l;
            out.entries[name] = e;
        }
    }
    return {};
}

// Uncompressed records of the /#SYSTEM file: code -> data.
std::map<int, std::string> SystemRecords(const ChmFile& chm) {
    std::map<int, std::string> records;
    auto it = chm.entries.find("/#SYSTEM");
    if (it == chm.entries.end() || it->second.section != 0) return records;
    size_t start = static_cast<size_t>(chm.contentOffset + it->second.offset);
    size_t end = start + static_cast<size_t>(it->second.length);
    if (end > chm.bytes.size()) return records;
    size_t at = start + 4;  // version
    while (at + 4 <= end) {
        int code = static_cast<int>(*ReadLe(chm.bytes, at, 2));
        size_t len = static_cast<size_t>(*ReadLe(chm.bytes, at + 2, 2));
        at += 4;
        if (len > end - at) break;
        records[code] = chm.bytes.substr(at, len);
        at += len;
    }
    return records;
}

std::string Trimmed(std::string s) {
    while (!s.empty() && s.back() == '\0')
        s.pop_back();
    return s;
}

class HelpFile : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        auto bytes = ReadFileBytes(PathFromUtf8(std::string(VT_DIST_DIR) + "/help.chm"));
        if (!bytes) {
            error_ = "help.chm is missing from the program folder";
            return;
        }
        error_ = ParseChm(*bytes, chm_);
    }
    void SetUp() override { ASSERT_EQ(error_, "") << "help.chm is not a valid compiled help file"; }

    static ChmFile chm_;
    static std::string error_;
};
ChmFile HelpFile::chm_;
std::string HelpFile::error_;

TEST_F(HelpFile, IsAVersion3HelpFile) {
    EXPECT_EQ(chm_.version, 3u);
    EXPECT_LT(chm_.contentOffset, chm_.bytes.size());
}

TEST_F(HelpFile, HoldsEveryTopic) {
    const char* topics[] = {
        "/index.htm", "/start.htm",  "/mainwin.htm",      "/teams.htm",    "/items.htm",    "/itemtypes.htm",
        "/keys.htm",  "/exitem.htm", "/launch.htm",       "/password.htm", "/settings.htm", "/hotkey.htm",
        "/skins.htm", "/editor.htm", "/editor_build.htm", "/menus.htm",    "/faq.htm",      "/style.css",
    };
    for (const char* topic : topics) {
        auto it = chm_.entries.find(topic);
        ASSERT_NE(it, chm_.entries.end()) << topic;
        EXPECT_GT(it->second.length, 0u) << topic;
    }
}

TEST_F(HelpFile, HoldsContentsTreeAndIndex) {
    EXPECT_TRUE(chm_.entries.count("/vantrel.hhc"));
    EXPECT_TRUE(chm_.entries.count("/vantrel.hhk"));
    EXPECT_TRUE(chm_.entries.count("/#SYSTEM"));
}

TEST_F(HelpFile, OpensOnTheWelcomePageInChinese) {
    auto records = SystemRecords(chm_);
    ASSERT_TRUE(records.count(4)) << "no language record";
    ASSERT_GE(records[4].size(), 4u);
    EXPECT_EQ(*ReadLe(records[4], 0, 4), 0x804u) << "the viewer would decode the contents with the wrong code page";
    EXPECT_EQ(Trimmed(records[2]), "index.htm");
    // Stored in the language's code page; the wrong code page would give '?'.
    EXPECT_EQ(AnsiToUtf8(Trimmed(records[3])), "Vantrel 使用帮助");
}

}  // namespace
}  // namespace vt
