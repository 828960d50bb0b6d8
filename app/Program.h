#pragma once
// What every handler of the program works with: the GUI runtime, the
// platform, and the three program-wide integers.

#include "platform/Platform.h"
#include "runtime/Runtime.h"

#include <cstdint>

namespace vantorel {

struct Program {
    Runtime& rt;
    Platform& platform;
    std::int32_t countdown = 0;
    std::int32_t passCounter = 0;
    std::int32_t fillDelay = 0;
    /// Runs under way, nested ones included; Esc closes the program from anywhere while a countdown or run lasts.
    std::int32_t runsUnderWay = 0;
};

} // namespace vantorel
