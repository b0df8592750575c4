// The profile (INI) engine: any file parses and every key reads; writing or
// deleting one key changes that key only, and a plain value reads back as
// written.
#include <fuzzer/FuzzedDataProvider.h>

#include "common/codepage.h"
#include "common/ini.h"
#include "tests/fuzz/fuzz_support.h"

using namespace vt;
using namespace vt::fuzz;

namespace {

// Names the programs write, in the spellings stored files have.
const char* const kSections[] = {"TEAM", "Team", "team", "ITEM", "0", "1", "10", "SKIN", "MAIN", "Roll"};
const char* const kKeys[] = {"Count", "count", "Name", "Path", "Password", "Icon", "Width", "X"};

// A value that the engine must give back unchanged: one line, no blanks
// around it, not wrapped in quotes, expressible in the code page, within
// the 254 bytes a read returns.
std::string PlainValue(std::string_view raw) {
    std::string v = AnsiToUtf8(CutAnsi(raw, 254));
    for (char& c : v)
        if (c == '\r' || c == '\n' || c == '\t' || c == '\v' || c == '\f' || c == '\0') c = '_';
    while (!v.empty() && v.front() == ' ')
        v.erase(v.begin());
    while (!v.empty() && v.back() == ' ')
        v.pop_back();
    if (!v.empty() && (v.front() == '"' || v.front() == '\'')) v.insert(v.begin(), 'q');
    std::string ansi = Utf8ToAnsi(v);
    v = AnsiToUtf8(CutAnsi(ansi, 254));
    while (!v.empty() && v.back() == ' ')
        v.pop_back();
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    // Choices come from the end of the input, so a seed is a plain INI file.
    const int op = in.ConsumeIntegralInRange<int>(0, 3);
    const std::string section = kSections[in.ConsumeIntegralInRange<size_t>(0, std::size(kSections) - 1)];
    const std::string key = kKeys[in.ConsumeIntegralInRange<size_t>(0, std::size(kKeys) - 1)];
    const size_t valueAt = in.ConsumeIntegral<uint16_t>();
    const size_t valueLen = in.ConsumeIntegralInRange<size_t>(0, 300);
    const std::string bytes = in.ConsumeRemainingBytesAsString();
    const std::string raw = bytes.empty() ? std::string() : bytes.substr(valueAt % bytes.size(), valueLen);

    const std::string file = FreshScratch() + "T.INI";
    WriteFile(file, bytes);
    FlushIniCache();

    IniNames names = ScanIniNames(bytes, 24);
    names.sections.push_back(section);
    names.keys.push_back(key);
    const auto before = ReadAll(file, names);

    std::string expected;
    bool exact = false;
    switch (op) {
        case 0:  // a value the engine must give back as it is
            expected = PlainValue(raw);
            exact = true;
            VT_FUZZ_CHECK(WriteIniString(file, section, key, expected), file);
            break;
        case 1:  // any bytes at all: only the other keys are checked
            (void)WriteIniString(file, section, key, AnsiToUtf8(raw));
            break;
        case 2:
            VT_FUZZ_CHECK(DeleteIniKey(file, section, key), file);
            break;
        case 3: {  // the same through a batch, with a second key of the section
            IniWriteBatch batch(file);
            expected = PlainValue(raw);
            exact = true;
            VT_FUZZ_CHECK(WriteIniString(file, section, "Batch", "1"), file);
            VT_FUZZ_CHECK(WriteIniString(file, section, key, expected), file);
            VT_FUZZ_CHECK(batch.Commit(), file);
            break;
        }
    }

    // What the write left on disk, read by a fresh engine.
    FlushIniCache();
    if (exact) VT_FUZZ_CHECK(ReadIniString(file, section, key, "\x01") == expected, "wrote [" + expected + "]");
    if (op == 2) VT_FUZZ_CHECK(ReadIniString(file, section, key, "\x01") == "\x01", "deleted key still reads");
    const auto after = ReadAll(file, names);
    for (const auto& [where, value] : before) {
        if (SameAsciiName(where.first, section) &&
            (SameAsciiName(where.second, key) || (op == 3 && SameAsciiName(where.second, "Batch"))))
            continue;
        auto it = after.find(where);
        VT_FUZZ_CHECK(it != after.end() && it->second == value,
                      "[" + where.first + "] " + where.second + ": [" + value + "] became [" +
                          (it == after.end() ? std::string("?") : it->second) + "]");
    }
    return 0;
}
