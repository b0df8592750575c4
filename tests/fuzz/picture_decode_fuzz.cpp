// Picture decoding: any bytes are refused or give a picture of sound size
// whose pixels are premultiplied as drawing expects.
#include "common/picture_decode.h"
#include "tests/fuzz/fuzz_support.h"

using namespace vt;
using namespace vt::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto p = DecodeBmpOrIco(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!p) return 0;
    VT_FUZZ_CHECK(p->width > 0 && p->height > 0 && p->width <= kMaxPictureSide && p->height <= kMaxPictureSide,
                  std::to_string(p->width) + "x" + std::to_string(p->height));
    VT_FUZZ_CHECK(p->pixels.size() == static_cast<size_t>(p->width) * static_cast<size_t>(p->height), "pixel count");
    bool translucent = false;
    for (uint32_t px : p->pixels) {
        uint32_t a = px >> 24;
        VT_FUZZ_CHECK(((px >> 16) & 0xFF) <= a && ((px >> 8) & 0xFF) <= a && (px & 0xFF) <= a,
                      "colour above its alpha");
        translucent = translucent || a != 0xFF;
    }
    VT_FUZZ_CHECK(p->alpha == translucent, "alpha flag");
    return 0;
}
