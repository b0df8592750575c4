#include "common/picture_scale.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vt {

namespace {

struct Tap {
    int index;
    double weight;
};

// For each destination pixel along one axis: the source pixels that make it
// (a tent one source pixel wide when growing, as wide as a destination pixel
// when shrinking, so shrinking averages areas), and the source pixel under
// its centre (for the mask).
struct Axis {
    std::vector<std::vector<Tap>> taps;
    std::vector<int> nearest;
};

Axis MakeAxis(int from, int to) {
    Axis a;
    a.taps.resize(to);
    a.nearest.resize(to);
    const double ratio = static_cast<double>(from) / to;
    const double radius = std::max(1.0, ratio);
    for (int d = 0; d < to; ++d) {
        const double centre = (d + 0.5) * ratio - 0.5;
        // In integers: a centre exactly on a pixel border (at 125 %, every
        // fifth) must fall the same way on every machine.
        a.nearest[d] = std::min(static_cast<int>((2LL * d + 1) * from / (2LL * to)), from - 1);
        const int first = static_cast<int>(std::ceil(centre - radius));
        const int last = static_cast<int>(std::floor(centre + radius));
        double total = 0;
        for (int s = first; s <= last; ++s) {
            double w = 1.0 - std::abs(s - centre) / radius;
            if (w <= 0) continue;
            // Past the edge the edge pixel repeats.
            int clamped = std::clamp(s, 0, from - 1);
            auto same =
                std::find_if(a.taps[d].begin(), a.taps[d].end(), [&](const Tap& t) { return t.index == clamped; });
            if (same != a.taps[d].end())
                same->weight += w;
            else
                a.taps[d].push_back({clamped, w});
            total += w;
        }
        for (Tap& t : a.taps[d])
            t.weight /= total;
    }
    return a;
}

uint32_t Channel(uint32_t p, int shift) {
    return (p >> shift) & 0xFFu;
}

}  // namespace

DecodedPicture ScalePicture(const DecodedPicture& source, int width, int height, std::optional<uint32_t> colourKey) {
    DecodedPicture out;
    out.width = std::max(1, width);
    out.height = std::max(1, height);
    if (source.width <= 0 || source.height <= 0 ||
        source.pixels.size() < static_cast<size_t>(source.width) * source.height) {
        out.pixels.assign(static_cast<size_t>(out.width) * out.height, 0);
        out.alpha = true;
        return out;
    }
    if (out.width == source.width && out.height == source.height) return source;

    const Axis xs = MakeAxis(source.width, out.width);
    const Axis ys = MakeAxis(source.height, out.height);
    auto at = [&](int x, int y) { return source.pixels[static_cast<size_t>(y) * source.width + x]; };
    const bool keyed = colourKey.has_value();
    const uint32_t key = colourKey.value_or(0);

    out.pixels.resize(static_cast<size_t>(out.width) * out.height);
    bool alpha = false;
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            uint32_t& dst = out.pixels[static_cast<size_t>(y) * out.width + x];
            if (keyed && at(xs.nearest[x], ys.nearest[y]) == key) {
                dst = key;
                continue;
            }
            double sum[4] = {0, 0, 0, 0};
            double used = 0;
            for (const Tap& ty : ys.taps[y]) {
                for (const Tap& tx : xs.taps[x]) {
                    const uint32_t p = at(tx.index, ty.index);
                    if (keyed && p == key) continue;  // see-through is not a colour to mix in
                    const double w = tx.weight * ty.weight;
                    for (int c = 0; c < 4; ++c)
                        sum[c] += w * Channel(p, 8 * c);
                    used += w;
                }
            }
            if (used <= 0) {
                dst = at(xs.nearest[x], ys.nearest[y]);
            } else {
                uint32_t v[4];
                for (int c = 0; c < 4; ++c)
                    v[c] = static_cast<uint32_t>(std::clamp(std::lround(sum[c] / used), 0L, 255L));
                // Premultiplied: no colour channel above alpha.
                for (int c = 0; c < 3; ++c)
                    v[c] = std::min(v[c], v[3]);
                dst = v[0] | (v[1] << 8) | (v[2] << 16) | (v[3] << 24);
                if (keyed && dst == key) dst ^= 1;  // one step of blue off the see-through colour
            }
            if ((dst >> 24) != 255) alpha = true;
        }
    }
    out.alpha = alpha;
    return out;
}

}  // namespace vt
