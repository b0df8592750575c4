#include "common/codepage.h"

namespace vt {

std::string_view CutAnsi(std::string_view ansi, size_t maxBytes) {
    if (ansi.size() <= maxBytes) return ansi;
    // Walk character by character so a trail byte that looks like a lead
    // byte is never mistaken for one.
    size_t pos = 0;
    while (pos < ansi.size()) {
        size_t len = (IsAnsiLeadByte(static_cast<unsigned char>(ansi[pos])) && pos + 1 < ansi.size()) ? 2 : 1;
        if (pos + len > maxBytes) break;
        pos += len;
    }
    return ansi.substr(0, pos);
}

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string PathToUtf8(const std::filesystem::path& p) {
    std::u8string s = p.u8string();
    return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}

}  // namespace vt
