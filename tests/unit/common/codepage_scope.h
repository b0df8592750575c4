// Runs a test under another ANSI code page and puts GBK back afterwards, so
// the next test sees the code page the suite assumes.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "common/codepage.h"
#include "common/ini.h"

namespace vt {

class CodePageScope {
public:
    explicit CodePageScope(const std::string& iconvName) {
        SetAnsiCodePage(iconvName);
        FlushIniCache();
    }
    ~CodePageScope() {
        SetAnsiCodePage("GBK");
        FlushIniCache();
    }
    CodePageScope(const CodePageScope&) = delete;
    CodePageScope& operator=(const CodePageScope&) = delete;
};

// A code page, a character it holds in more than one byte (or, for a
// single-byte page, a non-ASCII one) with its byte count, and one it lacks.
struct CodePageCase {
    const char* iconvName;
    AnsiKind kind;
    const char* wide;
    size_t wideBytes;
    const char* missing;  // nullptr: the page holds every character
};

inline const CodePageCase kCodePageCases[] = {
    {"GBK", AnsiKind::DoubleByte, "汉", 2, "한"},
    {"UTF-8", AnsiKind::Utf8, "汉", 3, nullptr},
    {"CP1252", AnsiKind::SingleByte, "é", 1, "汉"},
};

inline std::string CodePageCaseName(const ::testing::TestParamInfo<CodePageCase>& info) {
    std::string name;
    for (const char* p = info.param.iconvName; *p; ++p)
        if (*p != '-') name.push_back(*p);
    return name;
}

}  // namespace vt
