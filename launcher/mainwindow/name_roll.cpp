#include "launcher/mainwindow/name_roll.h"

namespace vt {

namespace {

constexpr const char* kRollGap = "  ";  // between the end of the name and its restart

size_t FirstCharLength(const std::string& s) {
    if (s.empty()) return 0;
    unsigned char c = static_cast<unsigned char>(s[0]);
    size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
    if (len > s.size()) return s.size();
    for (size_t i = 1; i < len; ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;  // broken sequence: move one byte
    return len;
}

int WidthOf(RollKind kind) {
    return kind == RollKind::Team ? kTeamCaptionWidthTwips : kItemCaptionWidthTwips;
}

// True when `shown` is one of the ticker's rotations of `ticker`.
bool IsRotationOf(const std::string& shown, const std::string& ticker) {
    return shown.size() == ticker.size() && (ticker + ticker).find(shown) != std::string::npos;
}

}  // namespace

std::string RotateFirstCharacter(const std::string& text) {
    size_t n = FirstCharLength(text);
    return text.substr(n) + text.substr(0, n);
}

void NameRoller::StartNameRoll(RollKind kind, int index, int showItemType) {
    if (index < 0) return;
    if (kind == RollKind::Item && showItemType != 0) return;
    if (index >= labels_.LabelCount(kind) || !labels_.IsLeftAligned(kind, index)) return;
    // Saving a caption that is already scrolled would store the ticker text
    // and grow the gap on every restart; put the old one back first.
    if (slot(kind).running) Restore(kind);
    Slot& s = slot(kind);
    s.saved = labels_.Caption(kind, index);
    s.index = index;
    s.running = true;
    labels_.SetCaption(kind, index, kRollGap + s.saved, WidthOf(kind));
}

void NameRoller::StopNameRoll(RollKind kind, int index) {
    (void)index;  // the label to restore is the one that was scrolled
    if (!slot(kind).running) return;
    Restore(kind);
}

void NameRoller::Restore(RollKind kind) {
    Slot& s = slot(kind);
    s.running = false;
    // A label rebuilt since (new teams, other items) already shows its own
    // text; only a label still showing our ticker gets the saved caption.
    if (s.index < 0 || s.index >= labels_.LabelCount(kind)) return;
    if (!IsRotationOf(labels_.Caption(kind, s.index), kRollGap + s.saved)) return;
    labels_.SetCaption(kind, s.index, s.saved, WidthOf(kind));
}

void NameRoller::OnTick(RollKind kind, int currentTeam, int currentItem) {
    Slot& s = slot(kind);
    if (!s.running) return;
    int current = kind == RollKind::Team ? currentTeam : currentItem;
    if (current >= 0 && current == s.index && current < labels_.LabelCount(kind)) {
        labels_.SetCaption(kind, current, RotateFirstCharacter(labels_.Caption(kind, current)), WidthOf(kind));
        return;
    }
    Restore(kind);
}

}  // namespace vt
