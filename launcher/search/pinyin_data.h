// The pinyin table tools/gen-pinyin writes into pinyin_data.cpp: every
// Chinese character of GBK with all its readings, tones dropped, "ü" as "v".
#pragma once

#include <cstdint>

namespace vt::pinyin_data {

extern const int kSyllableCount;
extern const char kSyllables[][8];  // sorted, NUL-terminated
extern const int kCharCount;
extern const uint16_t kChars[];  // code points, ascending
extern const uint16_t kFirst[];  // kCharCount + 1 entries: character i has readings kFirst[i]..kFirst[i + 1]
extern const int kReadingCount;
extern const uint16_t kReadings[];  // syllable numbers

}  // namespace vt::pinyin_data
