// Programs started while one of these lives see a screen of another DPI, the
// way a user's display scaling shows them; the old value comes back at the
// end, so programs started later see the usual 96.
#pragma once

#include <windows.h>

#include <string>

#include "tests/win32/log_pixels.h"

namespace vt {

// The display scales the Wine tests look at: 100, 125, 150 and 200 %.
inline constexpr int kCheckedDpis[] = {96, 120, 144, 192};

// "" at 96 dpi, "_144dpi" otherwise: screenshot names that keep the 96-dpi
// ones as they always were.
inline std::wstring DpiSuffix(int dpi) {
    return dpi == 96 ? std::wstring() : L"_" + std::to_wstring(dpi) + L"dpi";
}

}  // namespace vt
