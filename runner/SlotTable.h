#pragma once
// Reading the slot table: every call reads its control afresh, nothing is cached.

#include "runtime/Runtime.h"

#include <cstdint>
#include <string>

namespace vantorel {

inline constexpr int kSlotCount = 10;

/// The text of an edit box of the main window as an integer (number, then truncation).
std::int32_t numericReading(Runtime& rt, const std::string& control);
/// Selected index of slot k's action list; -1 when none.
std::int32_t actionCode(Runtime& rt, int k);
/// True when slot k's X or Y is empty or holds its own control name.
bool slotSkipped(Runtime& rt, int k);

} // namespace vantorel
