#include "launcher/skin/msg_form.h"

#include <algorithm>
#include <cmath>

#include "launcher/settings/settings.h"

namespace vt {

namespace {

int32_t ReadData(Registry& reg, const char* name, int32_t def) {
    return GetRegDword(reg, kSettingsRoot, kDataKey, name, def);
}

}  // namespace

MsgLook ReadMsgLook(Registry& reg) {
    MsgLook look;
    auto colour = [&](const char* name, uint32_t def) {
        return static_cast<uint32_t>(ReadData(reg, name, static_cast<int32_t>(def))) & 0xFFFFFFu;
    };
    look.frameColor = colour("MsgFrameColor", look.frameColor);
    look.backColor = colour("MsgBackColor", look.backColor);
    look.fontColor = colour("MsgFontColor", look.fontColor);
    look.fontSize = std::clamp<int32_t>(ReadData(reg, "MsgFontSize", look.fontSize), 1, 72);
    look.opacity = static_cast<uint8_t>(std::clamp<int32_t>(ReadData(reg, "MsgOpacity", look.opacity), 0, 255));
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
