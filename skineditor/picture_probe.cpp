#include "skineditor/picture_probe.h"

#include <cstdint>
#include <cstdlib>

#include "common/atomic_file.h"
#include "common/codepage.h"

namespace vt {

namespace {

uint32_t Le16(std::string_view b, size_t at) {
    return static_cast<uint8_t>(b[at]) | (static_cast<uint8_t>(b[at + 1]) << 8);
}
uint32_t Be16(std::string_view b, size_t at) {
    return (static_cast<uint8_t>(b[at]) << 8) | static_cast<uint8_t>(b[at + 1]);
}
uint32_t Le32(std::string_view b, size_t at) {
    return Le16(b, at) | (Le16(b, at + 2) << 16);
}
uint32_t Be32(std::string_view b, size_t at) {
    return (Be16(b, at) << 16) | Be16(b, at + 2);
}

std::optional<PictureSize> Make(long long w, long long h) {
    if (w <= 0 || h <= 0 || w > 65535 || h > 65535) return std::nullopt;
    return PictureSize{static_cast<int>(w), static_cast<int>(h)};
}

std::optional<PictureSize> Jpeg(std::string_view b) {
    size_t i = 2;
    while (i + 9 < b.size()) {
        if (static_cast<uint8_t>(b[i]) != 0xFF) return std::nullopt;
        uint8_t marker = static_cast<uint8_t>(b[i + 1]);
        if (marker == 0xFF) {
            ++i;
            continue;
        }
        size_t len = Be16(b, i + 2);
        bool sof = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (sof) return Make(Be16(b, i + 7), Be16(b, i + 5));
        if (len < 2) return std::nullopt;
        i += 2 + len;
    }
    return std::nullopt;
}

}  // namespace

std::optional<PictureSize> ProbePictureBytes(std::string_view b) {
    if (b.size() >= 26 && b.substr(0, 2) == "BM") {
        int32_t w = static_cast<int32_t>(Le32(b, 18));
        int32_t h = static_cast<int32_t>(Le32(b, 22));
        return Make(w, std::llabs(h));
    }
    if (b.size() >= 10 && (b.substr(0, 6) == "GIF87a" || b.substr(0, 6) == "GIF89a"))
        return Make(Le16(b, 6), Le16(b, 8));
    if (b.size() >= 24 && b.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8))
        return Make(Be32(b, 16), Be32(b, 20));
    if (b.size() >= 4 && static_cast<uint8_t>(b[0]) == 0xFF && static_cast<uint8_t>(b[1]) == 0xD8) return Jpeg(b);
    if (b.size() >= 22 && Le16(b, 0) == 0 && Le16(b, 2) == 1 && Le16(b, 4) >= 1) {
        int w = static_cast<uint8_t>(b[6]);
        int h = static_cast<uint8_t>(b[7]);
        return Make(w ? w : 256, h ? h : 256);
    }
    return std::nullopt;
}

std::optional<PictureSize> HeaderPictures::Probe(const std::string& file) {
    auto bytes = ReadFileBytes(PathFromUtf8(file));
    if (!bytes) return std::nullopt;
    return ProbePictureBytes(*bytes);
}

}  // namespace vt
