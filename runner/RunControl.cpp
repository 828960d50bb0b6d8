#include "runner/RunControl.h"

#include "app/MainWindow.h"
#include "runner/Sequence.h"
#include "runtime/Conversions.h"

namespace vantorel {

namespace {
const std::string kCountdownDisplay = "倒计时编辑框";
const std::string kCountdownTimer = "时钟2";
} // namespace

void onStartPressed(Program& p)
{
    p.rt.writeText(kMainWindow, kStatusLabel, Prop::Caption, kTextGetReady);
    p.rt.writeProperty(kMainWindow, kCountdownDisplay, Prop::Visible, Value(true));
    p.rt.writeInt(kMainWindow, kCountdownTimer, Prop::Period, 1000);
    p.countdown = 5;
    p.passCounter = 1;
    // The window promises that Esc closes the program at any time; once the
    // run has moved the focus elsewhere, only a key taken from anywhere can keep that.
    p.rt.escapeFromAnywhere(kMainWindow, true);
}

void onCountdownTick(Program& p)
{
    if (p.countdown < 1)
        return; // no countdown in progress (also every tick dispatched during a run)
    p.countdown -= 1;
    p.rt.writeText(kMainWindow, kCountdownDisplay, Prop::Text, integerToText(p.countdown));
    if (p.countdown > 0)
        return;
    p.rt.writeProperty(kMainWindow, kCountdownDisplay, Prop::Visible, Value(false));
    p.rt.writeText(kMainWindow, kStatusLabel, Prop::Caption, kTextRunning);
    performRun(p);
}

void onRearmTick(Program& p)
{
    if (compareText(p.rt.readText(kMainWindow, kStatusLabel, Prop::Caption), kTextFinished) != 0)
        return;
    p.rt.writeInt(kMainWindow, kCountdownTimer, Prop::Period, 0);
    p.rt.writeText(kMainWindow, kCountdownDisplay, Prop::Text, "5");
}

} // namespace vantorel
