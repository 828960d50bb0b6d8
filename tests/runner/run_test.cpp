#include "runner/RunControl.h"
#include "runner/Sequence.h"

#include "tests/fake/ProgramFixture.h"

using namespace vantorel;
using vantorel::test::ProgramFixture;

namespace {

class Run : public ProgramFixture {
protected:
    void tick() { rt.fire(kMainWindow, "时钟2", Event{EventKind::Periodic}); }
    void rearm() { rt.fire(kMainWindow, "时钟3", Event{EventKind::Periodic}); }
    void press() { rt.fire(kMainWindow, "启动", Event{EventKind::Clicked}); }
    void startAndCountDown()
    {
        press();
        for (int i = 0; i < 5; ++i)
            tick();
    }
    std::vector<std::string> clicksAt(const std::string& x, const std::string& y) const
    {
        std::vector<std::string> out;
        const std::string target = "move " + x + " " + y;
        const auto log = platform.clicks();
        for (std::size_t i = 0; i < log.size(); ++i)
            if (log[i] == target)
                out.push_back(target);
        return out;
    }
    /// Each switch of Esc from anywhere, in order: "1" on, "0" off.
    std::vector<std::string> escapeSwitches() const
    {
        std::vector<std::string> out;
        for (const auto& w : rt.writesTo(""))
            if (w.rfind("escapeFromAnywhere=", 0) == 0)
                out.push_back(w.substr(w.size() - 1));
        return out;
    }
    std::size_t moves() const
    {
        std::size_t n = 0;
        for (const auto& e : platform.clicks())
            n += e.rfind("move", 0) == 0;
        return n;
    }
};

TEST_F(Run, StartPressCountsDownFromFiveAndRunsAtTheFifthTick)
{
    rt.setText(kMainWindow, "循环次数编辑框", "0");
    press();
    EXPECT_EQ(text("状态标签"), kTextGetReady);
    EXPECT_EQ(rt.readInt(kMainWindow, "倒计时编辑框", Prop::Visible), 1);
    EXPECT_EQ(rt.readInt(kMainWindow, "时钟2", Prop::Period), 1000);
    EXPECT_EQ(program.countdown, 5);
    EXPECT_EQ(program.passCounter, 1);
    rt.writes.clear();
    for (int i = 0; i < 5; ++i)
        tick();
    EXPECT_EQ(rt.writesTo("倒计时编辑框"), (std::vector<std::string>{"text=4", "text=3", "text=2", "text=1", "text=0", "visible=0"}));
    EXPECT_EQ(rt.writesTo("状态标签"), (std::vector<std::string>{"caption=" + kTextRunning, "caption=" + kTextFinished}));
    tick(); // no countdown in progress: nothing happens
    EXPECT_EQ(rt.writesTo("倒计时编辑框").size(), 6u);

    rt.writes.clear();
    rearm();
    EXPECT_EQ(rt.readInt(kMainWindow, "时钟2", Prop::Period), 0);
    EXPECT_EQ(text("倒计时编辑框"), "5");
    EXPECT_TRUE(rt.writesTo("标签1").empty()); // repeat count 0: the pass counter is not touched
}

TEST_F(Run, ASecondPressDuringTheCountdownStartsItAgain)
{
    press();
    tick();
    tick();
    EXPECT_EQ(program.countdown, 3);
    press();
    EXPECT_EQ(program.countdown, 5);
    EXPECT_EQ(text("倒计时编辑框"), "3"); // the display keeps its number until the next tick
    tick();
    EXPECT_EQ(text("倒计时编辑框"), "4");
}

TEST_F(Run, RearmTickActsOnlyOnTheEndText)
{
    rt.writes.clear();
    rearm();
    EXPECT_TRUE(rt.writes.empty());
    rt.setText(kMainWindow, "状态标签", "坐标1写入成功！");
    rearm();
    EXPECT_TRUE(rt.writes.empty());
}

TEST_F(Run, ThreeSlotsTwoPassesMakeTwelveClicks)
{
    fillSlot(1, "10", "11", 0, "100");
    fillSlot(2, "20", "21", 0, "100");
    fillSlot(3, "30", "31", 0, "100");
    fillSlot(6, "60", "61"); // slot 5 is empty, so 6..10 are never looked at
    rt.setText(kMainWindow, "循环次数编辑框", "2");
    rt.setText(kMainWindow, "编辑框1", "50");
    startAndCountDown();

    const std::vector<std::string> pass = {"move 10 11", "LD", "LU", "move 10 11", "LD", "LU",
                                           "move 20 21", "LD", "LU", "move 20 21", "LD", "LU",
                                           "move 30 31", "LD", "LU", "move 30 31", "LD", "LU"};
    std::vector<std::string> both = pass;
    both.insert(both.end(), pass.begin(), pass.end());
    EXPECT_EQ(platform.clicks(), both);
    EXPECT_EQ(rt.writesTo("标签1"), (std::vector<std::string>{"caption=当前循环次数：1", "caption=当前循环次数：2"}));
    EXPECT_EQ(text("状态标签"), kTextFinished);
    EXPECT_EQ(program.passCounter, 3);
}

TEST_F(Run, SlotsSixToTenFollowOnlyAFilledSlotFive)
{
    for (int k = 6; k <= 10; ++k)
        fillSlot(k, std::to_string(k), "1");
    startAndCountDown();
    EXPECT_EQ(moves(), 0u);

    platform.log.clear();
    for (int k = 5; k <= 10; ++k)
        fillSlot(k, std::to_string(k), "1");
    startAndCountDown(); // slot 4 is empty and skipped; 5..10 are clicked
    std::vector<std::string> expected;
    for (int k = 5; k <= 10; ++k)
        expected.insert(expected.end(), {"move " + std::to_string(k) + " 1", "LD", "LU"});
    EXPECT_EQ(platform.clicks(), expected);
}

TEST_F(Run, ActionCodesGiveTheirButtonEvents)
{
    const std::pair<std::int32_t, std::vector<std::string>> cases[] = {
        {0, {"LD", "LU"}}, {1, {"LD", "LU", "LD", "LU"}}, {2, {"RD", "RU"}},
        {3, {"RD", "RU", "RD", "RU"}}, {7, {"LD", "LU"}}, {-1, {"LD", "LU"}},
    };
    for (const auto& [action, events] : cases) {
        SCOPED_TRACE(action);
        platform.log.clear();
        synthesisedClick(platform, 300, 400, action);
        std::vector<std::string> expected{"move 300 400"};
        expected.insert(expected.end(), events.begin(), events.end());
        EXPECT_EQ(platform.clicks(), expected);
    }
}

TEST_F(Run, ChangingTheRepeatCountDuringTheFirstPassChangesLaterVisitsNotThePasses)
{
    fillSlot(1, "10", "1", 0, "100");
    fillSlot(2, "20", "1", 0, "100");
    rt.setText(kMainWindow, "循环次数编辑框", "2");
    rt.setText(kMainWindow, "编辑框1", "0");
    bool edited = false;
    rt.onDispatch = [&] {
        if (!edited) { // the user types 1 during the first wait
            edited = true;
            rt.setText(kMainWindow, "循环次数编辑框", "1");
        }
    };
    startAndCountDown();
    // pass 1: slot 1 twice (M read before the edit), slot 2 once; pass 2: once each
    EXPECT_EQ(clicksAt("10", "1").size(), 3u);
    EXPECT_EQ(clicksAt("20", "1").size(), 2u);
    EXPECT_EQ(rt.writesTo("标签1").size(), 2u);
}

TEST_F(Run, ZeroDelaysDispatchNothingDuringTheRun)
{
    fillSlot(1, "10", "1");
    fillSlot(2, "20", "1");
    rt.setText(kMainWindow, "循环次数编辑框", "3");
    rt.setText(kMainWindow, "编辑框1", "0");
    startAndCountDown();
    EXPECT_EQ(moves(), 18u);
    EXPECT_EQ(rt.dispatchCount, 0);
    EXPECT_EQ(text("状态标签"), kTextFinished);
}

TEST_F(Run, StatusReadsRunningDuringTheFirstWaitAndLoopingAfterIt)
{
    fillSlot(1, "10", "1", 0, "20");
    rt.setText(kMainWindow, "编辑框1", "0");
    std::vector<std::string> seen;
    rt.onDispatch = [&] { seen.push_back(text("状态标签")); };
    startAndCountDown();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), kTextRunning);
    EXPECT_EQ(rt.writesTo("状态标签")[2], "caption=" + kTextLooping); // after the ready and running texts
}

TEST_F(Run, PacedWaitLastsMoreThanTAndBlocksInsteadOfPolling)
{
    const std::int64_t start = platform.now;
    pacedWait(program, 100);
    EXPECT_GT(platform.now - start, 100000);
    EXPECT_LT(platform.now - start, 101000); // as soon as more than 100 ms have passed
    EXPECT_LE(rt.dispatchCount, 3); // one blocking wait to the deadline, not a busy loop

    rt.dispatchCount = 0;
    pacedWait(program, 0);
    pacedWait(program, -5);
    EXPECT_EQ(rt.dispatchCount, 0);
}

TEST_F(Run, AStartPressDuringARunNestsASecondRunInsideTheFirstOnesWait)
{
    fillSlot(1, "10", "1", 0, "1000");
    rt.setText(kMainWindow, "循环次数编辑框", "2");
    rt.setText(kMainWindow, "编辑框1", "0");
    int dispatches = 0;
    rt.onDispatch = [&] {
        ++dispatches;
        if (dispatches == 1)
            press(); // the user presses start during the first wait
        else if (program.countdown > 0)
            tick(); // the countdown ticks arrive during the waits
    };
    startAndCountDown();
    EXPECT_EQ(moves(), 8u); // 2 x 2 clicks for each run
    const auto counter = rt.writesTo("标签1");
    // the nested run's passes end first, then the outer run's: they share passCounter
    EXPECT_EQ(counter, (std::vector<std::string>{"caption=当前循环次数：1", "caption=当前循环次数：2",
                                                 "caption=当前循环次数：3", "caption=当前循环次数：4"}));
    EXPECT_EQ(text("状态标签"), kTextFinished);
    // Esc closes the program from anywhere until the outer run is over, not only the nested one
    EXPECT_EQ(escapeSwitches(), (std::vector<std::string>{"1", "1", "0"}));
}

TEST_F(Run, EscFromAnywhereLastsFromTheStartPressToTheEndOfTheRun)
{
    fillSlot(1, "10", "1", 0, "0");
    press();
    EXPECT_EQ(escapeSwitches(), std::vector<std::string>{"1"});
    for (int i = 0; i < 4; ++i)
        tick();
    EXPECT_EQ(escapeSwitches(), std::vector<std::string>{"1"}); // the countdown is still on
    tick();
    EXPECT_EQ(moves(), 1u);
    EXPECT_EQ(escapeSwitches(), (std::vector<std::string>{"1", "0"}));
}

TEST_F(Run, ClosingTheWindowDuringAWaitEndsTheRunWithoutTouchingIt)
{
    fillSlot(1, "10", "1", 0, "500");
    fillSlot(2, "20", "1", 0, "500");
    rt.setText(kMainWindow, "循环次数编辑框", "3");
    rt.onDispatch = [&] {
        if (rt.isLoaded(kMainWindow))
            rt.destroyWindow(kMainWindow);
    };
    startAndCountDown(); // the fake throws on any access to the destroyed window
    EXPECT_EQ(moves(), 1u);
    EXPECT_FALSE(rt.isLoaded(kMainWindow));
}

} // namespace
