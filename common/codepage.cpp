#include "common/codepage.h"

#include "common/text.h"

namespace vt {

namespace {

// Bytes of the UTF-8 sequence at pos; 1 for a stray or cut-off byte, so a
// walk over broken text still moves on.
size_t Utf8SequenceLength(std::string_view s, size_t pos) {
    auto b = static_cast<unsigned char>(s[pos]);
    size_t len = b < 0x80                 ? 1
                 : b >= 0xC2 && b <= 0xDF ? 2
                 : b >= 0xE0 && b <= 0xEF ? 3
                 : b >= 0xF0 && b <= 0xF4 ? 4
                                          : 1;
    if (pos + len > s.size()) return 1;
    for (size_t i = 1; i < len; ++i)
        if ((static_cast<unsigned char>(s[pos + i]) & 0xC0) != 0x80) return 1;
    return len;
}

bool IsDigitByte(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

size_t AnsiCharLength(std::string_view ansi, size_t pos) {
    if (pos >= ansi.size()) return 0;
    switch (CurrentAnsiKind()) {
        case AnsiKind::SingleByte:
            return 1;
        case AnsiKind::Utf8:
            return Utf8SequenceLength(ansi, pos);
        case AnsiKind::DoubleByte:
            break;
    }
    if (!IsAnsiLeadByte(static_cast<unsigned char>(ansi[pos])) || pos + 1 >= ansi.size()) return 1;
    // A digit is never the trail byte of a double-byte character; after a lead
    // byte it starts GB18030's four-byte form (lead, digit, lead, digit).
    if (IsDigitByte(ansi[pos + 1])) {
        if (pos + 3 < ansi.size() && IsAnsiLeadByte(static_cast<unsigned char>(ansi[pos + 2])) &&
            IsDigitByte(ansi[pos + 3]))
            return 4;
        return 1;
    }
    return 2;
}

std::string_view CutAnsi(std::string_view ansi, size_t maxBytes) {
    if (ansi.size() <= maxBytes) return ansi;
    // Walk character by character from the start: in a double-byte code page
    // a trail byte may look like a lead byte, so only the walk knows where a
    // character begins.
    size_t pos = 0;
    while (pos < ansi.size()) {
        size_t len = AnsiCharLength(ansi, pos);
        if (pos + len > maxBytes) break;
        pos += len;
    }
    return ansi.substr(0, pos);
}

size_t AnsiByteCount(std::string_view utf8) {
    return IsAscii(utf8) ? utf8.size() : Utf8ToAnsi(utf8).size();
}

std::string FitAnsiBytes(std::string_view utf8, size_t maxBytes) {
    if (utf8.size() <= maxBytes || AnsiByteCount(utf8) <= maxBytes) return std::string(utf8);
    // Every supported code page is stateless: the bytes of a text are the sum
    // of the bytes of its characters.
    size_t pos = 0;
    size_t bytes = 0;
    while (pos < utf8.size()) {
        size_t len = Utf8SequenceLength(utf8, pos);
        size_t add = AnsiByteCount(utf8.substr(pos, len));
        if (bytes + add > maxBytes) break;
        bytes += add;
        pos += len;
    }
    return std::string(utf8.substr(0, pos));
}

std::string UnstorableChars(std::string_view utf8) {
    if (IsAscii(utf8)) return {};
    // A round trip, not the converter's "default character used" flag: some
    // code pages map a missing character to a look-alike (best fit) and some
    // converters do not report the substitution at all.
    if (AnsiToUtf8(Utf8ToAnsi(utf8)) == utf8) return {};
    std::string bad;
    for (size_t pos = 0; pos < utf8.size();) {
        size_t len = Utf8SequenceLength(utf8, pos);
        std::string_view c = utf8.substr(pos, len);
        pos += len;
        if (IsAscii(c) || bad.find(c) != std::string::npos) continue;
        if (AnsiToUtf8(Utf8ToAnsi(c)) != c) bad.append(c);
    }
    // The text as a whole did not come back though each character does: name
    // none rather than let it pass.
    return bad.empty() ? std::string("?") : bad;
}

StorablePath MakeStorablePath(const std::string& path, const ShortPathFn& shortPath) {
    std::string bad = UnstorableChars(path);
    if (bad.empty()) return {path, {}};
    if (shortPath) {
        std::string s = shortPath(path);
        if (!s.empty() && UnstorableChars(s).empty()) return {s, {}};
    }
    return {{}, bad};
}

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string PathToUtf8(const std::filesystem::path& p) {
    std::u8string s = p.u8string();
    return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}

}  // namespace vt
