// The editable skin properties: one numbered slot per value box, with the
// page it sits on, its caption, its default text, how it is chosen and where
// the project file keeps it. Slot 1 was never used and does not exist.
#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace vt {

enum class SlotKind { Picture, Colour, Points, Twips, Count, Text };
enum class Chooser { None, Picture, Colour };

struct SlotInfo {
    int slot;
    int page;                // 0..5, the page selector index
    std::string_view label;  // caption shared by the slots of one group
    SlotKind kind;
    std::string_view def;      // text of the box when the editor opens
    std::string_view section;  // project file section
    std::string_view key;      // project file key
};

constexpr int kSlotLimit = 57;  // slots are 0 and 2..56
constexpr int kSlotCount = 56;
constexpr int kPageCount = 6;

// In page order, groups side by side in the order they are shown.
extern const std::array<SlotInfo, kSlotCount> kSlots;

// nullptr for 1 and anything outside 0..56.
const SlotInfo* FindSlot(int slot);
inline bool IsSlot(int slot) {
    return FindSlot(slot) != nullptr;
}
inline Chooser ChooserOf(SlotKind kind) {
    return kind == SlotKind::Picture ? Chooser::Picture : kind == SlotKind::Colour ? Chooser::Colour : Chooser::None;
}

// The states a group's caption names in brackets, in order:
// "文字颜色[一般|按下]:" gives 一般, 按下; none without brackets.
std::vector<std::string_view> StateCaptions(std::string_view label);

// Page selector captions and page frame captions.
extern const std::array<std::string_view, kPageCount> kPageButtonCaptions;
extern const std::array<std::string_view, kPageCount> kPageFrameCaptions;

constexpr std::string_view kFrameCaption = "边框";
constexpr std::string_view kLockCaption = "锁定(锁定后无法编辑)";

}  // namespace vt
