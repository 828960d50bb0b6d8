#pragma once
// Decodes a JPEG image held in memory into packed RGB rows.

#include <cstdint>
#include <span>
#include <vector>

namespace vantorel {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // width * 3 bytes per row, no padding
};

/// False for data that is not a complete JPEG image (truncated data included).
bool decodeJpeg(std::span<const std::uint8_t> data, RgbImage& out);

} // namespace vantorel
