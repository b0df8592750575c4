// UTF-8 <-> UTF-16 at the Win32 boundary. Everything inside the program is
// UTF-8; the W functions want UTF-16. Only platform/ and *_win32.cpp use this.
#pragma once

#include <string>
#include <string_view>

namespace vt {

// Invalid UTF-8 sequences become U+FFFD rather than failing the whole call.
std::wstring Widen(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string Narrow(std::wstring_view utf16);

}  // namespace vt
