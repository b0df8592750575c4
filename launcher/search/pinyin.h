// Pinyin readings of Chinese characters, for finding names by what can be
// typed without an input method.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace vt {

// The readings of a character (all of them for one with several, 行: xing,
// hang, heng), as syllable numbers; empty for anything that is not a Chinese
// character of GBK.
std::span<const uint16_t> PinyinReadings(char32_t c);
// A syllable in lower case letters, tone dropped and "ü" written "v"
// ("lv"); empty for a number that names none.
std::string_view PinyinSyllable(uint16_t syllable);

}  // namespace vt
