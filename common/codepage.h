// Conversion between the UTF-8 text we keep in memory and the system ANSI
// code page that profile files, line files and registry strings use on disk.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace vt {

// ANSI bytes (GBK on a Chinese system) -> UTF-8. Undecodable bytes become '?'.
std::string AnsiToUtf8(std::string_view ansi);
// UTF-8 -> ANSI bytes. Characters the code page lacks become '?'; callers that
// store what the user typed check with UnstorableChars first.
std::string Utf8ToAnsi(std::string_view utf8);

// How the ANSI code page builds its characters out of bytes.
enum class AnsiKind {
    SingleByte,  // every byte is a whole character (1252, 1251, ...)
    DoubleByte,  // a lead byte and a trail byte (936, 950, 949, 932)
    Utf8,        // 65001: sequences of one to four bytes
};
AnsiKind CurrentAnsiKind();

// True when byte b starts a double-byte character; always false for UTF-8 and
// single-byte code pages.
bool IsAnsiLeadByte(unsigned char b);
// Bytes of the character that starts at pos in ansi (at least 1, never past
// the end; a broken or cut-off sequence counts byte by byte).
size_t AnsiCharLength(std::string_view ansi, size_t pos);
// Longest prefix of ansi that is at most maxBytes long and ends on a
// character boundary.
std::string_view CutAnsi(std::string_view ansi, size_t maxBytes);

// Bytes that utf8 takes in the ANSI code page.
size_t AnsiByteCount(std::string_view utf8);
// Longest prefix of utf8 (whole characters) that takes at most maxBytes in the
// ANSI code page.
std::string FitAnsiBytes(std::string_view utf8, size_t maxBytes);
// The characters of utf8 that do not survive the trip to the ANSI code page
// and back, each once, in the order they first appear; empty when the whole
// text can be stored.
std::string UnstorableChars(std::string_view utf8);

// The short (8.3) form of an existing file or folder, as UTF-8; empty when
// the system has none (no such file, or the volume keeps no short names).
std::string ShortPathName(const std::string& utf8Path);
using ShortPathFn = std::function<std::string(const std::string& utf8Path)>;

// What a path becomes in the ANSI code page: the path itself when every
// character can be stored, else its short form when the volume has one whose
// characters can all be stored. Otherwise text is empty and unstorable names
// the characters of the path that cannot be stored.
struct StorablePath {
    std::string text;
    std::string unstorable;
    bool ok() const { return unstorable.empty(); }
};
StorablePath MakeStorablePath(const std::string& path, const ShortPathFn& shortPath);

// Linux only: the iconv name of the code page that plays the system ANSI code
// page (default "GBK"; "UTF-8" and single-byte pages such as "CP1252" work
// too). On Windows CP_ACP is always used and this is ignored.
void SetAnsiCodePage(const std::string& iconvName);

// A filesystem path from UTF-8 text, and back.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& p);

}  // namespace vt
