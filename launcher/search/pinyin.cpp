#include "launcher/search/pinyin.h"

#include <algorithm>

#include "launcher/search/pinyin_data.h"

namespace vt {

std::span<const uint16_t> PinyinReadings(char32_t c) {
    using namespace pinyin_data;
    if (c > 0xFFFF) return {};
    const uint16_t* end = kChars + kCharCount;
    const uint16_t* it = std::lower_bound(kChars, end, static_cast<uint16_t>(c));
    if (it == end || *it != c) return {};
    const auto i = static_cast<size_t>(it - kChars);
    return {kReadings + kFirst[i], static_cast<size_t>(kFirst[i + 1] - kFirst[i])};
}

std::string_view PinyinSyllable(uint16_t syllable) {
    if (syllable >= pinyin_data::kSyllableCount) return {};
    return pinyin_data::kSyllables[syllable];
}

}  // namespace vt
