#include "skineditor/stand_in.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

namespace vt {

namespace {

struct Rgb {
    int r, g, b;
};

// The launcher's own stand-ins for a missing button picture use the same
// colours, so a skin looks alike whichever side filled the gap.
constexpr Rgb kDeep{30, 74, 140}, kMid{111, 166, 230}, kHover{151, 194, 240}, kLight{214, 229, 247}, kBand{20, 58, 115},
    kWhite{255, 255, 255}, kFolder{240, 200, 90}, kFolderLine{170, 120, 30};

uint32_t Pixel(Rgb c) {
    return 0xFF000000u | static_cast<uint32_t>(c.r) << 16 | static_cast<uint32_t>(c.g) << 8 |
           static_cast<uint32_t>(c.b);
}

Rgb Unpack(uint32_t p) {
    return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)};
}

class Canvas {
public:
    Canvas(int w, int h, Rgb back) {
        pic_.width = w;
        pic_.height = h;
        pic_.pixels.assign(static_cast<size_t>(w) * h, Pixel(back));
    }

    void FillRect(double l, double t, double r, double b, Rgb c) {
        const int x0 = std::max(0, static_cast<int>(std::lround(l))),
                  x1 = std::min(pic_.width, static_cast<int>(std::lround(r)));
        const int y0 = std::max(0, static_cast<int>(std::lround(t))),
                  y1 = std::min(pic_.height, static_cast<int>(std::lround(b)));
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                pic_.pixels[static_cast<size_t>(y) * pic_.width + x] = Pixel(c);
    }

    // An outline `t` pixels wide just inside the rectangle.
    void Outline(double l, double t0, double r, double b, double t, Rgb c) {
        FillRect(l, t0, r, t0 + t, c);
        FillRect(l, b - t, r, b, c);
        FillRect(l, t0, l + t, b, c);
        FillRect(r - t, t0, r, b, c);
    }

    // A shape given by a test on points, with edges smoothed by 4 x 4 samples per pixel.
    void Shape(const std::function<bool(double, double)>& inside, Rgb c) {
        for (int y = 0; y < pic_.height; ++y)
            for (int x = 0; x < pic_.width; ++x) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx)
                        hits += inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
                if (!hits) continue;
                uint32_t& p = pic_.pixels[static_cast<size_t>(y) * pic_.width + x];
                const Rgb under = Unpack(p);
                auto mix = [&](int a, int b) { return (a * (16 - hits) + b * hits + 8) / 16; };
                p = Pixel({mix(under.r, c.r), mix(under.g, c.g), mix(under.b, c.b)});
            }
    }

    DecodedPicture Take() { return std::move(pic_); }

private:
    DecodedPicture pic_;
};

// Distance of a point from a line segment.
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = ax + t * dx - px, ey = ay + t * dy - py;
    return std::sqrt(ex * ex + ey * ey);
}

// A triangle pointing `dir` (0 left, 1 right, 2 up, 3 down) in a square of side s centred at (cx, cy).
bool InTriangle(double x, double y, double cx, double cy, double s, int dir) {
    double u = (x - cx) / (s / 2), v = (y - cy) / (s / 2);  // -1..1
    if (dir == 0) u = -u;
    if (dir == 2) std::swap(u, v), u = -u;
    if (dir == 3) std::swap(u, v);
    // Pointing right: apex at u = 0.8, base at u = -0.6.
    if (u < -0.6 || u > 0.8) return false;
    return std::fabs(v) <= (0.8 - u) / 1.4 * 0.9;
}

DecodedPicture Button(const StandIn& s, int w, int h, double scale) {
    Rgb fill = s.state == 1 ? kHover : s.state == 2 ? kDeep : kMid;
    if (s.kind == StandInKind::Lock) fill = s.state == 1 ? kDeep : kMid;
    Canvas c(w, h, fill);
    const double line = std::max(1.0, std::round(scale));
    c.Outline(0, 0, w, h, line, s.state == 2 || fill.r == kDeep.r ? kBand : kDeep);
    const double cx = w / 2.0, cy = h / 2.0;
    const double side = std::min(w, h) * 0.56;
    const double stroke = std::max(1.0, side * 0.17);
    switch (s.kind) {
        case StandInKind::Close:
            c.Shape(
                [&](double x, double y) {
                    const double r = side / 2 - stroke / 2;
                    return SegmentDistance(x, y, cx - r, cy - r, cx + r, cy + r) <= stroke / 2 ||
                           SegmentDistance(x, y, cx - r, cy + r, cx + r, cy - r) <= stroke / 2;
                },
                kWhite);
            break;
        case StandInKind::Min:
            c.Shape(
                [&](double x, double y) { return std::fabs(x - cx) <= side / 2 && std::fabs(y - cy) <= stroke / 2; },
                kWhite);
            break;
        case StandInKind::Lock:
            c.Shape(
                [&](double x, double y) {
                    const double d = std::hypot(x - cx, y - cy);
                    return s.state == 1 ? d <= side / 2 : d <= side / 2 && d >= side / 2 - stroke;
                },
                kWhite);
            break;
        default: {
            const int dir = s.kind == StandInKind::Left    ? 0
                            : s.kind == StandInKind::Right ? 1
                            : s.kind == StandInKind::Up    ? 2
                                                           : 3;
            c.Shape([&](double x, double y) { return InTriangle(x, y, cx, cy, side, dir); }, kWhite);
            break;
        }
    }
    return c.Take();
}

DecodedPicture Backdrop(int w, int h, double scale) {
    // A plain window in the default skin's colours, its title band as deep
    // as the editor's default title area (495 twips).
    Canvas c(w, h, kLight);
    const int band = std::min(h, static_cast<int>(std::lround(33 * scale)));
    for (int y = 0; y < band; ++y) {
        const double t = band > 1 ? static_cast<double>(y) / (band - 1) : 0;
        const Rgb row{static_cast<int>(std::lround(kBand.r + (kMid.r - kBand.r) * t)),
                      static_cast<int>(std::lround(kBand.g + (kMid.g - kBand.g) * t)),
                      static_cast<int>(std::lround(kBand.b + (kMid.b - kBand.b) * t))};
        c.FillRect(0, y, w, y + 1, row);
    }
    c.Outline(0, 0, w, h, std::max(1.0, std::round(scale)), kDeep);
    return c.Take();
}

DecodedPicture Icon(StandInKind kind, int w, int h) {
    Canvas c(w, h, kWhite);
    const double u = std::min(w, h) / 32.0;  // drawn on a 32 x 32 grid
    const double ox = (w - 32 * u) / 2, oy = (h - 32 * u) / 2;
    auto X = [&](double g) { return ox + g * u; };
    auto Y = [&](double g) { return oy + g * u; };
    switch (kind) {
        case StandInKind::FileIcon:
            c.FillRect(X(7), Y(3), X(25), Y(29), kDeep);
            c.FillRect(X(8), Y(4), X(24), Y(28), kWhite);
            for (int line = 0; line < 4; ++line)
                c.FillRect(X(11), Y(10 + line * 4), X(21), Y(11.5 + line * 4), kMid);
            break;
        case StandInKind::DirIcon:
            c.FillRect(X(3), Y(7), X(14), Y(11), kFolderLine);
            c.FillRect(X(3), Y(10), X(29), Y(27), kFolderLine);
            c.FillRect(X(4), Y(11), X(28), Y(26), kFolder);
            break;
        case StandInKind::LinkIcon:
            c.Shape([&](double x, double y) { return std::hypot(x - X(16), y - Y(16)) <= 13 * u; }, kDeep);
            c.Shape([&](double x, double y) { return std::hypot(x - X(16), y - Y(16)) <= 11.5 * u; }, kMid);
            c.FillRect(X(4), Y(15), X(28), Y(17), kWhite);
            c.FillRect(X(15), Y(4), X(17), Y(28), kWhite);
            break;
        default:
            c.FillRect(X(4), Y(4), X(28), Y(28), kDeep);
            c.FillRect(X(14), Y(8), X(18), Y(24), kWhite);
            c.FillRect(X(8), Y(14), X(24), Y(18), kWhite);
            break;
    }
    return c.Take();
}

}  // namespace

std::optional<StandIn> StandInOfSlot(int slot) {
    using K = StandInKind;
    static constexpr struct {
        int slot;
        K kind;
        int state;
    } kSlotStandIns[] = {
        {0, K::Backdrop, 0}, {53, K::FileIcon, 0}, {54, K::DirIcon, 0}, {55, K::LinkIcon, 0}, {56, K::ExItemIcon, 0},
        {2, K::Close, 0},    {3, K::Close, 1},     {4, K::Close, 2},    {5, K::Min, 0},       {6, K::Min, 1},
        {7, K::Min, 2},      {8, K::Lock, 0},      {10, K::Lock, 1},    {16, K::Left, 0},     {17, K::Left, 1},
        {18, K::Left, 2},    {19, K::Right, 0},    {20, K::Right, 1},   {21, K::Right, 2},    {32, K::Up, 0},
        {33, K::Up, 1},      {34, K::Up, 2},       {35, K::Down, 0},    {36, K::Down, 1},     {37, K::Down, 2},
    };
    for (const auto& s : kSlotStandIns)
        if (s.slot == slot) return StandIn{s.kind, s.state};
    return std::nullopt;
}

DecodedPicture DrawStandIn(const StandIn& s, int width, int height, double scale) {
    width = std::clamp(width, 1, kMaxPictureSide);
    height = std::clamp(height, 1, kMaxPictureSide);
    switch (s.kind) {
        case StandInKind::Backdrop:
            return Backdrop(width, height, scale);
        case StandInKind::FileIcon:
        case StandInKind::DirIcon:
        case StandInKind::LinkIcon:
        case StandInKind::ExItemIcon:
            return Icon(s.kind, width, height);
        default:
            return Button(s, width, height, scale);
    }
}

std::string EncodeBmp24(const DecodedPicture& p) {
    const uint32_t stride = (static_cast<uint32_t>(p.width) * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * static_cast<uint32_t>(p.height);
    const uint32_t fileSize = 14 + 40 + imageSize;
    std::string out;
    out.reserve(fileSize);
    auto u16 = [&](uint32_t v) {
        out.push_back(static_cast<char>(v & 0xFF));
        out.push_back(static_cast<char>((v >> 8) & 0xFF));
    };
    auto u32 = [&](uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    out += "BM";
    u32(fileSize);
    u32(0);
    u32(14 + 40);
    u32(40);
    u32(static_cast<uint32_t>(p.width));
    u32(static_cast<uint32_t>(p.height));  // positive: rows bottom-up
    u16(1);
    u16(24);
    u32(0);  // BI_RGB
    u32(imageSize);
    u32(3780);  // 96 dpi in pixels per metre
    u32(3780);
    u32(0);
    u32(0);
    for (int y = p.height - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x = 0; x < p.width; ++x) {
            const uint32_t px = p.pixels[static_cast<size_t>(y) * p.width + x];
            out.push_back(static_cast<char>(px & 0xFF));
            out.push_back(static_cast<char>((px >> 8) & 0xFF));
            out.push_back(static_cast<char>((px >> 16) & 0xFF));
        }
        while (out.size() - start < stride)
            out.push_back('\0');
    }
    return out;
}

}  // namespace vt
