#pragma once
// One run: N passes over the slot table with synthesised clicks and paced waits.

#include "app/Program.h"

#include <cstdint>

namespace vantorel {

/// A run's clock, in microseconds of the platform's monotonic clock: when the
/// click just made was due, and when the run last read pending events.
struct RunSchedule {
    std::int64_t dueUs = 0;
    std::int64_t lastReadUs = 0;
};

/// Performs the run; returns early, touching nothing more, if the main window goes away.
void performRun(Program& p);
/// Moves the pointer to (x, y) and injects the button events of action code `action`.
void synthesisedClick(Platform& platform, std::int32_t x, std::int32_t y, std::int32_t action);
/// Waits until `ms` milliseconds after the schedule's due time, dispatching
/// every event as it arrives, and makes that the new due time. A schedule
/// already past that point starts again from now instead. When `ms` is 0 or
/// less nothing is waited for, and events are read only if none were read for
/// kEventReadIntervalUs.
void pacedWait(Program& p, RunSchedule& schedule, std::int32_t ms);

/// How long a run may go on without reading pending events.
inline constexpr std::int64_t kEventReadIntervalUs = 10000;

} // namespace vantorel
