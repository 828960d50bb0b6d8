#pragma once

#include "app/Program.h"

#include <cstdint>

namespace vantorel {

/// The input device saw a button change: a left press fills the first free slot.
void onMouseButtonChanged(Program& p, std::int32_t keyCode, std::int32_t state);

} // namespace vantorel
