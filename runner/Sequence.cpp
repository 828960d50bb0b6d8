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

// While a paced wait dispatches events the user may close the main window;
// from then on nothing of it may be read or written and no click injected.
bool mainWindowGone(Program& p) { return !p.rt.isLoaded(kMainWindow); }

/// Visits slot k; false when it was skipped. `alive` turns false if the window went away.
bool visitSlot(Program& p, int k, bool& alive)
{
    if (slotSkipped(p.rt, k))
        return false;
    const std::int32_t m = numericReading(p.rt, kRepeatCount);
    for (std::int32_t i = 0; i < m; ++i) {
        const std::int32_t x = numericReading(p.rt, xBox(k));
        const std::int32_t y = numericReading(p.rt, yBox(k));
        const std::int32_t a = actionCode(p.rt, k);
        synthesisedClick(p.platform, x, y, a);
        pacedWait(p, numericReading(p.rt, delayBox(k)));
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

void pacedWait(Program& p, std::int32_t ms)
{
    if (ms <= 0)
        return;
    const std::int64_t limitUs = std::int64_t{ms} * 1000;
    const std::int64_t start = p.platform.monotonicMicroseconds();
    for (;;) {
        p.rt.processPendingEvents();
        const std::int64_t elapsed = p.platform.monotonicMicroseconds() - start;
        if (elapsed > limitUs || p.rt.quitRequested() || mainWindowGone(p))
            return;
        // Block on the event queue until the deadline instead of polling.
        p.rt.waitForEvents(limitUs + 1 - elapsed);
    }
}

namespace {

void runPasses(Program& p)
{
    const std::int32_t n = numericReading(p.rt, kRepeatCount);
    for (std::int32_t pass = 1; pass <= n; ++pass) {
        bool alive = true;
        bool slot5Filled = false;
        for (int k = 1; k <= 5 && alive; ++k) {
            const bool visited = visitSlot(p, k, alive);
            if (k == 5)
                slot5Filled = visited;
        }
        for (int k = 6; k <= kSlotCount && alive && slot5Filled; ++k)
            visitSlot(p, k, alive);
        if (!alive)
            return;
        p.rt.writeText(kMainWindow, kPassCounterLabel, Prop::Caption,
                       concatText({"当前循环次数：", integerToText(p.passCounter)}));
        p.passCounter += 1;
        pacedWait(p, numericReading(p.rt, kEndOfPassDelay));
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
