#pragma once
// The program's icon: the crosshair picture, scaled. The window shows it and
// the desktop's icon theme gets it from the package, so both are made here.

#include <QImage>

namespace vantorel::qt {

/// The size of the icon the program's windows carry.
inline constexpr int kWindowIconSize = 64;

/// The icon at `size` x `size` pixels; null when the picture cannot be decoded.
QImage appIcon(int size);

} // namespace vantorel::qt
