#pragma once
// Under a Wayland desktop the program runs through XWayland, where its
// clicks and the picker reach only X11 windows: it says so once at start-up.

#include "app/Program.h"

namespace vantorel {

/// True for a Wayland session, given the values of WAYLAND_DISPLAY and
/// XDG_SESSION_TYPE (null when unset).
bool isWaylandSession(const char* waylandDisplay, const char* sessionType);

/// In a Wayland session, shows a message box that explains the limits and
/// how to get an X11 session; returns once the user has read it.
void warnIfWaylandSession(Program& p);

} // namespace vantorel
