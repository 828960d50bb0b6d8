#pragma once
// The crosshair lines and the readout follow the pointer.

#include "app/Program.h"

#include <string>

namespace vantorel {

/// The readout for pointer (x, y).
std::string readoutText(std::int32_t x, std::int32_t y);

/// Keeps the overlay above other top-most windows and crosses the lines at the pointer.
void onCrosshairTick(Program& p);
/// Refreshes the readout beside the pointer.
void onReadoutTick(Program& p);

} // namespace vantorel
