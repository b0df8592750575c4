#include "skineditor/canvas_scroll.h"

#include <algorithm>

namespace vt {

namespace {

int Clamp(const ScrollAxis& a, int pos) {
    return std::clamp(pos, 0, a.Max());
}

}  // namespace

ScrollLayout LayoutScroll(int frameWidth, int frameHeight, int contentWidth, int contentHeight, int vbarWidth,
                          int hbarHeight, int oldX, int oldY) {
    frameWidth = std::max(frameWidth, 0);
    frameHeight = std::max(frameHeight, 0);
    contentWidth = std::max(contentWidth, 0);
    contentHeight = std::max(contentHeight, 0);
    bool needX = contentWidth > frameWidth;
    bool needY = contentHeight > frameHeight;
    // A second pass settles the case where one bar's room forces the other.
    for (int pass = 0; pass < 2; ++pass) {
        needX = contentWidth > frameWidth - (needY ? vbarWidth : 0);
        needY = contentHeight > frameHeight - (needX ? hbarHeight : 0);
    }
    ScrollLayout l;
    l.x.bar = needX;
    l.y.bar = needY;
    l.x.view = std::max(frameWidth - (needY ? vbarWidth : 0), 0);
    l.y.view = std::max(frameHeight - (needX ? hbarHeight : 0), 0);
    l.x.content = contentWidth;
    l.y.content = contentHeight;
    l.x.pos = Clamp(l.x, oldX);
    l.y.pos = Clamp(l.y, oldY);
    return l;
}

PixelArea Union(const PixelArea& a, const PixelArea& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

ScrollLayout LayoutScrollArea(int frameWidth, int frameHeight, const PixelArea& area, int vbarWidth, int hbarHeight,
                              int firstX, int firstY) {
    ScrollLayout l = LayoutScroll(frameWidth, frameHeight, area.right - area.left, area.bottom - area.top, vbarWidth,
                                  hbarHeight, firstX - area.left, firstY - area.top);
    l.x.origin = area.left;
    l.y.origin = area.top;
    return l;
}

int ScrollTo(const ScrollAxis& axis, ScrollRequest request, int line, int track) {
    const int page = std::max(axis.view - line, line);  // a page step keeps one line in sight
    switch (request) {
        case ScrollRequest::LineBack:
            return Clamp(axis, axis.pos - line);
        case ScrollRequest::LineForward:
            return Clamp(axis, axis.pos + line);
        case ScrollRequest::PageBack:
            return Clamp(axis, axis.pos - page);
        case ScrollRequest::PageForward:
            return Clamp(axis, axis.pos + page);
        case ScrollRequest::ToStart:
            return 0;
        case ScrollRequest::ToEnd:
            return axis.Max();
        case ScrollRequest::ToPosition:
            return Clamp(axis, track);
    }
    return axis.pos;
}

int WheelTo(const ScrollAxis& axis, int delta, int linesPerNotch, int line) {
    const long long step = linesPerNotch < 0 ? std::max(axis.view, 1) : static_cast<long long>(linesPerNotch) * line;
    const long long moved = -static_cast<long long>(delta) * step / 120;
    const long long target = std::clamp<long long>(axis.pos + moved, 0, axis.Max());
    return static_cast<int>(target);
}

}  // namespace vt
