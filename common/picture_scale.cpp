#include "common/picture_scale.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vt {

namespace {

// Filter weights are fixed point: the launcher scales every skin picture
// while it starts at more than 96 dpi, and whole numbers made that several
// times faster than doubles without a visible difference (a weight is off by
// at most 1/16384; the result is rounded to 1/255 anyway).
constexpr int kWeightBits = 14;
constexpr int32_t kOne = 1 << kWeightBits;

// For each destination pixel along one axis: the run of source pixels that
// make it (a tent one source pixel wide when growing, as wide as a
// destination pixel when shrinking, so shrinking averages areas) with
// weights summing to kOne, and the source pixel under its centre (for the
// mask).
struct Axis {
    std::vector<int> first;   // first source pixel of each destination pixel
    std::vector<int> count;   // how many follow it
    std::vector<int> offset;  // where its weights start in `weights`
    std::vector<int32_t> weights;
    std::vector<int> nearest;
};

Axis MakeAxis(int from, int to) {
    Axis a;
    a.first.resize(to);
    a.count.resize(to);
    a.offset.resize(to);
    a.nearest.resize(to);
    const double ratio = static_cast<double>(from) / to;
    const double radius = std::max(1.0, ratio);
    std::vector<double> w;
    for (int d = 0; d < to; ++d) {
        const double centre = (d + 0.5) * ratio - 0.5;
        // In integers: a centre exactly on a pixel border (at 125 %, every
        // fifth) must fall the same way on every machine.
        a.nearest[d] = std::min(static_cast<int>((2LL * d + 1) * from / (2LL * to)), from - 1);
        // Past the edge the edge pixel repeats: the run is clamped to the
        // picture and what lies beyond adds to its end pixels.
        const int lo = static_cast<int>(std::ceil(centre - radius));
        const int hi = static_cast<int>(std::floor(centre + radius));
        const int first = std::clamp(lo, 0, from - 1), last = std::clamp(hi, 0, from - 1);
        w.assign(last - first + 1, 0.0);
        double total = 0;
        for (int s = lo; s <= hi; ++s) {
            const double t = 1.0 - std::abs(s - centre) / radius;
            if (t <= 0) continue;
            w[std::clamp(s, 0, from - 1) - first] += t;
            total += t;
        }
        // Whole-number weights that add up to exactly kOne, so a flat area
        // comes out exactly its own colour.
        a.first[d] = first;
        a.count[d] = last - first + 1;
        a.offset[d] = static_cast<int>(a.weights.size());
        int32_t given = 0;
        size_t heaviest = 0;
        for (size_t i = 0; i < w.size(); ++i) {
            const auto q = static_cast<int32_t>(std::lround(w[i] / total * kOne));
            a.weights.push_back(q);
            given += q;
            if (w[i] > w[heaviest]) heaviest = i;
        }
        a.weights[a.offset[d] + heaviest] += kOne - given;
    }
    return a;
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

    // The filter is separable, also with see-through pixels left out: first
    // each source row is resized to the new width, keeping per pixel the
    // weighted channel sums and how much of the weight was real colour; the
    // columns of those then give the same sums as the two-dimensional tent.
    struct Partial {
        int32_t sum[4];
        int32_t used;
    };
    std::vector<Partial> rows(static_cast<size_t>(out.width) * source.height);
    for (int y = 0; y < source.height; ++y) {
        const uint32_t* line = &source.pixels[static_cast<size_t>(y) * source.width];
        Partial* row = &rows[static_cast<size_t>(y) * out.width];
        for (int x = 0; x < out.width; ++x) {
            Partial p{{0, 0, 0, 0}, 0};
            const int32_t* w = &xs.weights[xs.offset[x]];
            const uint32_t* src = line + xs.first[x];
            for (int i = 0; i < xs.count[x]; ++i) {
                const uint32_t c = src[i];
                if (keyed && c == key) continue;  // see-through is not a colour to mix in
                p.sum[0] += w[i] * static_cast<int32_t>(c & 0xFFu);
                p.sum[1] += w[i] * static_cast<int32_t>((c >> 8) & 0xFFu);
                p.sum[2] += w[i] * static_cast<int32_t>((c >> 16) & 0xFFu);
                p.sum[3] += w[i] * static_cast<int32_t>(c >> 24);
                p.used += w[i];
            }
            row[x] = p;
        }
    }

    out.pixels.resize(static_cast<size_t>(out.width) * out.height);
    bool alpha = false;
    for (int y = 0; y < out.height; ++y) {
        const int32_t* wy = &ys.weights[ys.offset[y]];
        const int firstRow = ys.first[y], rowCount = ys.count[y];
        for (int x = 0; x < out.width; ++x) {
            uint32_t& dst = out.pixels[static_cast<size_t>(y) * out.width + x];
            if (keyed && at(xs.nearest[x], ys.nearest[y]) == key) {
                dst = key;
                continue;
            }
            int64_t sum[4] = {0, 0, 0, 0};
            int64_t used = 0;
            for (int i = 0; i < rowCount; ++i) {
                const Partial& p = rows[static_cast<size_t>(firstRow + i) * out.width + x];
                for (int c = 0; c < 4; ++c)
                    sum[c] += static_cast<int64_t>(wy[i]) * p.sum[c];
                used += static_cast<int64_t>(wy[i]) * p.used;
            }
            if (used <= 0) {
                dst = at(xs.nearest[x], ys.nearest[y]);
            } else {
                uint32_t v[4];
                if (used == int64_t{kOne} * kOne) {
                    // Away from see-through pixels (nearly everywhere) a shift
                    // does what the division does below.
                    for (int c = 0; c < 4; ++c)
                        v[c] = static_cast<uint32_t>(std::min<int64_t>(
                            (sum[c] + (int64_t{1} << (2 * kWeightBits - 1))) >> (2 * kWeightBits), 255));
                } else {
                    for (int c = 0; c < 4; ++c)
                        v[c] = static_cast<uint32_t>(std::min<int64_t>((2 * sum[c] + used) / (2 * used), 255));
                }
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
