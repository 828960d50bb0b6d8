#pragma once

#include "platform/Platform.h"

namespace vantorel {

/// Makes a window click-through (layered and transparent), keeping its previous
/// extended style in the window property "transparent_tmp"; off restores it.
void setClickThrough(Platform& platform, WindowHandle window, bool on);

} // namespace vantorel
