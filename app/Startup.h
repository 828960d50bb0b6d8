#pragma once

#include "app/Program.h"

#include <vector>

namespace vantorel {

/// The main window's event bindings.
std::vector<Binding> mainWindowBindings(Program& program);

/// Loads the main window and runs the event loop until it is gone; returns the exit code.
int runProgram(Program& program);

} // namespace vantorel
