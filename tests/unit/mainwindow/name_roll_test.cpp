#include <gtest/gtest.h>

#include <vector>

#include "launcher/mainwindow/name_roll.h"

using namespace vt;

namespace {

struct Label {
    std::string caption;
    bool leftAligned = false;
    int width = 0;
};

class FakeLabels : public RollLabels {
public:
    int LabelCount(RollKind k) const override { return static_cast<int>(Of(k).size()); }
    bool IsLeftAligned(RollKind k, int i) const override { return Of(k)[i].leftAligned; }
    std::string Caption(RollKind k, int i) const override { return Of(k)[i].caption; }
    void SetCaption(RollKind k, int i, const std::string& text, int width) override {
        Of(k)[i].caption = text;
        Of(k)[i].width = width;
    }
    std::vector<Label>& Of(RollKind k) { return k == RollKind::Team ? teams : items; }
    const std::vector<Label>& Of(RollKind k) const { return k == RollKind::Team ? teams : items; }

    std::vector<Label> teams{{"短", false}, {"一个很长很长的类别名称", true}, {"Long team name", true}};
    std::vector<Label> items{{"fits", false}, {"A long item caption", true}, {"另一个很长的项目名称", true}};
};

constexpr RollKind kTeam = RollKind::Team;
constexpr RollKind kItem = RollKind::Item;

}  // namespace

TEST(NameRoll, RotatesWholeCharacters) {
    EXPECT_EQ(RotateFirstCharacter("abc"), "bca");
    EXPECT_EQ(RotateFirstCharacter("类别a"), "别a类");
    EXPECT_EQ(RotateFirstCharacter(""), "");
    EXPECT_EQ(RotateFirstCharacter("x"), "x");
}

TEST(NameRoll, TickerAddsTwoSpacesAndComesRoundAfterOneTickPerCharacter) {
    FakeLabels labels;
    NameRoller roller(labels);
    roller.StartNameRoll(kTeam, 2, 0);
    ASSERT_TRUE(roller.Running(kTeam));
    EXPECT_EQ(labels.teams[2].caption, "  Long team name");
    EXPECT_EQ(labels.teams[2].width, 1000);

    roller.OnTick(kTeam, 2, -1);
    EXPECT_EQ(labels.teams[2].caption, " Long team name ");
    roller.OnTick(kTeam, 2, -1);
    EXPECT_EQ(labels.teams[2].caption, "Long team name  ");
    for (int i = 2; i < 16; ++i)
        roller.OnTick(kTeam, 2, -1);
    EXPECT_EQ(labels.teams[2].caption, "  Long team name");

    // Chinese names go round in characters too: 2 + 11 ticks.
    roller.StopNameRoll(kTeam, 2);
    roller.StartNameRoll(kTeam, 1, 0);
    roller.OnTick(kTeam, 1, -1);
    EXPECT_EQ(labels.teams[1].caption, " 一个很长很长的类别名称 ");
    for (int i = 1; i < 13; ++i)
        roller.OnTick(kTeam, 1, -1);
    EXPECT_EQ(labels.teams[1].caption, "  一个很长很长的类别名称");
}

TEST(NameRoll, OnlyLeftAlignedCaptionsAndItemsOnlyInLayoutZero) {
    FakeLabels labels;
    NameRoller roller(labels);
    roller.StartNameRoll(kTeam, 0, 0);  // fits its box
    roller.StartNameRoll(kItem, 1, 1);
    roller.StartNameRoll(kItem, 1, 2);
    roller.StartNameRoll(kTeam, -1, 0);
    roller.StartNameRoll(kTeam, 7, 0);
    EXPECT_FALSE(roller.Running(kTeam));
    EXPECT_FALSE(roller.Running(kItem));
    EXPECT_EQ(labels.teams[0].caption, "短");
    EXPECT_EQ(labels.items[1].caption, "A long item caption");
}

TEST(NameRoll, TeamAndItemScrollTogetherAndEachGetsItsOwnTextBack) {
    FakeLabels labels;
    NameRoller roller(labels);
    roller.StartNameRoll(kTeam, 1, 0);
    roller.StartNameRoll(kItem, 2, 0);
    for (int i = 0; i < 5; ++i) {
        roller.OnTick(kTeam, 1, 2);
        roller.OnTick(kItem, 1, 2);
    }
    EXPECT_EQ(labels.items[2].width, 900);
    EXPECT_NE(labels.teams[1].caption, "一个很长很长的类别名称");
    roller.StopNameRoll(kItem, 2);
    roller.StopNameRoll(kTeam, 1);
    EXPECT_EQ(labels.teams[1].caption, "一个很长很长的类别名称");
    EXPECT_EQ(labels.items[2].caption, "另一个很长的项目名称");
    EXPECT_FALSE(roller.Running(kTeam));
    EXPECT_FALSE(roller.Running(kItem));
}

TEST(NameRoll, AnotherSelectionRestoresThePreviousCaption) {
    FakeLabels labels;
    NameRoller roller(labels);
    roller.StartNameRoll(kItem, 1, 0);
    roller.OnTick(kItem, -1, 1);
    // Restarting without a stop must neither lose the old caption nor save
    // the ticker text as if it were the name.
    roller.StartNameRoll(kItem, 2, 0);
    EXPECT_EQ(labels.items[1].caption, "A long item caption");
    roller.StartNameRoll(kItem, 2, 0);
    EXPECT_EQ(labels.items[2].caption, "  另一个很长的项目名称");
    EXPECT_EQ(roller.RollingIndex(kItem), 2);
}

TEST(NameRoll, TickWithoutTheScrolledSelectionStopsAndRestores) {
    FakeLabels labels;
    NameRoller roller(labels);
    roller.StartNameRoll(kItem, 1, 0);
    roller.OnTick(kItem, -1, 1);
    roller.OnTick(kItem, -1, -1);  // selection gone
    EXPECT_FALSE(roller.Running(kItem));
    EXPECT_EQ(labels.items[1].caption, "A long item caption");

    roller.StartNameRoll(kTeam, 2, 0);
    roller.OnTick(kTeam, 1, -1);  // another team became current without a stop
    EXPECT_FALSE(roller.Running(kTeam));
    EXPECT_EQ(labels.teams[2].caption, "Long team name");
    EXPECT_EQ(labels.teams[1].caption, "一个很长很长的类别名称");  // never rotated
}

TEST(NameRoll, StoppingAfterTheLabelsWereRebuiltLeavesTheNewCaptions) {
    FakeLabels labels;
    NameRoller roller(labels);
    roller.StartNameRoll(kTeam, 1, 0);
    labels.teams[1].caption = "新类别";  // the team bar was laid out anew
    roller.StopNameRoll(kTeam, 1);
    EXPECT_EQ(labels.teams[1].caption, "新类别");
    labels.teams.resize(1);
    roller.StartNameRoll(kTeam, 0, 0);
    roller.StopNameRoll(kTeam, 0);  // not running: nothing
    EXPECT_EQ(labels.teams[0].caption, "短");
}
