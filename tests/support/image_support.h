#pragma once

#include <cstdint>
#include <set>
#include <utility>

#include "raster/drawing_box.h"
#include "raster/raster.h"

namespace heatplate::testing {

// The colour value (red + 256 green + 65536 blue) of a 0xAARRGGBB pixel.
inline Colour colour_of_pixel(std::uint32_t p) {
    return static_cast<Colour>(((p >> 16) & 0xFF) + 256 * ((p >> 8) & 0xFF) + 65536 * (p & 0xFF));
}

// The colour value a pixel shows.
inline Colour colour_at(const RasterImage& image, int x, int y) {
    return colour_of_pixel(image.pixel(x, y));
}

using Pixels = std::set<std::pair<int, int>>;

// The pixels (x, y) showing the colour, or any other colour if `other`.
inline Pixels pixels_in(const RasterImage& image, Colour colour, bool other = false) {
    Pixels out;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if ((colour_at(image, x, y) == colour) != other)
                out.insert({x, y});
        }
    }
    return out;
}

}  // namespace heatplate::testing
