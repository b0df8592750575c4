#include <windows.h>

#include "common/codepage.h"
#include "common/text.h"

namespace vt {

namespace {

std::wstring WideFrom(UINT cp, std::string_view s) {
    int wlen = MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(wlen), L'\0');
    if (wlen > 0) MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), w.data(), wlen);
    return w;
}

std::string NarrowTo(UINT cp, const std::wstring& w) {
    // The default-character arguments must be null for CP_UTF8 (the call
    // fails otherwise), and the ANSI code page itself may be 65001.
    int len = WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(len), '\0');
    if (len > 0) WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), out.data(), len, nullptr, nullptr);
    return out;
}

AnsiKind DetectKind() {
    if (GetACP() == CP_UTF8) return AnsiKind::Utf8;
    CPINFO info{};
    if (GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 2) return AnsiKind::DoubleByte;
    return AnsiKind::SingleByte;
}

}  // namespace

void SetAnsiCodePage(const std::string&) {}

std::string AnsiToUtf8(std::string_view ansi) {
    // ASCII is the same in every ANSI code page and in UTF-8.
    if (IsAscii(ansi)) return std::string(ansi);
    return NarrowTo(CP_UTF8, WideFrom(CP_ACP, ansi));
}

std::string Utf8ToAnsi(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    return NarrowTo(CP_ACP, WideFrom(CP_UTF8, utf8));
}

AnsiKind CurrentAnsiKind() {
    // The system code page changes only with a restart.
    static const AnsiKind kind = DetectKind();
    return kind;
}

bool IsAnsiLeadByte(unsigned char b) {
    return CurrentAnsiKind() == AnsiKind::DoubleByte && IsDBCSLeadByte(b) != FALSE;
}

std::string ShortPathName(const std::string& utf8Path) {
    if (utf8Path.empty()) return {};
    std::wstring longPath = WideFrom(CP_UTF8, utf8Path);
    DWORD need = GetShortPathNameW(longPath.c_str(), nullptr, 0);
    if (need == 0) return {};
    std::wstring shortPath(need, L'\0');
    DWORD got = GetShortPathNameW(longPath.c_str(), shortPath.data(), need);
    if (got == 0 || got >= need) return {};
    shortPath.resize(got);
    return NarrowTo(CP_UTF8, shortPath);
}

}  // namespace vt
