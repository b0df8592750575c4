#include "launcher/skin/msg_form.h"

#include <algorithm>
#include <cmath>

#include "launcher/settings/settings.h"

namespace vt {

MsgLook ReadMsgLook(Registry& reg) {
    MsgLook look;
    // A missing value is written with the settings table's default, which is
    // the look's own.
    auto colour = [&](const char* name) { return static_cast<uint32_t>(ReadSettingDword(reg, name)) & 0xFFFFFFu; };
    look.frameColor = colour("MsgFrameColor");
    look.backColor = colour("MsgBackColor");
    look.fontColor = colour("MsgFontColor");
    look.fontSize = std::clamp<int32_t>(ReadSettingDword(reg, "MsgFontSize"), 1, 72);
    look.opacity = static_cast<uint8_t>(std::clamp<int32_t>(ReadSettingDword(reg, "MsgOpacity"), 0, 255));
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
