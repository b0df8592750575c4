// Small text helpers for the ASCII parts of stored values (type tokens, file
// extensions, verbs). They leave every byte >= 0x80 alone, so UTF-8 text and
// ANSI double-byte characters pass through unchanged.
#pragma once

#include <string>
#include <string_view>

namespace vt {

inline std::string AsciiUpper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

inline std::string AsciiLower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Without leading and trailing blanks and tabs.
inline std::string TrimBlanks(std::string_view s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    size_t e = s.find_last_not_of(" \t");
    return std::string(s.substr(b, e - b + 1));
}

// True when every byte is 7-bit ASCII, which all supported code pages share.
inline bool IsAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace vt
