#pragma once
// The main window's small commands.

#include "app/Program.h"

namespace vantorel {

/// Empties the X and Y boxes of all ten slots.
void onClearCoordinates(Program& p);
/// Copies the common delay, as an integer, into the ten delay boxes.
void onFillDelays(Program& p);
/// Keeps the main window top-most while the check box is checked.
void onKeepOnTopClicked(Program& p);

} // namespace vantorel
