#include "launcher/skin/msg_form.h"

#include <algorithm>
#include <cmath>

namespace vt {

namespace {

constexpr const char* kDataKey = "SOFTWARE\\Oskarn\\Vantrel\\Data";

uint32_t ReadDword(Registry& reg, const char* name, uint32_t def) {
    if (auto v = reg.QueryDword(RegRoot::LocalMachine, kDataKey, name)) return *v;
    reg.SetDword(RegRoot::LocalMachine, kDataKey, name, def);
    return def;
}

}  // namespace

MsgLook ReadMsgLook(Registry& reg) {
    MsgLook look;
    look.frameColor = ReadDword(reg, "MsgFrameColor", look.frameColor) & 0xFFFFFFu;
    look.backColor = ReadDword(reg, "MsgBackColor", look.backColor) & 0xFFFFFFu;
    look.fontColor = ReadDword(reg, "MsgFontColor", look.fontColor) & 0xFFFFFFu;
    // The values are DWORDs; a negative number written by another tool arrives
    // as a huge unsigned one, so compare as signed before clamping.
    auto size = static_cast<int32_t>(ReadDword(reg, "MsgFontSize", static_cast<uint32_t>(look.fontSize)));
    look.fontSize = std::clamp(size, 1, 72);
    auto alpha = static_cast<int32_t>(ReadDword(reg, "MsgOpacity", look.opacity));
    look.opacity = static_cast<uint8_t>(std::clamp(alpha, 0, 255));
    return look;
}

TwipPoint MsgStartPosition(const PixelRect& workArea, double twipsPerPixelX, double twipsPerPixelY,
                           int popupWidthTwips) {
    TwipPoint p;
    p.left = twipsPerPixelX * workArea.right - popupWidthTwips - kMsgRightGap;
    p.top = twipsPerPixelY * workArea.bottom;
    return p;
}

long long RoundHalfEven(double v) {
    double r = std::nearbyint(v);  // default rounding mode: to nearest, ties to even
    return static_cast<long long>(r);
}

void MsgSlide::Advance() {
    long long next = RoundHalfEven(static_cast<double>(moved_) + kMsgStep);
    moved_ = static_cast<int32_t>(std::min<long long>(next, INT32_MAX));
}

void MsgSlide::OnShowTick(int heightTwips) {
    if (!show_ || closed_) return;
    Advance();
    top_ -= kMsgStep;
    if (heightTwips <= moved_) {
        show_ = false;
        moved_ = 0;
        wait_ = true;
    }
}

void MsgSlide::OnWaitTick() {
    if (!wait_ || closed_) return;
    wait_ = false;
    hide_ = true;
}

void MsgSlide::OnHideTick(int heightTwips) {
    if (!hide_ || closed_) return;
    Advance();
    top_ += kMsgStep;
    if (heightTwips <= moved_) {
        closed_ = true;
        show_ = wait_ = hide_ = false;
    }
}

void MsgSlide::OnClick() {
    if (closed_) return;
    hide_ = true;
}

}  // namespace vt
