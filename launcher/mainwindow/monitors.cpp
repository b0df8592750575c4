#include "launcher/mainwindow/monitors.h"

#include <algorithm>
#include <cstdint>

namespace vt {

namespace {

PixelBox BoxInTwips(const PixelMap& map, const PixelBox& b) {
    return {map.Twips(b.left), map.Twips(b.top), map.Twips(b.right), map.Twips(b.bottom)};
}

int64_t Overlap(const PixelBox& a, const DockWindow& w) {
    const int64_t x = std::min(a.right, w.left + w.width) - std::max(a.left, w.left);
    const int64_t y = std::min(a.bottom, w.top + w.height) - std::max(a.top, w.top);
    return x > 0 && y > 0 ? x * y : 0;
}

// Squared distance from a point to a box, 0 inside.
int64_t Distance(const PixelBox& b, DockPoint p) {
    const int64_t dx = p.x < b.left ? b.left - p.x : p.x >= b.right ? p.x - b.right + 1 : 0;
    const int64_t dy = p.y < b.top ? b.top - p.y : p.y >= b.bottom ? p.y - b.bottom + 1 : 0;
    return dx * dx + dy * dy;
}

DockPoint Centre(const DockWindow& w) {
    return {w.left + w.width / 2, w.top + w.height / 2};
}

DockScreen Area(const PixelBox& work) {
    DockScreen s;
    s.left = work.left;
    s.top = work.top;
    s.width = work.Width();
    s.height = work.Height();
    return s;
}

// Spans [a0, a1) and [b0, b1) share a stretch.
bool Shares(int a0, int a1, int b0, int b1) {
    return a0 < b1 && b0 < a1;
}

}  // namespace

Desktop DesktopInTwips(const PixelMap& map, const Desktop& pixels) {
    Desktop out;
    out.reserve(pixels.size());
    for (const Monitor& m : pixels)
        out.push_back({BoxInTwips(map, m.bounds), BoxInTwips(map, m.work), m.dpi});
    return out;
}

size_t MonitorAt(const Desktop& desktop, DockPoint point) {
    size_t best = 0;
    int64_t bestDistance = INT64_MAX;
    for (size_t i = 0; i < desktop.size(); ++i) {
        const int64_t d = Distance(desktop[i].bounds, point);
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

size_t MonitorOf(const Desktop& desktop, const DockWindow& window) {
    size_t best = 0;
    int64_t most = 0;
    for (size_t i = 0; i < desktop.size(); ++i) {
        const int64_t o = Overlap(desktop[i].bounds, window);
        if (o > most) {
            best = i;
            most = o;
        }
    }
    return most > 0 ? best : MonitorAt(desktop, Centre(window));
}

DockScreen DockAreaOf(const Desktop& desktop, size_t index) {
    if (index >= desktop.size()) return {};
    const PixelBox& me = desktop[index].bounds;
    DockScreen area = Area(desktop[index].work);
    for (size_t i = 0; i < desktop.size(); ++i) {
        if (i == index) continue;
        const PixelBox& o = desktop[i].bounds;
        const bool besideX = Shares(me.top, me.bottom, o.top, o.bottom);
        const bool besideY = Shares(me.left, me.right, o.left, o.right);
        if (besideX && o.right <= me.left) area.openLeft = false;
        if (besideX && o.left >= me.right) area.openRight = false;
        if (besideY && o.bottom <= me.top) area.openTop = false;
        if (besideY && o.top >= me.bottom) area.openBottom = false;
    }
    return area;
}

DockPoint KeepInside(DockPoint corner, const DockWindow& window, const DockScreen& area) {
    corner.x = std::max(area.left, std::min(corner.x, area.left + area.width - window.width));
    corner.y = std::max(area.top, std::min(corner.y, area.top + area.height - window.height));
    return corner;
}

DockPoint OntoDesktop(const Desktop& desktop, const DockWindow& window) {
    const DockPoint corner{window.left, window.top};
    if (desktop.empty()) return corner;
    const DockPoint centre = Centre(window);
    const size_t nearest = MonitorAt(desktop, centre);
    if (desktop[nearest].bounds.Contains(centre.x, centre.y)) return corner;
    return KeepInside(corner, window, Area(desktop[nearest].work));
}

DockPoint OntoMonitorAt(const Desktop& desktop, DockPoint pointer, const DockWindow& window) {
    const DockPoint corner{window.left, window.top};
    if (desktop.empty()) return corner;
    const size_t from = MonitorOf(desktop, window), to = MonitorAt(desktop, pointer);
    if (from == to) return corner;
    const PixelBox& a = desktop[from].work;
    const PixelBox& b = desktop[to].work;
    return KeepInside({corner.x - a.left + b.left, corner.y - a.top + b.top}, window, Area(b));
}

}  // namespace vt
