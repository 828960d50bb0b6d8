#include "app/Startup.h"

#include "app/Commands.h"
#include "app/MainWindow.h"
#include "app/WaylandNotice.h"
#include "picker/Overlay.h"
#include "runner/RunControl.h"

#include <cstdio>
#include <cstdlib>

namespace vantorel {

std::vector<Binding> mainWindowBindings(Program& p)
{
    // clang-format off
    return {
        {"",         EventKind::Created,     [](const Event&) {}},
        {"启动",     EventKind::Clicked,     [&p](const Event&) { onStartPressed(p); }},
        {"一键清空", EventKind::Clicked,     [&p](const Event&) { onClearCoordinates(p); }},
        {"一键填入", EventKind::Clicked,     [&p](const Event&) { onFillDelays(p); }},
        {"保持最前", EventKind::Clicked,     [&p](const Event&) { onKeepOnTopClicked(p); }},
        {"准星",     EventKind::LeftPressed, [&p](const Event&) { onCrosshairPressed(p); }},
        {"时钟2",    EventKind::Periodic,    [&p](const Event&) { onCountdownTick(p); }},
        {"时钟3",    EventKind::Periodic,    [&p](const Event&) { onRearmTick(p); }},
    };
    // clang-format on
}

int runProgram(Program& program)
{
    program.countdown = program.passCounter = program.fillDelay = 0;
    if (!program.rt.loadWindow(mainWindowDef(), mainWindowBindings(program), false)) {
        std::fprintf(stderr, "vantorel: 载入启动窗口失败\n");
        return EXIT_FAILURE;
    }
    warnIfWaylandSession(program);
    program.rt.runEventLoop();
    return EXIT_SUCCESS;
}

} // namespace vantorel
