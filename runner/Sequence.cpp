#include "runner/Sequence.h"

#include "app/MainWindow.h"
#include "runner/RunControl.h"
#include "runner/SlotTable.h"
#include "runtime/Conversions.h"

#include <cstdint>
#include <initializer_list>

namespace vantorel {
namespace {

const std::string kRepeatCount = "循环次数编辑框";
const std::string kEndOfPassDelay = "编辑框1";
const std::string kPassCounterLabel = "标签1";

// A click made later than this after its due time has fallen behind; less is
// the ordinary lateness of waking up, which the next waits make up for.
constexpr std::int64_t kBehindUs = 1000;

// While a paced wait dispatches events the user may close the main window;
// from then on nothing of it may be read or written and no click injected.
bool mainWindowGone(Program& p) { return !p.rt.isLoaded(kMainWindow); }

/// Visits slot k; false when it was skipped. `alive` turns false if the window went away.
bool visitSlot(Program& p, RunSchedule& schedule, int k, bool& alive)
{
    if (slotSkipped(p.rt, k))
        return false;
    const std::int32_t m = numericReading(p.rt, kRepeatCount);
    for (std::int32_t i = 0; i < m; ++i) {
        const std::int32_t x = numericReading(p.rt, xBox(k));
        const std::int32_t y = numericReading(p.rt, yBox(k));
        const std::int32_t a = actionCode(p.rt, k);
        synthesisedClick(p.platform, x, y, a);
        pacedWait(p, schedule, numericReading(p.rt, delayBox(k)));
        if (mainWindowGone(p)) {
            alive = false;
            return true;
        }
        p.rt.writeText(kMainWindow, kStatusLabel, Prop::Caption, kTextLooping);
    }
    return true;
}

} // namespace

void synthesisedClick(Platform& platform, std::int32_t x, std::int32_t y, std::int32_t action)
{
    platform.SetCursorPos(x, y);
    auto inject = [&platform, x, y](std::initializer_list<std::uint32_t> events) {
        for (std::uint32_t e : events)
            platform.mouse_event(e, x, y, 0, 0);
    };
    switch (action) {
    case 1: inject({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}); break;
    case 2: inject({MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP}); break;
    case 3: inject({MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP}); break;
    default: inject({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}); break;
    }
}

void pacedWait(Program& p, RunSchedule& schedule, std::int32_t ms)
{
    // The next click is due a delay after the last one was due, not after it
    // was made: what a click costs does not stretch the interval, and a wait
    // that ends a little late makes no later click late. A run that fell
    // behind (a stall, a slow click, a nested run) starts again from now
    // rather than bursting to catch up.
    const std::int64_t now = p.platform.monotonicMicroseconds();
    const std::int64_t target = schedule.dueUs + std::int64_t{ms > 0 ? ms : 0} * 1000;
    schedule.dueUs = now - target > kBehindUs ? now : target;
    if (ms <= 0) {
        // Without delays a run would never read its events: a close request
        // or Esc would go unheard until its end, and the toolkit's queue would
        // grow with every click. Reading them now and then costs next to nothing.
        if (now - schedule.lastReadUs >= kEventReadIntervalUs) {
            schedule.lastReadUs = now;
            p.rt.processPendingEvents();
        }
        return;
    }
    for (;;) {
        p.rt.processPendingEvents();
        schedule.lastReadUs = p.platform.monotonicMicroseconds();
        const std::int64_t left = schedule.dueUs - schedule.lastReadUs;
        if (left <= 0 || p.rt.quitRequested() || mainWindowGone(p)) {
            if (-left > kBehindUs)
                schedule.dueUs = schedule.lastReadUs; // a handler held the wait up
            return;
        }
        // Block on the event queue until the due time instead of polling.
        p.rt.waitForEvents(left);
    }
}

namespace {

void runPasses(Program& p)
{
    const std::int64_t start = p.platform.monotonicMicroseconds();
    RunSchedule schedule{start, start};
    const std::int32_t n = numericReading(p.rt, kRepeatCount);
    for (std::int32_t pass = 1; pass <= n; ++pass) {
        bool alive = true;
        bool slot5Filled = false;
        for (int k = 1; k <= 5 && alive; ++k) {
            const bool visited = visitSlot(p, schedule, k, alive);
            if (k == 5)
                slot5Filled = visited;
        }
        for (int k = 6; k <= kSlotCount && alive && slot5Filled; ++k)
            visitSlot(p, schedule, k, alive);
        if (!alive)
            return;
        p.rt.writeText(kMainWindow, kPassCounterLabel, Prop::Caption,
                       concatText({"当前循环次数：", integerToText(p.passCounter)}));
        p.passCounter += 1;
        pacedWait(p, schedule, numericReading(p.rt, kEndOfPassDelay));
        if (mainWindowGone(p))
            return;
    }
    p.rt.writeText(kMainWindow, kStatusLabel, Prop::Caption, kTextFinished);
}

} // namespace

void performRun(Program& p)
{
    p.runsUnderWay += 1;
    runPasses(p);
    p.runsUnderWay -= 1;
    if (p.runsUnderWay == 0 && p.countdown < 1 && !mainWindowGone(p))
        p.rt.escapeFromAnywhere(kMainWindow, false);
}

} // namespace vantorel
