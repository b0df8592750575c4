#include "launcher/skin/msg_form.h"

#include <gtest/gtest.h>

#include "platform/fake/fakes.h"

using namespace vt;

namespace {

constexpr const char* kData = "SOFTWARE\\Oskarn\\Vantrel\\Data";

// Runs ticks of one timer until it stops; returns how many ticks it took.
template <class Tick>
int RunUntil(MsgSlide& s, Tick tick, bool (MsgSlide::*running)() const, int limit = 1000) {
    int n = 0;
    while ((s.*running)() && n < limit) {
        tick();
        ++n;
    }
    return n;
}

}  // namespace

TEST(MsgLook, MissingValuesGetDefaultsAndAreCreated) {
    FakeRegistry reg;
    MsgLook look = ReadMsgLook(reg);
    EXPECT_EQ(look.frameColor, 32768u);
    EXPECT_EQ(look.backColor, 12648384u);
    EXPECT_EQ(look.fontColor, 12582912u);
    EXPECT_EQ(look.fontSize, 9);
    EXPECT_EQ(look.opacity, 255);
    for (const char* name : {"MsgFrameColor", "MsgBackColor", "MsgFontColor", "MsgFontSize", "MsgOpacity"})
        EXPECT_TRUE(reg.Has(RegRoot::LocalMachine, kData, name)) << name;
}

TEST(MsgLook, StoredValuesWinAndBadOnesAreClamped) {
    struct Case {
        uint32_t size, opacity;
        int wantSize, wantOpacity;
    } cases[] = {
        {14, 128, 14, 128},
        {0, 0, 1, 0},
        {500, 300, 72, 255},
        {0xFFFFFFFFu, 0xFFFFFFFFu, 1, 0},  // -1 written by another tool
    };
    for (const Case& c : cases) {
        FakeRegistry reg;
        reg.SetDword(RegRoot::LocalMachine, kData, "MsgFontSize", c.size);
        reg.SetDword(RegRoot::LocalMachine, kData, "MsgOpacity", c.opacity);
        reg.SetDword(RegRoot::LocalMachine, kData, "MsgBackColor", 255);
        MsgLook look = ReadMsgLook(reg);
        EXPECT_EQ(look.fontSize, c.wantSize) << c.size;
        EXPECT_EQ(look.opacity, c.wantOpacity) << c.opacity;
        EXPECT_EQ(look.backColor, 255u);
    }
}

TEST(MsgStart, RightEdgeInsetAndTopOnWorkAreaBottom) {
    // Taskbar at the bottom of a 1280x800 screen: work area 0,0,1280,770.
    TwipPoint p = MsgStartPosition({0, 0, 1280, 770}, 15, 15);
    EXPECT_DOUBLE_EQ(p.left, 1280 * 15 - 2655 - 200);
    EXPECT_DOUBLE_EQ(p.top, 770 * 15);
    // Taskbar on the left: the popup still hugs the right end, not 60 px short of it.
    TwipPoint q = MsgStartPosition({60, 0, 1280, 800}, 15, 15);
    EXPECT_DOUBLE_EQ(q.left, 1280 * 15 - 2655 - 200);
    // Taskbar at the top: it starts at the real bottom edge.
    TwipPoint r = MsgStartPosition({0, 40, 1280, 800}, 15, 15);
    EXPECT_DOUBLE_EQ(r.top, 800 * 15);
    // 120 dpi: 12 twips per pixel.
    TwipPoint s = MsgStartPosition({0, 0, 1600, 1000}, 12, 12);
    EXPECT_DOUBLE_EQ(s.left, 1600 * 12 - 2655 - 200);
    EXPECT_DOUBLE_EQ(s.top, 12000);
}

TEST(MsgStart, RoundHalfEven) {
    struct {
        double in;
        long long out;
    } cases[] = {{229.5, 230}, {230.5, 230}, {231.5, 232}, {0.5, 0}, {1.5, 2}, {-0.5, 0}, {2.4, 2}, {2.6, 3}};
    for (auto c : cases)
        EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

TEST(MsgSlide, FullCycleSlidesInWaitsAndSlidesOutToWhereItStarted) {
    MsgSlide s(11550);
    EXPECT_TRUE(s.ShowRunning());
    EXPECT_FALSE(s.WaitRunning());
    EXPECT_FALSE(s.HideRunning());

    int in = RunUntil(
        s, [&] { s.OnShowTick(kMsgHeight); }, &MsgSlide::ShowRunning);
    EXPECT_EQ(in, 8);
    EXPECT_DOUBLE_EQ(s.Top(), 11550 - 8 * 229.5);
    EXPECT_EQ(s.Moved(), 0);
    EXPECT_TRUE(s.WaitRunning());
    EXPECT_FALSE(s.HideRunning());

    // A stray hide tick before the wait is over moves nothing.
    s.OnHideTick(kMsgHeight);
    EXPECT_DOUBLE_EQ(s.Top(), 11550 - 8 * 229.5);

    s.OnWaitTick();
    EXPECT_FALSE(s.WaitRunning());
    EXPECT_TRUE(s.HideRunning());

    int out = RunUntil(
        s, [&] { s.OnHideTick(kMsgHeight); }, &MsgSlide::HideRunning);
    EXPECT_EQ(out, 8);
    EXPECT_TRUE(s.Closed());
    EXPECT_DOUBLE_EQ(s.Top(), 11550);
}

TEST(MsgSlide, CounterAddsRoundedSteps) {
    MsgSlide s(0);
    s.OnShowTick(100000);
    EXPECT_EQ(s.Moved(), 230);
    s.OnShowTick(100000);
    EXPECT_EQ(s.Moved(), 460);
}

TEST(MsgSlide, TallerPopupNeedsMoreTicks) {
    // The height is read afresh each tick (e.g. a larger DPI makes it taller).
    struct {
        int height, ticks;
    } cases[] = {{1830, 8}, {1840, 8}, {1841, 9}, {230, 1}, {1, 1}, {0, 1}};
    for (auto c : cases) {
        MsgSlide s(0);
        EXPECT_EQ(RunUntil(
                      s, [&] { s.OnShowTick(c.height); }, &MsgSlide::ShowRunning),
                  c.ticks)
            << c.height;
    }
}

TEST(MsgSlide, ClickWhileWaitingSlidesOutAtOnce) {
    MsgSlide s(1000);
    RunUntil(
        s, [&] { s.OnShowTick(kMsgHeight); }, &MsgSlide::ShowRunning);
    s.OnClick();
    EXPECT_TRUE(s.HideRunning());
    int out = RunUntil(
        s, [&] { s.OnHideTick(kMsgHeight); }, &MsgSlide::HideRunning);
    EXPECT_EQ(out, 8);
    EXPECT_TRUE(s.Closed());
    // The wait timer's late tick after closing changes nothing.
    s.OnWaitTick();
    EXPECT_TRUE(s.Closed());
    EXPECT_FALSE(s.HideRunning());
}

TEST(MsgSlide, ClickWhileSlidingInCancelsMovementAndCloses) {
    // Whichever of the two 20 ms timers the system delivers first, the popup
    // must end closed with no timer left running.
    for (bool showFirst : {true, false}) {
        MsgSlide s(5000);
        s.OnShowTick(kMsgHeight);
        s.OnShowTick(kMsgHeight);
        double frozen = s.Top();
        s.OnClick();
        EXPECT_TRUE(s.ShowRunning());
        EXPECT_TRUE(s.HideRunning());
        int rounds = 0;
        while (!s.Closed() && rounds < 100) {
            if (showFirst) s.OnShowTick(kMsgHeight);
            s.OnHideTick(kMsgHeight);
            if (!showFirst) s.OnShowTick(kMsgHeight);
            ++rounds;
            // While both run the two movements cancel out.
            if (!s.Closed() && s.ShowRunning()) {
                EXPECT_DOUBLE_EQ(s.Top(), frozen);
            }
        }
        EXPECT_TRUE(s.Closed()) << showFirst;
        EXPECT_FALSE(s.ShowRunning());
        EXPECT_FALSE(s.WaitRunning());
        EXPECT_FALSE(s.HideRunning());
        if (showFirst) {
            EXPECT_EQ(rounds, 3);  // the counter grows two steps per round: 460 + 3 * 460 >= 1830
        }
    }
}

TEST(MsgSlide, NothingMovesAfterClose) {
    MsgSlide s(0);
    s.OnClick();
    RunUntil(
        s, [&] { s.OnHideTick(100); }, &MsgSlide::HideRunning);
    ASSERT_TRUE(s.Closed());
    double top = s.Top();
    s.OnShowTick(kMsgHeight);
    s.OnHideTick(kMsgHeight);
    s.OnClick();
    EXPECT_DOUBLE_EQ(s.Top(), top);
    EXPECT_FALSE(s.HideRunning());
}
