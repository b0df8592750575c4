// Ticker scrolling of a team or item caption whose name is wider than its box,
// one character per TmrRollText tick.
#pragma once

#include <array>
#include <string>

namespace vt {

inline constexpr int kNameRollTimerMs = 100;  // TmrRollText
inline constexpr int kTeamCaptionWidthTwips = 1000;
inline constexpr int kItemCaptionWidthTwips = 900;

// 0: the current team's caption (LabTeam), 1: the selected item's (LabItem).
enum class RollKind { Team = 0, Item = 1 };

// The caption labels as the team bar and the item panel keep them.
class RollLabels {
public:
    virtual ~RollLabels() = default;
    virtual int LabelCount(RollKind kind) const = 0;
    // Captions too wide for their box are laid out left-aligned; only those scroll.
    virtual bool IsLeftAligned(RollKind kind, int index) const = 0;
    virtual std::string Caption(RollKind kind, int index) const = 0;
    // Sets the caption and puts the label back to its box width.
    virtual void SetCaption(RollKind kind, int index, const std::string& text, int widthTwips) = 0;
};

// First UTF-8 character moved to the end: "abc" -> "bca", whole characters
// only, so a Chinese name never breaks in half.
std::string RotateFirstCharacter(const std::string& text);

// The two tickers. The window shell runs TmrRollText k while Running(k).
class NameRoller {
public:
    explicit NameRoller(RollLabels& labels) : labels_(labels) {}

    bool Running(RollKind kind) const { return slot(kind).running; }
    // Index of the label being scrolled, -1 when none.
    int RollingIndex(RollKind kind) const { return slot(kind).running ? slot(kind).index : -1; }

    // Starts scrolling label `index` when it is left-aligned (item captions
    // only in layout 0). A label of the same kind that was still scrolling
    // gets its own caption back first.
    void StartNameRoll(RollKind kind, int index, int showItemType);
    // Stops the ticker of this kind and gives the scrolled label its caption back.
    void StopNameRoll(RollKind kind, int index);
    // One tick: rotates the caption of the current team / selected item, or
    // stops when that is no longer the label being scrolled.
    void OnTick(RollKind kind, int currentTeam, int currentItem);

private:
    struct Slot {
        bool running = false;
        int index = -1;
        std::string saved;  // SavedRollCaption
    };
    Slot& slot(RollKind kind) { return slots_[static_cast<int>(kind)]; }
    const Slot& slot(RollKind kind) const { return slots_[static_cast<int>(kind)]; }
    void Restore(RollKind kind);

    RollLabels& labels_;
    std::array<Slot, 2> slots_{};
};

}  // namespace vt
