// Colours as skins, settings and the editor keep them: Visual Basic colour
// numbers, 0x00BBGGRR with red in the low byte. That is the layout of GDI's
// COLORREF, so a value goes to GDI as it is once whatever lies above the low
// 24 bits is dropped: a stray sign from a file, or the flag of a system colour
// that GDI would read as a palette index.
#pragma once

#include <cstdint>

namespace vt {

constexpr uint32_t ColorrefOf(uint32_t colour) {
    return colour & 0xFFFFFFu;
}

}  // namespace vt
