#pragma once
// One run: N passes over the slot table with synthesised clicks and paced waits.

#include "app/Program.h"

#include <cstdint>

namespace vantorel {

/// Performs the run; returns early, touching nothing more, if the main window goes away.
void performRun(Program& p);
/// Moves the pointer to (x, y) and injects the button events of action code `action`.
void synthesisedClick(Platform& platform, std::int32_t x, std::int32_t y, std::int32_t action);
/// Lets more than `ms` milliseconds pass while every event is dispatched as it arrives;
/// returns at once, dispatching nothing, when `ms` is 0 or less.
void pacedWait(Program& p, std::int32_t ms);

} // namespace vantorel
