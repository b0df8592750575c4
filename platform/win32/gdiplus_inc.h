// <gdiplus.h> expects the min/max macros that NOMINMAX removes.
#pragma once

#include <windows.h>

#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

// gdiplus.h needs IStream declared first.
#include <objidl.h>

#include <gdiplus.h>
