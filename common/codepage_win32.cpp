#include <windows.h>

#include "common/codepage.h"
#include "common/text.h"

namespace vt {

void SetAnsiCodePage(const std::string&) {}

std::string AnsiToUtf8(std::string_view ansi) {
    // ASCII is the same in every ANSI code page and in UTF-8.
    if (IsAscii(ansi)) return std::string(ansi);
    int wlen = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring w(wlen, L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), w.data(), wlen);
    int len = WideCharToMultiByte(CP_UTF8, 0, w.data(), wlen, nullptr, 0, nullptr, nullptr);
    std::string out(len, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), wlen, out.data(), len, nullptr, nullptr);
    return out;
}

std::string Utf8ToAnsi(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    int wlen = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(wlen, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), wlen);
    int len = WideCharToMultiByte(CP_ACP, 0, w.data(), wlen, nullptr, 0, nullptr, nullptr);
    std::string out(len, '\0');
    WideCharToMultiByte(CP_ACP, 0, w.data(), wlen, out.data(), len, nullptr, nullptr);
    return out;
}

bool IsAnsiLeadByte(unsigned char b) { return IsDBCSLeadByte(b) != FALSE; }

}  // namespace vt
