#pragma once
// The picker overlay: a see-through, click-through window over the work area
// that follows the pointer and captures the next left press into a slot.

#include "app/Program.h"
#include "runtime/WindowDef.h"

#include <string>
#include <vector>

namespace vantorel {

inline const std::string kPickerWindow = "准星窗口";
/// RGB(177, 213, 244): pixels of this colour are see-through.
inline constexpr Colour kKeyColour = 0xF4D5B1u;

const WindowDef& pickerWindowDef();
std::vector<Binding> pickerBindings(Program& p);

/// The press on the crosshair picture: opens the overlay and returns when it has closed.
void onCrosshairPressed(Program& p);
void onOverlayCreated(Program& p);
void onOverlayDestroyed(Program& p);

} // namespace vantorel
