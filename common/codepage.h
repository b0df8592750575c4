// Conversion between the UTF-8 text we keep in memory and the system ANSI
// code page that profile files, line files and registry strings use on disk.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vt {

// ANSI bytes (GBK on a Chinese system) -> UTF-8. Undecodable bytes become '?'.
std::string AnsiToUtf8(std::string_view ansi);
// UTF-8 -> ANSI bytes. Characters the code page lacks become '?'.
std::string Utf8ToAnsi(std::string_view utf8);
// True when byte b starts a double-byte character in the ANSI code page.
bool IsAnsiLeadByte(unsigned char b);
// Longest prefix of ansi that is at most maxBytes long and does not end in
// the first half of a double-byte character.
std::string_view CutAnsi(std::string_view ansi, size_t maxBytes);

// Linux only: the iconv name of the code page that plays the system ANSI code
// page (default "GBK"). On Windows CP_ACP is always used and this is ignored.
void SetAnsiCodePage(const std::string& iconvName);

// A filesystem path from UTF-8 text, and back.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& p);

}  // namespace vt
