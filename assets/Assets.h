#pragma once
// Pictures built into the program.

#include <cstdint>
#include <span>

namespace vantorel::assets {

/// The crosshair picture: a 610 x 610 JPEG of a red crosshair on a light background.
std::span<const std::uint8_t> crosshairJpeg();

} // namespace vantorel::assets
